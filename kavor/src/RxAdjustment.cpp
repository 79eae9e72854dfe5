// Receiver adjustment: measure the GSM and WCDMA receive path in FTM mode and
// store the calibration values in the phone's NV items.
#include "InternalExports.h"
#include "ProcedureSteps.h"
#include "RxCalibrationItems.h"
#include "qmsl_diag.h"
#include "qmsl_ftm.h"
#include "qmsl_nv_batch.h"

#include <cinttypes>
#include <cstdint>
#include <string>

namespace kavor {

bool TestProcedures::rxGsmAdjust(unsigned char* cBin3, unsigned short eNewMode, unsigned short iChannel,
                                 unsigned char iSlotNum, short iRxFunction, unsigned char iLNArange,
                                 unsigned short* piRssiValue) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(
        *this,
        {
            {"KAVOR_NV_READ_GSM_RX_REL_OFFSETS",
             [&] {
                 return KAVOR_NV_READ_GSM_RX_REL_OFFSETS(h, kNvGsmRxRelOffsets, cBin3, kGsmRxRelOffsetsLength) != 0;
             },
             [&] {
                 return stepText("KAVOR_NV_READ_GSM_RX_REL_OFFSETS(iItemID = 2499, cBin3 = %s, iLength = 128)",
                                 shownBytes(cBin3, kGsmRxRelOffsetsLength).c_str());
             }},
            {"QLIB_FTM_SET_TX_OFF", [&] { return QLIB_FTM_SET_TX_OFF(h) != 0; }, fixedLine("QLIB_FTM_SET_TX_OFF()")},
            {"QLIB_FTM_SET_MODE", [&] { return QLIB_FTM_SET_MODE(h, eNewMode) != 0; },
             [&] { return stepText("QLIB_FTM_SET_MODE(eNewMode = %d)", eNewMode); }},
            {"QLIB_FTM_SET_CHAN", [&] { return QLIB_FTM_SET_CHAN(h, iChannel) != 0; },
             [&] { return stepText("QLIB_FTM_SET_CHAN(iChannel = %d)", iChannel); }},
            {"QLIB_FTM_SET_RX_BURST", [&] { return QLIB_FTM_SET_RX_BURST(h, iSlotNum, iRxFunction) != 0; },
             [&] { return stepText("QLIB_FTM_SET_RX_BURST(iSlotNum = %c, iRxFunction = %d)", iSlotNum, masked16(iRxFunction)); }},
            {"QLIB_FTM_SET_LNA_RANGE", [&] { return QLIB_FTM_SET_LNA_RANGE(h, iLNArange) != 0; },
             [&] { return stepText("QLIB_FTM_SET_LNA_RANGE(iLNArange = %c)", iLNArange); }},
            {"QLIB_FTM_GET_RSSI", [&] { return QLIB_FTM_GET_RSSI(h, piRssiValue) != 0; },
             fixedLine("QLIB_FTM_GET_RSSI()")},
        });
}

bool TestProcedures::rxWcdmaAdjust(unsigned char iLNArange, short iExpectedRX_AGC, short* piDVGAoffset,
                                   unsigned short iItemID, const unsigned char* pItemData, int iLength,
                                   unsigned short* piNvStatus, unsigned short eVgaNvBand, short iVgaOffset,
                                   const unsigned char* piVgaVsFreq, unsigned short eFallNvBand, short* piFall1,
                                   short* piFall2, short* piFall3, unsigned short iItemID2, unsigned char* pItemData2,
                                   int iLength2, unsigned short* piNvStatus2, unsigned short eRiseNvBand,
                                   short* piRise1, short* piRise2, short* piRise3, int iLNAindex,
                                   short iExpectedRX_AGC2, short* piLNAoffsetValue) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    // A returned value, masked like every 16-bit value of a step line.
    auto value = [](const short* p) { return p ? masked16(*p) : 0; };
    // The NV statuses of the two direct NV calls go back to the caller unexamined.
    return runSteps(
        *this,
        {
            {"QLIB_FTM_SET_TX_OFF", [&] { return QLIB_FTM_SET_TX_OFF(h) != 0; }, fixedLine("QLIB_FTM_SET_TX_OFF()")},
            {"QLIB_FTM_SET_LNA_RANGE", [&] { return QLIB_FTM_SET_LNA_RANGE(h, iLNArange) != 0; },
             [&] { return stepText("QLIB_FTM_SET_LNA_RANGE(iLNArange = %c)", iLNArange); }},
            {"QLIB_FTM_GET_DVGA_OFFSET",
             [&] { return QLIB_FTM_GET_DVGA_OFFSET(h, iExpectedRX_AGC, piDVGAoffset) != 0; },
             [&] { return stepText("QLIB_FTM_GET_DVGA_OFFSET(iExpectedRX_AGC = %d)", masked16(iExpectedRX_AGC)); }},
            {"QLIB_DIAG_NV_WRITE_F",
             [&] { return QLIB_DIAG_NV_WRITE_F(h, iItemID, pItemData, iLength, piNvStatus) != 0; },
             [&] {
                 return stepText("QLIB_DIAG_NV_WRITE_F(iItemID = %d, pItemData = %s, iLength = %i)", iItemID,
                                 shownBytes(pItemData, iLength > 0 ? static_cast<std::size_t>(iLength) : 0).c_str(),
                                 iLength);
             }},
            {"KAVOR_NV_WRITE_WCDMA_VGA_GAIN",
             [&] { return KAVOR_NV_WRITE_WCDMA_VGA_GAIN(h, eVgaNvBand, iVgaOffset, piVgaVsFreq) != 0; },
             [&] {
                 return stepText("KAVOR_NV_WRITE_WCDMA_VGA_GAIN(eNvBand = %d, iOffset = %d, piVsFreq = %c)", eVgaNvBand,
                                 masked16(iVgaOffset), firstByte(piVgaVsFreq));
             }},
            {"KAVOR_NV_READ_WCDMA_LNA_RANGE_FALL",
             [&] { return KAVOR_NV_READ_WCDMA_LNA_RANGE_FALL(h, eFallNvBand, piFall1, piFall2, piFall3) != 0; },
             [&] {
                 return stepText(
                     "KAVOR_NV_READ_WCDMA_LNA_RANGE_FALL(eNvBand = %d, piFall1 = %d, piFall2 = %d, "
                     "piFall3 = %d)",
                     eFallNvBand, value(piFall1), value(piFall2), value(piFall3));
             }},
            {"QLIB_DIAG_NV_READ_F",
             [&] { return QLIB_DIAG_NV_READ_F(h, iItemID2, pItemData2, iLength2, piNvStatus2) != 0; },
             [&] {
                 return stepText("QLIB_DIAG_NV_READ_F(iItemID = %d, pItemData = 0x%" PRIxPTR ", iLength = %i)",
                                 iItemID2, reinterpret_cast<std::uintptr_t>(pItemData2), iLength2);
             }},
            {"KAVOR_NV_READ_WCDMA_LNA_RANGE_RISE",
             [&] { return KAVOR_NV_READ_WCDMA_LNA_RANGE_RISE(h, eRiseNvBand, piRise1, piRise2, piRise3) != 0; },
             [&] {
                 return stepText(
                     "KAVOR_NV_READ_WCDMA_LNA_RANGE_RISE(eNvBand = %d, piRise1 = %d, piRise2 = %d, "
                     "piRise3 = %d)",
                     eRiseNvBand, value(piRise1), value(piRise2), value(piRise3));
             }},
            {"QLIB_FTM_GET_LNA_OFFSET",
             [&] { return QLIB_FTM_GET_LNA_OFFSET(h, iLNAindex, iExpectedRX_AGC2, piLNAoffsetValue) != 0; },
             [&] {
                 return stepText(
                     "QLIB_FTM_GET_LNA_OFFSET(iLNAindex = %d , iExpectedRX_AGC = %d, "
                     "piLNAoffsetValue = %d)",
                     iLNAindex, masked16(iExpectedRX_AGC2), value(piLNAoffsetValue));
             }},
        });
}

bool TestProcedures::writeRxAdjustmentValues(
    unsigned char bStartBatchMode, const unsigned char* pGsm900Range1, const unsigned char* pGsm900Range2,
    const unsigned char* pGsm900Range3, const unsigned char* pGsm900Range4, const unsigned char* pGsm1900Range1,
    const unsigned char* pGsm1900Range2, const unsigned char* pGsm1900Range3, const unsigned char* pGsm1900Range4,
    const unsigned char* pGsm1800Range1, const unsigned char* pGsm1800Range2, const unsigned char* pGsm1800Range3,
    const unsigned char* pGsm1800Range4, const unsigned char* pGsm850Range1, const unsigned char* pGsm850Range2,
    const unsigned char* pGsm850Range3, const unsigned char* pGsm850Range4, unsigned char eLnaNvBand, short iOffset1,
    const unsigned char* piVsFreq1, short iOffset2, const unsigned char* piVsFreq2, short iOffset3,
    const unsigned char* piVsFreq3, unsigned short eVgaNvBand, short iVgaOffset, const unsigned char* piVgaVsFreq) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const unsigned char* const apRanges[kGsmGainRangeCount] = {
        pGsm900Range1,  pGsm900Range2,  pGsm900Range3,  pGsm900Range4,  pGsm1900Range1, pGsm1900Range2,
        pGsm1900Range3, pGsm1900Range4, pGsm1800Range1, pGsm1800Range2, pGsm1800Range3, pGsm1800Range4,
        pGsm850Range1,  pGsm850Range2,  pGsm850Range3,  pGsm850Range4};
    auto rangesLine = [&] {
        std::string line = "KAVOR_NV_WRITE_GSM_RX_GAIN_RANGE(";
        for (std::size_t i = 0; i < kGsmGainRangeCount; ++i) {
            const GsmGainRangeItem& item = kGsmGainRangeItems[i];
            line += (i ? ", " : "") + std::string(item.pcLabel) + " = " +
                    shownBytes(apRanges[i], static_cast<std::size_t>(item.iLength));
        }
        return line + ")";
    };
    auto vsFreq = [](const unsigned char* p) { return shownBytes(p, kWcdmaVsFreqLength); };

    bool bBatchOn = false;
    const bool bOk = runSteps(
        *this,
        {
            {"QLIB_DIAG_NV_WRITE_SetBatchMode",
             [&] {
                 const bool bSet = QLIB_DIAG_NV_WRITE_SetBatchMode(h, bStartBatchMode) != 0;
                 bBatchOn = bSet && bStartBatchMode != 0;
                 return bSet;
             },
             [&] { return stepText("QLIB_DIAG_NV_WRITE_SetBatchMode(bStartBatchMode = %c)", bStartBatchMode); }},
            {"KAVOR_NV_WRITE_GSM_RX_GAIN_RANGE",
             [&] {
                 return KAVOR_NV_WRITE_GSM_RX_GAIN_RANGE(h, apRanges[0], apRanges[1], apRanges[2], apRanges[3],
                                                         apRanges[4], apRanges[5], apRanges[6], apRanges[7],
                                                         apRanges[8], apRanges[9], apRanges[10], apRanges[11],
                                                         apRanges[12], apRanges[13], apRanges[14], apRanges[15]) != 0;
             },
             rangesLine},
            {"KAVOR_NV_WRITE_WCDMA_LNA_OFFSET",
             [&] {
                 return KAVOR_NV_WRITE_WCDMA_LNA_OFFSET(h, eLnaNvBand, iOffset1, piVsFreq1, iOffset2, piVsFreq2,
                                                        iOffset3, piVsFreq3) != 0;
             },
             [&] {
                 return stepText(
                     "KAVOR_NV_WRITE_WCDMA_LNA_OFFSET(eNvBand = %c, iOffset1 = %d, piVsFreq1 = %s, "
                     "iOffset2 = %d, piVsFreq2 = %s, iOffset3 = %d, piVsFreq3 = %s)",
                     eLnaNvBand, masked16(iOffset1), vsFreq(piVsFreq1).c_str(), masked16(iOffset2),
                     vsFreq(piVsFreq2).c_str(), masked16(iOffset3), vsFreq(piVsFreq3).c_str());
             }},
            {"KAVOR_NV_WRITE_WCDMA_VGA_GAIN",
             [&] { return KAVOR_NV_WRITE_WCDMA_VGA_GAIN(h, eVgaNvBand, iVgaOffset, piVgaVsFreq) != 0; },
             [&] {
                 return stepText("KAVOR_NV_WRITE_WCDMA_VGA_GAIN(eNvBand = %d, iOffset = %d, piVsFreq = %s)", eVgaNvBand,
                                 masked16(iVgaOffset), vsFreq(piVgaVsFreq).c_str());
             }},
            {"KAVOR_DIAG_NV_WRITE_FLUSH_BATCH_QUEUE", [&] { return KAVOR_DIAG_NV_WRITE_FLUSH_BATCH_QUEUE(h) != 0; },
             fixedLine("KAVOR_DIAG_NV_WRITE_FLUSH_BATCH_QUEUE()")},
        });
    // A failure must not leave the connection queueing NV writes that never
    // reach the phone: batch mode goes off again (the queue is dropped).
    if (!bOk && bBatchOn) QLIB_DIAG_NV_WRITE_SetBatchMode(h, 0);
    return bOk;
}

} // namespace kavor
