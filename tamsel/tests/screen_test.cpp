// The operator program as a person uses it: in a terminal (tmux), against
// the simulated phone of COM1, in real time. Keys go in, the screen is read
// back; every read that is asserted on waits for its marker text first.
#include "cvi_tmux.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using cvi_testing::TmuxProgram;

const std::string kImei = "354812345678903";

// Focus order of the panel: COM port, KLF byte, then the buttons in order;
// the focus starts on the COM port field and wraps around.
TEST(TamselScreen, AnOperatorWritesAnImeiToASimulatedPhone) {
    const fs::path dir = fs::temp_directory_path() / ("tamsel_screen_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    TmuxProgram tamsel("cd " + dir.string() + " && " + TAMSEL_PROGRAM + "; echo exit status $?");
    ASSERT_TRUE(tamsel.wait_for("[ Quit ]")) << tamsel.screen();
    for (const char* shown : {"Tamsel - phone service", "COM port [", "KLF byte [", "[ FTM mode ]", "[ Write IMEI ]"})
        EXPECT_NE(tamsel.screen().find(shown), std::string::npos) << shown << "\n" << tamsel.screen();

    tamsel.keys("Tab Tab Enter");  // FTM mode
    ASSERT_TRUE(tamsel.wait_for("Status: FTM mode: done")) << tamsel.screen();

    tamsel.keys("Tab Tab Tab Enter");  // Write IMEI
    ASSERT_TRUE(tamsel.wait_for("Please input IMEI")) << tamsel.screen();
    tamsel.type(kImei);
    tamsel.keys("Enter");
    ASSERT_TRUE(tamsel.wait_for("Status: Write IMEI: done")) << tamsel.screen();

    // The phone now has it: a second press finds it and writes nothing.
    tamsel.keys("Enter");
    ASSERT_TRUE(tamsel.wait_for("IMEI is already written, nothing done!!!")) << tamsel.screen();

    tamsel.keys("BTab BTab BTab BTab BTab BTab Enter");  // back from Write IMEI, round to Quit
    ASSERT_TRUE(tamsel.wait_for("exit status")) << tamsel.screen();
    const std::string last = tamsel.screen();
    EXPECT_NE(last.find("exit status 0"), std::string::npos) << last;
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace
