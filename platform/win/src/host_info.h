// The host information file, parsed (format in win_host_info.h).
#pragma once

#include "win_host_info.h"

#include <optional>
#include <string>
#include <vector>

namespace win {

struct RegistryValue {
    std::string key;   // normalised key path (see registry_key)
    std::string name;  // lower case; "" is the default value
    std::string data;
};

struct FileVersion {
    std::string path;  // lower case
    DWORD file_ms = 0, file_ls = 0, product_ms = 0, product_ls = 0;
};

struct HostInfo {
    std::vector<RegistryValue> registry;
    std::optional<std::string> windows_directory;
    std::vector<FileVersion> versions;
};

// The file named by PHONELINE_HOST_INFO, or nothing when the variable is
// unset or the file cannot be read.
std::optional<HostInfo> load_host_info();

// A key path in the form the look-ups compare: lower case, the hive as
// "hklm", single backslashes, none at the end. Empty for another hive.
std::string registry_key(const std::string& path);
// Joins a sub-key path to a normalised key.
std::string registry_subkey(const std::string& key, const std::string& sub);

std::string lower(std::string text);

} // namespace win
