// Result values that arrive in binary format, turned into the text the text
// format gives for them (bytes and texts stay as they are), so that one
// conversion serves both formats.
#include "session_state.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace sql::detail {
namespace {

constexpr Oid kBool = 16, kBytea = 17, kChar = 18, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25,
              kOid = 26, kFloat4 = 700, kFloat8 = 701, kUnknown = 705, kBpchar = 1042, kVarchar = 1043,
              kNumeric = 1700;

std::uint64_t big_endian(const char* p, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
    return v;
}

std::int16_t int16_at(const char* p) { return static_cast<std::int16_t>(big_endian(p, 2)); }

// numeric: digit count, weight of the first digit, sign, display scale,
// then the digits in base 10000.
bool numeric_text(const char* p, int len, std::string& out) {
    if (len < 8) return false;
    const int ndigits = int16_at(p), weight = int16_at(p + 2), dscale = int16_at(p + 6);
    const std::uint16_t sign = static_cast<std::uint16_t>(big_endian(p + 4, 2));
    if (ndigits < 0 || dscale < 0 || len < 8 + 2 * ndigits) return false;
    // The special values, as their text format spells them (the
    // infinities since PostgreSQL 14).
    if (sign == 0xC000 || sign == 0xD000 || sign == 0xF000) {
        out.assign(sign == 0xC000 ? "NaN" : sign == 0xD000 ? "Infinity" : "-Infinity");
        return true;
    }
    auto digit = [&](int i) { return i >= 0 && i < ndigits ? int16_at(p + 8 + 2 * i) : 0; };
    out.clear();
    if (sign == 0x4000) out.push_back('-');
    if (weight < 0) {
        out += "0";
    } else {
        char group[8];
        for (int i = 0; i <= weight; ++i) {
            std::snprintf(group, sizeof group, i == 0 ? "%d" : "%04d", digit(i));
            out += group;
        }
    }
    if (dscale > 0) {
        std::string fraction;
        char group[8];
        for (int i = weight + 1; static_cast<int>(fraction.size()) < dscale; ++i) {
            std::snprintf(group, sizeof group, "%04d", digit(i));
            fraction += group;
        }
        out.push_back('.');
        out.append(fraction, 0, static_cast<std::size_t>(dscale));
    }
    return true;
}

} // namespace

bool text_of_binary(Oid type, const char* value, int len, std::string& out) {
    switch (type) {
    case kBytea: case kText: case kVarchar: case kBpchar: case kName: case kChar: case kUnknown:
        out.assign(value, static_cast<std::size_t>(len));
        return true;
    case kBool:
        if (len != 1) return false;
        out.assign(1, value[0] ? 't' : 'f');
        return true;
    case kInt2: case kInt4: case kInt8: case kOid: {
        if (len != 2 && len != 4 && len != 8) return false;
        std::uint64_t v = big_endian(value, len);
        long long n = type == kOid ? static_cast<long long>(v)
                      : len == 2   ? static_cast<std::int16_t>(v)
                      : len == 4   ? static_cast<std::int32_t>(v)
                                   : static_cast<long long>(v);
        out = std::to_string(n);
        return true;
    }
    case kFloat4: case kFloat8: {
        char text[40];
        if (len == 4) {
            std::uint32_t bits = static_cast<std::uint32_t>(big_endian(value, 4));
            float f;
            std::memcpy(&f, &bits, sizeof f);
            std::snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
        } else if (len == 8) {
            std::uint64_t bits = big_endian(value, 8);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            std::snprintf(text, sizeof text, "%.17g", d);
        } else {
            return false;
        }
        out = text;
        return true;
    }
    case kNumeric: return numeric_text(value, len, out);
    }
    return false;
}

} // namespace sql::detail
