// exports_check <library> <name>...: exits 0 when the library's dynamic
// symbol table defines exactly the names given, else lists both sides.
#include "export_check.h"

#include <cstdio>
#include <set>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: exports_check <library> <name>...\n");
        return 2;
    }
    const std::set<std::string> expected(argv + 2, argv + argc);
    const std::set<std::string> found = testsupport::exported_symbols(argv[1]);
    if (found == expected) return 0;
    std::fprintf(stderr, "exports of %s differ\n", argv[1]);
    for (const auto& n : found)
        if (!expected.count(n)) std::fprintf(stderr, "  not expected: %s\n", n.c_str());
    for (const auto& n : expected)
        if (!found.count(n)) std::fprintf(stderr, "  missing:      %s\n", n.c_str());
    return 1;
}
