// Control bytes of outside text made visible (cvi_shown_text.h).
#include "cvi_shown_text.h"

namespace {

// Length of the well-formed UTF-8 sequence that starts at p: 0 when it is
// not one (or encodes a C1 control), -1 when the n bytes end inside it.
int sequence_length(const unsigned char* p, std::size_t n) {
    const unsigned char lead = p[0];
    int len;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
        if (lead == 0xC2) lo = 0xA0;  // U+0080..U+009F are the C1 controls
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        if (lead == 0xE0) lo = 0xA0;       // no overlong forms
        else if (lead == 0xED) hi = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        if (lead == 0xF0) lo = 0x90;
        else if (lead == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    for (int i = 1; i < len; ++i) {
        if (static_cast<std::size_t>(i) >= n) return -1;
        const unsigned char lim_lo = i == 1 ? lo : 0x80, lim_hi = i == 1 ? hi : 0xBF;
        if (p[i] < lim_lo || p[i] > lim_hi) return 0;
    }
    return len;
}

std::size_t put_escaped(unsigned char b, char* out) {
    static const char kHex[] = "0123456789abcdef";
    out[0] = '\\';
    out[1] = 'x';
    out[2] = kHex[b >> 4];
    out[3] = kHex[b & 0xF];
    return 4;
}

} // namespace

namespace cvi {

std::size_t shown_bytes(const char* in, std::size_t n, bool at_end, char* out, std::size_t* consumed) {
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    std::size_t i = 0, o = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            if ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) o += put_escaped(b, out + o);
            else out[o++] = static_cast<char>(b);
            ++i;
            continue;
        }
        const int len = sequence_length(p + i, n - i);
        if (len < 0 && !at_end) break;  // the rest comes with the next piece
        if (len <= 0) {
            o += put_escaped(b, out + o);
            ++i;
            continue;
        }
        for (int k = 0; k < len; ++k) out[o++] = static_cast<char>(p[i++]);
    }
    if (consumed) *consumed = i;
    return o;
}

std::string shown_text(std::string_view text) {
    try {
        std::string out(4 * text.size(), '\0');
        out.resize(shown_bytes(text.data(), text.size(), true, out.data(), nullptr));
        return out;
    } catch (...) {
        return {};
    }
}

} // namespace cvi
