// The five text exports: a traced copy of one code text into the caller's
// buffer, cut at the longest text of its table.
#include "TesselEnum.h"
#include "TesselInternal.h"

#include <cstdio>

namespace {

int copyText(char* cText, int iSize, const char* cFrom) {
    if (!cText) return TESSEL_ERROR_PARAMETER2;
    std::snprintf(cText, iSize, "%s", cFrom);
    return 0;
}

} // namespace

int _Tessel_KlfGet_cEHwProject(unsigned char iHwID, unsigned char iMobModel, char* cText, const char* cFile,
                               int iLine) {
    Mob_TraceCall(0, cFile, iLine, "_Tessel_KlfGet_cEHwProject ( iHwID=%d, iMobModel=%d )", iHwID, iMobModel);
    return copyText(cText, TESSEL_PHONE_MODEL_TEXT_MAX, Get_cPhoneModel(TesselDeterminePhoneType(iHwID, iMobModel)));
}

int _Tessel_KlfGet_cFlashID(unsigned short iID, char* cText, const char* cFile, int iLine) {
    Mob_TraceCall(0, cFile, iLine, "_Tessel_KlfGet_cFlashID ( iID=%d )", iID);
    return copyText(cText, TESSEL_FLASH_TEXT_MAX, Get_cFlash(iID));
}

int _Tessel_KlfGet_cMobileType(int iID, char* cText, const char* cFile, int iLine) {
    Mob_TraceCall(0, cFile, iLine, "_Tessel_KlfGet_cMobileType ( iID=%d )", iID);
    return copyText(cText, TESSEL_PHONE_MODEL_TEXT_MAX, Get_cPhoneModel(iID));
}

int _Tessel_KlfGet_cKeyID(int iID, char* cText, const char* cFile, int iLine) {
    Mob_TraceCall(0, cFile, iLine, "_Tessel_KlfGet_cKeyID ( iID=%d )", iID);
    return copyText(cText, TESSEL_KEY_TEXT_MAX, Get_cKeyPress(iID));
}

int _Tessel_KlfGet_cCamID(int iID, char* cText, const char* cFile, int iLine) {
    Mob_TraceCall(0, cFile, iLine, "_Tessel_KlfGet_cCamID ( iID=%d )", iID);
    return copyText(cText, TESSEL_CAMERA_TEXT_MAX, Get_cCameraModel(iID));
}
