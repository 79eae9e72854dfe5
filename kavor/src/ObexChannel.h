// Per-connection channel; owns its packet buffer.
#pragma once

#include "PacketChannel.h"

namespace kavor {

class ObexChannel : public PacketChannel {
public:
    using PacketChannel::PacketChannel;
};

} // namespace kavor
