// Connecting: the connect texts, the station's registration and its
// refusals, the tracing switch, the sibling module and disconnecting.
#include "dalmire_fixture.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

namespace {

struct TextRow {
    const char* name;
    std::size_t user, password, database;  // lengths
    int result;
};

void PrintTo(const TextRow& r, std::ostream* os) { *os << r.name; }

class DalmireConnectTexts : public DalmireDb, public ::testing::WithParamInterface<TextRow> {};

// A user of the given length that exists on the server, a password of the
// given length (the test server trusts its socket) and a connection string
// of the given length naming the test database.
TEST_P(DalmireConnectTexts, LimitsOfTheThreeTexts) {
    const TextRow& row = GetParam();
    std::string user = "u" + std::string(row.user - 1, 'x');
    admin.exec("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '" + user +
               "') THEN CREATE ROLE " + user + " LOGIN SUPERUSER; END IF; END $$");
    std::string password(row.password, 'p');
    std::string database = "dbname=" + pgtest::database();
    database.resize(row.database, ' ');
    ASSERT_EQ(database.size(), row.database);

    auto before = sql::stats();
    char err[256] = "junk";
    EXPECT_EQ(varndb_Connect(user.c_str(), password.c_str(), database.c_str(), err), row.result) << err;
    if (row.result == VARNDB_E_PARAM_LONG) {
        EXPECT_STREQ(err, "VaRndb.dll: varndb_Connect() - parameter to long!");
        EXPECT_EQ(sql::stats().connects + sql::stats().connect_failures, before.connects + before.connect_failures);
        EXPECT_FALSE(sql::session_open());
    } else {
        EXPECT_EQ(admin.value("SELECT username || ' ' || password FROM mero.station_login"), user + " " + password);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, DalmireConnectTexts,
                         ::testing::Values(TextRow{"AllAtTheirLimits", 30, 50, 50, 0},
                                           TextRow{"UserTooLong", 31, 50, 50, VARNDB_E_PARAM_LONG},
                                           TextRow{"PasswordTooLong", 30, 51, 50, VARNDB_E_PARAM_LONG},
                                           TextRow{"DatabaseTooLong", 30, 50, 51, VARNDB_E_PARAM_LONG}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireDb, RegistrationAccepted) {
    char err[256] = "junk";
    ASSERT_EQ(connect(err), 0) << err;
    EXPECT_TRUE(dalmire::state().connected);
    EXPECT_TRUE(sql::session_open());
    char host[HALDEN_NAME_SIZE] = {};
    char ip2[HALDEN_IP_SIZE] = {};
    getHostData(host, ip2);
    std::string cut(host, std::min<std::size_t>(std::strlen(host), 50));
    EXPECT_EQ(admin.value("SELECT concat_ws('|', pid, username, password, pcname, macadr, ipadr) FROM mero.station_login"),
              std::to_string(getpid()) + "|" + user() + "|secret|" + cut + "|" + mac + "|" + ip);
}

TEST_F(DalmireDb, NullTextsAreEmpty) {
    // No user and no password: the server's default role and trust.
    EXPECT_EQ(varndb_Connect(nullptr, nullptr, pgtest::database().c_str(), nullptr), 0);
    EXPECT_EQ(admin.value("SELECT coalesce(username, 'NULL') FROM mero.station_login"), "NULL");
}

TEST_F(DalmireDb, RegistrationFailsWithSqlError) {
    admin.exec("SELECT mero_test.inject('localc_connect', -1400, -1)");
    char err[256] = "junk";
    EXPECT_EQ(connect(err), VARNDB_E_REGISTER_SQL);
    EXPECT_STREQ(err, "LOCALC_CONNECT returns sqlerror (-1400) (ORA-01400: injected fault in localc_connect)!");
    EXPECT_FALSE(dalmire::state().connected);
    EXPECT_FALSE(sql::session_open());  // the session is closed again
}

TEST_F(DalmireDb, RegistrationRefusedWithACode) {
    addStation(-5);
    char err[256] = "junk";
    EXPECT_EQ(connect(err), VARNDB_E_REGISTER);
    EXPECT_STREQ(err, "Station not released for this line (-5)");
    EXPECT_FALSE(dalmire::state().connected);
    EXPECT_FALSE(sql::session_open());
}

TEST_F(DalmireDb, RegistrationRefusedForAnUnknownMac) {
    admin.exec("DELETE FROM mero.station");
    char err[256] = "junk";
    EXPECT_EQ(connect(err), VARNDB_E_REGISTER);
    EXPECT_EQ(std::string(err),
              "Station unknown (MAC address " + std::string(mac) + " unknown)[Consult your MERO administrator](-2)");
    EXPECT_FALSE(sql::session_open());
}

TEST_F(DalmireDb, RefusalWithoutErrTextStillFails) {
    addStation(-3);
    EXPECT_EQ(connect(nullptr), VARNDB_E_REGISTER);
    EXPECT_FALSE(dalmire::state().connected);
}

TEST_F(DalmireDb, LongMessageStaysInsideErrText) {
    admin.exec("UPDATE mero.bas_meltex_row SET text = repeat('m', 255) WHERE nr = 200002");
    admin.exec("DELETE FROM mero.station");
    char err[300];
    std::memset(err, '#', sizeof err);
    EXPECT_EQ(connect(err), VARNDB_E_REGISTER);
    admin.exec("UPDATE mero.bas_meltex_row SET text = 'Station unknown' WHERE nr = 200002");
    EXPECT_EQ(std::strlen(err), 255u);
    EXPECT_EQ(err[256], '#');
}

TEST_F(DalmireDb, SessionRefused) {
    char err[256] = "junk";
    EXPECT_EQ(varndb_Connect(user().c_str(), "", "no_such_database", err), VARNDB_E_SESSION);
    EXPECT_STREQ(err, "VaRndb.dll: db_connect returns -12154!");
    EXPECT_FALSE(dalmire::state().connected);
}

TEST_F(DalmireDb, DisconnectClosesTheSession) {
    ASSERT_EQ(connect(nullptr), 0);
    EXPECT_EQ(varndb_Disconnect(), 0);
    EXPECT_FALSE(dalmire::state().connected);
    EXPECT_FALSE(sql::session_open());
    EXPECT_EQ(varndb_Disconnect(), 0);  // again, without a session
}

struct TraceRow {
    const char* name;
    const char* value;  // nullptr: not set
    int sent;
};

void PrintTo(const TraceRow& r, std::ostream* os) { *os << r.name; }

class DalmireTracing : public DalmireDb, public ::testing::WithParamInterface<TraceRow> {};

TEST_P(DalmireTracing, OnOnlyForUpperCaseOn) {
    if (GetParam().value) setenv("VARNDB_TRACE", GetParam().value, 1);
    ASSERT_EQ(connect(nullptr), 0);
    // The switch is state of the session: the session holds it, and no
    // transaction stays open for it.
    std::int32_t sent = -1;
    sql::Sqlca ca = sql::execute("begin :n := mero_test . tracing ( ) ; END ;", {sql::bind_int(sql::Dir::out, sent)});
    ASSERT_EQ(ca.sqlcode, 0) << ca.sqlerrm;
    EXPECT_EQ(sent, GetParam().sent);
    EXPECT_EQ(admin.value("SELECT state FROM pg_stat_activity WHERE pid = " + std::to_string(sql::session_backend_pid())),
              "idle");
}

INSTANTIATE_TEST_SUITE_P(Values, DalmireTracing,
                         ::testing::Values(TraceRow{"Unset", nullptr, 0}, TraceRow{"UpperCaseOn", "ON", 1},
                                           TraceRow{"LowerCaseOn", "on", 0}, TraceRow{"MixedCase", "On", 0},
                                           TraceRow{"Off", "OFF", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireDb, TracingFailureDoesNotFailTheConnect) {
    admin.exec("SELECT mero_test.inject('settracingon', -6550, -1)");
    EXPECT_EQ(connect(nullptr), 0);
    EXPECT_TRUE(dalmire::state().connected);
}

TEST_F(DalmireDb, SiblingModuleGetsTheMacId) {
    void* h = dlopen(SARVEKDB7_PATH, RTLD_NOW);
    ASSERT_NE(h, nullptr) << dlerror();
    ASSERT_EQ(connect(nullptr), 0);
    auto last = reinterpret_cast<const char* (*)()>(dlsym(h, "sarvekdbTestLastMac"));
    auto count = reinterpret_cast<int (*)()>(dlsym(h, "sarvekdbTestCalls"));
    ASSERT_TRUE(last && count);
    EXPECT_STREQ(last(), mac);
    EXPECT_EQ(count(), 1);
    dlclose(h);
}

TEST_F(DalmireDb, NoSiblingModuleIsLoaded) {
    ASSERT_EQ(connect(nullptr), 0);
    EXPECT_EQ(dlopen(SARVEKDB7_PATH, RTLD_LAZY | RTLD_NOLOAD), nullptr);
}

TEST(DalmireIdentity, LongHostNameIsCutTo50) {
    std::string host(255, 'h');
    dalmire::keepIdentity(host.c_str(), "00a0c9123456", "10.0.0.1");
    EXPECT_EQ(std::string(dalmire::state().host), std::string(50, 'h'));
    EXPECT_STREQ(dalmire::state().mac, "00a0c9123456");
    EXPECT_STREQ(dalmire::state().ip, "10.0.0.1");
}

TEST_F(DalmireDb, AutoDisconnectConnectsWhenNeeded) {
    char err[256] = "junk";
    EXPECT_EQ(dalmire::connectionCheck(err, VARNDB_E_NOT_CONNECTED), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
    // Connect once to keep the texts, then let the check connect again.
    ASSERT_EQ(connect(nullptr), 0);
    varndb_Disconnect();
    varndb_AutoDisconnect(1);
    EXPECT_EQ(dalmire::connectionCheck(err, VARNDB_E_NOT_CONNECTED), 0);
    EXPECT_TRUE(dalmire::state().connected);
    dalmire::autoDisconnect();
    EXPECT_FALSE(dalmire::state().connected);
    EXPECT_FALSE(sql::session_open());
    // A failing connect gives its own code and text.
    addStation(-5);
    EXPECT_EQ(dalmire::connectionCheck(err, VARNDB_E_NOT_CONNECTED), VARNDB_E_REGISTER);
    EXPECT_STREQ(err, "Station not released for this line (-5)");
}

} // namespace
