// Test side of the serial calls: a driver that opens nothing, keeps each
// port's lines and settings, journals every open, close and line change, can
// be made to fail, and can wire a port's DTR to something that listens to it
// (a simulated phone's power key). A port can also carry data to a real
// device (a test's pseudo-terminal) while its lines are still only recorded.
//
//   win_test::LineRecorder rec;            // installed while it lives
//   rec.wire_dtr("COM7", [](bool high) { qmsl_sim::phone(1).power_key_line(high); });
#pragma once

#include "win_serial_driver.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace win_test {

enum class Event { Open, Close, Dtr, Rts };
const char* event_name(Event e);

struct LineEvent {
    std::string port;  // the caller's name, e.g. "COM7"
    Event event;
    bool level = false;  // for Dtr and Rts
    bool operator==(const LineEvent&) const = default;
};

class LineRecorder : public win::SerialDriver {
public:
    LineRecorder();   // installs itself as the serial driver
    ~LineRecorder() override;  // puts the termios driver back
    LineRecorder(const LineRecorder&) = delete;
    LineRecorder& operator=(const LineRecorder&) = delete;

    // Every open, close and line change that took effect, in order.
    std::vector<LineEvent> journal;

    // --- faults -------------------------------------------------------------
    // The port is absent: the next `times` opens fail (-1: every open).
    void fail_open(const std::string& port, int times = -1);
    // Another program holds the port: opens fail while it is busy. An open
    // port is busy for a second open as well, as the opens are exclusive.
    void set_busy(const std::string& port, bool busy = true);
    // The next `times` changes of the line on the port fail.
    void fail_line(const std::string& port, win::Line line, int times = 1);
    void fail_close(const std::string& port, int times = 1);

    // --- wiring and state ---------------------------------------------------
    void wire_dtr(const std::string& port, std::function<void(bool high)> listener);
    // The port opens its device path (win::device_path) with the termios
    // driver and carries data, settings and purges to it; its DTR and RTS
    // are recorded only, as a pseudo-terminal has no such lines. Other ports
    // carry nothing: nothing arrives, writes go nowhere.
    void use_device(const std::string& port);
    bool is_open(const std::string& port) const;
    bool line(const std::string& port, win::Line line) const;
    // The settings last applied with SetCommState (the initial DCB before).
    DCB settings(const std::string& port) const;
    // What GetCommState reports for a port that was never set.
    DCB initial_settings{};
    int purges(const std::string& port) const;
    DWORD last_purge_flags(const std::string& port) const;

    // --- the driver ---------------------------------------------------------
    int open(const std::string& name, const std::string& path) override;
    bool get_state(int fd, DCB& dcb) override;
    bool set_state(int fd, const DCB& dcb) override;
    bool purge(int fd, DWORD flags) override;
    bool set_line(int fd, win::Line line, bool high) override;
    bool close(int fd) override;
    long read(int fd, void* buffer, std::size_t n) override;
    long write(int fd, const void* data, std::size_t n) override;
    bool wait(int fd, bool forWrite, int ms) override;
    bool drain(int fd) override;

private:
    struct Port {
        bool open = false;
        bool busy = false;
        bool dtr = false, rts = false;
        bool has_settings = false;
        DCB settings{};
        int purges = 0;
        DWORD purge_flags = 0;
        int open_failures = 0;
        int dtr_failures = 0, rts_failures = 0, close_failures = 0;
        std::function<void(bool)> dtr_listener;
        bool device = false;
        int device_fd = -1;
    };
    // The device descriptor of a data-carrying port, else -1.
    int device_of(int fd);
    Port* port_of(int fd);
    std::map<std::string, Port> ports_;
    std::map<int, std::string> fds_;
    int next_fd_ = 100;
};

} // namespace win_test
#pragma GCC visibility pop
