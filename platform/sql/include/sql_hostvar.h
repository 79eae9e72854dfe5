// Host variables of the embedded-SQL stand-in.
//
// A statement's host variables (":name" in its text) are bound by position:
// the n-th distinct name of the text is the n-th Bind (a name written twice,
// as in ":r := 0 ; :r := f ( ) ;", is one variable). A Bind points into the
// caller's own storage, which the layer reads before the run (IN, IN OUT) and
// writes after a successful run (OUT, IN OUT). Nothing is written back when
// the statement fails.
//
//   i32, i16   a 32- or 16-bit integer
//   varchar    a 16-bit length and at most `capacity` characters, no NUL
//   raw        a byte buffer of `capacity` bytes and a separate 16-bit length
//
// An optional 16-bit indicator goes with any variable (":v_text:ind" in the
// text): -1 means NULL, 0 a value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#define SQL_API __attribute__((visibility("default")))

namespace sql {

enum class Type { i32, i16, varchar, raw };
enum class Dir { in, out, inout };

struct Bind {
    Type type = Type::i32;
    Dir dir = Dir::in;
    void* data = nullptr;               // std::int32_t*, std::int16_t* or the bytes
    std::uint16_t* length = nullptr;    // varchar and raw: bytes in use
    std::size_t capacity = 0;           // varchar and raw: bytes the buffer holds
    std::int16_t* indicator = nullptr;  // optional
};

// VARCHAR(N) in the precompiler's layout.
template <std::size_t N>
struct Varchar {
    static_assert(N > 0 && N <= 65535);
    std::uint16_t len = 0;
    char arr[N] = {};

    // Copies at most N characters of s; returns false when s was longer.
    bool set(std::string_view s) {
        len = static_cast<std::uint16_t>(s.size() < N ? s.size() : N);
        std::memcpy(arr, s.data(), len);
        return s.size() <= N;
    }
    std::string_view view() const { return {arr, len}; }
};

// RAW(N): bytes with their length.
template <std::size_t N>
struct Raw {
    static_assert(N > 0 && N <= 65535);
    std::uint16_t len = 0;
    unsigned char arr[N] = {};
};

inline Bind bind_int(Dir d, std::int32_t& v) { return {Type::i32, d, &v, nullptr, sizeof v, nullptr}; }
inline Bind bind_short(Dir d, std::int16_t& v) { return {Type::i16, d, &v, nullptr, sizeof v, nullptr}; }
template <std::size_t N>
Bind bind_varchar(Dir d, Varchar<N>& v) { return {Type::varchar, d, v.arr, &v.len, N, nullptr}; }
template <std::size_t N>
Bind bind_raw(Dir d, Raw<N>& v) { return {Type::raw, d, v.arr, &v.len, N, nullptr}; }
// A raw buffer that is not a Raw<N> (a caller's own bytes).
inline Bind bind_bytes(Dir d, void* bytes, std::uint16_t& len, std::size_t capacity) {
    return {Type::raw, d, bytes, &len, capacity, nullptr};
}
inline Bind with_indicator(Bind b, std::int16_t& ind) { b.indicator = &ind; return b; }

} // namespace sql
