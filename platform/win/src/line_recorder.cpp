// The recording serial driver of the tests.
#include "win_line_recorder.h"

namespace win_test {

const char* event_name(Event e) {
    switch (e) {
    case Event::Open: return "open";
    case Event::Close: return "close";
    case Event::Dtr: return "DTR";
    case Event::Rts: return "RTS";
    }
    return "?";
}

LineRecorder::LineRecorder() { win::set_serial_driver(this); }

LineRecorder::~LineRecorder() {
    for (auto& [name, p] : ports_)
        if (p.device_fd >= 0) win::termios_driver().close(p.device_fd);
    if (&win::serial_driver() == this) win::set_serial_driver(nullptr);
}

void LineRecorder::fail_open(const std::string& port, int times) { ports_[port].open_failures = times; }

void LineRecorder::set_busy(const std::string& port, bool busy) { ports_[port].busy = busy; }

void LineRecorder::fail_line(const std::string& port, win::Line line, int times) {
    (line == win::Line::Dtr ? ports_[port].dtr_failures : ports_[port].rts_failures) = times;
}

void LineRecorder::fail_close(const std::string& port, int times) { ports_[port].close_failures = times; }

void LineRecorder::wire_dtr(const std::string& port, std::function<void(bool)> listener) {
    ports_[port].dtr_listener = std::move(listener);
}

void LineRecorder::use_device(const std::string& port) { ports_[port].device = true; }

bool LineRecorder::is_open(const std::string& port) const {
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.open;
}

bool LineRecorder::line(const std::string& port, win::Line line) const {
    auto it = ports_.find(port);
    if (it == ports_.end()) return false;
    return line == win::Line::Dtr ? it->second.dtr : it->second.rts;
}

DCB LineRecorder::settings(const std::string& port) const {
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.has_settings ? it->second.settings : initial_settings;
}

int LineRecorder::purges(const std::string& port) const {
    auto it = ports_.find(port);
    return it == ports_.end() ? 0 : it->second.purges;
}

DWORD LineRecorder::last_purge_flags(const std::string& port) const {
    auto it = ports_.find(port);
    return it == ports_.end() ? 0 : it->second.purge_flags;
}

namespace {
// Counts a fault down; true when this call is hit.
bool take(int& failures) {
    if (failures == 0) return false;
    if (failures > 0) --failures;
    return true;
}
} // namespace

int LineRecorder::open(const std::string& name, const std::string& path) {
    Port& p = ports_[name];
    if (take(p.open_failures) || p.busy || p.open) return -1;
    if (p.device && (p.device_fd = win::termios_driver().open(name, path)) < 0) return -1;
    p.open = true;
    // Linux raises both lines when it opens a tty; the caller drops them.
    p.dtr = p.rts = true;
    const int fd = next_fd_++;
    fds_[fd] = name;
    journal.push_back({name, Event::Open});
    return fd;
}

LineRecorder::Port* LineRecorder::port_of(int fd) {
    auto it = fds_.find(fd);
    return it == fds_.end() ? nullptr : &ports_[it->second];
}

int LineRecorder::device_of(int fd) {
    Port* p = port_of(fd);
    return p && p->device ? p->device_fd : -1;
}

bool LineRecorder::get_state(int fd, DCB& dcb) {
    Port* p = port_of(fd);
    if (!p) return false;
    if (p->device) return win::termios_driver().get_state(p->device_fd, dcb);
    dcb = p->has_settings ? p->settings : initial_settings;
    return true;
}

bool LineRecorder::set_state(int fd, const DCB& dcb) {
    Port* p = port_of(fd);
    if (!p) return false;
    if (p->device && !win::termios_driver().set_state(p->device_fd, dcb)) return false;
    p->settings = dcb;
    p->has_settings = true;
    return true;
}

bool LineRecorder::purge(int fd, DWORD flags) {
    Port* p = port_of(fd);
    if (!p) return false;
    if (p->device && !win::termios_driver().purge(p->device_fd, flags)) return false;
    ++p->purges;
    p->purge_flags = flags;
    return true;
}

bool LineRecorder::set_line(int fd, win::Line line, bool high) {
    Port* p = port_of(fd);
    if (!p) return false;
    const bool dtr = line == win::Line::Dtr;
    if (take(dtr ? p->dtr_failures : p->rts_failures)) return false;
    (dtr ? p->dtr : p->rts) = high;
    journal.push_back({fds_[fd], dtr ? Event::Dtr : Event::Rts, high});
    if (dtr && p->dtr_listener) p->dtr_listener(high);
    return true;
}

bool LineRecorder::close(int fd) {
    Port* p = port_of(fd);
    if (!p) return false;
    if (take(p->close_failures)) return false;
    if (p->device) {
        win::termios_driver().close(p->device_fd);
        p->device_fd = -1;
    }
    p->open = false;
    const std::string name = fds_[fd];
    fds_.erase(fd);
    journal.push_back({name, Event::Close});
    return true;
}

long LineRecorder::read(int fd, void* buffer, std::size_t n) {
    if (!port_of(fd)) return -1;
    const int dev = device_of(fd);
    return dev < 0 ? SerialDriver::read(fd, buffer, n) : win::termios_driver().read(dev, buffer, n);
}

long LineRecorder::write(int fd, const void* data, std::size_t n) {
    if (!port_of(fd)) return -1;
    const int dev = device_of(fd);
    return dev < 0 ? SerialDriver::write(fd, data, n) : win::termios_driver().write(dev, data, n);
}

bool LineRecorder::wait(int fd, bool forWrite, int ms) {
    const int dev = device_of(fd);
    return dev < 0 ? SerialDriver::wait(fd, forWrite, ms) : win::termios_driver().wait(dev, forWrite, ms);
}

bool LineRecorder::drain(int fd) {
    if (!port_of(fd)) return false;
    const int dev = device_of(fd);
    return dev < 0 ? SerialDriver::drain(fd) : win::termios_driver().drain(dev);
}

} // namespace win_test
