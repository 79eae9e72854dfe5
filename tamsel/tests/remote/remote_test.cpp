// Remote following: where a remote-control server was opened in the same
// process and stored in the shared-session store, every line the program
// traces also reaches the remote client (kind 0, "trace on:").
#include "../TamselFixture.h"
#include "../TamselHeadless.h"
#include "TamselSimPhones.h"
#include "TamselSimRemote.h"

#include "cvi_tcp_client.h"
#include "gorvid.h"
#include "quorl.h"
#include "case_runner.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
constexpr unsigned kRemotePort = 11111;

// A remote-control server opened in this process and stored in the
// shared-session store; its activation file lives in a folder of its own.
struct RemoteServer {
    fs::path dir;
    uint32_t session = 0;
};

void openRemote(const std::string& folder, RemoteServer& server) {
    server.dir = fs::temp_directory_path() / (folder + std::to_string(::getpid()));
    fs::create_directories(server.dir);
    ::setenv("TMPDIR", server.dir.c_str(), 1);
    std::ofstream(server.dir / "activate_quorl") << "";
    ASSERT_EQ(quorl_init("server:portnr:11111:ipadr:127.0.0.1:mode:filecheck:txdelay:0:rxdelay:0", &server.session),
              0);
    ASSERT_EQ(quorl_setmode(1), 0);
    GorvidPut_SesQuorl(static_cast<int>(server.session));
}

void closeRemote(const RemoteServer& server) {
    fs::remove(server.dir / "activate_quorl");
    quorl_setmode(server.session);  // unregisters the server
    std::error_code ec;
    fs::remove_all(server.dir, ec);
}

// Each case opens the process's one remote server, in a TMPDIR of its own.
PHONELINE_CASES_APART(TamselTest);

// Only the program's own lines: those the phone-access library traces stay
// on the station.
TEST_F(TamselTest, TracedLinesReachTheRemoteClient) {
    RemoteServer server;
    ASSERT_NO_FATAL_FAILURE(openRemote("tamsel_remote_", server));

    cvi_testing::TcpClient client(kRemotePort);
    ASSERT_TRUE(client.connected());
    cvi_testing::pump();
    ASSERT_TRUE(client.send_text("trace on:"));
    cvi_testing::pump();

    TamselPrepareSimulatedPhones();
    ASSERT_EQ(press(kFtmMode), 0) << statusLine();  // traces nothing of its own
    const std::size_t library_lines = traced().size();
    EXPECT_GT(library_lines, 10u);
    press(kSetFtmFlag);  // traces its line before it calls the library
    EXPECT_GT(traced().size(), library_lines + 1);
    const std::string line = "NvSetFtmFlag to ONLINE";
    EXPECT_EQ(client.receive(line.size() + 1), line + std::string(1, '\0'));
    EXPECT_EQ(client.available(), "");

    closeRemote(server);
}

// A station runs for days with a chatty remote PC: no test asks for the
// records there, and neither the messages nor the phone operations leave
// anything behind in memory.
TEST_F(TamselTest, AStationKeepsNoRecordOfMessagesAndPhoneOperations) {
    RemoteServer server;
    ASSERT_NO_FATAL_FAILURE(openRemote("tamsel_records_", server));
    cvi_testing::TcpClient client(kRemotePort);
    ASSERT_TRUE(client.connected());
    cvi_testing::pump();

    // As the program runs: the station's phones, and nobody asking.
    TamselPrepareSimulatedPhones();
    tracer_test::set_capture(false);
    cvi_test::record_popups(false);
    ASSERT_EQ(press(kFtmMode), 0) << statusLine();
    ASSERT_EQ(_Tessel_NvWriteImei(sesMobile, "354812345678903", "test", 1), 0);
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(client.send_text("show msg:message " + std::to_string(i)));
        cvi_testing::pump();
        ASSERT_EQ(press(kWriteImei), 0);  // a traced IMEI read
        ASSERT_EQ(press(kSetFtmFlag), 0);
    }
    EXPECT_EQ(statusLine(), "Set FTM flag: done");
    EXPECT_TRUE(cvi_test::popups().empty());
    EXPECT_TRUE(tracer_test::all_lines().empty());
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_TRUE(phone().text_log.empty());

    closeRemote(server);
}

// A station started headless by a script, its output into a file, says at
// once that its server listens: the line is in the file when a signal ends
// the program.
TEST(TamselHeadlessRemote, TheListeningLineIsInTheFileAtOnce) {
    const fs::path dir = fs::temp_directory_path() / ("tamsel_headless_remote_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "activate_quorl") << "";
    const std::string resource = "server:portnr:11111:ipadr:0.0.0.0:mode:filecheck:txdelay:0:rxdelay:0";
    {
        TamselHeadless tamsel(dir, {"TMPDIR=" + dir.string(), std::string(TAMSEL_REMOTE_VARIABLE) + "=" + resource});
        ASSERT_TRUE(tamsel.wait_for_lines(2));
        tamsel.terminate();
        const std::vector<std::string> lines = tamsel.lines();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].rfind("Tamsel runs headless", 0), 0u) << lines[0];
        EXPECT_EQ(lines[1], "Remote-control server: listening (" + resource + ")");
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace
