// Commands sent to the server together, in one round trip (libpq's pipeline
// mode), and their results read back in order (internal to the layer).
#pragma once

#include "session_state.h"

#include <string>
#include <vector>

namespace sql::detail {

class Exchange {
public:
    explicit Exchange(PGconn* conn) : conn_(conn) {}
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    // Queues a command without parameters; its index among the results.
    int add(const char* command);
    // Queues a command with parameters (as PQexecParams takes them);
    // binary_results asks for every column in binary format.
    int add(const std::string& command, int count, const Oid* types, const char* const* values, const int* lengths,
            const int* formats, bool binary_results);

    // Queues the preparation of a named statement with its parameter types.
    int prepare(const std::string& name, const std::string& command, int count, const Oid* types);
    // Queues a run of a prepared statement (parameters as PQexecPrepared
    // takes them).
    int add_prepared(const std::string& name, int count, const char* const* values, const int* lengths,
                     const int* formats, bool binary_results);

    // Sends what is queued and reads every result. A command after a failed
    // one is not run (its result is PGRES_PIPELINE_ABORTED).
    void run();

    // The result of command i; null when the session broke before it came.
    const PGresult* result(int i) const { return i < static_cast<int>(results_.size()) ? results_[i] : nullptr; }
    // The command completed (a command, or a query with its rows).
    bool ok(int i) const;
    // The communication area of a command that did not complete.
    Sqlca failure(int i) const;

private:
    bool enter();

    PGconn* conn_;
    bool entered_ = false;
    bool send_failed_ = false;
    int queued_ = 0;
    std::vector<PGresult*> results_;
};

} // namespace sql::detail
