// The code-to-text tables: one row per code, one lookup for all of them.
#include "TesselEnum.h"
#include "tessel.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

namespace {

struct EnumText {
    int iCode;
    const char* cText;
};

template <std::size_t N>
const char* lookUp(const EnumText (&rows)[N], const char* cElse, int iCode) {
    for (const EnumText& row : rows)
        if (row.iCode == iCode) return row.cText;
    return cElse;
}

template <std::size_t N>
constexpr std::size_t longest(const EnumText (&rows)[N], const char* cElse) {
    std::size_t n = std::char_traits<char>::length(cElse);
    for (const EnumText& row : rows) n = std::max(n, std::char_traits<char>::length(row.cText));
    return n;
}

constexpr EnumText kRfMode[] = {
    {2, "PHONE_MODE_SLEEP"},         {3, "PHONE_MODE_GPS"},           {9, "PHONE_MODE_WCDMA_IMT"},
    {10, "PHONE_MODE_GSM_900"},      {11, "PHONE_MODE_GSM_1800"},     {12, "PHONE_MODE_GSM_1900"},
    {13, "PHONE_MODE_BLUETOOTH"},    {15, "PHONE_MODE_WCDMA_1900A"},  {16, "PHONE_MODE_WCDMA_1900B"},
    {18, "PHONE_MODE_GSM_850"},      {255, "PHONE_MODE_MAX"},
};
constexpr EnumText kMode[] = {
    {0, "MODE_OFFLINE_A_F"}, {1, "MODE_OFFLINE_D_F"},  {2, "MODE_RESET_F"}, {3, "MODE_FTM_F"},
    {4, "MODE_ONLINE_F"},    {6, "MODE_POWER_OFF_F"}, {7, "MODE_MAX_F"},
};
constexpr EnumText kNvStat[] = {
    {0, "NV_DONE_S"},      {1, "NV_BUSY_S"},     {2, "NV_BADCMD_S"},  {3, "NV_FULL_S"},
    {4, "NV_FAIL_S"},      {5, "NV_NOTACTIVE_S"}, {6, "NV_BADPARM_S"}, {7, "NV_READONLY_S"},
    {8, "NV_BADTG_S"},     {9, "NV_NOMEM_S"},    {10, "NV_NOTALLOC_S"}, {0x7FFF, "NV_STAT_ENUM_PAD"},
};
constexpr EnumText kLnaRange[] = {{0, "LNA_R0"}, {1, "LNA_R1"}, {2, "LNA_R2"}, {3, "LNA_R3"}, {4, "LNA_R4"}};
constexpr EnumText kPaRange[] = {{0, "R0=0, R1=0"}, {1, "R0=1, R1=0"}, {2, "R0=0, R1=1"}, {3, "R0=1, R1=1"}};
constexpr EnumText kDataSrc[] = {
    {0, "TX_DATA_SOURCE_PSDRND"}, {1, "TX_DATA_SOURCE_TONE"}, {2, "TX_DATA_SOURCE_BUFFER"}};
constexpr EnumText kRxFn[] = {
    {0, "RX_FUNCTION_GET_RSSI"}, {1, "RX_FUNCTION_GET_DC_OFFSETS"}, {2, "RX_FUNCTION_GET_DC_OFFSETS"}};
constexpr EnumText kFmRadioStatus[] = {{0, "SUCCESS"}, {1, "FAIL"}, {3, "NO STATION"}};
constexpr EnumText kSpkrCmd[] = {
    {0, "SPKR_DISABLE"}, {1, "SPKR_ENABLE"}, {2, "SPKR_MUTE_OFF"},
    {3, "SPKR_MUTE_ON"}, {4, "SPKR_OFF"},    {5, "SPKR_ON"},
};
constexpr EnumText kOnOff[] = {{0, "OFF"}, {1, "ON"}};
constexpr EnumText kKeyEvent[] = {{1, "DOWN"}, {2, "UP"}};
constexpr EnumText kPhoneModel[] = {
    {0, "Brenvel 5"}, {1, "Brenvel 4"}, {2, "Vemark VK10"}, {3, "Vemark VK16"}, {4, "Lurvin"}, {5, "Sabbet"},
    {6, "Tarv"},      {7, "Yenk"},      {8, "Gastol"},      {9, "Palden"},      {10, "Hubrel"},
};
constexpr EnumText kFmRadioInfo[] = {{0, "E_FM_LEVEL"}, {1, "E_FM_LOCKDETECT"}, {2, "E_FM_STEREO"}};
constexpr EnumText kCameraStatus[] = {
    {0, "CAMERA_SUCCESS"},      {1, "CAMERA_INVALID_STATE"},
    {2, "CAMERA_INVALID_PARM"}, {3, "CAMERA_INVALID_FORMAT"},
    {4, "CAMERA_NO_SENSOR"},    {5, "CAMERA_NO_MEMORY"},
    {6, "CAMERA_NOT_SUPPORTED"}, {7, "CAMERA_FAILED"},
    {8, "CAMERA_INVALID_STAND_ALONE_FORMAT"}, {9, "CAMERA_MALLOC_FAILED_STAND_ALONE"},
};
constexpr EnumText kCToNGpsStatus[] = {
    {0, "RESULT_READY."}, {1, "RESULT_PENDING."}, {2, "MEAS_NOT_STARTED."}, {3, "MEAS_FAILED."},
    {4, "UNKNOWN_ERROR."},
};
constexpr EnumText kSliderStatus[] = {
    {0, "E_SLIDER_OPEN"},         {1, "E_SLIDER_CLOSE"}, {2, "E_SLIDER_UNDEFINED_11"},
    {3, "E_SLIDER_UNDEFINED_00"}, {4, "E_SLIDER_INVALID"},
};
constexpr EnumText kHallSensor[] = {{0, "E_HALL_CLAM"}, {1, "E_HALL_SLIDER"}, {2, "E_HALL_INVALID"}};
constexpr EnumText kFmRadioRdsStatus[] = {{0, "Success"}, {1, "General Failure"}, {3, "no station found"}};
constexpr EnumText kCameraModel[] = {
    {0, "BIOMORPHIC_BI8921"},         {1, "AGILENT_ADCM1700"},        {2, "CAM_BIOMORPHIC_BI8921_2"},
    {3, "CAM_AGILENT_ADCM1700_2"},    {4, "CAM_PREMIER_OV9650_1"},    {5, "CAM_PREMIER_OV9650_2"},
    {6, "CAM_SEMCO_1"},               {7, "CAM_BIOMORPHIC_BI8921_3"}, {8, "CAM_BIOMORPHIC_BI8932_3MP"},
    {9, "CAM_BIOMORPHIC_BI8902"},     {10, "CAM_OMNIVISION_SXGA_1M3"}, {11, "CAM_OMNIVISION_7670"},
    {12, "Invalid"},
};
constexpr EnumText kCallState[] = {
    {-1, "CM_CALL_STATE_NONE"}, {0, "CM_CALL_STATE_IDLE"}, {1, "CM_CALL_STATE_ORIG"},
    {2, "CM_CALL_STATE_INCOM"}, {3, "CM_CALL_STATE_CONV"}, {4, "CM_CALL_STATE_CC_IN_PROGRESS"},
    {5, "CM_CALL_STATE_MAX"},
};

#define KEY(code, name) {code, "HS_" #name "_K"}
constexpr EnumText kKeyPress[] = {
    KEY(0, NONE), KEY(1, ON_HOOK), KEY(2, OFF_HOOK), KEY(3, RING_VOL_0), KEY(4, RING_VOL_1), KEY(5, RING_VOL_2),
    KEY(6, EAR_UP), KEY(7, EAR_UP_END), KEY(8, EAR_DOWN), KEY(9, PF1), KEY(10, PF2), KEY(11, MSG),
    KEY(35, POUND), KEY(42, STAR),
    KEY(48, 0), KEY(49, 1), KEY(50, 2), KEY(51, 3), KEY(52, 4), KEY(53, 5), KEY(54, 6), KEY(55, 7), KEY(56, 8),
    KEY(57, 9),
    KEY(80, SEND), KEY(81, END), KEY(82, CLR), KEY(83, STO), KEY(84, UP), KEY(85, DOWN), KEY(86, MUTE),
    KEY(87, RCL), KEY(88, SD1), KEY(89, SD2), KEY(90, SD3), KEY(91, MENU), KEY(92, ALPHA), KEY(93, DEC_POUND),
    KEY(94, DEC_STAR),
    KEY(95, DEC_0), KEY(96, DEC_1), KEY(97, DEC_2), KEY(98, DEC_3), KEY(99, DEC_4), KEY(100, DEC_5),
    KEY(101, DEC_6), KEY(102, DEC_7), KEY(103, DEC_8), KEY(104, DEC_9),
    KEY(105, DEC_A), KEY(106, DEC_B), KEY(107, DEC_C), KEY(108, DEC_D), KEY(109, PWR_ON), KEY(110, PWR_OFF),
    KEY(112, INFO), KEY(113, FREE), KEY(114, PHONE), KEY(115, IGN_OFF), KEY(116, IGN_ON), KEY(117, TMR_ON),
    KEY(118, TMR_OFF), KEY(119, BAD_BATT), KEY(120, EXT_PWR_ON), KEY(121, EXT_PWR_OFF), KEY(122, REDIAL),
    KEY(123, RSSI), KEY(124, HFK_CORD), KEY(125, HFK_NOCORD), KEY(126, HEADSET), KEY(127, HEADSET_OFF),
    KEY(128, DEV_UNKNOWN), KEY(129, EXT_DEV), KEY(130, CHARGING_ON), KEY(131, CHARGING_OFF), KEY(132, LEFT),
    KEY(133, RIGHT), KEY(134, APPLICATION), KEY(135, RIGHT_SELECT), KEY(136, LEFT_SELECT), KEY(137, BROWSER),
    KEY(138, LO_RES_CAMERA), KEY(139, HI_RES_CAMERA), KEY(140, PTT),
    KEY(161, VT), KEY(163, AF), KEY(192, FORWARD), KEY(193, PLAY), KEY(194, REWIND),
};
#undef KEY
static_assert(std::size(kKeyPress) == 89, "the key table lists 89 codes");

// Flash makers by the high byte of the id; all texts are 9 characters.
constexpr EnumText kFlashMaker[] = {
    {0x98, "Toshiba ,"}, {0xEC, "Samsung ,"}, {0x04, "Fujitsu ,"},
    {0x8F, "National,"}, {0x07, "Renesas ,"}, {0x20, "ST Micro,"},
};
constexpr const char* kFlashMakerElse = "?       ,";

struct NandDevice {
    int iId;
    const char* cName;
    int iSizeMiB;
};

// Searched in order, the first match wins (0xDC and 0xD5 appear twice; the
// later rows are never reached).
constexpr NandDevice kNandFlashIds[] = {
    {0x6E, "NAND 1MiB 5V 8-bit", 1},         {0x64, "NAND 2MiB 5V 8-bit", 2},
    {0x6B, "NAND 4MiB 5V 8-bit", 4},         {0xE8, "NAND 1MiB 3,3V 8-bit", 1},
    {0xEC, "NAND 1MiB 3,3V 8-bit", 1},       {0xEA, "NAND 2MiB 3,3V 8-bit", 2},
    {0xD5, "NAND 4MiB 3,3V 8-bit", 4},       {0xE3, "NAND 4MiB 3,3V 8-bit", 4},
    {0xE5, "NAND 4MiB 3,3V 8-bit", 4},       {0xD6, "NAND 8MiB 3,3V 8-bit", 8},
    {0x39, "NAND 8MiB 1,8V 8-bit", 8},       {0xE6, "NAND 8MiB 3,3V 8-bit", 8},
    {0x49, "NAND 8MiB 1,8V 16-bit", 8},      {0x59, "NAND 8MiB 3,3V 16-bit", 8},
    {0x33, "NAND 16MiB 1,8V 8-bit", 16},     {0x73, "NAND 16MiB 3,3V 8-bit", 16},
    {0x43, "NAND 16MiB 1,8V 16-bit", 16},    {0x53, "NAND 16MiB 3,3V 16-bit", 16},
    {0x35, "NAND 32MiB 1,8V 8-bit", 32},     {0x75, "NAND 32MiB 3,3V 8-bit", 32},
    {0x45, "NAND 32MiB 1,8V 16-bit", 32},    {0x55, "NAND 32MiB 3,3V 16-bit", 32},
    {0x36, "NAND 64MiB 1,8V 8-bit", 64},     {0x76, "NAND 64MiB 3,3V 8-bit", 64},
    {0x46, "NAND 64MiB 1,8V 16-bit", 64},    {0x56, "NAND 64MiB 3,3V 16-bit", 64},
    {0x78, "NAND 128MiB 1,8V 8-bit", 128},   {0x79, "NAND 128MiB 3,3V 8-bit", 128},
    {0x72, "NAND 128MiB 1,8V 16-bit", 128},  {0x74, "NAND 128MiB 3,3V 16-bit", 128},
    {0x71, "NAND 256MiB 3,3V 8-bit", 256},   {0xDC, "NAND 512MiB 3,3V 8-bit", 512},
    {0xA1, "NAND 128MiB 1,8V 8-bit", 128},   {0xF1, "NAND 128MiB 3,3V 8-bit", 128},
    {0xB1, "NAND 128MiB 1,8V 16-bit", 128},  {0xC1, "NAND 128MiB 3,3V 16-bit", 128},
    {0xAA, "NAND 256MiB 1,8V 8-bit", 256},   {0xDA, "NAND 256MiB 3,3V 8-bit", 256},
    {0xBA, "NAND 256MiB 1,8V 16-bit", 256},  {0xCA, "NAND 256MiB 3,3V 16-bit", 256},
    {0xAC, "NAND 512MiB 1,8V 8-bit", 512},   {0xDC, "NAND 512MiB 3,3V 8-bit", 512},
    {0xBC, "NAND 512MiB 1,8V 16-bit", 512},  {0xCC, "NAND 512MiB 3,3V 16-bit", 512},
    {0xA3, "NAND 1GiB 1,8V 8-bit", 1024},    {0xD3, "NAND 1GiB 3,3V 8-bit", 1024},
    {0xB3, "NAND 1GiB 1,8V 16-bit", 1024},   {0xC3, "NAND 1GiB 3,3V 16-bit", 1024},
    {0xA5, "NAND 2GiB 1,8V 8-bit", 2048},    {0xD5, "NAND 2GiB 3,3V 8-bit", 2048},
    {0xB5, "NAND 2GiB 1,8V 16-bit", 2048},   {0xC5, "NAND 2GiB 3,3V 16-bit", 2048},
    {0x01, "AND 128MiB 3,3V 8-bit", 128},
};
static_assert(std::size(kNandFlashIds) == 53, "the NAND device table has 53 rows");

constexpr std::size_t digits(int n) { return n < 10 ? 1 : 1 + digits(n / 10); }

// Maker text + device name + ", <size>MB".
constexpr std::size_t longestFlashText() {
    std::size_t n = 0;
    for (const NandDevice& d : kNandFlashIds)
        n = std::max(n, std::char_traits<char>::length(d.cName) + 2 + digits(d.iSizeMiB) + 2);
    return longest(kFlashMaker, kFlashMakerElse) + n;
}

// The caller-buffer sizes the public header documents hold the longest text.
static_assert(longest(kPhoneModel, "?") + 1 == TESSEL_PHONE_MODEL_TEXT_MAX, "phone-model text size");
static_assert(longest(kKeyPress, "UNKNOWN") + 1 == TESSEL_KEY_TEXT_MAX, "key text size");
static_assert(longest(kCameraModel, "UNKNOWN") + 1 == TESSEL_CAMERA_TEXT_MAX, "camera text size");
static_assert(longestFlashText() + 1 == TESSEL_FLASH_TEXT_MAX, "flash text size");
static_assert(TESSEL_KLF_TEXT_MAX >= TESSEL_PHONE_MODEL_TEXT_MAX && TESSEL_KLF_TEXT_MAX >= TESSEL_FLASH_TEXT_MAX &&
                  TESSEL_KLF_TEXT_MAX >= TESSEL_KEY_TEXT_MAX && TESSEL_KLF_TEXT_MAX >= TESSEL_CAMERA_TEXT_MAX,
              "common text size");

char gcFlashText[128];

} // namespace

#define TESSEL_ENUM_TEXT(function, table, elseText) \
    const char* function(int iCode) { return lookUp(table, elseText, iCode); }

TESSEL_ENUM_TEXT(Get_cRfMode, kRfMode, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cMode, kMode, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cNvStat, kNvStat, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cLnaRange, kLnaRange, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cPaRange, kPaRange, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cDataSrc, kDataSrc, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cRxFn, kRxFn, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cFmRadioStatus, kFmRadioStatus, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cSpkrCmd, kSpkrCmd, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cOnOff, kOnOff, "?")
TESSEL_ENUM_TEXT(Get_cKeyEvent, kKeyEvent, "?")
TESSEL_ENUM_TEXT(Get_cPhoneModel, kPhoneModel, "?")
TESSEL_ENUM_TEXT(Get_cFmRadioInfo, kFmRadioInfo, "?")
TESSEL_ENUM_TEXT(Get_cCameraStatus, kCameraStatus, "?")
TESSEL_ENUM_TEXT(Get_cCToNGpsStatus, kCToNGpsStatus, "?")
TESSEL_ENUM_TEXT(Get_cSliderStatus, kSliderStatus, "?")
TESSEL_ENUM_TEXT(Get_cHallSensor, kHallSensor, "?")
TESSEL_ENUM_TEXT(Get_cFmRadioRdsStatus, kFmRadioRdsStatus, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cCameraModel, kCameraModel, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cCallState, kCallState, "UNKNOWN")
TESSEL_ENUM_TEXT(Get_cKeyPress, kKeyPress, "UNKNOWN")

#undef TESSEL_ENUM_TEXT

const char* Get_cFlash(unsigned short usId) {
    const int iDevice = usId & 0xFF;
    int iLen = std::snprintf(gcFlashText, sizeof gcFlashText, "%s", lookUp(kFlashMaker, kFlashMakerElse, usId >> 8));
    for (const NandDevice& d : kNandFlashIds) {
        if (d.iId == iDevice) {
            std::snprintf(gcFlashText + iLen, sizeof gcFlashText - iLen, "%s, %dMB", d.cName, d.iSizeMiB);
            break;
        }
    }
    return gcFlashText;
}
