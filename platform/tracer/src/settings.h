// Parsing of a trace session's settings text.
#pragma once

#include <optional>
#include <string>

namespace tracer {

struct Settings {
    bool terminal = false;
    bool file = false;
    int max_files = 1;
    std::string file_name = "trace";
};

// The settings the text names, or nullopt when it is malformed (odd number
// of fields, unknown or repeated key, value out of range, empty file name).
std::optional<Settings> parse_settings(const std::string& text);

} // namespace tracer
