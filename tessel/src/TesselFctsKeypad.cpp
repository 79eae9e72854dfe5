// The key map of a phone model's keypad: cleared, loaded entry by entry, then
// key detection configured.
#include "TesselFcts.h"
#include "TesselKeyMaps.h"
#include "qmsl_keypress.h"

#include <cstdio>

namespace {

constexpr const char* kKeyUpText = "AEEKey_RemovePressed: ";
constexpr const char* kKeyDownText = "AEEKey_AddPressed: ";
constexpr unsigned int kRealTimeMask = 8;

} // namespace

int _Tessel_SpecialSetKeypadMapping(int iSession, int eKeyMapping, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, eKeyMapping=%d ) Sess=%d", __func__, rec.hHandle, eKeyMapping,
                  iSession);
    // The handle is not tested: the vendor calls fail on an unconnected one.
    char cText[64] = "OK";
    int iStatus = 0;
    auto fail = [&](const char* cReason) {
        std::snprintf(cText, sizeof cText, "%s", cReason);
        iStatus = TESSEL_ERROR_LIBRARY;
    };
    // The id is checked before the map is cleared: a wrong id leaves the
    // phone's map as it was.
    const TesselKeyMap* map = TesselKeyMapOf(eKeyMapping);
    if (!map) {
        fail("Wrong mapping ID specified.");
    } else if (!QLIB_DIAG_KeyPress_ClearMap(rec.hHandle)) {
        fail("QLIB_DIAG_KeyPress_ClearMap() failed.");
    } else {
        TesselKeyEntry entries[kTesselKeyMapMax];
        const std::size_t n = TesselKeyMapEntries(*map, entries, kTesselKeyMapMax);
        for (std::size_t i = 0; i < n; ++i) {
            if (QLIB_DIAG_KeyPress_AddMapEntry(rec.hHandle, entries[i].iHwId, entries[i].iSwId)) continue;
            std::snprintf(cText, sizeof cText, "QLIB_DIAG_KeyPress_AddMapEntry(%d,%d) failed.", entries[i].iHwId,
                          entries[i].iSwId);
            iStatus = TESSEL_ERROR_LIBRARY;
            break;
        }
        // Key detection is configured also after a failed entry.
        if (!QLIB_DIAG_KeyPress_ConfigureKeyDetect(rec.hHandle, kKeyUpText, kKeyDownText, map->iSsid, kRealTimeMask))
            fail("DIAG_KeyPress_ConfigureKeyDetect() failed.");
    }
    Mob_TraceResult(iSession, iStatus, "%s( %s ) = %#x", __func__, cText, static_cast<unsigned>(iStatus));
    return iStatus;
}
