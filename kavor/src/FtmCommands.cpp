// The extension-FTM and LTM command table and the commands built on it.
// Plain commands are one row and one call of the shared pattern; commands
// with rules of their own use the same exchange and result-line steps.
#include "FtmChannel.h"
#include "qmsl_build.h"

#include <cstring>
#include <string_view>

namespace kavor {

using namespace ftm;

namespace {

using S = StatusRule;
constexpr std::uint16_t kLtm = 0x8001;
constexpr std::uint16_t kExt = 0x8000;
constexpr std::uint32_t kMs = FtmChannel::kDefaultTimeoutMs;

// clang-format off
// call line, id, request-length field, reply-size field,
// [status rule, group, time-out, result text, lead, success, error, send-failure suffixes]
constexpr FtmCommand kGetHardwareVersion{"KAVOR_FTM_GET_HARDWARE_VERSION()", 10, 0, 16};
constexpr FtmCommand kGetNandFlashId{"KAVOR_FTM_GET_NAND_FLASH_ID()", 11, 2, 14};
constexpr FtmCommand kIrdaOnOff{"KAVOR_FTM_IRDA_ON_OFF(iTurnLED_On = %d)", 12, 2, 12};
constexpr FtmCommand kConfigureSwitch{"KAVOR_FTM_CONFIGURE_SWITCH(iSwitchID = %d, iSwitchState = %d)", 14, 3, 12};
constexpr FtmCommand kMgetAdcVal{"KAVOR_FTM_MGET_ADC_VAL(iADC_Channel = %d, iReadCount = %d)", 16, 4, 16, S::U16, kExt, kMs,
                                 "KAVOR_FTM_MGET_ADC_VAL(iADC_Channel = %d, iReadCount = %d, iADC_Sum = %d)"};
constexpr FtmCommand kSimReadImsi{"KAVOR_FTM_SIM_READ_IMSI(iIMSI_number[9] = {%d, %d, %d, %d, %d, %d, %d, %d, %d })", 17, 0, 21,
                                  S::U16, kExt, kMs, "KAVOR_FTM_SIM_READ_IMSI()", '\t', nullptr, " - SendSync() fail (error code = %d)"};
constexpr FtmCommand kGetFmRadioId{"KAVOR_FTM_GET_FM_RADIO_ID()", 22, 0, 14};
constexpr FtmCommand kDisplayImage{"KAVOR_FTM_DISPLAY_IMAGE(sFileName = %.*s)", 23, 128, 12, S::U16, kExt, kMs, "KAVOR_FTM_DISPLAY_IMAGE()"};
constexpr FtmCommand kDisplayImage24{"KAVOR_FTM_DISPLAY_IMAGE_24BIT(sFileName = %.*s)", 201, 128, 12, S::U16, kExt, kMs,
                                     "KAVOR_FTM_DISPLAY_IMAGE_24BIT()"};
constexpr FtmCommand kFactoryData{"KAVOR_FTM_READ_WRITE_FACTORY_DATA(iOperationType = %d, iDataAddress = %d, iData = %d)", 21, 4, 13};
constexpr FtmCommand kTestPmicUsb{"KAVOR_FTM_TEST_PMIC_USB(iUSB_UART_Mode = %d)", 25, 0, 12, S::U16, kExt, kMs,
                                  "KAVOR_FTM_TEST_FTM_PMIC_USB(iUSB_UART_Mode = %d)"};
constexpr FtmCommand kGsmTxLinearizer{"KAVOR_FTM_WRITE_GSM_TX_LINEARIZER(iGSM_Band = %d, iDelay_ms = %d)", 26, 349, 12};
constexpr FtmCommand kRmRadioRdsTest{"KAVOR_FTM_RM_RADIO_RDS_TEST()", 34, 0, 12};
constexpr FtmCommand kLoadRfNv{"KAVOR_FTM_LOAD_RF_NV()", 35, 0, 12};
constexpr FtmCommand kGetBtParam{"KAVOR_FTM_GET_BT_PARAM()", 36, 0, 15};
constexpr FtmCommand kSwitchLcdBacklight{"KAVOR_FTM_SWITCH_LCD_BACKLIGHT(iSwitchLcdOn = %d)", 151, 1, 12};
constexpr FtmCommand kSetLcdContrast{"KAVOR_FTM_SET_LCD_CONTRAST(iLcdContrastLevel = %d)", 24, 1, 12};

constexpr FtmCommand kFuelGauge{"KAVOR_FTM_GET_FUEL_GAUGE_VERSION()", 13, 0, 13};
constexpr FtmCommand kLtmFuelGauge{"KAVOR_LTM_GET_FUEL_GAUGE_VERSION()", 1342, 10, 12, S::U16, kLtm};
constexpr FtmCommand kSimGetMode{"KAVOR_FTM_SIM_GET_MODE()", 203, 10, 12, S::None};
constexpr FtmCommand kReadKcFile{"\nKAVOR_FTM_SIM_READ_KC_FILE(KC_File = %.*s, Status = %d)", 204, 22, 22, S::None, kExt, kMs,
                                 "KAVOR_FTM_SIM_READ_KC_FILE()"};
constexpr FtmCommand kWriteKcFile{"\nKAVOR_FTM_SIM_WRITE_KC_FILE(KC_File = %.*s, Status = %d)", 205, 22, 22, S::None, kExt, kMs,
                                  "KAVOR_FTM_SIM_WRITE_KC_FILE()"};
constexpr FtmCommand kLowPowerMode{"KAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = %d)", 19, 1, 12, S::U16, kExt, kMs, nullptr, '\t',
                                   "  - Completed successfully\n"};
constexpr FtmCommand kIrdaTx{"KAVOR_FTM_TEST_IRDA_TX_RX(iTestMode = %d, iDuration = %u)", 1340, 12, 12, S::None, kLtm};
constexpr FtmCommand kIrdaRx{"KAVOR_FTM_TEST_IRDA_TX_RX(iTestMode = %d, iDuration = %u)", 1354, 12, 12, S::None, kLtm};
constexpr FtmCommand kTuneFmRadio{"KAVOR_FTM_TUNE_FM_RADIO(iChannel = %d)", 28, 2, 12};
constexpr FtmCommand kLcdBacklightLevel{"KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(iLevel = %d)", 30, 1, 12, S::LastByte};
constexpr FtmCommand kFlashLightLevel{"KAVOR_FTM_SET_FLASH_LIGHT_LEVEL(iLevel = %d)", 150, 2, 13, S::LastByte};
constexpr FtmCommand kGetHwId{"KAVOR_FTM_GET_HW_ID()", 29, 0, 14};
constexpr FtmCommand kStartAgps{"KAVOR_FTM_START_AGPS_CTON_MEAS()", 31, 0, 12, S::None};
constexpr FtmCommand kGetAgps{"KAVOR_FTM_GET_AGPS_CTON_MEAS()", 32, 0, 14, S::None};
constexpr FtmCommand kIrdaHighCurrent{"KAVOR_FTM_IRDA_HIGH_CURRENT_TEST(iIrdaLength_ms = %d)", 33, 2, 12, S::None, kExt, kMs,
                                      "KAVOR_FTM_IRDA_HIGH_CURRENT_TEST()"};
constexpr FtmCommand kCameraFlash{"KAVOR_FTM_TEST_CAMERA_FLASH(%d, %d)", 38, 2, 12, S::None, kExt, kMs, "KAVOR_FTM_TEST_CAMERA_FLASH()"};
constexpr FtmCommand kCameraFocus{"KAVOR_FTM_SET_I2C_CAMERA_FOCUS(focusLevel = %d)", 247, 1, 12};
constexpr FtmCommand kCameraId{"KAVOR_FTM_GetCameraIDString() - Started", 206, 10, 35, S::None, kExt, kMs, "KAVOR_FTM_GetCameraIDString()"};
constexpr FtmCommand kLtmCameraId{"KAVOR_LTM_GetCameraIdString() - Started", 1338, 10, 35, S::None, kLtm, kMs, "KAVOR_LTM_GetCameraIdString()"};
constexpr FtmCommand kHeadsetRead{"KAVOR_FTM_HEADSET_AMP_READ(iHeadsetReg = %d)", 215, 4, 14, S::None, kExt, kMs, nullptr, '\t', nullptr,
                                  nullptr, " - error code = %d"};
constexpr FtmCommand kHeadsetWrite{"KAVOR_FTM_HEADSET_AMP_WRITE(iHeadsetReg = %d)", 216, 4, 14, S::None, kExt, kMs,
                                   "KAVOR_FTM_HEADSET_AMP_WRITE(iHeadsetReg = %u)", '\t', nullptr, nullptr, " - error code = %d"};
constexpr FtmCommand kGgReadReg{"KAVOR_FTM_GG_READ_REG(eNum = %i, sStatus = %i, iValue = %i)", 207, 4, 14, S::None, kExt, kMs, nullptr, '\t',
                                nullptr, nullptr, " - error code = %d\n"};
constexpr FtmCommand kGgMode{"KAVOR_FTM_GG_MODE(iSwitch = %i)", 208, 1, 11, S::None};
constexpr FtmCommand kRtcStart{"KAVOR_FTM_RTC_START(bStatus = %i, iTime = %i)", 213, 3, 13, S::None};
constexpr FtmCommand kRtcOscCtrl{"KAVOR_FTM_RTC_OSC_CTRL(bStatus = %i, bSwitch = %i)", 214, 2, 12, S::None};
constexpr FtmCommand kTracerControl{"KAVOR_FTM_TRACER_CONTROL(bStatus = %d, bSwitch = %d)", 217, 2, 12, S::None};
// clang-format on

constexpr const char* kMmcText = "KAVOR_FTM_MMC_FILE_ACCESS()";
constexpr std::size_t kNameBytes = 128;

template <typename T>
int value(const T* p) {
    return p ? static_cast<int>(*p) : 0;
}

// A caller's name text in exactly 128 bytes: its characters up to the NUL
// (at most 128), then zero bytes. Never reads past the NUL.
struct NameField {
    char bytes[kNameBytes] = {};
    int length = 0;
    explicit NameField(const char* text) {
        if (!text) return;
        length = static_cast<int>(strnlen(text, kNameBytes));
        std::memcpy(bytes, text, static_cast<std::size_t>(length));
    }
};

} // namespace

// --- standard commands -------------------------------------------------------

bool FtmChannel::getHardwareVersion(unsigned int* piVersion) { return run(kGetHardwareVersion, {.reply = {pop(piVersion)}}); }
bool FtmChannel::getNandFlashId(unsigned short* piId) { return run(kGetNandFlashId, {.reply = {pop(piId)}}); }
bool FtmChannel::irdaOnOff(unsigned char iTurnLED_On) {
    return run(kIrdaOnOff, {.request = {u8(iTurnLED_On)}}, iTurnLED_On);
}
bool FtmChannel::configureSwitch(unsigned char iSwitchID, unsigned char iSwitchState) {
    return run(kConfigureSwitch, {.request = {u16(iSwitchID), u8(iSwitchState)}}, iSwitchID, iSwitchState);
}
bool FtmChannel::getFmRadioId(unsigned short* piChip_Id) { return run(kGetFmRadioId, {.reply = {pop(piChip_Id)}}); }
bool FtmChannel::displayImage(const char* sFileName) { return imageCommand(kDisplayImage, sFileName); }
bool FtmChannel::displayImage24Bit(const char* sFileName) { return imageCommand(kDisplayImage24, sFileName); }
bool FtmChannel::testPmicUsb(unsigned char iUSB_UART_Mode) {
    return run(kTestPmicUsb, {.request = {u8(iUSB_UART_Mode)}}, iUSB_UART_Mode);
}
bool FtmChannel::writeGsmTxLinearizer(unsigned char iGSM_Band, const unsigned short* piGSM_DACvsPower,
                                      unsigned short iDelay_ms) {
    return run(kGsmTxLinearizer,
               {.request = {u8(iGSM_Band), u16Array(piGSM_DACvsPower, piGSM_DACvsPower ? 174 : 0)},
                .timeoutMs = iDelay_ms},
               iGSM_Band, iDelay_ms);
}
bool FtmChannel::rmRadioRdsTest(unsigned short* piStatus) { return run(kRmRadioRdsTest, {.statusOut = piStatus}); }
bool FtmChannel::loadRfNv(unsigned short* piStatus) { return run(kLoadRfNv, {.statusOut = piStatus}); }
bool FtmChannel::getBtParam(unsigned short* piStatus, unsigned char* piParam1, unsigned char* piParam2,
                            unsigned char* piParam3) {
    return run(kGetBtParam, {.reply = {pop(piParam3), pop(piParam2), pop(piParam1)}, .statusOut = piStatus});
}
bool FtmChannel::switchLcdBacklight(unsigned char iSwitchLcdOn) {
    return run(kSwitchLcdBacklight, {.request = {u8(iSwitchLcdOn)}}, iSwitchLcdOn);
}
bool FtmChannel::setLcdContrast(unsigned char iLcdContrastLevel) {
    return run(kSetLcdContrast, {.request = {u8(iLcdContrastLevel)}}, iLcdContrastLevel);
}

bool FtmChannel::mgetAdcVal(unsigned short iADC_Channel, unsigned short iReadCount, unsigned int* piADC_Sum) {
    logCall(kMgetAdcVal.call, iADC_Channel, iReadCount);
    const Outcome o = transact(kMgetAdcVal, {.request = {u16(iADC_Channel), u16(iReadCount)}, .reply = {pop(piADC_Sum)}});
    // The result lines show the sum as it stands after the reply.
    const Line text(kMgetAdcVal.result, iADC_Channel, iReadCount, value(piADC_Sum));
    return report(kMgetAdcVal, text.text, o);
}

bool FtmChannel::simReadImsi(unsigned char* piIMSI_number) {
    auto imsiLine = [&] {
        const unsigned char* b = piIMSI_number;
        if (!b) return Line(kSimReadImsi.call, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        return Line(kSimReadImsi.call, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8]);
    };
    logCall("%s", imsiLine().text);
    const Outcome o = transact(kSimReadImsi, {.reply = {popBlock(piIMSI_number, 9)}});
    // The success line shows the nine bytes received; the others only the name.
    if (o.kind == Outcome::Ok) return report(kSimReadImsi, imsiLine().text, o);
    return report(kSimReadImsi, kSimReadImsi.result, o);
}

bool FtmChannel::readWriteFactoryData(unsigned char iOperationType, unsigned short iDataAddress, unsigned char* piData) {
    const int data = value(piData);
    if (iOperationType == 1)
        return run(kFactoryData, {.request = {u8(iOperationType), u16(iDataAddress), u8(static_cast<unsigned>(data))}},
                   iOperationType, iDataAddress, data);
    return run(kFactoryData, {.request = {u8(iOperationType), u16(iDataAddress)}, .reply = {pop(piData)}},
               iOperationType, iDataAddress, data);
}

bool FtmChannel::imageCommand(const FtmCommand& c, const char* sFileName) {
    const NameField name(sFileName);
    return run(c, {.request = {bytes(name.bytes, kNameBytes)}}, name.length, name.bytes);
}

// --- commands with their own rules -----------------------------------------

bool FtmChannel::getFuelGaugeVersion(unsigned char* piVersion) {
    logCall("%s", kFuelGauge.call);
    const Outcome o = transact(kFuelGauge, {.reply = {pop(piVersion)}});
    if (o.kind == Outcome::SendFailed) return false;
    if (report(kFuelGauge, kFuelGauge.call, o)) return true;
    // The extension status refused: the LTM request decides.
    logCall("%s", kLtmFuelGauge.call);
    const Outcome ltm = transact(kLtmFuelGauge, {.reply = {pop(piVersion)}});
    if (ltm.kind == Outcome::SendFailed) return false;
    return report(kLtmFuelGauge, kLtmFuelGauge.call, ltm);
}

bool FtmChannel::i2cDataAccess2(unsigned char iI2C_AccessType, unsigned char iSecondByte, unsigned char iI2C_SlaveAddr,
                                unsigned char iI2C_RegAddrLen, unsigned short iI2C_RegAddr, unsigned char iI2C_DataLen,
                                unsigned char* piI2C_Data) {
    return i2cAccess("KAVOR_FTM_I2C_DATA_ACCESS2", iI2C_AccessType, iSecondByte, iI2C_SlaveAddr, iI2C_RegAddrLen,
                     iI2C_RegAddr, iI2C_DataLen, piI2C_Data);
}

bool FtmChannel::i2cDataAccess(unsigned char iI2C_AccessType, unsigned char iI2C_SlaveAddr, unsigned char iI2C_RegAddrLen,
                               unsigned short iI2C_RegAddr, unsigned char iI2C_DataLen, unsigned char* piI2C_Data) {
    return i2cAccess("KAVOR_FTM_I2C_DATA_ACCESS", iI2C_AccessType, 0, iI2C_SlaveAddr, iI2C_RegAddrLen, iI2C_RegAddr,
                     iI2C_DataLen, piI2C_Data);
}

bool FtmChannel::i2cAccess(const char* name, unsigned char type, unsigned char second, unsigned char slave,
                           unsigned char regLen, unsigned short reg, unsigned char dataLen, unsigned char* data) {
    logCall("KAVOR_FTM_I2C_DATA_ACCESS(iI2C_AccessType = 0x%X, iI2C_SlaveAddr = 0x%X, iI2C_RegAddrLen = 0x%X, "
            "iI2C_RegAddr = 0x%X, iI2C_DataLen = 0x%X, piI2C_Data[0] = 0x%X)",
            type, slave, regLen, reg, dataLen, static_cast<unsigned>(value(data)));
    const Line text("%s(iI2C_AccessType = 0x%X, iI2C_SlaveAddr = 0x%X, iI2C_RegAddrLen = 0x%X, iI2C_RegAddr = 0x%X, "
                    "iI2C_DataLen = 0x%X)",
                    name, type, slave, regLen, reg, dataLen);
    // A read carries the data in its reply and a status after it; every
    // other access succeeds on the send alone.
    const bool read = type == 0;
    const FtmCommand c{"", 15, static_cast<std::uint16_t>(read ? 7 : dataLen + 7),
                       static_cast<std::uint16_t>(read ? dataLen + 12 : 12), read ? S::U16 : S::None};
    const std::size_t dataBytes = data ? dataLen : 0;
    Outcome o;
    if (read)
        o = transact(c, {.request = {u8(type), u8(second), u8(slave), u8(regLen), u16(reg), u8(dataLen)},
                         .reply = {popBlock(data, dataLen)}});
    else if (type == 1)
        o = transact(c, {.request = {u8(type), u8(second), u8(slave), u8(regLen), u16(reg), u8(dataLen),
                                     bytes(data, dataBytes)}});
    else
        o = transact(c, {.request = {u8(type), u8(second), u8(slave), u8(regLen), u16(reg), u8(dataLen)}});
    return report(c, text.text, o);
}

bool FtmChannel::simGetMode(unsigned char* SIM_MODE) {
    logCall("%s", kSimGetMode.call);
    std::uint16_t mode = 0;
    const Outcome o = transact(kSimGetMode, {.reply = {pop(&mode)}});
    if (o.kind != Outcome::Ok) return report(kSimGetMode, kSimGetMode.call, o);
    if (SIM_MODE) *SIM_MODE = static_cast<unsigned char>(mode);
    logCall("\tKAVOR_FTM_SIM_GET_MODE(SIM_MODE = %d ", mode & 0xFF);
    return true;
}

bool FtmChannel::simReadKcFile(unsigned char* KC_File, unsigned char* Status) {
    return kcFile(kReadKcFile, "KAVOR_FTM_SIM_READ_KC_FILE", false, KC_File, Status);
}
bool FtmChannel::simWriteKcFile(unsigned char* KC_File, unsigned char* Status) {
    return kcFile(kWriteKcFile, "KAVOR_FTM_SIM_WRITE_KC_FILE", true, KC_File, Status);
}

bool FtmChannel::kcFile(const FtmCommand& c, const char* name, bool write, unsigned char* kcFile, unsigned char* status) {
    constexpr std::size_t kKcBytes = 9;
    const char* kcText = reinterpret_cast<const char*>(kcFile);
    logCall(c.call, kcFile ? static_cast<int>(strnlen(kcText, kKcBytes)) : 0, kcFile ? kcText : "", value(status));
    std::uint8_t replyStatus = 0;
    const std::initializer_list<Pop> reply = {popBlock(kcFile, kKcBytes), skip(1), skip(1), pop(&replyStatus)};
    const Outcome o = write && kcFile
                          ? transact(c, {.request = {u8(0), u8(0), u8(9), bytes(kcFile, kKcBytes)}, .reply = reply})
                          : transact(c, {.reply = reply});
    if (o.kind != Outcome::Ok) return report(c, c.result, o);
    if (status) *status = replyStatus;
    if (replyStatus == 0) {
        logCall("\t%s(Status = %d)", name, replyStatus);
        return true;
    }
    logCall("\t%s() - (Status = %d)", name, replyStatus);
    return false;
}

bool FtmChannel::mmcFileAccess(unsigned char iAccessType, unsigned short iMMC_DataLength, const char* psFileName,
                               unsigned char* piData) {
    const NameField name(psFileName);
    logCall("KAVOR_FTM_MMC_FILE_ACCESS(iAccessType = %d, iMMC_DataLength = %d, psFileName = %.*s)", iAccessType,
            iMMC_DataLength, name.length, name.bytes);
    const bool read = iAccessType == 0;
    const FtmCommand c{"", 18, static_cast<std::uint16_t>(read ? 133 : iMMC_DataLength + 133),
                       static_cast<std::uint16_t>(read ? iMMC_DataLength + 12 : 12), S::U16, kExt, kMs, nullptr, '\t',
                       nullptr, " - SendSync() fail (error code = %i)"};
    // A read whose data could not fit the reply area is refused unsent, as
    // is a write whose data would pass the request area (by pushBytes).
    if (read && iMMC_DataLength + 12u > PacketBuffer::kCapacity) return report(c, kMmcText, {Outcome::Refused, 0});
    Outcome o;
    if (read)
        o = transact(c, {.request = {u8(iAccessType), u32(iMMC_DataLength), bytes(name.bytes, kNameBytes)},
                         .reply = {popBlock(piData, iMMC_DataLength)}});
    else if (iAccessType == 1)
        o = transact(c, {.request = {u8(iAccessType), u32(iMMC_DataLength), bytes(name.bytes, kNameBytes),
                                     bytes(piData, piData ? iMMC_DataLength : 0)}});
    else
        o = transact(c, {.request = {u8(iAccessType), u32(iMMC_DataLength), bytes(name.bytes, kNameBytes)}});
    return report(c, kMmcText, o);
}

bool FtmChannel::setLowPowerMode(unsigned char iLowPowerMode) {
    if (iLowPowerMode != 3) return run(kLowPowerMode, {.request = {u8(iLowPowerMode)}}, iLowPowerMode);
    // Mode 3 switches the phone's diagnostics off: silence is the success.
    const Line call(kLowPowerMode.call, iLowPowerMode);
    logCall("%s", call.text);
    const Outcome o = transact(kLowPowerMode, {.request = {u8(iLowPowerMode)}, .timeoutMs = 20});
    if (o.kind == Outcome::SendFailed) {
        logCall("\t%s%s", call.text, kLowPowerMode.success);
        return true;
    }
    logCall("\t%s - Failure\n", call.text);
    return false;
}

bool FtmChannel::testIrdaTxRx(unsigned char iTestMode, unsigned int iDuration, unsigned int* piResult1,
                              unsigned int* piResult2) {
    const Line call(kIrdaTx.call, iTestMode, iDuration);
    logCall("%s", call.text);
    Outcome o = transact(kIrdaTx, {.request = {u8(0), u8(iTestMode), u8(12)}});
    if (o.kind == Outcome::Ok)
        o = transact(kIrdaRx, {.request = {u8(0), u8(5), u8(12)}, .reply = {pop(piResult2), pop(piResult1)}});
    return report(kIrdaTx, call.text, o);
}

bool FtmChannel::writeWcdmaRfCal(unsigned int, unsigned int, unsigned int, unsigned int, unsigned int, unsigned int,
                                 unsigned int, unsigned int, unsigned int, unsigned int, unsigned int, unsigned int,
                                 unsigned int, unsigned int, unsigned int) {
    logCall("KAVOR_FTM_WRITE_WCDMA_RF_CAL()");
    return false;
}

bool FtmChannel::tuneFmRadio(unsigned short iChannel, unsigned short* piStatus) {
    const Line call(kTuneFmRadio.call, iChannel);
    logCall("%s", call.text);
    Outcome o = transact(kTuneFmRadio, {.request = {u16(iChannel)}, .statusOut = piStatus});
    if (o.kind == Outcome::SendFailed && piStatus) {
        // The status is given even after a failed send: the one at the end of
        // a full reply that came back with the failure, else 0.
        std::uint16_t status = 0;
        if (buffer_->replyLength() >= kTuneFmRadio.replyField) buffer_->popU16(status);
        *piStatus = status;
    }
    // Status 3 reports a tuned channel as well.
    if (o.kind == Outcome::BadStatus && o.code == 3) o = {};
    return report(kTuneFmRadio, call.text, o);
}

bool FtmChannel::setLcdBacklightLevel(unsigned char iLevel) {
    return run(kLcdBacklightLevel, {.request = {u8(iLevel)}}, iLevel);
}
bool FtmChannel::setFlashLightLevel(unsigned short iLevel) {
    return run(kFlashLightLevel, {.request = {u16(iLevel)}}, iLevel);
}

bool FtmChannel::getHwId(unsigned short* piHwId) {
    logCall("%s", kGetHwId.call);
    unsigned int hardwareVersion = 0;
    unsigned int mobileModel = 0;
    char buildId[QMSL_BUILD_TEXT_MAX] = {};
    char modelText[QMSL_BUILD_TEXT_MAX] = {};
    if (QLIB_DIAG_EXT_BUILD_ID_F(handle_, &hardwareVersion, &mobileModel, buildId, modelText)) {
        logCall("QLIB_DIAG_EXT_BUILD_ID_F()");
        // This build identifies its hardware by name; no FTM request.
        const std::string_view build(buildId, strnlen(buildId, sizeof buildId));
        if (build.find("PalC1A") != std::string_view::npos) {
            if (piHwId) *piHwId = 8;
            return true;
        }
    }
    return report(kGetHwId, kGetHwId.call, transact(kGetHwId, {.reply = {pop(piHwId)}}));
}

bool FtmChannel::startAgpsCtonMeas(unsigned short* piStatus) { return run(kStartAgps, {.reply = {pop(piStatus)}}); }
bool FtmChannel::getAgpsCtonMeas(unsigned short* piValue, unsigned short* piErrorByte) {
    return run(kGetAgps, {.reply = {pop(piValue)}, .errorByteOut = piErrorByte});
}
bool FtmChannel::irdaHighCurrentTest(unsigned short* piErrorByte, unsigned short iIrdaLength_ms) {
    return run(kIrdaHighCurrent,
               {.request = {u16(iIrdaLength_ms)}, .errorByteOut = piErrorByte, .timeoutMs = iIrdaLength_ms + 3000u},
               iIrdaLength_ms);
}
bool FtmChannel::testCameraFlash(unsigned char iFlashMode, unsigned char iFlashLevel, unsigned short* piErrorByte) {
    return run(kCameraFlash, {.request = {u8(iFlashMode), u8(iFlashLevel)}, .errorByteOut = piErrorByte}, iFlashMode,
               iFlashLevel);
}

bool FtmChannel::i2cSetCameraFocus(unsigned char focusLevel) {
    if (focusLevel == 0) {
        logCall("KAVOR_FTM_I2C_SET_CAMERA_FOCUS(focusLevel = %d) - Focus Level out of range", focusLevel);
        return false;
    }
    return run(kCameraFocus, {.request = {u8(focusLevel)}}, focusLevel);
}

bool FtmChannel::getCameraIdString(char* sCameraId) {
    return cameraIdString(kCameraId, "\tKAVOR_FTM_GetCameraIDString() - Failure (Wrong ID String)", sCameraId);
}
bool FtmChannel::ltmGetCameraIdString(char* sCameraId) {
    return cameraIdString(kLtmCameraId, "\tKAVOR_LTM_GetCameraIdString() - Failure - Wrong ID", sCameraId);
}

bool FtmChannel::cameraIdString(const FtmCommand& c, const char* wrongIdLine, char* sCameraId) {
    constexpr std::size_t kIdBytes = 25;
    logCall("%s", c.call);
    const Outcome o = transact(c, {.reply = {popBlock(sCameraId, kIdBytes)}});
    // 0xCC in front is the phone's mark for an unreadable sensor id.
    if (o.kind == Outcome::Ok && sCameraId && static_cast<unsigned char>(sCameraId[0]) == 0xCC) {
        logCall("%s", wrongIdLine);
        return false;
    }
    return report(c, c.result, o);
}

bool FtmChannel::headsetAmpRead(unsigned int* iHeadsetReg) { return headsetAmp(kHeadsetRead, iHeadsetReg); }
bool FtmChannel::headsetAmpWrite(unsigned int* iHeadsetReg) { return headsetAmp(kHeadsetWrite, iHeadsetReg); }
bool FtmChannel::headsetAmp(const FtmCommand& c, unsigned int* reg) {
    const unsigned int v = reg ? *reg : 0;
    return run(c, {.request = {u32(v)}}, v);
}

bool FtmChannel::ggReadReg(unsigned char eNum, unsigned char* sStatus, unsigned short* iValue) {
    std::uint8_t status = static_cast<std::uint8_t>(value(sStatus));
    std::uint16_t regValue = static_cast<std::uint16_t>(value(iValue));
    logCall(kGgReadReg.call, eNum, status, regValue);
    const Outcome o =
        transact(kGgReadReg, {.request = {u8(eNum), u8(status), u16(regValue)}, .reply = {pop(&regValue), pop(&status)}});
    if (o.kind == Outcome::Ok) {
        if (iValue) *iValue = regValue;
        if (sStatus) *sStatus = status;
    }
    const Line text(kGgReadReg.call, eNum, status, regValue);
    if (o.kind == Outcome::Ok && status != 0) {
        logCall("\t%s - Wrong status (%d)\n", text.text, status);
        return false;
    }
    return report(kGgReadReg, text.text, o);
}

bool FtmChannel::ggMode(unsigned char* iSwitch) {
    const int wanted = value(iSwitch);
    const Line call(kGgMode.call, wanted);
    logCall("%s", call.text);
    std::uint8_t echo = 0;
    const Outcome o = transact(kGgMode, {.request = {u8(static_cast<unsigned>(wanted))}, .reply = {pop(&echo)}});
    if (o.kind == Outcome::Ok && echo != wanted) {
        logCall("\t%s - Wrong iSwitch value received (%i) = %d\n", call.text, echo, echo);
        return false;
    }
    return report(kGgMode, call.text, o);
}

bool FtmChannel::rtcStart(unsigned char* bStatus, unsigned short iTime) {
    std::uint8_t status = static_cast<std::uint8_t>(value(bStatus));
    std::uint16_t time = iTime;
    logCall(kRtcStart.call, status, iTime);
    const Outcome o =
        transact(kRtcStart, {.request = {u8(status), u16(iTime)}, .reply = {skip(1), skip(1), pop(&time), pop(&status)}});
    if (o.kind == Outcome::Ok && bStatus) *bStatus = status;
    const Line text(kRtcStart.call, status, time);
    if (o.kind == Outcome::Ok && status != 0) {
        logCall("\t%s - Wrong status (%d)\n", text.text, status);
        return false;
    }
    return report(kRtcStart, text.text, o);
}

bool FtmChannel::rtcOscCtrl(unsigned char* bStatus, unsigned char bSwitch) {
    std::uint8_t status = static_cast<std::uint8_t>(value(bStatus));
    std::uint8_t echo = bSwitch;
    logCall(kRtcOscCtrl.call, status, bSwitch);
    const Outcome o = transact(kRtcOscCtrl, {.request = {u8(status), u8(bSwitch)}, .reply = {pop(&echo), pop(&status)}});
    if (o.kind == Outcome::Ok && bStatus) *bStatus = status;
    const Line text(kRtcOscCtrl.call, status, echo);
    if (o.kind == Outcome::Ok && status != 0) {
        logCall("\t%s - Wrong status (%i) = %d", text.text, status, status);
        return false;
    }
    return report(kRtcOscCtrl, text.text, o);
}

bool FtmChannel::tracerControl(unsigned char bStatus, unsigned char bSwitch) {
    return run(kTracerControl, {.request = {u8(bStatus), u8(bSwitch)}}, bStatus, bSwitch);
}

} // namespace kavor
