// Reads the host information file that stands in for the registry and the
// version resources of files.
#include "host_info.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace win {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// "a.b.c.d" into the two DWORDs of a version; false when malformed.
bool parse_version(const std::string& text, DWORD& ms, DWORD& ls) {
    unsigned long part[4];
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos]))) return false;
        std::size_t end = pos;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        if (end - pos > 5) return false;
        part[i] = std::stoul(text.substr(pos, end - pos));
        if (part[i] > 0xFFFF) return false;
        if (i < 3 && (end >= text.size() || text[end] != '.')) return false;
        pos = end + 1;
        if (i == 3 && end != text.size()) return false;
    }
    ms = static_cast<DWORD>(part[0] << 16 | part[1]);
    ls = static_cast<DWORD>(part[2] << 16 | part[3]);
    return true;
}

void parse_line(const std::string& raw, HostInfo& info) {
    const std::string line = trim(raw);
    if (line.empty() || line[0] == '#') return;
    const auto eq = line.find('=');
    if (eq == std::string::npos) return;
    const std::string left = trim(line.substr(0, eq));
    const std::string value = trim(line.substr(eq + 1));
    const auto gap = left.find_first_of(" \t");
    const std::string kind = left.substr(0, gap);
    const std::string name = gap == std::string::npos ? "" : trim(left.substr(gap));

    if (kind == "registry") {
        const auto bar = name.rfind('|');
        if (bar == std::string::npos) return;
        const std::string key = registry_key(trim(name.substr(0, bar)));
        std::string valueName = lower(trim(name.substr(bar + 1)));
        if (key.empty()) return;
        if (valueName == "@") valueName.clear();
        info.registry.push_back({key, valueName, value});
    } else if (kind == "windows-directory" && name.empty()) {
        info.windows_directory = value;
    } else if (kind == "file-version" && !name.empty()) {
        std::istringstream parts(value);
        std::string fileText, productText, extra;
        parts >> fileText >> productText >> extra;
        if (!extra.empty()) return;
        FileVersion v{lower(name)};
        if (!parse_version(fileText, v.file_ms, v.file_ls)) return;
        if (productText.empty()) {
            v.product_ms = v.file_ms;
            v.product_ls = v.file_ls;
        } else if (!parse_version(productText, v.product_ms, v.product_ls)) {
            return;
        }
        info.versions.push_back(v);
    }
}

} // namespace

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string registry_subkey(const std::string& key, const std::string& sub) {
    std::string out = key;
    std::string part;
    auto flush = [&] {
        if (!part.empty()) out += "\\" + lower(part);
        part.clear();
    };
    for (char c : sub) {
        if (c == '\\') flush();
        else part += c;
    }
    flush();
    return out;
}

std::string registry_key(const std::string& path) {
    const std::string p = lower(path);
    const auto sep = p.find('\\');
    const std::string hive = p.substr(0, sep);
    if (hive != "hkey_local_machine" && hive != "hklm") return "";
    return registry_subkey("hklm", sep == std::string::npos ? "" : path.substr(sep + 1));
}

std::optional<HostInfo> load_host_info() {
    const char* name = std::getenv(WIN_HOST_INFO_ENV);
    if (!name || !*name) return std::nullopt;
    std::ifstream in(name);
    if (!in) return std::nullopt;
    HostInfo info;
    std::string line;
    while (std::getline(in, line)) parse_line(line, info);
    return info;
}

} // namespace win
