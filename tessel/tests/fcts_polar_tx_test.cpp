// Calibration of the polar transmitter: the calibration records to their NV
// items by phone type, the GSM TX sweep request and its length limit, the
// two-tone offset and the RSB/DC sweep's status.
#include "TesselFctsFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const char* const F = "polar.c";
constexpr int L = 9;
constexpr int kLib = TESSEL_ERROR_LIBRARY;

class PolarTx : public TesselFcts {
protected:
    // Each record's bytes hold its number: t * 96 + (f - 1) * 32 + (b - 1) * 8 + (s - 1).
    static std::vector<unsigned char> records() {
        std::vector<unsigned char> data(TESSEL_POLAR_TX_CAL_SIZE);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i / TESSEL_POLAR_TX_CAL_RECORD);
        return data;
    }
};

// --- calibration records ------------------------------------------------------------

struct PolarCase {
    std::string name;
    int phoneType;
    int sets;
};
void PrintTo(const PolarCase& c, std::ostream* os) { *os << c.name; }

class PolarTxCal : public PolarTx, public ::testing::WithParamInterface<PolarCase> {};

TEST_P(PolarTxCal, WritesEachRecordToItsItem) {
    const PolarCase& c = GetParam();
    const int s = typed(c.phoneType);
    const auto data = records();
    EXPECT_EQ(_Tessel_FtmNvWritePolarTxCal(s, data.data(), F, L), 0);
    const auto writes = phone().calls("QLIB_DIAG_NV_WRITE_F");
    ASSERT_EQ(writes.size(), static_cast<std::size_t>(2 * c.sets * 32));
    const int bases[2][3] = {{2521, 2553, 3078}, {2585, 2617, 3110}};
    std::size_t n = 0;
    for (int t = 0; t < 2; ++t)
        for (int f = 1; f <= c.sets; ++f)
            for (int b = 1; b <= 4; ++b)
                for (int st = 1; st <= 8; ++st, ++n) {
                    const auto& w = writes[n];
                    EXPECT_EQ(w.args.at(0), bases[t][f - 1] + (b - 1) * 8 + st - 1) << n;
                    const auto record = static_cast<std::uint8_t>(t * 96 + (f - 1) * 32 + (b - 1) * 8 + st - 1);
                    EXPECT_EQ(w.bytes, Bytes(TESSEL_POLAR_TX_CAL_RECORD, record)) << n;
                }
    EXPECT_EQ(lines().front(), "(3C)    _Tessel_FtmNvWritePolarTxCal( Handle=" + std::to_string(handleOf(s)) +
                                   ", pCalData=" + traceAddress(data.data()) + " ) Sess=1 in File \"polar.c\" Line 9");
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_FtmNvWritePolarTxCal() = 0( ) (SUCCESS) ");
}

INSTANTIATE_TEST_SUITE_P(Table, PolarTxCal,
                         ::testing::Values(PolarCase{"PhoneType5", 5, 3}, PolarCase{"PhoneType0", 0, 2},
                                           PolarCase{"PhoneType9", 9, 2}),
                         [](const ::testing::TestParamInfo<PolarCase>& i) { return i.param.name; });

TEST_F(PolarTx, AFailingItemStopsAllWriting) {
    const int s = typed(5);
    phone().set_nv(2523, {}, 5);
    const auto data = records();
    EXPECT_EQ(_Tessel_FtmNvWritePolarTxCal(s, data.data(), F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 3u);
    EXPECT_TRUE(hasLine("(3I)    [Error writing item number 2523 (Fn=1, iBand=1, iSn=3).]"));
}

TEST_F(PolarTx, AFailingWriteInTable1NamesItsPlace) {
    const int s = typed(0);
    phone().set_nv(2617 + 8 + 1, {}, 2);  // table 1, set 2, band 2, step 2
    const auto data = records();
    EXPECT_EQ(_Tessel_FtmNvWritePolarTxCal(s, data.data(), F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 64u + 32u + 10u);
    EXPECT_TRUE(hasLine("(3I)    [Error writing item number 2626 (Fn=2, iBand=2, iSn=2).]"));
}

TEST_F(PolarTx, AFalseAnswerStopsAtOnce) {
    const int s = typed(0);
    phone().inject("QLIB_DIAG_NV_WRITE_F", qmsl_sim::Fault{});
    const auto data = records();
    EXPECT_EQ(_Tessel_FtmNvWritePolarTxCal(s, data.data(), F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 1u);
    EXPECT_TRUE(hasLine("[Error writing item number 2521 (Fn=1, iBand=1, iSn=1).]"));
}

TEST_F(PolarTx, CalibrationOnAnUnconnectedSessionWritesNothing) {
    const int s = openSession();
    const auto data = records();
    EXPECT_EQ(_Tessel_FtmNvWritePolarTxCal(s, data.data(), F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 0u);
    EXPECT_FALSE(hasLine("Error writing"));
}

// --- GSM TX sweep -------------------------------------------------------------------------

struct SweepCase {
    std::string name;
    int pairs;
    int status;
    int requestLength;  // 0: nothing sent
};
void PrintTo(const SweepCase& c, std::ostream* os) { *os << c.name; }

class GsmTxSweep : public PolarTx, public ::testing::WithParamInterface<SweepCase> {};

TEST_P(GsmTxSweep, SendsTheRequestWhenItFits) {
    const SweepCase& c = GetParam();
    const int s = typed(0);
    std::vector<unsigned short> first(static_cast<std::size_t>(c.pairs)), second(first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        first[i] = static_cast<unsigned short>(0x1000 + i);
        second[i] = static_cast<unsigned short>(0x8000 - i);
    }
    EXPECT_EQ(_Tessel_FtmGsmTxSweepCal(s, first.data(), second.data(), c.pairs, F, L), c.status);
    EXPECT_EQ(lines().front(), "(3C)    _Tessel_FtmGsmTxSweepCal( Handle=" + std::to_string(handleOf(s)) +
                                   ", piFirstValues=" + traceAddress(first.data()) + ", piSecondValues=" +
                                   traceAddress(second.data()) + ", iNumPairs=" + std::to_string(c.pairs) +
                                   " ) Sess=1 in File \"polar.c\" Line 9");
    const auto sent = phone().calls("QLIB_SendSync");
    if (c.requestLength == 0) {
        EXPECT_TRUE(sent.empty());
        EXPECT_TRUE(hasLine("(3I)    [ERROR: Maximum length of data packet exceeded.]"));
        return;
    }
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].args, (std::vector<long long>{c.requestLength, 2000}));
    const Bytes& r = sent[0].bytes;
    ASSERT_EQ(r.size(), static_cast<std::size_t>(c.requestLength));
    const unsigned n4 = 4u * static_cast<unsigned>(c.pairs);
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 10),
              (Bytes{75, 11, 17, 0, 0x2C, 0x01, static_cast<std::uint8_t>(n4), static_cast<std::uint8_t>(n4 >> 8), 10, 0}));
    for (std::size_t i = 0; i < first.size(); ++i) {
        const std::size_t at = 10 + 4 * i;
        EXPECT_EQ(r[at] | (r[at + 1] << 8), first[i]) << i;
        EXPECT_EQ(r[at + 2] | (r[at + 3] << 8), second[i]) << i;
    }
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_FtmGsmTxSweepCal( _iRespSize=12 ) = 0 (SUCCESS) ");
}

INSTANTIATE_TEST_SUITE_P(Table, GsmTxSweep,
                         ::testing::Values(SweepCase{"ThreePairs", 3, 0, 22}, SweepCase{"NoPair", 0, 0, 10},
                                           SweepCase{"Pairs1021", 1021, 0, 4094}, SweepCase{"Pairs1022", 1022, kLib, 0},
                                           SweepCase{"Pairs2000", 2000, kLib, 0}),
                         [](const ::testing::TestParamInfo<SweepCase>& i) { return i.param.name; });

TEST_F(GsmTxSweep, NoAnswerIsALibraryError) {
    const int s = typed(0);
    phone().inject("QLIB_SendSync", qmsl_sim::Fault{qmsl_sim::Fault::NoReply});
    const unsigned short first[1] = {1}, second[1] = {2};
    EXPECT_EQ(_Tessel_FtmGsmTxSweepCal(s, first, second, 1, F, L), kLib);
}

TEST_F(GsmTxSweep, UnconnectedSessionSendsNothing) {
    const int s = openSession();
    const unsigned short first[1] = {1}, second[1] = {2};
    EXPECT_EQ(_Tessel_FtmGsmTxSweepCal(s, first, second, 1, F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_SendSync"), 0u);
}

// --- two-tone offset and RSB/DC sweep ---------------------------------------------------------

struct ToneCase {
    std::string name;
    int offset;
    int status;
    long long sent;  // -1: no call
};
void PrintTo(const ToneCase& c, std::ostream* os) { *os << c.name; }

class TwoTone : public PolarTx, public ::testing::WithParamInterface<ToneCase> {};

TEST_P(TwoTone, SendsTheOffsetFrom68) {
    const ToneCase& c = GetParam();
    const int s = typed(0);
    EXPECT_EQ(_Tessel_FtmSetTwoToneFreqOffset(s, c.offset, F, L), c.status);
    const auto calls = phone().calls("QLIB_FTM_SET_TWOTONE_FREQ_OFFSET");
    if (c.sent < 0) {
        EXPECT_TRUE(calls.empty());
    } else {
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].args, std::vector<long long>{c.sent});
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TwoTone,
                         ::testing::Values(ToneCase{"At68", 68, 0, 0}, ToneCase{"At67", 67, kLib, -1},
                                           ToneCase{"At200", 200, 0, 132}, ToneCase{"At0", 0, kLib, -1},
                                           ToneCase{"Low16BitsAre68", 0x10044, 0, 0}),
                         [](const ::testing::TestParamInfo<ToneCase>& i) { return i.param.name; });

TEST_F(TwoTone, UnconnectedSessionMakesNoCall) {
    const int s = openSession();
    EXPECT_EQ(_Tessel_FtmSetTwoToneFreqOffset(s, 70, F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_SET_TWOTONE_FREQ_OFFSET"), 0u);
}

struct RsbCase {
    std::string name;
    bool answers;
    long long sweepStatus;
    int status;
};
void PrintTo(const RsbCase& c, std::ostream* os) { *os << c.name; }

class RsbDcSweep : public PolarTx, public ::testing::WithParamInterface<RsbCase> {};

TEST_P(RsbDcSweep, NeedsTheSweepStatus0) {
    const RsbCase& c = GetParam();
    const int s = typed(0);
    phone().set_outputs("QLIB_FTM_TX_RSB_DC_SWEEP", {c.sweepStatus});
    if (!c.answers) phone().inject("QLIB_FTM_TX_RSB_DC_SWEEP", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_FtmGsmTxRsbDcSweep(s, 0x105, 11, 12, 13, 0x80000000u, 0xFFFFFFFFu, F, L), c.status);
    const auto calls = phone().calls("QLIB_FTM_TX_RSB_DC_SWEEP");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, (std::vector<long long>{5, 11, 12, 13, 0x80000000LL, 0xFFFFFFFFLL}));
    // The size as the byte passed on, the lists as signed 32-bit numbers.
    EXPECT_EQ(lines().front(), "(3C)    _Tessel_FtmGsmTxRsbDcSweep( Handle=" + std::to_string(handleOf(s)) +
                                   ", uiListSize=5, uiList1=11, uiList2=12, uiList3=13, uiList4=-2147483648, "
                                   "uiList5=-1 ) Sess=1 in File \"polar.c\" Line 9");
    EXPECT_EQ(lines().back(), std::string("(3A) ") + (c.status ? "E  _Tessel_FtmGsmTxRsbDcSweep() = 0xbffc19f7 (ERROR)   "
                                                               : "   _Tessel_FtmGsmTxRsbDcSweep() = 0 (SUCCESS) "));
}

INSTANTIATE_TEST_SUITE_P(Table, RsbDcSweep,
                         ::testing::Values(RsbCase{"Status0", true, 0, 0}, RsbCase{"Status1", true, 1, kLib},
                                           RsbCase{"Status300", true, 300, kLib}, RsbCase{"FalseAnswer", false, 0, kLib}),
                         [](const ::testing::TestParamInfo<RsbCase>& i) { return i.param.name; });

TEST_F(RsbDcSweep, UnconnectedSessionMakesNoCall) {
    const int s = openSession();
    EXPECT_EQ(_Tessel_FtmGsmTxRsbDcSweep(s, 1, 0, 0, 0, 0, 0, F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_TX_RSB_DC_SWEEP"), 0u);
}

} // namespace
