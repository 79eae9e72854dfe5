// The session table and the library-wide module state.
#include "TesselInternal.h"

#include <cstdio>

namespace {

SessionRecord glSesHdl[TESSEL_MAX_SESSIONS + 1];  // index = session number; 0 unused
int iNrOFActiveSessions_m = 0;

bool slotInUse(int iSession) { return glSesHdl[iSession].iSession != 0; }

} // namespace

std::int8_t iTraceLev = 0;
TracerSession sesTracer_m = 0;
char cLastErrStr[TESSEL_ERROR_TEXT_MAX] = "";

void Mob_SetLastError_m(const char* cText) { std::snprintf(cLastErrStr, sizeof cLastErrStr, "%s", cText); }

bool Mob_InvalidSessionNr_m(int iSession) {
    return static_cast<unsigned>(iSession) == 0 || static_cast<unsigned>(iSession) > TESSEL_MAX_SESSIONS;
}

bool Mob_SessionInUse_m(int iSession) { return !Mob_InvalidSessionNr_m(iSession) && slotInUse(iSession); }

int GetInstrIDFromSession_m(SessionRecord* rec) {
    if (!rec || Mob_InvalidSessionNr_m(rec->iSession)) return TESSEL_ERROR_SESSION_INVALID;
    const std::int32_t iAsked = rec->iSession;
    *rec = glSesHdl[iAsked];
    rec->iSession = iAsked;
    return 0;
}

// The table is searched even when the count is 0, so a number is only ever
// handed out for a slot that is really free.
int Mob_GetNewSessionNo_m() {
    for (int i = 1; i <= TESSEL_MAX_SESSIONS; ++i)
        if (!slotInUse(i)) return i;
    return 0;
}

int Mob_AddToGlSesHdl_m(SessionRecord rec) {
    if (iNrOFActiveSessions_m >= TESSEL_MAX_SESSIONS || Mob_InvalidSessionNr_m(rec.iSession) ||
        slotInUse(rec.iSession))
        return TESSEL_ERROR_SESSION_INVALID;
    glSesHdl[rec.iSession] = rec;
    ++iNrOFActiveSessions_m;
    return 0;
}

int WriteToGlSesHdl_m(SessionRecord rec) {
    if (Mob_InvalidSessionNr_m(rec.iSession)) return TESSEL_ERROR_SESSION_INVALID;
    if (!slotInUse(rec.iSession)) return TESSEL_ERROR_SESSION_NOT_IN_LIST;
    glSesHdl[rec.iSession] = rec;
    return 0;
}

int Mob_DelSesFromGlSesHdl_m(int iSession) {
    if (Mob_InvalidSessionNr_m(iSession)) return TESSEL_ERROR_SESSION_INVALID;
    for (int i = 1; i <= TESSEL_MAX_SESSIONS; ++i) {
        if (glSesHdl[i].iSession == iSession) {
            glSesHdl[i] = SessionRecord{};
            --iNrOFActiveSessions_m;
            return 0;
        }
    }
    return TESSEL_ERROR_SESSION_NOT_IN_LIST;
}

int Mob_ActiveSessions_m() { return iNrOFActiveSessions_m; }

void Tessel_ResetModule_m() {
    for (SessionRecord& r : glSesHdl) r = SessionRecord{};
    iNrOFActiveSessions_m = 0;
    iTraceLev = 0;
    sesTracer_m = 0;
    cLastErrStr[0] = '\0';
    Tessel_ResetSettings_m();
    Tessel_ResetCameraState_m();
}
