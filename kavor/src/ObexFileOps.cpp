// Single-request file operations over OBEX: delete, create folder, copy or
// move, permissions and the free-space query.
#include "ObexChannel.h"

namespace kavor {

using namespace obex;

namespace {

constexpr std::uint32_t kDeleteTimeoutMs = 5000, kFolderTimeoutMs = 3000, kCopyTimeoutMs = 6000,
                        kAttrTimeoutMs = 3000, kFreeSpaceTimeoutMs = 5000;
constexpr std::uint8_t kParamAction = 0x34, kParamSource = 0x35, kParamDestination = 0x36, kParamPermissions = 0x38,
                       kParamFreeSpace = 0x32;
// Longest name (characters) whose two-byte form fits a one-byte length.
constexpr std::size_t kMaxParamName = 127;

} // namespace

bool ObexChannel::remove(const std::string& name, std::uint16_t& code) {
    if (name.empty()) return true;
    Request r(*buffer_, kPutFinal);
    r.connectionId(connectionId_).name(name);
    if (!r.finish()) return code = 0, false;
    return exchange(kDeleteTimeoutMs, code);
}

bool ObexChannel::makeFolder(const std::string& name, std::uint16_t& code) {
    if (name.empty()) return true;
    Request r(*buffer_, kSetPath);
    r.u8(0x00).u8(0x00).connectionId(connectionId_).name(name);  // flags 0: the folder may be created
    if (!r.finish()) return code = 0, false;
    return exchange(kFolderTimeoutMs, code) && code == kSuccess;
}

bool ObexChannel::copyOrMove(const char* action, const std::string& from, const std::string& to,
                             std::uint16_t& code) {
    if (from.size() > kMaxParamName || to.size() > kMaxParamName) return code = 0, false;
    const std::size_t s = wide(from), d = wide(to);
    Request r(*buffer_, kPutFinal);
    r.connectionId(connectionId_).u8(kAppParams).u16(static_cast<std::uint16_t>(13 + s + d));
    r.u8(kParamAction).u8(4).bytes(action, 4);
    r.u8(kParamSource).u8(static_cast<std::uint8_t>(s)).text16(from);
    r.u8(kParamDestination).u8(static_cast<std::uint8_t>(d)).text16(to);
    if (!r.finish()) return code = 0, false;
    return exchange(kCopyTimeoutMs, code);
}

bool ObexChannel::setAttributes(const std::string& name, int permissions1, int permissions2, std::uint16_t& code) {
    if (name.empty()) return true;
    const std::string texts = permissionText(permissions1) + permissionText(permissions2);
    Request r(*buffer_, kPutFinal);
    r.connectionId(connectionId_).name(name);
    r.u8(kAppParams).u16(static_cast<std::uint16_t>(5 + texts.size()));
    r.u8(kParamPermissions).u8(static_cast<std::uint8_t>(texts.size())).bytes(texts.data(), texts.size());
    if (!r.finish()) return code = 0, false;
    return exchange(kAttrTimeoutMs, code);
}

bool ObexChannel::freeSpace(std::uint32_t& freeBytes, std::uint16_t& code) {
    Request r(*buffer_, kGet);
    r.connectionId(connectionId_).u8(kAppParams).u16(0x0006).u8(kParamFreeSpace).u8(1).u8(2);
    if (!r.finish() || !exchange(kFreeSpaceTimeoutMs, code)) return false;
    if (code != kSuccess) return true;
    // The figure is the last four bytes of the Application Parameters
    // header, which must hold at least a parameter tag, its length and them.
    const std::uint8_t* a = buffer_->reply();
    const std::size_t n = answerLength();
    for (std::size_t at = 3; at < n;) {
        const std::uint8_t id = a[at];
        std::size_t next;
        if ((id & 0xC0) == 0x80)
            next = at + 2;
        else if ((id & 0xC0) == 0xC0)
            next = at + 5;
        else if (at + 3 <= n)
            next = at + ((a[at + 1] << 8) | a[at + 2]);
        else
            return false;
        if (next <= at || next > n) return false;
        if (id == kAppParams) {
            if (next - at < 3 + 2 + 4) return false;
            const std::uint8_t* v = a + next - 4;
            freeBytes = (static_cast<std::uint32_t>(v[0]) << 24) | (static_cast<std::uint32_t>(v[1]) << 16) |
                        (static_cast<std::uint32_t>(v[2]) << 8) | v[3];
            return true;
        }
        at = next;
    }
    return false;
}

} // namespace kavor
