// The operator program as a person uses it: in a terminal (tmux), against
// the simulated phone of COM1, in real time. Keys go in, the screen is read
// back; every read that is asserted on waits for its marker text first.
#include "cvi_tmux.h"
#include "case_runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using cvi_testing::row_starting;
using cvi_testing::TmuxProgram;
using cvi_testing::with_row;

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
    ASSERT_TRUE(tamsel.wait_for_idle("Status: FTM mode: done")) << tamsel.screen();

    tamsel.keys("Tab Tab Tab Enter");  // Write IMEI
    ASSERT_TRUE(tamsel.wait_for("Please input IMEI")) << tamsel.screen();
    tamsel.type(kImei);
    tamsel.keys("Enter");
    ASSERT_TRUE(tamsel.wait_for_idle("Status: Write IMEI: done")) << tamsel.screen();

    // The phone now has it: a second press finds it and writes nothing.
    tamsel.keys("Enter");
    ASSERT_TRUE(tamsel.wait_for_idle("IMEI is already written, nothing done!!!")) << tamsel.screen();

    tamsel.keys("BTab BTab BTab BTab BTab BTab Enter");  // back from Write IMEI, round to Quit
    ASSERT_TRUE(tamsel.wait_for("exit status")) << tamsel.screen();
    const std::string last = tamsel.screen();
    EXPECT_NE(last.find("exit status 0"), std::string::npos) << last;
    std::error_code ec;
    fs::remove_all(dir, ec);
}

// The separator above the output pane spans the terminal's width.
std::string separatorOf(int width) { return "-- Output " + std::string(static_cast<std::size_t>(width - 10), '-'); }

// A dialog's row of text, as its frame shows it.
std::string dialogRow(const std::string& text) { return "| " + text; }

// What the entry of an open prompt holds: the row two below its message,
// inside the frame ("(no prompt)" when the screen shows none).
std::string promptEntry(const std::string& screen, const std::string& message) {
    std::vector<std::string> rows;
    for (std::size_t begin = 0; begin < screen.size();) {
        const std::size_t end = std::min(screen.find('\n', begin), screen.size());
        rows.push_back(screen.substr(begin, end - begin));
        begin = end + 1;
    }
    for (std::size_t r = 0; r + 2 < rows.size(); ++r) {
        const std::size_t left = rows[r].find(dialogRow(message));
        if (left == std::string::npos) continue;
        const std::string& entry = rows[r + 2];
        const std::size_t right = entry.find('|', left + 1);
        if (entry.size() <= left || entry[left] != '|' || right == std::string::npos) break;
        std::string text = entry.substr(left + 1, right - left - 1);
        text.erase(0, text.find_first_not_of(' '));
        text.erase(text.find_last_not_of(' ') + 1);
        return text;
    }
    return "(no prompt)";
}

// The program in a terminal of its own, in a fresh directory.
class TamselOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tamsel_screen_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        tamsel_ = std::make_unique<TmuxProgram>("cd " + dir_.string() + " && " + TAMSEL_PROGRAM +
                                                "; echo exit status $?");
        ASSERT_TRUE(tamsel_->wait_for("[ Quit ]")) << tamsel_->screen();
    }
    void TearDown() override {
        tamsel_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // FTM mode, which traces more lines than the output pane shows.
    void switchOn() {
        tamsel_->keys("Tab Tab Enter");
        ASSERT_TRUE(tamsel_->wait_for_idle("Status: FTM mode: done")) << tamsel_->screen();
    }
    // Resizes the terminal and waits until the program has drawn itself at
    // that size with `shown` on the screen. An open dialog reads the keys
    // the terminal holds before it takes a resize, so what it shows at the
    // new size is what the keys already there have done to it. `seen`, if
    // given, gets the screen that showed it: a later look may catch the
    // terminal in the middle of a second repaint.
    bool drawnAt(int columns, int rows, const std::string& shown, std::string* seen = nullptr) {
        tamsel_->resize(columns, rows);
        return tamsel_->wait_until([&] {
            const std::string v = tamsel_->visible();
            if (seen) *seen = v;
            return std::count(v.begin(), v.end(), '\n') == rows && v.find(separatorOf(columns)) != std::string::npos &&
                   v.find(shown) != std::string::npos;
        });
    }
    fs::path dir_;
    std::unique_ptr<TmuxProgram> tamsel_;
};

// Each case runs the station in a folder named after the test process.
PHONELINE_CASES_APART(TamselOnScreen);

TEST_F(TamselOnScreen, ATerminalResizedIsRedrawnWithoutAKey) {
    ASSERT_TRUE(tamsel_->wait_for(separatorOf(100))) << tamsel_->screen();
    tamsel_->resize(120, 35);
    ASSERT_TRUE(tamsel_->wait_for(separatorOf(120))) << tamsel_->screen();
    tamsel_->resize(80, 25);
    ASSERT_TRUE(tamsel_->wait_for(separatorOf(80) + "\n")) << tamsel_->screen();
}

// The operator answers a prompt while the terminal shrinks and grows back
// to its size: the prompt is drawn again as it was, and once it is answered
// the panel is as a fresh start draws it, with the status of the command
// that prompted and its traced lines.
TEST_F(TamselOnScreen, AResizeDuringAPromptLeavesThePanelAsAFreshStartDrawsIt) {
    ASSERT_TRUE(tamsel_->wait_for(separatorOf(100))) << tamsel_->screen();
    const std::string fresh = tamsel_->visible();
    tamsel_->keys("Tab Tab Tab Tab Enter");  // Set FTM flag: fails, there is no session
    ASSERT_TRUE(tamsel_->wait_for_idle("Status: Set FTM flag: FAILED")) << tamsel_->screen();
    tamsel_->keys("Tab Enter");  // Write IMEI: no IMEI can be read, so it prompts
    ASSERT_TRUE(tamsel_->wait_for("Please input IMEI")) << tamsel_->screen();
    const std::string prompt = tamsel_->visible();

    tamsel_->resize(60, 8);
    tamsel_->resize(100, 30);
    ASSERT_TRUE(tamsel_->wait_for_visible(prompt)) << tamsel_->visible() << "\nexpected:\n" << prompt;

    tamsel_->keys("Escape");
    const std::size_t pane = row_starting(fresh, "-- Output") + 1;
    std::string answered = with_row(fresh, row_starting(fresh, " Status:"),
                                    " Status: Write IMEI: FAILED - PromptPopup returns -1");
    answered = with_row(answered, pane, "1  NvSetFtmFlag to ONLINE");
    answered = with_row(answered, pane + 1, "2  ======= TestImei =========");
    EXPECT_TRUE(tamsel_->wait_for_visible(answered)) << tamsel_->visible() << "\nexpected:\n" << answered;
}

TEST_F(TamselOnScreen, KeysTypedWhileACommandIsBusyAreDropped) {
    tamsel_->keys("Tab Tab Enter");  // FTM mode: busy for about two seconds
    ASSERT_TRUE(tamsel_->wait_for("Busy: FTM mode")) << tamsel_->screen();
    tamsel_->keys("Tab Enter");  // would press Phone off
    ASSERT_TRUE(tamsel_->wait_for_idle("Status: FTM mode: done")) << tamsel_->screen();
    // The focus is still on FTM mode: two steps on is Set FTM flag.
    tamsel_->keys("Tab Tab Enter");
    ASSERT_TRUE(tamsel_->wait_for_idle("Status: Set FTM flag: done")) << tamsel_->screen();
    EXPECT_EQ(tamsel_->screen().find("Phone off:"), std::string::npos) << tamsel_->screen();
}

TEST_F(TamselOnScreen, PageUpAndPageDownScrollTheOutputPane) {
    switchOn();
    const std::string first = "*** This is L3 Tessel";  // the session's first line
    ASSERT_EQ(tamsel_->screen().find(first), std::string::npos) << tamsel_->screen();
    tamsel_->keys("PPage");
    ASSERT_TRUE(tamsel_->wait_for(first)) << tamsel_->screen();
    EXPECT_NE(tamsel_->screen().find("newer lines below (PgDn)"), std::string::npos) << tamsel_->screen();
    tamsel_->keys("NPage");
    ASSERT_TRUE(tamsel_->wait_for("-- Output --")) << tamsel_->screen();
    EXPECT_EQ(tamsel_->screen().find(first), std::string::npos) << tamsel_->screen();
}

// The cases of what the operator's keys answer and press, a suite of their
// own so that it runs beside the one above.
class TamselOnScreenKeys : public TamselOnScreen {};
PHONELINE_CASES_APART(TamselOnScreenKeys);

// The LED test is a visual check, one light per question: a second Enter
// sent with the one that starts it (the two in one write to the terminal,
// there before the first question is drawn) answers nothing. The first
// question stays until a key pressed once it is shown, and so does each
// after it.
TEST_F(TamselOnScreenKeys, TheLedTestAsksEachQuestionOfKeysPressedOnceItIsShown) {
    switchOn();
    const char* const questions[] = {"LED off?",         "Display LED on?",     "Display LED off?",
                                     "E_LIGHT_LCD_SUB on?", "E_LIGHT_LCD_SUB off?", "E_LIGHT_MP3 on?",
                                     "E_LIGHT_MP3 off?",  "Display LED on?",     "Display LED off?"};
    tamsel_->keys("Tab Tab Tab Tab Tab Tab Enter Enter");  // from FTM mode to LED test
    ASSERT_TRUE(tamsel_->wait_for(dialogRow(questions[0]))) << tamsel_->screen();
    ASSERT_TRUE(drawnAt(100, 31, dialogRow(questions[0]))) << tamsel_->visible();
    for (std::size_t i = 1; i < std::size(questions); ++i) {
        tamsel_->keys("Enter");
        ASSERT_TRUE(tamsel_->wait_for(dialogRow(questions[i]))) << tamsel_->screen();
    }
    EXPECT_EQ(tamsel_->screen().find("Status: LED test:"), std::string::npos) << tamsel_->screen();
    tamsel_->keys("Enter");
    EXPECT_TRUE(tamsel_->wait_for_idle("Status: LED test: done")) << tamsel_->screen();
}

// Digits typed before the IMEI prompt is drawn (a scanner fired too soon)
// are dropped with the Enter after them: the prompt waits, empty, and takes
// what is typed once it is shown.
TEST_F(TamselOnScreenKeys, AnImeiTypedBeforeThePromptIsDrawnIsNotTaken) {
    switchOn();
    std::string typedAhead = "Tab Tab Tab Enter";  // from FTM mode to Write IMEI
    for (char digit : kImei) typedAhead += std::string(" ") + digit;
    tamsel_->keys(typedAhead + " Enter");
    ASSERT_TRUE(tamsel_->wait_for("Please input IMEI")) << tamsel_->screen();
    std::string prompt;
    ASSERT_TRUE(drawnAt(100, 31, "Please input IMEI", &prompt)) << prompt;
    EXPECT_EQ(promptEntry(prompt, "Please input IMEI"), "") << prompt;
    EXPECT_EQ(prompt.find("Status: Write IMEI:"), std::string::npos) << prompt;

    tamsel_->type(kImei);
    tamsel_->keys("Enter");
    EXPECT_TRUE(tamsel_->wait_for_idle("Status: Write IMEI: done")) << tamsel_->screen();
}

// At 40x10 the panel does not fit: a notice says so and what it needs, and
// keys move and press nothing (Ctrl-L, after them in the same write,
// repaints the notice once they have been read). Grown again, the panel is
// back with the focus where it was.
TEST_F(TamselOnScreenKeys, ATerminalTooSmallShowsANoticeAndTakesNoKeys) {
    tamsel_->keys("Tab Tab Tab Tab");  // Set FTM flag
    tamsel_->resize(40, 10);
    const std::string notice[] = {"terminal too small for the panel:", "at least 40x15"};
    ASSERT_TRUE(tamsel_->wait_until([&] {
        const std::string v = tamsel_->visible();
        return v.find(notice[0]) != std::string::npos && v.find(notice[1]) != std::string::npos;
    })) << tamsel_->visible();
    const std::string shown = tamsel_->visible();
    EXPECT_EQ(shown.find("[ "), std::string::npos) << shown;  // no control of the panel

    cvi_testing::run_command("printf '\\033[H\\033[2Jwritten over' > " + tamsel_->tty());
    ASSERT_TRUE(tamsel_->wait_for("written over")) << tamsel_->screen();
    tamsel_->keys("Tab Enter C-l");
    ASSERT_TRUE(tamsel_->wait_for_visible(shown)) << tamsel_->visible() << "\nexpected:\n" << shown;

    ASSERT_TRUE(drawnAt(120, 40, "[ Quit ]")) << tamsel_->visible();
    const std::string back = tamsel_->visible();
    EXPECT_NE(back.find("\n Status:\n"), std::string::npos) << back;  // nothing was pressed
    EXPECT_EQ(back.find("exit status"), std::string::npos) << back;
    EXPECT_EQ(back.find(dialogRow("")), std::string::npos) << back;
    tamsel_->keys("Enter");
    EXPECT_TRUE(tamsel_->wait_for_idle("Status: Set FTM flag: FAILED")) << tamsel_->screen();
}

// The station's phones come locked with the ten unlock tries of a new
// phone. The code the prompt offers opens one (and the button stores the
// phone's new code); a wrong one is refused, and the lock state read after
// it shows a try fewer.
TEST_F(TamselOnScreenKeys, TheServiceCodeButtonUnlocksAStationPhoneWithItsCodeOnly) {
    switchOn();
    tamsel_->keys("Tab Tab Tab Tab Tab Tab Tab Enter");  // from FTM mode to Service code
    ASSERT_TRUE(tamsel_->wait_for("Please input SPC code")) << tamsel_->screen();
    tamsel_->keys("Enter");  // the code offered
    ASSERT_TRUE(tamsel_->wait_for_idle("Status: Service code: done")) << tamsel_->screen();
    EXPECT_NE(tamsel_->screen().find("[UNLOCK_TTL:OK(10):SEC_CODE:OK]"), std::string::npos) << tamsel_->screen();

    tamsel_->keys("Enter");
    ASSERT_TRUE(tamsel_->wait_for("Please input SPC code")) << tamsel_->screen();
    tamsel_->type("111111");
    tamsel_->keys("Enter");
    ASSERT_TRUE(tamsel_->wait_for_idle("Status: Service code: FAILED - bLockState != 0 [1]")) << tamsel_->screen();
    EXPECT_NE(tamsel_->screen().find("[UNLOCK_TTL:OK(9):SEC_CODE:E]"), std::string::npos) << tamsel_->screen();
}

} // namespace
