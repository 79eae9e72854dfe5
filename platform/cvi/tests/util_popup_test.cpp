#include "cvi_popup.h"
#include "pclock.h"

#include <gtest/gtest.h>

TEST(CviDelay, RunsOnTheVirtualClock) {
    pclock::use_virtual_time(0);
    Delay(2.5);
    EXPECT_EQ(pclock::now_ms(), 2500);
    EXPECT_DOUBLE_EQ(Timer(), 2.5);
    Delay(-1);
    EXPECT_EQ(pclock::now_ms(), 2500);
    pclock::use_real_time();
}

TEST(CviPopup, MessagePopupIsRecordedAndReturnsAtOnce) {
    cvi_test::set_popup_echo(false);
    EXPECT_EQ(MessagePopup("Title", "Some text"), 1);
    ASSERT_EQ(cvi_test::popups().size(), 1u);
    EXPECT_EQ(cvi_test::popups()[0].title, "Title");
    EXPECT_EQ(cvi_test::popups()[0].text, "Some text");
    cvi_test::clear_popups();
    EXPECT_TRUE(cvi_test::popups().empty());
}

// Without the record (a program that never asked for it) no popup stays in
// memory, however many are shown.
TEST(CviPopup, WithoutTheRecordNoPopupStaysInMemory) {
    cvi_test::set_popup_echo(false);
    cvi_test::clear_popups();
    cvi_test::record_popups(false);
    for (int i = 0; i < 10000; ++i) EXPECT_EQ(MessagePopup("Infomeldung", "a message from a remote PC"), 1);
    EXPECT_TRUE(cvi_test::popups().empty());
    cvi_test::record_popups(true);
    MessagePopup("Title", "kept");
    ASSERT_EQ(cvi_test::popups().size(), 1u);
    EXPECT_EQ(cvi_test::popups()[0].text, "kept");
    cvi_test::clear_popups();
}
