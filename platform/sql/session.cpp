// The connection library's two calls: open and close the process's session.
#include "session_state.h"

#include <cstring>

namespace sql {
namespace detail {

SessionState& state() {
    static SessionState s;
    return s;
}

bool usable() {
    const SessionState& s = state();
    return s.conn && !s.lost && PQstatus(s.conn) == CONNECTION_OK;
}

namespace {

int classify(const char* message) {
    std::string m = message ? message : "";
    auto has = [&](const char* s) { return m.find(s) != std::string::npos; };
    if (has("authentication failed") || (has("role \"") && has("does not exist"))) return -1017;
    if (has("database \"") && has("does not exist")) return -12154;
    if (has("No such file or directory") || has("Connection refused") || has("could not connect"))
        return -12541;
    return -12500;
}

void close_session() {
    SessionState& s = state();
    if (!s.conn) return;
    // An orderly logoff keeps the work of the open transaction.
    if (s.in_transaction && usable()) run_command("COMMIT");
    PQfinish(s.conn);
    s.conn = nullptr;
    s.in_transaction = s.changed = s.savepoint = s.lost = false;
    s.catalog.clear();
    s.statements.clear();
    s.prepared = 0;
    s.guard_prepared = false;
}

} // namespace
} // namespace detail

int lusken_connect(const char* user, const char* password, const char* database) {
    using namespace detail;
    SessionState& s = state();
    close_session();
    auto given = [](const char* v) { return v && *v ? v : nullptr; };
    const char* keys[] = {"dbname", "user", "password", "client_encoding", "application_name",
                          "connect_timeout", nullptr};
    const char* values[] = {given(database), given(user), given(password), "SQL_ASCII",
                            "phoneline", "10", nullptr};
    // Unset entries must not end the list early: move them to the back.
    const char* k[7] = {};
    const char* v[7] = {};
    int n = 0;
    for (int i = 0; keys[i]; ++i)
        if (values[i]) { k[n] = keys[i]; v[n] = values[i]; ++n; }
    PGconn* c = PQconnectdbParams(k, v, 1);
    if (!c || PQstatus(c) != CONNECTION_OK) {
        s.last_connect_error = c ? PQerrorMessage(c) : "out of memory";
        int code = classify(s.last_connect_error.c_str());
        PQfinish(c);
        ++s.stats.connect_failures;
        return code;
    }
    s.conn = c;
    s.in_transaction = s.changed = s.savepoint = s.lost = false;
    s.statements.clear();
    s.prepared = 0;
    ++s.stats.connects;
    return 0;
}

int lusken_disconnect() {
    detail::close_session();
    ++detail::state().stats.disconnects;
    return 0;
}

bool session_open() { return detail::state().conn != nullptr; }

int session_backend_pid() {
    auto* c = detail::state().conn;
    return c ? PQbackendPID(c) : 0;
}

std::string last_connect_error() { return detail::state().last_connect_error; }

Stats stats() { return detail::state().stats; }

} // namespace sql
