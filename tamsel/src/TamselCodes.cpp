// Service codes and the factory data: the service programming code, the
// service code in the factory data, the KLF byte.
#include "Tamsel.h"
#include "TamselCallbacks.h"

#include <cstring>

namespace {

const char kPromptCode[] = "527309";   // offered in the SPC prompt
const char kNvCode[] = "716843";       // written into NV item 85
const char kFactoryCode[] = "405962";  // written into the factory data
constexpr int kCodeLength = 6;
constexpr int kNvServiceCode = 85;
constexpr int kFactoryCodeAddress = 21;
constexpr int kKlfByteAddress = 3;
constexpr int kFactoryRead = 0, kFactoryWrite = 1;

int serviceCode(int) {
    char cSpc[kCodeLength + 1];
    std::memcpy(cSpc, kPromptCode, sizeof cSpc);
    if (int iPrompt = PromptPopup("SPC code", "Please input SPC code", cSpc, kCodeLength); iPrompt != 0)
        return TamselFail("PromptPopup returns %d", iPrompt);
    unsigned char ucSpcResult = 0;  // open or closed: the NV write below tells
    if ((iErrStatus = _Tessel_DiagSpcF(sesMobile, cSpc, &ucSpcResult, TAMSEL_AT)) != 0)
        return TamselLibFail(iErrStatus);
    short bLockState = 0;
    unsigned char ucCyclesLeft = 0;
    if ((iErrStatus = _Tessel_SpecialGetLockState(sesMobile, &bLockState, &ucCyclesLeft, TAMSEL_AT)) != 0)
        return TamselLibFail(iErrStatus);
    if (bLockState != 0) TamselFail("bLockState != 0 [%d]", bLockState);  // a note; the command goes on
    unsigned short usiStatus = 0;
    if ((iErrStatus = _Tessel_DiagNvWriteF(sesMobile, kNvServiceCode, reinterpret_cast<const unsigned char*>(kNvCode),
                                           kCodeLength, &usiStatus, TAMSEL_AT)) != 0)
        return TamselLibFail(iErrStatus);
    if (usiStatus != 0) return TamselFail("usiStatus != 0 [%d]", usiStatus);
    return 0;
}

// One character per factory-data address, 21 to 26.
int serviceCodeToFactoryData(int) {
    unsigned char ucCode[kCodeLength + 1];
    std::memcpy(ucCode, kFactoryCode, sizeof ucCode);
    for (int i = 0; i < kCodeLength; ++i)
        if ((iErrStatus = _Tessel_FtmReadWriteFactoryData(sesMobile, kFactoryWrite, kFactoryCodeAddress + i,
                                                          &ucCode[i], TAMSEL_AT)) != 0)
            return TamselLibFail(iErrStatus);
    return 0;
}

// The byte read back must be the byte written.
int writeKlfByte(int panel) {
    if ((iErrStatus = _Tessel_FtmReadWriteFactoryData(sesMobile, kFactoryRead, kKlfByteAddress, &ucVerifyKlfByte,
                                                      TAMSEL_AT)) != 0) {
        TamselLibFail(iErrStatus);
        return TamselSwitchErrorBlock();
    }
    GetCtrlVal(panel, TAMSEL_CTRL_KLF_BYTE, &iWriteKlfByte);
    ucWriteKlfByte = static_cast<unsigned char>(iWriteKlfByte & 0xFF);
    TamselTrace("ucWriteKlfByte = 0x%02x,iWriteKlfByte = %d\n", ucWriteKlfByte, iWriteKlfByte);
    if ((iErrStatus = _Tessel_FtmReadWriteFactoryData(sesMobile, kFactoryWrite, kKlfByteAddress, &ucWriteKlfByte,
                                                      TAMSEL_AT)) != 0 ||
        (iErrStatus = _Tessel_FtmReadWriteFactoryData(sesMobile, kFactoryRead, kKlfByteAddress, &ucVerifyKlfByte,
                                                      TAMSEL_AT)) != 0) {
        TamselLibFail(iErrStatus);
        return TamselSwitchErrorBlock();
    }
    if (ucVerifyKlfByte != ucWriteKlfByte) {
        TamselFail("ucVerifyKlfByte = 0x%02x, not 0x%02x", ucVerifyKlfByte, ucWriteKlfByte);
        return TamselSwitchErrorBlock();
    }
    return 0;
}

} // namespace

TAMSEL_COMMAND(cmdservicecode, "Service code", serviceCode)
TAMSEL_COMMAND(cmdwriteservicecodetonv, "Service code to FD", serviceCodeToFactoryData)
TAMSEL_COMMAND(cmdwriteklfbyte, "Write KLF byte", writeKlfByte)
