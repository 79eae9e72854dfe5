// The Bluetooth module's address from its text form.
#include "TesselFctsPeriphOps.h"
#include "qmsl_audio.h"
#include "qmsl_bt.h"

#include <cctype>
#include <cstring>

using periph::hex;

namespace {

constexpr std::size_t kAddressDigits = 12;

int hexDigit(char c) {
    const int u = std::toupper(static_cast<unsigned char>(c));
    return u <= '9' ? u - '0' : u - 'A' + 10;
}

// The first twelve characters as hexadecimal digits, most significant first,
// to the module's six bytes, least significant first: the twelfth pair of
// the text becomes byte 0. What follows them (a scanned label's line end,
// for one) is not read. False for a shorter text or a character among the
// twelve that is no hexadecimal digit.
bool addressBytes(const char* szAddr, unsigned char aucBytes[QMSL_BT_ADDRESS_SIZE]) {
    if (strnlen(szAddr, kAddressDigits) < kAddressDigits) return false;
    for (std::size_t i = 0; i < kAddressDigits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(szAddr[i]))) return false;
    for (int k = 0; k < QMSL_BT_ADDRESS_SIZE; ++k)
        aucBytes[k] = static_cast<unsigned char>(hexDigit(szAddr[10 - 2 * k]) * 16 + hexDigit(szAddr[11 - 2 * k]));
    return true;
}

} // namespace

int _Tessel_FtmBtSetAddr(int iSession, const char* szAddr, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!szAddr) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, szAddr=%s ) Sess=%d", __func__, rec.hHandle, szAddr, iSession);
    unsigned char aucAddress[QMSL_BT_ADDRESS_SIZE] = {};
    periph::Status status;
    if (!addressBytes(szAddr, aucAddress) || rec.hHandle == -1) status.fail();
    else status.ok(QLIB_FTM_BT_SetAddr(rec.hHandle, aucAddress));
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}
