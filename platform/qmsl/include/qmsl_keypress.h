/* The phone's key presses through the diagnostic interface: the key map
 * (hardware key code to software key id) the phone uses to report keys, the
 * detection of key-up and key-down messages, and the queue of captured key
 * events. */
#ifndef QMSL_KEYPRESS_H
#define QMSL_KEYPRESS_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Empties the key map. */
QMSL_API unsigned char QLIB_DIAG_KeyPress_ClearMap(QmslHandle handle);
/* Appends one entry to the key map. */
QMSL_API unsigned char QLIB_DIAG_KeyPress_AddMapEntry(QmslHandle handle, unsigned short iHW_ID,
                                                      unsigned char iKeyPressSW_ID);
/* Sets the texts of the phone's key-up and key-down messages, the subsystem
 * id that sends them and the real-time mask of the message filter. */
QMSL_API unsigned char QLIB_DIAG_KeyPress_ConfigureKeyDetect(QmslHandle handle, const char* sKeyUpString,
                                                             const char* sKeyDownString, unsigned short iSSID,
                                                             unsigned int iRT_MASK);
/* Capture of key events into the queue: start, stop, and emptying it. */
QMSL_API unsigned char QLIB_DIAG_KeyPress_StartCapture(QmslHandle handle);
QMSL_API unsigned char QLIB_DIAG_KeyPress_StopCapture(QmslHandle handle);
QMSL_API unsigned char QLIB_DIAG_KeyPress_ClearQueue(QmslHandle handle);
/* Number of key events waiting in the queue. */
QMSL_API unsigned char QLIB_DIAG_KeyPress_GetQueueSize(QmslHandle handle, int* piKeypressQueueSize);
/* Takes the oldest key event: the software key id and the event (1 key
 * down, 0 key up). Fails when the queue is empty. */
QMSL_API unsigned char QLIB_DIAG_KeyPress_GetNextKeyEvent(QmslHandle handle, unsigned short* piKeyPressID,
                                                          unsigned char* piKeyPressEvent);

#ifdef __cplusplus
}
#endif

#endif
