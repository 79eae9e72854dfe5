// One round trip for several commands: they are queued in pipeline mode,
// sent with one sync and their results read back in order.
#include "exchange.h"

namespace sql::detail {

Exchange::~Exchange() {
    for (PGresult* r : results_) PQclear(r);
}

bool Exchange::enter() {
    if (!entered_) entered_ = PQenterPipelineMode(conn_) == 1;
    return entered_;
}

int Exchange::add(const char* command) {
    return add(command, 0, nullptr, nullptr, nullptr, nullptr, false);
}

int Exchange::add(const std::string& command, int count, const Oid* types, const char* const* values,
                  const int* lengths, const int* formats, bool binary_results) {
    if (!send_failed_ && (!enter() || PQsendQueryParams(conn_, command.c_str(), count, types, values, lengths,
                                                        formats, binary_results ? 1 : 0) != 1))
        send_failed_ = true;
    return queued_++;
}

int Exchange::prepare(const std::string& name, const std::string& command, int count, const Oid* types) {
    if (!send_failed_ && (!enter() || PQsendPrepare(conn_, name.c_str(), command.c_str(), count, types) != 1))
        send_failed_ = true;
    return queued_++;
}

int Exchange::add_prepared(const std::string& name, int count, const char* const* values, const int* lengths,
                           const int* formats, bool binary_results) {
    if (!send_failed_ && (!enter() || PQsendQueryPrepared(conn_, name.c_str(), count, values, lengths, formats,
                                                          binary_results ? 1 : 0) != 1))
        send_failed_ = true;
    return queued_++;
}

void Exchange::run() {
    results_.assign(static_cast<std::size_t>(queued_), nullptr);
    if (!entered_) return;
    ++state().stats.round_trips;
    if (!send_failed_ && PQpipelineSync(conn_) == 1) {
        for (int i = 0; i < queued_; ++i) {
            PGresult* r = PQgetResult(conn_);
            if (!r) break;  // the session broke
            results_[static_cast<std::size_t>(i)] = r;
            // Each command's results end with a null one.
            while (PGresult* more = PQgetResult(conn_)) PQclear(more);
        }
        // The sync's own result.
        if (PQstatus(conn_) == CONNECTION_OK) {
            while (PGresult* r = PQgetResult(conn_)) {
                bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
                PQclear(r);
                if (sync) break;
            }
        }
    }
    // Results left unread (the session broke while they were awaited) leave
    // libpq in pipeline mode and out of step with the server: the session is
    // of no further use, and the statement reports it lost.
    if (PQexitPipelineMode(conn_) != 1) state().lost = true;
}

bool Exchange::ok(int i) const {
    const PGresult* r = result(i);
    return r && (PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK);
}

Sqlca Exchange::failure(int i) const { return from_failure(conn_, result(i)); }

} // namespace sql::detail
