// The version gate of init: the library was built for given versions of the
// vendor and the extension library.
#include "TesselInternal.h"
#include "cvi_popup.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Reads a decimal number from the start of the text ("5.0.40" is 5.0,
// "02.4.15" is 2.4): digits, then at most one point and its digits.
double leadingNumber(const char* c) {
    double value = 0;
    while (std::isdigit(static_cast<unsigned char>(*c))) value = value * 10 + (*c++ - '0');
    if (*c == '.') {
        double scale = 0.1;
        for (++c; std::isdigit(static_cast<unsigned char>(*c)); ++c, scale /= 10) value += (*c - '0') * scale;
    }
    return value;
}

} // namespace

int Mob_CheckDrvRev_m(const char* cLibFile, const char* cReported, const char* cExpected, char* cOutText) {
    // The version is the part before the first comma, from its first digit on.
    char cVersion[256] = "";
    std::snprintf(cVersion, sizeof cVersion, "%s", cReported ? cReported : "");
    if (char* comma = std::strchr(cVersion, ',')) *comma = '\0';
    const char* cDigits = cVersion;
    while (*cDigits && !std::isdigit(static_cast<unsigned char>(*cDigits))) ++cDigits;

    if (std::strcmp(cDigits, cExpected) == 0) return 0;

    const bool bOlder = leadingNumber(cExpected) > leadingNumber(cDigits);
    std::snprintf(cOutText, TESSEL_ERROR_TEXT_MAX,
                  "Version check %s for driver %s\n\nExpected version is %s\nDriver reports %s",
                  bOlder ? "failed" : "info", cLibFile, cExpected, cDigits);
    if (bOlder) return TESSEL_ERROR_INIT;
    MessagePopup("Warning", cOutText);
    return 0;
}
