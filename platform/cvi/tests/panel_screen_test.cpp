// The terminal front end, end to end: the demo program runs under tmux
// (cvi_tmux.h); the test types keys and reads the screen.
#include "cvi_tmux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
const std::string kDemo = std::string(CVI_PANEL_DEMO) + " " + CVI_PANEL_DEMO_FILE;
} // namespace

using cvi_testing::row_starting;
using cvi_testing::TmuxProgram;
using cvi_testing::with_row;

namespace {

// The demo's screen as a fresh start draws it, with this status line.
std::string with_status(const std::string& fresh, const std::string& status) {
    return with_row(fresh, row_starting(fresh, " Status: "), " Status: " + status);
}

} // namespace

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
    EXPECT_TRUE(demo.wait_for_idle("Count [       1]")) << demo.screen();
    EXPECT_TRUE(demo.wait_for_idle("Status: added one")) << demo.screen();
    EXPECT_TRUE(demo.wait_for("add: 1")) << demo.screen();

    // Digits edit the numeric field; the value is coerced into 0..99.
    demo.keys("BTab");
    demo.type("420");
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for_idle("Count [      99]")) << demo.screen();

    demo.keys("Tab Tab Enter");
    EXPECT_TRUE(demo.wait_for("Hello from the panel")) << demo.screen();
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for_idle("Status: greeted")) << demo.screen();

    // A prompt: typing replaces the default text; Esc cancels.
    demo.keys("Tab Enter");
    EXPECT_TRUE(demo.wait_for("Your name?")) << demo.screen();
    demo.type("Ann");
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for_idle("Status: name: Ann")) << demo.screen();
    demo.keys("Enter");
    EXPECT_TRUE(demo.wait_for("Your name?")) << demo.screen();
    demo.keys("Escape");
    EXPECT_TRUE(demo.wait_for_idle("Status: prompt cancelled")) << demo.screen();

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
    ASSERT_TRUE(demo.wait_for_idle("add: 1")) << demo.screen();  // the callback has ended
    demo.keys("C-c");
    // Wait for the last line, so the screen holds the whole of stty's output.
    ASSERT_TRUE(demo.wait_for("end of check")) << demo.screen();
    std::string last = demo.screen();
    EXPECT_NE(last.find("exit status 130"), std::string::npos) << last;
    EXPECT_NE(last.find("demo started"), std::string::npos) << last;
    EXPECT_NE(last.find("add: 1"), std::string::npos) << last;
    // The line discipline is back: canonical input with echo, and flow
    // control.
    EXPECT_NE(last.find(" icanon"), std::string::npos) << last;
    EXPECT_NE(last.find(" echo "), std::string::npos) << last;
    EXPECT_NE(last.find(" ixon"), std::string::npos) << last;
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
        ASSERT_TRUE(demo.wait_for_idle(count)) << demo.screen();
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

// Ctrl-S is a key like any other: the screen stays live, and the keys
// after it act where they are seen. The terminal's flow control is back
// when the program ends.
TEST(PanelScreen, CtrlSLeavesTheScreenLive) {
    TmuxProgram demo("bash -c \"" + kDemo + "; echo exit status \\$?; stty -a; echo end of check\"");
    ASSERT_TRUE(demo.wait_for("demo started")) << demo.screen();
    demo.keys("C-s");
    demo.keys("Tab Enter");  // Add one
    ASSERT_TRUE(demo.wait_for_idle("Count [       1]")) << demo.screen();
    demo.keys("Tab Tab Tab Enter");  // Quit
    ASSERT_TRUE(demo.wait_for("end of check")) << demo.screen();
    const std::string last = demo.screen();
    EXPECT_NE(last.find("exit status 0"), std::string::npos) << last;
    EXPECT_NE(last.find(" ixon"), std::string::npos) << last;
}

// Another program writes over the panel (a message to every terminal, say):
// Ctrl-L repaints it whole.
TEST(PanelScreen, CtrlLRepaintsAScreenWrittenOver) {
    TmuxProgram demo(kDemo);
    ASSERT_TRUE(demo.wait_for("demo started")) << demo.screen();
    const std::string fresh = demo.visible();
    cvi_testing::run_command("printf '\\033[H\\033[2Jwritten over' > " + demo.tty());
    ASSERT_TRUE(demo.wait_for("written over")) << demo.screen();
    demo.keys("C-l");
    EXPECT_TRUE(demo.wait_for_visible(fresh)) << demo.visible() << "\nfresh:\n" << fresh;
}

// A dialog open while the terminal is resized: at the smaller size the panel
// and the dialog are drawn for it; back at the old size (also when the
// program sees only that size) both are as they were; the dialog closed, the
// panel is as a fresh start draws it, with the status its button set.
struct DialogCase {
    const char* name;
    const char* open_keys;  // from the fresh start's focus (Count)
    const char* shown;      // the dialog's text
    const char* close_keys;
    const char* status;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

class PanelScreenDialog : public ::testing::TestWithParam<DialogCase> {};

TEST_P(PanelScreenDialog, AResizeRepaintsThePanelAndTheDialog) {
    const DialogCase& c = GetParam();
    TmuxProgram demo(kDemo);
    ASSERT_TRUE(demo.wait_for("demo started")) << demo.screen();
    const std::string fresh = demo.visible();
    demo.keys(c.open_keys);
    ASSERT_TRUE(demo.wait_for(c.shown)) << demo.screen();
    const std::string with_dialog = demo.visible();

    demo.resize(60, 8);
    EXPECT_TRUE(demo.wait_until([&] {
        const std::string v = demo.visible();
        return std::count(v.begin(), v.end(), '\n') == 8 && v.rfind(" Panel demo", 0) == 0 &&
               v.find(c.shown) != std::string::npos;
    })) << demo.visible();
    demo.resize(100, 30);
    ASSERT_TRUE(demo.wait_for_visible(with_dialog)) << demo.visible() << "\nexpected:\n" << with_dialog;

    demo.resize(60, 8);
    demo.resize(100, 30);
    ASSERT_TRUE(demo.wait_for_visible(with_dialog)) << demo.visible() << "\nexpected:\n" << with_dialog;

    demo.keys(c.close_keys);
    const std::string closed = with_status(fresh, c.status);
    EXPECT_TRUE(demo.wait_for_visible(closed)) << demo.visible() << "\nexpected:\n" << closed;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, PanelScreenDialog,
                         ::testing::Values(DialogCase{"Message", "Tab Tab Enter", "Hello from the panel", "Enter",
                                                      "greeted"},
                                           DialogCase{"Prompt", "Tab Tab Tab Enter", "Your name?", "Escape",
                                                      "prompt cancelled"}),
                         [](const ::testing::TestParamInfo<DialogCase>& info) { return info.param.name; });
