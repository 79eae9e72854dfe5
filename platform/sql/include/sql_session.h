// The embedded-SQL run-time and the line's database-connection library,
// standing in on PostgreSQL (libpq). One session per process.
//
// Session (the connection library's two calls):
//   lusken_connect(user, password, database)  0 = session open, else a
//       negative code (-1017 login refused, -12154 unknown database,
//       -12541 no server, -12500 anything else). `database` is a database
//       name, or a libpq connection string when it holds '='; host and port
//       come from PGHOST/PGPORT. An open session is closed first.
//   lusken_disconnect()  commits the open transaction (as an orderly logoff
//       does) and closes the session; 0, also when no session was open.
//
// Statements (the SQL entry point):
//   execute(text, binds)  runs one statement text of the PL/SQL subset
//       described in sql_translate.h with its host variables and returns the
//       communication area: SQL code 0 on success, +1403 for no row, a
//       negative Oracle code on error, and the message text.
//   A transaction begins with the first change: a statement that changed
//   something leaves its transaction open until a COMMIT or ROLLBACK
//   (inside a block or as a statement of its own); after a statement that
//   changed nothing the transaction ends at once, so an idle session holds
//   no locks. A failed statement undoes only its own work. A statement goes
//   to the server in one round trip (one more when it fails, or when it
//   changes something after its text last changed nothing); its text is
//   translated and prepared on the server once per session.
//   A statement of one query whose routines are all declared STABLE or
//   IMMUTABLE, while no transaction is open, runs in a transaction of the
//   server's own that ends with it. Should it change the database all the
//   same (through a routine it calls), the change is undone and the
//   statement fails with -600. Its changes to session settings stay even
//   when its results then cannot be taken (-6502).
//
// Codes the layer produces itself:
//   -1012  no session is open, also after the server killed or lost it
//          (callers reconnect on it)
//   -3113  the session was lost: the server went away before or during the
//          statement (the first statement that meets a dead server)
//   -900   a text outside the subset      -6550  unknown routine or argument
//   -6502  a value that does not fit its host variable
//   -600   a routine declared not to change the database changed it
//   Server errors whose message begins "ORA-nnnnn:" give -nnnnn; the
//   others are mapped by their SQLSTATE (see errors.cpp).
#pragma once

#include "sql_hostvar.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace sql {

// The SQL communication area of one statement.
struct Sqlca {
    int sqlcode = 0;
    std::string sqlerrm;  // message text; empty on success
    bool ok() const { return sqlcode == 0; }
};

SQL_API int lusken_connect(const char* user, const char* password, const char* database);
SQL_API int lusken_disconnect();

SQL_API Sqlca execute(std::string_view statement, std::span<const Bind> binds);
SQL_API Sqlca execute(std::string_view statement, std::initializer_list<Bind> binds = {});

// Session facts, for callers that report them and for tests.
SQL_API bool session_open();
SQL_API int session_backend_pid();       // server process id, 0 without a session
SQL_API std::string last_connect_error(); // libpq's text of the last failed connect

struct Stats {
    int connects = 0;          // successful lusken_connect calls
    int connect_failures = 0;  // refused ones
    int disconnects = 0;       // lusken_disconnect calls
    int statements = 0;        // execute calls
    int round_trips = 0;       // exchanges with the server (connects aside)
};
SQL_API Stats stats();

} // namespace sql
