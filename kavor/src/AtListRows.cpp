// The AT commands that read lists (messages, lock facilities, call
// forwarding, call waiting, contexts), one stored message, or the SIM's
// answer. Each list reader is written once and serves its twins; every scan
// stays inside the reply and every list stops at KAVOR_AT_LIST_MAX entries.
#include "AtChannel.h"
#include "AtCommands.h"

#include "kavor.h"

#include <algorithm>

namespace kavor::at::rows {

namespace {

constexpr std::size_t kMaxEntries = KAVOR_AT_LIST_MAX;

// "<marker>NAME: <index>,<status>,[<third>],<length>" CR LF "<text>" CR LF,
// repeated while the line after an LF starts with the list marker.
void messageList(const AtChannel& ch, std::span<const Arg> a, std::uint8_t marker) {
    const Arg &index = a[1], &status = a[2], &third = a[3], &length = a[4], &texts = a[5], &count = a[6];
    const int n = ch.replyLength();
    std::size_t k = 0;
    int pos = 0;
    while (k < kMaxEntries) {
        const int lf = ch.find(pos + 1, '\n');
        if (lf < 0 || ch.rawByteAt(lf + 1) != marker) break;
        const int colon = ch.find(lf + 1, ':');
        if (colon < 0) break;
        int p = colon + 2;
        if (p >= n) break;
        long long idx = ch.rawByteAt(p) - '0';
        if (ch.digitAtRaw(p + 1)) idx = idx * 10 + (ch.rawByteAt(++p) - '0');
        p += 2;
        const long long st = ch.rawByteAt(p) - '0';
        p += 2;
        long long th = -1;
        if (ch.digitAtRaw(p)) th = ch.digitsAt(p);
        p += 1;
        std::uint64_t len = static_cast<std::uint64_t>(ch.rawByteAt(p) - '0');
        for (++p; ch.digitAtRaw(p); ++p) len = len * 10 + static_cast<std::uint64_t>(ch.rawByteAt(p) - '0');
        if (p >= n) break;  // the entry's header is cut: not an entry
        index.putAt(k, idx);
        status.putAt(k, st);
        third.putAt(k, th);
        length.putAt(k, static_cast<long long>(len));
        int t = p + 2;
        for (std::size_t c = 0; t < n && ch.rawByteAt(t) != '\r' && c < KAVOR_AT_MESSAGE_SLOT; ++t, ++c)
            if (char* slot = texts.slot(k)) slot[c] = static_cast<char>(ch.rawByteAt(t));
        ++k;
        pos = t;  // the text's CR: the next LF is searched after it
    }
    count.put(static_cast<long long>(k));
}

void cmglList(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) { messageList(ch, a, '+'); }
void smglList(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) { messageList(ch, a, '^'); }

// One stored message: "NAME: <status>,,<length>" CR LF "<text>".
void oneMessage(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    const std::size_t size = static_cast<std::size_t>(a[1].value);
    const Arg &length = a[2], &status = a[3];
    char* text = a[4].slot(0);
    const int n = ch.replyLength();
    if (n == 0 || (ch.rawByteAt(n - 1) != 'K' && ch.rawByteAt(n - 1) != 'k')) return;
    int p = 0;
    while (p < n && ch.rawByteAt(p) != ',' && ch.rawByteAt(p) != 0) ++p;
    if (p == 0 || p >= n || ch.rawByteAt(p) != ',') {
        status.put('5');
        length.put(0);
        if (text && size) text[0] = 0;
        return;
    }
    status.put(ch.rawByteAt(p - 1));
    int q = p + 2;
    const long long len = ch.digitsAt(q);
    length.put(len);
    if (!text || size == 0) return;
    const int cr = ch.find(p, '\r');
    const int start = cr < 0 ? n : cr + 2;
    const std::size_t want = std::min<std::size_t>(size - 1, static_cast<std::size_t>(len));
    std::size_t c = 0;
    for (; c < want && start + static_cast<int>(c) < n; ++c) text[c] = static_cast<char>(ch.rawByteAt(start + static_cast<int>(c)));
    text[c] = 0;
}

// Lock entries from position 18: ':' then the status, ',' and the class
// character when there is one; an 'O' ends the list.
void lockList(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    const Arg &status = a[1], &klass = a[2], &count = a[3];
    std::size_t k = 0;
    for (int i = std::max(ch.placeOf(18), 0); i < ch.replyLength() && k < kMaxEntries; ++i) {
        const std::uint8_t b = ch.rawByteAt(i);
        if (b == 'O') break;
        if (b != ':') continue;
        status.putAt(k, ch.rawByteAt(i + 2));
        const bool hasClass = ch.rawByteAt(i + 3) == ',';
        klass.putAt(k, hasClass ? ch.rawByteAt(i + 4) : -1);
        ++k;
        i += hasClass ? 4 : 2;
    }
    count.put(static_cast<long long>(k));
}

// Call-forwarding entries "status,class,number,type,time", read only on AT status 0.
void forwardingList(const AtChannel& ch, std::uint16_t atStatus, std::span<const Arg> a) {
    if (atStatus != 0) return;
    const Arg &status = a[1], &klass = a[2], &numbers = a[3], &type = a[4], &time = a[5], &count = a[6];
    const int n = ch.replyLength();
    std::size_t k = 0;
    int i = ch.find(0, '\n');
    while (i >= 0 && k < kMaxEntries) {
        while (i < n && ch.rawByteAt(i) != 'O' && ch.rawByteAt(i) != '0' && ch.rawByteAt(i) != '1') ++i;
        if (i >= n || ch.rawByteAt(i) == 'O') break;
        status.putAt(k, ch.rawByteAt(i) - '0');
        i += 2;
        klass.putAt(k, ch.digitsAt(i));
        char* number = numbers.slot(k);
        const std::size_t entry = k++;
        auto end = [&](bool noNumber, bool noType) {
            if (noNumber && number) number[0] = '-';
            if (noType) type.putAt(entry, -1);
            time.putAt(entry, -1);
        };
        if (ch.rawByteAt(i) == '\r') {
            end(true, true);
            break;
        }
        ++i;
        if (ch.rawByteAt(i) == '"') ++i;
        if (!ch.digitAtRaw(i) && ch.rawByteAt(i) != '+') {
            end(true, true);
            break;
        }
        for (std::size_t c = 0; c < KAVOR_AT_NUMBER_SLOT && i < n && (c == 0 || ch.digitAtRaw(i)); ++c, ++i)
            if (number) number[c] = static_cast<char>(ch.rawByteAt(i));
        while (ch.digitAtRaw(i)) ++i;  // digits past the slot are not kept
        if (ch.rawByteAt(i) == '"') ++i;
        if (ch.rawByteAt(i) == '\r' || !ch.digitAtRaw(i + 1)) {
            end(false, true);
            break;
        }
        ++i;
        type.putAt(entry, ch.digitsAt(i));
        if (ch.rawByteAt(i) == '\r' || !ch.digitAtRaw(i + 1)) {
            end(false, false);
            break;
        }
        ++i;
        time.putAt(entry, ch.digitsAt(i));
        if (ch.rawByteAt(i) == '\r') break;
    }
    count.put(static_cast<long long>(k));
}

// Pairs of numbers after the first ':' from position 16, until an 'O'.
void pairList(const AtChannel& ch, const Arg& first, const Arg& second, const Arg& count) {
    const int n = ch.replyLength();
    std::size_t k = 0;
    int i = ch.find(ch.placeOf(16), ':');
    while (i >= 0 && i < n && k < kMaxEntries) {
        const std::uint8_t b = ch.rawByteAt(i);
        if (b == 'O') break;
        if (!AtChannel::isDigit(b)) {
            ++i;
            continue;
        }
        first.putAt(k, ch.digitsAt(i));
        ++i;
        second.putAt(k, ch.digitsAt(i));
        ++k;
    }
    count.put(static_cast<long long>(k));
}

void waitingList(const AtChannel& ch, std::uint16_t atStatus, std::span<const Arg> a) {
    if (atStatus == 0 && a[1].value == 2) pairList(ch, a[3], a[4], a[5]);
}
void contextList(const AtChannel& ch, std::uint16_t atStatus, std::span<const Arg> a) {
    if (atStatus == 0) pairList(ch, a[0], a[1], a[2]);
}

// sw1 and sw2 from the reply line, then the quoted response after them.
void simAnswer(const AtChannel& ch, std::uint16_t, std::span<const Arg> a) {
    const int lf = ch.find(0, '\n');
    int i = lf < 0 ? -1 : ch.find(lf, ':');
    if (i < 0) return;
    while (i < ch.replyLength() && !ch.digitAtRaw(i)) ++i;
    if (i >= ch.replyLength()) return;
    a[6].put(ch.digitsAt(i));
    ++i;
    a[7].put(ch.digitsAt(i));
    char* response = a[8].slot(0);
    if (!response) return;
    if (ch.rawByteAt(i) == ',' && ch.rawByteAt(i + 1) == '"' && ch.rawByteAt(i + 2) != '"' && i + 2 < ch.replyLength()) {
        // The data up to the line's end, its closing quote included (the
        // caller's only sign of where the data ends), and a NUL. The copy is
        // at least three bytes shorter than the reply, so the NUL fits in a
        // buffer of the reply's length.
        std::size_t c = 0;
        for (int j = i + 2; j < ch.replyLength() && ch.rawByteAt(j) != '\r'; ++j, ++c)
            response[c] = static_cast<char>(ch.rawByteAt(j));
        response[c] = '\0';
    } else {
        response[0] = '-';
    }
}

constexpr Command messages(const char* call, std::string_view command, Reader reader) {
    Command c{call, command, {Field{Put::DigitOrZero, 0}}, {}, 3000, false, CallArgs::AsGiven, reader};
    c.zeroOnFailure = 6;
    return c;
}
constexpr Command readMessage(const char* call, std::string_view command) {
    return {call, command, {Field{Put::UpTo100, 0}}, {}, 3000, false, CallArgs::AsGiven, oneMessage};
}
constexpr Command setLock(const char* call, std::string_view command) {
    Command c{call, command,
              {text(0, "\"", "\"", Omit::Never, 2), oneDigit(1, ","), Field{Put::ValueDigits, 2, ",", {}, Omit::Rest, 4},
               Field{Put::AllDigits, 3, ",", {}, Omit::Rest, 3}},
              {}, 40000};
    c.stopArg = 1;
    c.stopValue = 2;
    c.stopField = 2;
    return c;
}
constexpr Command getLock(const char* call, std::string_view command) {
    return {call, command, {text(0, "\"", "\",2", Omit::Never, 2)}, {}, 5000, false, CallArgs::AsGiven, lockList};
}
constexpr Command setForwarding() {
    Command c{"KAVOR_AT_Set_CCFC()", "+CCFC=",
              {oneDigit(0), oneDigit(1, ","), text(2, ",\"", "\"", Omit::Rest, 12), oneDigit(3, ",", Omit::Alone),
               Field{Put::AllDigits, 4, ",", {}, Omit::Alone, 3}, oneDigit(5, ",", Omit::Alone)},
              {}, 25000};
    c.stopArg = 1;
    c.stopValue = 2;
    c.stopField = 2;
    return c;
}

} // namespace

// clang-format off
const Command cmgl = messages("KAVOR_AT_CMGL()", "+CMGL=", cmglList);
const Command smgl = messages("KAVOR_AT_SMGL()", "^SMGL=", smglList);
const Command setCmgr = readMessage("KAVOR_AT_Set_CMGR()", "+CMGR=");
const Command setSmgr = readMessage("KAVOR_AT_Set_SMGR()", "^SMGR=");
const Command setClck = setLock("KAVOR_AT_Set_CLCK()", "+CLCK=");
const Command getClck = getLock("KAVOR_AT_Get_CLCK()", "+CLCK=");
const Command setSlck = setLock("KAVOR_AT_Set_SLCK()", "^SLCK=");
const Command getSlck = getLock("KAVOR_AT_Get_SLCK()", "^SLCK=");
const Command setCcfc = setForwarding();
const Command getCcfc{"KAVOR_AT_Get_CCFC()", "+CCFC=", {Field{Put::OneDigit, 0, {}, ",2"}}, {}, 10000, false, CallArgs::AsGiven, forwardingList};
const Command setCcwa{"KAVOR_AT_Set_CCWA()", "+CCWA",
                      {oneDigit(0, "=", Omit::Rest), oneDigit(1, ",", Omit::Alone), Field{Put::AllDigits, 2, ",", {}, Omit::Alone, 3}},
                      {}, 20000, false, CallArgs::AsGiven, waitingList};
const Command getCgact{"KAVOR_AT_Get_CGACT()", "+CGACT?", {}, {}, 3000, false, CallArgs::AsGiven, contextList};
const Command crsm{"KAVOR_AT_CRSM()", "+CRSM=",
                   {Field{Put::ThreeDigits, 0}, oneDigit(1, ",", Omit::Rest), Field{Put::OneDigit, 2, ",", {}, Omit::Group},
                    Field{Put::OneDigit, 3, ",", {}, Omit::Group}, Field{Put::OneDigit, 4, ",", {}, Omit::Group},
                    Field{Put::ValueDigits, 5, {}, {}, Omit::Rest}},
                   {}, 3000, false, CallArgs::AsGiven, simAnswer};
// clang-format on

} // namespace kavor::at::rows
