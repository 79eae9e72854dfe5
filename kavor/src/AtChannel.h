// The AT command channel of one connection: builds the text request
// ("AT", command text, fields, CR, NUL) in its packet buffer, sends it on the
// vendor library's raw channel, judges the reply (AT status and echo offset)
// and reads values out of it. Every AT command is a row of data (AtRows.h)
// run by one engine (AtEngine.cpp); the members below are generated from the
// export rows in kavor_at.inc.
#pragma once

#include "AtRows.h"
#include "PacketChannel.h"
#include "qmsl.h"

#include <cstddef>
#include <cstdint>
#include <span>

// (parameters after the handle) from a row's full parameter list.
#define KAVOR_AT_DROP_HANDLE(handle, ...) (__VA_ARGS__)

namespace kavor {

class AtChannel : public PacketChannel {
public:
    static constexpr std::uint32_t kDefaultTimeoutMs = 3000;

    using PacketChannel::PacketChannel;

    // Resets the packet buffer and starts the request with "AT".
    void beginCommand();
    // Sends the request and judges the reply; false when the vendor library
    // delivered none (the status and the echo offset then stay as they were).
    bool send(std::uint16_t& atStatus) { return sendWithTimeout(kDefaultTimeoutMs, atStatus); }
    bool sendWithTimeout(std::uint32_t milliseconds, std::uint16_t& atStatus);

    // 0 when the last reply began with the echo of its command line, else
    // minus the length of that line (without its NUL).
    std::int32_t echoOffset() const { return echoOffset_; }

    // The one bounded reply reader: the byte at a table position moved by the
    // echo offset; 0 (NUL) for a place before the first byte or at or after
    // the received length.
    std::uint8_t byteAt(int position) const { return rawByteAt(position + echoOffset_); }
    // The same at a place counted from the first reply byte, not moved.
    std::uint8_t rawByteAt(int index) const;
    // digit rule: '0'..'9' give 0..9, any other byte 0.
    int digitAt(int position) const;
    int twoDigitAt(int position) const { return digitAt(position) * 10 + digitAt(position + 1); }

    // Raw reply places (counted from the first reply byte, not moved).
    int replyLength() const { return buffer_->replyLength(); }
    // The raw place of a table position.
    int placeOf(int position) const { return position + echoOffset_; }
    static bool isDigit(std::uint8_t b) { return b >= '0' && b <= '9'; }
    bool digitAtRaw(int index) const { return isDigit(rawByteAt(index)); }
    // The first place at or after `from` holding byte b; -1 when the reply has none.
    int find(int from, std::uint8_t b) const;
    // The last place of the reply holding a digit; -1 when there is none.
    int lastDigit() const;
    // The number made of the digits from `index` on; `index` moves to the
    // first non-digit. No digit gives 0.
    long long digitsAt(int& index) const;
    // Copies the bytes from `index` up to the stop byte or the end of the
    // reply, at most room - 1 of them, then a NUL; the place where it stopped.
    int copyUpTo(int index, std::uint8_t stop, char* dest, std::size_t room) const;

    // The commands, one member per export row.
#define KAVOR_EXPORT(family, name, member, params, args) bool member KAVOR_AT_DROP_HANDLE params;
#include "kavor_at.inc"
#undef KAVOR_EXPORT

private:
    // Runs one command row: call line, request, send, reading.
    bool run(const at::Command& row, std::span<const at::Arg> args);
    // Appends the row's fields by their writing rules; false when a field is
    // refused or the request would not fit.
    bool appendFields(const at::Command& row, std::span<const at::Arg> args);
    bool append(const void* bytes, std::size_t n);
    void readValues(const at::Command& row, std::span<const at::Arg> args) const;

    std::int32_t echoOffset_ = 0;
};

} // namespace kavor
