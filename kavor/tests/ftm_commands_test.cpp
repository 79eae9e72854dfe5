// Every extension-FTM, LTM and GPIO command through its export, one row
// each: the request the phone receives, the outputs and lines of a good
// reply, of an error status, of a send without reply and of a short reply.
#include "ftm_test_support.h"

#include <cstring>
#include <functional>
#include <memory>

namespace {

using namespace ftmtest;

// Out-parameter storage of one call.
struct Outs {
    unsigned int u32a = 0, u32b = 0;
    unsigned short u16a = 0, u16b = 0, u16c = 0, u16d = 0;
    unsigned char u8a = 0, u8b = 0, u8c = 0, u8d = 0, u8e = 0, u8f = 0, u8g = 0, u8h = 0, u8i = 0;
    unsigned char bytes[256] = {};
    char text[256] = {};
    unsigned short list[64] = {};
};

// The result lines of one command.
struct Lines {
    std::string ok, error, fail, shortReply;
};
// The usual result lines: lead, the text, and the channel's suffixes.
Lines lines(const std::string& text, const std::string& lead = "\t") {
    return {lead + text + " - Completed successfully\n", lead + text + " - error code = 5",
            lead + text + " - SendSync() fail (error code = 187)", lead + text + " - error code = 0"};
}
Lines gpioLines(const std::string& text) {
    return {"\t" + text + " - Completed successfully\n", "\t" + text + " - Wrong status = 5",
            "\t" + text + " - error code = 187", "\t" + text + " - error code = 0"};
}

using Phone = qmsl_sim::Phone;

struct Row {
    const char* name;
    std::function<unsigned char(QmslHandle, Outs&)> call;
    std::vector<Bytes> requests;
    std::uint16_t group;  // key of the reply data and status (0: a GPIO operation)
    std::uint16_t id;
    Bytes body;  // good reply after the echoed header; empty: the phone's own
    std::vector<std::string> callLines;
    Lines result;
    std::size_t needed = 0;  // shortest reply that decodes; 0: any reply will do (GPIO: see ftm_reply_length_test)
    bool hasStatus = true;   // whether a reply status can fail it
    std::function<void(const Outs&, Phone&)> check = {};
    std::function<void(Phone&)> setup = {};
    std::function<void(const Outs&)> checkError = {};
    std::function<void(const Outs&)> checkFail = {};
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

std::vector<std::string> withResult(std::vector<std::string> lines, const std::string& result) {
    if (!result.empty()) lines.push_back(result);
    return lines;
}

// A caller's text in a heap block of exactly its size, so that reading past
// its terminator is caught.
std::unique_ptr<char[]> exactText(const char* s) {
    auto p = std::make_unique<char[]>(std::strlen(s) + 1);
    std::memcpy(p.get(), s, std::strlen(s) + 1);
    return p;
}

Bytes fmBody(std::size_t status, std::initializer_list<std::pair<std::size_t, std::uint8_t>> at) {
    Bytes b(101, 0);  // B[10..110]
    b[0] = static_cast<std::uint8_t>(status);
    for (auto [i, v] : at) b[i - 10] = v;
    return b;
}

const std::string kI2cRead = "(iI2C_AccessType = 0x0, iI2C_SlaveAddr = 0x10, iI2C_RegAddrLen = 0x1, iI2C_RegAddr = 0x20, "
                             "iI2C_DataLen = 0x4";
const std::string kI2cWrite = "(iI2C_AccessType = 0x1, iI2C_SlaveAddr = 0x10, iI2C_RegAddrLen = 0x1, iI2C_RegAddr = "
                              "0x21, iI2C_DataLen = 0x2";

Bytes linearizer() {
    Bytes b{2};
    for (unsigned i = 0; i < 174; ++i) append16(b, i * 3);
    return b;
}

std::vector<Row> rows() {
    const Bytes z99(99, 0);
    return {
        {"GetHardwareVersion", [](QmslHandle h, Outs& o) { return KAVOR_FTM_GET_HARDWARE_VERSION(h, &o.u32a); },
         {req(10, 0, 16)}, 0x8000, 10, {0, 0, 0x78, 0x56, 0x34, 0x12}, {"KAVOR_FTM_GET_HARDWARE_VERSION()"},
         lines("KAVOR_FTM_GET_HARDWARE_VERSION()"), 16, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(o.u32a, 0x12345678u); },
         {}, [](const Outs& o) { EXPECT_EQ(o.u32a, 0x12345678u); }},
        {"GetNandFlashId", [](QmslHandle h, Outs& o) { return KAVOR_FTM_GET_NAND_FLASH_ID(h, &o.u16a); },
         {req(11, 2, 14)}, 0x8000, 11, {0, 0, 0x34, 0x12}, {"KAVOR_FTM_GET_NAND_FLASH_ID()"},
         lines("KAVOR_FTM_GET_NAND_FLASH_ID()"), 14, true, [](const Outs& o, Phone&) { EXPECT_EQ(o.u16a, 0x1234); }},
        {"IrdaOnOff", [](QmslHandle h, Outs&) { return KAVOR_FTM_IRDA_ON_OFF(h, 1); }, {req(12, 2, 12, {1})}, 0x8000,
         12, {}, {"KAVOR_FTM_IRDA_ON_OFF(iTurnLED_On = 1)"}, lines("KAVOR_FTM_IRDA_ON_OFF(iTurnLED_On = 1)"), 12},
        {"ConfigureSwitch", [](QmslHandle h, Outs&) { return KAVOR_FTM_CONFIGURE_SWITCH(h, 7, 1); },
         {req(14, 3, 12, {7, 0, 1})}, 0x8000, 14, {}, {"KAVOR_FTM_CONFIGURE_SWITCH(iSwitchID = 7, iSwitchState = 1)"},
         lines("KAVOR_FTM_CONFIGURE_SWITCH(iSwitchID = 7, iSwitchState = 1)"), 12},
        {"MgetAdcVal", [](QmslHandle h, Outs& o) { return KAVOR_FTM_MGET_ADC_VAL(h, 3, 10, &o.u32a); },
         {req(16, 4, 16, {3, 0, 10, 0})}, 0x8000, 16, {0, 0, 0xE8, 0x03, 0, 0},
         {"KAVOR_FTM_MGET_ADC_VAL(iADC_Channel = 3, iReadCount = 10)"},
         {"\tKAVOR_FTM_MGET_ADC_VAL(iADC_Channel = 3, iReadCount = 10, iADC_Sum = 1000) - Completed successfully\n",
          "\tKAVOR_FTM_MGET_ADC_VAL(iADC_Channel = 3, iReadCount = 10, iADC_Sum = 1000) - error code = 5",
          "\tKAVOR_FTM_MGET_ADC_VAL(iADC_Channel = 3, iReadCount = 10, iADC_Sum = 0) - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_MGET_ADC_VAL(iADC_Channel = 3, iReadCount = 10, iADC_Sum = 0) - error code = 0"},
         16, true, [](const Outs& o, Phone&) { EXPECT_EQ(o.u32a, 1000u); }},
        {"SimReadImsi", [](QmslHandle h, Outs& o) { return KAVOR_FTM_SIM_READ_IMSI(h, o.bytes); }, {req(17, 0, 21)},
         0x8000, 17, {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         {"KAVOR_FTM_SIM_READ_IMSI(iIMSI_number[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0 })"},
         {"\tKAVOR_FTM_SIM_READ_IMSI(iIMSI_number[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9 }) - Completed successfully\n",
          "\tKAVOR_FTM_SIM_READ_IMSI() - SendSync() fail (error code = 5)",
          "\tKAVOR_FTM_SIM_READ_IMSI() - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_SIM_READ_IMSI() - SendSync() fail (error code = 0)"},
         21, true, [](const Outs& o, Phone&) { EXPECT_EQ(Bytes(o.bytes, o.bytes + 10), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 0})); }},
        {"GetFmRadioId", [](QmslHandle h, Outs& o) { return KAVOR_FTM_GET_FM_RADIO_ID(h, &o.u16a); }, {req(22, 0, 14)},
         0x8000, 22, {0, 0, 0xCD, 0xAB}, {"KAVOR_FTM_GET_FM_RADIO_ID()"}, lines("KAVOR_FTM_GET_FM_RADIO_ID()"), 14, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(o.u16a, 0xABCD); }},
        {"DisplayImage", [](QmslHandle h, Outs&) { return KAVOR_FTM_DISPLAY_IMAGE(h, exactText("pic.bmp").get()); },
         {req(23, 128, 12, padded("pic.bmp", 128))}, 0x8000, 23, {}, {"KAVOR_FTM_DISPLAY_IMAGE(sFileName = pic.bmp)"},
         lines("KAVOR_FTM_DISPLAY_IMAGE()"), 12},
        {"DisplayImage24Bit", [](QmslHandle h, Outs&) { return KAVOR_FTM_DISPLAY_IMAGE_24BIT(h, exactText("a.bmp").get()); },
         {req(201, 128, 12, padded("a.bmp", 128))}, 0x8000, 201, {},
         {"KAVOR_FTM_DISPLAY_IMAGE_24BIT(sFileName = a.bmp)"}, lines("KAVOR_FTM_DISPLAY_IMAGE_24BIT()"), 12},
        {"FactoryDataRead", [](QmslHandle h, Outs& o) { return KAVOR_FTM_READ_WRITE_FACTORY_DATA(h, 0, 5, &o.u8a); },
         {req(21, 4, 13, {0, 5, 0})}, 0x8000, 21, {},
         {"KAVOR_FTM_READ_WRITE_FACTORY_DATA(iOperationType = 0, iDataAddress = 5, iData = 0)"},
         lines("KAVOR_FTM_READ_WRITE_FACTORY_DATA(iOperationType = 0, iDataAddress = 5, iData = 0)"), 13, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(o.u8a, 0x77); },
         [](Phone& p) { qmsl_sim::ext_ftm(p).factory_data[5] = 0x77; }},
        {"FactoryDataWrite",
         [](QmslHandle h, Outs& o) {
             o.u8a = 0x42;
             return KAVOR_FTM_READ_WRITE_FACTORY_DATA(h, 1, 5, &o.u8a);
         },
         {req(21, 4, 13, {1, 5, 0, 0x42})}, 0x8000, 21, {},
         {"KAVOR_FTM_READ_WRITE_FACTORY_DATA(iOperationType = 1, iDataAddress = 5, iData = 66)"},
         lines("KAVOR_FTM_READ_WRITE_FACTORY_DATA(iOperationType = 1, iDataAddress = 5, iData = 66)"), 12, true,
         [](const Outs&, Phone& p) { EXPECT_EQ(qmsl_sim::ext_ftm(p).factory_data[5], 0x42); }},
        {"TestPmicUsb", [](QmslHandle h, Outs&) { return KAVOR_FTM_TEST_FTM_PMIC_USB(h, 1); }, {req(25, 0, 12, {1})},
         0x8000, 25, {}, {"KAVOR_FTM_TEST_PMIC_USB(iUSB_UART_Mode = 1)"},
         lines("KAVOR_FTM_TEST_FTM_PMIC_USB(iUSB_UART_Mode = 1)"), 12},
        {"WriteGsmTxLinearizer",
         [](QmslHandle h, Outs&) {
             unsigned short v[174];
             for (unsigned i = 0; i < 174; ++i) v[i] = static_cast<unsigned short>(i * 3);
             return KAVOR_FTM_WRITE_GSM_TX_LINEARIZER(h, 2, v, 2000);
         },
         {req(26, 349, 12, linearizer())}, 0x8000, 26, {},
         {"KAVOR_FTM_WRITE_GSM_TX_LINEARIZER(iGSM_Band = 2, iDelay_ms = 2000)"},
         lines("KAVOR_FTM_WRITE_GSM_TX_LINEARIZER(iGSM_Band = 2, iDelay_ms = 2000)"), 12, true,
         [](const Outs&, Phone& p) { EXPECT_EQ(p.calls("QLIB_SendSync").back().args[1], 2000); }},
        {"RmRadioRdsTest", [](QmslHandle h, Outs& o) { return KAVOR_FTM_RM_RADIO_RDS_TEST(h, &o.u16a); },
         {req(34, 0, 12)}, 0x8000, 34, {}, {"KAVOR_FTM_RM_RADIO_RDS_TEST()"}, lines("KAVOR_FTM_RM_RADIO_RDS_TEST()"), 12,
         true, {}, {}, [](const Outs& o) { EXPECT_EQ(o.u16a, 5); }},
        {"LoadRfNv", [](QmslHandle h, Outs& o) { return KAVOR_FTM_LOAD_RF_NV(h, &o.u16a); }, {req(35, 0, 12)}, 0x8000,
         35, {}, {"KAVOR_FTM_LOAD_RF_NV()"}, lines("KAVOR_FTM_LOAD_RF_NV()"), 12, true, {}, {},
         [](const Outs& o) { EXPECT_EQ(o.u16a, 5); }},
        {"GetBtParam", [](QmslHandle h, Outs& o) { return KAVOR_FTM_GET_BT_PARAM(h, &o.u16a, &o.u8a, &o.u8b, &o.u8c); },
         {req(36, 0, 15)}, 0x8000, 36, {0, 0, 0x0A, 0x0B, 0x0C}, {"KAVOR_FTM_GET_BT_PARAM()"},
         lines("KAVOR_FTM_GET_BT_PARAM()"), 15, true,
         [](const Outs& o, Phone&) {
             EXPECT_EQ(o.u8a, 0x0A);
             EXPECT_EQ(o.u8b, 0x0B);
             EXPECT_EQ(o.u8c, 0x0C);
         },
         {}, [](const Outs& o) {
             EXPECT_EQ(o.u16a, 5);
             EXPECT_EQ(o.u8c, 0x0C);
         }},
        {"SwitchLcdBacklight", [](QmslHandle h, Outs&) { return KAVOR_FTM_SWITCH_LCD_BACKLIGHT(h, 1); },
         {req(151, 1, 12, {1})}, 0x8000, 151, {}, {"KAVOR_FTM_SWITCH_LCD_BACKLIGHT(iSwitchLcdOn = 1)"},
         lines("KAVOR_FTM_SWITCH_LCD_BACKLIGHT(iSwitchLcdOn = 1)"), 12},
        {"SetLcdContrast", [](QmslHandle h, Outs&) { return KAVOR_FTM_SET_LCD_CONTRAST(h, 9); }, {req(24, 1, 12, {9})},
         0x8000, 24, {}, {"KAVOR_FTM_SET_LCD_CONTRAST(iLcdContrastLevel = 9)"},
         lines("KAVOR_FTM_SET_LCD_CONTRAST(iLcdContrastLevel = 9)"), 12},
        {"I2cDataAccess2Read",
         [](QmslHandle h, Outs& o) { return KAVOR_FTM_I2C_DATA_ACCESS2(h, 0, 0x5A, 0x10, 1, 0x20, 4, o.bytes); },
         {req(15, 7, 16, {0, 0x5A, 0x10, 1, 0x20, 0, 4})}, 0x8000, 15, {},
         {"KAVOR_FTM_I2C_DATA_ACCESS" + kI2cRead + ", piI2C_Data[0] = 0x0)"},
         lines("KAVOR_FTM_I2C_DATA_ACCESS2" + kI2cRead + ")"), 16, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(Bytes(o.bytes, o.bytes + 4), (Bytes{1, 2, 3, 4})); },
         [](Phone& p) { qmsl_sim::ext_ftm(p).i2c[{0x10, 0x20}] = {1, 2, 3, 4}; }},
        {"I2cDataAccessWrite",
         [](QmslHandle h, Outs& o) {
             o.bytes[0] = 0xAB;
             o.bytes[1] = 0xCD;
             return KAVOR_FTM_I2C_DATA_ACCESS(h, 1, 0x10, 1, 0x21, 2, o.bytes);
         },
         {req(15, 9, 12, {1, 0, 0x10, 1, 0x21, 0, 2, 0xAB, 0xCD})}, 0x8000, 15, {},
         {"KAVOR_FTM_I2C_DATA_ACCESS" + kI2cWrite + ", piI2C_Data[0] = 0xAB)"},
         lines("KAVOR_FTM_I2C_DATA_ACCESS" + kI2cWrite + ")"), 0, false,
         [](const Outs&, Phone& p) { EXPECT_EQ((qmsl_sim::ext_ftm(p).i2c[{0x10, 0x21}]), (Bytes{0xAB, 0xCD})); }},
        {"SimGetMode", [](QmslHandle h, Outs& o) { return KAVOR_FTM_SIM_GET_MODE(h, &o.u8a); }, {req(203, 10, 12)},
         0x8000, 203, {0x02, 0x01}, {"KAVOR_FTM_SIM_GET_MODE()"},
         {"\tKAVOR_FTM_SIM_GET_MODE(SIM_MODE = 2 ", "", "\tKAVOR_FTM_SIM_GET_MODE() - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_SIM_GET_MODE() - error code = 0"},
         12, false, [](const Outs& o, Phone&) { EXPECT_EQ(o.u8a, 2); }},
        {"SimReadKcFile", [](QmslHandle h, Outs& o) { return KAVOR_FTM_SIM_READ_KC_FILE(h, o.bytes, &o.u8a); },
         {req(204, 22, 22)}, 0x8000, 204, {}, {"\nKAVOR_FTM_SIM_READ_KC_FILE(KC_File = , Status = 0)"},
         {"\tKAVOR_FTM_SIM_READ_KC_FILE(Status = 0)", "\tKAVOR_FTM_SIM_READ_KC_FILE() - (Status = 5)",
          "\tKAVOR_FTM_SIM_READ_KC_FILE() - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_SIM_READ_KC_FILE() - error code = 0"},
         22, true, [](const Outs& o, Phone&) { EXPECT_EQ(Bytes(o.bytes, o.bytes + 9), (Bytes{9, 8, 7, 6, 5, 4, 3, 2, 1})); },
         [](Phone& p) { qmsl_sim::ext_ftm(p).kc_file = {9, 8, 7, 6, 5, 4, 3, 2, 1}; },
         [](const Outs& o) { EXPECT_EQ(o.u8a, 5); }},
        {"SimWriteKcFile",
         [](QmslHandle h, Outs& o) {
             std::memcpy(o.bytes, "123456789", 9);
             return KAVOR_FTM_SIM_WRITE_KC_FILE(h, o.bytes, &o.u8a);
         },
         {req(205, 22, 22, Bytes{0, 0, 9} + padded("123456789", 9))}, 0x8000, 205, {},
         {"\nKAVOR_FTM_SIM_WRITE_KC_FILE(KC_File = 123456789, Status = 0)"},
         {"\tKAVOR_FTM_SIM_WRITE_KC_FILE(Status = 0)", "\tKAVOR_FTM_SIM_WRITE_KC_FILE() - (Status = 5)",
          "\tKAVOR_FTM_SIM_WRITE_KC_FILE() - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_SIM_WRITE_KC_FILE() - error code = 0"},
         22, true, [](const Outs&, Phone& p) { EXPECT_EQ(qmsl_sim::ext_ftm(p).kc_file, padded("123456789", 9)); }},
        {"MmcFileRead",
         [](QmslHandle h, Outs& o) { return KAVOR_FTM_MMC_FILE_ACCESS(h, 0, 4, exactText("\\TEST.BIN").get(), o.bytes); },
         {req(18, 133, 16, Bytes{0, 4, 0, 0, 0} + padded("\\TEST.BIN", 128))}, 0x8000, 18, {},
         {"KAVOR_FTM_MMC_FILE_ACCESS(iAccessType = 0, iMMC_DataLength = 4, psFileName = \\TEST.BIN)"},
         {"\tKAVOR_FTM_MMC_FILE_ACCESS() - Completed successfully\n",
          "\tKAVOR_FTM_MMC_FILE_ACCESS() - SendSync() fail (error code = 5)",
          "\tKAVOR_FTM_MMC_FILE_ACCESS() - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_MMC_FILE_ACCESS() - SendSync() fail (error code = 0)"},
         16, true, [](const Outs& o, Phone&) { EXPECT_EQ(Bytes(o.bytes, o.bytes + 4), (Bytes{9, 8, 7, 6})); },
         [](Phone& p) { qmsl_sim::ext_ftm(p).mmc_files["\\TEST.BIN"] = {9, 8, 7, 6}; }},
        {"MmcFileWrite",
         [](QmslHandle h, Outs& o) {
             o.bytes[0] = 1, o.bytes[1] = 2, o.bytes[2] = 3;
             return KAVOR_FTM_MMC_FILE_ACCESS(h, 1, 3, exactText("a.bin").get(), o.bytes);
         },
         {req(18, 136, 12, Bytes{1, 3, 0, 0, 0} + padded("a.bin", 128) + Bytes{1, 2, 3})}, 0x8000, 18, {},
         {"KAVOR_FTM_MMC_FILE_ACCESS(iAccessType = 1, iMMC_DataLength = 3, psFileName = a.bin)"},
         {"\tKAVOR_FTM_MMC_FILE_ACCESS() - Completed successfully\n",
          "\tKAVOR_FTM_MMC_FILE_ACCESS() - SendSync() fail (error code = 5)",
          "\tKAVOR_FTM_MMC_FILE_ACCESS() - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_MMC_FILE_ACCESS() - SendSync() fail (error code = 0)"},
         12, true, [](const Outs&, Phone& p) { EXPECT_EQ(qmsl_sim::ext_ftm(p).mmc_files["a.bin"], (Bytes{1, 2, 3})); }},
        {"SetLowPowerMode1", [](QmslHandle h, Outs&) { return KAVOR_FTM_SET_LOW_POWER_MODE(h, 1); },
         {req(19, 1, 12, {1})}, 0x8000, 19, {}, {"KAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 1)"},
         {"\tKAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 1)  - Completed successfully\n",
          "\tKAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 1) - error code = 5",
          "\tKAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 1) - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = 1) - error code = 0"},
         12},
        {"TestIrdaTxRx", [](QmslHandle h, Outs& o) { return KAVOR_FTM_TEST_IRDA_TX_RX(h, 2, 1000, &o.u32a, &o.u32b); },
         {req(1340, 12, 12, {0, 2, 12}, 0x8001), req(1354, 12, 12, {0, 5, 12}, 0x8001)}, 0x8001, 1354,
         {0x11, 0, 0, 0, 0x22, 0, 0, 0}, {"KAVOR_FTM_TEST_IRDA_TX_RX(iTestMode = 2, iDuration = 1000)"},
         lines("KAVOR_FTM_TEST_IRDA_TX_RX(iTestMode = 2, iDuration = 1000)"), 18, false,
         [](const Outs& o, Phone&) {
             EXPECT_EQ(o.u32a, 0x11u);
             EXPECT_EQ(o.u32b, 0x22u);
         }},
        {"TuneFmRadio", [](QmslHandle h, Outs& o) { return KAVOR_FTM_TUNE_FM_RADIO(h, 0x1234, &o.u16a); },
         {req(28, 2, 12, {0x34, 0x12})}, 0x8000, 28, {}, {"KAVOR_FTM_TUNE_FM_RADIO(iChannel = 4660)"},
         lines("KAVOR_FTM_TUNE_FM_RADIO(iChannel = 4660)"), 12, true, {}, {},
         [](const Outs& o) { EXPECT_EQ(o.u16a, 5); }},
        {"SetLcdBacklightLevel", [](QmslHandle h, Outs&) { return KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(h, 4); },
         {req(30, 1, 12, {4})}, 0x8000, 30, {}, {"KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(iLevel = 4)"},
         lines("KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(iLevel = 4)"), 11},
        {"SetFlashLightLevel", [](QmslHandle h, Outs&) { return KAVOR_FTM_SET_FLASH_LIGHT_LEVEL(h, 0x0102); },
         {req(150, 2, 13, {2, 1})}, 0x8000, 150, {}, {"KAVOR_FTM_SET_FLASH_LIGHT_LEVEL(iLevel = 258)"},
         lines("KAVOR_FTM_SET_FLASH_LIGHT_LEVEL(iLevel = 258)"), 11},
        {"GetHwId", [](QmslHandle h, Outs& o) { return KAVOR_FTM_GET_HW_ID(h, &o.u16a); }, {req(29, 0, 14)}, 0x8000, 29,
         {0, 0, 5, 0}, {"KAVOR_FTM_GET_HW_ID()", "QLIB_DIAG_EXT_BUILD_ID_F()"}, lines("KAVOR_FTM_GET_HW_ID()"), 14, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(o.u16a, 5); }},
        {"StartAgpsCtonMeas", [](QmslHandle h, Outs& o) { return KAVOR_FTM_START_AGPS_CTON_MEAS(h, &o.u16a); },
         {req(31, 0, 12)}, 0x8000, 31, {9, 0}, {"KAVOR_FTM_START_AGPS_CTON_MEAS()"},
         lines("KAVOR_FTM_START_AGPS_CTON_MEAS()"), 12, false, [](const Outs& o, Phone&) { EXPECT_EQ(o.u16a, 9); }},
        {"GetAgpsCtonMeas",
         [](QmslHandle h, Outs& o) {
             o.u16b = 0xFFFF;
             return KAVOR_FTM_GET_AGPS_CTON_MEAS(h, &o.u16a, &o.u16b);
         },
         {req(32, 0, 14)}, 0x8000, 32, {0, 0, 0x34, 0x12}, {"KAVOR_FTM_GET_AGPS_CTON_MEAS()"},
         lines("KAVOR_FTM_GET_AGPS_CTON_MEAS()"), 12, false,
         [](const Outs& o, Phone&) {
             EXPECT_EQ(o.u16a, 0x1234);
             EXPECT_EQ(o.u16b, 0);
         },
         {}, {}, [](const Outs& o) { EXPECT_EQ(o.u16b, 187); }},
        {"IrdaHighCurrentTest",
         [](QmslHandle h, Outs& o) {
             o.u16b = 0xFFFF;
             return KAVOR_FTM_IRDA_HIGH_CURRENT_TEST(h, &o.u16b, 63000);
         },
         {req(33, 2, 12, {0x18, 0xF6})}, 0x8000, 33, {}, {"KAVOR_FTM_IRDA_HIGH_CURRENT_TEST(iIrdaLength_ms = 63000)"},
         lines("KAVOR_FTM_IRDA_HIGH_CURRENT_TEST()"), 0, false,
         [](const Outs& o, Phone& p) {
             EXPECT_EQ(o.u16b, 0);
             EXPECT_EQ(p.calls("QLIB_SendSync").back().args[1], 66000);  // no 16-bit wrap
         },
         {}, {}, [](const Outs& o) { EXPECT_EQ(o.u16b, 187); }},
        {"TestCameraFlash", [](QmslHandle h, Outs& o) { return KAVOR_FTM_TEST_CAMERA_FLASH(h, 1, 2, &o.u16b); },
         {req(38, 2, 12, {1, 2})}, 0x8000, 38, {}, {"KAVOR_FTM_TEST_CAMERA_FLASH(1, 2)"},
         lines("KAVOR_FTM_TEST_CAMERA_FLASH()"), 0, false, {}, {}, {}, [](const Outs& o) { EXPECT_EQ(o.u16b, 187); }},
        {"I2cSetCameraFocus", [](QmslHandle h, Outs&) { return KAVOR_FTM_I2C_SET_CAMERA_FOCUS(h, 3); },
         {req(247, 1, 12, {3})}, 0x8000, 247, {}, {"KAVOR_FTM_SET_I2C_CAMERA_FOCUS(focusLevel = 3)"},
         lines("KAVOR_FTM_SET_I2C_CAMERA_FOCUS(focusLevel = 3)"), 12},
        {"GetCameraIdString", [](QmslHandle h, Outs& o) { return KAVOR_FTM_GetCameraIDString(h, o.text); },
         {req(206, 10, 35)}, 0x8000, 206, padded("CAM-0001", 25), {"KAVOR_FTM_GetCameraIDString() - Started"},
         lines("KAVOR_FTM_GetCameraIDString()"), 35, false,
         [](const Outs& o, Phone&) { EXPECT_STREQ(o.text, "CAM-0001"); }},
        {"LtmGetCameraIdString", [](QmslHandle h, Outs& o) { return KAVOR_LTM_GetCameraIdString(h, o.text); },
         {req(1338, 10, 35, {}, 0x8001)}, 0x8001, 1338, padded("LTM-CAM", 25), {"KAVOR_LTM_GetCameraIdString() - Started"},
         lines("KAVOR_LTM_GetCameraIdString()"), 35, false,
         [](const Outs& o, Phone&) { EXPECT_STREQ(o.text, "LTM-CAM"); }},
        {"HeadsetAmpRead",
         [](QmslHandle h, Outs& o) {
             o.u32a = 0x55;
             return KAVOR_FTM_HEADSET_AMP_READ(h, &o.u32a);
         },
         {req(215, 4, 14, {0x55, 0, 0, 0})}, 0x8000, 215, {}, {"KAVOR_FTM_HEADSET_AMP_READ(iHeadsetReg = 85)"},
         {"\tKAVOR_FTM_HEADSET_AMP_READ(iHeadsetReg = 85) - Completed successfully\n", "",
          "\tKAVOR_FTM_HEADSET_AMP_READ(iHeadsetReg = 85) - error code = 187", ""},
         0, false},
        {"HeadsetAmpWrite",
         [](QmslHandle h, Outs& o) {
             o.u32a = 0x80000001u;
             return KAVOR_FTM_HEADSET_AMP_WRITE(h, &o.u32a);
         },
         {req(216, 4, 14, {1, 0, 0, 0x80})}, 0x8000, 216, {},
         {"KAVOR_FTM_HEADSET_AMP_WRITE(iHeadsetReg = -2147483647)"},
         {"\tKAVOR_FTM_HEADSET_AMP_WRITE(iHeadsetReg = 2147483649) - Completed successfully\n", "",
          "\tKAVOR_FTM_HEADSET_AMP_WRITE(iHeadsetReg = 2147483649) - error code = 187", ""},
         0, false},
        {"GgReadReg", [](QmslHandle h, Outs& o) { return KAVOR_FTM_GG_READ_REG(h, 2, &o.u8a, &o.u16a); },
         {req(207, 4, 14, {2, 0, 0, 0})}, 0x8000, 207, {0, 0, 0x34, 0x12},
         {"KAVOR_FTM_GG_READ_REG(eNum = 2, sStatus = 0, iValue = 0)"},
         {"\tKAVOR_FTM_GG_READ_REG(eNum = 2, sStatus = 0, iValue = 4660) - Completed successfully\n",
          "\tKAVOR_FTM_GG_READ_REG(eNum = 2, sStatus = 5, iValue = 4660) - Wrong status (5)\n",
          "\tKAVOR_FTM_GG_READ_REG(eNum = 2, sStatus = 0, iValue = 0) - error code = 187\n",
          "\tKAVOR_FTM_GG_READ_REG(eNum = 2, sStatus = 0, iValue = 0) - error code = 0"},
         13, true, [](const Outs& o, Phone&) { EXPECT_EQ(o.u16a, 0x1234); }, {},
         [](const Outs& o) { EXPECT_EQ(o.u8a, 5); }},
        {"GgMode",
         [](QmslHandle h, Outs& o) {
             o.u8a = 1;
             return KAVOR_FTM_GG_MODE(h, &o.u8a);
         },
         {req(208, 1, 11, {1})}, 0x8000, 208, {}, {"KAVOR_FTM_GG_MODE(iSwitch = 1)"},
         lines("KAVOR_FTM_GG_MODE(iSwitch = 1)"), 11, false},
        {"RtcStart", [](QmslHandle h, Outs& o) { return KAVOR_FTM_RTC_START(h, &o.u8a, 300); },
         {req(213, 3, 13, {0, 0x2C, 0x01})}, 0x8000, 213, {}, {"KAVOR_FTM_RTC_START(bStatus = 0, iTime = 300)"},
         {"\tKAVOR_FTM_RTC_START(bStatus = 0, iTime = 300) - Completed successfully\n",
          "\tKAVOR_FTM_RTC_START(bStatus = 5, iTime = 300) - Wrong status (5)\n",
          "\tKAVOR_FTM_RTC_START(bStatus = 0, iTime = 300) - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_RTC_START(bStatus = 0, iTime = 300) - error code = 0"},
         15, true, {}, {}, [](const Outs& o) { EXPECT_EQ(o.u8a, 5); }},
        {"RtcOscCtrl", [](QmslHandle h, Outs& o) { return KAVOR_FTM_RTC_OSC_CTRL(h, &o.u8a, 1); },
         {req(214, 2, 12, {0, 1})}, 0x8000, 214, {}, {"KAVOR_FTM_RTC_OSC_CTRL(bStatus = 0, bSwitch = 1)"},
         {"\tKAVOR_FTM_RTC_OSC_CTRL(bStatus = 0, bSwitch = 1) - Completed successfully\n",
          "\tKAVOR_FTM_RTC_OSC_CTRL(bStatus = 5, bSwitch = 1) - Wrong status (5) = 5",
          "\tKAVOR_FTM_RTC_OSC_CTRL(bStatus = 0, bSwitch = 1) - SendSync() fail (error code = 187)",
          "\tKAVOR_FTM_RTC_OSC_CTRL(bStatus = 0, bSwitch = 1) - error code = 0"},
         12, true, {}, {}, [](const Outs& o) { EXPECT_EQ(o.u8a, 5); }},
        {"TracerControl", [](QmslHandle h, Outs&) { return KAVOR_FTM_TRACER_CONTROL(h, 1, 0); },
         {req(217, 2, 12, {1, 0})}, 0x8000, 217, {}, {"KAVOR_FTM_TRACER_CONTROL(bStatus = 1, bSwitch = 0)"},
         lines("KAVOR_FTM_TRACER_CONTROL(bStatus = 1, bSwitch = 0)"), 0, false},
        {"FmRadioScanAllRf",
         [](QmslHandle h, Outs& o) { return KAVOR_FTM_FM_RADIO_SCAN_ALL_RF(h, &o.u8a, &o.u8b, &o.u8c, o.list); },
         {req(202, 111, 111, Bytes{0, 2} + z99)}, 0x8000, 202,
         fmBody(0, {{13, 1}, {14, 3}, {15, 0x22}, {16, 0x11}, {17, 0x44}, {18, 0x33}, {19, 0x66}, {20, 0x55}}),
         {"KAVOR_FTM_FM_RADIO_SCAN_RF()"}, lines("KAVOR_FTM_FM_RADIO_SCAN_ALL_RF()", "\n"), 111, true,
         [](const Outs& o, Phone& p) {
             EXPECT_EQ(o.u8b, 1);
             EXPECT_EQ(o.u8c, 3);
             EXPECT_EQ(o.list[0], 0x1122);
             EXPECT_EQ(o.list[1], 0x3344);
             EXPECT_EQ(o.list[2], 0x5566);
             EXPECT_EQ(o.list[3], 0);
             EXPECT_EQ(p.calls("QLIB_SendSync").back().args[1], 20000);
         },
         {}, [](const Outs& o) { EXPECT_EQ(o.u8a, 5); }},
        {"FmRadioGetStationInfo",
         [](QmslHandle h, Outs& o) {
             return KAVOR_FTM_FM_RADIO_GET_STATION_INFO(h, &o.u8a, &o.u8b, &o.u16a, &o.u8c, &o.u8d, &o.u16b, &o.u8e,
                                                        &o.u8f, &o.u8g, &o.u8h, &o.u16c);
         },
         {req(202, 111, 111, Bytes{0, 0} + z99)}, 0x8000, 202,
         fmBody(0, {{13, 1}, {14, 0x02}, {15, 0x03}, {16, 4}, {17, 5}, {18, 0x06}, {19, 0x07}, {20, 8}, {21, 9},
                    {22, 10}, {23, 11}, {24, 0x0C}, {25, 0x0D}}),
         {"KAVOR_FTM_FM_RADIO_GET_STATION_INFO()"}, lines("KAVOR_FTM_FM_RADIO_GET_STATION_INFO()", "\n"), 111, true,
         [](const Outs& o, Phone&) {
             EXPECT_EQ(o.u8b, 1);
             EXPECT_EQ(o.u16a, 0x0302);
             EXPECT_EQ(o.u8c, 4);
             EXPECT_EQ(o.u8d, 5);
             EXPECT_EQ(o.u16b, 0x0706);
             EXPECT_EQ(o.u8e, 8);
             EXPECT_EQ(o.u8f, 9);
             EXPECT_EQ(o.u8g, 10);
             EXPECT_EQ(o.u8h, 11);
             EXPECT_EQ(o.u16c, 0x0D0C);
         }},
        {"FmRadioGetProgramInfo",
         [](QmslHandle h, Outs& o) {
             return KAVOR_FTM_FM_RADIO_GET_PROGRAM_INFO(h, &o.u8a, &o.u16a, &o.u8b, o.text, &o.u8c, &o.u8d);
         },
         {req(202, 111, 111, Bytes{0, 1} + z99)}, 0x8000, 202,
         fmBody(0, {{13, 0x02}, {14, 0x01}, {15, 3}, {16, 'R'}, {17, 'D'}, {18, 'S'}, {25, 7}, {26, 8}}),
         {"KAVOR_FTM_FM_RADIO_GET_STATION_INFO()"}, lines("KAVOR_FTM_FM_RADIO_GET_STATION_INFO()", "\n"), 111, true,
         [](const Outs& o, Phone&) {
             EXPECT_EQ(o.u16a, 0x0102);
             EXPECT_EQ(o.u8b, 3);
             EXPECT_STREQ(o.text, "RDS");
             EXPECT_EQ(o.u8c, 7);
             EXPECT_EQ(o.u8d, 8);
         }},
        {"GpioGetOut", [](QmslHandle h, Outs& o) { return KAVOR_GPIO_GET_OUT(h, 5, &o.u8a, &o.u8b); },
         {gpioReq(0, {5})}, 0, 0, {}, {"KAVOR_GPIO_GET_OUT(iGPIONum = 5, iValue = 0, iStatus = 0)"},
         gpioLines("KAVOR_GPIO_GET_OUT(iGPIONum = 5, iValue = 0, iStatus = 0)"), 0, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(o.u8a, 1); }, [](Phone& p) { qmsl_sim::ext_ftm(p).gpio[5].out = 1; },
         [](const Outs& o) {
             EXPECT_EQ(o.u8b, 5);
             EXPECT_EQ(o.u8a, 0);  // no value is read after a bad status
         }},
        {"GpioSetOut", [](QmslHandle h, Outs& o) { return KAVOR_GPIO_SET_OUT(h, 5, 1, &o.u8b); }, {gpioReq(1, {5, 1})},
         0, 1, {}, {"KAVOR_GPIO_SET_OUT(iGPIONum = 5, iValue = 1, iStatus = 0)"},
         gpioLines("KAVOR_GPIO_SET_OUT(iGPIONum = 5, iValue = 1, iStatus = 0)"), 0, true,
         [](const Outs&, Phone& p) { EXPECT_EQ(qmsl_sim::ext_ftm(p).gpio[5].out, 1); }},
        {"GpioGetIn", [](QmslHandle h, Outs& o) { return KAVOR_GPIO_GET_IN(h, 6, &o.u8a, &o.u8b); },
         {gpioReq(2, {6})}, 0, 2, {}, {"KAVOR_GPIO_GET_IN(iGPIONum = 6, iValue = 0, iStatus = 0)"},
         gpioLines("KAVOR_GPIO_GET_IN(iGPIONum = 6, iValue = 0, iStatus = 0)"), 0, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(o.u8a, 1); }, [](Phone& p) { qmsl_sim::ext_ftm(p).gpio[6].in = 1; }},
        {"GpioGetOe", [](QmslHandle h, Outs& o) { return KAVOR_GPIO_GET_OE(h, 7, &o.u8a, &o.u8b); },
         {gpioReq(3, {7})}, 0, 3, {}, {"KAVOR_GPIO_GET_OE(iGPIONum = 7, iValue = 0, iStatus = 0)"},
         gpioLines("KAVOR_GPIO_GET_OE(iGPIONum = 7, iValue = 0, iStatus = 0)"), 0, true,
         [](const Outs& o, Phone&) { EXPECT_EQ(o.u8a, 1); }, [](Phone& p) { qmsl_sim::ext_ftm(p).gpio[7].oe = 1; }},
        {"GpioSetOe", [](QmslHandle h, Outs& o) { return KAVOR_GPIO_SET_OE(h, 7, 1, &o.u8b); }, {gpioReq(4, {7, 1})},
         0, 4, {}, {"KAVOR_GPIO_SET_OE(iGPIONum = 7, iValue = 1, iStatus = 0)"},
         gpioLines("KAVOR_GPIO_SET_OE(iGPIONum = 7, iValue = 1, iStatus = 0)"), 0, true,
         [](const Outs&, Phone& p) { EXPECT_EQ(qmsl_sim::ext_ftm(p).gpio[7].oe, 1); }},
        {"GpioGetCfg",
         [](QmslHandle h, Outs& o) { return KAVOR_GPIO_GET_CFG(h, 8, &o.u8a, &o.u8b, &o.u8c, &o.u8d, &o.u8e); },
         {gpioReq(5, {8})}, 0, 5, {},
         {"KAVOR_GPIO_GET_CFG(iGPIONum = 8, iSelect = 0, iPullUD = 0, iPullEn = 0, iDir = 0, iStatus = 0)"},
         gpioLines("KAVOR_GPIO_GET_CFG(iGPIONum = 8, iSelect = 0, iPullUD = 0, iPullEn = 0, iDir = 0, iStatus = 0)"), 0,
         true,
         [](const Outs& o, Phone&) {
             EXPECT_EQ(o.u8a, 1);
             EXPECT_EQ(o.u8b, 2);
             EXPECT_EQ(o.u8c, 3);
             EXPECT_EQ(o.u8d, 4);
         },
         [](Phone& p) { qmsl_sim::ext_ftm(p).gpio[8] = {0, 0, 0, 1, 2, 3, 4}; }},
        {"GpioSetCfg", [](QmslHandle h, Outs& o) { return KAVOR_GPIO_SET_CFG(h, 8, 1, 2, 3, 4, &o.u8e); },
         {gpioReq(6, {8, 1, 2, 3, 4})}, 0, 6, {},
         {"KAVOR_GPIO_SET_CFG(iGPIONum = 8, iSelect = 1, iPullUD = 2, iPullEn = 3, iDir = 4, iStatus = 0)"},
         gpioLines("KAVOR_GPIO_SET_CFG(iGPIONum = 8, iSelect = 1, iPullUD = 2, iPullEn = 3, iDir = 4, iStatus = 0)"), 0,
         true,
         [](const Outs&, Phone& p) {
             const auto& pin = qmsl_sim::ext_ftm(p).gpio[8];
             EXPECT_EQ(pin.select, 1);
             EXPECT_EQ(pin.pull_ud, 2);
             EXPECT_EQ(pin.pull_en, 3);
             EXPECT_EQ(pin.dir, 4);
         }},
    };
}

class FtmCommandTable : public FtmFixture, public ::testing::WithParamInterface<Row> {
protected:
    void prepare(bool goodBody = true) {
        const Row& r = GetParam();
        if (r.setup) r.setup(phone());
        if (goodBody && !r.body.empty()) ftm().bodies[{r.group, r.id}] = r.body;
    }
    void injectStatus() {
        const Row& r = GetParam();
        if (r.group == 0)
            ftm().gpio_status[r.id] = 5;
        else
            ftm().statuses[{r.group, r.id}] = 5;
    }
    Outs outs;
};

TEST_P(FtmCommandTable, GoodReply) {
    const Row& r = GetParam();
    prepare();
    EXPECT_EQ(r.call(h, outs), 1);
    EXPECT_EQ(requests(), r.requests);
    if (r.check) r.check(outs, phone());
    EXPECT_EQ(log(), withResult(r.callLines, r.result.ok));
}

// Rows whose reply carries a status that decides the result.
class FtmCommandStatus : public FtmCommandTable {};

TEST_P(FtmCommandStatus, ErrorStatus) {
    const Row& r = GetParam();
    prepare();
    injectStatus();
    EXPECT_EQ(r.call(h, outs), 0);
    if (r.checkError) r.checkError(outs);
    EXPECT_EQ(log(), withResult(r.callLines, r.result.error));
}

TEST_P(FtmCommandTable, NoReply) {
    const Row& r = GetParam();
    prepare();
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply});
    EXPECT_EQ(r.call(h, outs), 0);
    if (r.checkFail) r.checkFail(outs);
    // The first request went out; nothing follows a failed send.
    EXPECT_EQ(requests(), std::vector<Bytes>{r.requests.front()});
    EXPECT_EQ(log(), withResult(r.callLines, r.result.fail));
}

// Rows that read fields or a status from their reply.
class FtmCommandShort : public FtmCommandTable {};

TEST_P(FtmCommandShort, ShortReplyFails) {
    const Row& r = GetParam();
    prepare();
    const Outs before = outs;
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::ShortReply, r.needed - 1});
    EXPECT_EQ(r.call(h, outs), 0);
    EXPECT_EQ(log(), withResult(r.callLines, r.result.shortReply));
    // Nothing is decoded from a reply too short for its fields.
    EXPECT_EQ(std::memcmp(outs.list, before.list, sizeof outs.list), 0);
    EXPECT_EQ(outs.u32a, before.u32a);
    EXPECT_EQ(outs.u16a, before.u16a);
}

std::vector<Row> rowsWhere(bool (*keep)(const Row&)) {
    std::vector<Row> out;
    for (Row& r : rows())
        if (keep(r)) out.push_back(std::move(r));
    return out;
}
std::string rowName(const ::testing::TestParamInfo<Row>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Commands, FtmCommandTable, ::testing::ValuesIn(rows()), rowName);
INSTANTIATE_TEST_SUITE_P(Commands, FtmCommandStatus,
                         ::testing::ValuesIn(rowsWhere([](const Row& r) { return r.hasStatus; })), rowName);
INSTANTIATE_TEST_SUITE_P(Commands, FtmCommandShort,
                         ::testing::ValuesIn(rowsWhere([](const Row& r) { return r.needed > 0; })), rowName);

} // namespace
