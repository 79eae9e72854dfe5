// The GPIO commands: one request shape per operation, one-byte fields, and a
// one-byte status at the reply's end.
#include "FtmChannel.h"

namespace kavor {

using namespace ftm;

namespace {

constexpr std::uint16_t kGpioSubcommand = 0x0100;
enum GpioOperation : std::uint32_t { GetOut = 0, SetOut = 1, GetIn = 2, GetOe = 3, SetOe = 4, GetCfg = 5, SetCfg = 6 };

int value(const unsigned char* p) { return p ? *p : 0; }

} // namespace

bool FtmChannel::gpio(std::uint32_t operation, const char* callText, std::initializer_list<std::uint8_t> request,
                      std::initializer_list<unsigned char*> values, unsigned char* iStatus) {
    logCall("%s", callText);
    buildGpioRequest(kGpioSubcommand, operation);
    for (std::uint8_t v : request) buffer_->pushU8(v);
    std::uint8_t errorByte = 0;
    if (!send(errorByte)) {
        logCall("\t%s - error code = %d", callText, errorByte);
        return false;
    }
    // The status is the reply's last byte; the values in front of it are
    // read only after a good status, so only they need the rest of the reply.
    std::uint8_t status = 0;
    if (!buffer_->popU8(status)) {
        logCall("\t%s - error code = %d", callText, 0);
        return false;
    }
    if (iStatus) *iStatus = status;
    if (status != 0) {
        logCall("\t%s - Wrong status = %i", callText, status);
        return false;
    }
    if (buffer_->replyLength() < values.size() + 1) {
        logCall("\t%s - error code = %d", callText, 0);
        return false;
    }
    for (unsigned char* dest : values) {
        std::uint8_t v = 0;
        buffer_->popU8(v);
        if (dest) *dest = v;
    }
    logCall("\t%s - Completed successfully\n", callText);
    return true;
}

namespace {
// The call lines of the three reading and two writing one-value operations.
Line oneValueLine(const char* name, unsigned char num, int v, const unsigned char* iStatus) {
    return Line("%s(iGPIONum = %i, iValue = %i, iStatus = %i)", name, num, v, value(iStatus));
}
} // namespace

bool FtmChannel::gpioGetOut(unsigned char iGPIONum, unsigned char* iValue, unsigned char* iStatus) {
    return gpio(GetOut, oneValueLine("KAVOR_GPIO_GET_OUT", iGPIONum, value(iValue), iStatus).text, {iGPIONum}, {iValue},
                iStatus);
}
bool FtmChannel::gpioGetIn(unsigned char iGPIONum, unsigned char* iValue, unsigned char* iStatus) {
    return gpio(GetIn, oneValueLine("KAVOR_GPIO_GET_IN", iGPIONum, value(iValue), iStatus).text, {iGPIONum}, {iValue},
                iStatus);
}
bool FtmChannel::gpioGetOe(unsigned char iGPIONum, unsigned char* iValue, unsigned char* iStatus) {
    return gpio(GetOe, oneValueLine("KAVOR_GPIO_GET_OE", iGPIONum, value(iValue), iStatus).text, {iGPIONum}, {iValue},
                iStatus);
}
bool FtmChannel::gpioSetOut(unsigned char iGPIONum, unsigned char iValue, unsigned char* iStatus) {
    return gpio(SetOut, oneValueLine("KAVOR_GPIO_SET_OUT", iGPIONum, iValue, iStatus).text, {iGPIONum, iValue}, {},
                iStatus);
}
bool FtmChannel::gpioSetOe(unsigned char iGPIONum, unsigned char iValue, unsigned char* iStatus) {
    return gpio(SetOe, oneValueLine("KAVOR_GPIO_SET_OE", iGPIONum, iValue, iStatus).text, {iGPIONum, iValue}, {},
                iStatus);
}

bool FtmChannel::gpioGetCfg(unsigned char iGPIONum, unsigned char* iSelect, unsigned char* iPullUD,
                            unsigned char* iPullEn, unsigned char* iDir, unsigned char* iStatus) {
    const Line call("KAVOR_GPIO_GET_CFG(iGPIONum = %i, iSelect = %i, iPullUD = %i, iPullEn = %i, iDir = %i, iStatus = %i)",
                    iGPIONum, value(iSelect), value(iPullUD), value(iPullEn), value(iDir), value(iStatus));
    // Popped from the end: the direction comes last in the reply.
    return gpio(GetCfg, call.text, {iGPIONum}, {iDir, iPullEn, iPullUD, iSelect}, iStatus);
}

bool FtmChannel::gpioSetCfg(unsigned char iGPIONum, unsigned char iSelect, unsigned char iPullUD, unsigned char iPullEn,
                            unsigned char iDir, unsigned char* iStatus) {
    const Line call("KAVOR_GPIO_SET_CFG(iGPIONum = %i, iSelect = %i, iPullUD = %i, iPullEn = %i, iDir = %i, iStatus = %i)",
                    iGPIONum, iSelect, iPullUD, iPullEn, iDir, value(iStatus));
    return gpio(SetCfg, call.text, {iGPIONum, iSelect, iPullUD, iPullEn, iDir}, {}, iStatus);
}

} // namespace kavor
