// The Bluetooth id: written from the database's answer or as the operator
// types it, unless the phone already has an address.
#include "NorbeckSimData.h"

#include "cvi_panel.h"
#include "tessel.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kLenTypedBtId = 17;            // "FF-FF-FF-FF-FF-FF"
constexpr int kLenPromptText = 63;           // the prompt's title and answer
constexpr const char* kPromptMessage = "*BtId-Format*: FF-FF-FF-FF-FF-FF";

// The phone has a Bluetooth address when it can be read; a failed read
// only means that there is none yet.
bool phoneHasBtAddress(int sesMobile) {
    char szBDAddr[TESSEL_BD_ADDR_TEXT_MAX] = "";
    return _Tessel_NvReadBDAddr(sesMobile, szBDAddr, NORBECK_POS) == 0;
}

// Reads "XX-XX-XX-XX-XX-XX" into the id, last typed pair first.
int parseTypedBtId(const char* cAnswer, unsigned char* pucBtId, char* cErrMsg) {
    const int iLen = static_cast<int>(std::strlen(cAnswer));
    if (iLen != kLenTypedBtId)
        return norbeck_Fail(cErrMsg, "strlen(%s): %d, but %d expected", cAnswer, iLen, kLenTypedBtId);
    unsigned int iBtId[norbeck_LEN_BTID] = {};
    bool bDashes = true;
    for (int i = 2; i < kLenTypedBtId; i += 3) bDashes = bDashes && cAnswer[i] == '-';
    if (!bDashes || std::sscanf(cAnswer, "%x-%x-%x-%x-%x-%x", &iBtId[0], &iBtId[1], &iBtId[2], &iBtId[3],
                                &iBtId[4], &iBtId[5]) != norbeck_LEN_BTID)
        return norbeck_Fail(cErrMsg, "bad BtId-Format of %s", cAnswer);
    for (int i = 0; i < norbeck_LEN_BTID; ++i)
        if (iBtId[i] > 0xFF) return norbeck_Fail(cErrMsg, "iBtId[%d]: 0x%x not in [0,0xFF]", i, iBtId[i]);
    bool bAllZero = true;
    for (int i = 0; i < norbeck_LEN_BTID; ++i) {
        pucBtId[i] = static_cast<unsigned char>(iBtId[norbeck_LEN_BTID - 1 - i]);
        bAllZero = bAllZero && pucBtId[i] == 0;
    }
    if (bAllZero) return norbeck_Fail(cErrMsg, "%s not valid", cAnswer);
    return 0;
}

} // namespace

int norbeck_WriteBID(int sesMobile, const unsigned char* pucBluetoothIdFromMero, int iLen, char* cErrMsg) {
    norbeck_Trace("norbeck_WriteBID()...");
    bool bAllZero = true;
    for (int i = 0; i < iLen; ++i) {
        norbeck_Trace("pucBluetoothIdFromMero[%d]: 0x%02x", i, pucBluetoothIdFromMero[i]);
        bAllZero = bAllZero && pucBluetoothIdFromMero[i] == 0;
    }
    if (bAllZero) {
        norbeck_Trace("found only 0-Bytes => no BID transferred => nothing to do");
        return 0;
    }
    if (phoneHasBtAddress(sesMobile)) {
        norbeck_Trace("BtAddress readable => nothing to do");
        return 0;
    }
    if (int iStatus = _Tessel_NvWriteRawBDAddr(sesMobile, pucBluetoothIdFromMero, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    return 0;
}

int norbeck_WriteBID_ByUser(int sesMobile, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_WriteBID_ByUser()...");
        char cDir[4096] = "";
        if (!getcwd(cDir, sizeof cDir)) return norbeck_Fail(cErrMsg, "GetDir() failed: iErrStatus = %d", -errno);
        if (phoneHasBtAddress(sesMobile)) {
            norbeck_Trace("BtAddress readable => nothing to do");
            return 0;
        }
        char cTitle[kLenPromptText + 1] = "";
        std::memcpy(cTitle, cDir, std::min<std::size_t>(std::strlen(cDir), kLenPromptText));
        char cAnswer[kLenPromptText + 1] = "";
        if (int iResult = PromptPopup(cTitle, kPromptMessage, cAnswer, kLenPromptText))
            return norbeck_Fail(cErrMsg, "PromptPopup returns %d", iResult);
        unsigned char ucBtId[norbeck_LEN_BTID] = {};
        if (parseTypedBtId(cAnswer, ucBtId, cErrMsg)) return -1;
        return norbeck_WriteBID(sesMobile, ucBtId, norbeck_LEN_BTID, cErrMsg);
    });
}
