// The extension-FTM channel of one connection: builds the maker's FTM and
// GPIO request packets, sends them through the vendor library, decodes the
// reply from its end backwards and writes a call line and one result line
// per command into the connection's text log.
#pragma once

#include "PacketChannel.h"
#include "qmsl.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

namespace kavor {

// Building blocks of the command table and of the exchange steps.
namespace ftm {

// Room of one formatted log line.
constexpr std::size_t kLogLineSize = PacketChannel::kLogLineSize;

// One request field appended after the header.
struct Field {
    enum Kind : std::uint8_t { U8, U16, U32, Bytes, U16Array } kind;
    std::uint32_t value = 0;
    const void* data = nullptr;
    std::size_t n = 0;  // bytes (Bytes) or values (U16Array)
};
inline Field u8(unsigned v) { return {Field::U8, v}; }
inline Field u16(unsigned v) { return {Field::U16, v}; }
inline Field u32(unsigned v) { return {Field::U32, v}; }
inline Field bytes(const void* p, std::size_t n) { return {Field::Bytes, 0, p, n}; }
inline Field u16Array(const std::uint16_t* p, std::size_t n) { return {Field::U16Array, 0, p, n}; }

// One reply field, popped from the reply's end. A null destination skips it.
struct Pop {
    std::size_t width;
    void* dest;
    bool isBlock = false;  // a byte block copied in reply order, not a number
};
inline Pop pop(std::uint8_t* p) { return {1, p}; }
inline Pop pop(std::uint16_t* p) { return {2, p}; }
inline Pop pop(std::uint32_t* p) { return {4, p}; }
inline Pop popBlock(void* p, std::size_t n) { return {n, p, true}; }
inline Pop skip(std::size_t n) { return {n, nullptr, true}; }

// How a command judges its reply after the field pops.
enum class StatusRule : std::uint8_t {
    U16,       // a u16 status follows the fields (popped last); 0 is success
    LastByte,  // the reply's last byte is the status; 0 is success
    None,      // no status: a delivered reply is success
};

// One command of the table: the packet header values and the log texts.
struct FtmCommand {
    const char* call;  // printf format of the call line
    std::uint16_t id;
    std::uint16_t lengthField;  // request-length field as the command gives it
    std::uint16_t replyField;   // reply-size field as the command gives it
    StatusRule status = StatusRule::U16;
    std::uint16_t group = 0x8000;
    std::uint32_t timeoutMs = 3000;
    const char* result = nullptr;    // text of the result lines when it is not the call line's
    char lead = '\t';                // first character of the result lines
    const char* success = nullptr;   // suffix of the success line
    const char* error = nullptr;     // suffix of the line reporting a bad status
    const char* sendFail = nullptr;  // suffix of the line reporting a failed send
};

// What one exchange with the phone came to.
struct Outcome {
    enum Kind { Ok, Refused, SendFailed, Short, BadStatus } kind = Ok;
    int code = 0;  // error byte of a failed send, or the bad status
};

constexpr std::uint32_t kOwnTimeout = 0xFFFFFFFF;

// The request fields and reply handling of one exchange.
struct Exchange {
    std::initializer_list<Field> request = {};
    std::initializer_list<Pop> reply = {};
    std::uint16_t* statusOut = nullptr;     // receives the u16 status as well
    std::uint16_t* errorByteOut = nullptr;  // receives the send's error byte (0 on success)
    std::uint32_t timeoutMs = kOwnTimeout;  // the command's own unless given
    std::size_t replyHeader = 10;           // reply bytes in front of the fields
};

// A log line formatted printf-style into a fixed buffer.
struct Line {
    char text[kLogLineSize];
    Line() { text[0] = 0; }
    explicit Line(const char* format, ...);
};

} // namespace ftm

class FtmChannel : public PacketChannel {
public:
    static constexpr std::uint32_t kDefaultTimeoutMs = 3000;

    using PacketChannel::PacketChannel;

    // Resets the buffer and writes the 10-byte extension-FTM header.
    void buildRequest(std::uint16_t group, std::uint16_t commandId, std::uint16_t requestLengthField,
                      std::uint16_t replySizeField);
    // Resets the buffer and writes the 8-byte GPIO header.
    void buildGpioRequest(std::uint16_t subcommand, std::uint32_t operation);
    bool send(std::uint8_t& errorByte) { return sendWithTimeout(kDefaultTimeoutMs, errorByte); }
    bool sendWithTimeout(std::uint32_t milliseconds, std::uint8_t& errorByte);

    // --- standard commands ---
    bool getHardwareVersion(unsigned int* piVersion);
    bool getNandFlashId(unsigned short* piId);
    bool irdaOnOff(unsigned char iTurnLED_On);
    bool configureSwitch(unsigned char iSwitchID, unsigned char iSwitchState);
    bool mgetAdcVal(unsigned short iADC_Channel, unsigned short iReadCount, unsigned int* piADC_Sum);
    bool simReadImsi(unsigned char* piIMSI_number);
    bool getFmRadioId(unsigned short* piChip_Id);
    bool displayImage(const char* sFileName);
    bool displayImage24Bit(const char* sFileName);
    bool readWriteFactoryData(unsigned char iOperationType, unsigned short iDataAddress, unsigned char* piData);
    bool testPmicUsb(unsigned char iUSB_UART_Mode);
    bool writeGsmTxLinearizer(unsigned char iGSM_Band, const unsigned short* piGSM_DACvsPower,
                              unsigned short iDelay_ms);
    bool rmRadioRdsTest(unsigned short* piStatus);
    bool loadRfNv(unsigned short* piStatus);
    bool getBtParam(unsigned short* piStatus, unsigned char* piParam1, unsigned char* piParam2,
                    unsigned char* piParam3);
    bool switchLcdBacklight(unsigned char iSwitchLcdOn);
    bool setLcdContrast(unsigned char iLcdContrastLevel);

    // --- commands with their own rules ---
    bool getFuelGaugeVersion(unsigned char* piVersion);
    bool i2cDataAccess2(unsigned char iI2C_AccessType, unsigned char iSecondByte, unsigned char iI2C_SlaveAddr,
                        unsigned char iI2C_RegAddrLen, unsigned short iI2C_RegAddr, unsigned char iI2C_DataLen,
                        unsigned char* piI2C_Data);
    bool i2cDataAccess(unsigned char iI2C_AccessType, unsigned char iI2C_SlaveAddr, unsigned char iI2C_RegAddrLen,
                       unsigned short iI2C_RegAddr, unsigned char iI2C_DataLen, unsigned char* piI2C_Data);
    bool simGetMode(unsigned char* SIM_MODE);
    bool simReadKcFile(unsigned char* KC_File, unsigned char* Status);
    bool simWriteKcFile(unsigned char* KC_File, unsigned char* Status);
    bool mmcFileAccess(unsigned char iAccessType, unsigned short iMMC_DataLength, const char* psFileName,
                       unsigned char* piData);
    bool setLowPowerMode(unsigned char iLowPowerMode);
    bool testIrdaTxRx(unsigned char iTestMode, unsigned int iDuration, unsigned int* piResult1,
                      unsigned int* piResult2);
    // Takes the fifteen calibration values and sends nothing: no request
    // format is defined for them.
    bool writeWcdmaRfCal(unsigned int, unsigned int, unsigned int, unsigned int, unsigned int, unsigned int,
                         unsigned int, unsigned int, unsigned int, unsigned int, unsigned int, unsigned int,
                         unsigned int, unsigned int, unsigned int);
    bool tuneFmRadio(unsigned short iChannel, unsigned short* piStatus);
    bool setLcdBacklightLevel(unsigned char iLevel);
    bool setFlashLightLevel(unsigned short iLevel);
    bool getHwId(unsigned short* piHwId);
    bool startAgpsCtonMeas(unsigned short* piStatus);
    bool getAgpsCtonMeas(unsigned short* piValue, unsigned short* piErrorByte);
    bool irdaHighCurrentTest(unsigned short* piErrorByte, unsigned short iIrdaLength_ms);
    bool testCameraFlash(unsigned char iFlashMode, unsigned char iFlashLevel, unsigned short* piErrorByte);
    bool i2cSetCameraFocus(unsigned char focusLevel);
    bool getCameraIdString(char* sCameraId);
    bool ltmGetCameraIdString(char* sCameraId);
    bool headsetAmpRead(unsigned int* iHeadsetReg);
    bool headsetAmpWrite(unsigned int* iHeadsetReg);
    bool ggReadReg(unsigned char eNum, unsigned char* sStatus, unsigned short* iValue);
    bool ggMode(unsigned char* iSwitch);
    bool rtcStart(unsigned char* bStatus, unsigned short iTime);
    bool rtcOscCtrl(unsigned char* bStatus, unsigned char bSwitch);
    bool tracerControl(unsigned char bStatus, unsigned char bSwitch);

    // --- commands that follow the phone model (FtmModelCommands.cpp) ---
    bool setKeyPadBackLight(unsigned short rowNumber, unsigned char backLightOn);
    bool getSliderState(unsigned char* sState, unsigned char modelHint);

    // --- FM-radio information blocks ---
    bool fmRadioScanAllRf(unsigned char* piStatus, unsigned char* piKind, unsigned char* piCount,
                          unsigned short* piList);
    bool fmRadioGetStationInfo(unsigned char* piStatus, unsigned char* piA, unsigned short* piB, unsigned char* piC,
                               unsigned char* piD, unsigned short* piE, unsigned char* piF, unsigned char* piG,
                               unsigned char* piH, unsigned char* piI, unsigned short* piJ);
    bool fmRadioGetProgramInfo(unsigned char* piStatus, unsigned short* piA, unsigned char* piB, char* sText,
                               unsigned char* piC, unsigned char* piD);

    // --- GPIO ---
    bool gpioGetOut(unsigned char iGPIONum, unsigned char* iValue, unsigned char* iStatus);
    bool gpioSetOut(unsigned char iGPIONum, unsigned char iValue, unsigned char* iStatus);
    bool gpioGetIn(unsigned char iGPIONum, unsigned char* iValue, unsigned char* iStatus);
    bool gpioGetOe(unsigned char iGPIONum, unsigned char* iValue, unsigned char* iStatus);
    bool gpioSetOe(unsigned char iGPIONum, unsigned char iValue, unsigned char* iStatus);
    bool gpioGetCfg(unsigned char iGPIONum, unsigned char* iSelect, unsigned char* iPullUD, unsigned char* iPullEn,
                    unsigned char* iDir, unsigned char* iStatus);
    bool gpioSetCfg(unsigned char iGPIONum, unsigned char iSelect, unsigned char iPullUD, unsigned char iPullEn,
                    unsigned char iDir, unsigned char* iStatus);

private:
    // The command pattern: call line, exchange, result line. The call line
    // and, when the row has one, the result text are formatted with args.
    template <typename... A>
    bool run(const ftm::FtmCommand& c, const ftm::Exchange& x, A... args) {
        ftm::Line call(c.call, args...);
        logCall("%s", call.text);
        const ftm::Outcome o = transact(c, x);
        if (!c.result) return report(c, call.text, o);
        ftm::Line text(c.result, args...);
        return report(c, text.text, o);
    }
    // Builds and sends one request and pops its reply fields and status.
    ftm::Outcome transact(const ftm::FtmCommand& c, const ftm::Exchange& x);
    // Writes the result line for an outcome; true for Ok.
    bool report(const ftm::FtmCommand& c, const char* text, const ftm::Outcome& o);
    // Logs lead + text + suffix, the suffix formatted with code.
    void logResult(char lead, const char* text, const char* suffix, int code);

    // Identifies the phone by handle with its start and result lines.
    bool phoneModelStep(unsigned int& phoneModel);
    bool imageCommand(const ftm::FtmCommand& c, const char* sFileName);
    bool cameraIdString(const ftm::FtmCommand& c, const char* wrongIdLine, char* sCameraId);
    bool i2cAccess(const char* name, unsigned char type, unsigned char second, unsigned char slave,
                   unsigned char regLen, unsigned short reg, unsigned char dataLen, unsigned char* data);
    bool kcFile(const ftm::FtmCommand& c, const char* name, bool write, unsigned char* kcFile, unsigned char* status);
    bool headsetAmp(const ftm::FtmCommand& c, unsigned int* reg);
    bool fmBlock(const ftm::FtmCommand& c, std::uint8_t subcommand, std::uint8_t (&block)[111], bool& decoded);
    bool gpio(std::uint32_t operation, const char* callText, std::initializer_list<std::uint8_t> request,
              std::initializer_list<unsigned char*> values, unsigned char* iStatus);
};

} // namespace kavor
