// Request and reply store of one channel.
//
// The request grows from the front as fields are pushed; the reply is read
// backwards from its end, so a command finds its reply fields by their
// distance from the end of what the phone sent.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kavor {

class PacketBuffer {
public:
    static constexpr std::uint16_t kCapacity = 4096;

    PacketBuffer() { reset(); }

    // Fills the request with 0xAA and the reply with 0xBB, empties the
    // request and opens the whole reply area. The read cursor stays.
    void reset();

    // Little-endian appends. A value that would not fit is dropped silently.
    void pushU8(std::uint8_t v);
    void pushU16(std::uint16_t v);
    void pushU32(std::uint32_t v);
    // Appends n bytes as they stand. Bytes that would pass the request area
    // are refused whole: nothing is written and the result is false.
    bool pushBytes(const void* data, std::size_t n);

    // Sets the reply length and the read cursor (clamped to the capacity).
    void setReply(std::size_t n);

    // Backward reads: take the bytes that end at the read cursor and move it
    // back over them. False, with nothing changed, when too few bytes lie
    // before the cursor.
    bool popU8(std::uint8_t& v);
    bool popU16(std::uint16_t& v);
    bool popU32(std::uint32_t& v);
    bool popBytes(void* dest, std::size_t n);

    const std::uint8_t* request() const { return request_; }
    std::uint8_t* reply() { return reply_; }
    const std::uint8_t* reply() const { return reply_; }
    std::uint16_t requestLength() const { return requestLength_; }
    std::uint16_t replyLength() const { return replyLength_; }
    std::uint16_t readCursor() const { return readCursor_; }

private:
    std::uint8_t request_[kCapacity];
    std::uint8_t reply_[kCapacity];
    std::uint16_t requestLength_ = 0;
    std::uint16_t replyLength_ = kCapacity;
    std::uint16_t readCursor_ = 0;
};

} // namespace kavor
