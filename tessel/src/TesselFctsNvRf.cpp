// NV items of the RF calibration of the WCDMA and GSM paths. The phone
// gives the tables their meaning; here they are opaque bytes of fixed
// lengths, and each operation is its band's row of items and a plan.
#include "TesselFctsNv.h"

#include <cmath>
#include <cstring>

namespace {

using namespace nv;

constexpr int kTable16 = 16;
constexpr int kTable32 = 32;
constexpr int kTxLinLength = 74;
constexpr int kTxLinShortLength = 64;

bool phoneTypeIs(const Call& call, std::initializer_list<int> types) {
    for (int t : types)
        if (call.rec.sPhoneType == t) return true;
    return false;
}

void traceTable(const unsigned char* pTable, const char* cName) {
    if (pTable && Mob_TraceOn_m()) Mob_TraceByteArray(kTable16, pTable, cName);
}

std::string bandArg(int eNvBand) { return format("eNvBand=%d", eNvBand); }

// Runs the plan of a band row; no row means no access.
template <int N, std::size_t M, typename Plan>
int forBand(const Call& call, const BandRow<N> (&rows)[M], int iCode, Plan plan) {
    const unsigned short* pItems = itemsFor(rows, iCode);
    if (!pItems) return TESSEL_ERROR_LIBRARY;
    return call.run(plan(pItems), OnFailure::GoOn);
}

constexpr BandRow<2> kVgaGain[] = {{4, {856, 857}}, {5, {1143, 1144}}, {6, {1814, 1815}}};
constexpr BandRow<6> kLnaOffset[] = {{4, {524, 525, 865, 867, 866, 868}},
                                     {5, {1168, 1169, 1152, 1154, 1153, 1155}},
                                     {6, {1839, 1840, 1823, 1825, 1824, 1826}}};
constexpr BandRow<3> kLnaRise[] = {{4, {519, 859, 860}}, {5, {1163, 1146, 1147}}, {6, {1834, 1817, 1818}}};
constexpr BandRow<3> kLnaFall[] = {{4, {520, 861, 862}}, {5, {1164, 1148, 1149}}, {6, {1835, 1819, 1820}}};
constexpr BandRow<2> kTxLin[] = {{4, {529, 530}}, {5, {1173, 1174}}, {6, {1844, 1845}}};
constexpr BandRow<1> kHdetVsAgc[] = {{4, {542}}, {5, {1186}}, {6, {1866}}};
constexpr BandRow<2> kHdetOfsSpn[] = {{4, {543, 544}}, {5, {1187, 1188}}, {6, {1867, 1868}}};
constexpr BandRow<1> kTxPdmLin[] = {{0, {3969}}, {3, {3972}}};
constexpr BandRow<1> kIm2Cal[] = {{2, {4176}}, {3, {4177}}};
constexpr BandRow<1> kTxRsbCal[] = {{2, {4180}}, {3, {4182}}};
constexpr BandRow<1> kOpll[] = {{0, {2776}}, {1, {2774}}, {2, {2775}}, {3, {2777}}};
constexpr BandRow<1> kPathDelay[] = {{0, {2772}}, {1, {2770}}, {2, {2771}}, {3, {2773}}};
constexpr BandRow<2> kTxCalPath0[] = {{0, {2651, 2652}}, {1, {2649, 2650}}, {2, {2653, 2654}}, {3, {2655, 2656}}};
constexpr BandRow<2> kTxCalPath1[] = {{0, {2659, 2660}}, {1, {2657, 2658}}, {2, {2661, 2662}}, {3, {2663, 2664}}};
constexpr BandRow<1> kAmam[] = {{0, {2747}}, {1, {2743}}, {2, {2745}}, {3, {2749}}};

constexpr unsigned short kNvTxCalChan = 1971;
constexpr unsigned short kNvGsmRxRelOffsets = 2499;
constexpr unsigned short kNvGsmTxCalData = 2500;
constexpr int kWcdmaBand = 4;  // the band of the items that exist once

// The HDET table covers 6.75..26.67 in steps of 1.328.
constexpr float kHdetPowerMin = 6.75f;
constexpr float kHdetPowerMax = 26.67f;
constexpr double kHdetStep = 1.328;

// Three 2-byte values of a band; cOut names them in the result line
// ("piRise" gives *piRise1=.., *piRise2=.., *piRise3=..).
int readThree(const char* cName, const char* cOut, int iSession, int eNvBand, short* p1, short* p2, short* p3,
              const BandRow<3> (&rows)[3], const char* cFile, int iLine) {
    return exportFrame(iSession, cName, cFile, iLine, p1 && p2 && p3, bandArg(eNvBand),
                       [&](const Call& call) {
                           return forBand(call, rows, eNvBand, [&](const unsigned short* it) {
                               return std::vector<Step>{readI16(it[0], p1), readI16(it[1], p2), readI16(it[2], p3)};
                           });
                       },
                       [&] { return format("*%s1=%d, *%s2=%d, *%s3=%d", cOut, *p1, cOut, *p2, cOut, *p3); });
}

} // namespace

int _Tessel_NvWriteWcdmaVgaGain(int iSession, int eNvBand, short iOffset, const unsigned char* pTable,
                                const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("eNvBand=%d, iOffset=%d", eNvBand, iOffset),
                       [&](const Call& call) {
                           traceTable(pTable, "NV_WCDMA_VGA_GAIN_OFFSET_VS_FREQ_I");
                           return forBand(call, kVgaGain, eNvBand, [&](const unsigned short* it) {
                               std::vector<Step> plan{writeI16(it[0], iOffset)};
                               addTable(plan, it[1], pTable, kTable16);
                               return plan;
                           });
                       });
}

int _Tessel_NvWriteWcdmaLnaOffset(int iSession, int eNvBand, short iOffset1, const unsigned char* pTable1,
                                  short iOffset2, const unsigned char* pTable2, short iOffset3,
                                  const unsigned char* pTable3, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true,
                       format("eNvBand=%d, iOffset1=%d, iOffset2=%d, iOffset3=%d", eNvBand, iOffset1, iOffset2,
                              iOffset3),
                       [&](const Call& call) {
                           return forBand(call, kLnaOffset, eNvBand, [&](const unsigned short* it) {
                               std::vector<Step> plan{writeI16(it[0], iOffset1)};
                               addTable(plan, it[1], pTable1, kTable16);
                               plan.push_back(writeI16(it[2], iOffset2));
                               addTable(plan, it[3], pTable2, kTable16);
                               plan.push_back(writeI16(it[4], iOffset3));
                               addTable(plan, it[5], pTable3, kTable16);
                               return plan;
                           });
                       });
}

int _Tessel_NvReadWcdmaLnaRangeRise(int iSession, int eNvBand, short* piRise1, short* piRise2, short* piRise3,
                                    const char* cFile, int iLine) {
    return readThree(__func__, "piRise", iSession, eNvBand, piRise1, piRise2, piRise3, kLnaRise, cFile, iLine);
}

int _Tessel_NvReadWcdmaLnaRangeFall(int iSession, int eNvBand, short* piFall1, short* piFall2, short* piFall3,
                                    const char* cFile, int iLine) {
    return readThree(__func__, "piFall", iSession, eNvBand, piFall1, piFall2, piFall3, kLnaFall, cFile, iLine);
}

int _Tessel_NvWriteTxLinMaster(int iSession, int eNvBand, const unsigned char* pTableA, const unsigned char* pTableB,
                               const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pTableA && pTableB, bandArg(eNvBand), [&](const Call& call) {
        if (eNvBand == kWcdmaBand && phoneTypeIs(call, {5, 7}))
            return call.run({writeBytes(529, pTableA, kTxLinShortLength), writeBytes(2010, pTableB, kTxLinShortLength)},
                            OnFailure::GoOn);
        return forBand(call, kTxLin, eNvBand, [&](const unsigned short* it) {
            return std::vector<Step>{writeBytes(it[0], pTableA, kTxLinLength), writeBytes(it[1], pTableB, kTxLinLength)};
        });
    });
}

int _Tessel_NvWriteTxVsFreq(int iSession, int eNvBand, const unsigned char* pTableA, const unsigned char* pTableB,
                            const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pTableA && pTableB, bandArg(eNvBand), [&](const Call& call) {
        if (eNvBand != kWcdmaBand) return TESSEL_ERROR_LIBRARY;
        const bool bType7 = phoneTypeIs(call, {7});
        return call.run({writeBytes(bType7 ? 531 : 2331, pTableB, kTable16),
                         writeBytes(bType7 ? 2012 : 2333, pTableA, kTable16)},
                        OnFailure::GoOn);
    });
}

int _Tessel_NvWriteTxVsFreqSelectBias(int iSession, int eNvBand, int eBiasState, const unsigned char* pTableA,
                                      const unsigned char* pTableB, const char* cFile, int iLine) {
    constexpr BandRow<2> kBias[] = {{0, {2330, 2332}}, {1, {2331, 2333}}};
    return exportFrame(iSession, __func__, cFile, iLine, pTableA && pTableB,
                       format("eNvBand=%d, eBiasState=%d", eNvBand, eBiasState), [&](const Call& call) {
                           if (eNvBand != kWcdmaBand) return TESSEL_ERROR_LIBRARY;
                           return forBand(call, kBias, eBiasState, [&](const unsigned short* it) {
                               return std::vector<Step>{writeBytes(it[0], pTableB, kTable16),
                                                        writeBytes(it[1], pTableA, kTable16)};
                           });
                       });
}

int _Tessel_NvReadWcdmaTxFreqCompAntRel(int iSession, int eNvBand, unsigned char* pTableA, unsigned char* pTableB,
                                        const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pTableA && pTableB, bandArg(eNvBand), [&](const Call& call) {
        if (eNvBand != kWcdmaBand) return TESSEL_ERROR_LIBRARY;
        return call.run({readInto(2330, kTable16, pTableA), readInto(2332, kTable16, pTableB)}, OnFailure::GoOn);
    });
}

int _Tessel_NvWriteWcdmaTxLimVsFreq(int iSession, int eNvBand, const unsigned char* pTableA,
                                    const unsigned char* pTableB, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pTableA && pTableB, bandArg(eNvBand), [&](const Call& call) {
        if (eNvBand != kWcdmaBand) return TESSEL_ERROR_LIBRARY;
        std::vector<Step> plan{writeBytes(540, pTableA, kTable32)};
        if (!phoneTypeIs(call, {7})) plan.push_back(writeBytes(3341, pTableB, kTable32));
        return call.run(plan, OnFailure::GoOn);
    });
}

int _Tessel_NvWritePaGainSlope(int iSession, const unsigned char* pTable802, const unsigned char* pTable803,
                               const unsigned char* pTable1094, const unsigned char* pTable1136, const char* cFile,
                               int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, "", [&](const Call& call) {
        std::vector<Step> plan;
        addTable(plan, 802, pTable802, 15);
        addTable(plan, 803, pTable803, 16);
        addTable(plan, 1094, pTable1094, 16);
        addTable(plan, 1136, pTable1136, 15);
        return call.run(plan, OnFailure::GoOn);
    });
}

int _Tessel_NvWriteHdetVsAgc(int iSession, int eNvBand, const unsigned char* pTable, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pTable != nullptr, bandArg(eNvBand), [&](const Call& call) {
        traceTable(pTable, "NV_WCDMA_EXP_HDET_VS_AGC");
        return forBand(call, kHdetVsAgc, eNvBand, [&](const unsigned short* it) {
            return std::vector<Step>{writeBytes(it[0], pTable, kTable16)};
        });
    });
}

int _Tessel_NvReadHdetForPower(int iSession, int eNvBand, float dPower, unsigned char* pbHdet, const char* cFile,
                               int iLine) {
    int iIndex = 0;
    return exportFrame(
        iSession, __func__, cFile, iLine, pbHdet != nullptr,
        format("eNvBand=%d, dPower=%4.1f", eNvBand, static_cast<double>(dPower)),
        [&](const Call& call) {
            // Compared as floats, so the bounds a caller writes are inside.
            if (!(dPower >= kHdetPowerMin && dPower <= kHdetPowerMax)) return TESSEL_ERROR_PARAMETER2;
            iIndex = static_cast<int>(std::lround((static_cast<double>(dPower) - kHdetPowerMin) / kHdetStep));
            iIndex = iIndex < 0 ? 0 : iIndex > kTable16 - 1 ? kTable16 - 1 : iIndex;
            return forBand(call, kHdetVsAgc, eNvBand, [&](const unsigned short* it) {
                return std::vector<Step>{read(it[0], kTable16, [&](const unsigned char* p) { *pbHdet = p[iIndex]; })};
            });
        },
        [&] { return format("iArrayIndex=%d, *pbHdet=%d", iIndex, *pbHdet); }, [&] { *pbHdet = 0; });
}

int _Tessel_NvWriteHdetOfsAndSpn(int iSession, int eNvBand, unsigned char Ofs, unsigned char Spn, const char* cFile,
                                 int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("eNvBand=%d, Ofs=%d, Spn=%d", eNvBand, Ofs, Spn),
                       [&](const Call& call) {
                           return forBand(call, kHdetOfsSpn, eNvBand, [&](const unsigned short* it) {
                               return std::vector<Step>{writeU8(it[0], Ofs), writeU8(it[1], Spn)};
                           });
                       });
}

int _Tessel_NvReadWcdmaTxCalChan(int iSession, unsigned char* pBuffer, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pBuffer != nullptr, "", [&](const Call& call) {
        return call.run({readInto(kNvTxCalChan, kTable32, pBuffer)}, OnFailure::GoOn);
    });
}

int _Tessel_NvReadWcdmaTxPdmLin(int iSession, int ePaRange, unsigned char* pBuffer, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pBuffer != nullptr, format("ePaRange=%d", ePaRange),
                       [&](const Call& call) {
                           return forBand(call, kTxPdmLin, ePaRange, [&](const unsigned short* it) {
                               return std::vector<Step>{readInto(it[0], 64, pBuffer)};
                           });
                       });
}

int _Tessel_NvReadWcdmaTxPaRangeThreshold(int iSession, int ePaRangeThreshold, short* piWcdmaRise, short* piWcdmaFall,
                                          const char* cFile, int iLine) {
    return exportFrame(
        iSession, __func__, cFile, iLine, piWcdmaRise && piWcdmaFall, format("ePaRangeThreshold=%d", ePaRangeThreshold),
        [&](const Call& call) {
            if (ePaRangeThreshold != 0) return TESSEL_ERROR_LIBRARY;
            return call.run({readI16(537, piWcdmaRise), readI16(538, piWcdmaFall)}, OnFailure::GoOn);
        },
        [&] { return format("*piWcdmaRise=%d, *piWcdmaFall=%d", *piWcdmaRise, *piWcdmaFall); });
}

int _Tessel_NvReadGsmRxRelOffsets(int iSession, unsigned char* pBuffer, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pBuffer != nullptr, "", [&](const Call& call) {
        return call.run({readInto(kNvGsmRxRelOffsets, TESSEL_NV_IMAGE_LENGTH, pBuffer)}, OnFailure::GoOn);
    });
}

int _Tessel_NvWriteGsmRxGainRange(int iSession, const unsigned char* pTable726, const unsigned char* pTable727,
                                  const unsigned char* pTable728, const unsigned char* pTable729,
                                  const unsigned char* pTable1058, const unsigned char* pTable1059,
                                  const unsigned char* pTable1060, const unsigned char* pTable1061,
                                  const unsigned char* pTable730, const unsigned char* pTable731,
                                  const unsigned char* pTable732, const unsigned char* pTable733,
                                  const unsigned char* pTable1102, const unsigned char* pTable1103,
                                  const unsigned char* pTable1104, const unsigned char* pTable1105, const char* cFile,
                                  int iLine) {
    struct Table {
        unsigned short usItem;
        const unsigned char* pTable;
        int iLength;
    };
    const Table tables[] = {{726, pTable726, 16},   {727, pTable727, 16},   {728, pTable728, 16},
                            {729, pTable729, 16},   {1058, pTable1058, 32}, {1059, pTable1059, 32},
                            {1060, pTable1060, 32}, {1061, pTable1061, 32}, {730, pTable730, 32},
                            {731, pTable731, 32},   {732, pTable732, 32},   {733, pTable733, 32},
                            {1102, pTable1102, 16}, {1103, pTable1103, 16}, {1104, pTable1104, 16},
                            {1105, pTable1105, 16}};
    return exportFrame(iSession, __func__, cFile, iLine, true, "", [&](const Call& call) {
        std::vector<Step> plan;
        for (const Table& t : tables) addTable(plan, t.usItem, t.pTable, t.iLength);
        return call.run(plan, OnFailure::GoOn);
    });
}

int _Tessel_NvWriteGsmTxCalData(int iSession, TESSEL_GsmTxCalData sTxCalData, const char* cFile, int iLine) {
    static_assert(sizeof(TESSEL_GsmTxCalData) == 58, "GSM TX calibration record");
    return exportFrame(iSession, __func__, cFile, iLine, true, "", [&](const Call& call) {
        std::vector<unsigned char> vImage(TESSEL_NV_IMAGE_LENGTH);
        if (call.run({readInto(kNvGsmTxCalData, TESSEL_NV_IMAGE_LENGTH, vImage.data())}, OnFailure::Stop))
            return TESSEL_ERROR_LIBRARY;
        std::memcpy(vImage.data(), sTxCalData.aBytes, sizeof sTxCalData.aBytes);
        return call.run({write(kNvGsmTxCalData, vImage)}, OnFailure::GoOn);
    });
}

int _Tessel_NvWriteGsmIm2CalData(int iSession, int eNvBand, TESSEL_GsmIm2CalData sIm2CalData, const char* cFile,
                                 int iLine) {
    static_assert(sizeof(TESSEL_GsmIm2CalData) == 14, "GSM IM2 calibration record");
    return exportFrame(iSession, __func__, cFile, iLine, true, bandArg(eNvBand), [&](const Call& call) {
        return forBand(call, kIm2Cal, eNvBand, [&](const unsigned short* it) {
            std::vector<unsigned char> vImage(TESSEL_NV_IMAGE_LENGTH);
            std::memcpy(vImage.data(), sIm2CalData.aBytes, sizeof sIm2CalData.aBytes);
            return std::vector<Step>{write(it[0], vImage)};
        });
    });
}

int _Tessel_NvWriteGsmTxRsbCalData(int iSession, int eNvBand, const unsigned char* pRsbData, const char* cFile,
                                   int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pRsbData != nullptr, bandArg(eNvBand), [&](const Call& call) {
        return forBand(call, kTxRsbCal, eNvBand,
                       [&](const unsigned short* it) { return std::vector<Step>{writeBytes(it[0], pRsbData, 2)}; });
    });
}

int _Tessel_NvWriteOpllBandwidthValue(int iSession, int eNvBand, unsigned char iOpllValue, const char* cFile,
                                      int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("eNvBand=%d, iOpllValue=%d", eNvBand, iOpllValue),
                       [&](const Call& call) {
                           return forBand(call, kOpll, eNvBand, [&](const unsigned short* it) {
                               return std::vector<Step>{writeU8(it[0], iOpllValue)};
                           });
                       });
}

int _Tessel_NvWriteGsmPathDelay(int iSession, int eNvBand, short iTimeDelay, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("eNvBand=%d, iTimeDelay=%d", eNvBand, iTimeDelay),
                       [&](const Call& call) {
                           return forBand(call, kPathDelay, eNvBand, [&](const unsigned short* it) {
                               return std::vector<Step>{writeI16(it[0], iTimeDelay)};
                           });
                       });
}

int _Tessel_NvWriteGsmTxCalPath(int iSession, int eNvBand, int iRange, short iRsb_A, short iRsb_B, const char* cFile,
                                int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true,
                       format("eNvBand=%d, iRange=%d, iRsb_A=%d, iRsb_B=%d", eNvBand, iRange, iRsb_A, iRsb_B),
                       [&](const Call& call) {
                           if (iRange != 0 && iRange != 1) return TESSEL_ERROR_LIBRARY;
                           return forBand(call, iRange == 0 ? kTxCalPath0 : kTxCalPath1, eNvBand,
                                          [&](const unsigned short* it) {
                                              return std::vector<Step>{
                                                  writeU8(it[0], static_cast<unsigned char>(iRsb_A & 0xFF)),
                                                  writeU8(it[1], static_cast<unsigned char>(iRsb_B & 0xFF))};
                                          });
                       });
}

int _Tessel_NvReadAMAMDynamicRange(int iSession, int eNvBand, int* piMaxPower, int* piMinPower, const char* cFile,
                                   int iLine) {
    auto le32 = [](const unsigned char* p) {
        return static_cast<int>(static_cast<unsigned>(p[0]) | static_cast<unsigned>(p[1]) << 8 |
                                static_cast<unsigned>(p[2]) << 16 | static_cast<unsigned>(p[3]) << 24);
    };
    return exportFrame(
        iSession, __func__, cFile, iLine, piMaxPower && piMinPower, bandArg(eNvBand),
        [&](const Call& call) {
            return forBand(call, kAmam, eNvBand, [&](const unsigned short* it) {
                return std::vector<Step>{read(it[0], 8, [&](const unsigned char* p) {
                    *piMaxPower = le32(p);
                    *piMinPower = le32(p + 4);
                })};
            });
        },
        [&] { return format("*piMaxPower=%d, *piMinPower=%d", *piMaxPower, *piMinPower); },
        [&] { *piMaxPower = *piMinPower = 0; });
}
