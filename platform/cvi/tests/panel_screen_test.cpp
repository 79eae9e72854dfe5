// The terminal front end, end to end: the demo program runs under tmux
// (cvi_tmux.h); the test types keys and reads the screen.
#include "cvi_tmux.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {
const std::string kDemo = std::string(CVI_PANEL_DEMO) + " " + CVI_PANEL_DEMO_FILE;
} // namespace

using cvi_testing::TmuxProgram;

TEST(PanelScreen, ShowsThePanelInATerminalAndReactsToKeys) {
    TmuxProgram demo(kDemo + "; echo exit status $?");
    ASSERT_TRUE(demo.wait_for("[ Quit ]")) << demo.screen();
    EXPECT_TRUE(demo.wait_for("demo started")) << demo.screen();  // stdout lands in the output pane
    std::string first = demo.screen();
    for (const char* shown : {"Panel demo", "Count [       0]", "[ Add one ]", "[ Hello ]", "[ Ask name ]",
                              "Status: ready", "demo started"})
        EXPECT_NE(first.find(shown), std::string::npos) << shown << "\n" << first;

    // The focus starts on the count field; Tab moves to the first button.
    demo.keys("Tab Enter");
    EXPECT_TRUE(demo.wait_for("Count [       1]")) << demo.screen();
    EXPECT_TRUE(demo.wait_for("Status: added one")) << demo.screen();
    EXPECT_TRUE(demo.wait_for("add: 1")) << demo.screen();

    // Digits edit the numeric field; the value is coerced into 0..99.
    demo.keys("BTab");
    demo.type("420");
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for("Count [      99]")) << demo.screen();

    demo.keys("Tab Tab Enter");
    EXPECT_TRUE(demo.wait_for("Hello from the panel")) << demo.screen();
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for("Status: greeted")) << demo.screen();

    // A prompt: typing replaces the default text; Esc cancels.
    demo.keys("Tab Enter");
    EXPECT_TRUE(demo.wait_for("Your name?")) << demo.screen();
    demo.type("Ann");
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for("Status: name: Ann")) << demo.screen();
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for("Your name?")) << demo.screen();
    demo.keys("Escape");
    EXPECT_TRUE(demo.wait_for("Status: prompt cancelled")) << demo.screen();

    // The quit button ends the loop; the terminal is restored and the
    // program's output is handed to it.
    demo.keys("Tab Enter");
    ASSERT_TRUE(demo.wait_for("exit status")) << demo.screen();
    std::string last = demo.screen();
    EXPECT_NE(last.find("exit status 0"), std::string::npos) << last;
    EXPECT_NE(last.find("quit pressed"), std::string::npos) << last;
    EXPECT_EQ(last.find("[ Add one ]"), std::string::npos) << last;
}

TEST(PanelScreen, AnInterruptRestoresTheTerminalAndKeepsTheOutput) {
    // bash runs the demo with the default interrupt action and goes on after it.
    TmuxProgram demo("bash -c \"trap : INT; " + kDemo + "; echo exit status \\$?; stty -a; echo end of check\"");
    ASSERT_TRUE(demo.wait_for("[ Quit ]")) << demo.screen();
    demo.keys("Tab Enter");
    ASSERT_TRUE(demo.wait_for("add: 1")) << demo.screen();  // the callback has ended
    demo.keys("C-c");
    // Wait for the last line, so the screen holds the whole of stty's output.
    ASSERT_TRUE(demo.wait_for("end of check")) << demo.screen();
    std::string last = demo.screen();
    EXPECT_NE(last.find("exit status 130"), std::string::npos) << last;
    EXPECT_NE(last.find("demo started"), std::string::npos) << last;
    EXPECT_NE(last.find("add: 1"), std::string::npos) << last;
    // The line discipline is back: canonical input with echo.
    EXPECT_NE(last.find(" icanon"), std::string::npos) << last;
    EXPECT_NE(last.find(" echo "), std::string::npos) << last;
}

// The output written out again when the panel closes is what the output
// window keeps: the newest lines, with a note that earlier ones were
// dropped (a program running for days does not grow with its output).
TEST(PanelScreen, OnlyTheLinesTheWindowKeepsAreWrittenOutAgain) {
    TmuxProgram demo(kDemo + " 5; echo exit status $?");
    ASSERT_TRUE(demo.wait_for("[ Quit ]")) << demo.screen();
    demo.keys("Tab");
    // add: 1 .. add: 12, one press at a time (keys waiting when a press
    // ends are dropped).
    for (int i = 1; i <= 12; ++i) {
        demo.keys("Enter");
        char count[32];
        std::snprintf(count, sizeof count, "Count [%8d]", i);
        ASSERT_TRUE(demo.wait_for(count)) << demo.screen();
    }
    demo.keys("Tab Tab Tab Enter");  // Quit
    ASSERT_TRUE(demo.wait_for("exit status")) << demo.screen();
    const std::string last = demo.screen();
    EXPECT_NE(last.find("exit status 0"), std::string::npos) << last;
    EXPECT_NE(last.find("[earlier output not kept]\nadd: 9\nadd: 10\nadd: 11\nadd: 12\nquit pressed\n"),
              std::string::npos)
        << last;
    EXPECT_EQ(last.find("add: 8"), std::string::npos) << last;
    EXPECT_EQ(last.find("demo started"), std::string::npos) << last;
}
