#include "PacketBuffer.h"

#include <cstring>

namespace kavor {

void PacketBuffer::reset() {
    std::memset(request_, 0xAA, sizeof request_);
    std::memset(reply_, 0xBB, sizeof reply_);
    requestLength_ = 0;
    replyLength_ = kCapacity;
}

void PacketBuffer::pushU8(std::uint8_t v) {
    if (requestLength_ < kCapacity) request_[requestLength_++] = v;
}

void PacketBuffer::pushU16(std::uint16_t v) {
    if (requestLength_ >= kCapacity - 1) return;
    request_[requestLength_++] = static_cast<std::uint8_t>(v);
    request_[requestLength_++] = static_cast<std::uint8_t>(v >> 8);
}

void PacketBuffer::pushU32(std::uint32_t v) {
    if (requestLength_ >= kCapacity - 3) return;
    for (int shift = 0; shift < 32; shift += 8) request_[requestLength_++] = static_cast<std::uint8_t>(v >> shift);
}

bool PacketBuffer::pushBytes(const void* data, std::size_t n) {
    if (n > static_cast<std::size_t>(kCapacity - requestLength_)) return false;
    if (n) std::memcpy(request_ + requestLength_, data, n);
    requestLength_ = static_cast<std::uint16_t>(requestLength_ + n);
    return true;
}

void PacketBuffer::setReply(std::size_t n) {
    if (n > kCapacity) n = kCapacity;
    replyLength_ = static_cast<std::uint16_t>(n);
    readCursor_ = replyLength_;
}

bool PacketBuffer::popBytes(void* dest, std::size_t n) {
    if (n > readCursor_) return false;
    readCursor_ = static_cast<std::uint16_t>(readCursor_ - n);
    if (n) std::memcpy(dest, reply_ + readCursor_, n);
    return true;
}

bool PacketBuffer::popU8(std::uint8_t& v) { return popBytes(&v, 1); }

bool PacketBuffer::popU16(std::uint16_t& v) {
    std::uint8_t b[2];
    if (!popBytes(b, 2)) return false;
    v = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool PacketBuffer::popU32(std::uint32_t& v) {
    std::uint8_t b[4];
    if (!popBytes(b, 4)) return false;
    v = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
        (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
}

} // namespace kavor
