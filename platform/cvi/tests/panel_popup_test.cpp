#include "cvi_panel.h"
#include "cvi_popup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

namespace {

class PanelPopups : public testing::Test {
protected:
    void SetUp() override {
        cvi_test::set_popup_echo(false);
        cvi_test::clear_popups();
    }
    // The queue of answers is the process's: each case takes all it queues.
    void TearDown() override { EXPECT_EQ(cvi_test::prompt_answers_left(), 0u) << "answers left queued"; }
};

} // namespace

TEST_F(PanelPopups, APromptTakesTheQueuedTextCutToItsLength) {
    char buf[16] = "527309";
    cvi_test::push_prompt_answer("123456789");
    cvi_test::push_prompt_answer("01234567890123456789");
    EXPECT_EQ(PromptPopup("SPC code", "Please input SPC code", buf, 6), 0);
    EXPECT_STREQ(buf, "123456");
    EXPECT_EQ(PromptPopup("Write IMEI", "Please input IMEI", buf, 15), 0);
    EXPECT_STREQ(buf, "012345678901234");
    EXPECT_EQ(cvi_test::prompt_answers_left(), 0u);
    ASSERT_EQ(cvi_test::popups().size(), 2u);
    EXPECT_EQ(cvi_test::popups()[0].kind, "prompt");
    EXPECT_EQ(cvi_test::popups()[0].title, "SPC code");
    EXPECT_EQ(cvi_test::popups()[0].text, "Please input SPC code");
}

TEST_F(PanelPopups, AQueuedCancelReturnsTheCancelCodeAndLeavesTheBuffer) {
    char buf[8] = "S1";
    cvi_test::push_prompt_cancel();
    cvi_test::push_prompt_answer("");
    EXPECT_EQ(PromptPopup("Variant Name", "Please input your variant name", buf, 7), VAL_USER_CANCEL);
    EXPECT_STREQ(buf, "S1");
    EXPECT_EQ(PromptPopup("Variant Name", "Please input your variant name", buf, 7), 0);
    EXPECT_STREQ(buf, "");  // an empty entry is a text too
}

TEST_F(PanelPopups, WithNobodyToAnswerAPromptIsCancelled) {
    if (::isatty(STDIN_FILENO)) GTEST_SKIP() << "standard input is a terminal";
    char buf[8] = "x";
    EXPECT_EQ(PromptPopup("BT Address", "*BtId-Format*: AABBCCDDEEFF", buf, 7), VAL_USER_CANCEL);
    EXPECT_STREQ(buf, "x");
    EXPECT_EQ(cvi_test::popups().size(), 1u);
}

TEST_F(PanelPopups, ABadBufferIsRefusedWithoutUsingAnAnswer) {
    char buf[4] = "";
    cvi_test::push_prompt_answer("abc");
    EXPECT_EQ(PromptPopup("T", "M", nullptr, 3), UI_ERR_INVALID_PARAMETER);
    EXPECT_EQ(PromptPopup("T", "M", buf, -1), UI_ERR_INVALID_PARAMETER);
    EXPECT_EQ(cvi_test::prompt_answers_left(), 1u);
    EXPECT_EQ(PromptPopup("T", "M", buf, 3), 0);  // the answer is still the next one's
    EXPECT_STREQ(buf, "abc");
}

TEST_F(PanelPopups, MessagesAreRecordedInOrderWithPrompts) {
    char buf[4] = "";
    EXPECT_EQ(MessagePopup("LED", "LED off?"), 1);
    cvi_test::push_prompt_answer("ok");
    PromptPopup("Ask", "Question", buf, 3);
    EXPECT_EQ(MessagePopup("Variant Name", "S1"), 1);
    ASSERT_EQ(cvi_test::popups().size(), 3u);
    EXPECT_EQ(cvi_test::popups()[0].kind, "message");
    EXPECT_EQ(cvi_test::popups()[0].text, "LED off?");
    EXPECT_EQ(cvi_test::popups()[1].kind, "prompt");
    EXPECT_EQ(cvi_test::popups()[2].title, "Variant Name");
}
