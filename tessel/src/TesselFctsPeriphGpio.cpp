// GPIO pins on the phone's registers: the GPIO register map (range ->
// register and access width), the pin set and get, the fixed pins of the
// accessory supply, antenna switch and camera supply, and the slider.
#include "TesselFctsPeriph.h"
#include "kavor.h"

using periph::hex;

namespace {

struct GpioRange {
    int iFirst, iLast;
    unsigned uiAddress;
    int (*set)(int, unsigned, unsigned, unsigned short);
    int (*get)(int, unsigned, unsigned, short*);
};

// clang-format off
constexpr GpioRange kGpioMap[] = {
    {0, 31,  0x8400015C, SetBitState_32_Reg, GetBitState_32_Reg},
    {32, 38, 0x84000160, SetBitState_8_Reg,  GetBitState_8_Reg},
    {39, 54, 0x48000008, SetBitState_16_Reg, GetBitState_16_Reg},
    {55, 66, 0x4800000C, SetBitState_16_Reg, GetBitState_16_Reg},
    {67, 98, 0x84000164, SetBitState_32_Reg, GetBitState_32_Reg},
};
// clang-format on

const GpioRange* rangeOf(int iGpio) {
    for (const GpioRange& r : kGpioMap)
        if (iGpio >= r.iFirst && iGpio <= r.iLast) return &r;
    return nullptr;
}

constexpr unsigned kAccSupplyReg = 0x84000164, kAccSupplyMask = 0x80000;  // GPIO 86
constexpr unsigned kCameraSupplyReg = 0x8400015C, kCameraSupplyMask = 0x2;
constexpr unsigned kInputReg = 0x84000168;  // input pins GPIO 2, 17 and 18
constexpr unsigned kGpio2Mask = 0x4, kGpio17Mask = 0x20000, kGpio18Mask = 0x40000;

// One supply on a fixed register bit, for one phone type.
int switchFixedBit(const char* cName, int iPhoneType, unsigned uiAddress, unsigned uiMask, const char* cPinLine,
                   int iSession, unsigned short bState, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, bState=%d(%s) ) Sess=%d", cName, rec.hHandle, bState,
                  Get_cOnOff(bState), iSession);
    periph::Status status;
    if (rec.sPhoneType != iPhoneType) {
        periph::notSupported(iSession, status);
    } else {
        if (cPinLine) Tessel_TracePlain_m(iSession, cPinLine, bState ? "HIGH" : "LOW");
        status.ok(rec.hHandle != -1 && SetBitState_32_Reg(iSession, uiAddress, uiMask, bState) == 1);
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", cName, hex(status.get()));
    return status.get();
}

constexpr int kSliderInvalid = 4;

} // namespace

int _Tessel_GetGpioMask(int iSession, unsigned char iGpio, unsigned int* iMask, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!iMask) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iGpio=%d) Sess=%d", __func__, rec.hHandle, iGpio, iSession);
    *iMask = 0;
    periph::Status status;
    if (const GpioRange* r = rangeOf(iGpio)) *iMask = 1u << (iGpio - r->iFirst);
    else status.fail(TESSEL_ERROR_PARAMETER2);
    Mob_TraceResult(iSession, status.get(), "%s(iGpio=%d, iMask=0x%08X) = %#x", __func__, iGpio, *iMask,
                    hex(status.get()));
    return status.get();
}

int _Tessel_SpecialSetGpioState(int iSession, unsigned char iGpio, unsigned short bGpioState, const char* cFile,
                                int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iGpio=%d, bGpioState=%d) Sess=%d", __func__, rec.hHandle,
                  iGpio, bGpioState, iSession);
    periph::Status status;
    unsigned int uiMask = 0;
    if (int st = _Tessel_GetGpioMask(iSession, iGpio, &uiMask, cFile, iLine)) status.fail(st);
    else if (rec.hHandle == -1) status.fail();
    else {
        const GpioRange* r = rangeOf(iGpio);
        status.ok(r->set(iSession, r->uiAddress, uiMask, bGpioState) == 1);
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

int _Tessel_SpecialGetGpioState(int iSession, unsigned char iGpio, short* bGpioState, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!bGpioState) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iGpio=%d) Sess=%d", __func__, rec.hHandle, iGpio, iSession);
    *bGpioState = 0;
    periph::Status status;
    unsigned int uiMask = 0;
    if (int st = _Tessel_GetGpioMask(iSession, iGpio, &uiMask, cFile, iLine)) status.fail(st);
    else if (rec.hHandle == -1) status.fail();
    else {
        const GpioRange* r = rangeOf(iGpio);
        status.ok(r->get(iSession, r->uiAddress, uiMask, bGpioState) == 1);
    }
    Mob_TraceResult(iSession, status.get(), "%s(bGpioState=%d ) = %#x", __func__, *bGpioState, hex(status.get()));
    return status.get();
}

int _Tessel_SpecialSwitchAccSupplyVoltage(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return switchFixedBit(__func__, 0, kAccSupplyReg, kAccSupplyMask, "[GPIO86 -> %s]", iSession, bState, cFile,
                          iLine);
}

int _Tessel_SpecialSwitchVregCamera(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return switchFixedBit(__func__, 1, kCameraSupplyReg, kCameraSupplyMask, nullptr, iSession, bState, cFile, iLine);
}

int _Tessel_SpecialReadAntennaSwitchState(int iSession, short* bState, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!bState) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *bState = 0;
    periph::Status status;
    if (rec.sPhoneType != 0) {
        periph::notSupported(iSession, status);
    } else {
        Tessel_TracePlain_m(iSession, "[read GPIO17]");
        status.ok(rec.hHandle != -1 && GetBitState_32_Reg(iSession, kInputReg, kGpio17Mask, bState) == 1);
    }
    Mob_TraceResult(iSession, status.get(), "%s( *bState=%d ) = %#x", __func__, *bState, hex(status.get()));
    return status.get();
}

// The slider's state from its pins (GPIO 2 and 18) or from the extension
// command, by phone type; E_SLIDER_INVALID when it could not be read.
int _Tessel_SpecialGetSliderState(int iSession, int* eSliderState, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!eSliderState) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *eSliderState = kSliderInvalid;
    periph::Status status;
    const int iType = rec.sPhoneType;
    auto readPin = [&](unsigned uiMask, short& sPin) {
        return status.ok(rec.hHandle != -1 && GetBitState_32_Reg(iSession, kInputReg, uiMask, &sPin) == 1);
    };
    if (iType == 1) {
        short sGpio2 = 0, sGpio18 = 0;
        if (readPin(kGpio2Mask, sGpio2) && readPin(kGpio18Mask, sGpio18)) {
            // (GPIO 2, GPIO 18): (0,1) open, (1,0) closed, (1,1) and (0,0) undefined.
            constexpr int kByPins[2][2] = {{3, 0}, {1, 2}};
            *eSliderState = kByPins[sGpio2][sGpio18];
        }
        Mob_TraceResult(iSession, status.get(), "%s( GPIO2=%d:GPIO18=%d, *eSliderState=%d(%s) ) = %#x", __func__,
                        sGpio2, sGpio18, *eSliderState, Get_cSliderStatus(*eSliderState), hex(status.get()));
        return status.get();
    }
    if (iType == 4 || iType == 10) {
        short sGpio18 = 0;
        if (readPin(kGpio18Mask, sGpio18)) *eSliderState = sGpio18 == 1 ? 0 : 1;
        Mob_TraceResult(iSession, status.get(), "%s( GPIO18=%d, *eSliderState=%d(%s) ) = %#x", __func__, sGpio18,
                        *eSliderState, Get_cSliderStatus(*eSliderState), hex(status.get()));
        return status.get();
    }
    if (iType == 6) {
        unsigned char ucState = 0;
        if (status.ok(rec.hHandle != -1 && KAVOR_FTM_GetSliderState(rec.hHandle, &ucState, 0))) {
            constexpr int kByCommand[] = {1, 0, 2, 3};
            if (ucState < 4) *eSliderState = kByCommand[ucState];
            else status.fail();
        }
    } else {
        periph::notSupported(iSession, status);
    }
    Mob_TraceResult(iSession, status.get(), "%s( *eSliderState=%d(%s) ) = %#x", __func__, *eSliderState,
                    Get_cSliderStatus(*eSliderState), hex(status.get()));
    return status.get();
}
