// Calibration of the polar transmitter (chipset generation 6275): the
// calibration records to their NV items, the GSM TX sweep request, the
// two-tone offset and the RSB/DC sweep.
#include "TesselFctsPeriphOps.h"
#include "qmsl_diag.h"
#include "qmsl_polar_tx.h"

#include <cinttypes>
#include <vector>

using periph::hex;

namespace {

// --- polar TX calibration records -------------------------------------------------

constexpr int kTables = 2, kBands = 4, kSteps = 8;
constexpr int kTableBytes = 12288, kSetBytes = 4096, kBandBytes = 1024;
constexpr short kAllSetsPhoneType = 5;  // the only phone type with a third set
// The first NV item of each set (1..3) of each table.
constexpr unsigned short kPolarItemBase[kTables][3] = {{2521, 2553, 3078}, {2585, 2617, 3110}};

// --- GSM TX sweep request ----------------------------------------------------------------

constexpr int kSweepBufferBytes = 4096;
constexpr int kSweepPairLimit = 4092;  // a pair may not start here or later
constexpr int kSweepHeaderBytes = 10;
constexpr unsigned char kSweepCommand = 75, kSweepSubsystem = 11;
constexpr unsigned short kSweepGroup = 17, kSweepId = 300, kSweepTail = 10;
constexpr unsigned long kSweepTimeoutMs = 2000;

void putU16(std::vector<unsigned char>& buffer, int iAt, unsigned short usValue) {
    buffer[static_cast<std::size_t>(iAt)] = static_cast<unsigned char>(usValue);
    buffer[static_cast<std::size_t>(iAt) + 1] = static_cast<unsigned char>(usValue >> 8);
}

constexpr unsigned short kTwoToneBase = 68;

} // namespace

int _Tessel_FtmNvWritePolarTxCal(int iSession, const unsigned char* pCalData, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!pCalData) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, pCalData=0x%" PRIxPTR " ) Sess=%d", __func__, rec.hHandle,
                  Mob_Address(pCalData), iSession);
    periph::Status status;
    if (rec.hHandle == -1) status.fail();
    const int iSets = rec.sPhoneType == kAllSetsPhoneType ? 3 : 2;
    for (int t = 0; t < kTables && status.good(); ++t)
        for (int f = 1; f <= iSets && status.good(); ++f)
            for (int b = 1; b <= kBands && status.good(); ++b)
                for (int s = 1; s <= kSteps && status.good(); ++s) {
                    const auto usItem = static_cast<unsigned short>(kPolarItemBase[t][f - 1] + (b - 1) * kSteps + s - 1);
                    const unsigned char* pRecord = pCalData + t * kTableBytes + (f - 1) * kSetBytes +
                                                   (b - 1) * kBandBytes + (s - 1) * TESSEL_POLAR_TX_CAL_RECORD;
                    unsigned short usNvStatus = 0;
                    if (QLIB_DIAG_NV_WRITE_F(rec.hHandle, usItem, pRecord, TESSEL_POLAR_TX_CAL_RECORD, &usNvStatus) &&
                        usNvStatus == 0)
                        continue;
                    status.fail();
                    Tessel_TracePlain_m(iSession, "[Error writing item number %d (Fn=%d, iBand=%d, iSn=%d).]", usItem, f,
                                        b, s);
                }
    Mob_TraceResult(iSession, status.get(), "%s() = %#x( )", __func__, hex(status.get()));
    return status.get();
}

int _Tessel_FtmGsmTxSweepCal(int iSession, const unsigned short* piFirstValues, const unsigned short* piSecondValues,
                             int iNumPairs, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    const auto usPairs = static_cast<unsigned short>(iNumPairs);
    if (usPairs && (!piFirstValues || !piSecondValues)) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine,
                  "%s( Handle=%d, piFirstValues=0x%" PRIxPTR ", piSecondValues=0x%" PRIxPTR ", iNumPairs=%d ) Sess=%d",
                  __func__, rec.hHandle, Mob_Address(piFirstValues), Mob_Address(piSecondValues), usPairs, iSession);
    std::vector<unsigned char> request(kSweepBufferBytes, 0);
    request[0] = kSweepCommand;
    request[1] = kSweepSubsystem;
    putU16(request, 2, kSweepGroup);
    putU16(request, 4, kSweepId);
    putU16(request, 6, static_cast<unsigned short>(4 * usPairs));
    putU16(request, 8, kSweepTail);
    periph::Status status;
    int iAt = kSweepHeaderBytes;
    for (int i = 0; i < usPairs; ++i) {
        if (iAt >= kSweepPairLimit) {
            Tessel_TracePlain_m(iSession, "[ERROR: Maximum length of data packet exceeded.]");
            status.fail();
            break;
        }
        putU16(request, iAt, piFirstValues[i]);
        putU16(request, iAt + 2, piSecondValues[i]);
        iAt += 4;
    }
    short iRespSize = kSweepBufferBytes;
    if (status.good()) {
        std::vector<unsigned char> response(kSweepBufferBytes, 0);
        if (rec.hHandle == -1) status.fail();
        else
            status.ok(_Tessel_SendSync(iSession, static_cast<short>(iAt), request.data(), &iRespSize, response.data(),
                                       kSweepTimeoutMs, "TesselFctsPolarTx.cpp", __LINE__) == 0);
    }
    Mob_TraceResult(iSession, status.get(), "%s( _iRespSize=%d ) = %#x", __func__, iRespSize, hex(status.get()));
    return status.get();
}

int _Tessel_FtmSetTwoToneFreqOffset(int iSession, int iFreqOffsetSecTone, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    const auto usOffset = static_cast<unsigned short>(iFreqOffsetSecTone);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iFreqOffsetSecTone=%d ) Sess=%d", __func__, rec.hHandle,
                  usOffset, iSession);
    periph::Status status;
    if (usOffset < kTwoToneBase || rec.hHandle == -1) status.fail();
    else
        status.ok(QLIB_FTM_SET_TWOTONE_FREQ_OFFSET(rec.hHandle, static_cast<unsigned short>(usOffset - kTwoToneBase)));
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

int _Tessel_FtmGsmTxRsbDcSweep(int iSession, int uiListSize, unsigned int uiList1, unsigned int uiList2,
                               unsigned int uiList3, unsigned int uiList4, unsigned int uiList5, const char* cFile,
                               int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    const auto ucSize = static_cast<unsigned char>(uiListSize);
    Mob_TraceCall(iSession, cFile, iLine,
                  "%s( Handle=%d, uiListSize=%d, uiList1=%d, uiList2=%d, uiList3=%d, uiList4=%d, uiList5=%d ) Sess=%d",
                  __func__, rec.hHandle, ucSize, static_cast<int>(uiList1), static_cast<int>(uiList2),
                  static_cast<int>(uiList3), static_cast<int>(uiList4), static_cast<int>(uiList5), iSession);
    unsigned short usStatus = 1;
    periph::Status status;
    if (rec.hHandle == -1) status.fail();
    else
        status.ok(QLIB_FTM_TX_RSB_DC_SWEEP(rec.hHandle, ucSize, uiList1, uiList2, uiList3, uiList4, uiList5, &usStatus) &&
                  usStatus == 0);
    Mob_TraceResult(iSession, status.get(), "%s() = %#x", __func__, hex(status.get()));
    return status.get();
}
