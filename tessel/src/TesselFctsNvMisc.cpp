// NV items of the factory data, the network selection and a few single
// settings (VCO, microphone gain, IQ line), and the batched NV writes.
#include "TesselEnum.h"
#include "TesselFctsNv.h"
#include "qmsl_nv_batch.h"

#include <cstring>

namespace {

using namespace nv;

constexpr unsigned short kNvFactoryData = 2497;
constexpr unsigned short kNvLastGoodChannel = 1894;
constexpr unsigned short kNvNetworkInfo = 945;
constexpr unsigned short kNvRoamingList = 256;
constexpr unsigned short kNvRoamingPref = 1190;
constexpr unsigned short kNvVcoTuning = 931;
constexpr unsigned short kNvIqLineResistor = 1792;
constexpr unsigned short kNvMicGain = 2827;
constexpr unsigned short kNvDefaultVco = 1882;
constexpr unsigned short kNvDefaultVcoSlope = 1883;

// The network scan modes: the bytes of items 10, 441 and 848.
struct ScanMode {
    int eMode;
    std::vector<unsigned char> v10, v441, v848;
};
const ScanMode kScanModes[] = {
    {0, {0x00, 0x04}, {0x00, 0xFF, 0xFF}, {0x00, 0x02}}, {2, {0x00, 0x0D}, {0x00, 0x00, 0x01}, {0x00, 0x01}},
    {3, {0x00, 0x0D}, {0x00, 0x80, 0x00}, {0x00, 0x01}}, {4, {0x00, 0x0D}, {0x00, 0x04, 0x00}, {0x00, 0x01}},
    {5, {0x00, 0x0E}, {0x00, 0x01, 0x00}, {0x00, 0x00}},
};

// The last good channel: whether the image carries the channel, and its
// fourth byte.
struct ChannelMode {
    int eMode;
    bool bChannel;
    unsigned char ucLast;
};
constexpr ChannelMode kChannelModes[] = {{0, false, 0}, {2, true, 0}, {3, true, 3}, {4, true, 2}, {5, false, 0}};

// The factory-data slice must lie inside the image; the sum is an int, so
// it cannot wrap past the bound.
bool sliceFits(int iStart, int iLength) { return iStart < TESSEL_NV_IMAGE_LENGTH && iStart + iLength <= TESSEL_NV_IMAGE_LENGTH; }

std::vector<unsigned char> zeros(int iLength) { return std::vector<unsigned char>(static_cast<std::size_t>(iLength)); }

} // namespace

int _Tessel_NvReadFactNBytes(int iSession, unsigned char iStart, unsigned char iLength, unsigned char* pData,
                             const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pData != nullptr || iLength == 0,
                       format("iStart=%d, iLength=%d", iStart, iLength), [&](const Call& call) {
                           if (!sliceFits(iStart, iLength)) return TESSEL_ERROR_LIBRARY;
                           return call.run({read(kNvFactoryData, TESSEL_NV_IMAGE_LENGTH,
                                                 [&](const unsigned char* p) {
                                                     if (iLength) std::memcpy(pData, p + iStart, iLength);
                                                 })},
                                           OnFailure::Stop);
                       });
}

int _Tessel_NvWriteFactNBytes(int iSession, unsigned char iStart, unsigned char iLength, const unsigned char* pData,
                              const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pData != nullptr || iLength == 0,
                       format("iStart=%d, iLength=%d", iStart, iLength), [&](const Call& call) {
                           if (!sliceFits(iStart, iLength)) return TESSEL_ERROR_LIBRARY;
                           std::vector<unsigned char> vImage = zeros(TESSEL_NV_IMAGE_LENGTH);
                           if (call.run({readInto(kNvFactoryData, TESSEL_NV_IMAGE_LENGTH, vImage.data())},
                                        OnFailure::Stop))
                               return TESSEL_ERROR_LIBRARY;
                           if (iLength) std::memcpy(vImage.data() + iStart, pData, iLength);
                           return call.run({write(kNvFactoryData, vImage)}, OnFailure::GoOn);
                       });
}

int _Tessel_NvWriteNetworkScanMode(int iSession, int eMode, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("eMode=%d", eMode), [&](const Call& call) {
        for (const ScanMode& m : kScanModes)
            if (m.eMode == eMode) return call.run({write(10, m.v10), write(441, m.v441), write(848, m.v848)}, OnFailure::GoOn);
        return TESSEL_ERROR_LIBRARY;
    });
}

int _Tessel_NvWriteLastGoodChannel(int iSession, int eMode, unsigned short uiChannel, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("eMode=%d, uiChannel=%d", eMode, uiChannel),
                       [&](const Call& call) {
                           for (const ChannelMode& m : kChannelModes) {
                               if (m.eMode != eMode) continue;
                               std::vector<unsigned char> vImage = zeros(TESSEL_NV_IMAGE_LENGTH);
                               if (m.bChannel) {
                                   vImage[0] = 0x01;
                                   vImage[1] = static_cast<unsigned char>(uiChannel & 0xFF);
                                   vImage[2] = static_cast<unsigned char>(uiChannel >> 8);
                                   vImage[3] = m.ucLast;
                               }
                               return call.run({write(kNvLastGoodChannel, vImage)}, OnFailure::GoOn);
                           }
                           return TESSEL_ERROR_LIBRARY;
                       });
}

int _Tessel_NvDeleteNetworkInformation(int iSession, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, "", [&](const Call& call) {
        return call.run({write(kNvNetworkInfo, zeros(TESSEL_NV_IMAGE_LENGTH))}, OnFailure::GoOn);
    });
}

int _Tessel_NvSetRoamingListStatus(int iSession, unsigned short bActivateRl, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("bActivateRl=%d", bActivateRl),
                       [&](const Call& call) {
                           const unsigned char ucOn = bActivateRl == 1 ? 1 : 0;
                           return call.run({write(kNvRoamingList, {0x00, ucOn}), write(kNvRoamingPref, {0x80, 0x00})},
                                           OnFailure::GoOn);
                       });
}

int _Tessel_NvResetVcoTuningTable(int iSession, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, "",
                       [&](const Call& call) { return call.run({write(kNvVcoTuning, zeros(16))}, OnFailure::GoOn); });
}

int _Tessel_NvResetIqLineResistorCal(int iSession, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, "",
                       [&](const Call& call) { return call.run({writeU8(kNvIqLineResistor, 0)}, OnFailure::GoOn); });
}

int _Tessel_NvWriteMicGainAdjust(int iSession, short iGain, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("iGain=%d", iGain), [&](const Call& call) {
        return call.run({writeI16(kNvMicGain, iGain)}, OnFailure::GoOn);
    });
}

int _Tessel_NvWriteVcoValues(int iSession, short iDefaultVco, short iDefaultVcoSlope, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true,
                       format("iDefaultVco=%d, iDefaultVcoSlope=%d", iDefaultVco, iDefaultVcoSlope),
                       [&](const Call& call) {
                           return call.run({writeI16(kNvDefaultVco, iDefaultVco),
                                            writeI16(kNvDefaultVcoSlope, iDefaultVcoSlope)},
                                           OnFailure::GoOn);
                       });
}

int _Tessel_SetDefaultVco(int iSession, int iBand, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("iBand=%d", iBand), [&](const Call& call) {
        if (iBand < 1 || iBand > 4) return TESSEL_ERROR_LIBRARY;
        short sVco = 0;
        if (call.run({readI16(kNvDefaultVco, &sVco)}, OnFailure::Stop)) return TESSEL_ERROR_LIBRARY;
        return _Tessel_FtmSetPdmSigned(call.iSession, iBand == 4 ? 4 : 0, sVco, "TesselFctsNv", __LINE__) == 0
                   ? 0
                   : TESSEL_ERROR_LIBRARY;
    });
}

int _Tessel_DiagNvWriteSetBatchMode(int iSession, unsigned short bStartBatchMode, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("bStartBatchMode=%d", bStartBatchMode),
                       [&](const Call& call) {
                           return QLIB_DIAG_NV_WRITE_SetBatchMode(call.rec.hHandle,
                                                                  static_cast<unsigned char>(bStartBatchMode & 0xFF))
                                      ? 0
                                      : TESSEL_ERROR_LIBRARY;
                       });
}

int _Tessel_DiagNvWriteFlushBatchQueue(int iSession, const char* cFile, int iLine) {
    unsigned short usLastErrorNvId = 0;
    unsigned short usTotalStatus = 0;
    unsigned char ucLastItemStatus = 0;
    return exportFrame(
        iSession, __func__, cFile, iLine, true, "",
        [&](const Call& call) {
            if (!QLIB_DIAG_NV_WRITE_FlushBatchQueue(call.rec.hHandle, &usLastErrorNvId, &usTotalStatus,
                                                    &ucLastItemStatus))
                return TESSEL_ERROR_LIBRARY;
            return usTotalStatus == 0 ? 0 : TESSEL_ERROR_LIBRARY;
        },
        [&] {
            return format("_iTotalStatus=%d, _iLastErrorNvId=%d, _iLastItemStatus=%d(%s)", usTotalStatus,
                          usLastErrorNvId, ucLastItemStatus, Get_cNvStat(ucLastItemStatus));
        });
}
