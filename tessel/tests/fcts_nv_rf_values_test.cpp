// RF calibration items: which caller value lands in which item. Every table
// and every value of a call is distinct, so a swapped table, offset, band
// item or rise/fall item shows as a wrong byte.
#include "TesselFctsNvFixture.h"

#include <functional>
#include <utility>

namespace {

// Sixteen caller tables of distinct bytes: table k, byte i is 7i + 13k + 1.
struct Tables {
    unsigned char t[16][128];
    Tables() {
        for (int k = 0; k < 16; ++k)
            for (int i = 0; i < 128; ++i) t[k][i] = static_cast<unsigned char>(7 * i + 13 * k + 1);
    }
};
const Tables gT;
const unsigned char* tab(int k) { return gT.t[k]; }
Bytes head(int k, int n) { return Bytes(gT.t[k], gT.t[k] + n); }
Bytes le16(int v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }

constexpr short V1 = 0x1201, V2 = 0x2302, V3 = 0x3403;

struct WriteRow {
    const char* name;
    int phoneType;  // -1: the session's type is left unknown
    std::function<int(int)> call;
    std::vector<std::pair<int, Bytes>> items;  // item and its bytes, in the order written
};
void PrintTo(const WriteRow& r, std::ostream* os) { *os << r.name; }

class RfWrites : public TesselNv, public ::testing::WithParamInterface<WriteRow> {};

TEST_P(RfWrites, EachValueGoesToItsOwnItem) {
    const WriteRow& r = GetParam();
    if (r.phoneType >= 0) ASSERT_EQ(_Tessel_SetMobModel(s_, r.phoneType, "v.c", 1), 0);
    phone().clear_journal();
    EXPECT_EQ(r.call(s_), 0);
    Accesses expected;
    for (const auto& [item, bytes] : r.items) expected.push_back({'W', item, static_cast<int>(bytes.size())});
    EXPECT_EQ(accesses(), expected);
    for (const auto& [item, bytes] : r.items) EXPECT_EQ(written(item), bytes) << "item " << item;
}

#define W(name, type, call, ...) WriteRow{name, type, [](int s) { return call; }, {__VA_ARGS__}}

INSTANTIATE_TEST_SUITE_P(
    Rows, RfWrites,
    ::testing::Values(
        W("VgaGainBand4", -1, _Tessel_NvWriteWcdmaVgaGain(s, 4, V1, tab(0), "v", 1), {856, le16(V1)}, {857, head(0, 16)}),
        W("VgaGainBand5", -1, _Tessel_NvWriteWcdmaVgaGain(s, 5, V1, tab(0), "v", 1), {1143, le16(V1)}, {1144, head(0, 16)}),
        W("VgaGainBand6", -1, _Tessel_NvWriteWcdmaVgaGain(s, 6, V1, tab(0), "v", 1), {1814, le16(V1)}, {1815, head(0, 16)}),
        W("LnaOffsetBand4", -1, _Tessel_NvWriteWcdmaLnaOffset(s, 4, V1, tab(0), V2, tab(1), V3, tab(2), "v", 1),
          {524, le16(V1)}, {525, head(0, 16)}, {865, le16(V2)}, {867, head(1, 16)}, {866, le16(V3)}, {868, head(2, 16)}),
        W("LnaOffsetBand5", -1, _Tessel_NvWriteWcdmaLnaOffset(s, 5, V1, tab(0), V2, tab(1), V3, tab(2), "v", 1),
          {1168, le16(V1)}, {1169, head(0, 16)}, {1152, le16(V2)}, {1154, head(1, 16)}, {1153, le16(V3)},
          {1155, head(2, 16)}),
        W("LnaOffsetBand6", -1, _Tessel_NvWriteWcdmaLnaOffset(s, 6, V1, tab(0), V2, tab(1), V3, tab(2), "v", 1),
          {1839, le16(V1)}, {1840, head(0, 16)}, {1823, le16(V2)}, {1825, head(1, 16)}, {1824, le16(V3)},
          {1826, head(2, 16)}),
        W("TxLinBand4", -1, _Tessel_NvWriteTxLinMaster(s, 4, tab(0), tab(1), "v", 1), {529, head(0, 74)}, {530, head(1, 74)}),
        W("TxLinBand4Type5", 5, _Tessel_NvWriteTxLinMaster(s, 4, tab(0), tab(1), "v", 1), {529, head(0, 64)},
          {2010, head(1, 64)}),
        W("TxLinBand5", -1, _Tessel_NvWriteTxLinMaster(s, 5, tab(0), tab(1), "v", 1), {1173, head(0, 74)}, {1174, head(1, 74)}),
        W("TxLinBand6", -1, _Tessel_NvWriteTxLinMaster(s, 6, tab(0), tab(1), "v", 1), {1844, head(0, 74)}, {1845, head(1, 74)}),
        W("TxVsFreqBand4", -1, _Tessel_NvWriteTxVsFreq(s, 4, tab(0), tab(1), "v", 1), {2331, head(1, 16)}, {2333, head(0, 16)}),
        W("TxVsFreqType7", 7, _Tessel_NvWriteTxVsFreq(s, 4, tab(0), tab(1), "v", 1), {531, head(1, 16)}, {2012, head(0, 16)}),
        W("TxVsFreqBias1", -1, _Tessel_NvWriteTxVsFreqSelectBias(s, 4, 1, tab(0), tab(1), "v", 1), {2331, head(1, 16)},
          {2333, head(0, 16)}),
        W("TxVsFreqBias0", -1, _Tessel_NvWriteTxVsFreqSelectBias(s, 4, 0, tab(0), tab(1), "v", 1), {2330, head(1, 16)},
          {2332, head(0, 16)}),
        W("TxLimBand4", -1, _Tessel_NvWriteWcdmaTxLimVsFreq(s, 4, tab(0), tab(1), "v", 1), {540, head(0, 32)},
          {3341, head(1, 32)}),
        W("PaGainSlope", -1, _Tessel_NvWritePaGainSlope(s, tab(0), tab(1), tab(2), tab(3), "v", 1), {802, head(0, 15)},
          {803, head(1, 16)}, {1094, head(2, 16)}, {1136, head(3, 15)}),
        W("GsmRxGainRange", -1,
          _Tessel_NvWriteGsmRxGainRange(s, tab(0), tab(1), tab(2), tab(3), tab(4), tab(5), tab(6), tab(7), tab(8), tab(9),
                                        tab(10), tab(11), tab(12), tab(13), tab(14), tab(15), "v", 1),
          {726, head(0, 16)}, {727, head(1, 16)}, {728, head(2, 16)}, {729, head(3, 16)}, {1058, head(4, 32)},
          {1059, head(5, 32)}, {1060, head(6, 32)}, {1061, head(7, 32)}, {730, head(8, 32)}, {731, head(9, 32)},
          {732, head(10, 32)}, {733, head(11, 32)}, {1102, head(12, 16)}, {1103, head(13, 16)}, {1104, head(14, 16)},
          {1105, head(15, 16)}),
        W("HdetOfsSpnBand5", -1, _Tessel_NvWriteHdetOfsAndSpn(s, 5, 0x11, 0x22, "v", 1), {1187, Bytes{0x11}},
          {1188, Bytes{0x22}}),
        W("TxCalPathRange1Band2", -1, _Tessel_NvWriteGsmTxCalPath(s, 2, 1, 0x1281, 0x3344, "v", 1), {2661, Bytes{0x81}},
          {2662, Bytes{0x44}})),
    [](const auto& info) { return std::string(info.param.name); });
#undef W

// Reads: every item answers its own bytes; the outputs, gathered in argument
// order, must be those bytes in the order the row names the items.
struct ReadRow {
    const char* name;
    std::vector<std::pair<int, int>> items;  // item and length, in argument order
    std::function<Bytes(int)> call;          // makes the call, gives the outputs' bytes
};
void PrintTo(const ReadRow& r, std::ostream* os) { *os << r.name; }

class RfReads : public TesselNv, public ::testing::WithParamInterface<ReadRow> {};

Bytes content(int item, int length) {
    Bytes b(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(item * 3 + i * 11);
    return b;
}

TEST_P(RfReads, EachOutputComesFromItsOwnItem) {
    const ReadRow& r = GetParam();
    Bytes expected;
    for (const auto& [item, length] : r.items) {
        phone().set_nv(static_cast<std::uint16_t>(item), content(item, length));
        const Bytes c = content(item, length);
        expected.insert(expected.end(), c.begin(), c.end());
    }
    EXPECT_EQ(r.call(s_), expected);
}

Bytes shorts(int status, short a, short b, short c) {
    EXPECT_EQ(status, 0);
    Bytes out = le16(a);
    for (short v : {b, c}) {
        const Bytes x = le16(v);
        out.insert(out.end(), x.begin(), x.end());
    }
    return out;
}

Bytes rise(int s, int band) {
    short a = 0, b = 0, c = 0;
    const int st = _Tessel_NvReadWcdmaLnaRangeRise(s, band, &a, &b, &c, "v", 1);
    return shorts(st, a, b, c);
}
Bytes fall(int s, int band) {
    short a = 0, b = 0, c = 0;
    const int st = _Tessel_NvReadWcdmaLnaRangeFall(s, band, &a, &b, &c, "v", 1);
    return shorts(st, a, b, c);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RfReads,
    ::testing::Values(
        ReadRow{"RiseBand4", {{519, 2}, {859, 2}, {860, 2}}, [](int s) { return rise(s, 4); }},
        ReadRow{"RiseBand5", {{1163, 2}, {1146, 2}, {1147, 2}}, [](int s) { return rise(s, 5); }},
        ReadRow{"RiseBand6", {{1834, 2}, {1817, 2}, {1818, 2}}, [](int s) { return rise(s, 6); }},
        ReadRow{"FallBand4", {{520, 2}, {861, 2}, {862, 2}}, [](int s) { return fall(s, 4); }},
        ReadRow{"FallBand5", {{1164, 2}, {1148, 2}, {1149, 2}}, [](int s) { return fall(s, 5); }},
        ReadRow{"FallBand6", {{1835, 2}, {1819, 2}, {1820, 2}}, [](int s) { return fall(s, 6); }},
        ReadRow{"FreqCompAntRel", {{2330, 16}, {2332, 16}},
                [](int s) {
                    unsigned char a[16] = {}, b[16] = {};
                    EXPECT_EQ(_Tessel_NvReadWcdmaTxFreqCompAntRel(s, 4, a, b, "v", 1), 0);
                    Bytes out(a, a + 16);
                    out.insert(out.end(), b, b + 16);
                    return out;
                }},
        ReadRow{"PaRangeThreshold", {{537, 2}, {538, 2}},
                [](int s) {
                    short r = 0, f = 0;
                    EXPECT_EQ(_Tessel_NvReadWcdmaTxPaRangeThreshold(s, 0, &r, &f, "v", 1), 0);
                    Bytes out = le16(r);
                    const Bytes x = le16(f);
                    out.insert(out.end(), x.begin(), x.end());
                    return out;
                }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
