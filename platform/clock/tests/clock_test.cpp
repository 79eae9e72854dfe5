#include "pclock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class VirtualClock : public ::testing::Test {
protected:
    void SetUp() override { pclock::use_virtual_time(1000); }
    void TearDown() override { pclock::use_real_time(); }
};

TEST_F(VirtualClock, LongSleepReturnsAtOnceAndFiresInOrder) {
    std::vector<std::string> fired;
    pclock::schedule_at(1000 + 17000, [&] { fired.push_back("17s@" + std::to_string(pclock::now_ms())); });
    pclock::schedule_after(3000, [&] { fired.push_back("3s@" + std::to_string(pclock::now_ms())); });
    pclock::schedule_after(3000, [&] { fired.push_back("3s-second@" + std::to_string(pclock::now_ms())); });
    pclock::schedule_after(19000, [&] { fired.push_back("late"); });

    auto start = std::chrono::steady_clock::now();
    pclock::sleep_ms(18000);
    auto real = std::chrono::steady_clock::now() - start;

    EXPECT_LT(real, std::chrono::milliseconds(500));
    EXPECT_EQ(pclock::now_ms(), 19000);
    EXPECT_EQ(fired, (std::vector<std::string>{"3s@4000", "3s-second@4000", "17s@18000"}));
    EXPECT_EQ(pclock::pending(), 1u);
}

TEST_F(VirtualClock, CallbackMayScheduleFurtherWorkInsideTheSameSleep) {
    std::vector<pclock::Millis> at;
    pclock::schedule_after(100, [&] {
        at.push_back(pclock::now_ms());
        pclock::schedule_after(100, [&] { at.push_back(pclock::now_ms()); });
    });
    pclock::sleep_ms(500);
    EXPECT_EQ(at, (std::vector<pclock::Millis>{1100, 1200}));
    EXPECT_EQ(pclock::now_ms(), 1500);
}

TEST_F(VirtualClock, CancelledCallbackNeverRuns) {
    bool ran = false;
    auto id = pclock::schedule_after(10, [&] { ran = true; });
    pclock::cancel(id);
    pclock::cancel(id);  // unknown now: ignored
    pclock::sleep_ms(20);
    EXPECT_FALSE(ran);
}

TEST_F(VirtualClock, NegativeSleepIsNoSleepAndPastTasksRunAtNextChance) {
    pclock::sleep_ms(-5);
    EXPECT_EQ(pclock::now_ms(), 1000);
    bool ran = false;
    pclock::schedule_at(10, [&] { ran = true; });
    pclock::run_due();
    EXPECT_TRUE(ran);
}

TEST(RealClock, IsTheDefaultAndMovesForward) {
    EXPECT_FALSE(pclock::is_virtual());
    auto a = pclock::now_ms();
    bool ran = false;
    pclock::schedule_after(0, [&] { ran = true; });
    pclock::sleep_ms(1);
    EXPECT_TRUE(ran);
    EXPECT_GE(pclock::now_ms(), a + 1);
}

} // namespace

namespace {

TEST_F(VirtualClock, UtcStartsWhereTheTestSetsItAndMovesWithTheClock) {
    pclock::set_virtual_utc_s(1120225500);  // 2005-07-01 13:45:00 UTC
    EXPECT_EQ(pclock::utc_now_s(), 1120225500);
    pclock::sleep_ms(61500);
    EXPECT_EQ(pclock::utc_now_s(), 1120225561);
}

TEST(RealClock, UtcIsTheSystemsTime) {
    pclock::use_real_time();
    const auto system = std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    EXPECT_LE(std::abs(pclock::utc_now_s() - system), 2);
}

} // namespace
