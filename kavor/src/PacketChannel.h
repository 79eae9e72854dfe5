// What every channel of a connection has: the vendor handle it was built
// with, the packet buffer it owns (freed with the channel) and the line it
// writes into the handle's text log.
#pragma once

#include "PacketBuffer.h"
#include "qmsl.h"

#include <cstddef>
#include <memory>

namespace kavor {

class PacketChannel {
public:
    // Room of one formatted log line.
    static constexpr std::size_t kLogLineSize = 12288;

    explicit PacketChannel(QmslHandle handle) : buffer_(std::make_unique<PacketBuffer>()), handle_(handle) {}
    QmslHandle handle() const { return handle_; }
    PacketBuffer& buffer() { return *buffer_; }
    // Formats one line printf-style (bounded to kLogLineSize) into the
    // handle's text log.
    void logCall(const char* format, ...) __attribute__((format(printf, 2, 3)));

protected:
    std::unique_ptr<PacketBuffer> buffer_;
    QmslHandle handle_;
};

} // namespace kavor
