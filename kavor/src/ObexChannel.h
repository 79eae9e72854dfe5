// The OBEX file channel of one connection: builds OBEX requests in the
// channel's packet buffer, exchanges them raw with the phone and decodes the
// answers. Each exported file operation connects to the phone's
// file-browsing service, moves to the folder of a path, does one operation
// and disconnects, summing the failed steps into the caller's error bits.
#pragma once

#include "PacketChannel.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kavor {

namespace obex {

// Request opcodes.
constexpr std::uint8_t kConnect = 0x80, kDisconnect = 0x81, kGet = 0x83, kPut = 0x02, kPutFinal = 0x82,
                       kSetPath = 0x85;
// Response codes.
constexpr std::uint8_t kContinue = 0x90, kSuccess = 0xA0, kForbidden = 0xC3, kNotFound = 0xC4;
// Headers.
constexpr std::uint8_t kName = 0x01, kType = 0x42, kTime = 0x44, kTarget = 0x46, kBody = 0x48, kEndOfBody = 0x49,
                       kWho = 0x4A, kAppParams = 0x4C, kLength = 0xC3, kConnectionId = 0xCB;

constexpr std::uint32_t kMaxPacket = 4093;
// Reply code given for a get the phone answered "not found", and for a put
// whose local file is missing.
constexpr std::uint16_t kNoFile = 65535;

// Error bits of the exported operations.
enum Bits : std::uint16_t {
    kConnectFailed = 1,
    kDisconnectFailed = 2,
    kSetPathFailed = 4,
    kListFailedCode = 8,
    kListFailedNoCode = 16,
    kGetFailed = 32,
    kNotFoundOrPutFailed = 64,
    kDeleteFailed = 256,
    kCreateFolderFailed = 512,
    kCopyFailed = 1024,
    kMoveFailed = 2048,
    kForbiddenBit = 4096,
    kSetAttrFailed = 8192,
    kFreeSpaceFailed = 16384,
    kFreeSpaceNotFound = 32768,
};

// Builds one request: opcode, a length fixed up at the end, then fields;
// finish() puts it into the packet buffer.
class Request {
public:
    explicit Request(PacketBuffer& b, std::uint8_t opcode);
    Request& u8(std::uint8_t v);
    Request& u16(std::uint16_t v);
    Request& u32(std::uint32_t v);
    Request& bytes(const void* data, std::size_t n);
    Request& connectionId(std::uint32_t id) { return u8(kConnectionId).u32(id); }
    // Each character as a zero byte and the ASCII byte, no terminator.
    Request& text16(const std::string& text);
    // Name header: each character as a zero byte and the ASCII byte, then a
    // two-byte terminator.
    Request& name(const std::string& text);
    // Time header with the current UTC time as YYYYMMDDTHHMMSS.
    Request& time();
    // Resets the buffer and writes the request into it with its total
    // length in bytes 1 and 2; false (buffer empty) when it does not fit.
    bool finish();

private:
    PacketBuffer& b_;
    std::vector<std::uint8_t> bytes_;
    bool fits_ = true;
};

// Bytes a text takes as two-byte characters.
inline std::size_t wide(const std::string& text) { return 2 * text.size(); }
// A big-endian 32-bit value (Connection Id, Length, the free-space figure).
inline std::uint32_t be32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}
// The permission text of a value 1..7 in double quotes ("\"\"" for others).
std::string permissionText(int value);
// Folder path with every '\' turned into '/', followed by the name.
std::string slashName(const std::string& folder, const std::string& name);

} // namespace obex

class ObexChannel : public PacketChannel {
public:
    static constexpr std::uint32_t kTimeoutMs = 3000;

    using PacketChannel::PacketChannel;

    // --- the exported operations ---
    bool listDir(const char* pcPath, char* pcBuffer, unsigned int* piSize, unsigned short* piErrorBits);
    bool getFile(const char* pcPath, const char* pcFileName, const char* pcLocalFolder, unsigned short* piErrorBits);
    bool sendFile(const char* pcLocalFolder, const char* pcFileName, const char* pcPath, unsigned short* piErrorBits);
    bool deleteFile(const char* pcPath, const char* pcName, unsigned short* piErrorBits);
    bool createFolder(const char* pcPath, const char* pcName, unsigned short* piErrorBits);
    bool copyFile(const char* pcSourceFolder, const char* pcFileName, const char* pcDestFolder,
                  unsigned short* piErrorBits);
    bool moveFile(const char* pcSourceFolder, const char* pcFileName, const char* pcDestFolder,
                  unsigned short* piErrorBits);
    bool setAttr(const char* pcPath, const char* pcName, int iPermissions1, int iPermissions2,
                 unsigned short* piErrorBits);
    bool freeSpaceCheck(unsigned int* piFreeBytes, unsigned short* piErrorBits);
    bool obex2At(unsigned short* piReplyCode);

    // --- the channel operations: true when the exchange took place and the
    // answer was acceptable; the answer's reply code goes to `code` ---
    bool exchange(std::uint32_t timeoutMs, std::uint16_t& code);
    bool connect(std::uint16_t& code);
    bool disconnect(std::uint16_t& code);
    bool setPath(const std::string& path, std::uint16_t& code);
    // Appends listing data to the caller's buffer of `capacity` bytes;
    // `size` counts what was written.
    bool list(char* buffer, std::uint32_t capacity, std::uint32_t& size, std::uint16_t& code);
    bool get(const std::string& name, const std::string& localFile, std::uint16_t& code);
    bool put(const std::string& localFolder, const std::string& name, std::uint16_t& code);
    bool remove(const std::string& name, std::uint16_t& code);
    bool makeFolder(const std::string& name, std::uint16_t& code);
    bool copyOrMove(const char* action, const std::string& from, const std::string& to, std::uint16_t& code);
    bool setAttributes(const std::string& name, int permissions1, int permissions2, std::uint16_t& code);
    bool freeSpace(std::uint32_t& freeBytes, std::uint16_t& code);

    std::uint32_t connectionId() const { return connectionId_; }

private:
    // The answer's length as far as it both was announced and arrived.
    std::size_t answerLength() const;
    // One data transfer (listing or get): sends the first request, then a
    // continuation per Continue answer; hands each piece of data to `sink`,
    // which may stop the transfer by returning false (code 0).
    bool transfer(std::uint32_t timeoutMs, const std::function<bool(const std::uint8_t*, std::size_t)>& sink,
                  bool listing, std::uint32_t capacity, std::uint16_t& code);
    // Copy or move with its own failure bit.
    bool relocate(const char* action, unsigned short failBit, const char* pcSourceFolder, const char* pcFileName,
                  const char* pcDestFolder, unsigned short* piErrorBits);
    // Connect, set path (when a path is given), the operation, disconnect.
    bool session(unsigned short& bits, const char* path, const std::function<void(unsigned short&)>& operation);

    std::uint32_t connectionId_ = 0;
    std::uint32_t maxPacket_ = obex::kMaxPacket;
};

} // namespace kavor
