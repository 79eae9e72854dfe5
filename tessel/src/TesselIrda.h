// The IrDA loop test's steps: the test frame and its FCS, the check of a
// received frame (plain functions), and the PC port that carries the frames
// to the phone's infrared port and back.
#pragma once

#include "win_serial.h"

// The SIR frame: 10 XBOFs (0xFF), the BOF (0xC0), 128 pairs 0xFF 0x11, the
// complemented FCS-16 of the 256 payload bytes low byte first, the EOF
// (0xC1).
constexpr int IRDA_FRAME_LENGTH = 270;
constexpr int IRDA_XBOF_COUNT = 10;
constexpr int IRDA_FRAME_FROM_BOF = IRDA_FRAME_LENGTH - IRDA_XBOF_COUNT;  // 260
constexpr int IRDA_BUFFER_SIZE = 301;  // frame and receive buffers
constexpr int IRDA_ERROR_TEXT_MAX = 128;

// The FCS-16 register over a byte range (table-driven, reflected polynomial
// 0x8408, initial value 0xFFFF), not complemented: the frame carries its
// complement.
unsigned short L2_CalcCrc16(const unsigned char* pucData, int iLength);
// Builds the frame at pucFrame (room for IRDA_FRAME_LENGTH bytes); its length
// goes to *piLength. Answers 1.
int L2_CreateTestLoopData(unsigned char* pucFrame, int* piLength);
// Checks a received frame from its BOF on; iLength bytes were received.
// 1 when the 260 bytes from the BOF to the EOF are those of the test frame,
// else 0 (also when fewer were received).
int L2_IrdaAnalyseReceivedFrame(const unsigned char* pucReceived, int iLength);

// Opens "COMn" and sets it up for the transceiver; the handle goes to
// *phPort (0 on failure). A failure after the open closes the port again.
// 1 on success, else 0 with the reason in cErrText (IRDA_ERROR_TEXT_MAX).
int L2_InitIrda(unsigned char iIrdaPort, HANDLE* phPort, char* cErrText);
// Drops DTR and RTS and closes the port; 0 for a handle of 0 or a failed
// close ("Could not close port.").
int L2_DeInitIrda(HANDLE hPort, char* cErrText);
// Sends iTestFrames frames one after the other and checks each echo; the
// last frame decides (1 when none is sent). A failed exchange ends the loop
// with 0.
int L2_TestIrda(int iSession, HANDLE hPort, unsigned int iTestFrames, char* cErrText);
// One exchange: sends the frame and reads its echo into pucReceived (room
// for IRDA_BUFFER_SIZE bytes) from the BOF on; *piReceived counts the bytes
// held. 0 when it could not be sent or the echo did not come in time.
int L2_IrdaSendAndReceiveTestFrame(int iSession, HANDLE hPort, const unsigned char* pucFrame, int iLength,
                                   unsigned char* pucReceived, int* piReceived, char* cErrText);
