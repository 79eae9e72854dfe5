// The seam under the serial calls of win_serial.h: the device and its modem
// lines. The termios driver is the default; tests install a recorder
// (win_line_recorder.h) in its place.
#pragma once

#include "win_serial.h"

#include <cstddef>
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

    // Data, none of it waiting. The defaults are a line with nothing on its
    // far end: nothing arrives, everything written goes out at once.
    // Reads what is there, up to n bytes: the count, 0 when nothing is
    // there, -1 on failure.
    virtual long read(int fd, void* buffer, std::size_t n);
    // Writes what fits now: the count (0 when nothing fits), -1 on failure.
    virtual long write(int fd, const void* data, std::size_t n);
    // Waits up to ms milliseconds of real time until the device can be read
    // (or written, with forWrite); false when the wait itself failed.
    virtual bool wait(int fd, bool forWrite, int ms);
    // Waits until what was written has left the device.
    virtual bool drain(int fd);
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
