// The light test: the operator looks at each step and confirms it.
#include "Tamsel.h"
#include "TamselCallbacks.h"

#include "cvi_popup.h"

namespace {

struct LedStep {
    int iLevel;      // percent
    int eLightType;  // light of the phone
    const char* cQuestion;
};

constexpr LedStep kLedSteps[] = {
    {0, 2, "LED off?"},
    {100, 0, "Display LED on?"},
    {0, 0, "Display LED off?"},
    {100, 9, "E_LIGHT_LCD_SUB on?"},
    {0, 9, "E_LIGHT_LCD_SUB off?"},
    {100, 7, "E_LIGHT_MP3 on?"},
    {0, 7, "E_LIGHT_MP3 off?"},
    {100, 0, "Display LED on?"},
    {0, 0, "Display LED off?"},
};

// The first failing step ends the test.
int ledTest(int) {
    for (const LedStep& step : kLedSteps) {
        if ((iErrStatus = _Tessel_FtmSetBacklightLevel(sesMobile, step.iLevel, step.eLightType, TAMSEL_AT)) != 0)
            return TamselLibFail(iErrStatus);
        MessagePopup("LED", step.cQuestion);
    }
    return 0;
}

} // namespace

TAMSEL_COMMAND(cmdled, "LED test", ledTest)
