// Commands with rules of their own: fall-backs, silent successes, echoes,
// id checks, and the bounds on names, transfers, lists and texts.
#include "ftm_test_support.h"

#include <cstring>
#include <string>

namespace {

using namespace ftmtest;

class FtmRules : public FtmFixture {};

TEST_F(FtmRules, AnUnknownHandleSendsAndLogsNothing) {
    unsigned int v = 7;
    EXPECT_EQ(KAVOR_FTM_GET_HARDWARE_VERSION(h + 1, &v), 0);
    EXPECT_EQ(v, 7u);
    EXPECT_TRUE(sends().empty());
    EXPECT_TRUE(log().empty());
}

TEST_F(FtmRules, AReplyOfHeaderAndStatusOnlyIsNotDecodedFromShiftedBytes) {
    // 12 bytes: the version's four bytes are missing, so nothing is taken
    // from the header and status in their place.
    ftm().bodies[{0x8000, 10}] = {0, 0};
    unsigned int v = 7;
    EXPECT_EQ(KAVOR_FTM_GET_HARDWARE_VERSION(h, &v), 0);
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(log().back(), "\tKAVOR_FTM_GET_HARDWARE_VERSION() - error code = 0");
}

TEST_F(FtmRules, AGoodReplyLeavesTheChannelReadyForTheNext) {
    ftm().bodies[{0x8000, 11}] = {0, 0, 0x22, 0x11};
    unsigned short id = 0;
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_FTM_GET_NAND_FLASH_ID(h, &id), 0);
    EXPECT_EQ(KAVOR_FTM_GET_NAND_FLASH_ID(h, &id), 1);
    EXPECT_EQ(id, 0x1122);
}

// --- fuel gauge and its LTM fall-back ---

TEST_F(FtmRules, FuelGaugeWithAGoodStatusSendsOneRequest) {
    ftm().bodies[{0x8000, 13}] = {0, 0, 4};
    unsigned char v = 0;
    EXPECT_EQ(KAVOR_FTM_GET_FUEL_GAUGE_VERSION(h, &v), 1);
    EXPECT_EQ(v, 4);
    EXPECT_EQ(requests(), std::vector<Bytes>{req(13, 0, 13)});
    EXPECT_EQ(log(), (std::vector<std::string>{"KAVOR_FTM_GET_FUEL_GAUGE_VERSION()",
                                               "\tKAVOR_FTM_GET_FUEL_GAUGE_VERSION() - Completed successfully\n"}));
}

TEST_F(FtmRules, FuelGaugeFallsBackToTheLtmRequestOnABadStatus) {
    ftm().statuses[{0x8000, 13}] = 2;
    ftm().bodies[{0x8001, 1342}] = {0, 0, 9};
    unsigned char v = 0;
    EXPECT_EQ(KAVOR_FTM_GET_FUEL_GAUGE_VERSION(h, &v), 1);
    EXPECT_EQ(v, 9);
    EXPECT_EQ(requests(), (std::vector<Bytes>{req(13, 0, 13), req(1342, 10, 12, {}, 0x8001)}));
    EXPECT_EQ(log(), (std::vector<std::string>{"KAVOR_FTM_GET_FUEL_GAUGE_VERSION()",
                                               "\tKAVOR_FTM_GET_FUEL_GAUGE_VERSION() - error code = 2",
                                               "KAVOR_LTM_GET_FUEL_GAUGE_VERSION()",
                                               "\tKAVOR_LTM_GET_FUEL_GAUGE_VERSION() - Completed successfully\n"}));
}

TEST_F(FtmRules, FuelGaugeFailsWhenTheLtmStatusIsBadToo) {
    ftm().statuses[{0x8000, 13}] = 2;
    ftm().statuses[{0x8001, 1342}] = 3;
    unsigned char v = 0;
    EXPECT_EQ(KAVOR_FTM_GET_FUEL_GAUGE_VERSION(h, &v), 0);
    EXPECT_EQ(log().back(), "\tKAVOR_LTM_GET_FUEL_GAUGE_VERSION() - error code = 3");
}

TEST_F(FtmRules, FuelGaugeSendFailureGivesFalseWithoutAResultLine) {
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply});
    unsigned char v = 0;
    EXPECT_EQ(KAVOR_FTM_GET_FUEL_GAUGE_VERSION(h, &v), 0);
    EXPECT_EQ(sends().size(), 1u);
    EXPECT_EQ(log(), std::vector<std::string>{"KAVOR_FTM_GET_FUEL_GAUGE_VERSION()"});
}

TEST_F(FtmRules, FuelGaugeLtmSendFailureGivesFalseWithoutALtmResultLine) {
    ftm().statuses[{0x8000, 13}] = 2;
    // The first exchange passes untouched (a zero delay), the second gets nothing.
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::Delay, 0, {}, 0, 1});
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply, 0, {}, 0, 1});
    unsigned char v = 0;
    EXPECT_EQ(KAVOR_FTM_GET_FUEL_GAUGE_VERSION(h, &v), 0);
    EXPECT_EQ(sends().size(), 2u);
    EXPECT_EQ(log(), (std::vector<std::string>{"KAVOR_FTM_GET_FUEL_GAUGE_VERSION()",
                                               "\tKAVOR_FTM_GET_FUEL_GAUGE_VERSION() - error code = 2",
                                               "KAVOR_LTM_GET_FUEL_GAUGE_VERSION()"}));
}

// --- low-power mode 3: silence is success ---

TEST_F(FtmRules, LowPowerMode3SucceedsOnASilentPhone) {
    EXPECT_EQ(KAVOR_FTM_SET_LOW_POWER_MODE(h, 3), 1);
    ASSERT_EQ(sends().size(), 1u);
    EXPECT_EQ(sends()[0].bytes, req(19, 1, 12, {3}));
    EXPECT_EQ(sends()[0].args[1], 20);
    EXPECT_EQ(log(), (std::vector<std::string>{
                         "KAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 3)",
                         "\tKAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 3)  - Completed successfully\n"}));
}

TEST_F(FtmRules, LowPowerMode3FailsWhenThePhoneAnswers) {
    ftm().answers_low_power_3 = true;
    EXPECT_EQ(KAVOR_FTM_SET_LOW_POWER_MODE(h, 3), 0);
    EXPECT_EQ(log().back(), "\tKAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 3) - Failure\n");
}

// --- status and echo rules ---

TEST_F(FtmRules, TuningAcceptsStatus3) {
    ftm().statuses[{0x8000, 28}] = 3;
    unsigned short status = 0;
    EXPECT_EQ(KAVOR_FTM_TUNE_FM_RADIO(h, 100, &status), 1);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(log().back(), "\tKAVOR_FTM_TUNE_FM_RADIO(iChannel = 100) - Completed successfully\n");
}

TEST_F(FtmRules, ModeSwitchFailsOnAWrongEcho) {
    ftm().bodies[{0x8000, 208}] = {2};
    unsigned char sw = 1;
    EXPECT_EQ(KAVOR_FTM_GG_MODE(h, &sw), 0);
    EXPECT_EQ(log().back(), "\tKAVOR_FTM_GG_MODE(iSwitch = 1) - Wrong iSwitch value received (2) = 2\n");
}

TEST_F(FtmRules, StartMeasurementTakesTheStatusWordWithoutJudgingIt) {
    ftm().statuses[{0x8000, 31}] = 6;
    unsigned short status = 0;
    EXPECT_EQ(KAVOR_FTM_START_AGPS_CTON_MEAS(h, &status), 1);
    EXPECT_EQ(status, 6);
}

struct CameraCase {
    const char* name;
    unsigned char (*call)(QmslHandle, char*);
    std::uint16_t group, id;
    const char* wrongLine;
};
void PrintTo(const CameraCase& c, std::ostream* os) { *os << c.name; }


class FtmCameraId : public FtmFixture, public ::testing::WithParamInterface<CameraCase> {};

TEST_P(FtmCameraId, AMarkedIdIsAFailure) {
    const CameraCase& c = GetParam();
    Bytes id = padded("SENSOR", 25);
    id[0] = 0xCC;
    ftm().bodies[{c.group, c.id}] = id;
    char text[25] = {};
    EXPECT_EQ(c.call(h, text), 0);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xCC);
    EXPECT_EQ(log().back(), c.wrongLine);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FtmCameraId,
    ::testing::Values(CameraCase{"Extension", KAVOR_FTM_GetCameraIDString, 0x8000, 206,
                                 "\tKAVOR_FTM_GetCameraIDString() - Failure (Wrong ID String)"},
                      CameraCase{"Ltm", KAVOR_LTM_GetCameraIdString, 0x8001, 1338,
                                 "\tKAVOR_LTM_GetCameraIdString() - Failure - Wrong ID"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- commands that send nothing ---

TEST_F(FtmRules, FocusLevel0IsRefusedUnsent) {
    EXPECT_EQ(KAVOR_FTM_I2C_SET_CAMERA_FOCUS(h, 0), 0);
    EXPECT_TRUE(sends().empty());
    EXPECT_EQ(log(), std::vector<std::string>{
                         "KAVOR_FTM_I2C_SET_CAMERA_FOCUS(focusLevel = 0) - Focus Level out of range"});
}

TEST_F(FtmRules, WcdmaCalibrationWriteSendsNothingAndFails) {
    EXPECT_EQ(KAVOR_FTM_WRITE_WCDMA_RF_CAL(h, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15), 0);
    EXPECT_TRUE(sends().empty());
    EXPECT_EQ(log(), std::vector<std::string>{"KAVOR_FTM_WRITE_WCDMA_RF_CAL()"});
}

// --- hardware id ---

TEST_F(FtmRules, HardwareIdOfANamedBuildNeedsNoRequest) {
    phone().profile.build_id = "M6280-PalC1A-0412";
    unsigned short id = 0;
    EXPECT_EQ(KAVOR_FTM_GET_HW_ID(h, &id), 1);
    EXPECT_EQ(id, 8);
    EXPECT_TRUE(sends().empty());
    EXPECT_EQ(log(), (std::vector<std::string>{"KAVOR_FTM_GET_HW_ID()", "QLIB_DIAG_EXT_BUILD_ID_F()"}));
}

TEST_F(FtmRules, HardwareIdAsksThePhoneWhenTheBuildIdFails) {
    phone().inject("QLIB_DIAG_EXT_BUILD_ID_F", {qmsl_sim::Fault::FalseResult});
    ftm().bodies[{0x8000, 29}] = {0, 0, 3, 0};
    unsigned short id = 0;
    EXPECT_EQ(KAVOR_FTM_GET_HW_ID(h, &id), 1);
    EXPECT_EQ(id, 3);
    EXPECT_EQ(requests(), std::vector<Bytes>{req(29, 0, 14)});
    EXPECT_EQ(log(), (std::vector<std::string>{"KAVOR_FTM_GET_HW_ID()",
                                               "\tKAVOR_FTM_GET_HW_ID() - Completed successfully\n"}));
}

// --- bounds ---

TEST_F(FtmRules, AnI2cReadTooShortForItsDataPopsNothing) {
    ftm().bodies[{0x8000, 15}] = {0, 0, 1};  // 13 bytes for a 4-byte read
    unsigned char data[4] = {9, 9, 9, 9};
    EXPECT_EQ(KAVOR_FTM_I2C_DATA_ACCESS(h, 0, 0x10, 1, 0x20, 4, data), 0);
    EXPECT_EQ(Bytes(data, data + 4), (Bytes{9, 9, 9, 9}));
}

TEST_F(FtmRules, ALongMemoryCardNameIsCutTo128BytesWithoutTerminator) {
    const std::string name(200, 'n');
    unsigned char data[1] = {7};
    EXPECT_EQ(KAVOR_FTM_MMC_FILE_ACCESS(h, 1, 1, name.c_str(), data), 1);
    EXPECT_EQ(requests(), std::vector<Bytes>{req(18, 134, 12, Bytes{1, 1, 0, 0, 0} + padded(name, 128) + Bytes{7})});
}

TEST_F(FtmRules, ALongImageNameIsCutTo128Bytes) {
    const std::string name(150, 'i');
    EXPECT_EQ(KAVOR_FTM_DISPLAY_IMAGE(h, name.c_str()), 1);
    EXPECT_EQ(requests(), std::vector<Bytes>{req(23, 128, 12, padded(name, 128))});
    EXPECT_EQ(log().front(), "KAVOR_FTM_DISPLAY_IMAGE(sFileName = " + name.substr(0, 128) + ")");
}

struct MmcBound {
    const char* name;
    unsigned char type;
    unsigned short length;
    bool sent;
};
void PrintTo(const MmcBound& c, std::ostream* os) { *os << c.name; }


class FtmMmcBounds : public FtmFixture, public ::testing::WithParamInterface<MmcBound> {};

TEST_P(FtmMmcBounds, TransfersBeyondThePacketAreRefusedUnsent) {
    const MmcBound& c = GetParam();
    std::vector<unsigned char> data(c.length, 0x3C);
    ftm().mmc_files["f.bin"] = std::vector<std::uint8_t>(c.length, 0x5D);
    EXPECT_EQ(KAVOR_FTM_MMC_FILE_ACCESS(h, c.type, c.length, "f.bin", data.data()), c.sent ? 1 : 0);
    ASSERT_EQ(sends().size(), c.sent ? 1u : 0u);
    if (c.sent && c.type == 0) {
        EXPECT_EQ(data.back(), 0x5D);
    }
    if (c.sent && c.type == 1) {
        EXPECT_EQ(sends()[0].bytes.size(), 143u + c.length);
        EXPECT_EQ(ftm().mmc_files["f.bin"], std::vector<std::uint8_t>(c.length, 0x3C));
    }
    if (!c.sent) {
        EXPECT_EQ(log().back(), "\tKAVOR_FTM_MMC_FILE_ACCESS() - request does not fit the packet, not sent");
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, FtmMmcBounds,
                         ::testing::Values(MmcBound{"WriteFillingTheRequest", 1, 3953, true},
                                           MmcBound{"WriteOneByteTooMany", 1, 3954, false},
                                           MmcBound{"WriteFarTooLong", 1, 65535, false},
                                           MmcBound{"ReadFillingTheReply", 0, 4084, true},
                                           MmcBound{"ReadOneByteTooMany", 0, 4085, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FtmRules, TheScanListNeverPasses48Stations) {
    Bytes body(101, 0);
    body[3] = 1;   // B[13]: a list follows
    body[4] = 60;  // B[14]: more stations than the block can hold
    for (std::size_t i = 5; i < body.size(); ++i) body[i] = static_cast<std::uint8_t>(i);
    ftm().bodies[{0x8000, 202}] = body;
    unsigned char status = 9, kind = 0, count = 0;
    unsigned short list[49];
    std::fill(std::begin(list), std::end(list), 0xEEEE);
    EXPECT_EQ(KAVOR_FTM_FM_RADIO_SCAN_ALL_RF(h, &status, &kind, &count, list), 1);
    EXPECT_EQ(count, 48);
    EXPECT_EQ(list[0], 0x0605);   // B[15] = 5, B[16] = 6
    EXPECT_EQ(list[47], 0x6463);  // B[109] = 99, B[110] = 100
    EXPECT_EQ(list[48], 0xEEEE);
}

TEST_F(FtmRules, AnUnterminatedProgramTextIsBoundedAndTerminated) {
    Bytes body(101, 0);
    std::fill(body.begin() + 6, body.end(), 'x');  // B[16..110], no terminator
    ftm().bodies[{0x8000, 202}] = body;
    unsigned char status = 9, b = 0, c = 0, d = 0;
    unsigned short a = 0;
    char text[97];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(KAVOR_FTM_FM_RADIO_GET_PROGRAM_INFO(h, &status, &a, &b, text, &c, &d), 1);
    EXPECT_EQ(std::string(text), std::string(95, 'x'));
    EXPECT_EQ(text[96], '#');
}

TEST_F(FtmRules, TheFactoryByteWrittenIsReadBack) {
    unsigned char klf = 0x4B;
    EXPECT_EQ(KAVOR_FTM_READ_WRITE_FACTORY_DATA(h, 1, 100, &klf), 1);
    unsigned char back = 0;
    EXPECT_EQ(KAVOR_FTM_READ_WRITE_FACTORY_DATA(h, 0, 100, &back), 1);
    EXPECT_EQ(back, 0x4B);
}

} // namespace
