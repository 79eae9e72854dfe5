// The exported OBEX file operations: each runs one operation inside an OBEX
// session and turns what failed into the caller's error bits.
#include "ObexChannel.h"

namespace kavor {

using namespace obex;

namespace {

// A missing text counts as an empty one.
std::string text(const char* p) { return p ? p : ""; }

} // namespace

bool ObexChannel::listDir(const char* pcPath, char* pcBuffer, unsigned int* piSize, unsigned short* piErrorBits) {
    if (!pcBuffer || !piSize || !piErrorBits) return false;
    *piErrorBits = 0;
    const std::uint32_t capacity = *piSize;
    std::uint32_t size = 0;
    const bool ok = session(*piErrorBits, text(pcPath).c_str(), [&](unsigned short& bits) {
        std::uint16_t code = 0;
        if (!list(pcBuffer, capacity, size, code)) bits |= code ? kListFailedCode : kListFailedNoCode;
    });
    *piSize = size;
    return ok;
}

bool ObexChannel::getFile(const char* pcPath, const char* pcFileName, const char* pcLocalFolder,
                          unsigned short* piErrorBits) {
    if (!piErrorBits) return false;
    *piErrorBits = 0;
    const std::string name = text(pcFileName);
    return session(*piErrorBits, text(pcPath).c_str(), [&](unsigned short& bits) {
        std::uint16_t code = 0;
        if (!get(name, text(pcLocalFolder) + name, code)) bits |= code == kNoFile ? kNotFoundOrPutFailed : kGetFailed;
    });
}

bool ObexChannel::sendFile(const char* pcLocalFolder, const char* pcFileName, const char* pcPath,
                           unsigned short* piErrorBits) {
    if (!piErrorBits) return false;
    *piErrorBits = 0;
    const bool ok = session(*piErrorBits, text(pcPath).c_str(), [&](unsigned short& bits) {
        std::uint16_t code = 0;
        if (!put(text(pcLocalFolder), text(pcFileName), code)) bits |= kNotFoundOrPutFailed;
    });
    return ok && *piErrorBits == 0;
}

bool ObexChannel::deleteFile(const char* pcPath, const char* pcName, unsigned short* piErrorBits) {
    if (!piErrorBits) return false;
    *piErrorBits = 0;
    const std::string name = text(pcName);
    return session(*piErrorBits, text(pcPath).c_str(), [&](unsigned short& bits) {
        if (name.empty()) return;  // nothing to delete: nothing sent, nothing failed
        std::uint16_t code = 0;
        const bool ok = remove(name, code);
        if (ok && code == kSuccess) return;
        bits |= ok && code == kNotFound ? kNotFoundOrPutFailed : kDeleteFailed;
    });
}

bool ObexChannel::createFolder(const char* pcPath, const char* pcName, unsigned short* piErrorBits) {
    if (!piErrorBits) return false;
    *piErrorBits = 0;
    return session(*piErrorBits, text(pcPath).c_str(), [&](unsigned short& bits) {
        std::uint16_t code = 0;
        if (!makeFolder(text(pcName), code)) bits |= kCreateFolderFailed;
    });
}

bool ObexChannel::relocate(const char* action, unsigned short failBit, const char* pcSourceFolder,
                           const char* pcFileName, const char* pcDestFolder, unsigned short* piErrorBits) {
    if (!piErrorBits) return false;
    *piErrorBits = 0;
    return session(*piErrorBits, nullptr, [&](unsigned short& bits) {
        const std::string source = text(pcSourceFolder), name = text(pcFileName), dest = text(pcDestFolder);
        std::uint16_t code = 0;
        bool ok = true;  // an empty text sends nothing, and so gets no Success
        if (!source.empty() && !name.empty() && !dest.empty())
            ok = copyOrMove(action, slashName(source, name), slashName(dest, name), code);
        if (ok && code == kForbidden)
            bits |= kForbiddenBit;
        else if (!ok || code != kSuccess)
            bits |= failBit;
    });
}

bool ObexChannel::copyFile(const char* pcSourceFolder, const char* pcFileName, const char* pcDestFolder,
                           unsigned short* piErrorBits) {
    return relocate("copy", kCopyFailed, pcSourceFolder, pcFileName, pcDestFolder, piErrorBits);
}

bool ObexChannel::moveFile(const char* pcSourceFolder, const char* pcFileName, const char* pcDestFolder,
                           unsigned short* piErrorBits) {
    return relocate("move", kMoveFailed, pcSourceFolder, pcFileName, pcDestFolder, piErrorBits);
}

bool ObexChannel::setAttr(const char* pcPath, const char* pcName, int iPermissions1, int iPermissions2,
                          unsigned short* piErrorBits) {
    if (!piErrorBits) return false;
    *piErrorBits = 0;
    return session(*piErrorBits, text(pcPath).c_str(), [&](unsigned short& bits) {
        std::uint16_t code = 0;
        const bool ok = setAttributes(text(pcName), iPermissions1, iPermissions2, code);
        if (ok && code == kForbidden)
            bits |= kForbiddenBit;
        else if (!ok || code != kSuccess)
            bits |= kSetAttrFailed;
    });
}

bool ObexChannel::freeSpaceCheck(unsigned int* piFreeBytes, unsigned short* piErrorBits) {
    if (!piFreeBytes || !piErrorBits) return false;
    *piErrorBits = 0;
    return session(*piErrorBits, nullptr, [&](unsigned short& bits) {
        std::uint16_t code = 0;
        std::uint32_t freeBytes = 0;
        const bool ok = freeSpace(freeBytes, code);
        if (ok && code == kSuccess)
            *piFreeBytes = freeBytes;
        else if (ok && code == kNotFound)
            bits |= kFreeSpaceNotFound;
        else
            bits |= kFreeSpaceFailed;
    });
}

} // namespace kavor
