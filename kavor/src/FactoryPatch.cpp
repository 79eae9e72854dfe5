// The factory tracking byte and the register patch that disables 48 kHz
// audio.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "qmsl_memory.h"

#include <cstdint>

namespace kavor {

namespace {

constexpr unsigned short kFactoryTrackingSize = 128;

constexpr unsigned int kAudioRegister = 0x84001308;
constexpr unsigned char kDiagPokeCommand = 5;
constexpr unsigned short kPokeRequestSize = 10;
constexpr unsigned long kPokeTimeoutMs = 2000;

// The low byte of the audio register with 48 kHz switched off.
std::uint32_t without48kHz(std::uint32_t iValue) {
    const std::uint32_t iLow = ((iValue & 0xFEu) | 0x0Eu) & 0xFFu;
    return (iValue & ~0xFFu) | iLow;
}

} // namespace

bool TestProcedures::setFactoryTrackingByte(unsigned char iOperationType, unsigned short iDataAddress,
                                            unsigned char* piData) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    if (iDataAddress >= kFactoryTrackingSize) {
        logStep(StepFailed, "KAVOR_SetFactoryTrackingByte - iDataAddress >= 128");
        return false;
    }
    logStep(StepInfo, "\tKAVOR_FTM_READ_WRITE_FACTORY_DATA() start");
    return logResult(KAVOR_FTM_READ_WRITE_FACTORY_DATA(handle_, iOperationType, iDataAddress, piData) != 0,
                     "KAVOR_FTM_READ_WRITE_FACTORY_DATA(iOperationType = %c, iDataAddress = %d)", iOperationType,
                     iDataAddress);
}

bool TestProcedures::diagDisable48kHz() {
    unsigned int iValue = 0;
    if (!QLIB_DIAG_MEMORY_PEEK_DWORD_F(handle_, kAudioRegister, 1, &iValue)) return false;
    const std::uint32_t iNew = without48kHz(iValue);
    // DIAG memory poke: command, address and value low byte first, one byte.
    const unsigned char request[kPokeRequestSize] = {
        kDiagPokeCommand,
        static_cast<unsigned char>(kAudioRegister),
        static_cast<unsigned char>(kAudioRegister >> 8),
        static_cast<unsigned char>(kAudioRegister >> 16),
        static_cast<unsigned char>(kAudioRegister >> 24),
        1,
        static_cast<unsigned char>(iNew),
        static_cast<unsigned char>(iNew >> 8),
        static_cast<unsigned char>(iNew >> 16),
        static_cast<unsigned char>(iNew >> 24),
    };
    unsigned char reply[kPokeRequestSize] = {};
    unsigned short iReplySize = kPokeRequestSize;
    // The poke's own result: a failed poke is no patched phone.
    return QLIB_SendSync(handle_, kPokeRequestSize, request, &iReplySize, reply, kPokeTimeoutMs) != 0;
}

} // namespace kavor
