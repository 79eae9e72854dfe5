/* Typed factory-test-mode audio commands: audio path, loopback, volume,
 * tones and the capture of microphone samples (PCM). Each takes the handle
 * first and returns non-zero on success. */
#ifndef QMSL_AUDIO_H
#define QMSL_AUDIO_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Selects the audio device (handset, headset, ...) the following commands use. */
QMSL_API unsigned char QLIB_FTM_AUDIO_SET_PATH(QmslHandle handle, unsigned short iAudioDevice);
/* Loops the microphone's samples back to the speaker (bLoopbackOn != 0) or stops. */
QMSL_API unsigned char QLIB_FTM_AUDIO_PCM_LOOPBACK(QmslHandle handle, unsigned char bLoopbackOn);
QMSL_API unsigned char QLIB_FTM_AUDIO_SET_VOLUME(QmslHandle handle, unsigned char iVolume);
/* Plays a dual tone of two frequencies in Hz; iMethod 0 is the voice path. */
QMSL_API unsigned char QLIB_FTM_AUDIO_TONES_PLAY(QmslHandle handle, unsigned short iHiFreq, unsigned short iLoFreq,
                                                unsigned short iMethod);
QMSL_API unsigned char QLIB_FTM_AUDIO_TONES_STOP(QmslHandle handle);
/* Starts capturing iNumBuffers buffers of microphone samples after iDelay_ms. */
QMSL_API unsigned char QLIB_FTM_AUDIO_PCM_CAPTURE(QmslHandle handle, unsigned short iNumBuffers,
                                                 unsigned short iDelay_ms);
/* Copies iDataSize bytes of the captured samples, from byte iDataOffset on,
 * into pBuffer (which must hold iDataSize bytes). */
QMSL_API unsigned char QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(QmslHandle handle, unsigned int iDataOffset,
                                                          unsigned short iDataSize, unsigned char* pBuffer);
QMSL_API unsigned char QLIB_FTM_AUDIO_PCM_STOP_CAPTURE(QmslHandle handle);
/* Adjusts the gain of the codec's transmit (microphone) path. */
QMSL_API unsigned char QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST(QmslHandle handle, short iCodecTxGainAdjust);

#ifdef __cplusplus
}
#endif

#endif
