// Light levels: the PWM level of the LCD backlight, and the backlight level
// of a light type, switched the way each phone type has its lights (LCD
// level command, register bits, keypad rows, display switch, keypad sink).
#include "TesselFcts.h"
#include "kavor.h"

#include <functional>
#include <initializer_list>

namespace {

constexpr unsigned kGpio36Reg = 0x84000160;   // 8-bit register, bit mask 16
constexpr unsigned kGpio36Mask = 16;
constexpr unsigned kGpio29Reg = 0x8400015C;   // 32-bit register, bit 29
constexpr unsigned kGpio29Mask = 1u << 29;
constexpr unsigned kSubLightReg = 0x48000008; // 16-bit register, bit mask 16
constexpr unsigned kSubLightMask = 16;
constexpr unsigned char kFullLevel = 80;
constexpr const char* kFamily = "TesselFcts";

unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

// The percent level in the phone's 0..80 (truncated), as the byte sent.
unsigned char scaled(int iLevelPercent) {
    const auto ucPercent = static_cast<unsigned char>(iLevelPercent);
    return static_cast<unsigned char>(static_cast<int>(ucPercent / 100.0 * 80.0));
}

// The steps of one light switch. Each failing step makes the result
// TESSEL_ERROR_LIBRARY; a later success never hides an earlier failure.
class LightSteps {
public:
    LightSteps(int iSession, QmslHandle h, unsigned char ucLevel)
        : iSession_(iSession), h_(h), ucLevel_(ucLevel), bOn_(ucLevel != 0) {}

    bool ok(bool bResult) {
        if (!bResult) iStatus_ = TESSEL_ERROR_LIBRARY;
        return bResult;
    }
    void fail() { iStatus_ = TESSEL_ERROR_LIBRARY; }
    void notSupported() {
        Tessel_TracePlain_m(iSession_, "[ERROR: Mobile type not supported.]");
        fail();
    }
    int status() const { return iStatus_; }
    bool on() const { return bOn_; }

    bool lcdLevel(unsigned char ucLevel) { return ok(KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(h_, ucLevel)); }
    bool lcdLevel() { return lcdLevel(ucLevel_); }
    bool bit8(unsigned a, unsigned m, bool b) { return ok(SetBitState_8_Reg(iSession_, a, m, b) == 1); }
    bool bit16(unsigned a, unsigned m, bool b) { return ok(SetBitState_16_Reg(iSession_, a, m, b) == 1); }
    bool bit32(unsigned a, unsigned m, bool b) { return ok(SetBitState_32_Reg(iSession_, a, m, b) == 1); }
    bool keypadRow(unsigned short usRow) { return ok(KAVOR_FTM_SetKeyPadBackLight(h_, usRow, bOn_)); }
    bool keypadGpio(unsigned short usRow) { return ok(KAVOR_FTM_SetKeyPadBackLightGPIO(h_, usRow, bOn_)); }
    bool display(unsigned char ucDisplay) { return ok(KAVOR_SpecialSwitchDisplay(h_, ucDisplay)); }
    bool switchLcd() { return ok(KAVOR_FTM_SWITCH_LCD_BACKLIGHT(h_, bOn_)); }
    bool keypadSink(int iLine) { return ok(_Tessel_SpecialSwitchKeypad(iSession_, bOn_, kFamily, iLine) == 0); }
    // Steps that run only while none before them failed.
    void chain(std::initializer_list<std::function<bool()>> steps) {
        for (const auto& step : steps)
            if (!step()) return;
    }

private:
    int iSession_;
    QmslHandle h_;
    unsigned char ucLevel_;
    bool bOn_;
    int iStatus_ = 0;
};

void brenvel5(LightSteps& s, int eLight) {
    if (eLight > 2) s.fail();  // the level is still sent
    s.lcdLevel();
}

void brenvel4(LightSteps& s, int iSession, int eLight) {
    if (eLight > 2) s.fail();
    const bool bGpio29 = eLight == 1 || eLight == 2;
    Tessel_TracePlain_m(iSession, "[GPIO36 -> %s]", "HIGH");
    s.bit8(kGpio36Reg, kGpio36Mask, true);
    Tessel_TracePlain_m(iSession, "[GPIO29 -> %s]", bGpio29 ? "HIGH" : "FALSE");
    s.bit32(kGpio29Reg, kGpio29Mask, bGpio29);
    s.lcdLevel();
}

void lurvin(LightSteps& s, int eLight) {
    switch (eLight) {
    case 0: s.bit8(kGpio36Reg, kGpio36Mask, s.on()); break;
    case 1: s.bit32(kGpio29Reg, kGpio29Mask, s.on()); break;
    case 2:
        s.bit8(kGpio36Reg, kGpio36Mask, s.on());
        s.bit32(kGpio29Reg, kGpio29Mask, s.on());
        s.bit16(kSubLightReg, kSubLightMask, s.on());
        break;
    case 8: s.bit16(kSubLightReg, kSubLightMask, s.on()); break;
    default: s.notSupported(); break;
    }
}

void tarv(LightSteps& s, int eLight) {
    switch (eLight) {
    case 0: s.keypadRow(5); break;
    case 1:
        for (unsigned short usRow : {1, 2, 3, 4}) s.keypadRow(usRow);
        break;
    case 2: s.keypadRow(7); break;
    case 3: s.keypadRow(1); break;
    case 4: s.keypadRow(2); break;
    case 5: s.keypadRow(3); break;
    case 6: s.keypadRow(4); break;
    case 7: s.keypadRow(6); break;
    case 8:
        if (s.keypadRow(5)) s.keypadRow(6);
        break;
    default: s.notSupported(); break;
    }
}

void gastol(LightSteps& s, int eLight) {
    switch (eLight) {
    case 0: s.switchLcd(); break;
    case 1: s.keypadSink(4663); break;
    case 2:
        s.switchLcd();
        s.keypadSink(4674);
        break;
    default: s.notSupported(); break;
    }
}

void palden(LightSteps& s, int eLight) {
    const unsigned char ucLevel = s.on() ? kFullLevel : 0;
    auto display = [&](unsigned char d) { return [&s, d] { return s.display(d); }; };
    auto level = [&s, ucLevel] { return s.lcdLevel(ucLevel); };
    auto gpio = [&](unsigned short r) { return [&s, r] { return s.keypadGpio(r); }; };
    switch (eLight) {
    case 0: s.chain({display(0), level}); break;
    case 1: s.chain({gpio(7)}); break;
    case 2: s.chain({display(0), level, display(1), level, gpio(5), gpio(7)}); break;
    case 7: s.chain({gpio(5)}); break;
    case 8: s.chain({gpio(5), display(1), level}); break;
    case 9: s.chain({display(1), level}); break;
    default: s.notSupported(); break;
    }
}

} // namespace

int _Tessel_FtmSetBacklightLevel(int iSession, int iLevel, int eLightType, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    const unsigned char ucLevel = scaled(iLevel);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iLevel=%d[percent], iL2Lev=%d, eLightType=%d ) Sess=%d",
                  __func__, rec.hHandle, static_cast<unsigned char>(iLevel), ucLevel, eLightType, iSession);
    LightSteps steps(iSession, rec.hHandle, ucLevel);
    if (rec.hHandle == -1) {
        steps.fail();
    } else {
        switch (rec.sPhoneType) {
        case 0: brenvel5(steps, eLightType); break;
        case 1: brenvel4(steps, iSession, eLightType); break;
        case 4:
        case 10: lurvin(steps, eLightType); break;
        case 6: tarv(steps, eLightType); break;
        case 8: gastol(steps, eLightType); break;
        case 9: palden(steps, eLightType); break;
        default: steps.notSupported(); break;  // 2, 3, 5, 7 and anything outside 0..10
        }
    }
    Mob_TraceResult(iSession, steps.status(), "%s() = %#x", __func__, hex(steps.status()));
    return steps.status();
}

int _Tessel_FtmSetPwmLightLevel(int iSession, int iLevel, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    const unsigned char ucLevel = scaled(iLevel);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iLevel=%d[percent], iL2Lev=%d) Sess=%d", __func__,
                  rec.hHandle, static_cast<unsigned char>(iLevel), ucLevel, iSession);
    int iStatus = 0;
    if (rec.hHandle == -1 || !KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(rec.hHandle, ucLevel)) iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s() = %#x", __func__, hex(iStatus));
    return iStatus;
}
