// Queues, time-outs and data of the serial ports: the Windows time-out rules
// on the process clock over the current driver's non-waiting reads and
// writes.
#include "pclock.h"
#include "serial_port.h"
#include "win_serial_driver.h"

#include <algorithm>
#include <cstdint>
#include <chrono>
#include <thread>

namespace win {

// The defaults of the driver's data calls (see win_serial_driver.h).
long SerialDriver::read(int, void*, std::size_t) { return 0; }
long SerialDriver::write(int, const void*, std::size_t n) { return static_cast<long>(n); }
bool SerialDriver::wait(int, bool, int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return true;
}
bool SerialDriver::drain(int) { return true; }

namespace {

constexpr pclock::Millis kNoLimit = -1;
constexpr pclock::Millis kVirtualStepMs = 1;

// A total time-out of multiplier x bytes + constant; none when both are 0.
pclock::Millis totalLimit(DWORD multiplier, DWORD constant, DWORD size) {
    if (multiplier == 0 && constant == 0) return kNoLimit;
    return static_cast<pclock::Millis>(multiplier) * size + constant;
}

// One step of waiting for the device: on virtual time the clock moves on
// (running what is scheduled, e.g. a test's far end); on real time the
// driver waits for the device, at most until the deadline.
bool waitStep(int fd, bool forWrite, pclock::Millis deadline) {
    if (pclock::is_virtual()) {
        pclock::sleep_ms(kVirtualStepMs);
        return true;
    }
    pclock::run_due();
    const pclock::Millis left = deadline == kNoLimit ? 1000 : std::max<pclock::Millis>(0, deadline - pclock::now_ms());
    return serial_driver().wait(fd, forWrite, static_cast<int>(std::min<pclock::Millis>(left, 1000)));
}

} // namespace
} // namespace win

using namespace win;

BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue) {
    OpenPort* p = find_port(port);
    if (!p) return FALSE;
    p->in_queue = inQueue;
    p->out_queue = outQueue;
    return TRUE;
}

BOOL GetCommProperties(HANDLE port, LPCOMMPROP properties) {
    OpenPort* p = find_port(port);
    if (!p || !properties) return FALSE;
    *properties = COMMPROP{};
    properties->wPacketLength = sizeof(COMMPROP);
    properties->dwServiceMask = SP_SERIALCOMM;
    properties->dwCurrentTxQueue = p->out_queue;
    properties->dwCurrentRxQueue = p->in_queue;
    return TRUE;
}

BOOL GetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts) {
    OpenPort* p = find_port(port);
    if (!p || !timeouts) return FALSE;
    *timeouts = p->timeouts;
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts) {
    OpenPort* p = find_port(port);
    if (!p || !timeouts) return FALSE;
    p->timeouts = *timeouts;
    return TRUE;
}

BOOL ReadFile(HANDLE port, void* buffer, DWORD size, DWORD* done, void* overlapped) {
    if (done) *done = 0;
    OpenPort* p = find_port(port);
    if (!p || overlapped || (size && !buffer)) return FALSE;
    const COMMTIMEOUTS t = p->timeouts;
    const bool atOnce = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
                        t.ReadTotalTimeoutConstant == 0;
    const bool firstByte = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
                           t.ReadTotalTimeoutConstant > 0 && t.ReadTotalTimeoutConstant < MAXDWORD;
    const pclock::Millis limit = firstByte ? t.ReadTotalTimeoutConstant
                                           : totalLimit(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, size);
    const pclock::Millis deadline = limit == kNoLimit ? kNoLimit : pclock::now_ms() + limit;
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    DWORD got = 0;
    for (;;) {
        const long n = serial_driver().read(p->fd, bytes + got, size - got);
        if (n < 0) return FALSE;
        got += static_cast<DWORD>(n);
        if (done) *done = got;
        if (got == size || atOnce || (firstByte && got > 0)) return TRUE;
        if (deadline != kNoLimit && pclock::now_ms() >= deadline) return TRUE;
        if (!waitStep(p->fd, false, deadline)) return FALSE;
    }
}

BOOL WriteFile(HANDLE port, const void* data, DWORD size, DWORD* done, void* overlapped) {
    if (done) *done = 0;
    OpenPort* p = find_port(port);
    if (!p || overlapped || (size && !data)) return FALSE;
    const COMMTIMEOUTS t = p->timeouts;
    const pclock::Millis limit = totalLimit(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, size);
    const pclock::Millis deadline = limit == kNoLimit ? kNoLimit : pclock::now_ms() + limit;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    DWORD sent = 0;
    for (;;) {
        const long n = serial_driver().write(p->fd, bytes + sent, size - sent);
        if (n < 0) return FALSE;
        sent += static_cast<DWORD>(n);
        if (done) *done = sent;
        if (sent == size) return TRUE;
        if (deadline != kNoLimit && pclock::now_ms() >= deadline) return TRUE;
        if (!waitStep(p->fd, true, deadline)) return FALSE;
    }
}

BOOL FlushFileBuffers(HANDLE port) {
    OpenPort* p = find_port(port);
    return p && serial_driver().drain(p->fd) ? TRUE : FALSE;
}
