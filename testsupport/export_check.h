// Test helper: the functions a shared library exports, read with nm.
#pragma once

#include <cstdio>
#include <set>
#include <string>

namespace testsupport {

// Names of the functions and data a library defines in its dynamic symbol
// table, without the tool chain's own (_init, _fini, absolute markers and
// names starting with "__").
inline std::set<std::string> exported_symbols(const std::string& library) {
    std::set<std::string> names;
    std::string cmd = "nm -D --defined-only '" + library + "' 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return names;
    char line[1024];
    while (std::fgets(line, sizeof line, p)) {
        char addr[64], type[8], name[900];
        if (std::sscanf(line, "%63s %7s %899s", addr, type, name) != 3) continue;
        std::string n = name;
        if (std::string("TWDBVRiu").find(type[0]) == std::string::npos) continue;  // absolute markers etc.
        if (n.rfind("__", 0) == 0 || n == "_init" || n == "_fini") continue;
        names.insert(n);
    }
    pclose(p);
    return names;
}

} // namespace testsupport
