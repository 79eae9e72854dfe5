// Data transfers over OBEX: the folder listing, fetching a phone file into a
// local file and storing a local file on the phone.
#include "ObexChannel.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace kavor {

using namespace obex;

namespace {

constexpr std::uint32_t kListTimeoutMs = 5000, kGetTimeoutMs = 5000, kPutTimeoutMs = 9000;
constexpr char kFolderListing[] = "x-obex/folder-listing";  // sent with its NUL (22 bytes)
// Header bytes of the first put packet besides the name (opcode, length,
// Connection Id, Name header and terminator, Length, Time, Body header) and
// of every later one.
constexpr std::size_t kFirstPutHeader = 39, kLaterPutHeader = 11;

} // namespace

bool ObexChannel::transfer(std::uint32_t timeoutMs,
                           const std::function<bool(const std::uint8_t*, std::size_t)>& sink, bool listing,
                           std::uint32_t capacity, std::uint16_t& code) {
    for (;;) {
        if (!exchange(timeoutMs, code)) return false;
        if (code != kContinue && code != kSuccess) return false;
        const std::uint8_t* a = buffer_->reply();
        const std::size_t n = answerLength();
        std::size_t at = 3;
        if (n > 3 && a[3] == kConnectionId) {
            if (n < 8) return code = 0, false;
            if (be32(a + 4) != connectionId_) return false;
            at = 8;
        }
        if (code == kContinue && at < n && a[at] == kLength) {
            if (at + 5 > n) return code = 0, false;
            if (listing && be32(a + at + 1) > capacity) return code = 0, false;
            at += 5;
        }
        const std::uint8_t wanted = code == kContinue ? kBody : kEndOfBody;
        if (at >= n || a[at] != wanted) return false;
        if (at + 3 > n) return code = 0, false;
        const std::size_t header = (a[at + 1] << 8) | a[at + 2];
        if (header < 3 || at + header > n) return code = 0, false;
        // The data of End of Body counts as much as that of Body.
        if (!sink(a + at + 3, header - 3)) return code = 0, false;
        if (code == kSuccess) return true;
        Request r(*buffer_, kGet);
        r.connectionId(connectionId_);
        if (!r.finish()) return code = 0, false;
    }
}

bool ObexChannel::list(char* buffer, std::uint32_t capacity, std::uint32_t& size, std::uint16_t& code) {
    size = 0;
    Request r(*buffer_, kGet);
    r.connectionId(connectionId_).u8(kType).u16(0x0019).bytes(kFolderListing, sizeof kFolderListing);
    if (!r.finish()) return code = 0, false;
    // Every piece is checked against the room left, with or without a
    // Length header: nothing is written past the capacity.
    auto append = [&](const std::uint8_t* data, std::size_t n) {
        if (n > capacity - size) return false;
        if (n) std::memcpy(buffer + size, data, n);
        size += static_cast<std::uint32_t>(n);
        return true;
    };
    return transfer(kListTimeoutMs, append, true, capacity, code);
}

bool ObexChannel::get(const std::string& name, const std::string& localFile, std::uint16_t& code) {
    if (name.empty()) return true;
    Request r(*buffer_, kGet);
    r.connectionId(connectionId_).name(name);
    if (!r.finish()) return code = 0, false;
    // The local file is created (or truncated) at the first good answer, so
    // an empty phone file gives an empty local file, and it is removed when
    // the get fails, so no partial file stays under the phone file's name.
    std::ofstream out;
    bool opened = false;
    auto write = [&](const std::uint8_t* data, std::size_t n) {
        if (!opened) {
            out.open(localFile, std::ios::binary | std::ios::trunc);
            opened = true;
        }
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(n));
        return static_cast<bool>(out);
    };
    bool ok = transfer(kGetTimeoutMs, write, false, 0, code);
    if (opened) {
        out.close();
        if (ok && !out) ok = false, code = 0;
        if (!ok) std::remove(localFile.c_str());
    }
    if (!ok && code == kNotFound) code = kNoFile;
    return ok;
}

bool ObexChannel::put(const std::string& localFolder, const std::string& name, std::uint16_t& code) {
    if (localFolder.empty() || name.empty()) return true;
    const std::string localFile = localFolder + name;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(localFile, error);
    if (error) return code = kNoFile, false;
    // A name whose headers leave no room for data in a packet is refused
    // before anything is sent.
    const std::size_t firstHeader = kFirstPutHeader + wide(name);
    if (firstHeader >= maxPacket_ || size > 0xFFFFFFFFu) return code = 0, false;
    std::ifstream in(localFile, std::ios::binary);
    if (!in) return code = 0, false;

    std::uintmax_t remaining = size;
    std::vector<char> data;
    for (bool first = true;; first = false) {
        const std::size_t room = maxPacket_ - (first ? firstHeader : kLaterPutHeader);
        const bool last = remaining <= room;
        const std::size_t n = last ? static_cast<std::size_t>(remaining) : room;
        data.resize(n);
        if (n && !in.read(data.data(), static_cast<std::streamsize>(n))) return code = 0, false;
        Request r(*buffer_, last ? kPutFinal : kPut);
        r.connectionId(connectionId_);
        if (first) r.name(name).u8(kLength).u32(static_cast<std::uint32_t>(size)).time();
        r.u8(last ? kEndOfBody : kBody).u16(static_cast<std::uint16_t>(3 + n)).bytes(data.data(), n);
        if (!r.finish()) return code = 0, false;
        // Every packet but the last must be answered Continue, the last one
        // Success; anything else stops the put.
        if (!exchange(kPutTimeoutMs, code) || code != (last ? kSuccess : kContinue)) return false;
        if (last) return true;
        remaining -= n;
    }
}

} // namespace kavor
