// File version information over the host information file. A version block
// is a tag followed by the fixed version information; nothing else is in it.
#include "win_version.h"

#include "host_info.h"

#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr char kTag[8] = {'V', 'E', 'R', 'B', 'L', 'O', 'C', 'K'};

struct Block {
    char tag[8];
    VS_FIXEDFILEINFO info;
};

std::optional<win::FileVersion> find_version(LPCSTR file) {
    if (!file) return std::nullopt;
    try {
        const std::optional<win::HostInfo> info = win::load_host_info();
        if (!info) return std::nullopt;
        const std::string path = win::lower(file);
        for (const win::FileVersion& v : info->versions)
            if (v.path == path) return v;
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle) {
    if (handle) *handle = 0;
    return find_version(file) ? static_cast<DWORD>(sizeof(Block)) : 0;
}

BOOL GetFileVersionInfoA(LPCSTR file, DWORD, DWORD length, void* data) {
    if (!data || length < sizeof(Block)) return FALSE;
    const std::optional<win::FileVersion> v = find_version(file);
    if (!v) return FALSE;
    Block block{};
    std::memcpy(block.tag, kTag, sizeof kTag);
    block.info.dwSignature = VS_FFI_SIGNATURE;
    block.info.dwStrucVersion = VS_FFI_STRUCVERSION;
    block.info.dwFileVersionMS = v->file_ms;
    block.info.dwFileVersionLS = v->file_ls;
    block.info.dwProductVersionMS = v->product_ms;
    block.info.dwProductVersionLS = v->product_ls;
    std::memcpy(data, &block, sizeof block);
    return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length) {
    if (!block || !subBlock || !buffer) return FALSE;
    if (std::memcmp(block, kTag, sizeof kTag) != 0 || std::strcmp(subBlock, "\\") != 0) return FALSE;
    *buffer = const_cast<char*>(static_cast<const char*>(block) + offsetof(Block, info));
    if (length) *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
