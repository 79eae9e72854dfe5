// Test side of the serial ports: a pseudo-terminal that stands in for the
// device behind a COM port. Its port side is named through the environment
// variable COMn (see win::device_path) while the object lives; the test
// plays the far end of the line through it. Both ends are raw, and neither
// end ever waits.
//
//   win_test::PseudoTerminal line(20);   // "COM20" now opens the pty
//   line.put({0xC0, 0x01});              // the port can read these
//   auto sent = line.take();             // what the port wrote
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace win_test {

class PseudoTerminal {
public:
    explicit PseudoTerminal(unsigned comNumber);
    ~PseudoTerminal();  // closes both ends, puts COMn back as it was
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return far_ >= 0 && near_ >= 0; }
    const std::string& port() const { return port_; }  // "COMn"
    const std::string& path() const { return path_; }  // the port side's device

    // The far end: everything the port wrote that is there now, and bytes
    // for the port to read (false when they did not all fit).
    std::vector<std::uint8_t> take();
    bool put(const std::vector<std::uint8_t>& bytes);

private:
    std::string port_, path_;
    std::optional<std::string> saved_env_;
    int far_ = -1;   // the master side
    int near_ = -1;  // the port side, held open so the line stays up between opens of the port
};

} // namespace win_test
#pragma GCC visibility pop
