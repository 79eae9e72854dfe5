/* Typed factory-test-mode audio commands of the DSP and the speaker
 * amplifier: DSP loopback, noise suppressor, capture with transfer and the
 * power-management chip's speaker configuration. Each takes the handle first
 * and returns non-zero on success. */
#ifndef QMSL_AUDIO_EXTRA_H
#define QMSL_AUDIO_EXTRA_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Loops the samples through the DSP back to the speaker (bLoopbackOn != 0) or stops. */
QMSL_API unsigned char QLIB_FTM_AUDIO_DSP_LOOPBACK(QmslHandle handle, unsigned char bLoopbackOn);
QMSL_API unsigned char QLIB_FTM_AUDIO_NS_CONTROL(QmslHandle handle, unsigned char iNoiseSuppressorOn);
/* Captures iNumSamples samples after iDelay_ms and transfers them to the
 * target (a 32-bit argument of the caller, passed through) in pieces of
 * iDataTransferSize bytes, as a WAV file when bCreateWAVformat is non-zero. */
QMSL_API unsigned char QLIB_FTM_AUDIO_CapturePCMandTransferData(QmslHandle handle, unsigned short iNumSamples,
                                                               unsigned short iDelay_ms, unsigned int iTarget,
                                                               unsigned short iDataTransferSize,
                                                               unsigned char bCreateWAVformat);
QMSL_API unsigned char QLIB_FTM_PMIC_SPKR_CONFIG(QmslHandle handle, unsigned char iSpeakerCMD,
                                                unsigned char iSpeakerGain, unsigned char iSpeakerDelay);

#ifdef __cplusplus
}
#endif

#endif
