#include "win_line_recorder.h"
#include "win_serial.h"
#include "win_time.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

using win::Line;
using win_test::Event;
using win_test::LineEvent;

HANDLE open_port(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// --- port names -------------------------------------------------------------
struct PathCase {
    const char* label;
    const char* name;
    const char* env;  // value of the COMn variable, or null
    const char* path;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.label; }

class DevicePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(DevicePath, MapsTheName) {
    const PathCase& c = GetParam();
    if (c.env) setenv(c.name, c.env, 1);
    else unsetenv(c.name);
    EXPECT_EQ(win::device_path(c.name), c.path);
    unsetenv(c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DevicePath,
    ::testing::Values(PathCase{"Com1IsTtyS0", "COM1", nullptr, "/dev/ttyS0"},
                      PathCase{"Com12IsTtyS11", "COM12", nullptr, "/dev/ttyS11"},
                      PathCase{"EnvironmentOverrides", "COM3", "/dev/ttyUSB0", "/dev/ttyUSB0"},
                      PathCase{"EmptyEnvironmentIsIgnored", "COM4", "", "/dev/ttyS3"},
                      PathCase{"OtherNameIsAPath", "/dev/ttyACM0", nullptr, "/dev/ttyACM0"},
                      PathCase{"Com0IsNoPortNumber", "COM0", nullptr, "COM0"},
                      PathCase{"TrailingLettersAreNoPortNumber", "COM3x", nullptr, "COM3x"}),
    [](const auto& info) { return std::string(info.param.label); });

// --- the calls over the recorder ---------------------------------------------
class Serial : public ::testing::Test {
protected:
    win_test::LineRecorder rec;
};

TEST_F(Serial, OpenDropsDtrAndRtsAtOnce) {
    HANDLE h = open_port("COM3");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(rec.journal, (std::vector<LineEvent>{{"COM3", Event::Open},
                                                   {"COM3", Event::Dtr, false},
                                                   {"COM3", Event::Rts, false}}));
    EXPECT_FALSE(rec.line("COM3", Line::Dtr));
    EXPECT_FALSE(rec.line("COM3", Line::Rts));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(rec.is_open("COM3"));
}

TEST_F(Serial, OpenIsExclusiveUntilClosed) {
    HANDLE h = open_port("COM3");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_port("COM3"), INVALID_HANDLE_VALUE);
    HANDLE other = open_port("COM4");
    EXPECT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_NE(other, h);
    EXPECT_TRUE(CloseHandle(h));
    HANDLE again = open_port("COM3");
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
    CloseHandle(other);
}

TEST_F(Serial, AbsentAndBusyPortsDoNotOpen) {
    rec.fail_open("COM5", 1);
    EXPECT_EQ(open_port("COM5"), INVALID_HANDLE_VALUE);
    rec.set_busy("COM6");
    EXPECT_EQ(open_port("COM6"), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(rec.journal.empty());
    HANDLE h = open_port("COM5");  // the fault was for one open
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

struct EscapeCase {
    const char* label;
    DWORD function;
    Event event;
    bool level;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.label; }

class Escape : public ::testing::TestWithParam<EscapeCase> {
protected:
    win_test::LineRecorder rec;
};

TEST_P(Escape, ChangesItsLine) {
    const EscapeCase& c = GetParam();
    HANDLE h = open_port("COM2");
    rec.journal.clear();
    EXPECT_TRUE(EscapeCommFunction(h, c.function));
    EXPECT_EQ(rec.journal, (std::vector<LineEvent>{{"COM2", c.event, c.level}}));
    EXPECT_EQ(rec.line("COM2", c.event == Event::Dtr ? Line::Dtr : Line::Rts), c.level);
    CloseHandle(h);
}

INSTANTIATE_TEST_SUITE_P(Functions, Escape,
                         ::testing::Values(EscapeCase{"SetDtr", SETDTR, Event::Dtr, true},
                                           EscapeCase{"ClrDtr", CLRDTR, Event::Dtr, false},
                                           EscapeCase{"SetRts", SETRTS, Event::Rts, true},
                                           EscapeCase{"ClrRts", CLRRTS, Event::Rts, false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Serial, UnknownEscapeAndFailedLineChangeAreFalse) {
    HANDLE h = open_port("COM2");
    rec.journal.clear();
    EXPECT_FALSE(EscapeCommFunction(h, 99));
    rec.fail_line("COM2", Line::Dtr);
    EXPECT_FALSE(EscapeCommFunction(h, SETDTR));
    EXPECT_FALSE(rec.line("COM2", Line::Dtr));
    EXPECT_TRUE(rec.journal.empty());
    EXPECT_TRUE(EscapeCommFunction(h, SETDTR));
    CloseHandle(h);
}

TEST_F(Serial, WiredDtrReachesItsListener) {
    std::vector<bool> seen;
    rec.wire_dtr("COM7", [&](bool high) { seen.push_back(high); });
    HANDLE h = open_port("COM7");
    EscapeCommFunction(h, SETDTR);
    EscapeCommFunction(h, SETRTS);
    EscapeCommFunction(h, CLRDTR);
    EXPECT_EQ(seen, (std::vector<bool>{false, true, false}));
    CloseHandle(h);
}

TEST_F(Serial, FailedCloseKeepsTheHandle) {
    HANDLE h = open_port("COM2");
    rec.fail_close("COM2");
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_TRUE(rec.is_open("COM2"));
    EXPECT_TRUE(EscapeCommFunction(h, SETRTS));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
}

TEST_F(Serial, CallsOnABadHandleFail) {
    DCB dcb{};
    for (HANDLE h : {INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr)}) {
        EXPECT_FALSE(GetCommState(h, &dcb));
        EXPECT_FALSE(SetCommState(h, &dcb));
        EXPECT_FALSE(PurgeComm(h, PURGE_TXCLEAR));
        EXPECT_FALSE(EscapeCommFunction(h, SETDTR));
        EXPECT_FALSE(CloseHandle(h));
    }
    HANDLE h = open_port("COM2");
    EXPECT_FALSE(GetCommState(h, nullptr));
    CloseHandle(h);
}

TEST_F(Serial, SettingsAndPurgeReachTheDriver) {
    rec.initial_settings.BaudRate = 9600;
    HANDLE h = open_port("COM2");
    DCB dcb{};
    ASSERT_TRUE(GetCommState(h, &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    dcb.BaudRate = CBR_115200;
    dcb.StopBits = ONE5STOPBITS;
    EXPECT_TRUE(SetCommState(h, &dcb));
    EXPECT_EQ(rec.settings("COM2").BaudRate, CBR_115200);
    EXPECT_EQ(rec.settings("COM2").StopBits, ONE5STOPBITS);
    EXPECT_TRUE(PurgeComm(h, PURGE_TXCLEAR | PURGE_RXCLEAR));
    EXPECT_EQ(rec.purges("COM2"), 1);
    EXPECT_EQ(rec.last_purge_flags("COM2"), 12u);
    CloseHandle(h);
}

TEST(SerialDriver, RecorderPutsTheTermiosDriverBack) {
    {
        win_test::LineRecorder rec;
        EXPECT_EQ(&win::serial_driver(), &rec);
    }
    EXPECT_EQ(&win::serial_driver(), &win::termios_driver());
}

// --- the termios driver on a pseudo-terminal (settings and exclusivity; a
// pseudo-terminal has no modem lines) -------------------------------------------
class Termios : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) GTEST_SKIP() << "no pseudo-terminals";
        setenv("COM9", ptsname(master_), 1);
    }
    void TearDown() override {
        unsetenv("COM9");
        if (master_ >= 0) close(master_);
    }
    int master_ = -1;
};

TEST_F(Termios, OpensExclusivelyAndAppliesSettings) {
    HANDLE h = open_port("COM9");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_port("COM9"), INVALID_HANDLE_VALUE);
    DCB dcb{};
    ASSERT_TRUE(GetCommState(h, &dcb));
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONE5STOPBITS;
    EXPECT_TRUE(SetCommState(h, &dcb));
    DCB back{};
    ASSERT_TRUE(GetCommState(h, &back));
    EXPECT_EQ(back.BaudRate, CBR_115200);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, NOPARITY);
    EXPECT_EQ(back.StopBits, ONESTOPBIT);  // the stand-in for 1.5
    dcb.BaudRate = 12345;
    EXPECT_FALSE(SetCommState(h, &dcb));
    EXPECT_TRUE(PurgeComm(h, PURGE_TXCLEAR | PURGE_RXCLEAR));
    EXPECT_TRUE(CloseHandle(h));
    HANDLE again = open_port("COM9");
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
}

TEST(TermiosAbsent, MissingDeviceDoesNotOpen) {
    setenv("COM8", "/nonexistent/tty", 1);
    EXPECT_EQ(open_port("COM8"), INVALID_HANDLE_VALUE);
    unsetenv("COM8");
}

// --- time -------------------------------------------------------------------
TEST(WinTime, SleepAndTickCountRunOnTheVirtualClock) {
    pclock::use_virtual_time(1000);
    EXPECT_EQ(GetTickCount(), 1000u);
    Sleep(18000);
    EXPECT_EQ(GetTickCount(), 19000u);
    Sleep(0);
    EXPECT_EQ(GetTickCount(), 19000u);
    pclock::use_virtual_time(0x100000005LL);
    EXPECT_EQ(GetTickCount(), 5u);  // wraps at 2^32
}

} // namespace
