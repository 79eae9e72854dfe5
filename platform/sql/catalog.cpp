// Parameter modes and names of the routines that statements call, read once
// per session from pg_proc.
#include "session_state.h"

#include <sstream>

namespace sql::detail {
namespace {

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(s);
    while (std::getline(in, item, ',')) out.push_back(item);
    if (!s.empty() && s.back() == ',') out.emplace_back();
    return out;
}

} // namespace

std::optional<Routine> PgCatalog::find(const std::string& schema, const std::string& name,
                                       std::string& error) {
    std::string key = schema + "." + name;
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;

    const char* q =
        "SELECT coalesce(array_to_string(p.proargmodes, ','), ''),"
        "       coalesce(array_to_string(p.proargnames, ',', ''), ''),"
        "       p.pronargs, p.prokind"
        "  FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n ON n.oid = p.pronamespace"
        " WHERE n.nspname = $1 AND p.proname = $2";
    const char* values[] = {schema.c_str(), name.c_str()};
    // Inside an open transaction a failed look-up must not abort it.
    bool guarded = state().in_transaction && run_command("SAVEPOINT varn_catalog").ok();
    ++state().stats.round_trips;
    PGresult* r = PQexecParams(state().conn, q, 2, nullptr, values, nullptr, nullptr, 0);
    bool failed = !r || PQresultStatus(r) != PGRES_TUPLES_OK;
    if (guarded && failed) run_command("ROLLBACK TO SAVEPOINT varn_catalog");
    if (guarded) run_command("RELEASE SAVEPOINT varn_catalog");
    std::optional<Routine> out;
    if (failed) {
        error = "catalogue look-up failed: " + from_failure(state().conn, r).sqlerrm;
    } else if (PQntuples(r) == 0) {
        error = "no routine " + name + " in schema " + schema;
    } else if (PQntuples(r) > 1) {
        error = "routine " + schema + "." + name + " is overloaded; only one signature is supported";
    } else if (PQgetvalue(r, 0, 3)[0] != 'f') {
        error = schema + "." + name + " is not a function";
    } else {
        Routine rt{schema, name, {}};
        auto modes = split(PQgetvalue(r, 0, 0));
        auto names = split(PQgetvalue(r, 0, 1));
        std::size_t n = modes.empty() ? static_cast<std::size_t>(std::stoi(PQgetvalue(r, 0, 2)))
                                      : modes.size();
        bool ok = true;
        for (std::size_t i = 0; i < n; ++i) {
            RoutineParam p;
            p.name = i < names.size() ? names[i] : "";
            p.mode = modes.empty() ? 'i' : modes[i][0];
            if (p.mode != 'i' && p.mode != 'o' && p.mode != 'b') {
                error = schema + "." + name + " has a VARIADIC or TABLE parameter";
                ok = false;
            }
            rt.params.push_back(std::move(p));
        }
        if (ok) {
            cache_[key] = rt;
            out = std::move(rt);
        }
    }
    PQclear(r);
    return out;
}

} // namespace sql::detail
