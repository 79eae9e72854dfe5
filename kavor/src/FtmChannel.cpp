// The channel core: packet headers, the send with its error byte, the text
// log, and the exchange and result-line steps every command shares.
#include "FtmChannel.h"

#include <cstdarg>
#include <cstdio>

namespace kavor {

using namespace ftm;

namespace {
constexpr const char* kSuccess = " - Completed successfully\n";
constexpr const char* kError = " - error code = %d";
constexpr const char* kSendFail = " - SendSync() fail (error code = %i)";
constexpr const char* kRefused = " - request does not fit the packet, not sent";
} // namespace

Line::Line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
}

void FtmChannel::buildRequest(std::uint16_t group, std::uint16_t commandId, std::uint16_t requestLengthField,
                              std::uint16_t replySizeField) {
    PacketBuffer& b = *buffer_;
    b.reset();
    b.pushU8(0x4B);
    b.pushU8(0x0B);
    b.pushU16(group);
    b.pushU16(commandId);
    b.pushU16(requestLengthField);
    b.pushU16(replySizeField);
}

void FtmChannel::buildGpioRequest(std::uint16_t subcommand, std::uint32_t operation) {
    PacketBuffer& b = *buffer_;
    b.reset();
    b.pushU8(0x4B);
    b.pushU8(0x00);
    b.pushU16(subcommand);
    b.pushU32(operation);
}

bool FtmChannel::sendWithTimeout(std::uint32_t milliseconds, std::uint8_t& errorByte) {
    PacketBuffer& b = *buffer_;
    unsigned short length = b.replyLength();
    const bool ok = QLIB_SendSync(handle_, b.requestLength(), b.request(), &length, b.reply(), milliseconds) != 0;
    b.setReply(length);
    // A send that brought nothing back leaves the reset fill (0xBB = 187).
    errorByte = ok ? 0 : b.reply()[0];
    return ok;
}

void FtmChannel::logResult(char lead, const char* text, const char* suffix, int code) {
    char tail[128];
    std::snprintf(tail, sizeof tail, suffix, code);
    logCall("%c%s%s", lead, text, tail);
}

Outcome FtmChannel::transact(const FtmCommand& c, const Exchange& x) {
    PacketBuffer& b = *buffer_;
    buildRequest(c.group, c.id, c.lengthField, c.replyField);
    for (const Field& f : x.request) {
        switch (f.kind) {
        case Field::U8: b.pushU8(static_cast<std::uint8_t>(f.value)); break;
        case Field::U16: b.pushU16(static_cast<std::uint16_t>(f.value)); break;
        case Field::U32: b.pushU32(f.value); break;
        case Field::Bytes:
            if (!b.pushBytes(f.data, f.n)) return {Outcome::Refused, 0};
            break;
        case Field::U16Array: {
            if (f.n * 2 > static_cast<std::size_t>(PacketBuffer::kCapacity - b.requestLength()))
                return {Outcome::Refused, 0};
            const auto* values = static_cast<const std::uint16_t*>(f.data);
            for (std::size_t i = 0; i < f.n; ++i) b.pushU16(values[i]);
            break;
        }
        }
    }

    std::uint8_t errorByte = 0;
    const bool sent = sendWithTimeout(x.timeoutMs == kOwnTimeout ? c.timeoutMs : x.timeoutMs, errorByte);
    if (x.errorByteOut) *x.errorByteOut = errorByte;
    if (!sent) return {Outcome::SendFailed, errorByte};

    // A command that reads fields or a status needs the reply's header, the
    // fields and the status; a shorter reply would shift every field onto
    // unrelated bytes. A command that reads nothing takes any reply.
    std::size_t read = 0;
    for (const Pop& p : x.reply) read += p.width;
    if (c.status == StatusRule::U16) read += 2;
    if (c.status == StatusRule::LastByte) read += 1;
    if (read != 0 && b.replyLength() < x.replyHeader + read) return {Outcome::Short, 0};

    if (c.status == StatusRule::LastByte) {
        const std::uint8_t status = b.reply()[b.replyLength() - 1];
        return status ? Outcome{Outcome::BadStatus, status} : Outcome{};
    }
    for (const Pop& p : x.reply) {
        std::uint8_t scratch[4];
        if (p.isBlock) {
            if (p.dest) {
                b.popBytes(p.dest, p.width);
            } else {
                for (std::size_t i = 0; i < p.width; ++i) b.popU8(scratch[0]);
            }
            continue;
        }
        void* dest = p.dest ? p.dest : scratch;
        switch (p.width) {
        case 1: b.popU8(*static_cast<std::uint8_t*>(dest)); break;
        case 2: b.popU16(*static_cast<std::uint16_t*>(dest)); break;
        default: b.popU32(*static_cast<std::uint32_t*>(dest)); break;
        }
    }
    if (c.status != StatusRule::U16) return {};
    std::uint16_t status = 0;
    b.popU16(status);
    if (x.statusOut) *x.statusOut = status;
    return status ? Outcome{Outcome::BadStatus, status} : Outcome{};
}

bool FtmChannel::report(const FtmCommand& c, const char* text, const Outcome& o) {
    switch (o.kind) {
    case Outcome::Ok: logCall("%c%s%s", c.lead, text, c.success ? c.success : kSuccess); return true;
    case Outcome::Refused: logCall("%c%s%s", c.lead, text, kRefused); return false;
    case Outcome::SendFailed: logResult(c.lead, text, c.sendFail ? c.sendFail : kSendFail, o.code); return false;
    case Outcome::Short: logResult(c.lead, text, c.error ? c.error : kError, 0); return false;
    case Outcome::BadStatus: logResult(c.lead, text, c.error ? c.error : kError, o.code); return false;
    }
    return false;
}

} // namespace kavor
