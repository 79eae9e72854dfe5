// The AT getters whose values are copied out of the reply as text, found by
// scanning it backwards from its last digit, or composed from several places.
#include "AtChannel.h"
#include "AtCommands.h"

#include "kavor.h"

namespace kavor::at::rows {

namespace {

constexpr std::uint16_t kShortSlot = 16;  // texts of CPIN, CSCS and the operator, NUL included
constexpr std::uint16_t kAddressSlot = 50;

constexpr Command copyToEnd(const char* call, std::string_view text, std::int16_t at) {
    return {call, text, {}, {read(Take::CopyToEnd, 0, at)}};
}
constexpr Command copyN(const char* call, std::string_view text, std::int16_t at, std::uint16_t n) {
    return {call, text, {}, {read(Take::CopyN, 0, at, n)}};
}
constexpr Command scanned(const char* call, std::string_view text) {
    return {call, text, {}, {read(Take::ScanCharMinusZero, 0, 0)}};
}
constexpr Command meter(const char* call, std::string_view text) { return {call, text, {}, {read(Take::SixDigits, 0, 19)}}; }

// The type follows the address's closing quote and a ','.
void cscaType(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    char* type = a[1].slot(0);
    if (!type) return;
    const int close = ch.find(ch.placeOf(19), '"');
    if (close >= 0 && ch.rawByteAt(close + 1) == ',')
        ch.copyUpTo(close + 2, '\r', type, kAddressSlot);
    else
        type[0] = '-';
}

// Message ids from 21 up to their closing quote, coding schemes from three
// bytes after it up to the next quote.
void cscbTexts(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    const int close = ch.copyUpTo(ch.placeOf(21), '"', a[1].slot(0), KAVOR_AT_REPLY_MAX);
    ch.copyUpTo(close + 3, '"', a[2].slot(0), KAVOR_AT_REPLY_MAX);
}

struct Keyword {
    const char* name;
    int value;
};
constexpr Keyword kInterfaces[] = {{"IrDA", 1}, {"Bluetooth", 2}, {"Wire", 3}};

void sifsKeyword(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    int value = 0;
    for (const Keyword& k : kInterfaces) {
        bool same = true;
        for (int i = 0; k.name[i] && same; ++i) same = ch.byteAt(17 + i) == static_cast<std::uint8_t>(k.name[i]);
        if (same) {
            value = k.value;
            break;
        }
    }
    a[0].put(value);
}

// "<signal>,<rate>" read backwards from the last digit.
void csqValues(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    int i = ch.lastDigit();
    if (i < 0) return;
    int rate = ch.rawByteAt(i) - '0';
    if (ch.digitAtRaw(i - 1)) rate += 10 * (ch.rawByteAt(--i) - '0');
    a[1].put(rate);
    i -= 2;  // over the separator
    if (!ch.digitAtRaw(i)) return;
    int signal = ch.rawByteAt(i) - '0';
    if (ch.digitAtRaw(i - 1)) signal += 10 * (ch.rawByteAt(i - 1) - '0');
    a[0].put(signal);
}

void cregCodes(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    char* area = a[2].slot(0);
    char* cell = a[3].slot(0);
    const bool present = ch.byteAt(21) == ',';
    if (area) {
        area[0] = present ? static_cast<char>(ch.byteAt(22)) : '-';
        if (present) area[1] = static_cast<char>(ch.byteAt(23));
    }
    if (cell) {
        cell[0] = present ? static_cast<char>(ch.byteAt(25)) : '-';
        if (present) cell[1] = static_cast<char>(ch.byteAt(26));
    }
}

} // namespace

// clang-format off
// --- text getters ---
const Command getCeer = copyToEnd("KAVOR_AT_Get_CEER()", "+CEER", 17);
const Command getCgmi = copyToEnd("KAVOR_AT_Get_CGMI()", "+CGMI", 10);
const Command getCgmm = copyToEnd("KAVOR_AT_Get_CGMM()", "+CGMM", 10);
const Command getCgmr = copyToEnd("KAVOR_AT_Get_CGMR()", "+CGMR", 10);
const Command getCgsn = copyN("KAVOR_AT_Get_CGSN()", "+CGSN", 10, 15);
const Command getCimi = copyN("KAVOR_AT_Get_CIMI()", "+CIMI", 10, 15);
const Command getGsn = copyN("KAVOR_AT_Get_GSN()", "+GSN", 9, 15);
const Command getScid = copyN("KAVOR_AT_Get_SCID()", "^SCID", 17, 20);
const Command getCpin{"KAVOR_AT_Get_CPIN()", "+CPIN?", {}, {read(Take::CopyUpTo, 0, 18, kShortSlot, '\r')}};
const Command getCscs{"KAVOR_AT_Get_CSCS()", "+CSCS?", {}, {read(Take::CopyUpTo, 0, 19, kShortSlot, '"')}};
const Command getCops{"KAVOR_AT_Get_COPS()", "+COPS?", {},
                      {read(Take::CharMinusZero, 0, 18), read(Take::CharMinusZero, 1, 20), read(Take::CopyUpTo, 2, 23, kShortSlot, '"')}};
const Command getCsca{"KAVOR_AT_Get_CSCA()", "+CSCA?", {}, {read(Take::CopyUpTo, 0, 19, kAddressSlot, '"')}, 3000, false,
                      CallArgs::AsGiven, cscaType};
const Command getCscb{"KAVOR_AT_Get_CSCB()", "+CSCB?", {}, {read(Take::Char, 0, 18)}, 3000, false, CallArgs::AsGiven, cscbTexts};
const Command getSifs{"KAVOR_AT_Get_SIFS()", "^SIFS", {}, {}, 3000, false, CallArgs::AsGiven, sifsKeyword};
const Command getIpr{"KAVOR_AT_Get_IPR()", "+IPR?", {}, {read(Take::DigitsToCr, 0, 15)}};

// --- numeric getters ---
const Command getCbc{"KAVOR_AT_Get_CBC()", "+CBC", {}, {read(Take::Digit, 0, 15), read(Take::UpToThreeDigits, 1, 17)}};
const Command getCsq{"KAVOR_AT_Get_CSQ()", "+CSQ", {}, {}, 3000, false, CallArgs::AsGiven, csqValues};
const Command getCind{"KAVOR_AT_Get_CIND()", "+CIND?", {},
                      {read(Take::ScanChar, 0, -14), read(Take::ScanChar, 1, -12), read(Take::ScanChar, 2, -10),
                       read(Take::ScanChar, 3, -8), read(Take::ScanChar, 4, -6), read(Take::ScanChar, 5, -4),
                       read(Take::ScanChar, 6, -2), read(Take::ScanChar, 7, 0)}};
const Command getCbst{"KAVOR_AT_Get_CBST()", "+CBST?", {},
                      {read(Take::ScanTwoMinusZero, 0, -4), read(Take::ScanChar, 1, -2), read(Take::ScanChar, 2, 0)}};
const Command getCpas = scanned("KAVOR_AT_Get_CPAS()", "+CPAS");
const Command getScka = scanned("KAVOR_AT_Get_SCKA()", "^SCKA?");
const Command getScks{"KAVOR_AT_Get_SCKS()", "^SCKS?", {}, {read(Take::ScanCharMinusZero, 0, -3), read(Take::ScanCharMinusZero, 1, 0)}};
const Command getCreg{"KAVOR_AT_Get_CREG()", "+CREG?", {}, {read(Take::Digit, 0, 18), read(Take::Digit, 1, 20)}, 3000, false,
                      CallArgs::AsGiven, cregCodes};
const Command getCacm = meter("KAVOR_AT_Get_CACM()", "+CACM?");
const Command getCamm = meter("KAVOR_AT_Get_CAMM()", "+CAMM?");
const Command getSacm{"KAVOR_AT_Get_SACM()", "^SACM?", {},
                      {read(Take::Digit, 0, 18), read(Take::SixDigits, 1, 21), read(Take::SixDigits, 2, 30)}};
// clang-format on

} // namespace kavor::at::rows
