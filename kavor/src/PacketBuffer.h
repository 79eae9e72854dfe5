// Request and reply store of one channel.
#pragma once

#include <cstdint>

namespace kavor {

struct PacketBuffer {
    static constexpr std::uint16_t kCapacity = 4096;

    std::uint8_t request[kCapacity];
    std::uint8_t reply[kCapacity];
    std::uint16_t requestLength = 0;
    std::uint16_t replyLength = kCapacity;
    std::uint16_t readCursor = 0;

    PacketBuffer() { reset(); }
    // Fills the request with 0xAA and the reply with 0xBB, empties the
    // request and opens the whole reply area. The read cursor stays.
    void reset();
};

} // namespace kavor
