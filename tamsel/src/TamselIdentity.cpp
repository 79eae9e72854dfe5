// The phone's identity items: FTM flag, IMEI, Bluetooth address.
#include "Tamsel.h"
#include "TamselCallbacks.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kImeiLength = 15;
constexpr int kBtIdDigits = 12;
constexpr int kBtIdBytes = 6;
constexpr int kRawBtAddrSize = 12;

int setFtmFlag(int) {
    TamselTrace("NvSetFtmFlag to ONLINE");
    if ((iErrStatus = _Tessel_NvSetFtmFlag(sesMobile, 0, TAMSEL_AT)) != 0) return TamselLibFail(iErrStatus);
    return 0;
}

// Written only when the phone has none (the read fails).
int writeImei(int) {
    char cImeiFromMobile[128] = {};
    TamselTrace("======= TestImei =========");
    if ((iErrStatus = _Tessel_NvReadImei(sesMobile, cImeiFromMobile, TAMSEL_AT)) == 0)
        return TamselNothingDone("IMEI is already written, nothing done!!!");
    // The prompt starts empty, not with what the failed read left.
    std::memset(cImeiFromMobile, 0, sizeof cImeiFromMobile);
    if (int iPrompt = PromptPopup("Write IMEI", "Please input IMEI", cImeiFromMobile, kImeiLength); iPrompt != 0)
        return TamselFail("PromptPopup returns %d", iPrompt);
    if (std::strlen(cImeiFromMobile) != kImeiLength)
        return TamselFail("cImeiFromMobile: %s not %d char's", cImeiFromMobile, kImeiLength);
    if ((iErrStatus = _Tessel_NvWriteImei(sesMobile, cImeiFromMobile, TAMSEL_AT)) != 0)
        return TamselLibFail(iErrStatus);
    return 0;
}

int readBtAddr(int) {
    char cBtAddr[64] = {};
    if ((iErrStatus = _Tessel_NvReadBDAddr(sesMobile, cBtAddr, TAMSEL_AT)) != 0) return TamselLibFail(iErrStatus);
    return 0;
}

bool isBtIdText(const char* cText) {
    if (std::strlen(cText) != kBtIdDigits) return false;
    for (int i = 0; i < kBtIdDigits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(cText[i]))) return false;
    return true;
}

// Written only when the phone has none (the read fails). The entry is the
// address most significant pair first; the raw item holds it reversed.
int writeBtAddr(int) {
    char cBtId[64] = {};
    if ((iErrStatus = _Tessel_NvReadBDAddr(sesMobile, cBtId, TAMSEL_AT)) == 0)
        return TamselNothingDone("BT Address already in, nothing done!!!");
    std::memset(cBtId, 0, sizeof cBtId);
    if (int iPrompt = PromptPopup("BT Address", "*BtId-Format*: AABBCCDDEEFF", cBtId, kBtIdDigits); iPrompt != 0)
        return TamselFail("PromptPopup returns %d", iPrompt);
    // Exactly twelve hex digits: sscanf alone would take shorter entries
    // and blanks.
    int iBtId[kBtIdBytes] = {};
    if (!isBtIdText(cBtId) || std::sscanf(cBtId, "%02x%02x%02x%02x%02x%02x", &iBtId[0], &iBtId[1], &iBtId[2],
                                          &iBtId[3], &iBtId[4], &iBtId[5]) != kBtIdBytes)
        return TamselFail("bad BtId-Format of %s", cBtId);
    unsigned char ucRaw[kRawBtAddrSize] = {};
    bool bAllZero = true;
    for (int i = 0; i < kBtIdBytes; ++i) {
        if (iBtId[i] < 0 || iBtId[i] > 0xFF) return TamselFail("iBtId[%d]: 0x%x not in [0,0xFF]", i, iBtId[i]);
        ucRaw[i] = static_cast<unsigned char>(iBtId[kBtIdBytes - 1 - i]);
        bAllZero = bAllZero && ucRaw[i] == 0;
    }
    if (bAllZero) return TamselFail("%s not valid", cBtId);
    // The raw buffer itself is the traced line.
    TamselTrace("%.*s", kRawBtAddrSize, reinterpret_cast<const char*>(ucRaw));
    if ((iErrStatus = _Tessel_NvWriteRawBDAddr(sesMobile, ucRaw, TAMSEL_AT)) != 0) return TamselLibFail(iErrStatus);
    return 0;
}

} // namespace

TAMSEL_COMMAND(cmdsetftmflag, "Set FTM flag", setFtmFlag)
TAMSEL_COMMAND(cmdwriteimei, "Write IMEI", writeImei)
TAMSEL_COMMAND(cmdreadbtaddr, "Read BT address", readBtAddr)
TAMSEL_COMMAND(cmdwritebtaddr, "Write BT address", writeBtAddr)
