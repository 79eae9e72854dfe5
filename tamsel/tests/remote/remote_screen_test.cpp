// A remote PC follows the station that tamsel/run --remote started in a
// terminal (tmux), with a plain TCP client on 127.0.0.1. Keys go in, the
// screen is read back; every read that is asserted on waits for its marker
// text first.
#include "cvi_tcp_client.h"
#include "cvi_tmux.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using cvi_testing::TcpClient;
using cvi_testing::TmuxProgram;

std::string with_nul(const std::string& s) { return s + std::string(1, '\0'); }

class TamselRemoteScreen : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tamsel_remote_screen_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "activate_quorl") << "";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // The station as README starts it, with the remote-control server on
    // port 11111 and the marker file in its TMPDIR.
    std::string command() const {
        return "TMPDIR=" + dir_.string() + " TAMSEL_BUILD_DIR=" + TAMSEL_BUILD_DIR + " " + TAMSEL_RUN_SCRIPT +
               " --remote 11111; echo exit status $?";
    }
    fs::path dir_;
};

// Focus order of the panel: COM port, KLF byte, then the buttons in order.
TEST_F(TamselRemoteScreen, ARemotePcFollowsTheStationAndItsControlBytesAreShownHarmlessly) {
    TmuxProgram tamsel(command());
    ASSERT_TRUE(tamsel.wait_for("[ Quit ]")) << tamsel.screen();
    ASSERT_TRUE(tamsel.wait_for("Remote-control server: listening")) << tamsel.screen();

    TcpClient remote(11111);
    ASSERT_TRUE(remote.connected());
    // The message tells when the station has taken the command.
    ASSERT_TRUE(remote.send_text("trace on: show msg:following"));
    ASSERT_TRUE(tamsel.wait_for("Infomeldung")) << tamsel.screen();
    tamsel.keys("Enter");

    tamsel.keys("Tab Tab Tab Tab Enter");  // Set FTM flag: traces its line, then fails (no session)
    ASSERT_TRUE(tamsel.wait_for_idle("Status: Set FTM flag: FAILED")) << tamsel.screen();
    EXPECT_EQ(remote.receive(23), with_nul("NvSetFtmFlag to ONLINE"));

    ASSERT_TRUE(remote.send_text("trace off: show msg:stopped"));
    ASSERT_TRUE(tamsel.wait_for("show msg:stopped")) << tamsel.screen();
    tamsel.keys("Enter");
    tamsel.keys("Tab Enter");  // Write IMEI: traces its line, then prompts
    ASSERT_TRUE(tamsel.wait_for("Please input IMEI")) << tamsel.screen();
    tamsel.keys("Escape");
    ASSERT_TRUE(tamsel.wait_for_idle("Status: Write IMEI: FAILED - PromptPopup returns -1")) << tamsel.screen();
    EXPECT_EQ(remote.receive(1, 200), "");

    // A remote message with escape sequences (clear screen, red): shown.
    ASSERT_TRUE(remote.send_text("show msg:\x1b[2J\x1b[31mred"));
    ASSERT_TRUE(tamsel.wait_for("\\x1b[2j\\x1b[31mred")) << tamsel.screen();
    tamsel.keys("Enter");

    // An entry whose raw address is the bytes ESC [ 2 J: the traced line
    // shows them in the output pane.
    tamsel.keys("Tab Tab Enter");  // Write BT address
    ASSERT_TRUE(tamsel.wait_for("AABBCCDDEEFF")) << tamsel.screen();
    tamsel.type("00004A325B1B");
    tamsel.keys("Enter");
    ASSERT_TRUE(tamsel.wait_for_idle("Status: Write BT address: FAILED")) << tamsel.screen();
    EXPECT_NE(tamsel.screen().find("\\x1b[2J"), std::string::npos) << tamsel.screen();

    // Quit: the output is written out again, its control bytes shown; the
    // terminal keeps what it showed.
    tamsel.keys("Tab Tab Tab Tab Tab Tab Tab Enter");
    ASSERT_TRUE(tamsel.wait_for("exit status")) << tamsel.screen();
    const std::string last = tamsel.screen();
    EXPECT_NE(last.find("exit status 0"), std::string::npos) << last;
    EXPECT_NE(last.find("\\x1b[2J"), std::string::npos) << last;
    EXPECT_NE(last.find("NvSetFtmFlag to ONLINE"), std::string::npos) << last;
    EXPECT_NE(last.find("Remote-control server: listening"), std::string::npos) << last;
}

} // namespace
