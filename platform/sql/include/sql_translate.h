// Translation of the PL/SQL subset into PostgreSQL queries.
//
// Accepted statement texts (keywords and identifiers in any case, tokens
// separated by blanks or not):
//   COMMIT [WORK] [;]          ROLLBACK [WORK] [;]
//   BEGIN stmt... END [;]      with stmt one of
//     :hv := expr ;
//     owner.pkg.routine ( args ) ;                 (a call as a statement)
//     SELECT col, ... INTO :hv[:ind], ... FROM owner.table
//         [WHERE col = expr [AND col = expr]...] ;
//     COMMIT ;   ROLLBACK ;
//   expr: an integer (optionally signed), a 'text', NULL, :hv, a call,
//         NVL ( expr , expr ), TO_NUMBER ( expr ),
//         TO_DATE ( expr , 'format' ) with YYYY MM DD HH24 MI SS and - : / . blank
//   args: expr, ... by position, or name => expr, ... by name.
//
// Design choices:
//   * Routine names: owner.pkg.routine is schema owner_pkg, routine routine;
//     owner.routine is schema owner. Names are folded to lower case, as
//     unquoted names are on both sides.
//   * Parameter modes come from the server's catalogue (Catalog below), so an
//     OUT or IN OUT argument must be a host variable and receives the column
//     of that name. A function with OUT parameters returns its own value in
//     an OUT parameter named `result`, which is not an argument. A routine is
//     always called as SELECT * FROM routine(...), with only its IN and IN OUT
//     arguments.
//   * Oracle's empty text is NULL: an empty VARCHAR or RAW is sent as NULL,
//     '' is NULL, NVL, TO_NUMBER and TO_DATE treat '' as NULL, and an empty
//     text result arrives as NULL.
//   * A NULL result sets the indicator to -1 and leaves the value alone; with
//     no indicator a VARCHAR or RAW gets length 0 and an integer is left
//     unchanged.
//   * A value longer than its host variable is -6502, also with an indicator.
//   * SELECT INTO: no row is +1403 (host variables untouched), more than one
//     row -1422.
//   * Results are copied to the host variables only when the whole block
//     succeeded; a literal assignment (":l_ret := 0") is done by the layer.
//   * A query whose routines are all declared STABLE or IMMUTABLE is marked
//     reads_only: the session may run it outside a transaction of its own.
//   * Anything else is refused with -900 and a text naming the token, never
//     guessed.
#pragma once

#include "sql_hostvar.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sql {

struct RoutineParam {
    std::string name;  // lower case, may be empty
    char mode = 'i';   // 'i' IN, 'o' OUT, 'b' IN OUT
};

struct Routine {
    std::string schema, name;
    std::vector<RoutineParam> params;  // in declaration order, `result` included
    // Declared STABLE or IMMUTABLE: the server refuses to let its own
    // statements change the database.
    bool changes_nothing = false;
};

// Finds a routine's parameters; the server's catalogue in real runs, a
// table in unit tests. Returns nullopt and a text when the routine is
// unknown or ambiguous.
class Catalog {
public:
    virtual ~Catalog() = default;
    virtual std::optional<Routine> find(const std::string& schema, const std::string& name,
                                        std::string& error) = 0;
};

// Where an output value goes: the column named `column` (or, when that is
// empty, the column at `index`) into host variable `bind`.
struct Output {
    std::string column;
    int index = 0;
    int bind = -1;
};

struct Step {
    enum class Kind { literal, query, select_into, commit, rollback };
    Kind kind = Kind::query;
    // literal: host variable `target` takes `literal` (nullopt = NULL).
    int target = -1;
    std::optional<std::string> literal;
    // query and select_into: the SQL with $1..$n, the host variables that
    // feed $1..$n, and where the columns of its one row go.
    std::string sql;
    std::vector<int> params;
    std::vector<Output> outputs;
    // query: every routine it calls is declared not to change the database
    // (a query of expressions alone calls none); never a select_into.
    bool reads_only = false;
};

struct Plan {
    std::vector<Step> steps;
    int error_code = 0;  // nonzero: the text is refused
    std::string error;
};

// Translates one statement text for the given host variables.
SQL_API Plan translate(std::string_view text, std::span<const Bind> binds, Catalog& catalog);

} // namespace sql
