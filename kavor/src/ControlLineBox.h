// The control-line box: a serial port of its own whose DTR line works the
// phone's power key. No data ever flows on it; only DTR and RTS change.
#pragma once

#include "win_serial.h"

#include <cstdint>

namespace kavor {

class ControlLineBox {
public:
    ControlLineBox() = default;
    ControlLineBox(const ControlLineBox&) = delete;
    ControlLineBox& operator=(const ControlLineBox&) = delete;

    // Opens "COM<port>" and sets it up (DTR and RTS end low); the handle, or
    // INVALID_HANDLE_VALUE. Leaves the object as it is.
    HANDLE openPort(std::uint16_t port);
    // Raises RTS, then closes the handle when the box is open (its result),
    // else true without closing.
    bool closePort(HANDLE handle);
    // True when open on this port; false when open on another one; else opens.
    bool ensureOpen(std::uint16_t port);
    // False when not open or when the close fails (the box then stays open).
    bool close();
    // Phone on: open on this port if needed, then DTR high.
    bool switchOn(std::uint16_t port);
    // Phone off: DTR low on the port the box is open on (never opens).
    bool switchOff(std::uint16_t port);

    bool isOpen() const { return bOpen_; }
    std::uint16_t port() const { return usPort_; }

private:
    std::uint16_t usPort_ = 0;
    HANDLE hPort_ = INVALID_HANDLE_VALUE;
    bool bOpen_ = false;
};

} // namespace kavor
