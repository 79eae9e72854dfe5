// The two library-wide values the power-up procedures read: the DTR state
// and the initial time-out. Both have the same shape: a value, a "set" flag,
// a put and a get, each traced with session 0.
#include "TesselInternal.h"

namespace {

struct Setting {
    const char* cParam;      // name of the value in the trace lines
    unsigned short usValue;
    bool bSet;
};

Setting gDtrState{"bDtrState", 0, false};
Setting gTimeoutInitial{"iUserDefinedTimeoutInitial", 0, false};

int put(Setting& s, const char* cName, unsigned short usValue, const char* cFile, int iLine) {
    Mob_TraceCall(0, cFile, iLine, "%s(%s=%d )", cName, s.cParam, usValue);
    s.usValue = usValue;
    s.bSet = true;
    Mob_TraceResult(0, 0, "%s( ) = %#x", cName, 0);
    return 0;
}

int get(const Setting& s, const char* cName, unsigned short* pusValue, const char* cFile, int iLine) {
    if (!pusValue) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(0, cFile, iLine, "%s()", cName);
    const int iStatus = s.bSet ? 0 : TESSEL_ERROR_NO_VALUE;
    if (s.bSet) *pusValue = s.usValue;
    Mob_TraceResult(0, iStatus, "%s(*p%s=%d) = %#x", cName, s.cParam, s.usValue, static_cast<unsigned>(iStatus));
    return iStatus;
}

} // namespace

void Tessel_ResetSettings_m() {
    gDtrState.usValue = 0;
    gDtrState.bSet = false;
    gTimeoutInitial.usValue = 0;
    gTimeoutInitial.bSet = false;
}

int _Tessel_PutDtrState(unsigned short bDtrState, const char* cFile, int iLine) {
    return put(gDtrState, __func__, bDtrState, cFile, iLine);
}

int _Tessel_GetDtrState(unsigned short* pbDtrState, const char* cFile, int iLine) {
    return get(gDtrState, __func__, pbDtrState, cFile, iLine);
}

int _Tessel_PutUserDefinedTimeoutInitial(unsigned short iUserDefinedTimeoutInitial, const char* cFile, int iLine) {
    return put(gTimeoutInitial, __func__, iUserDefinedTimeoutInitial, cFile, iLine);
}

int _Tessel_GetUserDefinedTimeoutInitial(unsigned short* piUserDefinedTimeoutInitial, const char* cFile,
                                         int iLine) {
    return get(gTimeoutInitial, __func__, piUserDefinedTimeoutInitial, cFile, iLine);
}
