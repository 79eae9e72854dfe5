// Receive adjustment and the calibration items: the step tables and the
// band, null-pointer, partial-read and batch-queue cases.
#include "procedures_rf_steps.h"
#include "qmsl_nv_batch_sim.h"

#include <array>
#include <cstring>
#include <map>
#include <set>

namespace {

const std::string kNvWrite = "QLIB_DIAG_NV_WRITE_F";
const std::string kNvRead = "QLIB_DIAG_NV_READ_F";

std::vector<std::string> times(std::size_t n, const std::string& fn) { return std::vector<std::string>(n, fn); }
std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> r;
    for (const auto& p : parts) r.insert(r.end(), p.begin(), p.end());
    return r;
}

// Calibration data the tests pass: 32 bytes per range, 16 per frequency.
struct CalibrationData {
    std::array<std::array<unsigned char, 32>, 16> ranges{};
    std::array<unsigned char, 16> vsFreq{};
    CalibrationData() {
        for (std::size_t i = 0; i < ranges.size(); ++i) ranges[i].fill(static_cast<unsigned char>('A' + i));
        vsFreq.fill('v');
    }
    const unsigned char* r(std::size_t i) const { return ranges[i].data(); }
};

unsigned char writeAdjustment(QmslHandle h, const CalibrationData& d, unsigned char batch, unsigned char lnaBand,
                              const unsigned char* vs, unsigned short vgaBand) {
    return KAVOR_Write_RX_Adjustment_Values(h, batch, d.r(0), d.r(1), d.r(2), d.r(3), d.r(4), d.r(5), d.r(6), d.r(7),
                                            d.r(8), d.r(9), d.r(10), d.r(11), d.r(12), d.r(13), d.r(14), d.r(15),
                                            lnaBand, 0x0102, vs, 0x0304, vs, 0x0506, vs, vgaBand, 0x0708, vs);
}

unsigned char wcdmaAdjust(QmslHandle h, unsigned short vgaBand, unsigned short fallBand, short (&fall)[3],
                          short (&rise)[3]) {
    static const unsigned char item[2] = {9, 9};
    static const unsigned char vs[16] = {'w'};
    short dvga = 0, lna = 0;
    unsigned short st1 = 0, st2 = 0;
    unsigned char data2[2] = {};
    return KAVOR_RX_WCDMA_Adjust(h, 2, -500, &dvga, kFreeItem, item, 2, &st1, vgaBand, 0x0A0B, vs, fallBand, &fall[0],
                                 &fall[1], &fall[2], kFreeItem, data2, 2, &st2, 4, &rise[0], &rise[1], &rise[2], 1,
                                 -400, &lna);
}

const StepsCase kRxCases[] = {
    {"GsmAdjust",
     [](QmslHandle h) {
         unsigned char offsets[128];
         unsigned short rssi = 0;
         return KAVOR_RX_GSM_Adjust(h, offsets, 11, 62, 1, 2, 3, &rssi);
     },
     {kNvRead, "QLIB_FTM_SET_TX_OFF", "QLIB_FTM_SET_MODE", "QLIB_FTM_SET_CHAN", "QLIB_FTM_SET_RX_BURST",
      "QLIB_FTM_SET_LNA_RANGE", "QLIB_FTM_GET_RSSI"}},
    {"WcdmaAdjust",
     [](QmslHandle h) {
         short fall[3], rise[3];
         return wcdmaAdjust(h, 4, 4, fall, rise);
     },
     join({{"QLIB_FTM_SET_TX_OFF", "QLIB_FTM_SET_LNA_RANGE", "QLIB_FTM_GET_DVGA_OFFSET", kNvWrite},
           times(2, kNvWrite),
           times(3, kNvRead),
           {kNvRead},
           times(3, kNvRead),
           {"QLIB_FTM_GET_LNA_OFFSET"}})},
    {"WriteAdjustmentInBatch",
     [](QmslHandle h) {
         CalibrationData d;
         return writeAdjustment(h, d, 1, 5, d.vsFreq.data(), 6);
     },
     join({{"QLIB_DIAG_NV_WRITE_SetBatchMode"}, times(16 + 6 + 2, kNvWrite), {"QLIB_DIAG_NV_WRITE_FlushBatchQueue"}}),
     1,
     {"QLIB_DIAG_NV_WRITE_SetBatchMode"}},
    {"WriteAdjustmentWithoutBatch",
     [](QmslHandle h) {
         CalibrationData d;
         return writeAdjustment(h, d, 0, 4, nullptr, 4);
     },
     join({{"QLIB_DIAG_NV_WRITE_SetBatchMode"}, times(16 + 3 + 1, kNvWrite), {"QLIB_DIAG_NV_WRITE_FlushBatchQueue"}})},
};

INSTANTIATE_TEST_SUITE_P(RxAdjustment, ProcedureSteps, ::testing::ValuesIn(kRxCases), STEPS_CASE_NAME);

using RxAdjustment = RfProcedureTest;

TEST_F(RxAdjustment, GsmAdjustLogsEachStepWithItsArguments) {
    unsigned char offsets[128];
    unsigned short rssi = 0;
    phone().set_outputs("QLIB_FTM_GET_RSSI", {1234});
    EXPECT_EQ(KAVOR_RX_GSM_Adjust(h, offsets, 11, 62, 'S', -2, 'L', &rssi), 1);
    EXPECT_EQ(rssi, 1234);
    EXPECT_EQ(std::vector<std::uint8_t>(offsets, offsets + 128), phone().nv[2499].data);
    const std::vector<std::string> lines = log();
    const std::vector<std::string> steps(lines.end() - 12, lines.end());
    const std::string done = " - Completed successfully\n";
    EXPECT_EQ(lines.at(0), "\t\tKAVOR_NV_READ_GSM_RX_REL_OFFSETS() start");
    EXPECT_EQ(lines.at(lines.size() - 13), "\tKAVOR_NV_READ_GSM_RX_REL_OFFSETS(iItemID = 2499, cBin3 = " +
                                               std::string(128, 'o') + ", iLength = 128)" + done);
    EXPECT_EQ(steps,
              (std::vector<std::string>{
                  "\t\tQLIB_FTM_SET_TX_OFF() start", "\tQLIB_FTM_SET_TX_OFF()" + done, "\t\tQLIB_FTM_SET_MODE() start",
                  "\tQLIB_FTM_SET_MODE(eNewMode = 11)" + done, "\t\tQLIB_FTM_SET_CHAN() start",
                  "\tQLIB_FTM_SET_CHAN(iChannel = 62)" + done, "\t\tQLIB_FTM_SET_RX_BURST() start",
                  "\tQLIB_FTM_SET_RX_BURST(iSlotNum = S, iRxFunction = 65534)" + done,  // masked to 16 bits
                  "\t\tQLIB_FTM_SET_LNA_RANGE() start", "\tQLIB_FTM_SET_LNA_RANGE(iLNArange = L)" + done,
                  "\t\tQLIB_FTM_GET_RSSI() start", "\tQLIB_FTM_GET_RSSI()" + done}));
    EXPECT_EQ(phone().calls("QLIB_FTM_SET_RX_BURST").at(0).args, (std::vector<long long>{'S', -2}));
}

TEST_F(RxAdjustment, WcdmaAdjustHandsBackWhatThePhoneGave) {
    phone().set_outputs("QLIB_FTM_GET_DVGA_OFFSET", {-77});
    phone().set_outputs("QLIB_FTM_GET_LNA_OFFSET", {-55});
    phone().set_nv(861, {0xFE, 0xFF});
    static const unsigned char item[2] = {'n', 'v'};
    static const unsigned char vs[16] = {'q', 'r'};
    short dvga = 0, lna = 0, fall[3] = {}, rise[3] = {};
    unsigned short st1 = 9, st2 = 9;
    unsigned char data2[2] = {};
    phone().set_nv(kFreeItem, {0xAB, 0xCD}, 6); // the direct read's status goes back unexamined
    EXPECT_EQ(
        KAVOR_RX_WCDMA_Adjust(h, 2, -500, &dvga, 4001, item, 2, &st1, 4, 0x0A0B, vs, 4, &fall[0], &fall[1], &fall[2],
                              kFreeItem, data2, 2, &st2, 4, &rise[0], &rise[1], &rise[2], 1, -400, &lna),
        1);
    EXPECT_EQ(dvga, -77);
    EXPECT_EQ(lna, -55);
    EXPECT_EQ(st1, 0);
    EXPECT_EQ(st2, 6);
    EXPECT_EQ(fall[0], 0x1234);
    EXPECT_EQ(fall[1], -2);
    EXPECT_EQ(rise[2], 0x1234);
    EXPECT_EQ(phone().nv[4001].data, (std::vector<std::uint8_t>{'n', 'v'}));
    EXPECT_EQ(phone().nv[856].data, (std::vector<std::uint8_t>{0x0B, 0x0A}));
    EXPECT_EQ(phone().nv[857].data.size(), 16u);
    EXPECT_TRUE(
        logged("\tQLIB_DIAG_NV_WRITE_F(iItemID = 4001, pItemData = nv, iLength = 2) - Completed successfully\n"));
    EXPECT_TRUE(
        logged("\tKAVOR_NV_WRITE_WCDMA_VGA_GAIN(eNvBand = 4, iOffset = 2571, piVsFreq = q) - Completed "
               "successfully\n"));
    // Signed 16-bit values, given and returned, show masked to 16 bits.
    EXPECT_TRUE(logged("\tQLIB_FTM_GET_DVGA_OFFSET(iExpectedRX_AGC = 65036) - Completed successfully\n"));
    EXPECT_TRUE(
        logged("\tKAVOR_NV_READ_WCDMA_LNA_RANGE_FALL(eNvBand = 4, piFall1 = 4660, piFall2 = 65534, piFall3 = "
               "4660) - Completed successfully\n"));
    EXPECT_TRUE(
        logged("\tQLIB_DIAG_NV_READ_F(iItemID = 4000, pItemData = <ptr>, iLength = 2) - Completed "
               "successfully\n"));
    EXPECT_TRUE(
        logged("\tQLIB_FTM_GET_LNA_OFFSET(iLNAindex = 1 , iExpectedRX_AGC = 65136, piLNAoffsetValue = 65481) - "
               "Completed successfully\n"));
}

TEST_F(RxAdjustment, WcdmaAdjustShowsANegativeVgaOffsetMasked) {
    static const unsigned char item[2] = {'n', 'v'};
    static const unsigned char vs[16] = {'q'};
    short dvga = 0, lna = 0, fall[3] = {}, rise[3] = {};
    unsigned short st1 = 0, st2 = 0;
    unsigned char data2[2] = {};
    EXPECT_EQ(KAVOR_RX_WCDMA_Adjust(h, 2, 0, &dvga, kFreeItem, item, 2, &st1, 4, -2, vs, 4, &fall[0], &fall[1],
                                    &fall[2], kFreeItem, data2, 2, &st2, 4, &rise[0], &rise[1], &rise[2], 1, 0, &lna),
              1);
    EXPECT_EQ(phone().nv[856].data, (std::vector<std::uint8_t>{0xFE, 0xFF}));
    EXPECT_TRUE(logged("\tKAVOR_NV_WRITE_WCDMA_VGA_GAIN(eNvBand = 4, iOffset = 65534, piVsFreq = q) - Completed "
                       "successfully\n"));
}

TEST_F(RxAdjustment, WriteShowsNegativeOffsetsMasked) {
    CalibrationData d;
    EXPECT_EQ(KAVOR_Write_RX_Adjustment_Values(h, 0, d.r(0), d.r(1), d.r(2), d.r(3), d.r(4), d.r(5), d.r(6), d.r(7),
                                               d.r(8), d.r(9), d.r(10), d.r(11), d.r(12), d.r(13), d.r(14), d.r(15), 4,
                                               -1, nullptr, -2, nullptr, -400, nullptr, 4, -3, nullptr),
              1);
    EXPECT_TRUE(logged("\tKAVOR_NV_WRITE_WCDMA_LNA_OFFSET(eNvBand = \x04, iOffset1 = 65535, piVsFreq1 = , "
                       "iOffset2 = 65534, piVsFreq2 = , iOffset3 = 65136, piVsFreq3 = ) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKAVOR_NV_WRITE_WCDMA_VGA_GAIN(eNvBand = 4, iOffset = 65533, piVsFreq = ) - Completed "
                       "successfully\n"));
}

TEST_F(RxAdjustment, VgaGainWithoutValuesPerFrequencyWritesOnlyTheOffset) {
    EXPECT_EQ(KAVOR_NV_WRITE_WCDMA_VGA_GAIN(h, 5, 0x4142, nullptr), 1);
    EXPECT_EQ(vendorCalls(), std::vector<std::string>{kNvWrite});
    EXPECT_EQ(phone().nv[1143].data, (std::vector<std::uint8_t>{0x42, 0x41}));
    EXPECT_EQ(phone().nv.count(1144), 0u);
    EXPECT_EQ(log().back(),
              "\tKAVOR_DIAG_NV_WRITE_F(iItemID = 1143, pItemData = BA, iLength = 2) - Completed "
              "successfully\n");
}

TEST_F(RxAdjustment, VgaGainWithValuesPerFrequencyWritesBothItems) {
    const unsigned char vs[16] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p'};
    EXPECT_EQ(KAVOR_NV_WRITE_WCDMA_VGA_GAIN(h, 6, 1, vs), 1);
    EXPECT_EQ(phone().nv[1815].data, std::vector<std::uint8_t>(vs, vs + 16));
    EXPECT_EQ(log().back(),
              "\tKAVOR_DIAG_NV_WRITE_F(iItemID = 1815, pItemData = abcdefghijklmnop, iLength = 16) - "
              "Completed successfully\n");
}

struct BandCase {
    const char* name;
    std::function<unsigned char(QmslHandle)> run;
};
void PrintTo(const BandCase& c, std::ostream* os) { *os << c.name; }
class UnknownBand : public RfProcedureTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(UnknownBand, FailsWithoutNvAccessOrLine) {
    EXPECT_EQ(GetParam().run(h), 0);
    EXPECT_EQ(vendorCalls(), std::vector<std::string>{});
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Band7, UnknownBand,
    ::testing::Values(BandCase{"VgaGain", [](QmslHandle h) { return KAVOR_NV_WRITE_WCDMA_VGA_GAIN(h, 7, 1, nullptr); }},
                      BandCase{"LnaRangeFall",
                               [](QmslHandle h) {
                                   short a, b, c;
                                   return KAVOR_NV_READ_WCDMA_LNA_RANGE_FALL(h, 7, &a, &b, &c);
                               }},
                      BandCase{"LnaRangeRise",
                               [](QmslHandle h) {
                                   short a, b, c;
                                   return KAVOR_NV_READ_WCDMA_LNA_RANGE_RISE(h, 7, &a, &b, &c);
                               }},
                      BandCase{"LnaOffset",
                               [](QmslHandle h) {
                                   return KAVOR_NV_WRITE_WCDMA_LNA_OFFSET(h, 7, 1, nullptr, 2, nullptr, 3, nullptr);
                               }}),
    STEPS_CASE_NAME);

TEST_F(RxAdjustment, LnaRangeReadStopsAtTheItemThatFails) {
    phone().set_nv(861, {0, 0}, 4);
    short fall[3] = {-1, -1, -1};
    EXPECT_EQ(KAVOR_NV_READ_WCDMA_LNA_RANGE_FALL(h, 4, &fall[0], &fall[1], &fall[2]), 0);
    EXPECT_EQ(fall[0], 0x1234);
    EXPECT_EQ(fall[2], -1);
    EXPECT_EQ(phone().count(kNvRead), 2u);
    // The line shows what the caller's value holds after the failed read.
    EXPECT_EQ(log().back(),
              "\tKAVOR_NV_READ_GSM_RX_REL_OFFSETS(iItemID = 861, cBin3 = \xFF\xFF, iLength = 2) - Failure\n");
    EXPECT_EQ(countLogged("\t\tKAVOR_NV_READ_GSM_RX_REL_OFFSETS() start"), 2u);
}

TEST_F(RxAdjustment, LnaRangeRiseReadsTheBandsRiseItems) {
    phone().set_nv(1163, {1, 0});
    phone().set_nv(1146, {2, 0});
    phone().set_nv(1147, {3, 0});
    short rise[3] = {};
    EXPECT_EQ(KAVOR_NV_READ_WCDMA_LNA_RANGE_RISE(h, 5, &rise[0], &rise[1], &rise[2]), 1);
    EXPECT_EQ(rise[0] * 100 + rise[1] * 10 + rise[2], 123);
    std::vector<long long> items;
    for (const auto& e : phone().calls(kNvRead)) items.push_back(e.args[0]);
    EXPECT_EQ(items, (std::vector<long long>{1163, 1146, 1147}));
}

TEST_F(RxAdjustment, LnaOffsetLeavesOutMissingValuesPerFrequency) {
    const unsigned char vs[16] = {'z'};
    EXPECT_EQ(KAVOR_NV_WRITE_WCDMA_LNA_OFFSET(h, 6, 1, vs, 2, nullptr, 3, vs), 1);
    std::vector<long long> items;
    for (const auto& e : phone().calls(kNvWrite)) items.push_back(e.args[0]);
    EXPECT_EQ(items, (std::vector<long long>{1839, 1840, 1823, 1824, 1826}));
}

TEST_F(RxAdjustment, GainRangesGoToTheirItemsWithTheirLengths) {
    CalibrationData d;
    EXPECT_EQ(KAVOR_NV_WRITE_GSM_RX_GAIN_RANGE(h, d.r(0), d.r(1), d.r(2), d.r(3), d.r(4), d.r(5), d.r(6), d.r(7),
                                               d.r(8), d.r(9), d.r(10), d.r(11), d.r(12), d.r(13), d.r(14), d.r(15)),
              1);
    const std::vector<std::pair<long long, std::size_t>> expected = {
        {726, 16}, {727, 16}, {728, 16}, {729, 16}, {1058, 32}, {1059, 32}, {1060, 32}, {1061, 32},
        {730, 32}, {731, 32}, {732, 32}, {733, 32}, {1102, 16}, {1103, 16}, {1104, 16}, {1105, 16}};
    const auto writes = phone().calls(kNvWrite);
    ASSERT_EQ(writes.size(), expected.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].args[0], expected[i].first);
        EXPECT_EQ(writes[i].bytes, std::vector<std::uint8_t>(expected[i].second, static_cast<std::uint8_t>('A' + i)));
    }
    EXPECT_EQ(log().back(), "\tKAVOR_DIAG_NV_WRITE_F(iItemID = 1105, pItemData = " + std::string(16, 'P') +
                                ", iLength = 16) - Completed successfully\n");
}

TEST_F(RxAdjustment, BatchedValuesReachThePhoneAtTheFlush) {
    CalibrationData d;
    EXPECT_EQ(writeAdjustment(h, d, 1, 4, d.vsFreq.data(), 4), 1);
    EXPECT_EQ(phone().nv[1058].data, std::vector<std::uint8_t>(32, 'E'));
    EXPECT_EQ(phone().nv[524].data, (std::vector<std::uint8_t>{0x02, 0x01}));
    EXPECT_EQ(phone().nv[857].data, std::vector<std::uint8_t>(16, 'v'));
    EXPECT_FALSE(qmsl_sim::nv_batch(phone()).on);
    // The range line shows each range up to its length, never beyond.
    const auto lines = log();
    const std::string head = "\tKAVOR_NV_WRITE_GSM_RX_GAIN_RANGE(Gsm900Range1 = " + std::string(16, 'A') + ", ";
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(head, 0) == 0; });
    ASSERT_NE(it, lines.end());
    const std::string line = *it;
    EXPECT_NE(line.find("Gsm1900Range1 = " + std::string(32, 'E') + ", Gsm1900Range2"), std::string::npos);
    EXPECT_NE(line.find("Gsm850Range4 = " + std::string(16, 'P') + ") - Completed"), std::string::npos);
    EXPECT_EQ(log().back(), "\tKAVOR_DIAG_NV_WRITE_FLUSH_BATCH_QUEUE() - Completed successfully\n");
}

TEST_F(RxAdjustment, RangeLineShowsARangeUpToItsFirstZeroByteAndGoesOn) {
    CalibrationData d;
    d.ranges[0][2] = 0;  // "AA", then a zero byte inside the range
    EXPECT_EQ(writeAdjustment(h, d, 1, 4, d.vsFreq.data(), 4), 1);
    const auto lines = log();
    const std::string head = "\tKAVOR_NV_WRITE_GSM_RX_GAIN_RANGE(Gsm900Range1 = AA, Gsm900Range2 = " +
                             std::string(16, 'B') + ", ";
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(head, 0) == 0; });
    ASSERT_NE(it, lines.end());
    EXPECT_NE(it->find("Gsm850Range4 = " + std::string(16, 'P') + ") - Completed"), std::string::npos);
}

TEST_F(RxAdjustment, FlushWithATotalStatusFailsAfterItsLine) {
    CalibrationData d;
    phone().set_nv(731, {}, 4); // the phone refuses this item at the flush
    EXPECT_EQ(writeAdjustment(h, d, 1, 4, d.vsFreq.data(), 4), 0);
    const auto lines = log();
    const std::size_t n = lines.size();
    EXPECT_EQ(lines[n - 3], std::string("\tQLIB_DIAG_NV_WRITE_FlushBatchQueue(piLastErrorNvId = ") + char(731 & 0xFF) +
                                ", piLastTotalStatus =\x01, piLastItemStatus = \x04) - Completed successfully\n");
    EXPECT_EQ(lines[n - 2], "\t_iLastTotalStatus != (int)DIAG_MNVW_Status_OK - Failure\n");
    EXPECT_EQ(lines[n - 1], "\tKAVOR_DIAG_NV_WRITE_FLUSH_BATCH_QUEUE() - Failure\n");
    EXPECT_EQ(phone().nv[730].data, std::vector<std::uint8_t>(32, 'I')); // the others were written
}

TEST_F(RxAdjustment, AFailureSwitchesBatchModeOffAndDropsTheQueue) {
    CalibrationData d;
    EXPECT_EQ(writeAdjustment(h, d, 1, 7, d.vsFreq.data(), 4), 0); // band 7: the LNA offset step fails
    const auto batch = phone().calls("QLIB_DIAG_NV_WRITE_SetBatchMode");
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[1].args, std::vector<long long>{0});
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_FlushBatchQueue"), 0u);
    EXPECT_EQ(phone().nv.count(726), 0u); // queued, never flushed
    EXPECT_TRUE(qmsl_sim::nv_batch(phone()).queue.empty());
    EXPECT_EQ(log().back(), "\tKAVOR_NV_WRITE_WCDMA_LNA_OFFSET(eNvBand = \x07, iOffset1 = 258, piVsFreq1 = " +
                                std::string(16, 'v') + ", iOffset2 = 772, piVsFreq2 = " + std::string(16, 'v') +
                                ", iOffset3 = 1286, piVsFreq3 = " + std::string(16, 'v') + ") - Failure\n");

    const unsigned char later[1] = {1};
    EXPECT_EQ(KAVOR_DIAG_NV_WRITE_F(h, 74, later, 1), 1);
    EXPECT_EQ(phone().nv[74].data, std::vector<std::uint8_t>{1});
}

TEST_F(RxAdjustment, WithoutBatchModeAFailureSendsNoSwitchOff) {
    CalibrationData d;
    EXPECT_EQ(writeAdjustment(h, d, 0, 7, nullptr, 4), 0);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_SetBatchMode"), 1u);
    EXPECT_EQ(phone().nv[726].data, std::vector<std::uint8_t>(16, 'A')); // written at once
}

// --- every NV item of the WCDMA calibration, band by band ----------------------------

struct BandItemsCase {
    const char* name;
    unsigned short band;
    unsigned short vgaOffset, vgaVsFreq;
    std::array<unsigned short, 3> rise, fall, lnaOffset, lnaVsFreq;
};
void PrintTo(const BandItemsCase& c, std::ostream* os) { *os << c.name; }

class WcdmaBandItems : public RfProcedureTest, public ::testing::WithParamInterface<BandItemsCase> {};

// Each value reaches, or comes from, the item of its band and place: the
// writes touch exactly the band's write items, the reads give each item's value.
TEST_P(WcdmaBandItems, EachValueHasItsItem) {
    const BandItemsCase& c = GetParam();
    for (std::size_t i = 0; i < 3; ++i) {
        phone().set_nv(c.rise[i], {static_cast<std::uint8_t>(0x10 + i), 0x01});
        phone().set_nv(c.fall[i], {static_cast<std::uint8_t>(0x20 + i), 0x02});
    }
    short rise[3] = {}, fall[3] = {};
    EXPECT_EQ(KAVOR_NV_READ_WCDMA_LNA_RANGE_RISE(h, c.band, &rise[0], &rise[1], &rise[2]), 1);
    EXPECT_EQ(KAVOR_NV_READ_WCDMA_LNA_RANGE_FALL(h, c.band, &fall[0], &fall[1], &fall[2]), 1);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rise[i], static_cast<short>(0x0110 + i)) << "rise " << i + 1;
        EXPECT_EQ(fall[i], static_cast<short>(0x0220 + i)) << "fall " << i + 1;
    }

    std::set<unsigned short> before;
    for (const auto& [item, value] : phone().nv) before.insert(item);
    unsigned char vs[3][16];
    for (std::size_t i = 0; i < 3; ++i) std::memset(vs[i], static_cast<int>('a' + i), sizeof vs[i]);
    const unsigned char vga[16] = {'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g', 'g'};
    EXPECT_EQ(KAVOR_NV_WRITE_WCDMA_VGA_GAIN(h, c.band, 0x0701, vga), 1);
    EXPECT_EQ(KAVOR_NV_WRITE_WCDMA_LNA_OFFSET(h, static_cast<unsigned char>(c.band), 0x0801, vs[0], 0x0802, vs[1],
                                              0x0803, vs[2]),
              1);
    std::map<unsigned short, std::vector<std::uint8_t>> written;
    for (const auto& [item, value] : phone().nv)
        if (!before.count(item)) written[item] = value.data;
    std::map<unsigned short, std::vector<std::uint8_t>> expected{
        {c.vgaOffset, {0x01, 0x07}}, {c.vgaVsFreq, std::vector<std::uint8_t>(16, 'g')}};
    for (std::size_t i = 0; i < 3; ++i) {
        expected[c.lnaOffset[i]] = {static_cast<std::uint8_t>(i + 1), 0x08};
        expected[c.lnaVsFreq[i]] = std::vector<std::uint8_t>(16, static_cast<std::uint8_t>('a' + i));
    }
    EXPECT_EQ(written, expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(AllItems, WcdmaBandItems, ::testing::Values(
    BandItemsCase{"Band4", 4, 856, 857, {519, 859, 860}, {520, 861, 862}, {524, 865, 866}, {525, 867, 868}},
    BandItemsCase{"Band5", 5, 1143, 1144, {1163, 1146, 1147}, {1164, 1148, 1149}, {1168, 1152, 1153}, {1169, 1154, 1155}},
    BandItemsCase{"Band6", 6, 1814, 1815, {1834, 1817, 1818}, {1835, 1819, 1820}, {1839, 1823, 1824}, {1840, 1825, 1826}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
