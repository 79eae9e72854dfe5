// Registry reads and the Windows directory over the host information file.
#include "win_registry.h"

#include "host_info.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

struct win_registry_key {
    std::string path;  // normalised (host_info.h)
};

namespace {

std::mutex g_mutex;
std::set<HKEY> g_open;  // keys opened and not closed yet

constexpr const char* kDefaultWindowsDirectory = "C:\\WINDOWS";

// Path of an open key or of the hive; nothing for any other handle.
std::optional<std::string> key_path(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) return std::string("hklm");
    if (!g_open.count(key)) return std::nullopt;
    return key->path;
}

bool key_exists(const win::HostInfo& info, const std::string& path) {
    for (const win::RegistryValue& v : info.registry)
        if (v.key == path || v.key.compare(0, path.size() + 1, path + "\\") == 0) return true;
    return false;
}

} // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    try {
        std::lock_guard lock(g_mutex);
        const std::optional<std::string> base = key_path(key);
        if (!base) return ERROR_INVALID_HANDLE;
        const std::string path = win::registry_subkey(*base, subKey ? subKey : "");
        const std::optional<win::HostInfo> info = win::load_host_info();
        if (!info || !key_exists(*info, path)) return ERROR_FILE_NOT_FOUND;
        HKEY opened = new win_registry_key{path};
        g_open.insert(opened);
        *result = opened;
        return ERROR_SUCCESS;
    } catch (...) {
        return ERROR_FILE_NOT_FOUND;
    }
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    try {
        std::optional<std::string> path;
        {
            std::lock_guard lock(g_mutex);
            path = key_path(key);
        }
        if (!path) return ERROR_INVALID_HANDLE;
        const std::optional<win::HostInfo> info = win::load_host_info();
        if (!info) return ERROR_FILE_NOT_FOUND;
        const std::string name = win::lower(valueName ? valueName : "");
        for (const win::RegistryValue& v : info->registry) {
            if (v.key != *path || v.name != name) continue;
            if (type) *type = REG_SZ;
            const auto needed = static_cast<DWORD>(v.data.size() + 1);
            if (!data) {
                if (dataSize) *dataSize = needed;
                return ERROR_SUCCESS;
            }
            const DWORD capacity = *dataSize;
            *dataSize = needed;
            if (capacity == 0) return ERROR_MORE_DATA;
            const std::size_t n = std::min<std::size_t>(v.data.size(), capacity - 1);
            std::memcpy(data, v.data.data(), n);
            data[n] = 0;
            return capacity >= needed ? ERROR_SUCCESS : ERROR_MORE_DATA;
        }
        return ERROR_FILE_NOT_FOUND;
    } catch (...) {
        return ERROR_FILE_NOT_FOUND;
    }
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    std::lock_guard lock(g_mutex);
    if (!g_open.erase(key)) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    std::string dir = kDefaultWindowsDirectory;
    try {
        if (const std::optional<win::HostInfo> info = win::load_host_info(); info && info->windows_directory)
            dir = *info->windows_directory;
    } catch (...) {
    }
    const auto length = static_cast<UINT>(dir.size());
    if (!buffer || size == 0) return length + 1;
    const std::size_t n = std::min<std::size_t>(dir.size(), size - 1);
    std::memcpy(buffer, dir.data(), n);
    buffer[n] = 0;
    return size > length ? length : length + 1;
}

namespace win_test {
int open_registry_keys() {
    std::lock_guard lock(g_mutex);
    return static_cast<int>(g_open.size());
}
} // namespace win_test
