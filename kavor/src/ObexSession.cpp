// The OBEX session: the raw exchange, connect to the file-browsing service,
// disconnect, set path, the frame every file operation runs in, and the
// return of the port to AT commands.
#include "ObexChannel.h"

#include "pclock.h"

#include <algorithm>
#include <cstring>

namespace kavor {

using namespace obex;

namespace {

// The file-browsing service.
constexpr std::uint8_t kTargetBytes[16] = {0x6B, 0x01, 0xCB, 0x31, 0x41, 0x06, 0x11, 0xD4,
                                           0x9A, 0x77, 0x00, 0x50, 0xDA, 0x3F, 0x47, 0x1F};

} // namespace

bool ObexChannel::exchange(std::uint32_t timeoutMs, std::uint16_t& code) {
    PacketBuffer& b = *buffer_;
    unsigned short length = PacketBuffer::kCapacity;
    const bool ok = QLIB_SendRAW(handle_, b.requestLength(), b.request(), &length, b.reply(), timeoutMs) != 0;
    b.setReply(length);
    // A failed exchange, or one that brought nothing back, has reply code 0.
    code = ok && b.replyLength() > 0 ? b.reply()[0] : 0;
    return ok;
}

std::size_t ObexChannel::answerLength() const {
    const std::size_t received = buffer_->replyLength();
    if (received < 3) return received;
    const std::uint8_t* a = buffer_->reply();
    return std::min<std::size_t>(received, (a[1] << 8) | a[2]);
}

bool ObexChannel::connect(std::uint16_t& code) {
    // A stale id from an earlier session must not make this one look good.
    connectionId_ = 0;
    code = 0;
    Request r(*buffer_, kConnect);
    r.u8(0x10).u8(0x00).u16(static_cast<std::uint16_t>(maxPacket_)).u8(kTarget).u16(0x0013).bytes(kTargetBytes, 16);
    if (!r.finish() || !exchange(kTimeoutMs, code) || code != kSuccess) return false;
    const std::uint8_t* a = buffer_->reply();
    const std::size_t n = answerLength();
    for (std::size_t i = 7; i < n;) {
        if (a[i] == kConnectionId) {
            if (i + 5 > n) return false;
            connectionId_ = be32(a + i + 1);
            i += 5;
        } else if (a[i] == kWho) {
            return i + 3 + 16 <= n && std::memcmp(a + i + 3, kTargetBytes, 16) == 0;
        } else {
            ++i;
        }
    }
    return connectionId_ != 0;
}

bool ObexChannel::disconnect(std::uint16_t& code) {
    Request r(*buffer_, kDisconnect);
    r.connectionId(connectionId_);
    if (!r.finish() || !exchange(kTimeoutMs, code) || code != kSuccess) return false;
    const std::uint8_t* a = buffer_->reply();
    const std::size_t n = answerLength();
    if (n < 4) return true;
    for (std::size_t i = 3; i < n; ++i)
        if (a[i] == kConnectionId) return i + 5 <= n && be32(a + i + 1) == connectionId_;
    return true;
}

bool ObexChannel::setPath(const std::string& path, std::uint16_t& code) {
    if (path.empty()) return true;
    // Every folder name must be followed by '\': a path that does not end in
    // one is refused before anything is sent.
    if (path.back() != '\\') return false;
    for (std::size_t from = 0; from < path.size();) {
        const std::size_t end = path.find('\\', from);
        const std::string folder = path.substr(from, end - from);
        Request r(*buffer_, kSetPath);
        r.u8(0x02).u8(0x00).connectionId(connectionId_);
        // An empty name (a leading '\') goes to the root: no Name header.
        if (!folder.empty()) r.name(folder);
        if (!r.finish() || !exchange(kTimeoutMs, code) || code != kSuccess) return false;
        from = end + 1;
    }
    return true;
}

bool ObexChannel::session(unsigned short& bits, const char* path,
                          const std::function<void(unsigned short&)>& operation) {
    std::uint16_t code = 0;
    if (!connect(code)) {
        bits |= kConnectFailed;
        return false;
    }
    if (path && !setPath(path, code))
        bits |= kSetPathFailed;
    else
        operation(bits);
    if (!disconnect(code)) {
        bits |= kDisconnectFailed;
        return false;
    }
    return true;
}

bool ObexChannel::obex2At(unsigned short* piReplyCode) {
    QLIB_AddUserMessageToTextLog(handle_, 2, "KAVOR_OBEX_2_AT()", 0);
    PacketBuffer& b = *buffer_;
    b.reset();
    const std::uint8_t escape[4] = {'+', '+', '+', 0x00};
    b.pushBytes(escape, sizeof escape);
    // The phone takes the escape only after a quiet second on the line, and
    // needs another before it answers AT commands again.
    pclock::sleep_ms(1000);
    std::uint16_t code = 0;
    exchange(kTimeoutMs, code);
    if (piReplyCode) *piReplyCode = code;
    pclock::sleep_ms(1000);
    return true;
}

} // namespace kavor
