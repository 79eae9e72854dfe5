// The receiver calibration's NV items as data, and the operations that write
// and read them by band: VGA gain, LNA ranges, LNA offsets, the GSM gain
// ranges and the flush of the batched writes.
#include "RxCalibrationItems.h"

#include "InternalExports.h"
#include "ProcedureSteps.h"
#include "qmsl_nv_batch.h"

#include <cstring>
#include <iterator>

namespace kavor {

namespace {

constexpr WcdmaBandItems kWcdmaBands[] = {
    {4, 856, 857, {519, 859, 860}, {520, 861, 862}, {524, 865, 866}, {525, 867, 868}},
    {5, 1143, 1144, {1163, 1146, 1147}, {1164, 1148, 1149}, {1168, 1152, 1153}, {1169, 1154, 1155}},
    {6, 1814, 1815, {1834, 1817, 1818}, {1835, 1819, 1820}, {1839, 1823, 1824}, {1840, 1825, 1826}},
};

// The 2 bytes of a 16-bit offset as the phone stores them (low byte first).
struct OffsetBytes {
    unsigned char ab[2];
    explicit OffsetBytes(short iOffset) { std::memcpy(ab, &iOffset, sizeof ab); }
};

// Reads the three LNA range items of a band into three 16-bit values; the
// first failed read ends it.
bool readLnaRanges(TestProcedures& p, const unsigned short (&ausItems)[3], short* const (&apValues)[3]) {
    for (std::size_t i = 0; i < 3; ++i) {
        auto* pucValue = reinterpret_cast<unsigned char*>(apValues[i]);
        const Step step{"KAVOR_NV_READ_GSM_RX_REL_OFFSETS",
                        [&] {
                            return KAVOR_NV_READ_GSM_RX_REL_OFFSETS(p.handle(), ausItems[i], pucValue,
                                                                    kWcdmaOffsetLength) != 0;
                        },
                        [&] {
                            return stepText("KAVOR_NV_READ_GSM_RX_REL_OFFSETS(iItemID = %d, cBin3 = %s, iLength = 2)",
                                            ausItems[i], shownBytes(pucValue, kWcdmaOffsetLength).c_str());
                        }};
        if (!runStep(p, step)) return false;
    }
    return true;
}

} // namespace

const GsmGainRangeItem kGsmGainRangeItems[kGsmGainRangeCount] = {
    {"Gsm900Range1", 726, 16},   {"Gsm900Range2", 727, 16},   {"Gsm900Range3", 728, 16},   {"Gsm900Range4", 729, 16},
    {"Gsm1900Range1", 1058, 32}, {"Gsm1900Range2", 1059, 32}, {"Gsm1900Range3", 1060, 32}, {"Gsm1900Range4", 1061, 32},
    {"Gsm1800Range1", 730, 32},  {"Gsm1800Range2", 731, 32},  {"Gsm1800Range3", 732, 32},  {"Gsm1800Range4", 733, 32},
    {"Gsm850Range1", 1102, 16},  {"Gsm850Range2", 1103, 16},  {"Gsm850Range3", 1104, 16},  {"Gsm850Range4", 1105, 16},
};

const WcdmaBandItems* wcdmaBandItems(unsigned int uBand) {
    for (const WcdmaBandItems& b : kWcdmaBands)
        if (b.usBand == uBand) return &b;
    return nullptr;
}

bool TestProcedures::nvWriteWcdmaVgaGain(unsigned short eNvBand, short iOffset, const unsigned char* piVsFreq) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const WcdmaBandItems* pItems = wcdmaBandItems(eNvBand);
    if (!pItems) return false;
    const OffsetBytes offset(iOffset);
    if (!runStep(*this, nvWriteStep(handle_, pItems->usVgaGainOffset, offset.ab, kWcdmaOffsetLength))) return false;
    if (!piVsFreq) return true;
    return runStep(*this, nvWriteStep(handle_, pItems->usVgaGainVsFreq, piVsFreq, kWcdmaVsFreqLength));
}

bool TestProcedures::nvReadWcdmaLnaRangeFall(unsigned short eNvBand, short* piFall1, short* piFall2, short* piFall3) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const WcdmaBandItems* pItems = wcdmaBandItems(eNvBand);
    if (!pItems) return false;
    return readLnaRanges(*this, pItems->ausLnaRangeFall, {piFall1, piFall2, piFall3});
}

bool TestProcedures::nvReadWcdmaLnaRangeRise(unsigned short eNvBand, short* piRise1, short* piRise2, short* piRise3) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const WcdmaBandItems* pItems = wcdmaBandItems(eNvBand);
    if (!pItems) return false;
    return readLnaRanges(*this, pItems->ausLnaRangeRise, {piRise1, piRise2, piRise3});
}

bool TestProcedures::nvWriteGsmRxGainRange(const unsigned char* pGsm900Range1, const unsigned char* pGsm900Range2,
                                           const unsigned char* pGsm900Range3, const unsigned char* pGsm900Range4,
                                           const unsigned char* pGsm1900Range1, const unsigned char* pGsm1900Range2,
                                           const unsigned char* pGsm1900Range3, const unsigned char* pGsm1900Range4,
                                           const unsigned char* pGsm1800Range1, const unsigned char* pGsm1800Range2,
                                           const unsigned char* pGsm1800Range3, const unsigned char* pGsm1800Range4,
                                           const unsigned char* pGsm850Range1, const unsigned char* pGsm850Range2,
                                           const unsigned char* pGsm850Range3, const unsigned char* pGsm850Range4) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const unsigned char* const apData[kGsmGainRangeCount] = {
        pGsm900Range1,  pGsm900Range2,  pGsm900Range3,  pGsm900Range4,  pGsm1900Range1, pGsm1900Range2,
        pGsm1900Range3, pGsm1900Range4, pGsm1800Range1, pGsm1800Range2, pGsm1800Range3, pGsm1800Range4,
        pGsm850Range1,  pGsm850Range2,  pGsm850Range3,  pGsm850Range4};
    for (std::size_t i = 0; i < kGsmGainRangeCount; ++i) {
        const GsmGainRangeItem& item = kGsmGainRangeItems[i];
        if (!runStep(*this, nvWriteStep(handle_, item.usItem, apData[i], item.iLength))) return false;
    }
    return true;
}

bool TestProcedures::nvWriteWcdmaLnaOffset(unsigned char eNvBand, short iOffset1, const unsigned char* piVsFreq1,
                                           short iOffset2, const unsigned char* piVsFreq2, short iOffset3,
                                           const unsigned char* piVsFreq3) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const WcdmaBandItems* pItems = wcdmaBandItems(eNvBand);
    if (!pItems) return false;
    const OffsetBytes aOffsets[3] = {OffsetBytes(iOffset1), OffsetBytes(iOffset2), OffsetBytes(iOffset3)};
    const unsigned char* const apVsFreq[3] = {piVsFreq1, piVsFreq2, piVsFreq3};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!runStep(*this, nvWriteStep(handle_, pItems->ausLnaOffset[i], aOffsets[i].ab, kWcdmaOffsetLength)))
            return false;
        // A missing value per frequency is left as the phone has it.
        if (apVsFreq[i] &&
            !runStep(*this, nvWriteStep(handle_, pItems->ausLnaOffsetVsFreq[i], apVsFreq[i], kWcdmaVsFreqLength)))
            return false;
    }
    return true;
}

bool TestProcedures::nvWriteFlushBatchQueue() {
    if (!KAVOR_CheckHandle(handle_)) return false;
    unsigned short usLastErrorNvId = 0;
    unsigned short usLastTotalStatus = 0;
    unsigned char ucLastItemStatus = 0;
    const Step flush{"QLIB_DIAG_NV_WRITE_FlushBatchQueue",
                     [&] {
                         return QLIB_DIAG_NV_WRITE_FlushBatchQueue(handle_, &usLastErrorNvId, &usLastTotalStatus,
                                                                   &ucLastItemStatus) != 0;
                     },
                     [&] {
                         return stepText(
                             "QLIB_DIAG_NV_WRITE_FlushBatchQueue(piLastErrorNvId = %c, "
                             "piLastTotalStatus =%c, piLastItemStatus = %c)",
                             usLastErrorNvId, usLastTotalStatus, ucLastItemStatus);
                     }};
    if (!runStep(*this, flush)) return false;
    if (usLastTotalStatus != 0) {
        logStep(StepFailed, "_iLastTotalStatus != (int)DIAG_MNVW_Status_OK");
        return false;
    }
    return true;
}

} // namespace kavor
