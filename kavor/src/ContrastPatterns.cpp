// Contrast patterns: select a display, then show an image file on it.
#include "TestProcedures.h"

#include "InternalExports.h"

namespace kavor {

namespace {

using DisplayImage = unsigned char (*)(QmslHandle, const char*);

bool drawPattern(TestProcedures& p, const char* sFileName, unsigned char uiDsplNum, DisplayImage pDisplay,
                 const char* pcStart, const char* pcLine) {
    if (!KAVOR_CheckHandle(p.handle())) return false;
    p.logStep(TestProcedures::StepInfo, "\tKAVOR_SpecialSwitchDisplay() start");
    if (!p.logResult(KAVOR_SpecialSwitchDisplay(p.handle(), uiDsplNum) != 0, "KAVOR_SpecialSwitchDisplay(uiDsplNum = %i)",
                     uiDsplNum))
        return false;
    p.logStep(TestProcedures::StepInfo, "%s", pcStart);
    return p.logResult(pDisplay(p.handle(), sFileName) != 0, pcLine, sFileName ? sFileName : "");
}

} // namespace

bool TestProcedures::drawContrastPattern(const char* sFileName, unsigned char uiDsplNum) {
    return drawPattern(*this, sFileName, uiDsplNum, KAVOR_FTM_DISPLAY_IMAGE, "\tKAVOR_FTM_DISPLAY_IMAGE() start",
                       "KAVOR_FTM_DISPLAY_IMAGE(sFileName = %s)");
}

bool TestProcedures::drawContrastPattern24Bit(const char* sFileName, unsigned char uiDsplNum) {
    return drawPattern(*this, sFileName, uiDsplNum, KAVOR_FTM_DISPLAY_IMAGE_24BIT,
                       "\tKAVOR_FTM_DISPLAY_IMAGE_24BIT() start", "KAVOR_FTM_DISPLAY_IMAGE_24BIT(sFileName = %s)");
}

} // namespace kavor
