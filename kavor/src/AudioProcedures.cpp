// Audio procedures: the microphone-bias check, the loopback test, the
// speaker tones and the microphone capture.
#include "ProcedureSteps.h"

#include "InternalExports.h"
#include "qmsl_audio.h"

namespace kavor {

namespace {

// Only the headset device has its bias voltages checked by the phone.
constexpr unsigned short kMicBiasDevice = 15;
// Extension-FTM header (group 0x8001, command 1136, data length 14, reply
// size 14), then the data 00 0B 01 00.
constexpr unsigned char kMicBiasRequest[] = {0x4B, 0x0B, 0x01, 0x80, 0x70, 0x04, 0x0E,
                                             0x00, 0x0E, 0x00, 0x00, 0x0B, 0x01, 0x00};
constexpr unsigned short kMicBiasReplySize = 14;
constexpr unsigned long kMicBiasTimeoutMs = 2000;
// The reply byte that carries the check's result (0 = in order).
constexpr unsigned short kMicBiasResultAt = 10;

constexpr unsigned short kCaptureDelayMs = 1000;
constexpr unsigned short kToneMethodVoice = 0;

} // namespace

Step micBiasStep(QmslHandle h, unsigned short iAudioDevice) {
    return step("KAVOR_MicrophoneBiasVoltages", [=] { return KAVOR_MicrophoneBiasVoltages(h, iAudioDevice) != 0; },
                "KAVOR_MicrophoneBiasVoltages(iAudioDevice = %d)", iAudioDevice);
}

bool TestProcedures::microphoneBiasVoltages(unsigned short iAudioDevice) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    if (!runStep(*this, step("QLIB_FTM_AUDIO_SET_PATH", [=] { return QLIB_FTM_AUDIO_SET_PATH(h, iAudioDevice) != 0; },
                             "QLIB_FTM_AUDIO_SET_PATH(iAudioDevice = %d)", iAudioDevice)))
        return false;
    if (iAudioDevice != kMicBiasDevice) return true;

    unsigned char cResponse[kMicBiasReplySize] = {};
    unsigned short iResponseSize = kMicBiasReplySize;
    const Step send{"QLIB_SendSync",
                    [&] {
                        return QLIB_SendSync(h, sizeof kMicBiasRequest, kMicBiasRequest, &iResponseSize, cResponse,
                                             kMicBiasTimeoutMs) != 0;
                    },
                    [&] {
                        return stepText("QLIB_SendSync(iRequestSize = %i, piRequestBytes = %s, piResponseSize = %d, "
                                        "iTimeout = 2000)",
                                        static_cast<int>(sizeof kMicBiasRequest),
                                        shownText(kMicBiasRequest, sizeof kMicBiasRequest).c_str(), iResponseSize);
                    }};
    if (!runStep(*this, send)) return false;
    // A reply too short to hold the result byte is no pass.
    if (iResponseSize <= kMicBiasResultAt) {
        logStep(StepFailed, "QLIB_SendSync <piResponseSize < 11>");
        return false;
    }
    if (cResponse[kMicBiasResultAt] != 0) {
        logStep(StepFailed, "QLIB_SendSync <cResponse[10] != 0>");
        return false;
    }
    return true;
}

bool TestProcedures::audioTest(unsigned short iAudioDevice, unsigned char bLoopbackOn) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(*this, {micBiasStep(h, iAudioDevice),
                            step("QLIB_FTM_AUDIO_PCM_LOOPBACK",
                                 [=] { return QLIB_FTM_AUDIO_PCM_LOOPBACK(h, bLoopbackOn) != 0; },
                                 "QLIB_FTM_AUDIO_PCM_LOOPBACK(bLoopbackOn = %c)", bLoopbackOn)});
}

bool TestProcedures::testSpeaker(unsigned short iAudioDevice, unsigned char iVolume, unsigned short iHiFreq,
                                 unsigned short iLoFreq) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(
        *this,
        {micBiasStep(h, iAudioDevice),
         step("QLIB_FTM_AUDIO_SET_VOLUME", [=] { return QLIB_FTM_AUDIO_SET_VOLUME(h, iVolume) != 0; },
              "QLIB_FTM_AUDIO_SET_VOLUME(iVolume = %c)", iVolume),
         step("QLIB_FTM_AUDIO_TONES_PLAY",
              [=] { return QLIB_FTM_AUDIO_TONES_PLAY(h, iHiFreq, iLoFreq, kToneMethodVoice) != 0; },
              "QLIB_FTM_AUDIO_TONES_PLAY(iHiFreq = %d, iLoFreq = %d, iMethod = %d)", iHiFreq, iLoFreq,
              kToneMethodVoice),
         step("QLIB_FTM_AUDIO_TONES_STOP", [=] { return QLIB_FTM_AUDIO_TONES_STOP(h) != 0; },
              "QLIB_FTM_AUDIO_TONES_STOP()")});
}

bool TestProcedures::testMicrophone(unsigned short iNumBuffers, unsigned int iDataOffset, unsigned short iDataSize,
                                    unsigned char* pBuffer, unsigned short iItemID, const unsigned char* pItemData,
                                    int iLength, short iCodecTxGainAdjust) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const std::size_t uItemShown = iLength > 0 ? static_cast<std::size_t>(iLength) : 0;
    return runSteps(
        *this,
        {step("QLIB_FTM_AUDIO_PCM_CAPTURE",
              [=] { return QLIB_FTM_AUDIO_PCM_CAPTURE(h, iNumBuffers, kCaptureDelayMs) != 0; },
              "QLIB_FTM_AUDIO_PCM_CAPTURE(iNumBuffers = %d, iDelay_ms = 1000)", iNumBuffers),
         {"QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA",
          [=] { return QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(h, iDataOffset, iDataSize, pBuffer) != 0; },
          [=] {
              return stepText("QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(iDataOffset = %d, iDataSize = %d, pBuffer = %s)",
                              static_cast<int>(iDataOffset), iDataSize, shownText(pBuffer, iDataSize).c_str());
          }},
         step("QLIB_FTM_AUDIO_PCM_STOP_CAPTURE", [=] { return QLIB_FTM_AUDIO_PCM_STOP_CAPTURE(h) != 0; },
              "QLIB_FTM_AUDIO_PCM_STOP_CAPTURE()"),
         step("KAVOR_DIAG_NV_WRITE_F", [=] { return KAVOR_DIAG_NV_WRITE_F(h, iItemID, pItemData, iLength) != 0; },
              "KAVOR_DIAG_NV_WRITE_F(iItemID = %d, pItemData = %s, iLength = %i)", iItemID,
              shownText(pItemData, uItemShown), iLength),
         step("QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST",
              [=] { return QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST(h, iCodecTxGainAdjust) != 0; },
              "QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST(iCodecTxGainAdjust = %d)", iCodecTxGainAdjust)});
}

} // namespace kavor
