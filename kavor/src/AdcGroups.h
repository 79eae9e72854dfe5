// The phone-model groups of the ADC averages: which phone-model codes have
// known ADC channels, and the channel of each of the three averages.
#pragma once

namespace kavor {

constexpr int kNoAdcChannel = -1;  // the average is not read for the group

struct AdcGroup {
    unsigned int codes[16];  // the group's phone-model codes; unused places hold 0
    int channels[3];         // the channels of the first, second and third average
};

// The group of a phone-model code; null for a code of no group (0 included).
const AdcGroup* adcGroupOf(unsigned int iPhoneModel);

} // namespace kavor
