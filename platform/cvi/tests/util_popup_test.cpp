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
