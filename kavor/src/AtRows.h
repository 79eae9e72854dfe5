// The data that drives the AT channel: one Command row per export, made of
// the command text, the fields with their writing rules and the values read
// back with their reading rules. The rows live in At*Rows.cpp, one file per
// group of commands; AtEngine.cpp runs any of them.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kavor {
class AtChannel;
}

namespace kavor::at {

// One export argument, whatever its C type: an integer, a text or an
// out-parameter.
struct Arg {
    long long value = 0;
    const char* text = nullptr;
    void* out = nullptr;
    std::uint16_t width = 0;  // bytes of the integer, of the out-parameter or of one text slot
    bool isText = false;

    template <std::integral T>
    Arg(T v) : value(static_cast<long long>(v)), width(sizeof(T)) {}
    Arg(const char* t) : text(t), isText(true) {}
    template <std::integral T>
    Arg(T* p) : out(p), width(sizeof(T)) {}
    // An area of fixed-size text slots (char text[][N]).
    template <std::size_t N>
    Arg(char (*p)[N]) : out(p), width(N) {}

    // Whether the argument holds the omitted-field marker of its type: 0xFF
    // (one byte), 0xFFFF (two bytes), -1 (wider), a text beginning with '-'
    // (or no text at all).
    bool omitted() const;
    // Writes v into the out-parameter in its width (nothing when it is null).
    void put(long long v) const;
    // The out-parameter's present value (0 when it is null).
    long long current() const;
    // Entry i of an out-array of integers, or slot i of a text area.
    void putAt(std::size_t i, long long v) const;
    char* slot(std::size_t i) const { return out ? static_cast<char*>(out) + i * width : nullptr; }
};

// Writing rules of a request field.
enum class Put : std::uint8_t {
    None,           // end of the field list
    OneDigit,       // the first character of the value in decimal
    AllDigits,      // the value in decimal (at most `limit` characters when it is set)
    ThreeDigits,    // hundreds, tens and units digit
    DigitOrZero,    // one digit; the marker 0xFF sends '0'
    UpTo100,        // every digit of 0 to 100; nothing above 100
    TwoDigits,      // tens digit (of the value below 100) and units digit
    Padded2,        // the first two characters of "%0.2d"
    UpToTwoDigits,  // one digit below 10, else the first two characters
    VibIndex,       // 1, 2 -> one digit of index - 1; 3 on -> first two of index + 13
    Text,           // the bytes up to the NUL, at most `limit` when it is set
    ExactText,      // exactly `limit` bytes; any other length refuses the request
    PinDigits,      // each byte up to the NUL as the one digit of (byte - '0')
    ValueDigits,    // each byte as the one digit of its value: up to the NUL, or exactly `limit` bytes
    ZoneSign,       // '+' for 0 and above, '-' below
    ZoneMagnitude,  // Padded2 of the value's magnitude
};

// What a field holding its marker does.
enum class Omit : std::uint8_t {
    Never,  // the field has no marker
    Rest,   // the field and every field after it are left out
    Place,  // the value is left out; its `before` and `after` bytes stay
    Alone,  // the field is left out whole; the fields after it stay
    Group,  // a run of Group fields: any of them at its marker leaves out the run and the rest
};

struct Field {
    Put put = Put::None;
    std::uint8_t arg = 0;         // index of the argument
    std::string_view before = {};  // bytes written in front of the value
    std::string_view after = {};   // bytes written after it
    Omit omit = Omit::Never;
    std::uint16_t limit = 0;
};

// Reading rules of a reply value, at a position moved by the echo offset.
enum class Take : std::uint8_t {
    None,           // end of the read list
    Digit,          // digit rule
    TwoDigit,       // digit at p times 10 plus digit at p+1
    Char,           // the byte itself
    CharMinusZero,  // the byte minus '0', in the out-parameter's width
    DigitOrTwo,     // digit at p; two-digit at p when the byte at p+1 is not CR
    DigitsOnto,     // a digit at p sets the value; a digit at p+1 then makes it value*10 + digit
    SignedTwoDigit, // two-digit at p, negated when the byte at p-1 is '-'
    UpToThreeDigits,// 100 x p + 10 x p+1 + p+2, or fewer places while p+2, p+1 are no digits
    SixDigits,      // the six digits from p as one decimal number, in the out-parameter's width
    DigitsToCr,     // every digit from p up to the first CR, other bytes skipped
    CopyToEnd,      // bytes from p up to the reply's last two, at least one; no NUL
    CopyN,          // exactly `n` bytes from p; no NUL
    CopyUpTo,       // bytes from p up to `stop`, at most n - 1, then a NUL
    // Backward scan: E is the last digit of the reply (counted from its end,
    // not moved by the echo offset); `at` is the distance from E. With no
    // digit in the reply these values are not written.
    ScanChar,          // the byte at E + at
    ScanCharMinusZero, // the byte at E + at minus '0'
    ScanTwoMinusZero,  // the byte at E + at minus '0', plus 10 x (the byte before minus '0') when that is a digit
};

struct Read {
    Take take = Take::None;
    std::uint8_t arg = 0;  // index of the out-parameter
    std::int16_t at = 0;   // position in an echoed reply
    std::uint16_t n = 0;   // bytes of a copy or of its slot
    std::uint8_t stop = 0; // stop byte of CopyUpTo
};

// A reader of its own for replies that the read list cannot express; it
// runs after the read list, whatever the AT status.
using Reader = void (*)(const AtChannel& channel, std::uint16_t atStatus, std::span<const Arg> args);

// How the call line takes its arguments.
enum class CallArgs : std::uint8_t {
    AsGiven,    // the export's arguments in order
    ZoneSplit,  // the zone argument (the last before the status) as sign character and magnitude
};

struct Command {
    const char* call;       // printf format of the call line
    std::string_view text;  // command text after "AT"
    std::array<Field, 9> fields = {};
    std::array<Read, 8> reads = {};
    std::uint32_t timeoutMs = 3000;
    // Every field at its marker: nothing is sent and the result is true.
    bool allOmittedSendsNothing = false;
    CallArgs callArgs = CallArgs::AsGiven;
    Reader reader = nullptr;
    // An out-parameter set to 0 when the send fails (-1: none).
    std::int8_t zeroOnFailure = -1;
    // When argument `stopArg` holds `stopValue`, field `stopField` and every
    // field after it are left out.
    std::int8_t stopArg = -1;
    std::int8_t stopField = 0;
    long long stopValue = 0;
};

// Field helpers for the rows.
constexpr Field oneDigit(std::uint8_t arg, std::string_view before = {}, Omit omit = Omit::Never) {
    return {Put::OneDigit, arg, before, {}, omit};
}
constexpr Field text(std::uint8_t arg, std::string_view before, std::string_view after, Omit omit,
                     std::uint16_t limit = 0) {
    return {Put::Text, arg, before, after, omit, limit};
}
constexpr Read read(Take take, std::uint8_t arg, std::int16_t at, std::uint16_t n = 0, std::uint8_t stop = 0) {
    return {take, arg, at, n, stop};
}

} // namespace kavor::at
