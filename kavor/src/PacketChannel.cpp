#include "PacketChannel.h"

#include <cstdarg>
#include <cstdio>

namespace kavor {

void PacketChannel::logCall(const char* format, ...) {
    char text[kLogLineSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    QLIB_AddUserMessageToTextLog(handle_, 2, text, 0);
}

} // namespace kavor
