// A sibling database module for the tests: keeps the MAC id it is given.
#include <cstdio>

namespace {
char g_mac[64] = "";
int g_calls = 0;
} // namespace

extern "C" __attribute__((visibility("default"))) int setMacId(const char* mac) {
    std::snprintf(g_mac, sizeof g_mac, "%s", mac ? mac : "<null>");
    return ++g_calls;
}

extern "C" __attribute__((visibility("default"))) const char* sarvekdbTestLastMac() { return g_mac; }
extern "C" __attribute__((visibility("default"))) int sarvekdbTestCalls() { return g_calls; }
