// The code texts, the phone-type mapping and the five text exports.
#include "TesselEnum.h"
#include "TesselFixture.h"

#include <cstring>

namespace {

using TextFn = const char* (*)(int);

struct EnumCase {
    const char* name;
    TextFn fn;
    int code;
    const char* text;
};
void PrintTo(const EnumCase& c, std::ostream* os) { *os << c.name; }

class EnumText : public ::testing::TestWithParam<EnumCase> {};

TEST_P(EnumText, IsTheTablesText) { EXPECT_STREQ(GetParam().fn(GetParam().code), GetParam().text); }

#define ROW(fn, code, text) EnumCase{#fn "_" #code, fn, code, text}
#define ROW_ELSE(fn, code, text) EnumCase{#fn "_Else", fn, code, text}
#define ROW_NEG(fn, text) EnumCase{#fn "_Negative", fn, -1, text}

INSTANTIATE_TEST_SUITE_P(
    Tables, EnumText,
    ::testing::Values(
        ROW(Get_cRfMode, 2, "PHONE_MODE_SLEEP"), ROW(Get_cRfMode, 13, "PHONE_MODE_BLUETOOTH"),
        ROW(Get_cRfMode, 18, "PHONE_MODE_GSM_850"), ROW(Get_cRfMode, 255, "PHONE_MODE_MAX"),
        ROW_ELSE(Get_cRfMode, 14, "UNKNOWN"), ROW_NEG(Get_cRfMode, "UNKNOWN"),
        ROW(Get_cMode, 0, "MODE_OFFLINE_A_F"), ROW(Get_cMode, 4, "MODE_ONLINE_F"), ROW(Get_cMode, 7, "MODE_MAX_F"),
        ROW_ELSE(Get_cMode, 5, "UNKNOWN"), ROW_NEG(Get_cMode, "UNKNOWN"),
        ROW(Get_cNvStat, 0, "NV_DONE_S"), ROW(Get_cNvStat, 10, "NV_NOTALLOC_S"),
        ROW(Get_cNvStat, 0x7FFF, "NV_STAT_ENUM_PAD"), ROW_ELSE(Get_cNvStat, 11, "UNKNOWN"),
        ROW_NEG(Get_cNvStat, "UNKNOWN"),
        ROW(Get_cLnaRange, 0, "LNA_R0"), ROW(Get_cLnaRange, 4, "LNA_R4"), ROW_ELSE(Get_cLnaRange, 5, "UNKNOWN"),
        ROW_NEG(Get_cLnaRange, "UNKNOWN"),
        ROW(Get_cPaRange, 0, "R0=0, R1=0"), ROW(Get_cPaRange, 2, "R0=0, R1=1"), ROW(Get_cPaRange, 3, "R0=1, R1=1"),
        ROW_ELSE(Get_cPaRange, 4, "UNKNOWN"), ROW_NEG(Get_cPaRange, "UNKNOWN"),
        ROW(Get_cDataSrc, 0, "TX_DATA_SOURCE_PSDRND"), ROW(Get_cDataSrc, 2, "TX_DATA_SOURCE_BUFFER"),
        ROW_ELSE(Get_cDataSrc, 3, "UNKNOWN"), ROW_NEG(Get_cDataSrc, "UNKNOWN"),
        ROW(Get_cRxFn, 0, "RX_FUNCTION_GET_RSSI"), ROW(Get_cRxFn, 1, "RX_FUNCTION_GET_DC_OFFSETS"),
        ROW(Get_cRxFn, 2, "RX_FUNCTION_GET_DC_OFFSETS"), ROW_ELSE(Get_cRxFn, 3, "UNKNOWN"),
        ROW_NEG(Get_cRxFn, "UNKNOWN"),
        ROW(Get_cFmRadioStatus, 0, "SUCCESS"), ROW(Get_cFmRadioStatus, 3, "NO STATION"),
        ROW_ELSE(Get_cFmRadioStatus, 2, "UNKNOWN"), ROW_NEG(Get_cFmRadioStatus, "UNKNOWN"),
        ROW(Get_cSpkrCmd, 0, "SPKR_DISABLE"), ROW(Get_cSpkrCmd, 5, "SPKR_ON"), ROW_ELSE(Get_cSpkrCmd, 6, "UNKNOWN"),
        ROW_NEG(Get_cSpkrCmd, "UNKNOWN"),
        ROW(Get_cOnOff, 0, "OFF"), ROW(Get_cOnOff, 1, "ON"), ROW_ELSE(Get_cOnOff, 2, "?"), ROW_NEG(Get_cOnOff, "?"),
        ROW(Get_cKeyEvent, 1, "DOWN"), ROW(Get_cKeyEvent, 2, "UP"), ROW_ELSE(Get_cKeyEvent, 0, "?"),
        ROW_NEG(Get_cKeyEvent, "?"),
        ROW(Get_cPhoneModel, 0, "Brenvel 5"), ROW(Get_cPhoneModel, 2, "Vemark VK10"),
        ROW(Get_cPhoneModel, 10, "Hubrel"), ROW_ELSE(Get_cPhoneModel, 11, "?"), ROW_NEG(Get_cPhoneModel, "?"),
        ROW(Get_cFmRadioInfo, 0, "E_FM_LEVEL"), ROW(Get_cFmRadioInfo, 2, "E_FM_STEREO"),
        ROW_ELSE(Get_cFmRadioInfo, 3, "?"), ROW_NEG(Get_cFmRadioInfo, "?"),
        ROW(Get_cCameraStatus, 0, "CAMERA_SUCCESS"), ROW(Get_cCameraStatus, 8, "CAMERA_INVALID_STAND_ALONE_FORMAT"),
        ROW(Get_cCameraStatus, 9, "CAMERA_MALLOC_FAILED_STAND_ALONE"), ROW_ELSE(Get_cCameraStatus, 10, "?"),
        ROW_NEG(Get_cCameraStatus, "?"),
        ROW(Get_cCToNGpsStatus, 0, "RESULT_READY."), ROW(Get_cCToNGpsStatus, 4, "UNKNOWN_ERROR."),
        ROW_ELSE(Get_cCToNGpsStatus, 5, "?"), ROW_NEG(Get_cCToNGpsStatus, "?"),
        ROW(Get_cSliderStatus, 0, "E_SLIDER_OPEN"), ROW(Get_cSliderStatus, 4, "E_SLIDER_INVALID"),
        ROW_ELSE(Get_cSliderStatus, 5, "?"), ROW_NEG(Get_cSliderStatus, "?"),
        ROW(Get_cHallSensor, 0, "E_HALL_CLAM"), ROW(Get_cHallSensor, 2, "E_HALL_INVALID"),
        ROW_ELSE(Get_cHallSensor, 3, "?"), ROW_NEG(Get_cHallSensor, "?"),
        ROW(Get_cFmRadioRdsStatus, 0, "Success"), ROW(Get_cFmRadioRdsStatus, 1, "General Failure"),
        ROW(Get_cFmRadioRdsStatus, 3, "no station found"), ROW_ELSE(Get_cFmRadioRdsStatus, 2, "UNKNOWN"),
        ROW_NEG(Get_cFmRadioRdsStatus, "UNKNOWN"),
        ROW(Get_cCameraModel, 0, "BIOMORPHIC_BI8921"), ROW(Get_cCameraModel, 8, "CAM_BIOMORPHIC_BI8932_3MP"),
        ROW(Get_cCameraModel, 12, "Invalid"), ROW_ELSE(Get_cCameraModel, 13, "UNKNOWN"),
        ROW_NEG(Get_cCameraModel, "UNKNOWN"),
        ROW(Get_cCallState, 0, "CM_CALL_STATE_IDLE"), ROW(Get_cCallState, 4, "CM_CALL_STATE_CC_IN_PROGRESS"),
        ROW(Get_cCallState, 5, "CM_CALL_STATE_MAX"), ROW_ELSE(Get_cCallState, 6, "UNKNOWN"),
        EnumCase{"Get_cCallState_MinusOne", Get_cCallState, -1, "CM_CALL_STATE_NONE"},
        EnumCase{"Get_cCallState_MinusTwo", Get_cCallState, -2, "UNKNOWN"},
        ROW(Get_cKeyPress, 0, "HS_NONE_K"), ROW(Get_cKeyPress, 5, "HS_RING_VOL_2_K"), ROW(Get_cKeyPress, 11, "HS_MSG_K"),
        ROW(Get_cKeyPress, 35, "HS_POUND_K"), ROW(Get_cKeyPress, 42, "HS_STAR_K"), ROW(Get_cKeyPress, 48, "HS_0_K"),
        ROW(Get_cKeyPress, 57, "HS_9_K"), ROW(Get_cKeyPress, 90, "HS_SD3_K"), ROW(Get_cKeyPress, 95, "HS_DEC_0_K"),
        ROW(Get_cKeyPress, 104, "HS_DEC_9_K"), ROW(Get_cKeyPress, 108, "HS_DEC_D_K"),
        ROW(Get_cKeyPress, 110, "HS_PWR_OFF_K"), ROW(Get_cKeyPress, 112, "HS_INFO_K"),
        ROW(Get_cKeyPress, 138, "HS_LO_RES_CAMERA_K"), ROW(Get_cKeyPress, 140, "HS_PTT_K"),
        ROW(Get_cKeyPress, 161, "HS_VT_K"), ROW(Get_cKeyPress, 163, "HS_AF_K"), ROW(Get_cKeyPress, 194, "HS_REWIND_K"),
        ROW(Get_cKeyPress, 12, "UNKNOWN"), ROW(Get_cKeyPress, 34, "UNKNOWN"), ROW(Get_cKeyPress, 111, "UNKNOWN"),
        ROW(Get_cKeyPress, 141, "UNKNOWN"), ROW(Get_cKeyPress, 160, "UNKNOWN"), ROW(Get_cKeyPress, 162, "UNKNOWN"),
        ROW(Get_cKeyPress, 195, "UNKNOWN"), ROW_NEG(Get_cKeyPress, "UNKNOWN")),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyTable, HoldsTheEightyNineListedCodes) {
    int known = 0;
    for (int code = -300; code <= 300; ++code) known += std::strcmp(Get_cKeyPress(code), "UNKNOWN") != 0;
    EXPECT_EQ(known, 89);
}

struct FlashCase {
    const char* name;
    unsigned short id;
    const char* text;
};
void PrintTo(const FlashCase& c, std::ostream* os) { *os << c.name; }

class FlashText : public ::testing::TestWithParam<FlashCase> {};

TEST_P(FlashText, IsMakerThenDevice) { EXPECT_STREQ(Get_cFlash(GetParam().id), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Ids, FlashText,
    ::testing::Values(FlashCase{"Samsung32MiB", 0xEC75, "Samsung ,NAND 32MiB 3,3V 8-bit, 32MB"},
                      FlashCase{"FirstD5RowWins", 0x98D5, "Toshiba ,NAND 4MiB 3,3V 8-bit, 4MB"},
                      FlashCase{"UnknownMakerAndDevice", 0x1234, "?       ,"},
                      FlashCase{"UnknownMakerKnownDevice", 0x12DC, "?       ,NAND 512MiB 3,3V 8-bit, 512MB"},
                      FlashCase{"KnownMakerUnknownDevice", 0xEC00, "Samsung ,"},
                      FlashCase{"LastRow", 0x2001, "ST Micro,AND 128MiB 3,3V 8-bit, 128MB"},
                      FlashCase{"Largest", 0x04C5, "Fujitsu ,NAND 2GiB 3,3V 16-bit, 2048MB"},
                      FlashCase{"National", 0x8F6E, "National,NAND 1MiB 5V 8-bit, 1MB"},
                      FlashCase{"Renesas", 0x07F1, "Renesas ,NAND 128MiB 3,3V 8-bit, 128MB"}),
    [](const auto& info) { return std::string(info.param.name); });

struct TypeCase {
    int hwId;
    int model;
    int type;
};
std::string typeCaseName(const TypeCase& c) {
    return (c.hwId < 0 ? "hwMinus" : "hw") + std::to_string(c.hwId < 0 ? -c.hwId : c.hwId) + "_model" +
           std::to_string(c.model);
}
void PrintTo(const TypeCase& c, std::ostream* os) { *os << typeCaseName(c); }

class PhoneType : public ::testing::TestWithParam<TypeCase> {};

TEST_P(PhoneType, FollowsTheModelByteAndHardwareId) {
    EXPECT_EQ(TesselDeterminePhoneType(static_cast<std::int16_t>(GetParam().hwId),
                                       static_cast<std::int16_t>(GetParam().model)),
              GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, PhoneType,
    ::testing::Values(TypeCase{13, 209, 7}, TypeCase{12, 209, 11}, TypeCase{0, 219, 6}, TypeCase{1, 247, 6},
                      TypeCase{9, 219, 6}, TypeCase{12, 247, 6}, TypeCase{7, 219, 8}, TypeCase{8, 247, 9},
                      TypeCase{10, 219, 4}, TypeCase{11, 247, 4}, TypeCase{13, 219, 4}, TypeCase{14, 247, 10},
                      TypeCase{2, 219, 0}, TypeCase{6, 247, 0}, TypeCase{-1, 219, 11}, TypeCase{15, 247, 11},
                      TypeCase{12, 226, 5}, TypeCase{0, 226, 3}, TypeCase{13, 226, 3}, TypeCase{13, 100, 11},
                      TypeCase{0, 0, 11}),
    [](const auto& info) { return typeCaseName(info.param); });

TEST_F(TesselTest, TextExportsCopyTheTextsAndTraceTheCall) {
    traceAt(1);
    char text[64];
    EXPECT_EQ(_Tessel_KlfGet_cEHwProject(13, 209, text, "k.c", 1), 0);
    EXPECT_STREQ(text, "Yenk");
    EXPECT_EQ(_Tessel_KlfGet_cEHwProject(12, 226, text, "k.c", 2), 0);
    EXPECT_STREQ(text, "Sabbet");
    EXPECT_EQ(_Tessel_KlfGet_cEHwProject(0, 0, text, "k.c", 3), 0);
    EXPECT_STREQ(text, "?");
    EXPECT_EQ(_Tessel_KlfGet_cFlashID(0xEC75, text, "k.c", 4), 0);
    EXPECT_STREQ(text, "Samsung ,NAND 32MiB 3,3V 8-bit, 32MB");
    EXPECT_EQ(_Tessel_KlfGet_cMobileType(10, text, "k.c", 5), 0);
    EXPECT_STREQ(text, "Hubrel");
    EXPECT_EQ(_Tessel_KlfGet_cMobileType(-4, text, "k.c", 6), 0);
    EXPECT_STREQ(text, "?");
    EXPECT_EQ(_Tessel_KlfGet_cKeyID(48, text, "k.c", 7), 0);
    EXPECT_STREQ(text, "HS_0_K");
    EXPECT_EQ(_Tessel_KlfGet_cCamID(12, text, "k.c", 8), 0);
    EXPECT_STREQ(text, "Invalid");
    EXPECT_EQ(lines(), (Lines{
                           "(3C)    _Tessel_KlfGet_cEHwProject ( iHwID=13, iMobModel=209 ) in File \"k.c\" Line 1",
                           "(3C)    _Tessel_KlfGet_cEHwProject ( iHwID=12, iMobModel=226 ) in File \"k.c\" Line 2",
                           "(3C)    _Tessel_KlfGet_cEHwProject ( iHwID=0, iMobModel=0 ) in File \"k.c\" Line 3",
                           "(3C)    _Tessel_KlfGet_cFlashID ( iID=60533 ) in File \"k.c\" Line 4",
                           "(3C)    _Tessel_KlfGet_cMobileType ( iID=10 ) in File \"k.c\" Line 5",
                           "(3C)    _Tessel_KlfGet_cMobileType ( iID=-4 ) in File \"k.c\" Line 6",
                           "(3C)    _Tessel_KlfGet_cKeyID ( iID=48 ) in File \"k.c\" Line 7",
                           "(3C)    _Tessel_KlfGet_cCamID ( iID=12 ) in File \"k.c\" Line 8",
                       }));
}

// Each export writes no more than its documented size, which holds the
// longest text of its table whole.
struct SizeCase {
    const char* name;
    int (*call)(char*);
    int size;
    const char* longest;
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class TextSize : public TesselTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(TextSize, LongestTextFitsTheDocumentedBuffer) {
    char text[128];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(GetParam().call(text), 0);
    EXPECT_STREQ(text, GetParam().longest);
    EXPECT_EQ(std::strlen(text) + 1, static_cast<std::size_t>(GetParam().size));
    for (std::size_t i = GetParam().size; i < sizeof text; ++i) ASSERT_EQ(text[i], '#') << i;
    EXPECT_LE(GetParam().size, TESSEL_KLF_TEXT_MAX);
    EXPECT_EQ(GetParam().call(nullptr), TESSEL_ERROR_PARAMETER2);
}

INSTANTIATE_TEST_SUITE_P(
    Exports, TextSize,
    ::testing::Values(
        SizeCase{"PhoneModelByHardware", [](char* t) { return _Tessel_KlfGet_cEHwProject(0, 226, t, "k.c", 1); },
                 TESSEL_PHONE_MODEL_TEXT_MAX, "Vemark VK16"},
        SizeCase{"PhoneModel", [](char* t) { return _Tessel_KlfGet_cMobileType(2, t, "k.c", 1); },
                 TESSEL_PHONE_MODEL_TEXT_MAX, "Vemark VK10"},
        SizeCase{"Flash", [](char* t) { return _Tessel_KlfGet_cFlashID(0xEC72, t, "k.c", 1); }, TESSEL_FLASH_TEXT_MAX,
                 "Samsung ,NAND 128MiB 1,8V 16-bit, 128MB"},
        SizeCase{"Key", [](char* t) { return _Tessel_KlfGet_cKeyID(139, t, "k.c", 1); }, TESSEL_KEY_TEXT_MAX,
                 "HS_HI_RES_CAMERA_K"},
        SizeCase{"Camera", [](char* t) { return _Tessel_KlfGet_cCamID(8, t, "k.c", 1); }, TESSEL_CAMERA_TEXT_MAX,
                 "CAM_BIOMORPHIC_BI8932_3MP"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
