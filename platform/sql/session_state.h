// The one session of the process (internal to the layer).
#pragma once

#include "sql_session.h"
#include "sql_translate.h"

#include <libpq-fe.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace sql::detail {

// Routine signatures read from the server's catalogue, kept per session.
class PgCatalog : public Catalog {
public:
    std::optional<Routine> find(const std::string& schema, const std::string& name,
                                std::string& error) override;
    void clear() {
        cache_.clear();
        loaded_.clear();
    }

private:
    // Reads every routine of the schema that can be called into the cache.
    void load_schema(const std::string& schema);

    std::map<std::string, Routine> cache_;  // by schema.name
    std::set<std::string> loaded_;          // schemas read whole
};

// A statement text as the session runs it: translated once, each of its
// queries prepared on the server at its first run.
struct Prepared {
    Plan plan;
    std::vector<std::string> names;  // per step: the server's statement name, empty until prepared
    bool changes = false;            // its last run outside a transaction changed something
};

struct SessionState {
    PGconn* conn = nullptr;
    bool in_transaction = false;  // BEGIN sent, no COMMIT or ROLLBACK since
    bool changed = false;         // the open transaction is known to have changed something
    bool savepoint = false;       // the last statement's savepoint still stands
    bool lost = false;            // the server went away; the session is of no further use
    PgCatalog catalog;
    // Statement texts seen on this session (with the shape of their host
    // variables), and the number of statements prepared on the server.
    std::map<std::string, Prepared> statements;
    int prepared = 0;
    bool guard_prepared = false;  // the guard against unseen changes is prepared as varn_guard
    Stats stats;
    std::string last_connect_error;
};

SessionState& state();

// The session can take statements: open, and not known to be lost.
bool usable();

// Error texts and codes.
Sqlca error(int code, const std::string& text);
// The communication area for a failed libpq call (res may be null).
Sqlca from_failure(PGconn* conn, const PGresult* res);
// Runs a command without parameters; ok() on success.
Sqlca run_command(const char* command);
// The text form of a value that arrived in binary format (bytes and texts
// as they are); false for a type it does not know.
bool text_of_binary(Oid type, const char* value, int len, std::string& out);

} // namespace sql::detail
