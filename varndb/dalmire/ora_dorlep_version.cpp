// The interface version of the library.
#include "varndb.h"

#include <cstdio>

extern "C" void varndb_GetDllVersion(char* buf, int len) {
    if (buf && len > 0) std::snprintf(buf, static_cast<std::size_t>(len), "VARN_HEADER_VERSION:%d", VARNDB_HEADER_VERSION);
}
