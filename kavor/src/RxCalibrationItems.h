// NV items of the receiver calibration: the WCDMA items per band, the GSM
// receive gain ranges and the GSM relative offsets.
#pragma once

#include <cstddef>

namespace kavor {

constexpr unsigned short kNvGsmRxRelOffsets = 2499; // GSM receive relative offsets, 128 bytes
constexpr int kGsmRxRelOffsetsLength = 128;
constexpr int kWcdmaOffsetLength = 2;  // an offset, an LNA range: one 16-bit value
constexpr int kWcdmaVsFreqLength = 16; // a value per frequency

// The calibration items of one WCDMA band (the vendor's NV band number).
struct WcdmaBandItems {
    unsigned short usBand;
    unsigned short usVgaGainOffset;
    unsigned short usVgaGainVsFreq;
    unsigned short ausLnaRangeRise[3];
    unsigned short ausLnaRangeFall[3];
    unsigned short ausLnaOffset[3];
    unsigned short ausLnaOffsetVsFreq[3];
};
// The items of a band; null for a band this library does not know.
const WcdmaBandItems* wcdmaBandItems(unsigned int uBand);

// The GSM receive gain-range items, in the order of the sixteen data
// arguments: GSM 900, 1900, 1800 and 850, ranges 1 to 4 each.
struct GsmGainRangeItem {
    const char* pcLabel; // the argument's name in the step line
    unsigned short usItem;
    int iLength;
};
constexpr std::size_t kGsmGainRangeCount = 16;
extern const GsmGainRangeItem kGsmGainRangeItems[kGsmGainRangeCount];

} // namespace kavor
