/* Typed factory-test-mode Bluetooth and audio commands: the module's
 * address, carrier and HCI packets; the audio path, volume, loopback, tones
 * and the capture of microphone samples (PCM). Each takes the handle first
 * and returns non-zero on success. */
#ifndef QMSL_BT_AUDIO_CALLS_H
#define QMSL_BT_AUDIO_CALLS_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Size of a Bluetooth device address. */
#define QMSL_BT_ADDRESS_SIZE 6

/* Switches the Bluetooth module on for the FTM commands. */
QMSL_API unsigned char QLIB_FTM_BT_Enable_Bluetooth(QmslHandle handle);
/* Transmits an unmodulated carrier on a Bluetooth channel (0..78). */
QMSL_API unsigned char QLIB_FTM_BT_SetCW(QmslHandle handle, unsigned char iChannel);
/* Sets the module's device address: QMSL_BT_ADDRESS_SIZE bytes, least
 * significant byte first. */
QMSL_API unsigned char QLIB_FTM_BT_SetAddr(QmslHandle handle, const unsigned char* piAddr);
/* Sends one HCI command packet of iLength bytes to the module. */
QMSL_API unsigned char QLIB_FTM_BT_HCI_USER_CMD(QmslHandle handle, const unsigned char* pBuffer,
                                               unsigned char iLength);

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
