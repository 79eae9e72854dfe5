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
// Response code and length before the first header of a response.
constexpr std::size_t kResponseHead = 3;
// Longest name (characters) whose two-byte form fits a one-byte length.
constexpr std::size_t kMaxParamName = 127;

} // namespace

bool ObexChannel::remove(const std::string& name, std::uint16_t& code) {
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
    // The figure is the last four bytes of the response as its length gives
    // them, whichever header carries them (an Application Parameters or an
    // End-of-Body header); a response without room for them fails.
    const std::size_t n = answerLength();
    if (n < kResponseHead + 4) return false;
    freeBytes = be32(buffer_->reply() + n - 4);
    return true;
}

} // namespace kavor
