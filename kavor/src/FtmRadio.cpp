// The three FM-radio information commands: one request with a sub-command
// byte, and a 111-byte reply block whose fields each command picks.
#include "FtmChannel.h"

#include <algorithm>
#include <cstring>

namespace kavor {

using namespace ftm;

namespace {

constexpr std::size_t kBlock = 111;
constexpr std::size_t kStatusAt = 10;
// Stations of a scan list: u16 values from B[15] to the block's end.
constexpr std::size_t kMaxStations = 48;
// Program text: from B[16] to the block's end, plus its terminator.
constexpr std::size_t kTextAt = 16;
constexpr std::size_t kMaxText = kBlock - kTextAt;

constexpr FtmCommand kScan{"KAVOR_FTM_FM_RADIO_SCAN_RF()",     202, 111, 111, StatusRule::None, 0x8000, 20000,
                           "KAVOR_FTM_FM_RADIO_SCAN_ALL_RF()", '\n'};
constexpr FtmCommand kInfo{"KAVOR_FTM_FM_RADIO_GET_STATION_INFO()", 202, 111, 111, StatusRule::None, 0x8000, 20000,
                           nullptr, '\n'};

std::uint16_t le16(const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); }

template <typename T>
void put(T* dest, T v) {
    if (dest) *dest = v;
}

} // namespace

// Sends the request and takes the block. A block that came back with a
// non-zero status byte turns into a bad status; its fields are kept.
// `decoded` tells whether the block holds a whole reply to decode: never
// after a failed send or a reply shorter than the block.
bool FtmChannel::fmBlock(const FtmCommand& c, std::uint8_t subcommand, std::uint8_t (&block)[111], bool& decoded) {
    static constexpr std::uint8_t kZeros[99] = {};
    logCall("%s", c.call);
    Outcome o = transact(c, {.request = {u8(0), u8(subcommand), bytes(kZeros, sizeof kZeros)},
                             .reply = {popBlock(block, kBlock)},
                             .replyHeader = 0});
    decoded = (o.kind == Outcome::Ok || o.kind == Outcome::BadStatus) && buffer_->replyLength() >= kBlock;
    if (o.kind == Outcome::Ok && block[kStatusAt] != 0) o = {Outcome::BadStatus, block[kStatusAt]};
    return report(c, c.result ? c.result : c.call, o);
}

bool FtmChannel::fmRadioScanAllRf(unsigned char* piStatus, unsigned char* piKind, unsigned char* piCount,
                                  unsigned short* piList) {
    std::uint8_t b[kBlock] = {};
    bool decoded = false;
    const bool ok = fmBlock(kScan, 2, b, decoded);
    if (!decoded) return ok;
    // The list never passes the block or the caller's 48 values.
    const std::uint8_t count = static_cast<std::uint8_t>(std::min<std::size_t>(b[14], kMaxStations));
    put(piStatus, b[kStatusAt]);
    put(piKind, b[13]);
    put(piCount, count);
    if (b[13] == 1 && piList)
        for (std::size_t i = 0; i < count; ++i) piList[i] = le16(b + 15 + 2 * i);
    return ok;
}

bool FtmChannel::fmRadioGetStationInfo(unsigned char* piStatus, unsigned char* piA, unsigned short* piB,
                                       unsigned char* piC, unsigned char* piD, unsigned short* piE, unsigned char* piF,
                                       unsigned char* piG, unsigned char* piH, unsigned char* piI, unsigned short* piJ) {
    std::uint8_t b[kBlock] = {};
    bool decoded = false;
    const bool ok = fmBlock(kInfo, 0, b, decoded);
    if (!decoded) return ok;
    put(piStatus, b[kStatusAt]);
    put(piA, b[13]);
    put(piB, le16(b + 14));
    put(piC, b[16]);
    put(piD, b[17]);
    put(piE, le16(b + 18));
    put(piF, b[20]);
    put(piG, b[21]);
    put(piH, b[22]);
    put(piI, b[23]);
    put(piJ, le16(b + 24));
    return ok;
}

bool FtmChannel::fmRadioGetProgramInfo(unsigned char* piStatus, unsigned short* piA, unsigned char* piB, char* sText,
                                       unsigned char* piC, unsigned char* piD) {
    std::uint8_t b[kBlock] = {};
    bool decoded = false;
    const bool ok = fmBlock(kInfo, 1, b, decoded);
    if (!decoded) return ok;
    put(piStatus, b[kStatusAt]);
    put(piA, le16(b + 13));
    put(piB, b[15]);
    if (sText) {
        // Bounded by the block and always terminated (the caller's text
        // holds kMaxText + 1 bytes).
        const char* text = reinterpret_cast<const char*>(b + kTextAt);
        const std::size_t n = strnlen(text, kMaxText);
        std::memcpy(sText, text, n);
        sText[n] = 0;
    }
    put(piC, b[25]);
    put(piD, b[26]);
    return ok;
}

} // namespace kavor
