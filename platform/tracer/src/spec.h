// Parsing of a trace session's specification text.
#pragma once

#include <optional>
#include <string>

namespace tracer {

struct Spec {
    bool terminal = false;
    bool file = false;
    int max_files = 1;
    std::string file_name = "trace";
};

// The settings the text names, or nullopt when it is malformed (odd number
// of fields, unknown or repeated key, value out of range, empty file name).
std::optional<Spec> parse_spec(const std::string& text);

} // namespace tracer
