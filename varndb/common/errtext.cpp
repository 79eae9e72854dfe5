#include "errtext.h"

#include "varndb.h"

#include <cstdarg>
#include <cstdio>

namespace varndb {

void put_text(char* errText, const char* format, ...) {
    if (!errText) return;
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(errText, VARNDB_ERRTEXT_SIZE, format, ap);
    va_end(ap);
}

void clear_text(char* errText) {
    if (errText) errText[0] = '\0';
}

} // namespace varndb
