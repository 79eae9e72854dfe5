// Versions of two vendor files on the station: the phone server (its path
// filed in the registry) and the USB serial driver (in the Windows
// directory). Both read the product version of the file's version
// information.
#include "TesselFctsPeriph.h"
#include "win_registry.h"
#include "win_version.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

using periph::hex;

namespace {

constexpr DWORD kPathRoom = 512;
constexpr const char* kServerKey = "SOFTWARE\\QUALCOMM\\QPST\\2.0\\Server";
constexpr const char* kDriverPath = "\\System32\\drivers\\qcusbser6k.sys";

// A look-up's outcome: the file's path, or the reason it was not found.
struct Located {
    std::string path;
    const char* cError = nullptr;
};

Located serverPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {"", "Registry Key not found."};
    char cValue[kPathRoom + 1] = {};
    DWORD dwSize = kPathRoom;
    const LONG lRead = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(cValue), &dwSize);
    cValue[kPathRoom] = '\0';  // the value need not end within the room
    const LONG lClose = RegCloseKey(key);
    if (lRead != ERROR_SUCCESS) return {"", "Cannot read registry key."};
    if (lClose != ERROR_SUCCESS) return {"", "Failed closing registry key."};
    return {cValue, nullptr};
}

Located driverPath(int iSession) {
    char cDir[kPathRoom] = {};
    const UINT uiLength = GetWindowsDirectoryA(cDir, kPathRoom);
    if (uiLength == 0 || uiLength >= kPathRoom) return {"", "Cannot get windows directory"};
    std::string path = std::string(cDir) + kDriverPath;
    Tessel_TracePlain_m(iSession, "[Searching for file '%s'...]", path.c_str());
    return {path, nullptr};
}

struct FreeBlock {
    void operator()(void* p) const { std::free(p); }
};

// The product version "a.b.c.d" (8 bits of each part, as the station's
// programs file it) into cVersion, or the reason it could not be read.
const char* readVersion(const std::string& path, const char* cMissing, char* cVersion, char* cDetail,
                        std::size_t detailRoom) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) std::fclose(f);
    else return cMissing;
    DWORD dwHandle = 0;
    const DWORD dwSize = GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
    if (dwSize == 0) return "Failed requesting info block size.";
    std::unique_ptr<void, FreeBlock> block(std::malloc(dwSize));
    if (!block) return "Cannot allocate memory.";
    if (!GetFileVersionInfoA(path.c_str(), dwHandle, dwSize, block.get())) return "Failed reading file information.";
    void* pInfo = nullptr;
    UINT uiLength = 0;
    if (!VerQueryValueA(block.get(), "\\", &pInfo, &uiLength) || !pInfo) return "Failed decoding version information.";
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(pInfo);
    char cText[32];
    std::snprintf(cText, sizeof cText, "%d.%d.%d.%d", static_cast<int>((info->dwProductVersionMS >> 16) & 0xFF),
                  static_cast<int>(info->dwProductVersionMS & 0xFF),
                  static_cast<int>((info->dwProductVersionLS >> 16) & 0xFF),
                  static_cast<int>(info->dwProductVersionLS & 0xFF));
    // The output holds at most 15 characters and the NUL.
    const std::size_t length = std::min(std::strlen(cText), std::size_t{TESSEL_HOST_VERSION_TEXT_MAX - 1});
    std::memcpy(cVersion, cText, length);
    cVersion[length] = '\0';
    std::snprintf(cDetail, detailRoom, "dwSignature=%08X - %s", static_cast<unsigned>(info->dwSignature), cText);
    return nullptr;
}

template <typename Locate>
int hostVersion(const char* cName, int iSession, char* cVersion, const char* cFile, int iLine, Locate locate,
                const char* cMissing) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!cVersion) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", cName, rec.hHandle, iSession);
    cVersion[0] = '\0';
    char cDetail[kPathRoom + 64] = {};
    periph::Status status;
    const Located where = locate();
    const char* cError = where.cError;
    if (!cError) cError = readVersion(where.path, cMissing, cVersion, cDetail, sizeof cDetail);
    if (cError) {
        status.fail();
        cVersion[0] = '\0';
        std::snprintf(cDetail, sizeof cDetail, "%s", cError);
    }
    Tessel_TracePlain_m(iSession, "[%s]", cDetail);
    Mob_TraceResult(iSession, status.get(), "%s( cVersion=%s ) = %#x", cName, cVersion, hex(status.get()));
    return status.get();
}

} // namespace

int _Tessel_SpecialGetQpstVersion(int iSession, char* cVersion, const char* cFile, int iLine) {
    return hostVersion(__func__, iSession, cVersion, cFile, iLine, serverPath, "QPSTServer.exe does not exist.");
}

int _Tessel_SpecialGetUsbVersion(int iSession, char* cVersion, const char* cFile, int iLine) {
    return hostVersion(__func__, iSession, cVersion, cFile, iLine, [iSession] { return driverPath(iSession); },
                       "file does not exist.");
}
