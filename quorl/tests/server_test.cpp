// The server with a real TCP client on loopback, on the fixed ports.
#include "quorl.h"

#include "cvi_popup.h"
#include "cvi_tcp.h"
#include "cvi_tcp_client.h"
#include "pclock.h"
#include "case_runner.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

using cvi_testing::connection_refused;
using cvi_testing::pump;
using cvi_testing::TcpClient;

namespace {

namespace fs = std::filesystem;

constexpr unsigned kPort = 11111;
constexpr unsigned kOtherPort = 22222;
// A send delay of 250 ms.
const char* const kResource = "server:portnr:11111:ipadr:10.1.2.3:mode:filecheck:txdelay:0.25:rxdelay:0";
const char* const kResourceOtherPort = "server:portnr:22222:ipadr:10.1.2.3:mode:filecheck:txdelay:0.25:rxdelay:0";

std::string with_nul(const std::string& s) { return s + std::string(1, '\0'); }

int32_t status(int32_t which) {
    int32_t value = 1234;
    quorl_getstatus(1, which, &value);
    return value;
}

// The address reply as the station must give it.
std::string expected_address_reply() {
    char addr[50], name[50];
    GetTCPHostAddr(addr, sizeof addr);
    GetTCPHostName(name, sizeof name);
    return std::string("IP:") + addr + ":Name:" + name;
}

// A station with its own temporary directory (TMPDIR), on the virtual clock.
class QuorlServer : public ::testing::Test {
protected:
    void SetUp() override {
        pclock::use_virtual_time(0);
        cvi_test::set_popup_echo(false);
        dir_ = fs::temp_directory_path() / ("quorl_test_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        ::setenv("TMPDIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        pclock::use_real_time();
    }
    void create_marker() { std::ofstream(dir_ / "activate_quorl") << ""; }
    void remove_marker() { fs::remove(dir_ / "activate_quorl"); }

    // init, marker, setmode: a registered server.
    void start(const char* resource = kResource) {
        uint32_t session = 0;
        ASSERT_EQ(quorl_init(resource, &session), QUORL_SUCCESS);
        ASSERT_EQ(session, 1u);
        create_marker();
        ASSERT_EQ(quorl_setmode(1), QUORL_SUCCESS);
        ASSERT_EQ(status(QUORL_STATUS_REGISTERED), 1);
    }
    // A connected client whose connect the server has seen.
    std::unique_ptr<TcpClient> connect(unsigned port = kPort) {
        auto c = std::make_unique<TcpClient>(port);
        EXPECT_TRUE(c->connected());
        pump();
        return c;
    }
    void command(TcpClient& c, const std::string& text) {
        ASSERT_TRUE(c.send_text(text));
        pump();
    }

    fs::path dir_;
};

// Each case starts the process's one server, whose first session is 1, in a
// TMPDIR of its own.
PHONELINE_CASES_APART(QuorlServer);

} // namespace

TEST_F(QuorlServer, RegistrationFollowsTheMarkerFile) {
    uint32_t session = 0;
    ASSERT_EQ(quorl_init(kResource, &session), QUORL_SUCCESS);
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);
    EXPECT_TRUE(connection_refused(kPort));

    create_marker();
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 1);
    auto client = connect();

    remove_marker();
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);
    EXPECT_TRUE(connection_refused(kPort));
    EXPECT_TRUE(client->closed_by_peer());
}

TEST_F(QuorlServer, WithoutTheMarkerFileNothingIsCheckedOrSent) {
    uint32_t session = 0;
    ASSERT_EQ(quorl_init(kResource, &session), QUORL_SUCCESS);
    ASSERT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(quorl_write(2, QUORL_KIND_TRACE, "line"), QUORL_SUCCESS);
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "line"), QUORL_SUCCESS);
    EXPECT_EQ(quorl_read(2, 0, 0), QUORL_SUCCESS);
    EXPECT_EQ(pclock::now_ms(), 0);
}

TEST_F(QuorlServer, WithoutAnAcceptedFilecheckModeTheMarkerFileIsNotLookedAt) {
    create_marker();
    uint32_t session = 0;
    EXPECT_EQ(quorl_init("server:portnr:11111:ipadr:x:mode:always:txdelay:0:rxdelay:0", &session),
              QUORL_ERROR_MODE);
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);
    EXPECT_TRUE(connection_refused(kPort));
    EXPECT_EQ(quorl_write(2, QUORL_KIND_TRACE, "line"), QUORL_SUCCESS);
}

TEST_F(QuorlServer, WhileActiveTheSessionIsChecked) {
    start();
    EXPECT_EQ(quorl_write(2, QUORL_KIND_TRACE, "line"), QUORL_ERROR_CONFIG);
    EXPECT_EQ(quorl_read(2, 0, 0), QUORL_ERROR_CONFIG);
    EXPECT_EQ(quorl_read(1, 0, 0), QUORL_SUCCESS);
    EXPECT_EQ(quorl_setmode(2), QUORL_ERROR_CONFIG);
}

TEST_F(QuorlServer, AClientObjectFollowsTheMarkerButNeverListens) {
    create_marker();
    uint32_t session = 0;
    ASSERT_EQ(quorl_init("client:portnr:11111:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0", &session),
              QUORL_SUCCESS);
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);
    EXPECT_TRUE(connection_refused(kPort));
    // Active: the session is checked now.
    EXPECT_EQ(quorl_write(2, QUORL_KIND_TRACE, "line"), QUORL_ERROR_CONFIG);
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "line"), QUORL_SUCCESS);
}

// Command texts, each sent as one piece, and the forwarding mode they leave.
struct CommandCase {
    const char* name;
    std::vector<std::string> texts;
    int32_t mode;
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }


class QuorlCommands : public QuorlServer, public ::testing::WithParamInterface<CommandCase> {};

PHONELINE_CASES_APART(QuorlCommands);

TEST_P(QuorlCommands, LeaveTheMode) {
    start();
    auto client = connect();
    for (const std::string& text : GetParam().texts) command(*client, text);
    EXPECT_EQ(status(QUORL_STATUS_MODE), GetParam().mode);
    EXPECT_TRUE(cvi_test::popups().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuorlCommands,
    ::testing::Values(
        CommandCase{"TraceOn", {"trace on:"}, 0},
        CommandCase{"TraceOnUpperCase", {"TRACE ON:"}, 0},
        CommandCase{"TraceOnWithoutColon", {"trace on"}, -1},
        CommandCase{"TraceOnInsideOtherText", {"Please Trace On: now"}, 0},
        CommandCase{"TraceOff", {"trace on:", "trace off:"}, -1},
        CommandCase{"RsltOn", {"rslt on:"}, 2},
        CommandCase{"RsltOff", {"rslt on:", "rslt off:"}, -1},
        CommandCase{"GetIpadr", {"get ipadr:"}, 3},
        CommandCase{"UnknownText", {"hello"}, -1},
        CommandCase{"TraceOnThenRsltOnInOneText", {"trace on: rslt on:"}, 2},
        CommandCase{"RsltOffThenTraceOnInOneText", {"rslt off: trace on:"}, -1},
        CommandCase{"RsltOnThenTraceOffInOneText", {"rslt on: trace off:"}, 2},
        CommandCase{"TextWithANulInside", {std::string("x\0trace on:", 11)}, -1},
        CommandCase{"ExactlyTheReadLimit", {std::string(503, 'x') + "trace on:"}, 0},
        CommandCase{"CommandSplitAtTheReadLimitIsMissed", {std::string(508, 'x') + "rslt on:"}, -1},
        CommandCase{"CommandAfterTheReadLimitIsATextOfItsOwn", {std::string(512, 'x') + "trace on:"}, 0}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

// "show msg:" shows the lower-cased text after the first ':' of the text.
struct MessageCase {
    const char* name;
    std::string text;
    std::vector<std::string> shown;
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }


class QuorlShowMessage : public QuorlServer, public ::testing::WithParamInterface<MessageCase> {};

PHONELINE_CASES_APART(QuorlShowMessage);

TEST_P(QuorlShowMessage, ShowsTheTextAfterTheFirstColon) {
    start();
    auto client = connect();
    command(*client, GetParam().text);
    std::vector<std::string> shown;
    for (const cvi_test::Popup& p : cvi_test::popups()) {
        EXPECT_EQ(p.title, "Infomeldung");
        shown.push_back(p.text);
    }
    EXPECT_EQ(shown, GetParam().shown);
    EXPECT_EQ(status(QUORL_STATUS_MODE), -1);
    EXPECT_EQ(client->available(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuorlShowMessage,
    ::testing::Values(MessageCase{"TextWithAColon", "show msg:Hello: World", {"hello: world"}},
                      MessageCase{"ColonBeforeTheCommand", "x:show msg:Hi", {"show msg:hi"}},
                      MessageCase{"EmptyMessage", "SHOW MSG:", {""}},
                      MessageCase{"WithoutColon", "show msg Hi", {}}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

TEST_F(QuorlServer, ATraceLineArrivesAsItsBytesAndNulThenTheSendDelay) {
    start();
    auto client = connect();
    command(*client, "trace on:");
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "abc"), QUORL_SUCCESS);
    EXPECT_EQ(client->receive(4), std::string("abc\0", 4));
    EXPECT_EQ(pclock::now_ms(), 250);
    // A result line is not forwarded in trace mode, and not waited for.
    EXPECT_EQ(quorl_write(1, QUORL_KIND_RESULT, "result"), QUORL_SUCCESS);
    EXPECT_EQ(pclock::now_ms(), 250);
    EXPECT_EQ(client->available(), "");
}

TEST_F(QuorlServer, ResultModeForwardsResultLinesOnly) {
    start();
    auto client = connect();
    command(*client, "rslt on:");
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "trace"), QUORL_SUCCESS);
    EXPECT_EQ(quorl_write(1, QUORL_KIND_RESULT, "PASS"), QUORL_SUCCESS);
    EXPECT_EQ(client->receive(5), with_nul("PASS"));
    EXPECT_EQ(pclock::now_ms(), 250);
    command(*client, "rslt off:");
    EXPECT_EQ(quorl_write(1, QUORL_KIND_RESULT, "FAIL"), QUORL_SUCCESS);
    EXPECT_EQ(client->available(), "");
}

TEST_F(QuorlServer, GetIpadrRepliesWithTheAddressAndStopsTraceLines) {
    start();
    auto client = connect();
    command(*client, "trace on:");
    ASSERT_EQ(quorl_write(1, QUORL_KIND_TRACE, "before"), QUORL_SUCCESS);
    ASSERT_EQ(client->receive(7), with_nul("before"));
    const pclock::Millis t0 = pclock::now_ms();

    command(*client, "Get IpAdr:");
    const std::string reply = with_nul(expected_address_reply());
    EXPECT_EQ(client->receive(reply.size()), reply);
    EXPECT_EQ(pclock::now_ms() - t0, 250);
    EXPECT_EQ(status(QUORL_STATUS_MODE), 3);

    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "hidden"), QUORL_SUCCESS);
    EXPECT_EQ(quorl_write(1, QUORL_KIND_RESULT, "hidden"), QUORL_SUCCESS);
    EXPECT_EQ(client->available(), "");

    command(*client, "trace on:");
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "after"), QUORL_SUCCESS);
    EXPECT_EQ(client->receive(6), with_nul("after"));
}

TEST_F(QuorlServer, AnAddressReplyFromOutsideLeavesTheCallersTextAlone) {
    start();
    auto client = connect();
    command(*client, "get ipadr:");
    const std::string reply = with_nul(expected_address_reply());
    ASSERT_EQ(client->receive(reply.size()), reply);

    char small[2] = "x";  // far too short for a reply
    EXPECT_EQ(quorl_write(1, QUORL_KIND_ADDRESS, small), QUORL_SUCCESS);
    EXPECT_STREQ(small, "x");
    EXPECT_EQ(client->receive(reply.size()), reply);
}

TEST_F(QuorlServer, AClientThatDisconnectsAndReconnectsGetsLinesAgain) {
    start();
    auto first = connect();
    command(*first, "trace on:");
    first->close();
    pump();
    // No client: the send fails silently and the delay is skipped.
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "lost"), QUORL_SUCCESS);
    EXPECT_EQ(pclock::now_ms(), 0);

    auto second = connect();
    EXPECT_EQ(status(QUORL_STATUS_MODE), 0);  // the mode outlives the client
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "again"), QUORL_SUCCESS);
    EXPECT_EQ(second->receive(6), with_nul("again"));
    EXPECT_EQ(pclock::now_ms(), 250);
}

TEST_F(QuorlServer, ANewerClientTakesTheLinesAndAnOlderOneStillCommands) {
    start();
    auto older = connect();
    auto newer = connect();
    // Read from the connection that sent it.
    command(*older, "trace on:");
    EXPECT_EQ(status(QUORL_STATUS_MODE), 0);
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "line"), QUORL_SUCCESS);
    EXPECT_EQ(newer->receive(5), with_nul("line"));
    EXPECT_EQ(older->available(), "");

    // The older client leaving does not take the newer one's lines away.
    older->close();
    pump();
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "next"), QUORL_SUCCESS);
    EXPECT_EQ(newer->receive(5), with_nul("next"));

    // The newer one leaving: its handle is forgotten.
    newer->close();
    pump();
    const pclock::Millis t0 = pclock::now_ms();
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "lost"), QUORL_SUCCESS);
    EXPECT_EQ(pclock::now_ms(), t0);
}

// A client that stops reading costs the station one send time-out: the
// send that fails drops it. A client that connects afterwards is served at
// once.
TEST_F(QuorlServer, AClientThatStopsReadingIsDroppedAfterOneFailedSend) {
    start("server:portnr:11111:ipadr:10.1.2.3:mode:filecheck:txdelay:0:rxdelay:0");
    auto stalled = connect();
    command(*stalled, "trace on:");
    // Large lines fill the connection's buffers until a send times out.
    const std::string big(64 * 1024, 'x');
    int sent = 0;
    while (pclock::now_ms() == 0 && sent < 10000) {
        ASSERT_EQ(quorl_write(1, QUORL_KIND_TRACE, big.c_str()), QUORL_SUCCESS);
        ++sent;
    }
    ASSERT_EQ(pclock::now_ms(), 1000) << "no send timed out after " << sent << " lines";
    // A burst of 200 lines waits on it no more.
    for (int i = 0; i < 200; ++i) EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "burst"), QUORL_SUCCESS);
    EXPECT_EQ(pclock::now_ms(), 1000);
    // The stalled client finds its conversation closed behind what it was sent.
    std::string got;
    for (int i = 0; i < 10000 && !stalled->closed_by_peer(0); ++i) got += stalled->available();
    EXPECT_TRUE(stalled->closed_by_peer(0));
    EXPECT_EQ(got.find("burst"), std::string::npos);

    auto second = connect();
    EXPECT_EQ(status(QUORL_STATUS_MODE), 0);
    EXPECT_EQ(quorl_write(1, QUORL_KIND_TRACE, "served"), QUORL_SUCCESS);
    EXPECT_EQ(second->receive(7), with_nul("served"));
    EXPECT_EQ(pclock::now_ms(), 1000);
}

TEST_F(QuorlServer, ReinitWithAnotherPortMovesTheServerAtTheNextSetmode) {
    start();
    uint32_t session = 0;
    ASSERT_EQ(quorl_init(kResourceOtherPort, &session), QUORL_SUCCESS);
    ASSERT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 1);
    EXPECT_TRUE(connection_refused(kPort));
    auto client = connect(kOtherPort);
    command(*client, "trace on:");
    EXPECT_EQ(status(QUORL_STATUS_MODE), 0);

    remove_marker();
    ASSERT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);
    EXPECT_TRUE(connection_refused(kOtherPort));
}

TEST_F(QuorlServer, ReinitWithAnotherPortUnregistersTheRegisteredPort) {
    start();
    uint32_t session = 0;
    ASSERT_EQ(quorl_init(kResourceOtherPort, &session), QUORL_SUCCESS);
    remove_marker();
    ASSERT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);
    EXPECT_TRUE(connection_refused(kPort));
    EXPECT_TRUE(connection_refused(kOtherPort));
}

TEST_F(QuorlServer, ARejectedPortIsNeverListenedOn) {
    create_marker();
    uint32_t session = 0;
    ASSERT_EQ(quorl_init(kResource, &session), QUORL_SUCCESS);
    ASSERT_EQ(quorl_init("server:portnr:11112:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0", &session),
              QUORL_ERROR_PORT);
    // The object type and the file check of the first init stay.
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);
    EXPECT_TRUE(connection_refused(11112));
}

TEST_F(QuorlServer, AFailedRegistrationIsRetriedByTheNextSetmode) {
    int blocker = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    ::setsockopt(blocker, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(kPort);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(blocker, 1), 0);

    uint32_t session = 0;
    ASSERT_EQ(quorl_init(kResource, &session), QUORL_SUCCESS);
    create_marker();
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 0);

    ::close(blocker);
    EXPECT_EQ(quorl_setmode(1), QUORL_SUCCESS);
    EXPECT_EQ(status(QUORL_STATUS_REGISTERED), 1);
    auto client = connect();
    command(*client, "rslt on:");
    EXPECT_EQ(status(QUORL_STATUS_MODE), 2);
}
