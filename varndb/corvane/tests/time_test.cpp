// util::Time's texts, and the small text helpers of the client.
#include "VarndbCIclient.h"
#include "util_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <deque>
#include <regex>

namespace {

// A stopwatch on stamps the test gives.
class ScriptedTime : public util::Time {
public:
    using util::Time::Time;
    std::deque<Stamp> stamps;
    void now(Stamp& s) override {
        if (stamps.empty()) return util::Time::now(s);
        s = stamps.front();
        stamps.pop_front();
    }
};

struct FormatRow {
    const char* name;
    long long seconds;
    int millis;
    const char* text;
};
void PrintTo(const FormatRow& r, std::ostream* os) { *os << r.name; }

class TimeFormat : public ::testing::TestWithParam<FormatRow> {};

TEST_P(TimeFormat, Durations) {
    util::Time t;
    char text[80];
    t.format({GetParam().seconds, GetParam().millis}, text);
    EXPECT_STREQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Time, TimeFormat,
                         ::testing::Values(FormatRow{"Zero", 0, 0, "0:0:0 0 ms"},
                                           FormatRow{"UnderADay", 3661, 5, "1:1:1 5 ms"},
                                           FormatRow{"Days", 2 * 86400 + 23 * 3600 + 59 * 60 + 58, 999, "2d 23:59:58 999 ms"},
                                           FormatRow{"NinetyNineDays", 99 * 86400 + 7, 1, "99d 0:0:7 1 ms"}),
                         [](const auto& info) { return std::string(info.param.name); });

class TimeCalendar : public ::testing::TestWithParam<const char*> {};

// Calendar times show the local time, and the date only when it is not today.
TEST_P(TimeCalendar, LocalTimeWithTheDateWhenNotToday) {
    setenv("TZ", GetParam(), 1);
    tzset();
    util::Time t;
    char text[80];
    auto local = [](long long s) {
        std::time_t tt = s;
        std::tm tm{};
        localtime_r(&tt, &tm);
        return tm;
    };
    const long long now = std::time(nullptr);
    std::tm today = local(now);
    t.format({now, 6}, text);
    EXPECT_EQ(std::string(text), std::to_string(today.tm_hour) + ":" + std::to_string(today.tm_min) + ":" +
                                     std::to_string(today.tm_sec) + " 6 ms");
    const long long then = now - 40 * 86400;  // forty days never land on the same day of the month
    std::tm tm = local(then);
    t.format({then, 0}, text);
    EXPECT_EQ(std::string(text), std::to_string(tm.tm_mday) + "." + std::to_string(tm.tm_mon + 1) + "." +
                                     std::to_string(tm.tm_year + 1900) + " " + std::to_string(tm.tm_hour) + ":" +
                                     std::to_string(tm.tm_min) + ":" + std::to_string(tm.tm_sec) + " 0 ms");
}

INSTANTIATE_TEST_SUITE_P(Time, TimeCalendar, ::testing::Values("UTC", "XYZ-5:30"),
                         [](const auto& info) { return info.index == 0 ? std::string("Utc") : std::string("HalfHourZone"); });

TEST(Time, ElapsedBorrowsMillisecondsAndStopsOnce) {
    ScriptedTime t;
    t.stamps = {{1000, 900}, {1012, 100}};
    t.start();
    EXPECT_STREQ(t.stopText(), "Xd XX:XX:XX XXms");
    EXPECT_FALSE(t.stopped());
    EXPECT_STREQ(t.elapsedText(), "0:0:11 200 ms");  // stops at the second stamp
    EXPECT_TRUE(t.stopped());
    EXPECT_DOUBLE_EQ(t.elapsedSeconds(), 11.2);
}

TEST(Time, ANamedStopwatchPrintsItsRunTime) {
    testing::internal::CaptureStdout();
    { util::Time t("connect"); }
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::regex_match(printed, std::regex("connect: .+ ms-.+ ms=>Elapsed: 0:0:[01] [0-9]+ ms\n"))) << printed;
    testing::internal::CaptureStdout();
    { util::Time unnamed; }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

struct TextRow {
    const char* name;
    const char* a;
    const char* b;
    const char* expected;
};
void PrintTo(const TextRow& r, std::ostream* os) { *os << r.name; }

class PasswordPart : public ::testing::TestWithParam<TextRow> {};
TEST_P(PasswordPart, SecondToFourthCharacters) { EXPECT_EQ(corvane::passwordPart(GetParam().a), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Texts, PasswordPart,
                         ::testing::Values(TextRow{"Long", "abcdef", nullptr, "bcd"}, TextRow{"Four", "abcd", nullptr, "bcd"},
                                           TextRow{"Two", "ab", nullptr, "b"}, TextRow{"One", "a", nullptr, ""},
                                           TextRow{"Empty", "", nullptr, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

class JoinPath : public ::testing::TestWithParam<TextRow> {};
TEST_P(JoinPath, OneSeparator) { EXPECT_EQ(corvane::joinPath(GetParam().a, GetParam().b), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Texts, JoinPath,
                         ::testing::Values(TextRow{"Plain", "/d", "f", "/d/f"}, TextRow{"TrailingSlash", "/d/", "f", "/d/f"},
                                           TextRow{"TrailingBackslash", "d\\", "f", "d\\f"},
                                           TextRow{"EmptyDirectory", "", "f", "f"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
