// The IrDA loop test against the loop on a pseudo-terminal, and the IrDA
// high-current test.
#include "IrLoopFixture.h"
#include "TesselFctsFixture.h"
#include "TesselIrda.h"
#include "win_line_recorder.h"
#include "win_serial_io.h"

#include <array>
#include <cstdio>
#include <memory>

namespace {

using Reply = IrLoop::Reply;
using win_test::Event;
using win_test::LineEvent;

constexpr unsigned char kIrdaCom = 17;
const std::string kPortName = "COM17";

class Irda : public TesselFcts {
protected:
    void SetUp() override {
        TesselFcts::SetUp();
        line_ = std::make_unique<win_test::PseudoTerminal>(kIrdaCom);
        ASSERT_TRUE(line_->ok());
        rec_ = std::make_unique<win_test::LineRecorder>();
        rec_->use_device(kPortName);
        loop_ = std::make_unique<IrLoop>(*line_, [] { return qmsl_sim::ext_ftm(phone()).irda_test; });
    }
    void TearDown() override {
        loop_.reset();
        rec_.reset();
        line_.reset();
        TesselFcts::TearDown();
    }
    // The plain lines written, without their prefix.
    Lines plainLines() const {
        Lines out;
        for (const auto& l : lines())
            if (l.rfind("(3I)    ", 0) == 0) out.push_back(l.substr(8));
        return out;
    }
    // The phone's IrDA test switches (1340 requests) in order.
    static std::vector<int> switches() {
        std::vector<int> s;
        for (const auto& r : ftmRequests())
            if (r.group == 0x8001 && r.id == 1340 && r.data.size() >= 2) s.push_back(r.data[1]);
        return s;
    }

    std::unique_ptr<win_test::PseudoTerminal> line_;
    std::unique_ptr<win_test::LineRecorder> rec_;
    std::unique_ptr<IrLoop> loop_;
};

const std::string kOn = "[QLIB_FTM_TEST_IRDA_TX_RX(1,0,0,0)]", kOff = "[QLIB_FTM_TEST_IRDA_TX_RX(0,0,0,0)]";
const std::string kSent = " [IRDA >>> 270 bytes.]";
// A loop that failed on a frame gives no reason: its reason line is empty.
const std::string kNoReason = "";

// --- the loop: one table of what comes back --------------------------------------
struct LoopCase {
    const char* name;
    std::vector<Reply> script;
    unsigned frames;
    int status;
    Lines between;  // plain lines between switching the phone's test on and off
};
void PrintTo(const LoopCase& c, std::ostream* os) { *os << c.name; }

Reply xbofs(int n) { return {Reply::Echo, n}; }
Reply changed(int at) { return {Reply::Echo, 10, at}; }
const Reply kEcho{}, kSilent{Reply::Silent}, kNoise{Reply::Noise};

// clang-format off
const LoopCase kLoopCases[] = {
    {"ExactEcho", {kEcho}, 1, 0,
     {kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> ok.]"}},
    {"EightXbofsWaitForTwoMoreBytes", {xbofs(8)}, 1, TESSEL_ERROR_LIBRARY,
     {kSent, " [DATA Read Timeout.]", " [IRDA <<< 8 XBOF, 260 bytes.]", " [IRDA <-> failed.]", kNoReason}},
    {"TwelveXbofsStillReadTheWholeFrame", {xbofs(12)}, 1, 0,
     {kSent, " [IRDA <<< 12 XBOF, 260 bytes.]", " [IRDA <-> ok.]"}},
    {"NoXbofsWaitForTenMoreBytes", {xbofs(0)}, 1, TESSEL_ERROR_LIBRARY,
     {kSent, " [DATA Read Timeout.]", " [IRDA <<< 0 XBOF, 260 bytes.]", " [IRDA <-> failed.]", kNoReason}},
    {"XbofFloodKeepsTheCountInBounds", {xbofs(1000)}, 1, 0,
     {kSent, " [IRDA <<< 1000 XBOF, 260 bytes.]", " [IRDA <-> ok.]"}},
    {"CorruptedPayload", {changed(100)}, 1, TESSEL_ERROR_LIBRARY,
     {kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> No match.]", kNoReason}},
    {"CorruptedFcs", {changed(258)}, 1, TESSEL_ERROR_LIBRARY,
     {kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> No match.]", kNoReason}},
    {"CorruptedEof", {changed(259)}, 1, TESSEL_ERROR_LIBRARY,
     {kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> No match.]", kNoReason}},
    {"Silence", {kSilent}, 1, TESSEL_ERROR_LIBRARY,
     {kSent, " [XBOF Read Timeout.]", " [IRDA <<< 0 XBOF, 0 bytes.]", " [IRDA <-> failed.]", kNoReason}},
    {"NoiseWithoutBof", {kNoise}, 1, TESSEL_ERROR_LIBRARY,
     {kSent, " [XBOF Read Timeout.]", " [40 characters other than XBOF received.]", " [IRDA <<< 0 XBOF, 0 bytes.]",
      " [IRDA <-> failed.]", kNoReason}},
    {"MismatchInFrame1Of3LastGood", {changed(5), kEcho}, 3, 0,
     {kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> No match.]",
      kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> ok.]",
      kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> ok.]"}},
    {"MismatchInTheLastOf3", {kEcho, kEcho, changed(5)}, 3, TESSEL_ERROR_LIBRARY,
     {kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> ok.]",
      kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> ok.]",
      kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> No match.]", kNoReason}},
    {"SilenceEndsTheLoop", {kEcho, kSilent, kEcho}, 3, TESSEL_ERROR_LIBRARY,
     {kSent, " [IRDA <<< 10 XBOF, 260 bytes.]", " [IRDA <-> ok.]",
      kSent, " [XBOF Read Timeout.]", " [IRDA <<< 0 XBOF, 0 bytes.]", " [IRDA <-> failed.]", kNoReason}},
    {"ZeroFramesSucceed", {kEcho}, 0, 0, {}},
};
// clang-format on

class IrdaLoop : public Irda, public ::testing::WithParamInterface<LoopCase> {};

TEST_P(IrdaLoop, EchoDecides) {
    const LoopCase& c = GetParam();
    loop_->script = c.script;
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, c.frames, "t.c", 1), c.status);
    Lines expected{kOn};
    expected.insert(expected.end(), c.between.begin(), c.between.end());
    expected.push_back(kOff);
    EXPECT_EQ(plainLines(), expected);
    EXPECT_EQ(switches(), (std::vector<int>{1, 0}));
    EXPECT_FALSE(qmsl_sim::ext_ftm(phone()).irda_test);
    EXPECT_FALSE(rec_->is_open(kPortName));
    EXPECT_TRUE(hasLine(std::string("_Tessel_SpecialIrdaTest( Handle=") + std::to_string(handleOf(s)) +
                        ", iIrdaPort=17, iTestFrames=" + std::to_string(c.frames) + " ) Sess=" + std::to_string(s)));
    char cResult[64];
    std::snprintf(cResult, sizeof cResult, "_Tessel_SpecialIrdaTest( ) = %#x", static_cast<unsigned>(c.status));
    EXPECT_TRUE(hasLine(cResult));
}

INSTANTIATE_TEST_SUITE_P(Cases, IrdaLoop, ::testing::ValuesIn(kLoopCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the frames, the wire and the clock --------------------------------------------
TEST_F(Irda, SendsTheTestFrameEachTime) {
    const int s = connected();
    ASSERT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 2, "t.c", 1), 0);
    std::vector<unsigned char> f(IRDA_BUFFER_SIZE);
    int iLength = 0;
    L2_CreateTestLoopData(f.data(), &iLength);
    f.resize(static_cast<std::size_t>(iLength));
    ASSERT_EQ(loop_->frames.size(), 2u);
    EXPECT_EQ(loop_->frames[0], IrLoop::Bytes(f.begin(), f.end()));
    EXPECT_EQ(loop_->frames[1], loop_->frames[0]);
}

TEST_F(Irda, SilenceWaitsJustOver500MsOnTheClock) {
    loop_->script = {kSilent};
    const int s = connected();
    const auto start = pclock::now_ms();
    ASSERT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 1, "t.c", 1), TESSEL_ERROR_LIBRARY);
    // 100 ms after the set-up, then two reads of 250 ms each.
    EXPECT_EQ(pclock::now_ms() - start, 600);
}

TEST_F(Irda, LoopIsSilentWhileThePhonesTestIsOff) {
    HANDLE hPort = nullptr;
    char cErr[IRDA_ERROR_TEXT_MAX];
    ASSERT_EQ(L2_InitIrda(kIrdaCom, &hPort, cErr), 1);
    EXPECT_EQ(L2_TestIrda(0, hPort, 1, cErr), 0);
    EXPECT_EQ(loop_->frames.size(), 1u);
    EXPECT_EQ(loop_->echoed, 0);
    EXPECT_EQ(L2_DeInitIrda(hPort, cErr), 1);
}

// --- the port ----------------------------------------------------------------------
TEST_F(Irda, PortThatCannotOpenCallsNoPhone) {
    rec_->fail_open(kPortName);
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 1, "t.c", 1), TESSEL_ERROR_LIBRARY);
    EXPECT_EQ(plainLines(), Lines{"Could not open IrDA port."});
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_TRUE(hasLine("_Tessel_SpecialIrdaTest( ) = 0xbffc19f7"));
}

TEST_F(Irda, PortInUseCannotOpen) {
    HANDLE hOther = CreateFileA(kPortName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hOther, INVALID_HANDLE_VALUE);
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 1, "t.c", 1), TESSEL_ERROR_LIBRARY);
    EXPECT_EQ(plainLines(), Lines{"Could not open IrDA port."});
    EXPECT_TRUE(CloseHandle(hOther));
}

TEST_F(Irda, ModemLinesInOrder) {
    const int s = connected();
    ASSERT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 1, "t.c", 1), 0);
    const std::vector<LineEvent> expected = {
        {kPortName, Event::Open},       {kPortName, Event::Dtr, false}, {kPortName, Event::Rts, false},
        {kPortName, Event::Rts, true},  {kPortName, Event::Dtr, true},  {kPortName, Event::Rts, false},
        {kPortName, Event::Rts, true},  {kPortName, Event::Dtr, false}, {kPortName, Event::Rts, false},
        {kPortName, Event::Close}};
    EXPECT_EQ(rec_->journal, expected);
}

TEST_F(Irda, LineSettingsForTheTransceiver) {
    const int s = connected();
    ASSERT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 0, "t.c", 1), 0);
    const DCB dcb = rec_->settings(kPortName);
    EXPECT_EQ(dcb.BaudRate, CBR_115200);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 0u);
    EXPECT_EQ(dcb.fOutxCtsFlow + dcb.fOutxDsrFlow + dcb.fOutX + dcb.fInX, 0u);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_ENABLE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_DISABLE);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 1u);
    // Both queues are discarded before the loop.
    EXPECT_EQ(rec_->last_purge_flags(kPortName), PURGE_TXCLEAR | PURGE_RXCLEAR);
}

TEST_F(Irda, FailedCloseFailsAfterSwitchingTheTestOff) {
    rec_->fail_close(kPortName);
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 1, "t.c", 1), TESSEL_ERROR_LIBRARY);
    EXPECT_EQ(plainLines().back(), "Could not close port.");
    EXPECT_EQ(switches(), (std::vector<int>{1, 0}));
    EXPECT_EQ(L2_DeInitIrda(nullptr, std::array<char, IRDA_ERROR_TEXT_MAX>{}.data()), 0);
}

TEST_F(Irda, PhoneRefusingTheTestSkipsTheLoop) {
    const int s = connected();
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 1, "t.c", 1), TESSEL_ERROR_LIBRARY);
    EXPECT_EQ(plainLines(), (Lines{kOn, "failed.", kOff}));
    EXPECT_TRUE(loop_->frames.empty());
    EXPECT_FALSE(rec_->is_open(kPortName));
}

TEST_F(Irda, UnconnectedSessionStillReleasesThePort) {
    const int s = openSession();
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_SpecialIrdaTest(s, kIrdaCom, 1, "t.c", 1), TESSEL_ERROR_LIBRARY);
    EXPECT_EQ(plainLines(), (Lines{kOn, "failed.", kOff, "failed."}));
    EXPECT_FALSE(rec_->is_open(kPortName));
}

TEST_F(Irda, InvalidSessionIsUntraced) {
    EXPECT_EQ(_Tessel_SpecialIrdaTest(13, kIrdaCom, 1, "t.c", 1), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_TRUE(lines().empty());
    EXPECT_TRUE(rec_->journal.empty());
}

// --- high current -----------------------------------------------------------------
struct HighCurrentCase {
    const char* name;
    bool faulty;              // the exchange fails ...
    qmsl_sim::Fault fault;    // ... this way
    int status;
    const char* resultLine;
};

class IrdaHighCurrent : public TesselFcts, public ::testing::WithParamInterface<HighCurrentCase> {};

TEST_P(IrdaHighCurrent, ErrorWordDecides) {
    const HighCurrentCase& c = GetParam();
    const int s = connected();
    if (c.faulty) phone().inject("QLIB_SendSync", c.fault);
    EXPECT_EQ(_Tessel_FtmIrdaHighCurrentTest(s, 500, "t.c", 1), c.status);
    EXPECT_TRUE(hasLine("_Tessel_FtmIrdaHighCurrentTest( Handle=" + std::to_string(handleOf(s)) +
                        ", iIrdaLength_ms=500 ) Sess=" + std::to_string(s)));
    EXPECT_TRUE(hasLine(c.resultLine));
    const auto r = ftmRequests();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].id, 33);
    EXPECT_EQ(r[0].data, (std::vector<std::uint8_t>{0xF4, 0x01}));
}

using qmsl_sim::Fault;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, IrdaHighCurrent, ::testing::Values(
    HighCurrentCase{"Passes",          false, {}, 0, "_Tessel_FtmIrdaHighCurrentTest( iFTM_Status=0 ) = 0"},
    HighCurrentCase{"PhoneErrorWord",  true, {Fault::FailedReply, 0, {3, 0}}, TESSEL_ERROR_LIBRARY,
                    "_Tessel_FtmIrdaHighCurrentTest( iFTM_Status=3 ) = 0xbffc19f7"},
    HighCurrentCase{"NoAnswer",        true, {Fault::FalseResult}, TESSEL_ERROR_LIBRARY,
                    "_Tessel_FtmIrdaHighCurrentTest( iFTM_Status=187 ) = 0xbffc19f7"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(TesselFcts, IrdaHighCurrentNeedsAConnection) {
    const int s = openSession();
    EXPECT_EQ(_Tessel_FtmIrdaHighCurrentTest(s, 500, "t.c", 1), kLib);
    EXPECT_TRUE(phone().journal.empty());
}

} // namespace
