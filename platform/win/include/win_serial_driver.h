// The seam under the serial calls of win_serial.h: the device and its modem
// lines. The termios driver is the default; tests install a recorder
// (win_line_recorder.h) in its place.
#pragma once

#include "win_serial.h"

#include <string>

#pragma GCC visibility push(default)
namespace win {

enum class Line { Dtr, Rts };

class SerialDriver {
public:
    virtual ~SerialDriver() = default;
    // Opens the device exclusively; a descriptor >= 0, or -1 when it is
    // absent or in use. `name` is the caller's name ("COM3"), `path` the
    // device it maps to.
    virtual int open(const std::string& name, const std::string& path) = 0;
    virtual bool get_state(int fd, DCB& dcb) = 0;
    virtual bool set_state(int fd, const DCB& dcb) = 0;
    virtual bool purge(int fd, DWORD flags) = 0;
    virtual bool set_line(int fd, Line line, bool high) = 0;
    virtual bool close(int fd) = 0;
};

// The driver in use; null restores the termios driver.
void set_serial_driver(SerialDriver* driver);
SerialDriver& serial_driver();
SerialDriver& termios_driver();

// The device path of a port name: COMn -> $COMn, else /dev/ttyS{n-1}; any
// other name is its own path.
std::string device_path(const std::string& name);

} // namespace win
#pragma GCC visibility pop
