// Queues, time-outs, reads, writes and flush over a pseudo-terminal, with
// the time-outs on the virtual clock.
#include "win_line_recorder.h"
#include "win_pty.h"
#include "win_serial_io.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr unsigned kCom = 41;

HANDLE open_port(const std::string& name) {
    return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

class SerialIo : public ::testing::Test {
protected:
    void SetUp() override {
        pclock::use_virtual_time(1000);
        ASSERT_TRUE(line.ok());
        rec.use_device(line.port());
        port = open_port(line.port());
        ASSERT_NE(port, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
        pclock::use_real_time();
    }
    void setTimeouts(COMMTIMEOUTS t) { ASSERT_TRUE(SetCommTimeouts(port, &t)); }
    // Reads up to n bytes; the bytes read.
    Bytes read(DWORD n, BOOL expected = TRUE) {
        Bytes b(n);
        DWORD done = 99;
        EXPECT_EQ(ReadFile(port, b.data(), n, &done, nullptr), expected);
        b.resize(done);
        return b;
    }

    win_test::PseudoTerminal line{kCom};
    win_test::LineRecorder rec;
    HANDLE port = INVALID_HANDLE_VALUE;
};

constexpr COMMTIMEOUTS kFirstByte250{MAXDWORD, MAXDWORD, 250, 0, 100};
constexpr COMMTIMEOUTS kAtOnce{MAXDWORD, 0, 0, 0, 0};

// --- reads: one table over the time-out modes ----------------------------------
struct ReadCase {
    const char* name;
    COMMTIMEOUTS timeouts;
    DWORD size;
    Bytes there;      // waiting before the read
    long long lateAt; // ms after the start when `late` arrives; -1: never
    Bytes late;
    Bytes got;
    long long tookMs;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class Read : public SerialIo, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(Read, EndsByItsTimeoutRules) {
    const ReadCase& c = GetParam();
    setTimeouts(c.timeouts);
    ASSERT_TRUE(line.put(c.there));
    pclock::TaskId late = 0;
    if (c.lateAt >= 0) late = pclock::schedule_after(c.lateAt, [&] { line.put(c.late); });
    const auto start = pclock::now_ms();
    EXPECT_EQ(read(c.size), c.got);
    EXPECT_EQ(pclock::now_ms() - start, c.tookMs);
    pclock::cancel(late);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Modes, Read, ::testing::Values(
    ReadCase{"FirstByteThereReturnsAtOnce",     kFirstByte250, 1, {0xC0}, -1, {}, {0xC0}, 0},
    ReadCase{"FirstByteTakesWhatIsThere",       kFirstByte250, 4, {1, 2}, -1, {}, {1, 2}, 0},
    ReadCase{"FirstByteWaitsForALateByte",      kFirstByte250, 1, {}, 40, {0x11}, {0x11}, 40},
    ReadCase{"FirstByteGivesUpAfterTheConstant", kFirstByte250, 1, {}, -1, {}, {}, 250},
    ReadCase{"FirstByteTooLate",                kFirstByte250, 1, {}, 300, {0x11}, {}, 250},
    ReadCase{"AtOnceWithNothing",               kAtOnce, 8, {}, 10, {1}, {}, 0},
    ReadCase{"AtOnceWithSome",                  kAtOnce, 8, {1, 2, 3}, -1, {}, {1, 2, 3}, 0},
    ReadCase{"TotalWaitsForAllBytes",           COMMTIMEOUTS{0, 10, 50, 0, 0}, 4, {1}, 30, {2, 3, 4}, {1, 2, 3, 4}, 30},
    ReadCase{"TotalEndsAtMultiplierAndConstant", COMMTIMEOUTS{0, 10, 50, 0, 0}, 5, {1}, 30, {2}, {1, 2}, 100},
    ReadCase{"NoLimitWaitsUntilAllCame",        COMMTIMEOUTS{0, 0, 0, 0, 0}, 2, {1}, 5000, {2}, {1, 2}, 5000}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// --- writes, flush, queues and time-outs kept ----------------------------------
TEST_F(SerialIo, WriteReachesTheFarEnd) {
    setTimeouts(kFirstByte250);
    const Bytes frame(270, 0x5A);
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(port, frame.data(), static_cast<DWORD>(frame.size()), &done, nullptr));
    EXPECT_EQ(done, 270u);
    EXPECT_TRUE(FlushFileBuffers(port));
    EXPECT_EQ(line.take(), frame);
}

TEST_F(SerialIo, PurgeDropsWhatWaitsToBeRead) {
    ASSERT_TRUE(line.put({1, 2, 3}));
    EXPECT_TRUE(PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR));
    setTimeouts(kAtOnce);
    EXPECT_EQ(read(3), Bytes{});
}

TEST_F(SerialIo, QueuesAndTimeoutsAreKeptPerPort) {
    COMMTIMEOUTS t{1, 1, 1, 1, 1};
    ASSERT_TRUE(GetCommTimeouts(port, &t));
    EXPECT_EQ(t.ReadIntervalTimeout + t.ReadTotalTimeoutMultiplier + t.ReadTotalTimeoutConstant +
                  t.WriteTotalTimeoutMultiplier + t.WriteTotalTimeoutConstant,
              0u);
    setTimeouts(kFirstByte250);
    ASSERT_TRUE(GetCommTimeouts(port, &t));
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 250u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 100u);

    EXPECT_TRUE(SetupComm(port, 2048, 1024));
    COMMPROP prop{};
    ASSERT_TRUE(GetCommProperties(port, &prop));
    EXPECT_EQ(prop.dwCurrentRxQueue, 2048u);
    EXPECT_EQ(prop.dwCurrentTxQueue, 1024u);
    EXPECT_EQ(prop.dwServiceMask, SP_SERIALCOMM);
}

TEST_F(SerialIo, LinesAreRecordedWhileDataFlows) {
    EXPECT_TRUE(EscapeCommFunction(port, SETRTS));
    EXPECT_TRUE(EscapeCommFunction(port, SETDTR));
    const std::vector<win_test::LineEvent> expected = {{line.port(), win_test::Event::Open},
                                                       {line.port(), win_test::Event::Dtr, false},
                                                       {line.port(), win_test::Event::Rts, false},
                                                       {line.port(), win_test::Event::Rts, true},
                                                       {line.port(), win_test::Event::Dtr, true}};
    EXPECT_EQ(rec.journal, expected);
}

TEST_F(SerialIo, PortIsExclusiveAndOpensAgainAfterClose) {
    EXPECT_EQ(open_port(line.port()), INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(port));
    port = open_port(line.port());
    EXPECT_NE(port, INVALID_HANDLE_VALUE);
}

TEST_F(SerialIo, CallsOnABadHandleFail) {
    HANDLE bad = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(12345));
    std::uint8_t b[4] = {};
    DWORD done = 7;
    COMMTIMEOUTS t{};
    COMMPROP prop{};
    EXPECT_FALSE(SetupComm(bad, 1, 1));
    EXPECT_FALSE(GetCommProperties(bad, &prop));
    EXPECT_FALSE(GetCommTimeouts(bad, &t));
    EXPECT_FALSE(SetCommTimeouts(bad, &t));
    EXPECT_FALSE(ReadFile(bad, b, 1, &done, nullptr));
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(WriteFile(bad, b, 1, &done, nullptr));
    EXPECT_FALSE(FlushFileBuffers(bad));
}

TEST(SerialIoPty, FarEndGoneFailsTheRead) {
    pclock::use_virtual_time(0);
    win_test::LineRecorder rec;
    auto line = std::make_unique<win_test::PseudoTerminal>(kCom + 1);
    ASSERT_TRUE(line->ok());
    rec.use_device(line->port());
    HANDLE port = open_port(line->port());
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS t = kFirstByte250;
    ASSERT_TRUE(SetCommTimeouts(port, &t));
    line.reset();
    std::uint8_t b = 0;
    DWORD done = 0;
    EXPECT_FALSE(ReadFile(port, &b, 1, &done, nullptr));
    EXPECT_TRUE(CloseHandle(port));
    pclock::use_real_time();
}

// --- a port with nothing on its far end -----------------------------------------
TEST(SerialIoRecorder, NothingArrivesAndWritesGoNowhere) {
    pclock::use_virtual_time(0);
    win_test::LineRecorder rec;
    HANDLE port = open_port("COM42");
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS t = kFirstByte250;
    ASSERT_TRUE(SetCommTimeouts(port, &t));
    std::uint8_t b[3] = {1, 2, 3};
    DWORD done = 9;
    EXPECT_TRUE(WriteFile(port, b, 3, &done, nullptr));
    EXPECT_EQ(done, 3u);
    EXPECT_TRUE(ReadFile(port, b, 1, &done, nullptr));
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(pclock::now_ms(), 250);
    EXPECT_TRUE(CloseHandle(port));
    pclock::use_real_time();
}

} // namespace
