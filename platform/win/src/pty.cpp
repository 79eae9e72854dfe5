// The pseudo-terminal of the tests' serial lines.
#include "win_pty.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace win_test {

namespace {
void makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return;
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
}
} // namespace

PseudoTerminal::PseudoTerminal(unsigned comNumber) : port_("COM" + std::to_string(comNumber)) {
    if (const char* old = std::getenv(port_.c_str())) saved_env_ = old;
    far_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (far_ < 0 || ::grantpt(far_) != 0 || ::unlockpt(far_) != 0) return;
    char name[128];
    if (::ptsname_r(far_, name, sizeof name) != 0) return;
    path_ = name;
    near_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (near_ < 0) return;
    makeRaw(far_);
    makeRaw(near_);
    ::setenv(port_.c_str(), path_.c_str(), 1);
}

PseudoTerminal::~PseudoTerminal() {
    if (near_ >= 0) ::close(near_);
    if (far_ >= 0) ::close(far_);
    if (saved_env_) ::setenv(port_.c_str(), saved_env_->c_str(), 1);
    else ::unsetenv(port_.c_str());
}

std::vector<std::uint8_t> PseudoTerminal::take() {
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[512];
    for (;;) {
        // A read flushes what the kernel still holds for this end, so what
        // the port wrote before is here now.
        const ssize_t n = ::read(far_, chunk, sizeof chunk);
        if (n <= 0) break;
        out.insert(out.end(), chunk, chunk + n);
    }
    return out;
}

bool PseudoTerminal::put(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(far_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace win_test
