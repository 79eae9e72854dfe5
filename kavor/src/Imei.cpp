// Reading and writing the IMEI, with its packing into NV item 550.
#include "Imei.h"

#include "InternalExports.h"
#include "ProcedureSteps.h"
#include "qmsl_diag.h"

#include <cstring>

namespace kavor {

bool isImeiText(const char* pcImei) {
    if (!pcImei) return false;
    for (int i = 0; i < kImeiDigits; ++i)
        if (pcImei[i] < '0' || pcImei[i] > '9') return false;
    return true;
}

void packImei(const char* pcDigits, unsigned char* pucPacked) {
    auto digit = [&](int i) { return static_cast<unsigned char>(pcDigits[i] & 0x0F); };
    pucPacked[0] = 8;
    pucPacked[1] = static_cast<unsigned char>((digit(0) << 4) | 0x0A);
    for (int k = 2; k < kImeiPackedLength; ++k)
        pucPacked[k] = static_cast<unsigned char>(digit(2 * k - 3) | (digit(2 * k - 2) << 4));
}

void unpackImei(const unsigned char* pucPacked, char* pcDigits) {
    pcDigits[0] = static_cast<char>('0' + (pucPacked[1] >> 4));
    for (int k = 2; k < kImeiPackedLength; ++k) {
        pcDigits[2 * k - 3] = static_cast<char>('0' + (pucPacked[k] & 0x0F));
        pcDigits[2 * k - 2] = static_cast<char>('0' + (pucPacked[k] >> 4));
    }
    pcDigits[kImeiDigits] = '\0';
}

bool TestProcedures::nvReadImei(char* pcImei) {
    if (!pcImei || !KAVOR_CheckHandle(handle_)) return false;
    unsigned char abPacked[kImeiPackedLength] = {};
    unsigned short usNvStatus = 0;
    const Step read{
        "QLIB_DIAG_NV_READ_F",
        [&] { return QLIB_DIAG_NV_READ_F(handle_, kNvImei, abPacked, kImeiPackedLength, &usNvStatus) != 0; },
        [&] {
            return stepText("QLIB_DIAG_NV_READ_F(iItemID = %d, pItemData = %s, iLength = 9)", kNvImei,
                            shownBytes(abPacked, kImeiPackedLength).c_str());
        }};
    if (!runStep(*this, read)) return false;
    if (usNvStatus != 0) {
        std::memset(pcImei, 0, kImeiDigits + 1);
        logStep(StepFailed, "QLIB_DIAG_NV_READ_F(iNvStatus = %i)", usNvStatus);
        return false;
    }
    unpackImei(abPacked, pcImei);
    return true;
}

bool TestProcedures::nvWriteImei(const char* pcImei) {
    // Refused before the phone is touched: anything but 15 digits would be
    // packed into a wrong identity.
    if (!isImeiText(pcImei)) {
        logStep(StepFailed, "IMEI is not 15 digits");
        return false;
    }
    if (!KAVOR_CheckHandle(handle_)) return false;
    unsigned char abPacked[kImeiPackedLength];
    packImei(pcImei, abPacked);
    unsigned char abRead[kImeiPackedLength] = {};
    const bool bOk =
        runSteps(*this, {
                            nvWriteStep(handle_, kNvImei, abPacked, kImeiPackedLength),
                            {"KAVOR_DIAG_NV_READ_F",
                             [&] { return KAVOR_DIAG_NV_READ_F(handle_, kNvImei, abRead, kImeiPackedLength) != 0; },
                             [&] {
                                 return stepText("KAVOR_DIAG_NV_READ_F(iItemID = %d, pItemData = %s, iLength = 9)",
                                                 kNvImei, shownBytes(abRead, kImeiPackedLength).c_str());
                             }},
                        });
    if (!bOk) return false;
    for (int i = 0; i < kImeiPackedLength; ++i) {
        if (abPacked[i] != abRead[i]) {
            logStep(StepFailed, "cImei[i] != cImeiRead[i]");
            return false;
        }
    }
    return true;
}

} // namespace kavor
