// Register bits: read-modify-write of a processor register through the
// vendor library's memory peek and poke, verified by reading it back.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "qmsl_memory.h"

#include <cinttypes>
#include <cstdint>

namespace kavor {

namespace {

// The vendor calls and step texts of one register width.
struct Width8 {
    using Value = unsigned char;
    static constexpr const char* kPeekStart = "\tQLIB_DIAG_MEMORY_PEEK_F() start";
    static constexpr const char* kPokeStart = "\tQLIB_DIAG_MEMORY_POKE_F() start";
    static constexpr const char* kPeekLine =
        "QLIB_DIAG_MEMORY_PEEK_F(iAddress = %u, iNumItems = 1, pItemArray = 0x%" PRIxPTR ")";
    static constexpr const char* kPokeLine =
        "QLIB_DIAG_MEMORY_POKE_F(iAddress = %u, iNumItems = 1, pItemArray = 0x%" PRIxPTR ")";
    static bool peek(QmslHandle h, unsigned int a, Value* v) { return QLIB_DIAG_MEMORY_PEEK_F(h, a, 1, v) != 0; }
    static bool poke(QmslHandle h, unsigned int a, const Value* v) { return QLIB_DIAG_MEMORY_POKE_F(h, a, 1, v) != 0; }
};
struct Width32 {
    using Value = unsigned int;
    static constexpr const char* kPeekStart = "\tQLIB_DIAG_MEMORY_PEEK_DWORD_F() start";
    static constexpr const char* kPokeStart = "\tQLIB_DIAG_MEMORY_POKE_DWORD_F() start";
    static constexpr const char* kPeekLine =
        "QLIB_DIAG_MEMORY_PEEK_DWORD_F(iAddress = %u, iNumItems = 1, pItemArray = 0x%" PRIxPTR ")";
    static constexpr const char* kPokeLine =
        "QLIB_DIAG_MEMORY_POKE_DWORD_F(iAddress = %u, iNumItems = 1, pItemArray = 0x%" PRIxPTR ")";
    static bool peek(QmslHandle h, unsigned int a, Value* v) { return QLIB_DIAG_MEMORY_PEEK_DWORD_F(h, a, 1, v) != 0; }
    static bool poke(QmslHandle h, unsigned int a, const Value* v) {
        return QLIB_DIAG_MEMORY_POKE_DWORD_F(h, a, 1, v) != 0;
    }
};

std::uintptr_t address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

template <typename W>
bool setBitState(TestProcedures& p, unsigned int iAddress, typename W::Value iMask, unsigned char bOnOff) {
    using Value = typename W::Value;
    const QmslHandle h = p.handle();
    Value iPeekStorage = 0;
    p.logStep(TestProcedures::StepInfo, "%s", W::kPeekStart);
    bool bOk = W::peek(h, iAddress, &iPeekStorage);
    if (!p.logResult(bOk, W::kPeekLine, iAddress, address(&iPeekStorage))) return false;

    const Value iPokeStorage =
        bOnOff ? static_cast<Value>(iPeekStorage | iMask) : static_cast<Value>(iPeekStorage & static_cast<Value>(~iMask));
    p.logStep(TestProcedures::StepInfo, "%s", W::kPokeStart);
    bOk = W::poke(h, iAddress, &iPokeStorage);
    if (!p.logResult(bOk, W::kPokeLine, iAddress, address(&iPokeStorage))) return false;

    p.logStep(TestProcedures::StepInfo, "%s", W::kPeekStart);
    bOk = W::peek(h, iAddress, &iPeekStorage);
    if (!p.logResult(bOk, W::kPeekLine, iAddress, address(&iPeekStorage))) return false;

    // Only the mask bits must read back as written.
    if ((iPokeStorage & iMask) != (iPeekStorage & iMask)) {
        p.logStep(TestProcedures::StepFailed, "(_iPokeStorage != _iPeekStorage)");
        return false;
    }
    return true;
}

} // namespace

bool TestProcedures::setBitState8Reg(unsigned int iAddress, unsigned char iMask, unsigned char bOnOff) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    return setBitState<Width8>(*this, iAddress, iMask, bOnOff);
}

bool TestProcedures::setBitState32Reg(unsigned int iAddress, unsigned int iMask, unsigned char bOnOff) {
    return setBitState<Width32>(*this, iAddress, iMask, bOnOff);
}

} // namespace kavor

namespace kavor {

bool TestProcedures::getBitState32Reg(unsigned int iAddress, unsigned short iBitNum, unsigned int* piReg, char* pcOnOff) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    if (iBitNum > 31) {
        logStep(StepInfo, "bitNum over the range: %d", iBitNum);
        return false;
    }
    unsigned int iValue = 0;
    logStep(StepInfo, "%s", Width32::kPeekStart);
    const bool bOk = Width32::peek(handle_, iAddress, &iValue);
    if (!logResult(bOk, Width32::kPeekLine, iAddress, address(&iValue))) return false;
    if (piReg) *piReg = iValue;
    if (pcOnOff) *pcOnOff = (iValue & (1u << iBitNum)) ? '1' : '0';
    return true;
}

} // namespace kavor
