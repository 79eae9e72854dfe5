// The phone's key map for a keypad layout, and one look at the key-press
// queue.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "KeypadMaps.h"
#include "qmsl_keypress.h"

namespace kavor {

bool TestProcedures::specialSetKeypadMapping(unsigned char iMappingId) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    // The id is checked before the map is cleared: a wrong id leaves the
    // phone's map as it was.
    const KeypadMap* map = keypadMap(iMappingId);
    if (!map) {
        logStep(StepFailed, "Wrong mapping ID specified");
        return false;
    }
    logStep(StepInfo, "\tQLIB_DIAG_KeyPress_ClearMap() start");
    if (!logResult(QLIB_DIAG_KeyPress_ClearMap(handle_) != 0, "QLIB_DIAG_KeyPress_ClearMap()")) return false;

    bool bOk = true;
    forEachKey(*map, [&](const KeyPair& k) {
        if (!bOk) return;
        logStep(StepInfo, "\tQLIB_DIAG_KeyPress_AddMapEntry() start");
        bOk = logResult(QLIB_DIAG_KeyPress_AddMapEntry(handle_, k.iHwId, k.iSwId) != 0,
                        "QLIB_DIAG_KeyPress_AddMapEntry(iHW_ID = %d, iKeyPressSW_ID = %c)", k.iHwId, k.iSwId);
    });
    if (!bOk) return false;

    logStep(StepInfo, "\tQLIB_DIAG_KeyPress_ConfigureKeyDetect() start");
    return logResult(QLIB_DIAG_KeyPress_ConfigureKeyDetect(handle_, kKeyUpText, kKeyDownText, map->iSsid, kKeyDetectMask) != 0,
                     "QLIB_DIAG_KeyPress_ConfigureKeyDetect(sKeyUpString = %s, sKeyDownString = %s, iSSID = %d, iRT_MASK = 8)",
                     kKeyUpText, kKeyDownText, map->iSsid);
}

bool TestProcedures::testKeypad(int* piQueueSize, unsigned short* piKeyId, unsigned char* piKeyEvent) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    int iQueueSize = 0;
    unsigned short iKeyId = 0;
    unsigned char iKeyEvent = 0;
    logStep(StepInfo, "\tQLIB_DIAG_KeyPress_GetQueueSize() start");
    const bool bSize = QLIB_DIAG_KeyPress_GetQueueSize(handle_, &iQueueSize) != 0;
    if (piQueueSize) *piQueueSize = iQueueSize;
    if (!logResult(bSize, "QLIB_DIAG_KeyPress_GetQueueSize(piKeypressQueueSize = %d)", iQueueSize)) return false;
    if (iQueueSize > 0) {
        logStep(StepInfo, "\tQLIB_DIAG_KeyPress_GetNextKeyEvent() start");
        const bool bEvent = QLIB_DIAG_KeyPress_GetNextKeyEvent(handle_, &iKeyId, &iKeyEvent) != 0;
        if (!logResult(bEvent, "QLIB_DIAG_KeyPress_GetNextKeyEvent(piKeyPressID = %d, piKeyPressEvent = %d)", iKeyId,
                       iKeyEvent))
            return false;
    }
    if (piKeyId) *piKeyId = iKeyId;
    if (piKeyEvent) *piKeyEvent = iKeyEvent;
    return true;
}

} // namespace kavor
