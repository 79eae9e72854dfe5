// ADC averages: up to three channels read a number of times and averaged,
// the channels chosen by the phone model.
#include "AdcGroups.h"
#include "ProcedureSteps.h"

#include "InternalExports.h"
#include "qmsl_ftm.h"

#include <iterator>

namespace kavor {

namespace {

constexpr double kNoAverage = 255.0;

// clang-format off
constexpr AdcGroup kGroups[] = {
    {{13, 14, 15, 23, 24, 25, 33, 34, 35, 36, 40, 52, 53, 55}, {0, 1, 3}},
    {{61, 62, 63, 64, 65, 74, 75, 76, 77}, {0, 3, kNoAdcChannel}},
};
// clang-format on

// These phone models take single readings; the others sum on the phone.
bool readsSingly(unsigned int iPhoneModel) { return iPhoneModel >= 61 && iPhoneModel <= 77; }

// The sum of iCount readings of one channel.
bool adcSeries(TestProcedures& p, bool bSingly, unsigned short iChannel, unsigned short iCount, unsigned int& iSum) {
    const QmslHandle h = p.handle();
    iSum = 0;
    if (bSingly) {
        for (unsigned short i = 1; i <= iCount; ++i) {
            unsigned short iValue = 0;
            p.logStep(TestProcedures::StepInfo, "\tQLIB_FTM_GET_ADC_VAL() start");
            const bool bOk = QLIB_FTM_GET_ADC_VAL(h, iChannel, &iValue) != 0;
            if (!p.logResult(bOk, "QLIB_FTM_GET_ADC_VAL[Count = %i](iADC_type = %i, piADC_value = %d)", i, iChannel,
                             iValue))
                return false;
            iSum += iValue;
        }
        return true;
    }
    return runStep(p, {"KAVOR_FTM_MGET_ADC_VAL",
                       [&] { return KAVOR_FTM_MGET_ADC_VAL(h, iChannel, iCount, &iSum) != 0; },
                       [&] {
                           return stepText("KAVOR_FTM_MGET_ADC_VAL(iADC_type = %i, iReadCount = %d, piADC_value = %d)",
                                           iChannel, iCount, iSum);
                       }});
}

} // namespace

const AdcGroup* adcGroupOf(unsigned int iPhoneModel) {
    for (const AdcGroup& g : kGroups)
        for (unsigned int code : g.codes)
            if (code != 0 && code == iPhoneModel) return &g;
    return nullptr;
}

bool TestProcedures::checkDacValues(unsigned short iAverageCount, double* pdAverage1, unsigned short iAverageCount2,
                                    double* pdAverage2, double* pdAverage3) {
    if (iAverageCount == 0) {
        logStep(StepInfo, "iAverageCount = 0");
        if (pdAverage1) *pdAverage1 = 0;
        return false;
    }
    if (pdAverage2) *pdAverage2 = kNoAverage;
    if (!KAVOR_CheckHandle(handle_)) return false;

    unsigned int iVerNumber = 0, iMsmModel = 0, iPhoneModel = 0;
    logStep(StepInfo, "\tKAVOR_Phone_Model() start");
    const bool bModel = KAVOR_Phone_Model(handle_, &iVerNumber, &iMsmModel, &iPhoneModel) != 0;
    if (!logResult(bModel, "KAVOR_Phone_Model(piVerNumber = %i, piMSMModel = %i, piPhoneModel = %i)",
                   static_cast<int>(iVerNumber), static_cast<int>(iMsmModel), static_cast<int>(iPhoneModel)))
        return false;
    // No channels are known for other phone models.
    const AdcGroup* group = adcGroupOf(iPhoneModel);
    if (!group) {
        logStep(StepFailed, "ERROR: Mobile not supported");
        return false;
    }
    const bool bSingly = readsSingly(iPhoneModel);

    unsigned int iSum = 0;
    if (!adcSeries(*this, bSingly, static_cast<unsigned short>(group->channels[0]), iAverageCount, iSum)) return false;
    if (pdAverage1) *pdAverage1 = static_cast<double>(iSum) / iAverageCount;

    if (iAverageCount2 == 0) {
        if (pdAverage2) *pdAverage2 = kNoAverage;
        if (pdAverage3) *pdAverage3 = kNoAverage;
        return false;
    }
    double* const averages[] = {pdAverage2, pdAverage3};
    for (std::size_t i = 0; i < std::size(averages); ++i) {
        const int iChannel = group->channels[i + 1];
        if (iChannel == kNoAdcChannel) break;
        if (bSingly && i == 0) logStep(StepInfo, "\tQLIB_FTM_GET_ADC_VAL() loop start");
        if (!adcSeries(*this, bSingly, static_cast<unsigned short>(iChannel), iAverageCount2, iSum)) return false;
        if (averages[i]) *averages[i] = static_cast<double>(iSum) / iAverageCount2;
    }
    return true;
}

} // namespace kavor
