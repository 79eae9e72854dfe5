// The PC port of the IrDA loop test: its set-up for the transceiver, the
// exchange of one frame with its echo, the loop over the frames and the
// release.
#include "TesselFcts.h"
#include "TesselIrda.h"
#include "win_serial_io.h"
#include "win_serial_setup.h"
#include "win_time.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kQueueSize = 2048;
constexpr DWORD kReadConstantMs = 250;  // a read waits this long for its first byte
constexpr DWORD kWriteConstantMs = 100;
constexpr DWORD kReceiveLimitMs = 499;  // for the XBOFs and for the frame, from the same start
constexpr std::size_t kTemporarySize = 300;
constexpr unsigned char kXbof = 0xFF, kBof = 0xC0;

void setText(char* cErrText, const char* cText) {
    std::snprintf(cErrText, IRDA_ERROR_TEXT_MAX, "%s", cText);
}

bool elapsed(DWORD dwStart) { return GetTickCount() - dwStart > kReceiveLimitMs; }

// Reads at most one byte into *pucByte (waiting up to the read constant for
// it); *piGot counts it. False when the port failed, which ends the wait as
// its time limit would: a failed read takes no time, so waiting on would
// never end.
bool readByte(HANDLE hPort, unsigned char* pucByte, int* piGot) {
    DWORD dwRead = 0;
    const bool bOk = ReadFile(hPort, pucByte, 1, &dwRead, nullptr) != FALSE;
    *piGot = static_cast<int>(dwRead);
    return bOk;
}

// Reads the echo from its BOF on into pucReceived; *piHeld counts the bytes
// held from the BOF. 0 when the BOF or the rest of the frame did not come
// in time.
int receiveEcho(int iSession, HANDLE hPort, int iLength, unsigned char* pucReceived, int* piHeld) {
    const DWORD dwStart = GetTickCount();
    long lXbofs = 0, lOthers = 0;
    *piHeld = 0;
    for (;;) {
        int iGot = 0;
        const bool bOk = readByte(hPort, pucReceived, &iGot);
        if (iGot == 1) {
            if (pucReceived[0] == kBof) break;
            ++(pucReceived[0] == kXbof ? lXbofs : lOthers);
        }
        if (!bOk || elapsed(dwStart)) {
            Tessel_TracePlain_m(iSession, " [XBOF Read Timeout.]");
            if (lOthers > 0) Tessel_TracePlain_m(iSession, " [%ld characters other than XBOF received.]", lOthers);
            Tessel_TracePlain_m(iSession, " [IRDA <<< %ld XBOF, %d bytes.]", lXbofs, 0);
            return 0;
        }
    }
    // The frame's bytes from the BOF, less the XBOFs that came short or
    // extra; never fewer than the frame from its BOF to its EOF, so extra
    // XBOFs cannot leave bytes of the check unread, and never more than the
    // buffer holds.
    const long lWanted = std::clamp<long>(iLength - lXbofs, IRDA_FRAME_FROM_BOF, IRDA_BUFFER_SIZE);
    int iResult = 1;
    int iHeld = 1;
    while (iHeld < lWanted) {
        int iGot = 0;
        const bool bOk = readByte(hPort, pucReceived + iHeld, &iGot);
        iHeld += iGot;
        if (iHeld < lWanted && (!bOk || elapsed(dwStart))) {
            Tessel_TracePlain_m(iSession, " [DATA Read Timeout.]");
            iResult = 0;
            break;
        }
    }
    *piHeld = iHeld;
    Tessel_TracePlain_m(iSession, " [IRDA <<< %ld XBOF, %d bytes.]", lXbofs, iHeld);
    return iResult;
}

} // namespace

int L2_InitIrda(unsigned char iIrdaPort, HANDLE* phPort, char* cErrText) {
    cErrText[0] = '\0';
    *phPort = nullptr;
    HANDLE hPort = WinSerial_OpenComPort(iIrdaPort);
    if (hPort == INVALID_HANDLE_VALUE) {
        setText(cErrText, "Could not open IrDA port.");
        return 0;
    }
    if (!SetupComm(hPort, kQueueSize, kQueueSize)) {
        setText(cErrText, "Could not set buffer size.");
        // Nothing else will close it: the test stops before its release.
        CloseHandle(hPort);
        return 0;
    }
    COMMPROP prop{};
    GetCommProperties(hPort, &prop);
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(hPort, &timeouts);
    timeouts = {MAXDWORD, MAXDWORD, kReadConstantMs, 0, kWriteConstantMs};
    SetCommTimeouts(hPort, &timeouts);
    DCB dcb{};
    GetCommState(hPort, &dcb);
    // 115200 8N1, binary, no flow control of any kind, DTR control enabled,
    // RTS control disabled.
    WinSerial_SetPlainLine(&dcb, CBR_115200, ONESTOPBIT, FALSE, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE);
    SetCommState(hPort, &dcb);
    Sleep(100);
    // The transceiver wakes on this sequence; a port without modem lines
    // (a pseudo-terminal) ignores it.
    EscapeCommFunction(hPort, SETRTS);
    EscapeCommFunction(hPort, SETDTR);
    EscapeCommFunction(hPort, CLRRTS);
    EscapeCommFunction(hPort, SETRTS);
    *phPort = hPort;
    return 1;
}

int L2_DeInitIrda(HANDLE hPort, char* cErrText) {
    cErrText[0] = '\0';
    if (!hPort) return 0;
    EscapeCommFunction(hPort, CLRDTR);
    EscapeCommFunction(hPort, CLRRTS);
    if (!CloseHandle(hPort)) {
        setText(cErrText, "Could not close port.");
        return 0;
    }
    return 1;
}

int L2_IrdaSendAndReceiveTestFrame(int iSession, HANDLE hPort, const unsigned char* pucFrame, int iLength,
                                   unsigned char* pucReceived, int* piReceived, char* cErrText) {
    int iResult = 1;
    *piReceived = 0;
    PurgeComm(hPort, PURGE_TXCLEAR | PURGE_RXCLEAR);
    auto* pucBlock = static_cast<unsigned char*>(std::malloc(kTemporarySize));
    if (!pucBlock) {
        setText(cErrText, "Could not allocate temporary buffer.");
        return 0;
    }
    std::memcpy(pucBlock, pucFrame, static_cast<std::size_t>(std::min<int>(iLength, kTemporarySize)));
    DWORD dwWritten = 0;
    if (!WriteFile(hPort, pucBlock, static_cast<DWORD>(iLength), &dwWritten, nullptr) ||
        dwWritten < static_cast<DWORD>(iLength)) {
        setText(cErrText, "Could not send IrDA test frame");
        iResult = 0;
    }
    Tessel_TracePlain_m(iSession, " [IRDA >>> %u bytes.]", dwWritten);
    FlushFileBuffers(hPort);
    std::free(pucBlock);
    if (iResult == 1) iResult = receiveEcho(iSession, hPort, iLength, pucReceived, piReceived);
    return iResult;
}

int L2_TestIrda(int iSession, HANDLE hPort, unsigned int iTestFrames, char* cErrText) {
    int iResult = 1;
    cErrText[0] = '\0';
    if (!hPort) return 0;
    unsigned char ucFrame[IRDA_BUFFER_SIZE] = {};
    unsigned char ucReceived[IRDA_BUFFER_SIZE] = {};
    int iLength = 0;
    L2_CreateTestLoopData(ucFrame, &iLength);
    PurgeComm(hPort, PURGE_TXCLEAR | PURGE_RXCLEAR);
    for (unsigned int i = 0; i < iTestFrames; ++i) {
        int iReceived = 0;
        if (!L2_IrdaSendAndReceiveTestFrame(iSession, hPort, ucFrame, iLength, ucReceived, &iReceived, cErrText)) {
            Tessel_TracePlain_m(iSession, " [IRDA <-> failed.]");
            iResult = 0;
            break;
        }
        // Only the last frame decides: a later match clears an earlier mismatch.
        if (L2_IrdaAnalyseReceivedFrame(ucReceived, iReceived)) {
            Tessel_TracePlain_m(iSession, " [IRDA <-> ok.]");
            iResult = 1;
        } else {
            Tessel_TracePlain_m(iSession, " [IRDA <-> No match.]");
            iResult = 0;
        }
        std::memset(ucReceived, 0, sizeof ucReceived);
    }
    return iResult;
}
