// Runs a translated statement on the session: the transaction and savepoint
// around it, the host variables in and out.
#include "session_state.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace sql {
namespace detail {
namespace {

constexpr Oid kInt4 = 23, kInt2 = 21, kText = 25, kBytea = 17;

// The value a host variable holds while the statement runs; copied back to
// the caller only after the whole statement succeeded.
struct Slot {
    bool null = true;
    bool assigned = false;
    long long number = 0;  // i32, i16
    std::string bytes;     // varchar, raw
};

Slot read_bind(const Bind& b) {
    Slot s;
    if (b.dir == Dir::out) return s;
    if (b.indicator && *b.indicator < 0) return s;
    switch (b.type) {
    case Type::i32: s.number = *static_cast<const std::int32_t*>(b.data); s.null = false; break;
    case Type::i16: s.number = *static_cast<const std::int16_t*>(b.data); s.null = false; break;
    case Type::varchar:
    case Type::raw: {
        std::size_t n = b.length ? std::min<std::size_t>(*b.length, b.capacity) : 0;
        s.bytes.assign(static_cast<const char*>(b.data), n);
        s.null = n == 0;  // the empty text is NULL
        break;
    }
    }
    return s;
}

int hexval(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Converts one result value (text form) for host variable b.
Sqlca store(const Bind& b, Slot& slot, const char* value, std::size_t len, bool is_null, Oid type) {
    slot.assigned = true;
    slot.null = is_null || len == 0;
    slot.bytes.clear();
    if (slot.null) return {};
    if (b.type == Type::i32 || b.type == Type::i16) {
        std::string text(value, len);
        errno = 0;
        char* end = nullptr;
        long double d = std::strtold(text.c_str(), &end);
        if (end == text.c_str() || *end != '\0')
            return error(-6502, "ORA-06502: PL/SQL: numeric or value error: character to number conversion error");
        long double r = std::round(d);
        long double lo = b.type == Type::i32 ? std::numeric_limits<std::int32_t>::min()
                                             : std::numeric_limits<std::int16_t>::min();
        long double hi = b.type == Type::i32 ? std::numeric_limits<std::int32_t>::max()
                                             : std::numeric_limits<std::int16_t>::max();
        if (errno == ERANGE || r < lo || r > hi)
            return error(-1455, "ORA-01455: converting column overflows integer datatype");
        slot.number = static_cast<long long>(r);
        return {};
    }
    if (b.type == Type::raw && type == kBytea && len >= 2 && value[0] == '\\' && value[1] == 'x') {
        for (std::size_t i = 2; i + 1 < len; i += 2)
            slot.bytes += static_cast<char>(hexval(value[i]) * 16 + hexval(value[i + 1]));
    } else {
        slot.bytes.assign(value, len);
    }
    if (slot.bytes.size() > b.capacity)
        return error(-6502, "ORA-06502: PL/SQL: numeric or value error: character string buffer too small (" +
                                std::to_string(slot.bytes.size()) + " > " + std::to_string(b.capacity) + ")");
    slot.null = slot.bytes.empty();
    return {};
}

void write_back(const Bind& b, const Slot& s) {
    if (!s.assigned) return;
    if (b.indicator) *b.indicator = s.null ? -1 : 0;
    if (s.null) {
        // With an indicator the value stays as it was.
        if (!b.indicator && (b.type == Type::varchar || b.type == Type::raw) && b.length) *b.length = 0;
        return;
    }
    switch (b.type) {
    case Type::i32: *static_cast<std::int32_t*>(b.data) = static_cast<std::int32_t>(s.number); break;
    case Type::i16: *static_cast<std::int16_t*>(b.data) = static_cast<std::int16_t>(s.number); break;
    case Type::varchar:
    case Type::raw:
        std::memcpy(b.data, s.bytes.data(), s.bytes.size());
        if (b.length) *b.length = static_cast<std::uint16_t>(s.bytes.size());
        break;
    }
}

class Run {
public:
    Run(std::span<const Bind> binds) : binds_(binds) {
        for (const auto& b : binds) slots_.push_back(read_bind(b));
    }

    Sqlca steps(const Plan& plan) {
        for (const Step& st : plan.steps) {
            Sqlca r = step(st);
            if (!r.ok()) {
                undo();
                return r;
            }
        }
        if (savepoint_) {
            Sqlca r = run_command("RELEASE SAVEPOINT varn_stmt");
            if (!r.ok()) return r;
        }
        for (std::size_t i = 0; i < binds_.size(); ++i) write_back(binds_[i], slots_[i]);
        return {};
    }

private:
    Sqlca open_savepoint() {
        SessionState& s = state();
        if (!s.in_transaction) {
            Sqlca r = run_command("BEGIN");
            if (!r.ok()) return r;
            s.in_transaction = true;
        }
        if (!savepoint_) {
            Sqlca r = run_command("SAVEPOINT varn_stmt");
            if (!r.ok()) return r;
            savepoint_ = true;
        }
        return {};
    }

    // A failed statement undoes only its own work.
    void undo() {
        if (savepoint_ && PQstatus(state().conn) == CONNECTION_OK) {
            run_command("ROLLBACK TO SAVEPOINT varn_stmt");
            run_command("RELEASE SAVEPOINT varn_stmt");
        }
        savepoint_ = false;
    }

    Sqlca end_transaction(const char* command) {
        SessionState& s = state();
        savepoint_ = false;
        if (!s.in_transaction) return {};
        Sqlca r = run_command(command);
        s.in_transaction = false;
        return r;
    }

    Sqlca step(const Step& st) {
        switch (st.kind) {
        case Step::Kind::commit: return end_transaction("COMMIT");
        case Step::Kind::rollback: return end_transaction("ROLLBACK");
        case Step::Kind::literal: {
            const auto& v = st.literal;
            return store(binds_[st.target], slots_[st.target], v ? v->data() : "", v ? v->size() : 0,
                         !v, kText);
        }
        case Step::Kind::query:
        case Step::Kind::select_into: return query(st);
        }
        return {};
    }

    Sqlca query(const Step& st) {
        if (Sqlca r = open_savepoint(); !r.ok()) return r;
        std::size_t n = st.params.size();
        std::vector<std::string> text(n);
        std::vector<const char*> values(n);
        std::vector<int> lengths(n), formats(n);
        std::vector<Oid> types(n);
        for (std::size_t i = 0; i < n; ++i) {
            const Bind& b = binds_[st.params[i]];
            const Slot& s = slots_[st.params[i]];
            switch (b.type) {
            case Type::i32: types[i] = kInt4; break;
            case Type::i16: types[i] = kInt2; break;
            case Type::varchar: types[i] = kText; break;
            case Type::raw: types[i] = kBytea; formats[i] = 1; break;
            }
            if (s.null) continue;
            if (b.type == Type::i32 || b.type == Type::i16) {
                text[i] = std::to_string(s.number);
            } else {
                text[i] = s.bytes;
                if (b.type == Type::varchar && text[i].find('\0') != std::string::npos)
                    return error(-6502, "ORA-06502: PL/SQL: numeric or value error: a text holds a NUL byte");
            }
            values[i] = text[i].data();
            lengths[i] = static_cast<int>(text[i].size());
        }
        PGconn* c = state().conn;
        PGresult* r = PQexecParams(c, st.sql.c_str(), static_cast<int>(n), types.data(), values.data(),
                                   lengths.data(), formats.data(), 0);
        Sqlca out;
        if (!r || PQresultStatus(r) != PGRES_TUPLES_OK) {
            out = from_failure(c, r);
        } else if (PQntuples(r) == 0) {
            out = st.kind == Step::Kind::select_into
                      ? error(1403, "ORA-01403: no data found")
                      : error(-6550, "ORA-06550: the routine returned no row");
        } else if (PQntuples(r) > 1) {
            out = error(-1422, "ORA-01422: exact fetch returns more than requested number of rows");
        } else {
            for (const Output& o : st.outputs) {
                int col = o.column.empty() ? o.index : PQfnumber(r, ("\"" + o.column + "\"").c_str());
                if (col < 0 || col >= PQnfields(r)) {
                    out = error(-6550, "ORA-06550: the result has no column " +
                                           (o.column.empty() ? std::to_string(o.index) : o.column));
                    break;
                }
                out = store(binds_[o.bind], slots_[o.bind], PQgetvalue(r, 0, col),
                            static_cast<std::size_t>(PQgetlength(r, 0, col)), PQgetisnull(r, 0, col),
                            PQftype(r, col));
                if (!out.ok()) break;
            }
        }
        PQclear(r);
        return out;
    }

    std::span<const Bind> binds_;
    std::vector<Slot> slots_;
    bool savepoint_ = false;
};

// A transaction begins with the first change: one in which nothing was
// changed (no transaction id assigned) ends at once, so that an idle
// station holds no locks and no snapshot.
void end_unchanged_transaction() {
    SessionState& s = state();
    if (!s.in_transaction || PQstatus(s.conn) != CONNECTION_OK) return;
    PGresult* r = PQexec(s.conn, "SELECT txid_current_if_assigned() IS NULL");
    bool unchanged = r && PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 &&
                     std::strcmp(PQgetvalue(r, 0, 0), "t") == 0;
    PQclear(r);
    if (!unchanged) return;
    run_command("COMMIT");
    s.in_transaction = false;
}

} // namespace
} // namespace detail

Sqlca execute(std::string_view statement, std::span<const Bind> binds) {
    using namespace detail;
    SessionState& s = state();
    ++s.stats.statements;
    // After the server ended the session (killed or lost), the statements
    // find no session, as on a session that was never opened: -1012 is a
    // code on which callers reconnect.
    if (!s.conn || PQstatus(s.conn) != CONNECTION_OK) return error(-1012, "ORA-01012: not logged on");
    Plan plan = translate(statement, binds, s.catalog);
    if (PQstatus(s.conn) != CONNECTION_OK)
        return error(-3113, "ORA-03113: end-of-file on communication channel");
    if (plan.error_code) return error(plan.error_code, plan.error);
    Sqlca r = Run(binds).steps(plan);
    end_unchanged_transaction();
    return r;
}

Sqlca execute(std::string_view statement, std::initializer_list<Bind> binds) {
    return execute(statement, std::span<const Bind>(binds.begin(), binds.size()));
}

} // namespace sql
