// The variant name: written into one NV item, read from another.
#include "Tamsel.h"
#include "TamselCallbacks.h"

#include "cvi_popup.h"

namespace {

constexpr int kVariantLength = 128;
constexpr int kNvVariantWrite = 3626;
constexpr int kNvVariantRead = 3497;

// A cancelled prompt writes nothing.
int writeVariant(int) {
    char cVariant[kVariantLength] = "S1";
    if (int iPrompt = PromptPopup("Variant Name", "Please input your variant name", cVariant, kVariantLength - 1);
        iPrompt != 0)
        return TamselFail("PromptPopup returns %d", iPrompt);
    unsigned short usiStatus = 0;
    if ((iErrStatus = _Tessel_DiagNvWriteF(sesMobile, kNvVariantWrite, reinterpret_cast<unsigned char*>(cVariant),
                                           kVariantLength, &usiStatus, TAMSEL_AT)) != 0)
        return TamselLibFail(iErrStatus);
    if (usiStatus != 0) return TamselFail("usiStatus != 0 [%d]", usiStatus);
    return 0;
}

// The item's 128 bytes are shown as a text, terminated after them.
int readVariant(int) {
    char cVariant[kVariantLength + 1] = {};
    unsigned short usiStatus = 0;
    if ((iErrStatus = _Tessel_DiagNvReadF(sesMobile, kNvVariantRead, reinterpret_cast<unsigned char*>(cVariant),
                                          kVariantLength, &usiStatus, TAMSEL_AT)) != 0)
        return TamselLibFail(iErrStatus);
    if (usiStatus != 0) return TamselFail("usiStatus != 0 [%d]", usiStatus);
    MessagePopup("Variant Name", cVariant);
    return 0;
}

} // namespace

TAMSEL_COMMAND(cmdvariant, "Write variant", writeVariant)
TAMSEL_COMMAND(cmdreadvariant, "Read variant", readVariant)
