// RF calibration items: which items each operation touches for each band,
// range and phone type, the values read, HDET by power, and the
// read-modify-write of the GSM TX calibration data.
#include "TesselFctsNvFixture.h"

#include <cstring>
#include <functional>

namespace {

using Nv = TesselNv;

unsigned char T[128];  // a caller table of any length the operations take
short s1, s2, s3;
int i1, i2;
unsigned char b1;
const unsigned char* const N = nullptr;

struct RfRow {
    const char* name;
    int phoneType;  // -1: the session's type is left unknown
    std::function<int(int)> call;
    Accesses expected;  // empty: refused with no access
};
class RfItems : public TesselNv, public ::testing::WithParamInterface<RfRow> {};

TEST_P(RfItems, TouchTheItemsOfTheRowInOrder) {
    const RfRow& r = GetParam();
    for (int i = 0; i < 128; ++i) T[i] = static_cast<unsigned char>(i);
    for (const NvAccess& a : r.expected)
        if (a.op == 'R') phone().set_nv(static_cast<std::uint16_t>(a.item), Bytes(a.length, 1));
    if (r.phoneType >= 0) {
        ASSERT_EQ(_Tessel_SetMobModel(s_, r.phoneType, "r.c", 1), 0);
    }
    phone().clear_journal();
    EXPECT_EQ(r.call(s_), r.expected.empty() ? kLib : 0);
    EXPECT_EQ(accesses(), r.expected);
    for (const NvAccess& a : r.expected)
        if (a.op == 'W' && a.length <= 74 && a.length > 2) {
            EXPECT_EQ(written(a.item), Bytes(T, T + a.length)) << a;  // tables go as they are
        }
}

#define ROW(name, type, call, ...) RfRow{name, type, [](int s) { return call; }, Accesses{__VA_ARGS__}}
constexpr char R = 'R', W = 'W';

INSTANTIATE_TEST_SUITE_P(
    Rows, RfItems,
    ::testing::Values(
        ROW("VgaGainBand4", -1, _Tessel_NvWriteWcdmaVgaGain(s, 4, 1, T, "r", 1), {W, 856, 2}, {W, 857, 16}),
        ROW("VgaGainBand5", -1, _Tessel_NvWriteWcdmaVgaGain(s, 5, 1, T, "r", 1), {W, 1143, 2}, {W, 1144, 16}),
        ROW("VgaGainBand6NoTable", -1, _Tessel_NvWriteWcdmaVgaGain(s, 6, 1, N, "r", 1), {W, 1814, 2}),
        ROW("VgaGainBand3", -1, _Tessel_NvWriteWcdmaVgaGain(s, 3, 1, T, "r", 1)),
        ROW("LnaOffsetBand4", -1, _Tessel_NvWriteWcdmaLnaOffset(s, 4, 1, T, 2, T, 3, T, "r", 1), {W, 524, 2},
            {W, 525, 16}, {W, 865, 2}, {W, 867, 16}, {W, 866, 2}, {W, 868, 16}),
        ROW("LnaOffsetBand5NullTables", -1, _Tessel_NvWriteWcdmaLnaOffset(s, 5, 1, N, 2, T, 3, N, "r", 1),
            {W, 1168, 2}, {W, 1152, 2}, {W, 1154, 16}, {W, 1153, 2}),
        ROW("LnaOffsetBand6", -1, _Tessel_NvWriteWcdmaLnaOffset(s, 6, 1, T, 2, T, 3, T, "r", 1), {W, 1839, 2},
            {W, 1840, 16}, {W, 1823, 2}, {W, 1825, 16}, {W, 1824, 2}, {W, 1826, 16}),
        ROW("LnaOffsetBand0", -1, _Tessel_NvWriteWcdmaLnaOffset(s, 0, 1, T, 2, T, 3, T, "r", 1)),
        ROW("LnaRiseBand4", -1, _Tessel_NvReadWcdmaLnaRangeRise(s, 4, &s1, &s2, &s3, "r", 1), {R, 519, 2},
            {R, 859, 2}, {R, 860, 2}),
        ROW("LnaRiseBand5", -1, _Tessel_NvReadWcdmaLnaRangeRise(s, 5, &s1, &s2, &s3, "r", 1), {R, 1163, 2},
            {R, 1146, 2}, {R, 1147, 2}),
        ROW("LnaRiseBand6", -1, _Tessel_NvReadWcdmaLnaRangeRise(s, 6, &s1, &s2, &s3, "r", 1), {R, 1834, 2},
            {R, 1817, 2}, {R, 1818, 2}),
        ROW("LnaFallBand4", -1, _Tessel_NvReadWcdmaLnaRangeFall(s, 4, &s1, &s2, &s3, "r", 1), {R, 520, 2},
            {R, 861, 2}, {R, 862, 2}),
        ROW("LnaFallBand5", -1, _Tessel_NvReadWcdmaLnaRangeFall(s, 5, &s1, &s2, &s3, "r", 1), {R, 1164, 2},
            {R, 1148, 2}, {R, 1149, 2}),
        ROW("LnaFallBand6", -1, _Tessel_NvReadWcdmaLnaRangeFall(s, 6, &s1, &s2, &s3, "r", 1), {R, 1835, 2},
            {R, 1819, 2}, {R, 1820, 2}),
        ROW("LnaFallBand7", -1, _Tessel_NvReadWcdmaLnaRangeFall(s, 7, &s1, &s2, &s3, "r", 1)),
        ROW("TxLinBand4", -1, _Tessel_NvWriteTxLinMaster(s, 4, T, T, "r", 1), {W, 529, 74}, {W, 530, 74}),
        ROW("TxLinBand4Type5", 5, _Tessel_NvWriteTxLinMaster(s, 4, T, T, "r", 1), {W, 529, 64}, {W, 2010, 64}),
        ROW("TxLinBand4Type7", 7, _Tessel_NvWriteTxLinMaster(s, 4, T, T, "r", 1), {W, 529, 64}, {W, 2010, 64}),
        ROW("TxLinBand5Type7", 7, _Tessel_NvWriteTxLinMaster(s, 5, T, T, "r", 1), {W, 1173, 74}, {W, 1174, 74}),
        ROW("TxLinBand6", -1, _Tessel_NvWriteTxLinMaster(s, 6, T, T, "r", 1), {W, 1844, 74}, {W, 1845, 74}),
        ROW("TxLinBand2", -1, _Tessel_NvWriteTxLinMaster(s, 2, T, T, "r", 1)),
        ROW("TxVsFreqBand4", -1, _Tessel_NvWriteTxVsFreq(s, 4, T, T, "r", 1), {W, 2331, 16}, {W, 2333, 16}),
        ROW("TxVsFreqBand4Type7", 7, _Tessel_NvWriteTxVsFreq(s, 4, T, T, "r", 1), {W, 531, 16}, {W, 2012, 16}),
        ROW("TxVsFreqBand5", -1, _Tessel_NvWriteTxVsFreq(s, 5, T, T, "r", 1)),
        ROW("TxVsFreqBand6", -1, _Tessel_NvWriteTxVsFreq(s, 6, T, T, "r", 1)),
        ROW("TxVsFreqBias1", -1, _Tessel_NvWriteTxVsFreqSelectBias(s, 4, 1, T, T, "r", 1), {W, 2331, 16},
            {W, 2333, 16}),
        ROW("TxVsFreqBias0", -1, _Tessel_NvWriteTxVsFreqSelectBias(s, 4, 0, T, T, "r", 1), {W, 2330, 16},
            {W, 2332, 16}),
        ROW("TxVsFreqBias2", -1, _Tessel_NvWriteTxVsFreqSelectBias(s, 4, 2, T, T, "r", 1)),
        ROW("TxVsFreqBiasBand5", -1, _Tessel_NvWriteTxVsFreqSelectBias(s, 5, 1, T, T, "r", 1)),
        ROW("FreqCompAntRelBand4", -1, _Tessel_NvReadWcdmaTxFreqCompAntRel(s, 4, T, T + 16, "r", 1),
            {R, 2330, 16}, {R, 2332, 16}),
        ROW("FreqCompAntRelBand5", -1, _Tessel_NvReadWcdmaTxFreqCompAntRel(s, 5, T, T + 16, "r", 1)),
        ROW("TxLimBand4", -1, _Tessel_NvWriteWcdmaTxLimVsFreq(s, 4, T, T, "r", 1), {W, 540, 32}, {W, 3341, 32}),
        ROW("TxLimBand4Type7", 7, _Tessel_NvWriteWcdmaTxLimVsFreq(s, 4, T, T, "r", 1), {W, 540, 32}),
        ROW("TxLimBand6", -1, _Tessel_NvWriteWcdmaTxLimVsFreq(s, 6, T, T, "r", 1)),
        ROW("PaGainSlopeAll", -1, _Tessel_NvWritePaGainSlope(s, T, T, T, T, "r", 1), {W, 802, 15}, {W, 803, 16},
            {W, 1094, 16}, {W, 1136, 15}),
        ROW("PaGainSlopeSome", -1, _Tessel_NvWritePaGainSlope(s, N, T, N, T, "r", 1), {W, 803, 16}, {W, 1136, 15}),
        ROW("HdetVsAgcBand4", -1, _Tessel_NvWriteHdetVsAgc(s, 4, T, "r", 1), {W, 542, 16}),
        ROW("HdetVsAgcBand5", -1, _Tessel_NvWriteHdetVsAgc(s, 5, T, "r", 1), {W, 1186, 16}),
        ROW("HdetVsAgcBand6", -1, _Tessel_NvWriteHdetVsAgc(s, 6, T, "r", 1), {W, 1866, 16}),
        ROW("HdetVsAgcBand0", -1, _Tessel_NvWriteHdetVsAgc(s, 0, T, "r", 1)),
        ROW("HdetForPowerBand5", -1, _Tessel_NvReadHdetForPower(s, 5, 10.0f, &b1, "r", 1), {R, 1186, 16}),
        ROW("HdetForPowerBand6", -1, _Tessel_NvReadHdetForPower(s, 6, 10.0f, &b1, "r", 1), {R, 1866, 16}),
        ROW("HdetForPowerBand3", -1, _Tessel_NvReadHdetForPower(s, 3, 10.0f, &b1, "r", 1)),
        ROW("HdetOfsSpnBand4", -1, _Tessel_NvWriteHdetOfsAndSpn(s, 4, 1, 2, "r", 1), {W, 543, 1}, {W, 544, 1}),
        ROW("HdetOfsSpnBand5", -1, _Tessel_NvWriteHdetOfsAndSpn(s, 5, 1, 2, "r", 1), {W, 1187, 1}, {W, 1188, 1}),
        ROW("HdetOfsSpnBand6", -1, _Tessel_NvWriteHdetOfsAndSpn(s, 6, 1, 2, "r", 1), {W, 1867, 1}, {W, 1868, 1}),
        ROW("TxCalChan", -1, _Tessel_NvReadWcdmaTxCalChan(s, T, "r", 1), {R, 1971, 32}),
        ROW("TxPdmLinRange0", -1, _Tessel_NvReadWcdmaTxPdmLin(s, 0, T, "r", 1), {R, 3969, 64}),
        ROW("TxPdmLinRange3", -1, _Tessel_NvReadWcdmaTxPdmLin(s, 3, T, "r", 1), {R, 3972, 64}),
        ROW("TxPdmLinRange1", -1, _Tessel_NvReadWcdmaTxPdmLin(s, 1, T, "r", 1)),
        ROW("PaRangeThreshold0", -1, _Tessel_NvReadWcdmaTxPaRangeThreshold(s, 0, &s1, &s2, "r", 1), {R, 537, 2},
            {R, 538, 2}),
        ROW("PaRangeThreshold1", -1, _Tessel_NvReadWcdmaTxPaRangeThreshold(s, 1, &s1, &s2, "r", 1)),
        ROW("GsmRxRelOffsets", -1, _Tessel_NvReadGsmRxRelOffsets(s, T, "r", 1), {R, 2499, 128}),
        ROW("GsmRxGainRangeAll", -1,
            _Tessel_NvWriteGsmRxGainRange(s, T, T, T, T, T, T, T, T, T, T, T, T, T, T, T, T, "r", 1), {W, 726, 16},
            {W, 727, 16}, {W, 728, 16}, {W, 729, 16}, {W, 1058, 32}, {W, 1059, 32}, {W, 1060, 32}, {W, 1061, 32},
            {W, 730, 32}, {W, 731, 32}, {W, 732, 32}, {W, 733, 32}, {W, 1102, 16}, {W, 1103, 16}, {W, 1104, 16},
            {W, 1105, 16}),
        ROW("GsmRxGainRangeSome", -1,
            _Tessel_NvWriteGsmRxGainRange(s, N, T, N, N, N, N, N, T, N, N, N, N, N, N, N, T, "r", 1), {W, 727, 16},
            {W, 1061, 32}, {W, 1105, 16}),
        ROW("Im2Band2", -1, _Tessel_NvWriteGsmIm2CalData(s, 2, TESSEL_GsmIm2CalData{}, "r", 1), {W, 4176, 128}),
        ROW("Im2Band3", -1, _Tessel_NvWriteGsmIm2CalData(s, 3, TESSEL_GsmIm2CalData{}, "r", 1), {W, 4177, 128}),
        ROW("Im2Band1", -1, _Tessel_NvWriteGsmIm2CalData(s, 1, TESSEL_GsmIm2CalData{}, "r", 1)),
        ROW("TxRsbBand2", -1, _Tessel_NvWriteGsmTxRsbCalData(s, 2, T, "r", 1), {W, 4180, 2}),
        ROW("TxRsbBand3", -1, _Tessel_NvWriteGsmTxRsbCalData(s, 3, T, "r", 1), {W, 4182, 2}),
        ROW("TxRsbBand1", -1, _Tessel_NvWriteGsmTxRsbCalData(s, 1, T, "r", 1)),
        ROW("OpllBand0", -1, _Tessel_NvWriteOpllBandwidthValue(s, 0, 9, "r", 1), {W, 2776, 1}),
        ROW("OpllBand1", -1, _Tessel_NvWriteOpllBandwidthValue(s, 1, 9, "r", 1), {W, 2774, 1}),
        ROW("OpllBand2", -1, _Tessel_NvWriteOpllBandwidthValue(s, 2, 9, "r", 1), {W, 2775, 1}),
        ROW("OpllBand3", -1, _Tessel_NvWriteOpllBandwidthValue(s, 3, 9, "r", 1), {W, 2777, 1}),
        ROW("OpllBand4", -1, _Tessel_NvWriteOpllBandwidthValue(s, 4, 9, "r", 1)),
        ROW("PathDelayBand0", -1, _Tessel_NvWriteGsmPathDelay(s, 0, 9, "r", 1), {W, 2772, 2}),
        ROW("PathDelayBand1", -1, _Tessel_NvWriteGsmPathDelay(s, 1, 9, "r", 1), {W, 2770, 2}),
        ROW("PathDelayBand2", -1, _Tessel_NvWriteGsmPathDelay(s, 2, 9, "r", 1), {W, 2771, 2}),
        ROW("PathDelayBand3", -1, _Tessel_NvWriteGsmPathDelay(s, 3, 9, "r", 1), {W, 2773, 2}),
        ROW("PathDelayBand5", -1, _Tessel_NvWriteGsmPathDelay(s, 5, 9, "r", 1)),
        ROW("TxCalPathRange0Band0", -1, _Tessel_NvWriteGsmTxCalPath(s, 0, 0, 1, 2, "r", 1), {W, 2651, 1},
            {W, 2652, 1}),
        ROW("TxCalPathRange0Band1", -1, _Tessel_NvWriteGsmTxCalPath(s, 1, 0, 1, 2, "r", 1), {W, 2649, 1},
            {W, 2650, 1}),
        ROW("TxCalPathRange0Band2", -1, _Tessel_NvWriteGsmTxCalPath(s, 2, 0, 1, 2, "r", 1), {W, 2653, 1},
            {W, 2654, 1}),
        ROW("TxCalPathRange0Band3", -1, _Tessel_NvWriteGsmTxCalPath(s, 3, 0, 1, 2, "r", 1), {W, 2655, 1},
            {W, 2656, 1}),
        ROW("TxCalPathRange1Band0", -1, _Tessel_NvWriteGsmTxCalPath(s, 0, 1, 1, 2, "r", 1), {W, 2659, 1},
            {W, 2660, 1}),
        ROW("TxCalPathRange1Band1", -1, _Tessel_NvWriteGsmTxCalPath(s, 1, 1, 1, 2, "r", 1), {W, 2657, 1},
            {W, 2658, 1}),
        ROW("TxCalPathRange1Band2", -1, _Tessel_NvWriteGsmTxCalPath(s, 2, 1, 1, 2, "r", 1), {W, 2661, 1},
            {W, 2662, 1}),
        ROW("TxCalPathRange1Band3", -1, _Tessel_NvWriteGsmTxCalPath(s, 3, 1, 1, 2, "r", 1), {W, 2663, 1},
            {W, 2664, 1}),
        ROW("TxCalPathRange2", -1, _Tessel_NvWriteGsmTxCalPath(s, 0, 2, 1, 2, "r", 1)),
        ROW("TxCalPathBand4", -1, _Tessel_NvWriteGsmTxCalPath(s, 4, 0, 1, 2, "r", 1)),
        ROW("AmamBand0", -1, _Tessel_NvReadAMAMDynamicRange(s, 0, &i1, &i2, "r", 1), {R, 2747, 8}),
        ROW("AmamBand1", -1, _Tessel_NvReadAMAMDynamicRange(s, 1, &i1, &i2, "r", 1), {R, 2743, 8}),
        ROW("AmamBand2", -1, _Tessel_NvReadAMAMDynamicRange(s, 2, &i1, &i2, "r", 1), {R, 2745, 8}),
        ROW("AmamBand3", -1, _Tessel_NvReadAMAMDynamicRange(s, 3, &i1, &i2, "r", 1), {R, 2749, 8}),
        ROW("AmamBand4", -1, _Tessel_NvReadAMAMDynamicRange(s, 4, &i1, &i2, "r", 1))),
    [](const auto& info) { return std::string(info.param.name); });
#undef ROW

// --- values --------------------------------------------------------------------------------

TEST_F(Nv, SmallValuesAreWrittenLowByteFirst) {
    EXPECT_EQ(_Tessel_NvWriteWcdmaVgaGain(s_, 4, -2, nullptr, "r.c", 1), 0);
    EXPECT_EQ(written(856), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ(_Tessel_NvWriteGsmPathDelay(s_, 0, 0x1234, "r.c", 1), 0);
    EXPECT_EQ(written(2772), (Bytes{0x34, 0x12}));
    EXPECT_EQ(_Tessel_NvWriteGsmTxCalPath(s_, 0, 0, 0x1281, -1, "r.c", 1), 0);  // low bytes only
    EXPECT_EQ(written(2651), Bytes{0x81});
    EXPECT_EQ(written(2652), Bytes{0xFF});
    EXPECT_EQ(_Tessel_NvWriteHdetOfsAndSpn(s_, 4, 7, 200, "r.c", 1), 0);
    EXPECT_EQ(written(543), Bytes{7});
    EXPECT_EQ(written(544), Bytes{200});
}

TEST_F(Nv, RangeValuesAreReadLowByteFirst) {
    phone().set_nv(519, {0x01, 0x80});
    phone().set_nv(859, {0xFF, 0xFF});
    phone().set_nv(860, {0x10, 0x00});
    short r1 = 0, r2 = 0, r3 = 0;
    EXPECT_EQ(_Tessel_NvReadWcdmaLnaRangeRise(s_, 4, &r1, &r2, &r3, "r.c", 1), 0);
    EXPECT_EQ(r1, static_cast<short>(0x8001));
    EXPECT_EQ(r2, -1);
    EXPECT_EQ(r3, 16);
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_NvReadWcdmaLnaRangeRise( *piRise1=-32767, *piRise2=-1, *piRise3=16 ) = 0 (SUCCESS) ");
}

TEST_F(Nv, AFailedReadInTheMiddleLeavesItsOutputAndReadsTheRest) {
    phone().set_nv(519, {1, 0});
    phone().set_nv(859, {2, 0}, 5);
    phone().set_nv(860, {3, 0});
    short r1 = 0, r2 = 77, r3 = 0;
    EXPECT_EQ(_Tessel_NvReadWcdmaLnaRangeRise(s_, 4, &r1, &r2, &r3, "r.c", 1), kLib);
    EXPECT_EQ(accesses().size(), 3u);
    EXPECT_EQ(r1, 1);
    EXPECT_EQ(r2, 77);
    EXPECT_EQ(r3, 3);
}

TEST_F(Nv, AFailedWriteInTheMiddleStillWritesTheRest) {
    phone().set_nv(865, {}, 4);
    unsigned char t[16] = {};
    EXPECT_EQ(_Tessel_NvWriteWcdmaLnaOffset(s_, 4, 1, t, 2, t, 3, t, "r.c", 1), kLib);
    EXPECT_EQ(accesses().size(), 6u);
    EXPECT_EQ(phone().nv.at(868).data, Bytes(16));
}

TEST_F(Nv, AmamOutputsAreWrittenAlways) {
    phone().set_nv(2747, {0x10, 0x27, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF});
    int mx = 5, mn = 5;
    EXPECT_EQ(_Tessel_NvReadAMAMDynamicRange(s_, 0, &mx, &mn, "r.c", 1), 0);
    EXPECT_EQ(mx, 10000);
    EXPECT_EQ(mn, -10);
    mx = mn = 5;
    EXPECT_EQ(_Tessel_NvReadAMAMDynamicRange(s_, 9, &mx, &mn, "r.c", 1), kLib);
    EXPECT_EQ(mx, 0);
    EXPECT_EQ(mn, 0);
    mx = mn = 5;
    EXPECT_EQ(_Tessel_NvReadAMAMDynamicRange(s_, 1, &mx, &mn, "r.c", 1), kLib);  // never written
    EXPECT_EQ(mx, 0);
    EXPECT_EQ(mn, 0);
}

TEST_F(Nv, ReadBuffersAreFilledOnlyFromAGoodRead) {
    phone().set_nv(2499, Bytes(128, 0x11), 5);
    unsigned char buf[128];
    std::memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(_Tessel_NvReadGsmRxRelOffsets(s_, buf, "r.c", 1), kLib);
    EXPECT_EQ(Bytes(buf, buf + 128), Bytes(128, 0xEE));
    phone().set_nv(2499, Bytes(128, 0x11));
    EXPECT_EQ(_Tessel_NvReadGsmRxRelOffsets(s_, buf, "r.c", 1), 0);
    EXPECT_EQ(Bytes(buf, buf + 128), Bytes(128, 0x11));
}

// --- GSM records -------------------------------------------------------------------------------

TEST_F(Nv, GsmTxCalDataReplacesTheStartOfTheItem) {
    Bytes item(128);
    for (int i = 0; i < 128; ++i) item[i] = static_cast<std::uint8_t>(0x80 + i);
    phone().set_nv(2500, item);
    TESSEL_GsmTxCalData rec;
    std::memset(rec.aBytes, 0x5A, sizeof rec.aBytes);
    EXPECT_EQ(_Tessel_NvWriteGsmTxCalData(s_, rec, "g.c", 1), 0);
    EXPECT_EQ(accesses(), (Accesses{{'R', 2500, 128}, {'W', 2500, 128}}));
    Bytes expected = item;
    std::fill(expected.begin(), expected.begin() + 58, 0x5A);
    EXPECT_EQ(written(2500), expected);
}

TEST_F(Nv, GsmTxCalDataWritesNothingAfterAFailedRead) {
    TESSEL_GsmTxCalData rec{};
    EXPECT_EQ(_Tessel_NvWriteGsmTxCalData(s_, rec, "g.c", 1), kLib);  // never written
    EXPECT_EQ(accesses(), (Accesses{{'R', 2500, 128}}));
}

TEST_F(Nv, GsmIm2RecordIsFollowedByZeros) {
    phone().set_nv(4176, Bytes(128, 0xEE));
    TESSEL_GsmIm2CalData rec;
    for (int i = 0; i < 14; ++i) rec.aBytes[i] = static_cast<unsigned char>(i + 1);
    EXPECT_EQ(_Tessel_NvWriteGsmIm2CalData(s_, 2, rec, "g.c", 1), 0);
    Bytes expected(128);
    for (int i = 0; i < 14; ++i) expected[i] = static_cast<std::uint8_t>(i + 1);
    EXPECT_EQ(written(4176), expected);
    EXPECT_EQ(accesses(), (Accesses{{'W', 4176, 128}}));  // no read first
}

// --- HDET for a power -----------------------------------------------------------------------------

struct HdetRow {
    const char* name;
    float power;
    int status;  // 0, PARAMETER2
    int index;   // the table byte given, when 0
};
class HdetForPower : public TesselNv, public ::testing::WithParamInterface<HdetRow> {};

TEST_P(HdetForPower, IndexOfThePower) {
    const HdetRow& r = GetParam();
    Bytes table(16);
    for (int i = 0; i < 16; ++i) table[i] = static_cast<std::uint8_t>(100 + i);
    phone().set_nv(542, table);
    unsigned char hdet = 0xEE;
    EXPECT_EQ(_Tessel_NvReadHdetForPower(s_, 4, r.power, &hdet, "h.c", 1), r.status);
    if (r.status == 0) {
        EXPECT_EQ(hdet, 100 + r.index);
        EXPECT_EQ(lines().back(), "(3A)    _Tessel_NvReadHdetForPower( iArrayIndex=" + std::to_string(r.index) +
                                      ", *pbHdet=" + std::to_string(100 + r.index) + " ) = 0 (SUCCESS) ");
    } else {
        EXPECT_EQ(hdet, 0);
        EXPECT_TRUE(accesses().empty());
    }
}
INSTANTIATE_TEST_SUITE_P(Powers, HdetForPower,
                         ::testing::Values(HdetRow{"BelowRange", 6.74f, TESSEL_ERROR_PARAMETER2, 0},
                                           HdetRow{"Lowest", 6.75f, 0, 0}, HdetRow{"RoundsDown", 7.4f, 0, 0},
                                           HdetRow{"RoundsUp", 7.5f, 0, 1}, HdetRow{"Middle", 16.0f, 0, 7},
                                           HdetRow{"NearTop", 26.6f, 0, 15}, HdetRow{"Highest", 26.67f, 0, 15},
                                           HdetRow{"AboveRange", 26.68f, TESSEL_ERROR_PARAMETER2, 0},
                                           HdetRow{"Negative", -10.0f, TESSEL_ERROR_PARAMETER2, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Nv, HdetFailedReadLeavesZeroAndTheCallLineShowsThePower) {
    unsigned char hdet = 0xEE;
    EXPECT_EQ(_Tessel_NvReadHdetForPower(s_, 4, 10.0f, &hdet, "h.c", 1), kLib);  // never written
    EXPECT_EQ(hdet, 0);
    EXPECT_TRUE(hasLine("_Tessel_NvReadHdetForPower( Handle=" + std::to_string(handleOf(s_)) +
                        ", eNvBand=4, dPower=10.0 ) Sess=1"));
}

TEST_F(Nv, TablesAreTracedUnderTheirItemNames) {
    unsigned char t[16] = {0xAB};
    EXPECT_EQ(_Tessel_NvWriteWcdmaVgaGain(s_, 4, 0, t, "r.c", 1), 0);
    EXPECT_TRUE(hasLine("NV_WCDMA_VGA_GAIN_OFFSET_VS_FREQ_I={ AB 00"));
    EXPECT_EQ(_Tessel_NvWriteHdetVsAgc(s_, 5, t, "r.c", 1), 0);
    EXPECT_TRUE(hasLine("NV_WCDMA_EXP_HDET_VS_AGC={ AB 00"));
}

} // namespace
