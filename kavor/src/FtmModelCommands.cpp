// The keypad backlight and slider commands: their request and reply follow
// the phone model, which they learn from the phone-model procedure by handle.
#include "FtmChannel.h"

#include "kavor.h"

#include <cstdio>

namespace kavor {

using namespace ftm;

namespace {

constexpr const char* kSuccess = " - Completed successfully\n";
constexpr const char* kFailure = " - Failure";

// clang-format off
constexpr FtmCommand kKeyPadBackLight{"KAVOR_FTM_SetKeyPadBackLight()", 245, 4, 12, StatusRule::U16, 0x8000,
                                      FtmChannel::kDefaultTimeoutMs,
                                      "KAVOR_FTM_SetKeyPadBackLight(rowNumber = %d, backLightOn = %d)"};
constexpr FtmCommand kSliderState{"KAVOR_FTM_GetSliderState()", 246, 0, 12, StatusRule::None};
// clang-format on

constexpr unsigned int kGpioBacklightModel = 3;

// The slider state for each raw state 0-3 and for any other raw state.
struct SliderMap {
    unsigned int phoneModel;
    unsigned char state[5];
};
constexpr SliderMap kSliderMaps[] = {
    {3, {1, 0, 0, 0, 0}},
    {52, {0, 2, 3, 1, 3}},
    {53, {3, 1, 0, 2, 3}},
    {54, {3, 1, 0, 2, 3}},
    {55, {3, 1, 0, 2, 3}},
};

const SliderMap* sliderMapOf(unsigned int phoneModel) {
    for (const SliderMap& m : kSliderMaps)
        if (m.phoneModel == phoneModel) return &m;
    return nullptr;
}

// Notices the commands write for the operator on standard output.
void notice(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

} // namespace

bool FtmChannel::phoneModelStep(unsigned int& phoneModel) {
    logCall("\tKAVOR_Phone_Model() start");
    unsigned int version = 0, msmModel = 0;
    phoneModel = 0;
    const bool ok = KAVOR_Phone_Model(handle_, &version, &msmModel, &phoneModel) != 0;
    logCall("KAVOR_Phone_Model(piVerNumber = %i, piMSMModel = %i, piPhoneModel = %i)%s", static_cast<int>(version),
            static_cast<int>(msmModel), static_cast<int>(phoneModel), ok ? kSuccess : kFailure);
    return ok;
}

bool FtmChannel::setKeyPadBackLight(unsigned short rowNumber, unsigned char backLightOn) {
    logCall("%s", kKeyPadBackLight.call);
    unsigned int phoneModel = 0;
    if (!phoneModelStep(phoneModel)) return false;

    if (phoneModel == kGpioBacklightModel) {
        if (rowNumber == 5 || rowNumber == 7) {
            const bool ok = KAVOR_FTM_SetKeyPadBackLightGPIO(handle_, rowNumber, backLightOn) != 0;
            logCall("KAVOR_FTM_SetKeyPadBackLightGPIO(hResourceContext = %i, rowNumber = %i, backLightOn= %i)%s",
                    handle_, rowNumber, backLightOn, ok ? kSuccess : kFailure);
            return ok;
        }
        // The other rows of this model go through the extension command.
        notice("\nPALDEN not support, only row 5 and 7! ");
    }

    if (rowNumber < 1 || rowNumber > 7) {
        logCall("\tParameter RowNumber over the range (1-7).");
        return false;
    }
    if (backLightOn > 1) {
        logCall("\tParameter BackLightOn over the range (0-1).");
        return false;
    }
    const Line text(kKeyPadBackLight.result, rowNumber, backLightOn);
    return report(kKeyPadBackLight, text.text,
                  transact(kKeyPadBackLight, {.request = {u32(backLightOn + 10u * rowNumber)}}));
}

bool FtmChannel::getSliderState(unsigned char* sState, unsigned char modelHint) {
    logCall("PX_GetSliderState() start");
    unsigned int phoneModel = modelHint;
    if ((modelHint < 52 || modelHint > 55) && !phoneModelStep(phoneModel)) return false;

    logCall("%s", kSliderState.call);
    // A failed or short exchange pops nothing: the raw state stays 0.
    std::uint16_t raw = 0;
    const bool ok = report(kSliderState, kSliderState.call, transact(kSliderState, {.reply = {pop(&raw)}}));

    if (const SliderMap* map = sliderMapOf(phoneModel)) {
        if (sState) *sState = map->state[raw < 4 ? raw : 4];
        return ok;
    }
    logCall("\tKAVOR_FTM_GetSliderState(sState = %c)", sState ? *sState : ' ');
    return false;
}

} // namespace kavor
