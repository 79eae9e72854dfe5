// The FM receiver's state read over I2C: level, lock detect and stereo from
// one byte of its 28-byte register block.
#include "TesselFctsPeriphOps.h"
#include "kavor.h"

#include <iterator>

using periph::hex;

namespace {

constexpr unsigned char kFmSlave = 0x10;
constexpr unsigned char kFmBlockBytes = 28;
constexpr int kFmStateByte = 9;

// One field of the state byte, by eFmData.
struct FmField {
    unsigned char ucMask, ucShift;
};
constexpr FmField kFmFields[] = {
    {0xF0, 4},  // E_FM_LEVEL
    {0x08, 3},  // E_FM_LOCKDETECT
    {0x04, 2},  // E_FM_STEREO
};

} // namespace

int _Tessel_SpecialGetFmRadioInfo(int iSession, int eFmData, unsigned char* piData, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!piData) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, eFmData=%d(%s) ) Sess=%d", __func__, rec.hHandle, eFmData,
                  Get_cFmRadioInfo(eFmData), iSession);
    *piData = 255;
    unsigned char ucBlock[kFmBlockBytes] = {};
    periph::Status status;
    // The read is made whatever the handle; the field is taken from the
    // buffer also after a failed read.
    Tessel_TracePlain_m(iSession, " QLIB_FTM_I2C_DATA_ACCESS(0,0x%02X,0,0x00,%d)", kFmSlave, kFmBlockBytes);
    status.ok(KAVOR_FTM_I2C_DATA_ACCESS(rec.hHandle, 0, kFmSlave, 0, 0, kFmBlockBytes, ucBlock));
    if (eFmData >= 0 && eFmData < static_cast<int>(std::size(kFmFields))) {
        const FmField& field = kFmFields[eFmData];
        *piData = static_cast<unsigned char>((ucBlock[kFmStateByte] & field.ucMask) >> field.ucShift);
    } else {
        status.fail();
    }
    if (Mob_TraceOn_m()) Mob_TraceByteArray(kFmBlockBytes, ucBlock, "I2CData");
    Mob_TraceResult(iSession, status.get(), "%s( *piData=0x%02X ) = %#x", __func__, *piData, hex(status.get()));
    return status.get();
}
