// Single bits of the phone's memory-mapped registers through the vendor's
// memory peek and poke, one template over the three register widths.
#include "TesselFcts.h"
#include "qmsl_memory.h"

#include <cstdint>

namespace {

template <typename T>
struct Width;

template <>
struct Width<std::uint8_t> {
    static constexpr const char* cPeek = "QLIB_DIAG_MEMORY_PEEK_F";
    static constexpr const char* cPoke = "QLIB_DIAG_MEMORY_POKE_F";
    static constexpr const char* cSet = "[_SetBitState_8_Reg(ADDR=0x%08X, MASK=0x%02X, BIT=%s)]";
    static constexpr const char* cGet = "[_GetBitState_8_Reg(ADDR=0x%08X, MASK=0x%02X)]";
    static constexpr const char* cReg = "[REG=0x%02X]";
    static unsigned char peek(QmslHandle h, unsigned a, std::uint8_t* v) { return QLIB_DIAG_MEMORY_PEEK_F(h, a, 1, v); }
    static unsigned char poke(QmslHandle h, unsigned a, const std::uint8_t* v) { return QLIB_DIAG_MEMORY_POKE_F(h, a, 1, v); }
};

template <>
struct Width<std::uint16_t> {
    static constexpr const char* cPeek = "QLIB_DIAG_MEMORY_PEEK_WORD_F";
    static constexpr const char* cPoke = "QLIB_DIAG_MEMORY_POKE_WORD_F";
    static constexpr const char* cSet = "[_SetBitState_16_Reg(ADDR=0x%08X, MASK=0x%02X, BIT=%s)]";
    static constexpr const char* cGet = "[_GetBitState_16_Reg(ADDR=0x%08X, MASK=0x%02X)]";
    static constexpr const char* cReg = "[REG=0x%02X]";
    static unsigned char peek(QmslHandle h, unsigned a, std::uint16_t* v) { return QLIB_DIAG_MEMORY_PEEK_WORD_F(h, a, 1, v); }
    static unsigned char poke(QmslHandle h, unsigned a, const std::uint16_t* v) {
        return QLIB_DIAG_MEMORY_POKE_WORD_F(h, a, 1, v);
    }
};

template <>
struct Width<std::uint32_t> {
    static constexpr const char* cPeek = "QLIB_DIAG_MEMORY_PEEK_DWORD_F";
    static constexpr const char* cPoke = "QLIB_DIAG_MEMORY_POKE_DWORD_F";
    static constexpr const char* cSet = "[_SetBitState_32_Reg(ADDR=0x%08X, MASK=0x%08X, BIT=%s)]";
    static constexpr const char* cGet = "[_GetBitState_32_Reg(ADDR=0x%08X, MASK=0x%08X)]";
    static constexpr const char* cReg = "[REG=0x%08X]";
    static unsigned char peek(QmslHandle h, unsigned a, std::uint32_t* v) { return QLIB_DIAG_MEMORY_PEEK_DWORD_F(h, a, 1, v); }
    static unsigned char poke(QmslHandle h, unsigned a, const std::uint32_t* v) {
        return QLIB_DIAG_MEMORY_POKE_DWORD_F(h, a, 1, v);
    }
};

int failed(int iSession, const char* cCall) {
    Tessel_TracePlain_m(iSession, "[%s failed.]", cCall);
    return 0;
}

template <typename T>
int setBit(int iSession, unsigned int uiAddress, unsigned int uiMask, unsigned short usState) {
    using W = Width<T>;
    SessionRecord rec;
    rec.iSession = iSession;
    if (GetInstrIDFromSession_m(&rec) != 0) return 0;
    const T mask = static_cast<T>(uiMask);
    Tessel_TracePlain_m(iSession, W::cSet, uiAddress, static_cast<unsigned>(mask), usState ? "ON" : "OFF");
    T value = 0;
    if (!W::peek(rec.hHandle, uiAddress, &value)) return failed(iSession, W::cPeek);
    const T poked = usState ? static_cast<T>(value | mask) : static_cast<T>(value & static_cast<T>(~mask));
    if (!W::poke(rec.hHandle, uiAddress, &poked)) return failed(iSession, W::cPoke);
    T back = 0;
    if (!W::peek(rec.hHandle, uiAddress, &back)) return failed(iSession, W::cPeek);
    if (back != poked) {
        Tessel_TracePlain_m(iSession, "[POKE->PEEK no match.]");
        return 0;
    }
    return 1;
}

template <typename T>
int getBit(int iSession, unsigned int uiAddress, unsigned int uiMask, short* psState) {
    using W = Width<T>;
    SessionRecord rec;
    rec.iSession = iSession;
    if (GetInstrIDFromSession_m(&rec) != 0 || !psState) return 0;
    const T mask = static_cast<T>(uiMask);
    Tessel_TracePlain_m(iSession, W::cGet, uiAddress, static_cast<unsigned>(mask));
    T value = 0;
    if (!W::peek(rec.hHandle, uiAddress, &value)) return failed(iSession, W::cPeek);
    Tessel_TracePlain_m(iSession, W::cReg, static_cast<unsigned>(value));
    *psState = (value & mask) != 0 ? 1 : 0;
    return 1;
}

} // namespace

int SetBitState_8_Reg(int s, unsigned int a, unsigned int m, unsigned short st) { return setBit<std::uint8_t>(s, a, m, st); }
int SetBitState_16_Reg(int s, unsigned int a, unsigned int m, unsigned short st) { return setBit<std::uint16_t>(s, a, m, st); }
int SetBitState_32_Reg(int s, unsigned int a, unsigned int m, unsigned short st) { return setBit<std::uint32_t>(s, a, m, st); }
int GetBitState_8_Reg(int s, unsigned int a, unsigned int m, short* st) { return getBit<std::uint8_t>(s, a, m, st); }
int GetBitState_16_Reg(int s, unsigned int a, unsigned int m, short* st) { return getBit<std::uint16_t>(s, a, m, st); }
int GetBitState_32_Reg(int s, unsigned int a, unsigned int m, short* st) { return getBit<std::uint32_t>(s, a, m, st); }
