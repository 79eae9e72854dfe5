#include "PacketBuffer.h"

#include <cstring>

namespace kavor {

void PacketBuffer::reset() {
    std::memset(request, 0xAA, sizeof request);
    std::memset(reply, 0xBB, sizeof reply);
    requestLength = 0;
    replyLength = kCapacity;
}

} // namespace kavor
