// Runs a translated statement on the session: the transaction and savepoint
// around it, the host variables in and out.
#include "exchange.h"
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

// Converts one result value for host variable b: its text form, or with
// `binary` its bytes in binary format.
Sqlca store(const Bind& b, Slot& slot, const char* value, std::size_t len, bool is_null, Oid type, bool binary) {
    std::string decoded;
    if (binary && !is_null) {
        if (!text_of_binary(type, value, static_cast<int>(len), decoded))
            return error(-6502, "ORA-06502: PL/SQL: numeric or value error: a result of type " +
                                    std::to_string(type) + " cannot be read");
        value = decoded.data();
        len = decoded.size();
    }
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
        if (errno == ERANGE || std::isnan(r) || r < lo || r > hi)
            return error(-1455, "ORA-01455: converting column overflows integer datatype");
        slot.number = static_cast<long long>(r);
        return {};
    }
    // Bytes as they came: a query whose results a RAW receives asks for
    // them in binary format, where bytea is its bytes.
    slot.bytes.assign(value, len);
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

// Runs a statement's steps inside the session's transaction, in as few round
// trips as the rules allow. A transaction begins with the first change: a
// statement that began one and changed nothing ends it at once. A
// statement's savepoint is released with the next statement (or ends with
// its transaction), so that a statement whose results cannot be taken is
// still undone by going back to it. Each query goes in one exchange with
// the transaction's commands it needs (Run::exchange says which, case by
// case) and is prepared on the server at its first run on the session.
//
// A statement of one query that calls only routines declared not to change
// the database (STABLE or IMMUTABLE), run while no transaction is open,
// goes alone: the server runs it in a transaction of its own that ends with
// the exchange, and no BEGIN, savepoint or COMMIT goes with it. A file is
// fetched chunk by chunk this way. Only the guard follows it, which fails,
// and so undoes the query, should a routine change something after all
// (through a routine it calls that may). Such a statement keeps what it
// did to the session's settings even when its results cannot be taken
// (a result too long for its host variable): its transaction has already
// ended by then.
class Run {
public:
    Run(Prepared& statement, std::span<const Bind> binds) : statement_(statement), binds_(binds) {
        for (const auto& b : binds) slots_.push_back(read_bind(b));
    }

    Sqlca steps() {
        const Plan& plan = statement_.plan;
        last_query_ = -1;
        int queries = 0, reading = 0;
        bool ends = false;
        for (std::size_t i = 0; i < plan.steps.size(); ++i) {
            Step::Kind k = plan.steps[i].kind;
            if (k == Step::Kind::query || k == Step::Kind::select_into) {
                last_query_ = static_cast<int>(i);
                ++queries;
                if (plan.steps[i].reads_only) ++reading;
            }
            if (k == Step::Kind::commit || k == Step::Kind::rollback) {
                last_query_ = -1;  // ends it anyway
                ends = true;
            }
        }
        alone_ = !state().in_transaction && queries == 1 && reading == 1 && !ends;
        Sqlca r = attempt();
        if (!r.ok() && outdated_) {
            // A query prepared for other result columns of its routine was
            // refused before anything of it ran, and is now prepared again:
            // once the statement's work so far is undone, the statement runs
            // once more, from its first step.
            outdated_ = false;
            slots_.clear();
            for (const auto& b : binds_) slots_.push_back(read_bind(b));
            began_ = unchanged_ = false;
            r = attempt();
        }
        if (!r.ok()) return r;
        for (std::size_t i = 0; i < binds_.size(); ++i) write_back(binds_[i], slots_[i]);
        if (unchanged_) end_transaction("COMMIT");
        return {};
    }

private:
    // The statement's steps in order; a failed step undoes the statement.
    // outdated_ then tells whether the statement may run again.
    Sqlca attempt() {
        for (std::size_t i = 0; i < statement_.plan.steps.size(); ++i) {
            Sqlca r = step(i);
            if (!r.ok()) {
                if (!undo()) outdated_ = false;
                return r;
            }
        }
        return {};
    }

    Sqlca step(std::size_t i) {
        const Step& st = statement_.plan.steps[i];
        switch (st.kind) {
        case Step::Kind::commit: return end_transaction("COMMIT");
        case Step::Kind::rollback: return end_transaction("ROLLBACK");
        case Step::Kind::literal: {
            const auto& v = st.literal;
            return store(binds_[st.target], slots_[st.target], v ? v->data() : "", v ? v->size() : 0,
                         !v, kText, false);
        }
        case Step::Kind::query:
        case Step::Kind::select_into: return query(i, static_cast<int>(i) == last_query_);
        }
        return {};
    }

    // A failed statement undoes only its own work; a transaction in which
    // nothing changed ends. False when the session could not be taken back
    // to where it stood before the statement.
    bool undo() {
        SessionState& s = state();
        if (!usable()) return false;
        if (!s.in_transaction) return true;
        if (began_) return end_transaction("ROLLBACK").ok();  // nothing but this statement's work was in it
        if (!savepoint_) return true;  // nothing of this statement reached the server
        Exchange ex(s.conn);
        int back = ex.add("ROLLBACK TO SAVEPOINT varn_stmt");
        int check = s.changed ? -1 : ex.add(kUnassigned);
        ex.run();
        if (!ex.ok(back)) return false;
        if (check >= 0 && unassigned(ex, check)) return end_transaction("ROLLBACK").ok();
        return true;
    }

    Sqlca end_transaction(const char* command) {
        SessionState& s = state();
        savepoint_ = false;
        unchanged_ = false;
        if (!s.in_transaction) return {};
        Sqlca r = run_command(command);
        s.in_transaction = s.changed = s.savepoint = false;
        return r;
    }

    static constexpr const char* kUnassigned = "SELECT pg_catalog.txid_current_if_assigned() IS NULL";
    // Fails (undefined setting, SQLSTATE 42704) only when the transaction
    // has a transaction id, that is when it changed something. A CASE, since
    // it evaluates only the branch that its condition picks (the order in
    // which OR evaluates its operands is not promised); the failing branch
    // reads a setting, which is not folded into a constant when the command
    // is planned.
    static constexpr const char* kGuard =
        "SELECT CASE WHEN pg_catalog.txid_current_if_assigned() IS NULL THEN true"
        " ELSE pg_catalog.current_setting('varn.statement_changed_data')::boolean END";
    static constexpr const char* kGuardState = "42704";
    static constexpr const char* kGuardName = "varn_guard";

    static bool unassigned(const Exchange& ex, int i) {
        const PGresult* r = ex.result(i);
        return ex.ok(i) && PQntuples(r) == 1 && std::strcmp(PQgetvalue(r, 0, 0), "t") == 0;
    }

    // The server's refusal to run a prepared query whose routine gives other
    // result columns than when the query was prepared. It comes while the
    // server checks the query's plan, before anything of the query runs;
    // a routine that fails with the same SQLSTATE of its own is told apart
    // by the server function that raised it.
    static bool plan_outdated(const PGresult* r) {
        const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        const char* source = r ? PQresultErrorField(r, PG_DIAG_SOURCE_FUNCTION) : nullptr;
        return state && source && std::strcmp(state, "0A000") == 0 &&
               std::strcmp(source, "RevalidateCachedQuery") == 0;
    }

    static bool guard_stopped(const Exchange& ex, int i) {
        const PGresult* r = ex.result(i);
        const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        return state && std::strcmp(state, kGuardState) == 0;
    }

    // A query's parameters as libpq takes them: text for numbers and texts,
    // bytes in binary format for RAW.
    struct Params {
        std::vector<std::string> text;  // the numbers' text forms
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
        std::vector<Oid> types;
        bool binary_results = false;  // a RAW receives one of its columns
    };

    // The indices in an exchange of a query and of the transaction's
    // commands around it (-1: not queued).
    struct Queued {
        std::vector<int> before;  // BEGIN, or the release and the set of savepoints
        bool set_savepoint = false;
        int prepare = -1;
        std::string fresh;  // the name the query is prepared under in this exchange
        int query = -1;
        int kept = -1, guard = -1, commit = -1;  // after an unchanged statement's last query
        int check = -1;                          // after any other statement's last query
        int prepare_guard = -1;                  // the guard prepared for the session
    };

    // The guard, run by name: prepared on the server in the exchange of
    // its first use on the session.
    static int add_guard(Exchange& ex, Queued& queued) {
        if (!state().guard_prepared) queued.prepare_guard = ex.prepare(kGuardName, kGuard, 0, nullptr);
        return ex.add_prepared(kGuardName, 0, nullptr, nullptr, nullptr, false);
    }

    // One query of the statement, in three steps: its parameters, the
    // exchange that runs it inside the transaction's commands, and its one
    // row into the host variables.
    Sqlca query(std::size_t index, bool last_query) {
        const Step& st = statement_.plan.steps[index];
        Params params;
        if (Sqlca r = parameters(st, params); !r.ok()) return r;
        Exchange ex(state().conn);
        Queued queued;
        if (Sqlca r = exchange(index, last_query, params, ex, queued); !r.ok()) return r;
        return take_row(st, ex.result(queued.query));
    }

    // Step 1: the host variables that feed $1..$n.
    Sqlca parameters(const Step& st, Params& p) {
        const std::size_t n = st.params.size();
        p.text.resize(n);
        p.values.resize(n);
        p.lengths.resize(n);
        p.formats.resize(n);
        p.types.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const Bind& b = binds_[st.params[i]];
            const Slot& s = slots_[st.params[i]];
            switch (b.type) {
            case Type::i32: p.types[i] = kInt4; break;
            case Type::i16: p.types[i] = kInt2; break;
            case Type::varchar: p.types[i] = kText; break;
            case Type::raw: p.types[i] = kBytea; p.formats[i] = 1; break;
            }
            if (s.null) continue;
            // Numbers go as text; texts and bytes straight from their slot,
            // which stays as it is while the query runs.
            const std::string* value = &s.bytes;
            if (b.type == Type::i32 || b.type == Type::i16) {
                p.text[i] = std::to_string(s.number);
                value = &p.text[i];
            } else if (b.type == Type::varchar && s.bytes.find('\0') != std::string::npos) {
                return error(-6502, "ORA-06502: PL/SQL: numeric or value error: a text holds a NUL byte");
            }
            p.values[i] = value->data();
            p.lengths[i] = static_cast<int>(value->size());
        }
        // Bytes come back as they are where a RAW receives them.
        for (const Output& o : st.outputs)
            if (binds_[o.bind].type == Type::raw) p.binary_results = true;
        return {};
    }

    // Step 2: the query in one exchange with the transaction's commands that
    // must come before and after it, and what their outcome tells of the
    // transaction. Ok when the query ran; its result is then queued.query's.
    Sqlca exchange(std::size_t index, bool last_query, const Params& p, Exchange& ex, Queued& queued) {
        const Step& st = statement_.plan.steps[index];
        SessionState& ss = state();

        if (!ss.in_transaction && !alone_) {
            // No transaction is open: the statement begins one, and needs no
            // savepoint of its own (undoing it is ending the transaction).
            queued.before.push_back(ex.add("BEGIN"));
            ss.in_transaction = began_ = true;
        }
        queued.set_savepoint = !alone_ && !began_ && !savepoint_;
        if (queued.set_savepoint) {
            // The first query of a statement inside an open transaction: the
            // last statement's savepoint is released and this one's set, so
            // that a failure undoes this statement only.
            if (ss.savepoint) queued.before.push_back(ex.add("RELEASE SAVEPOINT varn_stmt"));
            queued.before.push_back(ex.add("SAVEPOINT varn_stmt"));
        }

        // The query is prepared at its first run on the session.
        std::string& name = statement_.names[index];
        if (name.empty()) {
            queued.fresh = "varn_" + std::to_string(++ss.prepared);
            queued.prepare = ex.prepare(queued.fresh, st.sql, static_cast<int>(p.types.size()), p.types.data());
            queued.before.push_back(queued.prepare);
        }
        queued.query = ex.add_prepared(name.empty() ? queued.fresh : name, static_cast<int>(p.values.size()),
                                       p.values.data(), p.lengths.data(), p.formats.data(), p.binary_results);

        const bool guarded = last_query && began_ && !statement_.changes;
        if (alone_) {
            // The guard only: it fails should the query have changed
            // anything, and the server's own transaction is then undone.
            queued.guard = add_guard(ex, queued);
        } else if (guarded) {
            // The statement began the transaction and changed nothing the
            // last time: after its last query, a savepoint, the guard and
            // COMMIT. Unchanged, the transaction ends in this exchange;
            // changed, the guard stops the COMMIT, and going back to the
            // savepoint keeps the change.
            queued.kept = ex.add("SAVEPOINT varn_kept");
            queued.guard = add_guard(ex, queued);
            queued.commit = ex.add("COMMIT");
        } else if (last_query && !ss.changed) {
            // Any other last query while no change of the transaction is
            // known: whether it has a transaction id now, that is whether
            // anything changed (the transaction ends after the statement
            // when nothing did).
            queued.check = ex.add(kUnassigned);
        }

        ex.run();
        if (queued.prepare >= 0 && ex.ok(queued.prepare)) name = queued.fresh;
        if (queued.prepare_guard >= 0 && ex.ok(queued.prepare_guard)) ss.guard_prepared = true;
        for (int b : queued.before) {
            if (!ex.ok(b)) return ex.failure(b);
        }
        if (queued.set_savepoint) savepoint_ = ss.savepoint = true;
        const int q = queued.query;
        if (!ex.ok(q)) {
            if (plan_outdated(ex.result(q)) && !retried_) {
                // Prepared again, and the statement runs again at once
                // (steps()); only once per call.
                name.clear();
                outdated_ = retried_ = true;
            }
            return ex.failure(q);
        }

        if (alone_) {
            if (ex.ok(queued.guard)) return {};
            if (guard_stopped(ex, queued.guard))
                return error(-600, "ORA-00600: a routine declared not to change the database changed it; "
                                   "the change was undone (" + st.sql + ")");
            return ex.failure(queued.guard);
        }
        if (guarded) {
            if (ex.ok(queued.commit)) {
                // Nothing changed: the transaction has ended.
                ss.in_transaction = ss.changed = ss.savepoint = false;
            } else if (ex.ok(queued.kept) && guard_stopped(ex, queued.guard)) {
                // Something changed: back to the savepoint after the query,
                // and the transaction stays open.
                statement_.changes = ss.changed = true;
                Exchange back(ss.conn);
                int to = back.add("ROLLBACK TO SAVEPOINT varn_kept");
                int release = back.add("RELEASE SAVEPOINT varn_kept");
                back.run();
                if (!back.ok(to)) return back.failure(to);
                if (!back.ok(release)) return back.failure(release);
            } else {
                return ex.failure(!ex.ok(queued.kept) ? queued.kept : !ex.ok(queued.guard) ? queued.guard
                                                                                            : queued.commit);
            }
        }
        if (queued.check >= 0) {
            // Unchanged, the transaction ends once the statement is done
            // (its host variables taken); a statement that began the
            // transaction remembers for its next run whether it changed
            // anything.
            if (unassigned(ex, queued.check)) unchanged_ = true;
            else if (ex.ok(queued.check)) ss.changed = true;
            if (began_ && ex.ok(queued.check)) statement_.changes = !unchanged_;
        }
        return {};
    }

    // Step 3: the query's one row into the host variables' slots.
    Sqlca take_row(const Step& st, const PGresult* r) {
        if (PQresultStatus(r) != PGRES_TUPLES_OK)
            return error(-6550, "ORA-06550: the statement returned no rows");
        if (PQntuples(r) == 0)
            return st.kind == Step::Kind::select_into ? error(1403, "ORA-01403: no data found")
                                                      : error(-6550, "ORA-06550: the routine returned no row");
        if (PQntuples(r) > 1)
            return error(-1422, "ORA-01422: exact fetch returns more than requested number of rows");
        for (const Output& o : st.outputs) {
            int col = o.column.empty() ? o.index : PQfnumber(r, ("\"" + o.column + "\"").c_str());
            if (col < 0 || col >= PQnfields(r))
                return error(-6550, "ORA-06550: the result has no column " +
                                        (o.column.empty() ? std::to_string(o.index) : o.column));
            Sqlca out = store(binds_[o.bind], slots_[o.bind], PQgetvalue(r, 0, col),
                              static_cast<std::size_t>(PQgetlength(r, 0, col)), PQgetisnull(r, 0, col),
                              PQftype(r, col), PQfformat(r, col) == 1);
            if (!out.ok()) return out;
        }
        return {};
    }

    Prepared& statement_;
    std::span<const Bind> binds_;
    std::vector<Slot> slots_;
    int last_query_ = -1;
    bool savepoint_ = false;   // this statement's savepoint is set
    bool began_ = false;       // this statement began the transaction
    bool unchanged_ = false;   // the last query found nothing changed
    bool outdated_ = false;    // a query failed on a plan for other result columns
    bool retried_ = false;     // the statement ran again for that
    bool alone_ = false;       // its one query goes without the transaction's commands
};

} // namespace
} // namespace detail

Sqlca execute(std::string_view statement, std::span<const Bind> binds) {
    using namespace detail;
    SessionState& s = state();
    ++s.stats.statements;
    // After the server ended the session (killed or lost), the statements
    // find no session, as on a session that was never opened: -1012 is a
    // code on which callers reconnect.
    if (!usable()) return error(-1012, "ORA-01012: not logged on");
    // A text is translated once per shape of its host variables (their
    // types, directions and indicators decide the translation).
    std::string key(statement);
    key += '\0';
    for (const Bind& b : binds) {
        key += static_cast<char>('0' + static_cast<int>(b.type));
        key += static_cast<char>('0' + static_cast<int>(b.dir));
        key += b.indicator ? 'i' : '-';
    }
    auto it = s.statements.find(key);
    if (it == s.statements.end()) {
        Plan plan = translate(statement, binds, s.catalog);
        if (!usable()) return error(-3113, "ORA-03113: end-of-file on communication channel");
        if (plan.error_code) return error(plan.error_code, plan.error);
        std::size_t steps = plan.steps.size();
        it = s.statements.emplace(std::move(key), Prepared{std::move(plan), std::vector<std::string>(steps), false})
                 .first;
    }
    return Run(it->second, binds).steps();
}

Sqlca execute(std::string_view statement, std::initializer_list<Bind> binds) {
    return execute(statement, std::span<const Bind>(binds.begin(), binds.size()));
}

} // namespace sql
