// Network presets of a test station: the network scan mode, the last good
// channel, the roaming list and auto answer, as NV items written from tables.
#include "InternalExports.h"
#include "ProcedureSteps.h"

#include <cinttypes>
#include <cstdint>

namespace kavor {

namespace {

constexpr unsigned short kNvModePreference = 10;
constexpr unsigned short kNvAutoAnswer = 74;
constexpr unsigned short kNvRoamingList = 256;
constexpr unsigned short kNvBandPreference = 441;
constexpr unsigned short kNvAcquisitionPreference = 848;
constexpr unsigned short kNvClearedByPreselection = 945;
constexpr unsigned short kNvRoamingCompanion = 1190; // written with the roaming list
constexpr unsigned short kNvLastGoodChannel = 1894;
constexpr int kRecordLength = 128;

// The three items of one network scan mode, written in this order.
struct ScanMode {
    unsigned char ucMode;
    unsigned char abModePreference[2];        // NV 10
    unsigned char abBandPreference[3];        // NV 441
    unsigned char abAcquisitionPreference[2]; // NV 848
};
constexpr ScanMode kScanModes[] = {
    {0, {0x00, 0x04}, {0x00, 0xFF, 0xFF}, {0x00, 0x02}}, {2, {0x00, 0x0D}, {0x00, 0x00, 0x01}, {0x00, 0x01}},
    {3, {0x00, 0x0D}, {0x00, 0x80, 0x00}, {0x00, 0x01}}, {4, {0x00, 0x0D}, {0x00, 0x04, 0x00}, {0x00, 0x01}},
    {5, {0x00, 0x0E}, {0x00, 0x01, 0x00}, {0x00, 0x02}},
};

// The last-good-channel record of a network mode: whether the record holds
// the channel, and its byte 3.
struct ChannelRecord {
    unsigned char ucMode;
    bool bHoldsChannel;
    unsigned char ucByte3;
};
constexpr ChannelRecord kChannelRecords[] = {
    {0, false, 0}, {2, true, 0x00}, {3, true, 0x03}, {4, true, 0x02}, {5, false, 0},
};

} // namespace

bool TestProcedures::networkAndChannelPreselection(unsigned char eScanMode, unsigned char eNetwMode,
                                                   unsigned short uiChannel) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const unsigned char abZeros[kRecordLength] = {};
    return runSteps(
        *this,
        {
            {"KAVOR_DIAG_NV_WRITE_F",
             [&] { return KAVOR_DIAG_NV_WRITE_F(h, kNvClearedByPreselection, abZeros, kRecordLength) != 0; },
             [&] {
                 return stepText("KAVOR_DIAG_NV_WRITE_F(iItemID = %d, pItemData = 0x%" PRIxPTR ", iLength = 128)",
                                 kNvClearedByPreselection, reinterpret_cast<std::uintptr_t>(abZeros));
             }},
            {"KAVOR_NV_WRITE_NETWORK_SCAN_MODE", [&] { return KAVOR_NV_WRITE_NETWORK_SCAN_MODE(h, eScanMode) != 0; },
             [&] { return stepText("KAVOR_NV_WRITE_NETWORK_SCAN_MODE(eNetwMode = %c)", eScanMode); }},
            {"KAVOR_NV_WRITE_LAST_GOOD_CHANNEL",
             [&] { return KAVOR_NV_WRITE_LAST_GOOD_CHANNEL(h, eNetwMode, uiChannel) != 0; },
             [&] {
                 return stepText("KAVOR_NV_WRITE_LAST_GOOD_CHANNEL(eNetwMode = %c, uiChannel = %d)", eNetwMode,
                                 uiChannel);
             }},
        });
}

bool TestProcedures::nvWriteNetworkScanMode(unsigned char eNetwMode) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    for (const ScanMode& m : kScanModes) {
        if (m.ucMode != eNetwMode) continue;
        return runSteps(*this, {nvWriteStep(handle_, kNvModePreference, m.abModePreference, 2),
                                nvWriteStep(handle_, kNvBandPreference, m.abBandPreference, 3),
                                nvWriteStep(handle_, kNvAcquisitionPreference, m.abAcquisitionPreference, 2)});
    }
    // Scan modes without a row (1, above 5) keep the phone's settings.
    return true;
}

bool TestProcedures::nvWriteLastGoodChannel(unsigned char eNetwMode, unsigned short uiChannel) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    for (const ChannelRecord& r : kChannelRecords) {
        if (r.ucMode != eNetwMode) continue;
        unsigned char abRecord[kRecordLength] = {};
        if (r.bHoldsChannel) {
            abRecord[0] = 0x01;
            abRecord[1] = static_cast<unsigned char>(uiChannel & 0xFF);
            abRecord[2] = static_cast<unsigned char>(uiChannel >> 8);
            abRecord[3] = r.ucByte3;
        }
        return runStep(*this, nvWriteStep(handle_, kNvLastGoodChannel, abRecord, kRecordLength));
    }
    // Network modes without a record (1, above 5): nothing is written.
    return false;
}

bool TestProcedures::nvSetRoamingListStatus(unsigned char bOn) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const unsigned char abRoaming[2] = {0, static_cast<unsigned char>(bOn == 1 ? 1 : 0)};
    const unsigned char abCompanion[2] = {0x80, 0x00};
    return runSteps(*this, {nvWriteStep(handle_, kNvRoamingList, abRoaming, 2),
                            nvWriteStep(handle_, kNvRoamingCompanion, abCompanion, 2)});
}

bool TestProcedures::nvSetAutoAnswerStatus(unsigned char bOn) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const unsigned char ucAutoAnswer = bOn == 1 ? 1 : 0;
    return runStep(*this, nvWriteStep(handle_, kNvAutoAnswer, &ucAutoAnswer, 1));
}

} // namespace kavor
