// Shared frame of the peripheral operations: the session lookup, the status
// of a step and the texts their trace lines show.
#pragma once

#include "TesselEnum.h"
#include "TesselFcts.h"

namespace periph {

inline unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

// Copies the session's slot into rec; a lookup failure is the export's
// result, untraced.
inline int lookup(int iSession, SessionRecord& rec) {
    rec.iSession = iSession;
    return GetInstrIDFromSession_m(&rec);
}

// The status of an export whose steps may fail: the first failure stays.
class Status {
public:
    // A step's answer: false makes the status TESSEL_ERROR_LIBRARY.
    bool ok(bool bResult) {
        if (!bResult) fail();
        return bResult;
    }
    void fail(int iStatus = TESSEL_ERROR_LIBRARY) {
        if (iStatus_ == 0) iStatus_ = iStatus;
    }
    int get() const { return iStatus_; }
    bool good() const { return iStatus_ == 0; }

private:
    int iStatus_ = 0;
};

inline void notSupported(int iSession, Status& status) {
    Tessel_TracePlain_m(iSession, "[ERROR: Mobile type not supported.]");
    status.fail();
}

} // namespace periph
