// Connecting: registration in the database and at the server, the walk
// over the server references, the client id, disconnecting.
#include "corvane_fixture.h"

#include "sql_session.h"

#include <unistd.h>

#include <cstring>
#include <ctime>
#include <functional>
#include <regex>

namespace {

TEST_F(CorvaneDb, ConnectRegistersInTheDatabaseAndAtTheServer) {
    char err[256] = "junk";
    ASSERT_EQ(connect(err, "abcdef"), 0) << err;
    VarndbCIclient* c = varndb_getInstance();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isConnected());
    auto reg = server.calls("registration");
    ASSERT_EQ(reg.size(), 1u);
    EXPECT_EQ(reg[0], (std::vector<std::string>{"registration", c->ClientId(), user(), "bcd", pgtest::database(),
                                                host, ip}));
    EXPECT_EQ(admin.value("SELECT concat_ws('|', pid, username, password, macadr, ipadr) FROM mero.station_login"),
              std::to_string(getpid()) + "|" + user() + "|abcdef|" + mac + "|" + ip);
    EXPECT_EQ(c->referenceList(), (std::list<std::string>{server.ior(), server.ior()}));
    EXPECT_FALSE(sql::session_open());  // the database is needed only to connect
}

TEST_F(CorvaneDb, ClientIdJoinsMacStartSecondsPidAndRevision) {
    long long before = std::time(nullptr);
    char err[256] = {};
    ASSERT_EQ(connect(err), 0) << err;
    long long after = std::time(nullptr);
    std::smatch m;
    const std::string id = varndb_getInstance()->ClientId();
    ASSERT_TRUE(std::regex_match(id, m, std::regex(std::string(mac) + "<([0-9]+)>([0-9]+)-\\$Revision: 1\\.17 \\$")))
        << id;
    EXPECT_GE(std::stoll(m[1]), before);
    EXPECT_LE(std::stoll(m[1]), after);
    EXPECT_EQ(m[2], std::to_string(getpid()));
}

// ---- failures: each leaves no client and no open session ----

struct FailureRow {
    const char* name;
    std::function<void(CorvaneDb&)> prepare;
    int result;
    const char* text;  // a regular expression; "@" stands for the MAC id
};
void PrintTo(const FailureRow& r, std::ostream* os) { *os << r.name; }

class CorvaneConnectFailure : public CorvaneDb, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(CorvaneConnectFailure, LeavesNoClient) {
    const FailureRow& row = GetParam();
    row.prepare(*this);
    char err[256] = "junk";
    const std::string database = std::string(row.name) == "SessionRefused" ? "no_such_db" : pgtest::database();
    EXPECT_EQ(varndb_Connect(user().c_str(), "secret", database.c_str(), err), row.result);
    std::string pattern = std::regex_replace(row.text, std::regex("@"), mac);
    EXPECT_TRUE(std::regex_match(err, std::regex(pattern))) << err;
    EXPECT_EQ(varndb_getInstance(), nullptr);
    EXPECT_FALSE(sql::session_open());
}

const char* const kDeadPort = "corbaloc::127.0.0.1:1/VarndbCI";

INSTANTIATE_TEST_SUITE_P(
    Connect, CorvaneConnectFailure,
    ::testing::Values(
        FailureRow{"SessionRefused", [](CorvaneDb&) {}, VARNDB_E_SESSION, "VaRndb\\.dll: db_connect returns -[0-9]+!"},
        FailureRow{"RegistrationStatementFails",
                   [](CorvaneDb& t) { t.admin.exec("SELECT mero_test.inject('localc_connect', -1400, -1)"); },
                   VARNDB_E_REGISTER_SQL,
                   "LOCALC_CONNECT returns sqlerror \\(-1400\\) \\(ORA-01400: injected fault in localc_connect\\)!"},
        FailureRow{"StationUnknown", [](CorvaneDb& t) { t.admin.exec("DELETE FROM mero.station"); }, VARNDB_E_REGISTER,
                   "Station unknown \\(MAC address @ unknown\\) \\[Consult your MERO administrator\\]\\(-2\\)"},
        FailureRow{"StationLocked", [](CorvaneDb& t) { t.addStation(-3); }, VARNDB_E_REGISTER,
                   "Station is locked \\(-3\\)"},
        FailureRow{"ReferencesUnreadable",
                   [](CorvaneDb& t) { t.admin.exec("SELECT mero_test.inject('getior', -942, -1)"); },
                   VARNDB_E_PARAM_LONG,
                   "LOCALC_CONNECT returns sqlerror \\(-942\\) \\(ORA-00942: injected fault in getior\\)!"},
        FailureRow{"ReferencesGarbage", [](CorvaneDb& t) { t.setReferences("not a reference", ""); },
                   VARNDB_E_RESULT_SIZE, "LOCALC_CONNECT returns \\(-5\\) \\(Can't connect to server!\\)"},
        FailureRow{"ReferencesNil", [](CorvaneDb& t) { t.setReferences(kNilIor, kNilIor); }, VARNDB_E_RESULT_SIZE,
                   "LOCALC_CONNECT returns \\(-5\\) \\(Can't connect to server!\\)"},
        FailureRow{"TypelessReferencesToNoServer", [](CorvaneDb& t) { t.setReferences(kDeadPort, kDeadPort); },
                   VARNDB_E_RESULT_SIZE, "LOCALC_CONNECT returns \\(-5\\) \\(Can't connect to server!\\)"},
        // A well-formed reference narrows without asking the server, so a
        // dead server shows only when the registration call is made.
        FailureRow{"ServerGone", [](CorvaneDb& t) { t.server.stop(); }, VARNDB_E_REMOTE_REGISTER,
                   "LOCALC_CONNECT returns \\(-6\\) \\(Can't connect to server!\\)"},
        FailureRow{"ServerRegistrationRaises", [](CorvaneDb& t) { t.ok("fault registration raise -1"); },
                   VARNDB_E_REMOTE_REGISTER, "LOCALC_CONNECT returns \\(-6\\) \\(Can't connect to server!\\)"},
        FailureRow{"ServerRefusesRegistration", [](CorvaneDb& t) { t.ok("reply registration result 17"); }, 17,
                   "LOCALC_CONNECT returns \\(-7\\) \\(Can't register to DB! \\[17\\]\\)"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the walk over the references ----

struct FirstRefRow {
    const char* name;
    const char* first;
};
void PrintTo(const FirstRefRow& r, std::ostream* os) { *os << r.name; }

class CorvaneBadFirstReference : public CorvaneDb, public ::testing::WithParamInterface<FirstRefRow> {};

TEST_P(CorvaneBadFirstReference, TheSecondIsUsed) {
    setReferences(GetParam().first, server.ior());
    char err[256] = {};
    ASSERT_EQ(connect(err), 0) << err;
    EXPECT_EQ(server.calls("registration").size(), 1u);
    EXPECT_EQ(varndb_getInstance()->referenceList(), (std::list<std::string>{GetParam().first, server.ior()}));
}

INSTANTIATE_TEST_SUITE_P(Connect, CorvaneBadFirstReference,
                         ::testing::Values(FirstRefRow{"Garbage", "IOR:zz"}, FirstRefRow{"Nil", kNilIor},
                                           FirstRefRow{"TypelessToNoServer", kDeadPort}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CorvaneDb, AWellFormedReferenceToADeadServerIsUsedAndFailsAtRegistration) {
    TestServer gone;
    ASSERT_TRUE(gone.start());
    const std::string deadIor = gone.ior();
    gone.stop();
    setReferences(deadIor, server.ior());
    char err[256] = {};
    EXPECT_EQ(connect(err), VARNDB_E_REMOTE_REGISTER);
    EXPECT_TRUE(server.calls("registration").empty());
}

// ---- argument tests ----

struct NullRow {
    const char* name;
    const char *user, *password, *database;
    bool errText;
};
void PrintTo(const NullRow& r, std::ostream* os) { *os << r.name; }

class CorvaneConnectNull : public CorvaneDb, public ::testing::WithParamInterface<NullRow> {};

TEST_P(CorvaneConnectNull, RefusedBeforeAnything) {
    const NullRow& row = GetParam();
    auto before = sql::stats();
    char err[256] = "junk";
    EXPECT_EQ(varndb_Connect(row.user, row.password, row.database, row.errText ? err : nullptr), VARNDB_E_NULL);
    EXPECT_STREQ(err, row.errText ? "One parameter is NULL!" : "junk");
    EXPECT_EQ(sql::stats().connects + sql::stats().connect_failures, before.connects + before.connect_failures);
    EXPECT_EQ(varndb_getInstance(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Connect, CorvaneConnectNull,
                         ::testing::Values(NullRow{"User", nullptr, "p", "d", true},
                                           NullRow{"Password", "u", nullptr, "d", true},
                                           NullRow{"Database", "u", "p", nullptr, true},
                                           NullRow{"ErrText", "u", "p", "d", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- disconnecting ----

TEST_F(CorvaneDb, DisconnectUnregistersAndDropsTheClient) {
    connectOk();
    const std::string id = varndb_getInstance()->ClientId();
    EXPECT_EQ(varndb_Disconnect(), 0);
    EXPECT_EQ(varndb_getInstance(), nullptr);
    // Once by the disconnect, once more by the client's destructor.
    EXPECT_EQ(server.calls("unregister"), (std::vector<std::vector<std::string>>{{"unregister", id}, {"unregister", id}}));
    EXPECT_EQ(varndb_Disconnect(), 0);  // without a client: nothing to do
}

TEST_F(CorvaneDb, ASecondConnectKeepsTheClientAndAddsItsReferences) {
    connectOk();
    VarndbCIclient* first = varndb_getInstance();
    char err[256] = {};
    ASSERT_EQ(connect(err), 0) << err;
    EXPECT_EQ(varndb_getInstance(), first);
    EXPECT_EQ(first->referenceList().size(), 4u);
    EXPECT_EQ(server.calls("registration").size(), 1u);
}

TEST_F(CorvaneDb, AutoDisconnectHasNoEffect) {
    connectOk();
    VarndbCIclient* c = varndb_getInstance();
    varndb_AutoDisconnect(1);
    unsigned char in[4] = {1, 2, 3, 4}, out[16];
    char err[256];
    for (int i = 0; i < 2; ++i) {
        int n = sizeof out;
        EXPECT_EQ(varndb_GetData("C", in, 4, out, &n, err), 0) << err;
    }
    EXPECT_EQ(varndb_getInstance(), c);
    EXPECT_EQ(server.calls("getData").size(), 2u);
    EXPECT_TRUE(server.calls("registration").empty());
    EXPECT_TRUE(server.calls("unregister").empty());
}

// ---- the version text ----

struct VersionRow {
    const char* name;
    bool connected;
    const char* serverCommand;  // nullptr: none
    int len;
    const char* text;
};
void PrintTo(const VersionRow& r, std::ostream* os) { *os << r.name; }

class CorvaneDllVersion : public CorvaneDb, public ::testing::WithParamInterface<VersionRow> {};

TEST_P(CorvaneDllVersion, Text) {
    const VersionRow& row = GetParam();
    ok("reply getVersion message server 7.1");
    if (row.serverCommand) ok(row.serverCommand);
    if (row.connected) connectOk();
    char buf[64];
    std::memset(buf, 'x', sizeof buf);
    varndb_GetDllVersion(buf, row.len);
    EXPECT_STREQ(buf, row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Version, CorvaneDllVersion,
    ::testing::Values(VersionRow{"NoClient", false, nullptr, 64, "0x4"},
                      VersionRow{"WithServerVersion", true, nullptr, 64, "0x4 [server 7.1]"},
                      VersionRow{"CutToTheBuffer", true, nullptr, 8, "0x4 [se"},
                      VersionRow{"GetVersionRaises", true, "fault getVersion raise -1", 64, "0x4"},
                      VersionRow{"NoClientCut", false, nullptr, 2, "0"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the one-way shutdown ----

TEST_F(CorvaneDb, ShutdownReturnsWithoutWaitingForTheServer) {
    connectOk();
    ok("fault shutdown block -1");  // the server holds the call until released
    EXPECT_EQ(varndb_getInstance()->shutdown(), 0);
    EXPECT_EQ(ok("wait shutdown"), "ok");  // it reached the server, which still holds it
    EXPECT_EQ(ok("release"), "ok");
}

} // namespace
