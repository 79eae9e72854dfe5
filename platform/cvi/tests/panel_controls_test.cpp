#include "cvi_events.h"
#include "cvi_panel.h"
#include "panel_test_callbacks.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PanelControls : public testing::Test {
protected:
    void SetUp() override {
        cvi_test::set_screen_allowed(false);
        panel = LoadPanel(0, (std::string(CVI_TEST_DATA) + "/good.uir").c_str(), 1);
        ASSERT_GT(panel, 0);
        ASSERT_EQ(DisplayPanel(panel), 0);
        EXPECT_FALSE(cvi::panel_on_screen());
        panel_test::calls().clear();
    }
    void TearDown() override { DiscardPanel(panel); }
    int panel = 0;
};

} // namespace

TEST_F(PanelControls, NumericValuesAreSetAndReadWithinTheirRange) {
    int v = 0;
    EXPECT_EQ(SetCtrlVal(panel, 16, 255), 0);
    EXPECT_EQ(GetCtrlVal(panel, 16, &v), 0);
    EXPECT_EQ(v, 255);
    EXPECT_EQ(SetCtrlVal(panel, 16, 256), UI_ERR_OUT_OF_RANGE);
    EXPECT_EQ(SetCtrlVal(panel, 16, -1), UI_ERR_OUT_OF_RANGE);
    EXPECT_EQ(GetCtrlVal(panel, 16, &v), 0);
    EXPECT_EQ(v, 255);  // a refused value leaves the old one
    EXPECT_EQ(SetCtrlVal(panel, 15, 1), 0);
    EXPECT_EQ(GetCtrlVal(panel, 15, &v), 0);
    EXPECT_EQ(v, 1);
}

TEST_F(PanelControls, TheStatusTextIsSetCutToItsSizeAndReadBack) {
    char text[CVI_TEXT_CONTROL_SIZE];
    EXPECT_EQ(SetCtrlVal(panel, 17, "FTM mode: -1, library error"), 0);
    EXPECT_EQ(GetCtrlVal(panel, 17, text), 0);
    EXPECT_STREQ(text, "FTM mode: -1, library error");
    std::string long_text(2000, 'x');
    EXPECT_EQ(SetCtrlVal(panel, 17, long_text.c_str()), 0);
    EXPECT_EQ(GetCtrlVal(panel, 17, text), 0);
    EXPECT_EQ(std::string(text), std::string(CVI_TEXT_CONTROL_SIZE - 1, 'x'));
    EXPECT_EQ(SetCtrlVal(panel, 17, static_cast<const char*>(nullptr)), UI_ERR_INVALID_PARAMETER);
}

TEST_F(PanelControls, WrongControlsPanelsAndPointersAreRefused) {
    int v = 0;
    EXPECT_EQ(GetCtrlVal(panel, 99, &v), UI_ERR_NO_SUCH_CONTROL);
    EXPECT_EQ(SetCtrlVal(panel, 99, 1), UI_ERR_NO_SUCH_CONTROL);
    EXPECT_EQ(GetCtrlVal(panel + 100, 15, &v), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(SetCtrlVal(panel + 100, 15, 1), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(GetCtrlVal(panel, 1, &v), UI_ERR_WRONG_CONTROL);  // a button has no value
    EXPECT_EQ(SetCtrlVal(panel, 1, 1), UI_ERR_WRONG_CONTROL);
    EXPECT_EQ(GetCtrlVal(panel, 15, nullptr), UI_ERR_INVALID_PARAMETER);
    EXPECT_EQ(DisplayPanel(panel + 100), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(DiscardPanel(panel + 100), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(SetStdioWindowOptions(0, 1, 1), UI_ERR_INVALID_PARAMETER);
    EXPECT_EQ(SetStdioWindowOptions(10000, 1, 1), 0);
}

TEST_F(PanelControls, PressingAButtonRunsItsCallbackAsACommitEvent) {
    EXPECT_EQ(cvi_test::press(panel, 1), 0);
    EXPECT_EQ(cvi_test::press(panel, 3), -1);  // the callback's own result
    ASSERT_EQ(panel_test::calls().size(), 2u);
    EXPECT_EQ(panel_test::calls()[0].panel, panel);
    EXPECT_EQ(panel_test::calls()[0].control, 1);
    EXPECT_EQ(panel_test::calls()[0].event, EVENT_COMMIT);
    EXPECT_EQ(panel_test::calls()[1].control, 3);
    EXPECT_EQ(cvi_test::press(panel, 15), UI_ERR_WRONG_CONTROL);
    EXPECT_EQ(cvi_test::press(panel, 99), UI_ERR_NO_SUCH_CONTROL);
    EXPECT_EQ(cvi_test::press(panel + 100, 1), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(panel_test::calls().size(), 2u);
}

TEST_F(PanelControls, APostedPressRunsFromTheEventLoop) {
    pclock::use_virtual_time(0);
    cvi_test::post_press(panel, 1);
    EXPECT_TRUE(panel_test::calls().empty());
    ProcessSystemEvents();
    ASSERT_EQ(panel_test::calls().size(), 1u);
    EXPECT_EQ(panel_test::calls()[0].event, EVENT_COMMIT);
    pclock::use_real_time();
}

TEST_F(PanelControls, AQuitButtonEndsRunUserInterfaceWithItsCode) {
    pclock::use_virtual_time(0);
    cvi_test::post_press(panel, 1);
    cvi_test::post_press(panel, 2);  // panel_test_quit: QuitUserInterface(42)
    EXPECT_EQ(RunUserInterface(), 42);
    EXPECT_EQ(panel_test::calls().size(), 1u);
    pclock::use_real_time();
}
