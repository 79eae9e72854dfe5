// The hall sensor of clam-shell and slider phones: read by the method of the
// phone type and the sensor, through a phone register bit, the extension
// library's slider state or its flip test.
#include "TesselFctsPeriph.h"
#include "kavor.h"

using periph::hex;

namespace {

constexpr int kSensorInvalid = 4;  // E_SLIDER_INVALID
constexpr unsigned kInputReg = 0x84000168, kGpio18Mask = 0x40000;

// A reading: false when the call failed; the raw value to *piRaw.
using Reader = bool (*)(const SessionRecord& rec, int* piRaw);

bool readGpio18(const SessionRecord& rec, int* piRaw) {
    short sBit = 0;
    const bool bOk = GetBitState_32_Reg(rec.iSession, kInputReg, kGpio18Mask, &sBit) == 1;
    *piRaw = sBit;
    return bOk;
}
bool readSlider(const SessionRecord& rec, int* piRaw) {
    unsigned char ucState = 0;
    const bool bOk = KAVOR_FTM_GetSliderState(rec.hHandle, &ucState, 0) != 0;
    *piRaw = ucState;
    return bOk;
}
bool readFlip(const SessionRecord& rec, int* piRaw) {
    char cState = 0;
    const bool bOk = KAVOR_FTM_TestFlip(rec.hHandle, &cState, 0) != 0;
    *piRaw = cState;
    return bOk;
}

struct StateOf {
    int iRaw, eState;
};

// The sensors a phone type has, how each is read and what its raw values
// mean; a raw value not listed is an error.
struct HallRow {
    std::int16_t sPhoneType;
    int eHallSensor;  // 0 E_HALL_CLAM, 1 E_HALL_SLIDER
    Reader read;
    StateOf states[4];
};

// clang-format off
constexpr HallRow kHallRows[] = {
    {4,  0, readGpio18, {{1, 0}, {0, 1}, {-1, -1}, {-1, -1}}},
    {10, 0, readGpio18, {{1, 0}, {0, 1}, {-1, -1}, {-1, -1}}},
    {6,  1, readSlider, {{0, 1}, {1, 0}, {2, 2}, {3, 3}}},
    {9,  0, readFlip,   {{'0', 1}, {'1', 0}, {-1, -1}, {-1, -1}}},
    {9,  1, readSlider, {{0, 1}, {1, 0}, {-1, -1}, {-1, -1}}},
};
// clang-format on

bool hasHallSensor(std::int16_t sPhoneType) {
    for (const HallRow& r : kHallRows)
        if (r.sPhoneType == sPhoneType) return true;
    return false;
}

const HallRow* rowOf(std::int16_t sPhoneType, int eHallSensor) {
    for (const HallRow& r : kHallRows)
        if (r.sPhoneType == sPhoneType && r.eHallSensor == eHallSensor) return &r;
    return nullptr;
}

const StateOf* stateOf(const HallRow& row, int iRaw) {
    for (const StateOf& s : row.states)
        if (s.eState >= 0 && s.iRaw == iRaw) return &s;
    return nullptr;
}

} // namespace

int _Tessel_SpecialGetHallSensorState(int iSession, int eHallSensor, int* eSliderState, const char* cFile,
                                      int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!eSliderState) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d, eHallSensor=%d(%s)", __func__, rec.hHandle,
                  iSession, eHallSensor, Get_cHallSensor(eHallSensor));
    *eSliderState = kSensorInvalid;
    periph::Status status;
    const std::int16_t sType = rec.sPhoneType;
    if (!hasHallSensor(sType)) {
        periph::notSupported(iSession, status);
        return status.get();
    }
    int iRaw = 0;
    if (const HallRow* row = rowOf(sType, eHallSensor)) {
        if (status.ok(row->read(rec, &iRaw))) {
            if (const StateOf* s = stateOf(*row, iRaw)) *eSliderState = s->eState;
            else status.fail();
        }
    } else {
        Tessel_TracePlain_m(iSession, "[ERROR: eHallSensor=%d(%s) invalid for this device]", eHallSensor,
                            Get_cHallSensor(eHallSensor));
        status.fail();
    }
    const int iState = *eSliderState;
    if (sType == 4 || sType == 10)
        Mob_TraceResult(iSession, status.get(), "%s( GPIO18=%d, *eSliderState=%d(%s) ) = %#x", __func__, iRaw, iState,
                        Get_cSliderStatus(iState), hex(status.get()));
    else if (sType == 6)
        Mob_TraceResult(iSession, status.get(), "%s( *eSliderState=%d(%s) ) = %#x", __func__, iState,
                        Get_cSliderStatus(iState), hex(status.get()));
    else
        Mob_TraceResult(iSession, status.get(), "%s(*eSliderState=%d(%s) ) = %#x", __func__, iState,
                        Get_cSliderStatus(iState), hex(status.get()));
    return status.get();
}
