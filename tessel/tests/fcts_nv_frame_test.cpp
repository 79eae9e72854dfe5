// The frame every NV item operation shares: an unconnected session fails
// with no access, an invalid session number is returned untraced.
#include "TesselFctsNvFixture.h"

#include <functional>

namespace {

unsigned char buf[128];
short sh[3];
int in[2];
unsigned short us;
char text[32];

struct Op {
    const char* name;
    std::function<int(int)> call;
    friend void PrintTo(const Op& op, std::ostream* os) { *os << op.name; }
};
#define OP(name, ...) Op{#name, [](int s) { return name(s, __VA_ARGS__); }}

const Op kOps[] = {
    OP(_Tessel_NvReadImei, text, "f", 1),
    OP(_Tessel_NvWriteImei, "123456789012347", "f", 1),
    OP(_Tessel_NvReadBDAddr, text, "f", 1),
    OP(_Tessel_NvWriteBDAddr, text, "f", 1),
    OP(_Tessel_NvWriteRawBDAddr, buf, "f", 1),
    OP(_Tessel_NvReadDSN, buf, "f", 1),
    OP(_Tessel_NvWriteDSN, buf, "f", 1),
    OP(_Tessel_NvSetFtmFlag, 1, "f", 1),
    OP(_Tessel_NvSetBatteryFakeFlag, 1, "f", 1),
    OP(_Tessel_NvGetBatteryFakeFlag, &us, "f", 1),
    OP(_Tessel_NvSetAirSecurityFlag, 1, "f", 1),
    OP(_Tessel_NvGetAirSecurityFlag, &us, "f", 1),
    OP(_Tessel_NvSetAutoAnswerStatus, 1, "f", 1),
    OP(_Tessel_NvReadFactNBytes, 0, 4, buf, "f", 1),
    OP(_Tessel_NvWriteFactNBytes, 0, 4, buf, "f", 1),
    OP(_Tessel_NvWriteNetworkScanMode, 0, "f", 1),
    OP(_Tessel_NvWriteLastGoodChannel, 2, 1, "f", 1),
    OP(_Tessel_NvDeleteNetworkInformation, "f", 1),
    OP(_Tessel_NvSetRoamingListStatus, 1, "f", 1),
    OP(_Tessel_NvResetVcoTuningTable, "f", 1),
    OP(_Tessel_NvResetIqLineResistorCal, "f", 1),
    OP(_Tessel_NvWriteMicGainAdjust, 1, "f", 1),
    OP(_Tessel_NvWriteVcoValues, 1, 2, "f", 1),
    OP(_Tessel_SetDefaultVco, 1, "f", 1),
    OP(_Tessel_DiagNvWriteSetBatchMode, 1, "f", 1),
    OP(_Tessel_DiagNvWriteFlushBatchQueue, "f", 1),
    OP(_Tessel_NvWriteWcdmaVgaGain, 4, 1, buf, "f", 1),
    OP(_Tessel_NvWriteWcdmaLnaOffset, 4, 1, buf, 2, buf, 3, buf, "f", 1),
    OP(_Tessel_NvReadWcdmaLnaRangeRise, 4, &sh[0], &sh[1], &sh[2], "f", 1),
    OP(_Tessel_NvReadWcdmaLnaRangeFall, 4, &sh[0], &sh[1], &sh[2], "f", 1),
    OP(_Tessel_NvWriteTxLinMaster, 4, buf, buf, "f", 1),
    OP(_Tessel_NvWriteTxVsFreq, 4, buf, buf, "f", 1),
    OP(_Tessel_NvWriteTxVsFreqSelectBias, 4, 1, buf, buf, "f", 1),
    OP(_Tessel_NvReadWcdmaTxFreqCompAntRel, 4, buf, buf + 16, "f", 1),
    OP(_Tessel_NvWriteWcdmaTxLimVsFreq, 4, buf, buf, "f", 1),
    OP(_Tessel_NvWritePaGainSlope, buf, buf, buf, buf, "f", 1),
    OP(_Tessel_NvWriteHdetVsAgc, 4, buf, "f", 1),
    OP(_Tessel_NvReadHdetForPower, 4, 10.0f, buf, "f", 1),
    OP(_Tessel_NvWriteHdetOfsAndSpn, 4, 1, 2, "f", 1),
    OP(_Tessel_NvReadWcdmaTxCalChan, buf, "f", 1),
    OP(_Tessel_NvReadWcdmaTxPdmLin, 0, buf, "f", 1),
    OP(_Tessel_NvReadWcdmaTxPaRangeThreshold, 0, &sh[0], &sh[1], "f", 1),
    OP(_Tessel_NvReadGsmRxRelOffsets, buf, "f", 1),
    OP(_Tessel_NvWriteGsmRxGainRange, buf, buf, buf, buf, buf, buf, buf, buf, buf, buf, buf, buf, buf, buf, buf, buf,
       "f", 1),
    OP(_Tessel_NvWriteGsmTxCalData, TESSEL_GsmTxCalData{}, "f", 1),
    OP(_Tessel_NvWriteGsmIm2CalData, 2, TESSEL_GsmIm2CalData{}, "f", 1),
    OP(_Tessel_NvWriteGsmTxRsbCalData, 2, buf, "f", 1),
    OP(_Tessel_NvWriteOpllBandwidthValue, 0, 1, "f", 1),
    OP(_Tessel_NvWriteGsmPathDelay, 0, 1, "f", 1),
    OP(_Tessel_NvWriteGsmTxCalPath, 0, 0, 1, 2, "f", 1),
    OP(_Tessel_NvReadAMAMDynamicRange, 0, &in[0], &in[1], "f", 1),
};
#undef OP
static_assert(std::size(kOps) == 51, "one row per NV item operation");

class NvFrame : public TesselFcts, public ::testing::WithParamInterface<Op> {
protected:
    void SetUp() override {
        TesselFcts::SetUp();
        std::snprintf(text, sizeof text, "0123456789AB");
    }
};

TEST_P(NvFrame, UnconnectedSessionFailsWithNoAccessAndTracesBothLines) {
    const int s = openSession();
    phone().clear_journal();
    tracer_test::clear_lines();
    EXPECT_EQ(GetParam().call(s), TESSEL_ERROR_LIBRARY);
    EXPECT_TRUE(phone().journal.empty());
    const Lines l = lines();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].rfind(std::string("(3C)    ") + GetParam().name + "( Handle=-1", 0), 0u) << l[0];
    EXPECT_EQ(l[1].rfind(std::string("(3A) E  ") + GetParam().name + "( ", 0), 0u) << l[1];
}

TEST_P(NvFrame, InvalidSessionNumberIsReturnedUntraced) {
    connected();
    tracer_test::clear_lines();
    phone().clear_journal();
    EXPECT_EQ(GetParam().call(0), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_EQ(GetParam().call(13), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_TRUE(lines().empty());
    EXPECT_TRUE(phone().journal.empty());
}

INSTANTIATE_TEST_SUITE_P(Operations, NvFrame, ::testing::ValuesIn(kOps),
                         [](const auto& info) { return std::string(info.param.name).substr(8); });

TEST_F(TesselFcts, NvNullOutputsAreRefusedBeforeAnything) {
    const int s = connected();
    EXPECT_EQ(_Tessel_NvReadImei(s, nullptr, "f", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_NvWriteImei(s, nullptr, "f", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_NvWriteBDAddr(s, nullptr, "f", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_NvReadWcdmaLnaRangeRise(s, 4, &sh[0], nullptr, &sh[2], "f", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_NvWriteTxLinMaster(s, 4, buf, nullptr, "f", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_NvReadHdetForPower(s, 4, 10.0f, nullptr, "f", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_NvReadFactNBytes(s, 0, 4, nullptr, "f", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_TRUE(lines().empty());
    EXPECT_TRUE(phone().journal.empty());
}

} // namespace
