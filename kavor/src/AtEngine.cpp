// The AT channel core: request start, send and judge, the bounded reply
// reader, and the one engine that runs any command row (call line, fields by
// their writing rules, send, values by their reading rules).
#include "AtChannel.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kavor {

using namespace at;

namespace {

constexpr std::size_t kNumberRoom = 24;

// The decimal form of a value.
struct Decimal {
    char text[kNumberRoom];
    int length;
    explicit Decimal(long long v, const char* format = "%lld") {
        length = std::snprintf(text, sizeof text, format, v);
    }
};

// The call line: the row's format with the arguments, each conversion
// formatted on its own from the typed argument.
void formatCall(const char* format, std::span<const Arg> args, char* out, std::size_t size) {
    std::size_t used = 0;
    std::size_t next = 0;
    auto room = [&] { return size - used; };
    auto advance = [&](int n) {
        if (n > 0) used += std::min<std::size_t>(static_cast<std::size_t>(n), room() - 1);
    };
    out[0] = 0;
    for (const char* p = format; *p && room() > 1;) {
        if (*p != '%') {
            out[used++] = *p++;
            out[used] = 0;
            continue;
        }
        if (p[1] == '%') {
            out[used++] = '%';
            out[used] = 0;
            p += 2;
            continue;
        }
        const char* end = p + 1 + std::strspn(p + 1, "-+ #0123456789.");
        if (!std::strchr("diuxXcs", *end) || *end == 0) {
            out[used++] = *p++;
            out[used] = 0;
            continue;
        }
        char spec[16];
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(end - p + 1), sizeof spec - 1);
        std::memcpy(spec, p, n);
        spec[n] = 0;
        const Arg none{0};
        const Arg& a = next < args.size() ? args[next] : none;
        ++next;
        if (*end == 's')
            advance(std::snprintf(out + used, room(), spec, a.text ? a.text : ""));
        else
            advance(std::snprintf(out + used, room(), spec, static_cast<int>(a.value)));
        p = end + 1;
    }
}

} // namespace

// --- arguments -----------------------------------------------------------------

bool Arg::omitted() const {
    if (isText) return !text || text[0] == '-';
    switch (width) {
    case 1: return (value & 0xFF) == 0xFF;
    case 2: return (value & 0xFFFF) == 0xFFFF;
    default: return value == -1;
    }
}

void Arg::put(long long v) const {
    if (!out) return;
    switch (width) {
    case 1: *static_cast<std::uint8_t*>(out) = static_cast<std::uint8_t>(v); break;
    case 2: *static_cast<std::uint16_t*>(out) = static_cast<std::uint16_t>(v); break;
    case 4: *static_cast<std::uint32_t*>(out) = static_cast<std::uint32_t>(v); break;
    default: *static_cast<std::uint64_t*>(out) = static_cast<std::uint64_t>(v); break;
    }
}

void Arg::putAt(std::size_t i, long long v) const {
    if (!out) return;
    Arg entry = *this;
    entry.out = static_cast<char*>(out) + i * width;
    entry.put(v);
}

long long Arg::current() const {
    if (!out) return 0;
    switch (width) {
    case 1: return *static_cast<const std::uint8_t*>(out);
    case 2: return *static_cast<const std::uint16_t*>(out);
    case 4: return *static_cast<const std::uint32_t*>(out);
    default: return static_cast<long long>(*static_cast<const std::uint64_t*>(out));
    }
}

// --- the channel ----------------------------------------------------------------

void AtChannel::beginCommand() {
    buffer_->reset();
    append("AT", 2);
}

bool AtChannel::sendWithTimeout(std::uint32_t milliseconds, std::uint16_t& atStatus) {
    PacketBuffer& b = *buffer_;
    unsigned short length = PacketBuffer::kCapacity;
    const bool ok = QLIB_SendRAW(handle_, b.requestLength(), b.request(), &length, b.reply(), milliseconds) != 0;
    b.setReply(length);
    if (!ok) return false;

    const std::uint8_t* r = b.reply();
    const std::size_t n = b.replyLength();
    if (n >= 2 && r[n - 2] == 'O' && r[n - 1] == 'K')
        atStatus = 0;
    else if (n >= 5 && std::memcmp(r + n - 5, "ERROR", 5) == 0)
        atStatus = 1;
    else
        atStatus = 2;

    // Without the echo the reply starts where the echo would have ended.
    std::size_t line = b.requestLength();
    if (line && b.request()[line - 1] == 0) --line;
    echoOffset_ = n >= 1 && std::toupper(r[0]) == 'A' ? 0 : -static_cast<std::int32_t>(line);
    return true;
}

std::uint8_t AtChannel::rawByteAt(int index) const {
    if (index < 0 || index >= buffer_->replyLength()) return 0;
    return buffer_->reply()[index];
}

int AtChannel::digitAt(int position) const {
    const std::uint8_t b = byteAt(position);
    return isDigit(b) ? b - '0' : 0;
}

int AtChannel::find(int from, std::uint8_t b) const {
    for (int i = from < 0 ? 0 : from; i < replyLength(); ++i)
        if (rawByteAt(i) == b) return i;
    return -1;
}

int AtChannel::lastDigit() const {
    for (int i = replyLength() - 1; i >= 0; --i)
        if (digitAtRaw(i)) return i;
    return -1;
}

long long AtChannel::digitsAt(int& index) const {
    // A number longer than its out-parameter wraps (unsigned, so defined).
    std::uint64_t v = 0;
    for (; digitAtRaw(index); ++index) v = v * 10 + static_cast<std::uint64_t>(rawByteAt(index) - '0');
    return static_cast<long long>(v);
}

int AtChannel::copyUpTo(int index, std::uint8_t stop, char* dest, std::size_t room) const {
    if (index < 0) index = 0;
    std::size_t k = 0;
    for (; index < replyLength() && rawByteAt(index) != stop; ++index, ++k) {
        if (k + 1 >= room) break;
        if (dest) dest[k] = static_cast<char>(rawByteAt(index));
    }
    if (dest && room) dest[k] = 0;
    return index;
}

bool AtChannel::append(const void* bytes, std::size_t n) { return buffer_->pushBytes(bytes, n); }

bool AtChannel::appendFields(const Command& row, std::span<const Arg> args) {
    const bool stopAtValue = row.stopArg >= 0 && args[static_cast<std::size_t>(row.stopArg)].value == row.stopValue;
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
        const Field& f = row.fields[i];
        if (f.put == Put::None) break;
        if (stopAtValue && static_cast<std::int8_t>(i) >= row.stopField) break;
        const Arg& a = args[f.arg];
        if (f.omit == Omit::Group) {
            bool any = false;
            for (std::size_t j = i; j < row.fields.size() && row.fields[j].omit == Omit::Group; ++j)
                any = any || args[row.fields[j].arg].omitted();
            if (any) break;
        }
        const bool omitted = f.omit != Omit::Never && f.omit != Omit::Group && a.omitted();
        if (omitted && f.omit == Omit::Rest) break;
        if (omitted && f.omit == Omit::Alone) continue;
        if (!append(f.before.data(), f.before.size())) return false;
        if (!omitted) {
            const long long v = a.value;
            switch (f.put) {
            case Put::None: break;
            case Put::OneDigit:
                if (!append(Decimal(v).text, 1)) return false;
                break;
            case Put::AllDigits: {
                const Decimal d(v);
                const int n = f.limit && d.length > f.limit ? f.limit : d.length;
                if (!append(d.text, static_cast<std::size_t>(n))) return false;
                break;
            }
            case Put::ThreeDigits: {
                const char digits[3] = {static_cast<char>('0' + (v / 100) % 10), static_cast<char>('0' + (v / 10) % 10),
                                        static_cast<char>('0' + v % 10)};
                if (!append(digits, 3)) return false;
                break;
            }
            case Put::DigitOrZero:
                if (!append(a.omitted() ? "0" : Decimal(v).text, 1)) return false;
                break;
            case Put::UpTo100:
                if (v >= 0 && v <= 100) {
                    const Decimal d(v);
                    if (!append(d.text, static_cast<std::size_t>(d.length))) return false;
                }
                break;
            case Put::TwoDigits: {
                const char digits[2] = {static_cast<char>('0' + (v / 10) % 10), static_cast<char>('0' + v % 10)};
                if (!append(digits, 2)) return false;
                break;
            }
            case Put::Padded2:
                if (!append(Decimal(v, "%0.2lld").text, 2)) return false;
                break;
            case Put::UpToTwoDigits:
                if (!append(Decimal(v).text, v >= 10 ? 2 : 1)) return false;
                break;
            case Put::VibIndex: {
                const bool small = v <= 2;
                if (!append(Decimal(small ? v - 1 : v + 13).text, small ? 1 : 2)) return false;
                break;
            }
            case Put::Text: {
                const std::size_t n = a.text ? (f.limit ? strnlen(a.text, f.limit) : std::strlen(a.text)) : 0;
                if (!append(a.text, n)) return false;
                break;
            }
            case Put::ExactText:
                if (!a.text || strnlen(a.text, f.limit + 1u) != f.limit || !append(a.text, f.limit)) return false;
                break;
            case Put::PinDigits:
                for (const char* c = a.text; c && *c; ++c)
                    if (!append(Decimal(static_cast<unsigned char>(*c) - '0').text, 1)) return false;
                break;
            case Put::ValueDigits: {
                const auto* bytes = reinterpret_cast<const unsigned char*>(a.text);
                for (std::size_t k = 0; bytes && (f.limit ? k < f.limit : bytes[k] != 0); ++k)
                    if (!append(Decimal(bytes[k]).text, 1)) return false;
                break;
            }
            case Put::ZoneSign:
                if (!append(v >= 0 ? "+" : "-", 1)) return false;
                break;
            case Put::ZoneMagnitude:
                if (!append(Decimal(std::llabs(v), "%0.2lld").text, 2)) return false;
                break;
            }
        }
        if (!append(f.after.data(), f.after.size())) return false;
    }
    return true;
}

void AtChannel::readValues(const Command& row, std::span<const Arg> args) const {
    for (const Read& r : row.reads) {
        if (r.take == Take::None) break;
        const Arg& a = args[r.arg];
        switch (r.take) {
        case Take::None: break;
        case Take::Digit: a.put(digitAt(r.at)); break;
        case Take::TwoDigit: a.put(twoDigitAt(r.at)); break;
        case Take::Char: a.put(byteAt(r.at)); break;
        case Take::CharMinusZero: a.put(static_cast<long long>(byteAt(r.at)) - '0'); break;
        case Take::DigitOrTwo: a.put(byteAt(r.at + 1) != '\r' ? twoDigitAt(r.at) : digitAt(r.at)); break;
        case Take::DigitsOnto:
            if (isDigit(byteAt(r.at))) a.put(digitAt(r.at));
            if (isDigit(byteAt(r.at + 1))) a.put(a.current() * 10 + digitAt(r.at + 1));
            break;
        case Take::SignedTwoDigit: {
            const int v = twoDigitAt(r.at);
            a.put(byteAt(r.at - 1) == '-' ? -v : v);
            break;
        }
        case Take::UpToThreeDigits:
            if (isDigit(byteAt(r.at + 2)))
                a.put(100 * digitAt(r.at) + 10 * digitAt(r.at + 1) + digitAt(r.at + 2));
            else if (isDigit(byteAt(r.at + 1)))
                a.put(10 * digitAt(r.at) + digitAt(r.at + 1));
            else
                a.put(digitAt(r.at));
            break;
        case Take::SixDigits: {
            long long v = 0;
            for (int k = 0; k < 6; ++k) v = v * 10 + digitAt(r.at + k);
            a.put(v);
            break;
        }
        case Take::DigitsToCr: {
            std::uint64_t v = 0;
            for (int i = placeOf(r.at); i < replyLength() && rawByteAt(i) != '\r'; ++i)
                if (digitAtRaw(i)) v = v * 10 + static_cast<std::uint64_t>(rawByteAt(i) - '0');
            a.put(static_cast<long long>(v));
            break;
        }
        case Take::CopyToEnd: {
            char* dest = a.slot(0);
            const int start = placeOf(r.at) < 0 ? 0 : placeOf(r.at);
            const int count = std::max(1, replyLength() - 2 - start);
            for (int k = 0; dest && k < count; ++k) dest[k] = static_cast<char>(rawByteAt(start + k));
            break;
        }
        case Take::CopyN:
            for (int k = 0; a.out && k < r.n; ++k) a.slot(0)[k] = static_cast<char>(byteAt(r.at + k));
            break;
        case Take::CopyUpTo: copyUpTo(placeOf(r.at), r.stop, a.slot(0), r.n); break;
        case Take::ScanChar:
        case Take::ScanCharMinusZero:
        case Take::ScanTwoMinusZero: {
            const int e = lastDigit();
            if (e < 0) break;
            const long long b = rawByteAt(e + r.at);
            if (r.take == Take::ScanChar) {
                a.put(b);
            } else if (r.take == Take::ScanCharMinusZero || !digitAtRaw(e + r.at - 1)) {
                a.put(b - '0');
            } else {
                a.put(b - '0' + 10 * (rawByteAt(e + r.at - 1) - '0'));
            }
            break;
        }
        }
    }
}

bool AtChannel::run(const Command& row, std::span<const Arg> args) {
    char line[kLogLineSize];
    if (row.callArgs == CallArgs::ZoneSplit && args.size() >= 2) {
        // The zone is the last argument before the status.
        Arg split[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        const std::size_t zone = args.size() - 2;
        for (std::size_t i = 0; i < zone && i < 10; ++i) split[i] = args[i];
        split[zone] = Arg(args[zone].value < 0 ? '-' : '+');
        split[zone + 1] = Arg(std::llabs(args[zone].value));
        formatCall(row.call, std::span<const Arg>(split, zone + 2), line, sizeof line);
    } else {
        formatCall(row.call, args, line, sizeof line);
    }
    logCall("%s", line);

    if (row.allOmittedSendsNothing) {
        bool all = true;
        for (const Field& f : row.fields)
            if (f.put != Put::None) all = all && args[f.arg].omitted();
        if (all) return true;
    }

    beginCommand();
    static constexpr char kEnd[] = {'\r', 0};  // CR, then the NUL that is sent too
    if (!append(row.text.data(), row.text.size()) || !appendFields(row, args) || !append(kEnd, sizeof kEnd)) return false;
    std::uint16_t status = 0;
    if (!sendWithTimeout(row.timeoutMs, status)) {
        if (row.zeroOnFailure >= 0) args[static_cast<std::size_t>(row.zeroOnFailure)].put(0);
        return false;
    }
    args.back().put(status);
    readValues(row, args);
    if (row.reader) row.reader(*this, status, args);
    return true;
}

} // namespace kavor
