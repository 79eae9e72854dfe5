// Which phone is connected and which vendor library serves it: the hardware
// detection into the session's phone type, and the library type.
#include "TesselEnum.h"
#include "TesselFcts.h"
#include "kavor.h"
#include "qmsl_build.h"
#include "qmsl_diag_misc.h"

#include <cstring>

namespace {

// Build-id tags of phones whose hardware id the FTM command does not give.
struct BuildTag {
    const char* cTag;
    std::int16_t sHwId;
};
constexpr BuildTag kBuildTags[] = {{"M6275B", 12}, {"M6280A", 13}};

std::int16_t hwIdFromBuild(QmslHandle h) {
    unsigned int uiMsm = 0, uiModel = 0;
    char cSwRev[QMSL_BUILD_TEXT_MAX] = {};
    char cModel[QMSL_BUILD_TEXT_MAX] = {};
    if (!QLIB_DIAG_EXT_BUILD_ID_F(h, &uiMsm, &uiModel, cSwRev, cModel)) return -1;
    for (const BuildTag& t : kBuildTags)
        if (std::strncmp(cSwRev, t.cTag, 6) == 0) return t.sHwId;
    return -1;
}

} // namespace

int Tessel_QLibType_m(char* cVersion) {
    char cText[QMSL_VERSION_TEXT_MAX] = {};
    QLIB_GetLibraryVersion(cText);
    if (cVersion) std::memcpy(cVersion, cText, sizeof cText);
    int iType = 2;
    if (std::strstr(cText, "QPST")) iType = 0;
    if (std::strstr(cText, "QPHONEMS")) iType = 1;
    return iType;
}

void Tessel_InternalDetectHardware(int iSession) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (GetInstrIDFromSession_m(&rec) != 0) return;
    std::int16_t sHwId = -1;
    std::int16_t sModel = -1;

    unsigned short usHwId = 0;
    if (KAVOR_FTM_GET_HW_ID(rec.hHandle, &usHwId))
        sHwId = static_cast<std::int8_t>(static_cast<std::uint8_t>(usHwId));
    else
        sHwId = hwIdFromBuild(rec.hHandle);

    char cText[5][QMSL_VERNO_TEXT_MAX];
    unsigned char ucScm = 0, ucCai = 0, ucModel = 0, ucSlot = 0, ucVocMaj = 0, ucVocMin = 0;
    unsigned short usFirm = 0;
    if (QLIB_DIAG_VERNO_F(rec.hHandle, cText[0], cText[1], cText[2], cText[3], cText[4], &ucScm, &ucCai, &ucModel,
                          &usFirm, &ucSlot, &ucVocMaj, &ucVocMin))
        sModel = ucModel;

    rec.sPhoneType = TesselDeterminePhoneType(sHwId, sModel);
    WriteToGlSesHdl_m(rec);
    if (Mob_TraceOn_m()) {
        Tessel_TracePlain_m(iSession, "[=== Mobile Hardware Detection : %d,%s ===]", rec.sPhoneType,
                   Get_cPhoneModel(rec.sPhoneType));
        Tessel_TracePlain_m(iSession, "[=== FTM_GET_HW_ID = %d]", sHwId);
        Tessel_TracePlain_m(iSession, "[=== DIAG_VERNO_F  = %d]", sModel);
    }
}

int _Tessel_GetQLibType(int iSession, int* eType, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!eType) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    char cVersion[QMSL_VERSION_TEXT_MAX];
    *eType = Tessel_QLibType_m(cVersion);
    Mob_TraceResult(iSession, 0, "%s( *eType=%d(%s) ) = %#x", __func__, *eType, cVersion, 0u);
    return 0;
}
