// The MAC id for a sibling database module that the program has already
// loaded (it keeps its own copy of the station's identity).
#include "dalmire_internal.h"

#include <dlfcn.h>

#include <string>

namespace dalmire {

void handMacIdToSibling(const char* mac) {
    static const char* const kModules[] = {"sarvekdb", "sarvekdb7", "sarvekdb9i_2"};
    for (const char* m : kModules) {
        // A module is known by its own name or by its file name.
        const std::string names[] = {m, std::string("lib") + m + ".so"};
        for (const auto& name : names) {
            void* h = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD);
            if (!h) continue;
            using SetMacId = int (*)(const char*);
            if (auto f = reinterpret_cast<SetMacId>(dlsym(h, "setMacId"))) f(mac);
            dlclose(h);  // only drops the reference NOLOAD took
            return;
        }
    }
}

} // namespace dalmire
