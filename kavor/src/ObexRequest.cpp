// Building OBEX requests: big-endian numbers, the Name and Time headers and
// the length fixed up once the request is complete.
#include "ObexChannel.h"

#include "pclock.h"

#include <ctime>
#include <string>

namespace kavor::obex {

Request::Request(PacketBuffer& b, std::uint8_t opcode) : b_(b), bytes_{opcode, 0, 0} {}

Request& Request::u8(std::uint8_t v) { return bytes(&v, 1); }

Request& Request::u16(std::uint16_t v) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    return bytes(b, 2);
}

Request& Request::u32(std::uint32_t v) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                               static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    return bytes(b, 4);
}

Request& Request::bytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (n) bytes_.insert(bytes_.end(), p, p + n);
    return *this;
}

Request& Request::text16(const std::string& text) {
    for (char c : text) u8(0).u8(static_cast<std::uint8_t>(c));
    return *this;
}

Request& Request::name(const std::string& text) {
    const std::size_t length = 3 + wide(text) + 2;
    if (length > 0xFFFF) fits_ = false;
    return u8(kName).u16(static_cast<std::uint16_t>(length)).text16(text).u16(0);
}

Request& Request::time() {
    const std::time_t now = static_cast<std::time_t>(pclock::utc_now_s());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &utc);
    return u8(kTime).u16(static_cast<std::uint16_t>(3 + n)).bytes(text, n);
}

bool Request::finish() {
    b_.reset();
    if (!fits_ || bytes_.size() > PacketBuffer::kCapacity) return false;
    bytes_[1] = static_cast<std::uint8_t>(bytes_.size() >> 8);
    bytes_[2] = static_cast<std::uint8_t>(bytes_.size());
    return b_.pushBytes(bytes_.data(), bytes_.size());
}
std::string permissionText(int value) {
    static const char* const kTexts[] = {"R", "W", "RW", "D", "RD", "WD", "RWD"};
    if (value < 1 || value > 7) return "\"\"";
    return std::string("\"") + kTexts[value - 1] + "\"";
}

std::string slashName(const std::string& folder, const std::string& name) {
    std::string full = folder;
    for (char& c : full)
        if (c == '\\') c = '/';
    return full + name;
}

} // namespace kavor::obex
