// Parser and planner of the PL/SQL subset (the rules are in sql_translate.h).
#include "sql_translate.h"

#include "lexer.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace sql {
namespace {

using detail::Token;
using Kind = Token::Kind;

constexpr int kInvalidStatement = -900;  // outside the subset
constexpr int kCompileError = -6550;     // unknown routine, wrong arguments
// Expressions nest (calls, NVL, TO_NUMBER, TO_DATE) and are parsed and
// translated recursively: deeper text is refused before it can exhaust the
// stack. No statement of the system comes near this.
constexpr int kMaxNesting = 64;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string quote_ident(const std::string& s) { return "\"" + lower(s) + "\""; }

std::string quote_text(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c;
        if (c == '\'') q += '\'';
    }
    return q + "'";
}

struct Failure {
    int code;
    std::string text;
};

struct Expr;
struct Arg {
    std::string name;  // empty: by position
    std::unique_ptr<Expr> value;
};

struct Expr {
    enum class K { number, text, host, call, nvl, to_number, to_date } k = K::number;
    std::string value;                // number, text, to_date's format
    int bind = -1;                    // host
    std::vector<std::string> name;    // call: the qualified name
    std::vector<Arg> args;            // call
    std::vector<std::unique_ptr<Expr>> sub;  // nvl, to_number, to_date
};

class Translator {
public:
    Translator(std::span<const Bind> binds, Catalog& catalog) : binds_(binds), catalog_(catalog) {}

    Plan run(std::string_view text) {
        Plan plan;
        std::string lex_error;
        if (!detail::tokenize(text, toks_, lex_error)) {
            plan.error_code = kInvalidStatement;
            plan.error = "ORA-00900: cannot translate statement: " + lex_error;
            return plan;
        }
        try {
            statement(plan);
            if (next_bind_ != static_cast<int>(binds_.size()))
                fail(kInvalidStatement, "the statement has " + std::to_string(next_bind_) +
                                            " host variables but " + std::to_string(binds_.size()) +
                                            " are bound");
        } catch (const Failure& f) {
            plan.steps.clear();
            plan.error_code = f.code;
            plan.error = (f.code == kInvalidStatement ? "ORA-00900: cannot translate statement: "
                                                      : "ORA-06550: ") + f.text;
        }
        return plan;
    }

private:
    [[noreturn]] void fail(int code, std::string text) { throw Failure{code, std::move(text)}; }
    [[noreturn]] void unexpected(const char* wanted) {
        const Token& t = toks_[at_];
        std::string got = t.kind == Kind::end ? "end of text"
                          : t.kind == Kind::host ? "':" + t.value + "'"
                          : t.kind == Kind::text ? "text '" + t.value + "'"
                                                 : "'" + t.value + "'";
        fail(kInvalidStatement, std::string("expected ") + wanted + " but found " + got +
                                    " at offset " + std::to_string(t.pos));
    }

    const Token& peek(int ahead = 0) const {
        std::size_t i = std::min(at_ + ahead, toks_.size() - 1);
        return toks_[i];
    }
    bool is_kw(const char* kw, int ahead = 0) const {
        const Token& t = peek(ahead);
        return t.kind == Kind::ident && lower(t.value) == kw;
    }
    bool is_sym(const char* s, int ahead = 0) const {
        const Token& t = peek(ahead);
        return t.kind == Kind::symbol && t.value == s;
    }
    void expect_kw(const char* kw) {
        if (!is_kw(kw)) unexpected(kw);
        ++at_;
    }
    void expect_sym(const char* s) {
        if (!is_sym(s)) unexpected((std::string("'") + s + "'").c_str());
        ++at_;
    }
    std::string expect_ident() {
        if (peek().kind != Kind::ident) unexpected("a name");
        return toks_[at_++].value;
    }

    // A host variable token: the next bind, checked against the text.
    int take_host() {
        const Token& t = peek();
        if (t.kind != Kind::host) unexpected("a host variable");
        ++at_;
        // A name written twice is the same host variable, bound once.
        std::string key = lower(t.value);
        auto seen = std::find(names_.begin(), names_.end(), key);
        if (seen != names_.end()) return static_cast<int>(seen - names_.begin());
        int b = next_bind_++;
        if (b >= static_cast<int>(binds_.size()))
            fail(kInvalidStatement, "host variable :" + t.value + " has no bind (only " +
                                        std::to_string(binds_.size()) + " bound)");
        if (!t.indicator.empty() && binds_[b].indicator == nullptr)
            fail(kInvalidStatement, "host variable :" + t.value + " has indicator :" +
                                        t.indicator + " but no indicator is bound");
        names_.push_back(key);
        return b;
    }
    void writable(int b, const std::string& what) {
        if (binds_[b].dir == Dir::in)
            fail(kInvalidStatement, "host variable :" + names_[b] + " is bound IN but receives " + what);
    }

    // ---- statements ----
    void statement(Plan& plan) {
        if (is_kw("commit") || is_kw("rollback")) {
            transaction(plan);
            if (is_sym(";")) ++at_;
            if (peek().kind != Kind::end) unexpected("end of text");
            return;
        }
        expect_kw("begin");
        while (!is_kw("end")) {
            if (peek().kind == Kind::end) unexpected("END");
            inner(plan);
        }
        ++at_;
        if (is_sym(";")) ++at_;
        if (peek().kind != Kind::end) unexpected("end of text");
    }

    void transaction(Plan& plan) {
        Step s;
        s.kind = is_kw("commit") ? Step::Kind::commit : Step::Kind::rollback;
        ++at_;
        if (is_kw("work")) ++at_;
        plan.steps.push_back(std::move(s));
    }

    void inner(Plan& plan) {
        if (is_kw("commit") || is_kw("rollback")) {
            transaction(plan);
        } else if (is_kw("select")) {
            select_into(plan);
        } else if (peek().kind == Kind::host) {
            assignment(plan);
        } else if (peek().kind == Kind::ident) {
            changing_call_ = false;
            auto e = expression();
            if (e->k != Expr::K::call) unexpected("a call");
            Step s;
            s.sql = "SELECT * FROM " + call_sql(*e, s, -1);
            s.reads_only = !changing_call_;
            plan.steps.push_back(std::move(s));
        } else {
            unexpected("a statement");
        }
        expect_sym(";");
    }

    void assignment(Plan& plan) {
        int target = take_host();
        writable(target, "an assignment");
        expect_sym(":=");
        changing_call_ = false;
        auto e = expression();
        Step s;
        s.target = target;
        if (e->k == Expr::K::number) {
            s.kind = Step::Kind::literal;
            s.literal = e->value;
        } else if (e->k == Expr::K::text) {
            s.kind = Step::Kind::literal;
            if (!e->value.empty()) s.literal = e->value;
        } else if (e->k == Expr::K::call) {
            s.sql = "SELECT * FROM " + call_sql(*e, s, target);
        } else {
            s.sql = "SELECT " + scalar_sql(*e, s) + " AS value";
            s.outputs.push_back({"", 0, target});
        }
        s.reads_only = s.kind == Step::Kind::query && !changing_call_;
        plan.steps.push_back(std::move(s));
    }

    void select_into(Plan& plan) {
        expect_kw("select");
        std::vector<std::string> cols;
        do {
            if (!cols.empty()) ++at_;
            cols.push_back(quote_ident(expect_ident()));
        } while (is_sym(","));
        expect_kw("into");
        Step s;
        s.kind = Step::Kind::select_into;
        std::vector<int> into;
        do {
            if (!into.empty()) ++at_;
            int b = take_host();
            writable(b, "a selected column");
            into.push_back(b);
        } while (is_sym(","));
        if (into.size() != cols.size())
            fail(kInvalidStatement, "SELECT has " + std::to_string(cols.size()) + " columns but INTO " +
                                        std::to_string(into.size()) + " host variables");
        expect_kw("from");
        auto table = qualified_name();
        if (table.size() > 2) fail(kInvalidStatement, "a table name has at most two parts");
        std::string sql = "SELECT ";
        for (std::size_t i = 0; i < cols.size(); ++i) sql += (i ? ", " : "") + cols[i];
        sql += " FROM ";
        for (std::size_t i = 0; i < table.size(); ++i) sql += (i ? "." : "") + quote_ident(table[i]);
        if (is_kw("where")) {
            ++at_;
            sql += " WHERE ";
            for (bool first = true;; first = false) {
                if (!first) sql += " AND ";
                sql += quote_ident(expect_ident());
                expect_sym("=");
                auto e = expression();
                sql += " = " + scalar_sql(*e, s);
                if (!is_kw("and")) break;
                ++at_;
            }
        }
        s.sql = sql + " LIMIT 2";
        for (std::size_t i = 0; i < into.size(); ++i)
            s.outputs.push_back({"", static_cast<int>(i), into[i]});
        plan.steps.push_back(std::move(s));
    }

    // ---- expressions ----
    std::vector<std::string> qualified_name() {
        std::vector<std::string> parts{expect_ident()};
        while (is_sym(".")) {
            ++at_;
            parts.push_back(expect_ident());
        }
        return parts;
    }

    std::unique_ptr<Expr> expression() {
        struct Nesting {
            int& depth;
            explicit Nesting(int& d) : depth(d) { ++depth; }
            ~Nesting() { --depth; }
        } nesting(depth_);
        if (depth_ > kMaxNesting)
            fail(kInvalidStatement, "expressions nested deeper than " + std::to_string(kMaxNesting) +
                                        " levels at offset " + std::to_string(peek().pos));
        auto e = std::make_unique<Expr>();
        const Token& t = peek();
        if (t.kind == Kind::number || (is_sym("-") && peek(1).kind == Kind::number)) {
            e->k = Expr::K::number;
            if (is_sym("-")) { e->value = "-"; ++at_; }
            e->value += toks_[at_++].value;
        } else if (t.kind == Kind::text) {
            e->k = Expr::K::text;
            e->value = toks_[at_++].value;
        } else if (t.kind == Kind::host) {
            e->k = Expr::K::host;
            e->bind = take_host();
        } else if (t.kind == Kind::ident && lower(t.value) == "null") {
            e->k = Expr::K::text;  // '' and NULL are the same
            ++at_;
        } else if (t.kind == Kind::ident) {
            std::string fn = lower(t.value);
            if ((fn == "nvl" || fn == "to_number" || fn == "to_date") && is_sym("(", 1)) {
                at_ += 2;
                e->sub.push_back(expression());
                if (fn == "nvl") {
                    e->k = Expr::K::nvl;
                    expect_sym(",");
                    e->sub.push_back(expression());
                } else if (fn == "to_number") {
                    e->k = Expr::K::to_number;
                } else {
                    e->k = Expr::K::to_date;
                    expect_sym(",");
                    if (peek().kind != Kind::text) unexpected("a date format text");
                    e->value = toks_[at_++].value;
                    check_date_format(e->value);
                }
                expect_sym(")");
            } else {
                e->k = Expr::K::call;
                e->name = qualified_name();
                expect_sym("(");
                while (!is_sym(")")) {
                    if (!e->args.empty()) expect_sym(",");
                    Arg a;
                    if (peek().kind == Kind::ident && is_sym("=>", 1)) {
                        a.name = lower(toks_[at_].value);
                        at_ += 2;
                    } else if (!e->args.empty() && !e->args.back().name.empty()) {
                        fail(kInvalidStatement, "a positional argument follows a named one");
                    }
                    a.value = expression();
                    e->args.push_back(std::move(a));
                }
                ++at_;
            }
        } else {
            unexpected("an expression");
        }
        return e;
    }

    void check_date_format(const std::string& f) {
        static const char* fields[] = {"YYYY", "HH24", "MM", "DD", "MI", "SS"};
        std::string u;
        for (char c : f) u += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (std::size_t i = 0; i < u.size();) {
            bool hit = false;
            for (const char* fld : fields) {
                std::string_view v(fld);
                if (u.compare(i, v.size(), v) == 0) { i += v.size(); hit = true; break; }
            }
            if (hit) continue;
            if (std::string_view("-:/. ").find(u[i]) == std::string_view::npos)
                fail(kInvalidStatement, "unsupported date format '" + f + "'");
            ++i;
        }
    }

    std::string param(int bind, Step& s) {
        s.params.push_back(bind);
        return "$" + std::to_string(s.params.size());
    }

    // An expression that yields one value inside a query.
    std::string scalar_sql(const Expr& e, Step& s) {
        switch (e.k) {
        case Expr::K::number: return "(" + e.value + ")";
        case Expr::K::text: return e.value.empty() ? "NULL" : quote_text(e.value);
        case Expr::K::host: return param(e.bind, s);
        case Expr::K::nvl:
            return "coalesce(nullif((" + scalar_sql(*e.sub[0], s) + ")::text, ''), (" +
                   scalar_sql(*e.sub[1], s) + ")::text)";
        case Expr::K::to_number:
            return "(nullif((" + scalar_sql(*e.sub[0], s) + ")::text, ''))::numeric";
        case Expr::K::to_date:
            return "to_timestamp(nullif((" + scalar_sql(*e.sub[0], s) + ")::text, ''), " +
                   quote_text(e.value) + ")::timestamp(0)";
        case Expr::K::call: return call_sql(e, s, -2);
        }
        return {};
    }

    // A routine call. target >= 0: an assignment's top-level call whose value
    // goes to that host variable; -1: a call statement; -2: nested in an
    // expression (no OUT parameters allowed).
    std::string call_sql(const Expr& e, Step& s, int target) {
        std::string schema, name, shown;
        for (std::size_t i = 0; i < e.name.size(); ++i) shown += (i ? "." : "") + e.name[i];
        if (e.name.size() == 3) {
            schema = lower(e.name[0]) + "_" + lower(e.name[1]);
            name = lower(e.name[2]);
        } else if (e.name.size() == 2) {
            schema = lower(e.name[0]);
            name = lower(e.name[1]);
        } else {
            fail(kInvalidStatement, "routine " + shown + " is not qualified by its owner");
        }
        std::string why;
        auto r = catalog_.find(schema, name, why);
        if (!r) fail(kCompileError, "PLS-00201: " + shown + ": " + why);
        if (!r->changes_nothing) changing_call_ = true;

        std::vector<const RoutineParam*> plparams;
        bool has_out = false, has_result = false;
        for (const auto& p : r->params) {
            if (p.mode != 'i') has_out = true;
            if (p.mode == 'o' && p.name == "result") has_result = true;
            else plparams.push_back(&p);
        }
        if (target == -2 && has_out)
            fail(kCompileError, "PLS-00306: " + shown + " has OUT parameters and cannot be used in an expression");
        if (target >= 0 && has_out && !has_result)
            fail(kCompileError, "PLS-00222: " + shown + " has OUT parameters but no result column");

        // Pair each parameter with its argument.
        std::vector<const Arg*> given(plparams.size(), nullptr);
        bool named = !e.args.empty() && !e.args.back().name.empty();
        if (!named && e.args.size() != plparams.size())
            fail(kCompileError, "PLS-00306: wrong number of arguments in call to " + shown + " (" +
                                    std::to_string(e.args.size()) + " given, " +
                                    std::to_string(plparams.size()) + " expected)");
        std::size_t positional = 0;
        for (const auto& a : e.args) {
            if (a.name.empty()) {
                if (positional >= plparams.size())
                    fail(kCompileError, "PLS-00306: too many arguments in call to " + shown);
                given[positional++] = &a;
                continue;
            }
            auto it = std::find_if(plparams.begin(), plparams.end(),
                                   [&](const RoutineParam* p) { return p->name == a.name; });
            if (it == plparams.end())
                fail(kCompileError, "PLS-00306: " + shown + " has no parameter " + a.name);
            std::size_t i = static_cast<std::size_t>(it - plparams.begin());
            if (given[i]) fail(kCompileError, "PLS-00306: parameter " + a.name + " given twice");
            given[i] = &a;
        }

        std::string args;
        for (std::size_t i = 0; i < plparams.size(); ++i) {
            const RoutineParam& p = *plparams[i];
            if (!given[i]) fail(kCompileError, "PLS-00306: no argument for parameter " + p.name + " of " + shown);
            const Expr& v = *given[i]->value;
            if (p.mode != 'i') {
                if (v.k != Expr::K::host)
                    fail(kCompileError, "PLS-00363: the OUT argument " + p.name + " of " + shown +
                                            " must be a host variable");
                if (p.name.empty())
                    fail(kCompileError, "PLS-00306: an OUT parameter of " + shown + " has no name");
                writable(v.bind, "the OUT parameter " + p.name);
                s.outputs.push_back({p.name, 0, v.bind});
                if (p.mode == 'o') continue;
            }
            if (!args.empty()) args += ", ";
            if (named) args += quote_ident(p.name) + " => ";
            args += scalar_sql(v, s);
        }
        if (target >= 0) s.outputs.push_back({has_out ? "result" : "", 0, target});
        return quote_ident(schema) + "." + quote_ident(name) + "(" + args + ")";
    }

    std::span<const Bind> binds_;
    Catalog& catalog_;
    std::vector<Token> toks_;
    std::size_t at_ = 0;
    int next_bind_ = 0;
    int depth_ = 0;  // expressions being parsed, one inside the other
    bool changing_call_ = false;  // the step being parsed calls a routine that may change the database
    std::vector<std::string> names_;  // host variable names in bind order
};

} // namespace

Plan translate(std::string_view text, std::span<const Bind> binds, Catalog& catalog) {
    return Translator(binds, catalog).run(text);
}

} // namespace sql
