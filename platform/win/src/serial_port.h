// The open ports behind the serial handles, shared by the calls of
// win_serial.h and win_serial_io.h.
#pragma once

#include "win_serial_io.h"

namespace win {

struct OpenPort {
    int fd;
    DWORD in_queue = 0, out_queue = 0;  // SetupComm
    COMMTIMEOUTS timeouts{};
};

// The port of an open handle, or null.
OpenPort* find_port(HANDLE h);

} // namespace win
