// Server failures in Oracle's terms: a lost session is -3113, a message that
// begins "ORA-nnnnn:" (raised by the schema's routines) is -nnnnn, and the
// other conditions are mapped by their SQLSTATE.
#include "session_state.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace sql::detail {
namespace {

struct StateCode {
    const char* sqlstate;
    int code;
};

// SQLSTATEs with an Oracle counterpart; the rest is -600.
constexpr StateCode kStateCodes[] = {
    {"22P02", -6502},  // invalid text representation (TO_NUMBER of a non-number)
    {"22001", -6502},  // string too long
    {"22003", -1426},  // numeric overflow
    {"22012", -1476},  // division by zero
    {"22007", -1861},  // date text does not match its format
    {"22008", -1843},  // date field out of range
    {"21000", -1422},  // more than one row
    {"23505", -1},     // unique constraint
    {"23502", -1400},  // NULL into a NOT NULL column
    {"23503", -2291},  // parent key not found
    {"40P01", -60},    // deadlock
    {"57014", -1013},  // cancelled
    {"42883", -6550},  // undefined routine
    {"42P01", -6550},  // undefined table
    {"42703", -6550},  // undefined column
    {"42809", -6550},  // wrong kind of object
    {"42601", -6550},  // syntax error
    {"42804", -6550},  // datatype mismatch
};

// Whether a failure means the session is gone: libpq lost the connection or
// its protocol state (a failure of its own, without a SQLSTATE), or the
// server ended the session (shutdown, termination, idle timeout: the 57P
// class). The first statement that meets a dead server reports it at once,
// whatever libpq's connection status still says.
bool session_ended(PGconn* conn, const PGresult* res) {
    if (!conn || PQstatus(conn) == CONNECTION_BAD || state().lost) return true;
    if (res && PQresultStatus(res) == PGRES_PIPELINE_ABORTED) return false;  // a command before it failed
    const char* sqlstate = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    return !sqlstate || std::strncmp(sqlstate, "57P", 3) == 0;
}

std::string trim(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

} // namespace

Sqlca error(int code, const std::string& text) { return Sqlca{code, text}; }

Sqlca from_failure(PGconn* conn, const PGresult* res) {
    std::string pg = trim(res && PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY)
                              ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY)
                              : PQerrorMessage(conn));
    if (session_ended(conn, res)) {
        state().lost = true;
        return error(-3113, "ORA-03113: end-of-file on communication channel (" + pg + ")");
    }
    int n = 0;
    if (pg.size() > 10 && pg.compare(0, 4, "ORA-") == 0 && pg[9] == ':' &&
        std::sscanf(pg.c_str() + 4, "%5d", &n) == 1 && n > 0)
        return error(-n, pg);
    const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    int code = -600;
    if (state)
        for (const auto& sc : kStateCodes)
            if (std::strcmp(sc.sqlstate, state) == 0) code = sc.code;
    char head[24];
    std::snprintf(head, sizeof head, "ORA-%05d: ", -code);
    return error(code, head + pg);
}

Sqlca run_command(const char* command) {
    PGconn* c = state().conn;
    ++state().stats.round_trips;
    PGresult* r = PQexec(c, command);
    Sqlca out;
    if (!r || PQresultStatus(r) != PGRES_COMMAND_OK) out = from_failure(c, r);
    PQclear(r);
    return out;
}

} // namespace sql::detail
