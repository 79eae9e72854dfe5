// The Windows serial calls over the current serial driver: handles, name
// mapping and the clearing of DTR and RTS right after an open.
#include "serial_port.h"
#include "win_serial_driver.h"

#include <cstdint>
#include <cstdlib>
#include <map>

namespace win {
namespace {

SerialDriver* current = nullptr;

struct Handles {
    std::map<std::uintptr_t, OpenPort> open;
    std::uintptr_t next = 0x100;
};

Handles& handles() {
    static Handles h;
    return h;
}

OpenPort* find(HANDLE h) { return find_port(h); }

// The port number of "COMn" (n from 1 to 255), or 0 for any other name.
unsigned com_number(const std::string& name) {
    if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0) return 0;
    unsigned n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        n = n * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return n <= 255 ? n : 0;
}

} // namespace

OpenPort* find_port(HANDLE h) {
    auto it = handles().open.find(reinterpret_cast<std::uintptr_t>(h));
    return it == handles().open.end() ? nullptr : &it->second;
}

void set_serial_driver(SerialDriver* driver) { current = driver; }

SerialDriver& serial_driver() { return current ? *current : termios_driver(); }

std::string device_path(const std::string& name) {
    const unsigned n = com_number(name);
    if (n == 0) return name;
    if (const char* env = std::getenv(name.c_str()); env && *env) return env;
    return "/dev/ttyS" + std::to_string(n - 1);
}

} // namespace win

using namespace win;

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile) {
    if (!name) return INVALID_HANDLE_VALUE;
    SerialDriver& d = serial_driver();
    const int fd = d.open(name, device_path(name));
    if (fd < 0) return INVALID_HANDLE_VALUE;
    // DTR is a power key on the test line: drop both lines before anything
    // else can see them. A device without modem lines has nothing to clear.
    d.set_line(fd, Line::Dtr, false);
    d.set_line(fd, Line::Rts, false);
    Handles& hs = handles();
    const std::uintptr_t h = hs.next++;
    hs.open[h] = OpenPort{fd};
    return reinterpret_cast<HANDLE>(h);
}

BOOL GetCommState(HANDLE port, LPDCB dcb) {
    OpenPort* p = find(port);
    return p && dcb && serial_driver().get_state(p->fd, *dcb) ? TRUE : FALSE;
}

BOOL SetCommState(HANDLE port, LPDCB dcb) {
    OpenPort* p = find(port);
    return p && dcb && serial_driver().set_state(p->fd, *dcb) ? TRUE : FALSE;
}

BOOL PurgeComm(HANDLE port, DWORD flags) {
    OpenPort* p = find(port);
    return p && serial_driver().purge(p->fd, flags) ? TRUE : FALSE;
}

BOOL EscapeCommFunction(HANDLE port, DWORD function) {
    OpenPort* p = find(port);
    if (!p) return FALSE;
    switch (function) {
    case SETDTR: return serial_driver().set_line(p->fd, Line::Dtr, true) ? TRUE : FALSE;
    case CLRDTR: return serial_driver().set_line(p->fd, Line::Dtr, false) ? TRUE : FALSE;
    case SETRTS: return serial_driver().set_line(p->fd, Line::Rts, true) ? TRUE : FALSE;
    case CLRRTS: return serial_driver().set_line(p->fd, Line::Rts, false) ? TRUE : FALSE;
    default: return FALSE;
    }
}

BOOL CloseHandle(HANDLE handle) {
    OpenPort* p = find(handle);
    if (!p) return FALSE;
    // A failed close keeps the handle, so the caller can try again.
    if (!serial_driver().close(p->fd)) return FALSE;
    handles().open.erase(reinterpret_cast<std::uintptr_t>(handle));
    return TRUE;
}
