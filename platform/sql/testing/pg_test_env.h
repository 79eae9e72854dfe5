// Test support for suites that run against the private PostgreSQL server
// that scripts/test starts (it exports PGHOST, PGPORT, PGDATABASE, PGUSER,
// PHONELINE_PG_ADMIN and PHONELINE_PG=1). A test that needs the server fails
// when it is missing; it never skips.
//
// Two logins: the station login (PGUSER), with a station's rights only, is
// the one every session under test uses; the admin login (a superuser) is
// the fixtures'. Admin gives a connection of the admin login, apart from the
// session under test, for setting up fixtures and looking at what a test's
// session left behind; Admin(as_station) one of the station login, for a
// second station driven by hand.
#pragma once

#include <libpq-fe.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pgtest {

// The database name the tests connect to.
inline std::string database() {
    const char* d = std::getenv("PGDATABASE");
    return d ? d : "";
}

// The station login of the test run.
inline std::string station_login() {
    const char* u = std::getenv("PGUSER");
    return u ? u : "";
}

// The admin login of the test run (empty: libpq's default).
inline std::string admin_login() {
    const char* u = std::getenv("PHONELINE_PG_ADMIN");
    return u ? u : "";
}

// Asks Admin for a session that no other Admin uses (a second station that
// holds its own transaction and locks, say).
struct OwnSession {};
inline constexpr OwnSession own_session{};
// Asks for a session of its own, logged in as the station login.
struct AsStation {};
inline constexpr AsStation as_station{};

class Admin {
public:
    // The process's admin session, opened by the first Admin and kept for
    // the next: a test process runs a whole suite's cases, and a session of
    // its own for each would cost every case a server process started cold.
    // Each Admin gets it back as a fresh session would be: no transaction,
    // no settings, prepared statements, locks or temporary tables of an
    // earlier case; a session that the server ended is opened again.
    Admin() : conn_(shared_session()), owned_(false), made_at_(server_time()) {}
    explicit Admin(OwnSession) : conn_(open(admin_login())), owned_(true), made_at_(server_time()) {}
    explicit Admin(AsStation) : conn_(open(station_login())), owned_(true), made_at_(server_time()) {}
    ~Admin() {
        if (owned_) PQfinish(conn_);
    }
    Admin(const Admin&) = delete;
    Admin& operator=(const Admin&) = delete;

    bool ok() const { return conn_ && PQstatus(conn_) == CONNECTION_OK; }
    std::string error() const { return conn_ ? PQerrorMessage(conn_) : "no connection"; }

    // Runs SQL (several commands allowed); adds a test failure on error.
    bool exec(const std::string& sql) {
        PGresult* r = PQexec(conn_, sql.c_str());
        bool good = r && (PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK);
        if (!good) ADD_FAILURE() << "admin SQL failed: " << PQerrorMessage(conn_) << "\n" << sql;
        PQclear(r);
        return good;
    }

    // The first column of every row (NULL as "<null>").
    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> out;
        PGresult* r = PQexec(conn_, sql.c_str());
        if (r && PQresultStatus(r) == PGRES_TUPLES_OK) {
            for (int i = 0; i < PQntuples(r); ++i)
                out.push_back(PQgetisnull(r, i, 0) ? "<null>" : PQgetvalue(r, i, 0));
        } else {
            ADD_FAILURE() << "admin query failed: " << PQerrorMessage(conn_) << "\n" << sql;
        }
        PQclear(r);
        return out;
    }

    std::string value(const std::string& sql) {
        auto c = column(sql);
        return c.empty() ? "<no row>" : c.front();
    }

    // Waits until the server has ended the session of process pid (after a
    // pg_terminate_backend); false when it is still there after 10 s. The
    // server does the waiting: asked once more to end the session, with a
    // time-out, it answers when the process is gone.
    bool await_session_end(int pid) {
        const std::string p = std::to_string(pid);
        const std::string gone = "NOT EXISTS (SELECT FROM pg_stat_activity WHERE pid = " + p + ")";
        return value("SELECT " + gone + " OR pg_terminate_backend(" + p + ", 10000) OR " + gone) == "t";
    }

    // Ends the sessions of the database that began before this Admin was
    // made (except its own) and waits until each is gone. Call it first
    // thing in a case: the sessions of earlier cases may still be leaving (a
    // backend ends a moment after its client closes), holding their locks,
    // and a case starts as it would on a server of its own, without them.
    // Sessions that the case opened after its Admin stay.
    bool end_earlier_sessions() {
        return exec("SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity"
                    " WHERE datname = current_database() AND backend_type = 'client backend'"
                    " AND pid <> pg_backend_pid() AND backend_start < '" + made_at_ + "'");
    }

    bool exec_file(const std::string& path) {
        std::ifstream in(path);
        if (!in) {
            ADD_FAILURE() << "cannot read " << path;
            return false;
        }
        std::stringstream ss;
        ss << in.rdbuf();
        return exec(ss.str());
    }

private:
    static PGconn* open(const std::string& login) {
        const char* keys[] = {"user", "application_name", nullptr};
        const char* values[] = {login.empty() ? nullptr : login.c_str(), "phoneline-test-admin", nullptr};
        return PQconnectdbParams(keys, values, 0);
    }

    static PGconn* shared_session() {
        static PGconn* conn = nullptr;  // ends with the process
        if (conn && PQstatus(conn) == CONNECTION_OK) {
            // ROLLBACK first: DISCARD ALL cannot run inside a transaction.
            if (PQtransactionStatus(conn) != PQTRANS_IDLE) PQclear(PQexec(conn, "ROLLBACK"));
            PGresult* r = PQexec(conn, "DISCARD ALL");
            const bool good = PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
            if (good) return conn;
        }
        PQfinish(conn);
        conn = open(admin_login());
        return conn;
    }

    // The server's clock now ("-infinity" without a server).
    std::string server_time() const {
        PGresult* r = PQexec(conn_, "SELECT clock_timestamp()");
        std::string t = PQresultStatus(r) == PGRES_TUPLES_OK ? PQgetvalue(r, 0, 0) : "-infinity";
        PQclear(r);
        return t;
    }

    PGconn* conn_;
    bool owned_;
    std::string made_at_;
};

// Fails the current test (fatally) when the private server is not there.
#define PGTEST_REQUIRE_SERVER(admin)                                                        \
    do {                                                                                    \
        ASSERT_TRUE(std::getenv("PHONELINE_PG") != nullptr)                                 \
            << "no test database: run the tests through scripts/test";                      \
        ASSERT_TRUE((admin).ok()) << "test database unreachable: " << (admin).error();      \
    } while (0)

} // namespace pgtest
