// Typed memory peek and poke, and the phone's sparse register file behind
// them. Items cross the call as little-endian bytes, whatever the host's
// byte order.
#include "qmsl_memory.h"
#include "qmsl_memory_sim.h"

#include "library.h"

#include <vector>

using namespace qmsl_sim;

namespace {

template <typename T>
unsigned char peek(QmslHandle h, const char* fn, unsigned int address, unsigned char count, T* values) {
    if (count && !values) return 0;
    std::vector<std::uint8_t> raw(count * sizeof(T), 0);
    if (!typed_call(h, fn, {static_cast<long long>(address), count, static_cast<long long>(sizeof(T))},
                    {out_bytes(raw.data(), raw.size())}))
        return 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t v = 0;
        for (std::size_t b = 0; b < sizeof(T); ++b) v |= static_cast<std::uint32_t>(raw[i * sizeof(T) + b]) << (8 * b);
        values[i] = static_cast<T>(v);
    }
    return 1;
}

template <typename T>
unsigned char poke(QmslHandle h, const char* fn, unsigned int address, unsigned char count, const T* values) {
    if (count && !values) return 0;
    std::vector<std::uint8_t> raw;
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t b = 0; b < sizeof(T); ++b)
            raw.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(values[i]) >> (8 * b)));
    return typed_call(h, fn,
                      {static_cast<long long>(address), count, static_cast<long long>(sizeof(T)),
                       In(raw.data(), raw.size())},
                      {});
}

} // namespace

unsigned char QLIB_DIAG_MEMORY_PEEK_F(QmslHandle h, unsigned int address, unsigned char count, unsigned char* values) {
    return peek(h, __func__, address, count, values);
}
unsigned char QLIB_DIAG_MEMORY_POKE_F(QmslHandle h, unsigned int address, unsigned char count,
                                      const unsigned char* values) {
    return poke(h, __func__, address, count, values);
}
unsigned char QLIB_DIAG_MEMORY_PEEK_WORD_F(QmslHandle h, unsigned int address, unsigned char count,
                                           unsigned short* values) {
    return peek(h, __func__, address, count, values);
}
unsigned char QLIB_DIAG_MEMORY_POKE_WORD_F(QmslHandle h, unsigned int address, unsigned char count,
                                           const unsigned short* values) {
    return poke(h, __func__, address, count, values);
}
unsigned char QLIB_DIAG_MEMORY_PEEK_DWORD_F(QmslHandle h, unsigned int address, unsigned char count,
                                            unsigned int* values) {
    return peek(h, __func__, address, count, values);
}
unsigned char QLIB_DIAG_MEMORY_POKE_DWORD_F(QmslHandle h, unsigned int address, unsigned char count,
                                            const unsigned int* values) {
    return poke(h, __func__, address, count, values);
}

namespace qmsl_sim {

std::uint32_t MemoryMap::read(std::uint32_t address, unsigned width) const {
    std::uint32_t v = 0;
    for (unsigned b = 0; b < width; ++b) {
        auto it = bytes.find(address + b);
        if (it != bytes.end()) v |= static_cast<std::uint32_t>(it->second) << (8 * b);
    }
    return v;
}

void MemoryMap::preset(std::uint32_t address, std::uint32_t value, unsigned width) {
    for (unsigned b = 0; b < width; ++b) bytes[address + b] = static_cast<std::uint8_t>(value >> (8 * b));
}

void MemoryMap::poke(std::uint32_t address, std::uint32_t value, unsigned width) {
    for (unsigned b = 0; b < width; ++b)
        if (!ignores_pokes.count(address + b)) bytes[address + b] = static_cast<std::uint8_t>(value >> (8 * b));
}

void MemoryMap::ignore_pokes(std::uint32_t address, unsigned width) {
    for (unsigned b = 0; b < width; ++b) ignores_pokes.insert(address + b);
}

MemoryMap& memory(Phone& phone) {
    return family_state_of<MemoryMap>(phone, "memory");
}

} // namespace qmsl_sim

namespace {

// Inputs of every memory call: address, count, item width (and the poke's bytes).
bool peekHandler(Phone& p, const Call& c) {
    const auto address = static_cast<std::uint32_t>(c.in[0].value);
    const auto count = static_cast<std::uint32_t>(c.in[1].value);
    const auto width = static_cast<unsigned>(c.in[2].value);
    std::vector<std::uint8_t> raw;
    for (std::uint32_t i = 0; i < count * width; ++i) raw.push_back(static_cast<std::uint8_t>(memory(p).read(address + i, 1)));
    c.set_bytes(0, raw);
    return true;
}

bool pokeHandler(Phone& p, const Call& c) {
    const auto address = static_cast<std::uint32_t>(c.in[0].value);
    const std::vector<std::uint8_t>& raw = c.in[3].bytes;
    for (std::uint32_t i = 0; i < raw.size(); ++i) memory(p).poke(address + i, raw[i], 1);
    return true;
}

const bool registered = [] {
    for (const char* fn : {"QLIB_DIAG_MEMORY_PEEK_F", "QLIB_DIAG_MEMORY_PEEK_WORD_F", "QLIB_DIAG_MEMORY_PEEK_DWORD_F"})
        set_default_handler(fn, peekHandler);
    for (const char* fn : {"QLIB_DIAG_MEMORY_POKE_F", "QLIB_DIAG_MEMORY_POKE_WORD_F", "QLIB_DIAG_MEMORY_POKE_DWORD_F"})
        set_default_handler(fn, pokeHandler);
    return true;
}();

} // namespace
