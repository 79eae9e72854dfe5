// Parameter modes, names and volatility of the routines that statements
// call, read from pg_proc and kept for the session.
//
// The first routine looked up in a schema reads every routine of that
// schema in one query (a station's file transfer calls three routines of one
// schema, and each look-up is a round trip). A name that this does not
// settle, a routine made later, one that is overloaded or not a plain
// function, is looked up on its own, which also gives the reason it is
// refused.
#include "session_state.h"

#include <sstream>

namespace sql::detail {
namespace {

// The columns both look-ups give: name, modes, names, argument count,
// kind, volatility.
constexpr const char* kColumns =
    "SELECT p.proname, coalesce(array_to_string(p.proargmodes, ','), ''),"
    "       coalesce(array_to_string(p.proargnames, ',', ''), ''),"
    "       p.pronargs, p.prokind, p.provolatile"
    "  FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n ON n.oid = p.pronamespace"
    " WHERE n.nspname = $1";

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(s);
    while (std::getline(in, item, ',')) out.push_back(item);
    if (!s.empty() && s.back() == ',') out.emplace_back();
    return out;
}

// Runs a look-up; inside an open transaction a failed one must not abort it.
PGresult* look_up(const std::string& sql, int count, const char* const* values) {
    bool guarded = state().in_transaction && run_command("SAVEPOINT varn_catalog").ok();
    ++state().stats.round_trips;
    PGresult* r = PQexecParams(state().conn, sql.c_str(), count, nullptr, values, nullptr, nullptr, 0);
    bool failed = !r || PQresultStatus(r) != PGRES_TUPLES_OK;
    if (guarded && failed) run_command("ROLLBACK TO SAVEPOINT varn_catalog");
    if (guarded) run_command("RELEASE SAVEPOINT varn_catalog");
    return r;
}

// The routine of row i, or nullopt and why it cannot be called.
std::optional<Routine> routine_of(const PGresult* r, int i, const std::string& schema, std::string& error) {
    const std::string name = PQgetvalue(r, i, 0);
    if (PQgetvalue(r, i, 4)[0] != 'f') {
        error = schema + "." + name + " is not a function";
        return std::nullopt;
    }
    Routine rt{schema, name, {}, PQgetvalue(r, i, 5)[0] != 'v'};
    auto modes = split(PQgetvalue(r, i, 1));
    auto names = split(PQgetvalue(r, i, 2));
    std::size_t n = modes.empty() ? static_cast<std::size_t>(std::stoi(PQgetvalue(r, i, 3))) : modes.size();
    for (std::size_t k = 0; k < n; ++k) {
        RoutineParam p;
        p.name = k < names.size() ? names[k] : "";
        p.mode = modes.empty() ? 'i' : modes[k][0];
        if (p.mode != 'i' && p.mode != 'o' && p.mode != 'b') {
            error = schema + "." + name + " has a VARIADIC or TABLE parameter";
            return std::nullopt;
        }
        rt.params.push_back(std::move(p));
    }
    return rt;
}

} // namespace

void PgCatalog::load_schema(const std::string& schema) {
    const char* values[] = {schema.c_str()};
    PGresult* r = look_up(kColumns, 1, values);
    const bool ok = r && PQresultStatus(r) == PGRES_TUPLES_OK;
    std::map<std::string, int> rows;  // per name, how many routines have it
    for (int i = 0; ok && i < PQntuples(r); ++i) ++rows[PQgetvalue(r, i, 0)];
    for (int i = 0; ok && i < PQntuples(r); ++i) {
        std::string why;
        if (rows[PQgetvalue(r, i, 0)] != 1) continue;
        if (auto rt = routine_of(r, i, schema, why)) cache_[schema + "." + rt->name] = std::move(*rt);
    }
    PQclear(r);
    if (ok) loaded_.insert(schema);
}

std::optional<Routine> PgCatalog::find(const std::string& schema, const std::string& name,
                                       std::string& error) {
    std::string key = schema + "." + name;
    if (!loaded_.count(schema)) load_schema(schema);
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;

    const std::string q = std::string(kColumns) + " AND p.proname = $2";
    const char* values[] = {schema.c_str(), name.c_str()};
    PGresult* r = look_up(q, 2, values);
    std::optional<Routine> out;
    if (!r || PQresultStatus(r) != PGRES_TUPLES_OK) {
        error = "catalogue look-up failed: " + from_failure(state().conn, r).sqlerrm;
    } else if (PQntuples(r) == 0) {
        error = "no routine " + name + " in schema " + schema;
    } else if (PQntuples(r) > 1) {
        error = "routine " + schema + "." + name + " is overloaded; only one signature is supported";
    } else if ((out = routine_of(r, 0, schema, error))) {
        cache_[key] = *out;
    }
    PQclear(r);
    return out;
}

} // namespace sql::detail
