// Per-connection channel; owns its packet buffer.
#pragma once

#include "PacketChannel.h"

namespace kavor {

class AtChannel : public PacketChannel {
public:
    using PacketChannel::PacketChannel;
};

} // namespace kavor
