// Averaged ADC reads: battery voltage, thermistors and HDET. The channel and
// the way of reading (single reads of the vendor library or one multiple
// read of the extension library) follow the phone type, as the read table
// gives them.
#include "TesselFctsPeriph.h"
#include "kavor.h"
#include "qmsl_ftm.h"

#include <initializer_list>

using periph::hex;

namespace {

enum class Way { Single, Multiple, None };

struct AdcRead {
    int iChannel;
    Way eWay;
};

// A read for some phone types; the row with no types is the default.
struct AdcRow {
    std::initializer_list<int> types;
    AdcRead read;
};

constexpr double kNoThermistor = 255.0;

// clang-format off
const AdcRow kBattery[] = {{{5, 7}, {0, Way::Single}}, {{}, {0, Way::Multiple}}};
const AdcRow kThermistorFirst[] = {{{0}, {3, Way::Multiple}}, {{}, {3, Way::None}}};
const AdcRow kThermistorSecond[] = {{{5, 7}, {1, Way::Single}}, {{}, {1, Way::Multiple}}};
const AdcRow kHdet[] = {{{2, 3}, {4, Way::Multiple}}, {{5, 7}, {4, Way::Single}}, {{}, {2, Way::Multiple}}};
// clang-format on

template <std::size_t N>
AdcRead readFor(const AdcRow (&rows)[N], int iPhoneType) {
    for (const AdcRow& row : rows) {
        if (row.types.size() == 0) return row.read;
        for (int t : row.types)
            if (t == iPhoneType) return row.read;
    }
    return rows[N - 1].read;
}

// The mean of iCount reads of the channel (iCount > 0).
double averaged(int iSession, QmslHandle h, AdcRead read, unsigned short iCount, periph::Status& status) {
    unsigned int uiSum = 0;
    if (read.eWay == Way::Single) {
        for (int i = 0; i < iCount; ++i) {
            unsigned short usValue = 0;  // fresh per read: a failed read adds only what it gave back
            status.ok(QLIB_FTM_GET_ADC_VAL(h, static_cast<unsigned short>(read.iChannel), &usValue));
            Tessel_TracePlain_m(iSession, " QLIB_FTM_GET_ADC_VAL[Count=%d](%d, %d )", i, read.iChannel, usValue);
            uiSum += usValue;
        }
    } else {
        Tessel_TracePlain_m(iSession, " QLIB_FTM_MGET_ADC_VAL(%d,%d)", read.iChannel, iCount);
        status.ok(KAVOR_FTM_MGET_ADC_VAL(h, static_cast<unsigned short>(read.iChannel), iCount, &uiSum));
    }
    return static_cast<double>(uiSum) / iCount;
}

// The frame of the three reads: call line, count and connection checks,
// then `read` fills the outputs.
template <typename Read>
int runAdc(const char* cName, int iSession, unsigned short iCount, const char* cFile, int iLine, Read read,
           SessionRecord& rec, periph::Status& status) {
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iAverageCount=%d ) Sess=%d", cName, rec.hHandle, iCount,
                  iSession);
    if (iCount == 0) status.fail(TESSEL_ERROR_PARAMETER2);
    else if (rec.hHandle == -1) status.fail();
    else read();
    return status.get();
}

} // namespace

int _Tessel_SpecialReadBattVoltage(int iSession, unsigned short iAverageCount, double* dBattV, const char* cFile,
                                   int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!dBattV) return TESSEL_ERROR_PARAMETER2;
    *dBattV = 0.0;
    periph::Status status;
    runAdc(__func__, iSession, iAverageCount, cFile, iLine, [&] {
        *dBattV = averaged(iSession, rec.hHandle, readFor(kBattery, rec.sPhoneType), iAverageCount, status);
    }, rec, status);
    Mob_TraceResult(iSession, status.get(), "%s( *dBattV(ADC_0)=%f ) = %#x", __func__, *dBattV, hex(status.get()));
    return status.get();
}

int _Tessel_SpecialReadThermistors(int iSession, unsigned short iAverageCount, double* dRFTherm, double* dPATherm,
                                   const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!dRFTherm || !dPATherm) return TESSEL_ERROR_PARAMETER2;
    *dRFTherm = kNoThermistor;
    *dPATherm = kNoThermistor;
    periph::Status status;
    runAdc(__func__, iSession, iAverageCount, cFile, iLine, [&] {
        const AdcRead first = readFor(kThermistorFirst, rec.sPhoneType);
        if (first.eWay != Way::None) *dRFTherm = averaged(iSession, rec.hHandle, first, iAverageCount, status);
        *dPATherm = averaged(iSession, rec.hHandle, readFor(kThermistorSecond, rec.sPhoneType), iAverageCount, status);
    }, rec, status);
    Mob_TraceResult(iSession, status.get(), "%s( *dRFTherm(ADC_1)=%f, *dPATherm(ADC_3)=%f ) = %#x", __func__,
                    *dRFTherm, *dPATherm, hex(status.get()));
    return status.get();
}

int _Tessel_SpecialReadHdet(int iSession, unsigned short iAverageCount, double* dHdet, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!dHdet) return TESSEL_ERROR_PARAMETER2;
    *dHdet = 0.0;
    periph::Status status;
    runAdc(__func__, iSession, iAverageCount, cFile, iLine, [&] {
        *dHdet = averaged(iSession, rec.hHandle, readFor(kHdet, rec.sPhoneType), iAverageCount, status);
    }, rec, status);
    Mob_TraceResult(iSession, status.get(), "%s( *dHdet(ADC_2)=%f ) = %#x", __func__, *dHdet, hex(status.get()));
    return status.get();
}
