#include "settings.h"

#include <set>
#include <vector>

namespace tracer {
namespace {

std::vector<std::string> split_fields(const std::string& text) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto colon = text.find(':', start);
        fields.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos) return fields;
        start = colon + 1;
    }
}

// A decimal number of 1 to 3 digits (leading zeros allowed, "010" is 10).
std::optional<int> small_number(const std::string& s) {
    if (s.empty() || s.size() > 3) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<bool> flag(const std::string& s) {
    const auto v = small_number(s);
    if (!v || *v > 1) return std::nullopt;
    return *v == 1;
}

} // namespace

std::optional<Settings> parse_settings(const std::string& text) {
    Settings settings;
    if (text.empty()) return settings;
    const auto fields = split_fields(text);
    if (fields.size() % 2 != 0) return std::nullopt;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < fields.size(); i += 2) {
        const std::string& key = fields[i];
        const std::string& value = fields[i + 1];
        if (!seen.insert(key).second) return std::nullopt;
        if (key == "TERMINAL" || key == "FILE") {
            const auto f = flag(value);
            if (!f) return std::nullopt;
            (key == "TERMINAL" ? settings.terminal : settings.file) = *f;
        } else if (key == "MAXFILES") {
            const auto n = small_number(value);
            if (!n || *n < 1) return std::nullopt;
            settings.max_files = *n;
        } else if (key == "FILENAME") {
            if (value.empty()) return std::nullopt;
            settings.file_name = value;
        } else {
            return std::nullopt;
        }
    }
    return settings;
}

} // namespace tracer
