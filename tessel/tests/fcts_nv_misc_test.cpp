// Factory data slices, network selection items, single settings, the
// default VCO and the batched NV writes.
#include "TesselEnum.h"
#include "TesselFctsNvFixture.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

using Nv = TesselNv;

Bytes image(int seed) {
    Bytes b(128);
    for (int i = 0; i < 128; ++i) b[i] = static_cast<std::uint8_t>(seed + i);
    return b;
}

// --- factory data ------------------------------------------------------------------

struct Slice {
    const char* name;
    int start, length;
    bool fits;
};
class FactorySlice : public TesselNv, public ::testing::WithParamInterface<Slice> {};

TEST_P(FactorySlice, ReadCopiesOnlyASliceInsideTheImage) {
    const Slice& r = GetParam();
    phone().set_nv(2497, image(0));
    Bytes out(256, 0xEE);
    const int st = _Tessel_NvReadFactNBytes(s_, static_cast<unsigned char>(r.start),
                                            static_cast<unsigned char>(r.length), out.data(), "f.c", 1);
    Bytes expected(256, 0xEE);
    if (r.fits) {
        EXPECT_EQ(st, 0);
        for (int i = 0; i < r.length; ++i) expected[i] = static_cast<std::uint8_t>(r.start + i);
    } else {
        EXPECT_EQ(st, kLib);
        EXPECT_TRUE(accesses().empty());
    }
    EXPECT_EQ(out, expected);
}
TEST_P(FactorySlice, WriteReplacesOnlyTheSliceOfTheImage) {
    const Slice& r = GetParam();
    phone().set_nv(2497, image(0));
    const Bytes data(256, 0xA5);
    const int st = _Tessel_NvWriteFactNBytes(s_, static_cast<unsigned char>(r.start),
                                             static_cast<unsigned char>(r.length), data.data(), "f.c", 1);
    Bytes expected = image(0);
    if (r.fits) {
        EXPECT_EQ(st, 0);
        for (int i = 0; i < r.length; ++i) expected[r.start + i] = 0xA5;
        EXPECT_EQ(accesses(), (Accesses{{'R', 2497, 128}, {'W', 2497, 128}}));
    } else {
        EXPECT_EQ(st, kLib);
        EXPECT_TRUE(accesses().empty());
    }
    EXPECT_EQ(phone().nv.at(2497).data, expected);
}
INSTANTIATE_TEST_SUITE_P(Bounds, FactorySlice,
                         ::testing::Values(Slice{"Whole", 0, 128, true}, Slice{"LastEight", 120, 8, true},
                                           Slice{"OneTooMany", 120, 9, false}, Slice{"StartAtEnd", 128, 0, false},
                                           Slice{"LastByte", 127, 1, true}, Slice{"Empty", 5, 0, true},
                                           Slice{"WouldWrapInAByte", 120, 200, false},
                                           Slice{"LongestLength", 120, 255, false},
                                           Slice{"StartHighBit", 200, 10, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Nv, FactoryDataFailedReadCopiesAndWritesNothing) {
    phone().set_nv(2497, image(0), 5);
    unsigned char out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(_Tessel_NvReadFactNBytes(s_, 0, 4, out, "f.c", 1), kLib);
    EXPECT_EQ(Bytes(out, out + 4), Bytes(4, 0xEE));
    EXPECT_EQ(_Tessel_NvWriteFactNBytes(s_, 0, 4, out, "f.c", 1), kLib);
    EXPECT_EQ(accesses(), (Accesses{{'R', 2497, 128}, {'R', 2497, 128}}));
}

TEST_F(Nv, FactoryDataFailedWriteFails) {
    phone().set_handler("QLIB_DIAG_NV_WRITE_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 3);
        return true;
    });
    phone().set_nv(2497, image(0));
    const unsigned char data[2] = {1, 2};
    EXPECT_EQ(_Tessel_NvWriteFactNBytes(s_, 0, 2, data, "f.c", 1), kLib);
}

// --- network selection -----------------------------------------------------------------

struct ScanRow {
    int mode;
    Bytes v10, v441, v848;
};
class ScanMode : public TesselNv, public ::testing::WithParamInterface<ScanRow> {};

TEST_P(ScanMode, WritesTheThreeItemsOfTheMode) {
    const ScanRow& r = GetParam();
    EXPECT_EQ(_Tessel_NvWriteNetworkScanMode(s_, r.mode, "n.c", 1), 0);
    EXPECT_EQ(accesses(), (Accesses{{'W', 10, 2}, {'W', 441, 3}, {'W', 848, 2}}));
    EXPECT_EQ(written(10), r.v10);
    EXPECT_EQ(written(441), r.v441);
    EXPECT_EQ(written(848), r.v848);
}
INSTANTIATE_TEST_SUITE_P(Modes, ScanMode,
                         ::testing::Values(ScanRow{0, {0x00, 0x04}, {0x00, 0xFF, 0xFF}, {0x00, 0x02}},
                                           ScanRow{2, {0x00, 0x0D}, {0x00, 0x00, 0x01}, {0x00, 0x01}},
                                           ScanRow{3, {0x00, 0x0D}, {0x00, 0x80, 0x00}, {0x00, 0x01}},
                                           ScanRow{4, {0x00, 0x0D}, {0x00, 0x04, 0x00}, {0x00, 0x01}},
                                           ScanRow{5, {0x00, 0x0E}, {0x00, 0x01, 0x00}, {0x00, 0x00}}),
                         [](const auto& info) { return "Mode" + std::to_string(info.param.mode); });

TEST_F(Nv, UnknownModesWriteNothing) {
    for (int mode : {1, -1, 6, 1000}) {
        EXPECT_EQ(_Tessel_NvWriteNetworkScanMode(s_, mode, "n.c", 1), kLib) << mode;
        EXPECT_EQ(_Tessel_NvWriteLastGoodChannel(s_, mode, 100, "n.c", 1), kLib) << mode;
    }
    EXPECT_TRUE(accesses().empty());
}

TEST_F(Nv, AFailedItemInTheMiddleStillWritesTheRest) {
    phone().set_nv(441, {}, 4);
    EXPECT_EQ(_Tessel_NvWriteNetworkScanMode(s_, 0, "n.c", 1), kLib);
    EXPECT_EQ(accesses(), (Accesses{{'W', 10, 2}, {'W', 441, 3}, {'W', 848, 2}}));
    EXPECT_EQ(phone().nv.at(848).data, (Bytes{0x00, 0x02}));
}

struct ChannelRow {
    int mode;
    Bytes head;  // bytes 0..3 of the image
};
class LastGoodChannel : public TesselNv, public ::testing::WithParamInterface<ChannelRow> {};

TEST_P(LastGoodChannel, ImageOfTheMode) {
    EXPECT_EQ(_Tessel_NvWriteLastGoodChannel(s_, GetParam().mode, 0x1234, "n.c", 1), 0);
    Bytes expected(128);
    std::copy(GetParam().head.begin(), GetParam().head.end(), expected.begin());
    EXPECT_EQ(written(1894), expected);
}
INSTANTIATE_TEST_SUITE_P(Modes, LastGoodChannel,
                         ::testing::Values(ChannelRow{0, {0, 0, 0, 0}}, ChannelRow{2, {0x01, 0x34, 0x12, 0x00}},
                                           ChannelRow{3, {0x01, 0x34, 0x12, 0x03}},
                                           ChannelRow{4, {0x01, 0x34, 0x12, 0x02}}, ChannelRow{5, {0, 0, 0, 0}}),
                         [](const auto& info) { return "Mode" + std::to_string(info.param.mode); });

// --- single settings ----------------------------------------------------------------------

struct WriteRow {
    const char* name;
    std::function<int(int)> call;
    std::vector<std::pair<int, Bytes>> writes;  // in order
};
class SettingWrite : public TesselNv, public ::testing::WithParamInterface<WriteRow> {};

TEST_P(SettingWrite, WritesTheItemsInOrder) {
    EXPECT_EQ(GetParam().call(s_), 0);
    Accesses expected;
    for (const auto& [item, bytes] : GetParam().writes) expected.push_back({'W', item, int(bytes.size())});
    EXPECT_EQ(accesses(), expected);
    for (const auto& [item, bytes] : GetParam().writes) EXPECT_EQ(written(item), bytes) << item;
}
INSTANTIATE_TEST_SUITE_P(
    Rows, SettingWrite,
    ::testing::Values(
        WriteRow{"DeleteNetworkInformation", [](int s) { return _Tessel_NvDeleteNetworkInformation(s, "m.c", 1); },
                 {{945, Bytes(128)}}},
        WriteRow{"RoamingListOn", [](int s) { return _Tessel_NvSetRoamingListStatus(s, 1, "m.c", 1); },
                 {{256, {0x00, 0x01}}, {1190, {0x80, 0x00}}}},
        WriteRow{"RoamingListTwoIsOff", [](int s) { return _Tessel_NvSetRoamingListStatus(s, 2, "m.c", 1); },
                 {{256, {0x00, 0x00}}, {1190, {0x80, 0x00}}}},
        WriteRow{"VcoTuningTable", [](int s) { return _Tessel_NvResetVcoTuningTable(s, "m.c", 1); }, {{931, Bytes(16)}}},
        WriteRow{"IqLineResistor", [](int s) { return _Tessel_NvResetIqLineResistorCal(s, "m.c", 1); }, {{1792, {0}}}},
        WriteRow{"MicGainLowByteFirst", [](int s) { return _Tessel_NvWriteMicGainAdjust(s, -2, "m.c", 1); },
                 {{2827, {0xFE, 0xFF}}}},
        WriteRow{"VcoValues", [](int s) { return _Tessel_NvWriteVcoValues(s, 0x0102, -300, "m.c", 1); },
                 {{1882, {0x02, 0x01}}, {1883, {0xD4, 0xFE}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- default VCO ------------------------------------------------------------------------------

TEST_F(Nv, DefaultVcoSetsThePdmOfTheBandToTheStoredValue) {
    phone().set_nv(1882, {0x38, 0xFF});  // -200
    for (const auto& [band, type] : std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}, {4, 4}}) {
        phone().clear_journal();
        EXPECT_EQ(_Tessel_SetDefaultVco(s_, band, "v.c", 1), 0) << band;
        EXPECT_EQ(accesses(), (Accesses{{'R', 1882, 2}}));
        const auto pdm = phone().calls("QLIB_FTM_SET_PDM_signed");
        ASSERT_EQ(pdm.size(), 1u);
        EXPECT_EQ(pdm[0].args, (std::vector<long long>{type, -200})) << band;
    }
}

TEST_F(Nv, DefaultVcoOtherBandOrFailedReadSetsNoPdm) {
    phone().set_nv(1882, {1, 0});
    for (int band : {0, 5, -1}) EXPECT_EQ(_Tessel_SetDefaultVco(s_, band, "v.c", 1), kLib) << band;
    EXPECT_TRUE(phone().journal.empty());
    phone().set_nv(1882, {1, 0}, 5);
    EXPECT_EQ(_Tessel_SetDefaultVco(s_, 1, "v.c", 1), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_SET_PDM_signed"), 0u);
    phone().set_nv(1882, {1, 0});
    phone().inject("QLIB_FTM_SET_PDM_signed", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SetDefaultVco(s_, 1, "v.c", 1), kLib);
}

// --- batched writes ------------------------------------------------------------------------------

TEST_F(Nv, BatchModeSendsTheLowByte) {
    EXPECT_EQ(_Tessel_DiagNvWriteSetBatchMode(s_, 0x0101, "b.c", 1), 0);
    EXPECT_EQ(phone().calls("QLIB_DIAG_NV_WRITE_SetBatchMode").at(0).args, std::vector<long long>{1});
    phone().inject("QLIB_DIAG_NV_WRITE_SetBatchMode", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_DiagNvWriteSetBatchMode(s_, 0, "b.c", 1), kLib);
}

TEST_F(Nv, FlushFailsOnATotalStatusAndTracesTheThreeValues) {
    EXPECT_EQ(_Tessel_DiagNvWriteFlushBatchQueue(s_, "b.c", 1), 0);
    EXPECT_EQ(lines().back(), std::string("(3A)    _Tessel_DiagNvWriteFlushBatchQueue( _iTotalStatus=0, "
                                          "_iLastErrorNvId=0, _iLastItemStatus=0(") +
                                  Get_cNvStat(0) + ") ) = 0 (SUCCESS) ");
    phone().set_outputs("QLIB_DIAG_NV_WRITE_FlushBatchQueue", {550, 1, 5});
    EXPECT_EQ(_Tessel_DiagNvWriteFlushBatchQueue(s_, "b.c", 2), kLib);
    EXPECT_TRUE(hasLine("( _iTotalStatus=1, _iLastErrorNvId=550, _iLastItemStatus=5("));
    phone().set_outputs("QLIB_DIAG_NV_WRITE_FlushBatchQueue", {0LL, 0LL, 0LL});
    phone().inject("QLIB_DIAG_NV_WRITE_FlushBatchQueue", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_DiagNvWriteFlushBatchQueue(s_, "b.c", 3), kLib);
}

} // namespace
