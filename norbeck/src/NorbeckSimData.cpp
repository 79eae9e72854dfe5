// SIM secure data from the database's coder: the request, the Bluetooth id
// of the answer, the 512-byte block and its store on the SIM side.
#include "NorbeckPhone.h"
#include "NorbeckSimData.h"

#include "tessel.h"

#include <cstring>
#include <string>

const unsigned char norbeck_APP_ID[norbeck_LEN_APP_ID] = {};

namespace {

constexpr int kStoreTries = 3;
constexpr int kOffSetEncBl1 = 0;
constexpr int kOffSetEncBl2 = kOffSetEncBl1 + norbeck_LEN_ENC_BL1;
constexpr int kOffSetAccessBl1 = kOffSetEncBl2 + norbeck_LEN_ENC_BL2;
const std::string kExclamations(77, '!');

// The caller's texts must fit their fields with their NUL.
struct TextField {
    const char* cName;
    char* pcField;
    std::size_t uiSize;
};

int copyText(const TextField& field, const char* cText, char* cErrMsg) {
    const char* text = cText ? cText : "";
    const std::size_t uiLen = std::strlen(text);
    if (uiLen >= field.uiSize)
        return norbeck_Fail(cErrMsg, "%s: %d char's, at most %d allowed", field.cName, static_cast<int>(uiLen),
                            static_cast<int>(field.uiSize - 1));
    std::memcpy(field.pcField, text, uiLen + 1);
    return 0;
}

// Steps shared by both operations: the request from the texts, the phone's
// IMEI and DSN, the coder's answer, the Bluetooth id and the SIM block.
int fetchAndWriteBtId(int sesMobile, const char* cText1, const char* cText2, const char* cText3,
                      unsigned char* pucSIM_SecureData, char* cErrMsg) {
    sSimDataRequest sRequest;
    sSimDataAnswer sAnswer;
    std::memset(&sRequest, 0, sizeof sRequest);
    std::memset(&sAnswer, 0, sizeof sAnswer);
    const TextField fields[] = {{"cText1", sRequest.cText1, sizeof sRequest.cText1},
                                {"cText2", sRequest.cText2, sizeof sRequest.cText2},
                                {"cText3", sRequest.cText3, sizeof sRequest.cText3}};
    const char* texts[] = {cText1, cText2, cText3};
    for (int i = 0; i < 3; ++i)
        if (copyText(fields[i], texts[i], cErrMsg)) return -1;

    char cImei[TESSEL_IMEI_TEXT_MAX] = "";
    if (norbeck_ReadImei(sesMobile, cImei, cErrMsg)) return -1;
    std::memcpy(sRequest.cImei, cImei, std::strlen(cImei));
    if (norbeck_CheckForValidImei(cImei, cErrMsg)) return -1;

    sRequest.iVersion = 1;
    sAnswer.iVersion = 1;
    sRequest.ucField3 = 3;
    unsigned char ucDsn[TESSEL_DSN_LENGTH] = {};
    if (int iStatus = _Tessel_NvReadDSN(sesMobile, ucDsn, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    std::memcpy(sRequest.ucDsn, ucDsn, sizeof sRequest.ucDsn);
    sRequest.usiField1 = 1;
    sRequest.usiField2 = 1;

    if (pellin_GetSimDataFromCoder(&sRequest, &sAnswer, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
    if (norbeck_WriteBID(sesMobile, sAnswer.ucBtId, norbeck_LEN_BTID, cErrMsg)) return -1;
    return norbeck_SetSimSecureData(&sAnswer, pucSIM_SecureData, norbeck_LEN_SIM_SECURE_DATA, cErrMsg);
}

} // namespace

int norbeck_SetSimSecureData(const sSimDataAnswer* psAnswer, unsigned char* pucSIM_SecureData,
                             int iLenSIM_SecureDataArray, char* cErrMsg) {
    norbeck_Trace("norbeck_SetSimSecureData()...");
    const int iTotalLen = norbeck_LEN_SIM_SECURE_DATA;
    if (iTotalLen > iLenSIM_SecureDataArray) {
        norbeck_SetErrMsg(cErrMsg, "iTotalLen [%d]>= iLenSIM_SecureDataArray [%d]", iTotalLen,
                          iLenSIM_SecureDataArray);
        return -1;
    }
    norbeck_Trace("iOffSetEncBl1:    %d", kOffSetEncBl1);
    norbeck_Trace("iOffSetEncBl2:    %d", kOffSetEncBl2);
    norbeck_Trace("iOffSetAccessBl1: %d", kOffSetAccessBl1);
    std::memcpy(pucSIM_SecureData + kOffSetEncBl1, psAnswer->ucEncBl1, norbeck_LEN_ENC_BL1);
    std::memcpy(pucSIM_SecureData + kOffSetEncBl2, psAnswer->ucEncBl2, norbeck_LEN_ENC_BL2);
    std::memcpy(pucSIM_SecureData + kOffSetAccessBl1, psAnswer->ucAccessBl1, norbeck_LEN_ACCESS_BL1);
    if (gl_sNorbeck.iDebugBlocks == 1)
        for (int i = 0; i < iTotalLen; ++i) norbeck_Trace("pucSIM_SecureData[%d] = 0x%02x", i, pucSIM_SecureData[i]);
    return 0;
}

int norbeck_WriteSimData_BtId(int sesMobile, const char* cText1, const char* cText2, const char* cText3,
                              int* piDone, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_WriteSimData_BtId(%d,%s,%s,%s)...", sesMobile, cText1 ? cText1 : "",
                      cText2 ? cText2 : "", cText3 ? cText3 : "");
        if (!piDone) return norbeck_Fail(cErrMsg, "piDone NULL");
        *piDone = 0;
        if (norbeck_CheckLockStateOpen(sesMobile, cErrMsg)) return -1;
        unsigned char ucSIM_SecureData[norbeck_LEN_SIM_SECURE_DATA] = {};
        if (fetchAndWriteBtId(sesMobile, cText1, cText2, cText3, ucSIM_SecureData, cErrMsg)) return -1;
        const int iStatus = norbeck_Tries(kStoreTries, [&] {
            return _Tessel_GsdidiagSimSecureStoreCmd(sesMobile, norbeck_LEN_APP_ID, norbeck_APP_ID,
                                                     norbeck_LEN_SIM_SECURE_DATA, ucSIM_SecureData, NORBECK_POS);
        });
        if (iStatus != 0) return norbeck_Fail(cErrMsg, "Tessel_GsdidiagSimSecureStoreCmd() failed");
        *piDone = 1;
        return 0;
    });
}

int norbeck_Only_BtId_ViaMero(int sesMobile, const char* cText1, const char* cText2, const char* cText3,
                              int* piDone, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_Only_BtId_ViaMero(%d,%s,%s,%s)...", sesMobile, cText1 ? cText1 : "",
                      cText2 ? cText2 : "", cText3 ? cText3 : "");
        if (!piDone) return norbeck_Fail(cErrMsg, "piDone NULL");
        *piDone = 0;
        unsigned char ucSIM_SecureData[norbeck_LEN_SIM_SECURE_DATA] = {};
        if (fetchAndWriteBtId(sesMobile, cText1, cText2, cText3, ucSIM_SecureData, cErrMsg)) return -1;
        norbeck_Trace("%s", kExclamations.c_str());
        norbeck_Trace("no Tessel_GsdidiagSimSecureStoreCmd() to Mobile, since execption with Blob-Sf");
        norbeck_Trace("%s", kExclamations.c_str());
        *piDone = 1;
        return 0;
    });
}

int norbeck_fctPrepWSimT48(int iPrm1, int iPrm2) {
    return norbeck_Guard(nullptr, [&] {
        norbeck_Trace("norbeck_fctPrepWSimT48()...");
        return pellin_fctPrepWSimT48(iPrm1, iPrm2) != 0 ? -1 : 0;
    });
}
