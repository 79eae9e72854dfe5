// The IrDA test frame, its frame check sequence and the check of an echo.
#include "TesselIrda.h"

#include <array>

namespace {

constexpr unsigned char kXbof = 0xFF, kBof = 0xC0, kEof = 0xC1;
constexpr unsigned char kPayloadPair[2] = {0xFF, 0x11};
constexpr int kPayloadLength = 256;

// The FCS-16 lookup table of the reflected polynomial 0x8408.
constexpr std::array<unsigned short, 256> makeFcsTable() {
    std::array<unsigned short, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned v = b;
        for (int i = 0; i < 8; ++i) v = (v & 1) ? (v >> 1) ^ 0x8408 : v >> 1;
        table[b] = static_cast<unsigned short>(v);
    }
    return table;
}
constexpr std::array<unsigned short, 256> kFcsTable = makeFcsTable();

// The frame from the BOF on, as it must come back.
void fillFromBof(unsigned char* pucFrame) {
    pucFrame[0] = kBof;
    for (int i = 0; i < kPayloadLength; ++i) pucFrame[1 + i] = kPayloadPair[i % 2];
    const unsigned short usFcs = static_cast<unsigned short>(~L2_CalcCrc16(pucFrame + 1, kPayloadLength));
    pucFrame[1 + kPayloadLength] = static_cast<unsigned char>(usFcs & 0xFF);
    pucFrame[2 + kPayloadLength] = static_cast<unsigned char>(usFcs >> 8);
    pucFrame[3 + kPayloadLength] = kEof;
}

} // namespace

unsigned short L2_CalcCrc16(const unsigned char* pucData, int iLength) {
    unsigned short usFcs = 0xFFFF;
    for (int i = 0; i < iLength; ++i) usFcs = static_cast<unsigned short>((usFcs >> 8) ^ kFcsTable[(usFcs ^ pucData[i]) & 0xFF]);
    return usFcs;
}

int L2_CreateTestLoopData(unsigned char* pucFrame, int* piLength) {
    for (int i = 0; i < IRDA_XBOF_COUNT; ++i) pucFrame[i] = kXbof;
    fillFromBof(pucFrame + IRDA_XBOF_COUNT);
    *piLength = IRDA_FRAME_LENGTH;
    return 1;
}

int L2_IrdaAnalyseReceivedFrame(const unsigned char* pucReceived, int iLength) {
    if (!pucReceived || iLength < IRDA_FRAME_FROM_BOF) return 0;
    unsigned char ucExpected[IRDA_FRAME_FROM_BOF];
    fillFromBof(ucExpected);
    for (int i = 0; i < IRDA_FRAME_FROM_BOF; ++i)
        if (pucReceived[i] != ucExpected[i]) return 0;
    return 1;
}
