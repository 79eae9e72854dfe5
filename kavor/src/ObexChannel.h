// Per-connection channel; owns its packet buffer.
#pragma once

#include "PacketBuffer.h"
#include "qmsl.h"

#include <memory>

namespace kavor {

class ObexChannel {
public:
    explicit ObexChannel(QmslHandle handle) : buffer_(std::make_unique<PacketBuffer>()), handle_(handle) {}
    QmslHandle handle() const { return handle_; }
    PacketBuffer& buffer() { return *buffer_; }

private:
    std::unique_ptr<PacketBuffer> buffer_;
    QmslHandle handle_;
};

} // namespace kavor
