// What every channel of a connection has: the vendor handle it was built
// with and the packet buffer it owns (freed with the channel).
#pragma once

#include "PacketBuffer.h"
#include "qmsl.h"

#include <memory>

namespace kavor {

class PacketChannel {
public:
    explicit PacketChannel(QmslHandle handle) : buffer_(std::make_unique<PacketBuffer>()), handle_(handle) {}
    QmslHandle handle() const { return handle_; }
    PacketBuffer& buffer() { return *buffer_; }

protected:
    std::unique_ptr<PacketBuffer> buffer_;
    QmslHandle handle_;
};

} // namespace kavor
