// The real serial driver: termios for the settings, the modem-control ioctls
// for DTR and RTS, TIOCEXCL plus an exclusive flock for the no-sharing open.
#include "win_serial_driver.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace win {
namespace {

struct Speed {
    DWORD baud;
    speed_t code;
};
constexpr Speed kSpeeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800},
};

DWORD baud_of(speed_t code) {
    for (const Speed& s : kSpeeds)
        if (s.code == code) return s.baud;
    return 0;
}

bool code_of(DWORD baud, speed_t& code) {
    for (const Speed& s : kSpeeds)
        if (s.baud == baud) {
            code = s.code;
            return true;
        }
    return false;
}

class TermiosDriver : public SerialDriver {
public:
    int open(const std::string&, const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return -1;
        // No sharing: another process holding the lock, or an exclusive tty,
        // makes the port busy. TIOCEXCL fails on a non-tty; that is no error.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return -1;
        }
        ::ioctl(fd, TIOCEXCL);
        return fd;
    }

    bool get_state(int fd, DCB& dcb) override {
        termios t{};
        if (::tcgetattr(fd, &t) != 0) return false;
        dcb.DCBlength = sizeof(DCB);
        dcb.BaudRate = baud_of(::cfgetospeed(&t));
        switch (t.c_cflag & CSIZE) {
        case CS5: dcb.ByteSize = 5; break;
        case CS6: dcb.ByteSize = 6; break;
        case CS7: dcb.ByteSize = 7; break;
        default: dcb.ByteSize = 8; break;
        }
        dcb.Parity = !(t.c_cflag & PARENB) ? NOPARITY : (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
        dcb.StopBits = (t.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
        dcb.fBinary = 1;
        dcb.fOutxCtsFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
        dcb.fOutX = (t.c_iflag & IXON) ? 1 : 0;
        dcb.fInX = (t.c_iflag & IXOFF) ? 1 : 0;
        dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
        dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
        return true;
    }

    bool set_state(int fd, const DCB& dcb) override {
        termios t{};
        speed_t speed;
        if (::tcgetattr(fd, &t) != 0 || !code_of(dcb.BaudRate, speed)) return false;
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
        switch (dcb.ByteSize) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        case 8: t.c_cflag |= CS8; break;
        default: return false;
        }
        switch (dcb.Parity) {
        case NOPARITY: break;
        case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
        case EVENPARITY: t.c_cflag |= PARENB; break;
        default: return false;
        }
        // 1.5 stop bits do not exist on Linux: one stop bit stands in.
        if (dcb.StopBits == TWOSTOPBITS) t.c_cflag |= CSTOPB;
        if (dcb.fOutxCtsFlow) t.c_cflag |= CRTSCTS;
        if (dcb.fOutX) t.c_iflag |= IXON;
        if (dcb.fInX) t.c_iflag |= IXOFF;
        t.c_cflag |= CREAD | CLOCAL;
        return ::tcsetattr(fd, TCSANOW, &t) == 0;
    }

    bool purge(int fd, DWORD flags) override {
        const bool tx = flags & (PURGE_TXCLEAR | PURGE_TXABORT);
        const bool rx = flags & (PURGE_RXCLEAR | PURGE_RXABORT);
        if (!tx && !rx) return true;
        return ::tcflush(fd, tx && rx ? TCIOFLUSH : tx ? TCOFLUSH : TCIFLUSH) == 0;
    }

    bool set_line(int fd, Line line, bool high) override {
        int bits = line == Line::Dtr ? TIOCM_DTR : TIOCM_RTS;
        return ::ioctl(fd, high ? TIOCMBIS : TIOCMBIC, &bits) == 0;
    }

    long read(int fd, void* buffer, std::size_t n) override {
        if (n == 0) return 0;
        const ssize_t r = ::read(fd, buffer, n);
        if (r > 0) return static_cast<long>(r);
        // The descriptor never blocks: "nothing there" is EAGAIN; 0 is a
        // hang-up (the far end of a pseudo-terminal went away).
        return r < 0 && (errno == EAGAIN || errno == EINTR) ? 0 : -1;
    }

    long write(int fd, const void* data, std::size_t n) override {
        if (n == 0) return 0;
        const ssize_t r = ::write(fd, data, n);
        if (r >= 0) return static_cast<long>(r);
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    }

    bool wait(int fd, bool forWrite, int ms) override {
        pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
        return ::poll(&p, 1, ms) >= 0 || errno == EINTR;
    }

    bool drain(int fd) override { return ::tcdrain(fd) == 0; }

    bool close(int fd) override {
        // The exclusive mode stays with the tty while anything else holds it
        // open (the far end of a test line does): give it up with the port.
        ::ioctl(fd, TIOCNXCL);
        ::flock(fd, LOCK_UN);
        return ::close(fd) == 0 || errno == EINTR;
    }
};

} // namespace

SerialDriver& termios_driver() {
    static TermiosDriver driver;
    return driver;
}

} // namespace win
