// The typed BER and AGC-log calls: journalled with their arguments (arrays as
// bytes), outputs a test set, failures a test injects, and the records'
// layouts.
#include "qmsl_ber.h"
#include "qmsl_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPort = 9;

struct BerCase {
    const char* label;
    const char* fn;
    std::function<unsigned char(QmslHandle)> call;
    std::vector<long long> args;
    std::vector<std::uint8_t> bytes = {};
};
void PrintTo(const BerCase& c, std::ostream* os) { *os << c.label; }

const unsigned char kCodes[3] = {7, 8, 9};
const unsigned char kPartition[2] = {1, 2};

unsigned char none(unsigned char (*fn)(QmslHandle), QmslHandle h) { return fn(h); }

const BerCase kCalls[] = {
    {"GsmStartSession",
     "QLIB_FTM_GSM_BER_StartSession",
     [](QmslHandle h) { return QLIB_FTM_GSM_BER_StartSession(h, 5000); },
     {5000}},
    {"GsmStopSession",
     "QLIB_FTM_GSM_BER_StopSession",
     [](QmslHandle h) { return none(QLIB_FTM_GSM_BER_StopSession, h); },
     {}},
    {"GsmAssignBCCH",
     "QLIB_FTM_GSM_BER_AssignBCCH",
     [](QmslHandle h) { return QLIB_FTM_GSM_BER_AssignBCCH(h, 975, 2); },
     {975, 2}},
    {"GsmAssignTraffic",
     "QLIB_FTM_GSM_BER_AssignTraffic",
     [](QmslHandle h) { return QLIB_FTM_GSM_BER_AssignTraffic(h, 300, 4, 5); },
     {300, 4, 5}},
    {"GsmReleaseTCH",
     "QLIB_FTM_GSM_BER_ReleaseTCH",
     [](QmslHandle h) { return none(QLIB_FTM_GSM_BER_ReleaseTCH, h); },
     {}},
    {"GsmClearStatus",
     "QLIB_FTM_GSM_BER_ClearStatus",
     [](QmslHandle h) { return none(QLIB_FTM_GSM_BER_ClearStatus, h); },
     {}},
    {"GsmGetStatus",
     "QLIB_FTM_GSM_BER_GetStatus",
     [](QmslHandle h) {
         QMSL_GSM_BER_Status s;
         return QLIB_FTM_GSM_BER_GetStatus(h, &s);
     },
     {}},
    {"GsmGetRxMetrics",
     "QLIB_FTM_GSM_BER_GetRxMetrics",
     [](QmslHandle h) {
         unsigned char a, b;
         return QLIB_FTM_GSM_BER_GetRxMetrics(h, &a, &b);
     },
     {}},
    {"GsmHandover",
     "QLIB_FTM_GSM_BER_Handover",
     [](QmslHandle h) { return QLIB_FTM_GSM_BER_Handover(h, 62, 1, 2, 3, 4, 5, 6); },
     {62, 1, 2, 3, 4, 5, 6}},
    {"GsmConfigLoopbackType",
     "QLIB_FTM_GSM_ConfigLoopbackType",
     [](QmslHandle h) { return QLIB_FTM_GSM_ConfigLoopbackType(h, 3); },
     {3}},
    {"EgprsAssignBCCH",
     "QLIB_FTM_EGPRS_BER_AssignBCCH",
     [](QmslHandle h) { return QLIB_FTM_EGPRS_BER_AssignBCCH(h, 20, 9); },
     {20, 9}},
    {"EgprsStartIdleMode",
     "QLIB_FTM_EGPRS_BER_StartIdleMode",
     [](QmslHandle h) { return none(QLIB_FTM_EGPRS_BER_StartIdleMode, h); },
     {}},
    {"EgprsDlTbf",
     "QLIB_FTM_EGPRS_BER_Configure_DL_TBF",
     [](QmslHandle h) { return QLIB_FTM_EGPRS_BER_Configure_DL_TBF(h, 1, 2, 65535, 4, 5, 6, 7, 8); },
     {1, 2, 65535, 4, 5, 6, 7, 8}},
    {"EgprsUlTbf",
     "QLIB_FTM_EGPRS_BER_Configure_UL_TBF",
     [](QmslHandle h) { return QLIB_FTM_EGPRS_BER_Configure_UL_TBF(h, 1, 2, 3, 4, 5, 6, 7); },
     {1, 2, 3, 4, 5, 6, 7}},
    {"EgprsSrbLoopback",
     "QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK",
     [](QmslHandle h) { return none(QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK, h); },
     {}},
    {"EgprsReleaseAllTbf",
     "QLIB_FTM_EGPRS_BER_Release_All_TBF",
     [](QmslHandle h) { return none(QLIB_FTM_EGPRS_BER_Release_All_TBF, h); },
     {}},
    {"EgprsClearStatus",
     "QLIB_FTM_EGPRS_BER_ClearStatus",
     [](QmslHandle h) { return none(QLIB_FTM_EGPRS_BER_ClearStatus, h); },
     {}},
    {"EgprsGetStatus",
     "QLIB_FTM_EGPRS_BER_GetStatus",
     [](QmslHandle h) {
         QMSL_EGPRS_BER_Status s;
         return QLIB_FTM_EGPRS_BER_GetStatus(h, &s);
     },
     {}},
    {"EgprsGetRxMetrics",
     "QLIB_FTM_EGPRS_BER_GetRxMetrics",
     [](QmslHandle h) {
         unsigned char a;
         return QLIB_FTM_EGPRS_BER_GetRxMetrics(h, &a);
     },
     {}},
    {"WcdmaStartSession",
     "QLIB_FTM_WCDMA_BER_StartSession",
     [](QmslHandle h) { return QLIB_FTM_WCDMA_BER_StartSession(h, 3000); },
     {3000}},
    {"WcdmaStopSession",
     "QLIB_FTM_WCDMA_BER_StopSession",
     [](QmslHandle h) { return none(QLIB_FTM_WCDMA_BER_StopSession, h); },
     {}},
    {"WcdmaAcquirePilot",
     "QLIB_FTM_WCDMA_BER_AcquirePilot",
     [](QmslHandle h) { return QLIB_FTM_WCDMA_BER_AcquirePilot(h, 10700); },
     {10700}},
    {"WcdmaSetupRmc",
     "QLIB_FTM_WCDMA_BER_SetupRMC_DCH",
     [](QmslHandle h) { return QLIB_FTM_WCDMA_BER_SetupRMC_DCH(h, 1, 2, 0xFFFFFF, 4, 5, 6, 7); },
     {1, 2, 0xFFFFFF, 4, 5, 6, 7}},
    {"WcdmaSetupDefaultRmc",
     "QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH",
     [](QmslHandle h) { return none(QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH, h); },
     {}},
    {"WcdmaClearStatus",
     "QLIB_FTM_WCDMA_BER_ClearStatus",
     [](QmslHandle h) { return none(QLIB_FTM_WCDMA_BER_ClearStatus, h); },
     {}},
    {"WcdmaGetStatus",
     "QLIB_FTM_WCDMA_BER_GetStatus",
     [](QmslHandle h) {
         unsigned char s;
         return QLIB_FTM_WCDMA_BER_GetStatus(h, &s);
     },
     {}},
    {"WcdmaHandover",
     "QLIB_FTM_WCDMA_BER_Handover",
     [](QmslHandle h) { return QLIB_FTM_WCDMA_BER_Handover(h, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10); },
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    {"WcdmaAgcStartLog",
     "QLIB_FTM_WCDMA_AGC_Start_Log",
     [](QmslHandle h) { return none(QLIB_FTM_WCDMA_AGC_Start_Log, h); },
     {}},
    {"WcdmaAgcWait",
     "QLIB_FTM_WCDMA_AGC_WaitForNextLog",
     [](QmslHandle h) {
         QMSL_WCDMA_AGC_Log log;
         return QLIB_FTM_WCDMA_AGC_WaitForNextLog(h, &log, 250);
     },
     {250}},
    {"WcdmaAgcStopLog",
     "QLIB_FTM_WCDMA_AGC_Stop_Log",
     [](QmslHandle h) { return none(QLIB_FTM_WCDMA_AGC_Stop_Log, h); },
     {}},
    {"HsdpaStartSession",
     "QLIB_FTM_HSDPA_BER_StartSession",
     [](QmslHandle h) { return none(QLIB_FTM_HSDPA_BER_StartSession, h); },
     {}},
    {"HsdpaStopSession",
     "QLIB_FTM_HSDPA_BER_StopSession",
     [](QmslHandle h) { return none(QLIB_FTM_HSDPA_BER_StopSession, h); },
     {}},
    {"HsdpaClearStatus",
     "QLIB_FTM_HSDPA_BER_ClearStatus",
     [](QmslHandle h) { return none(QLIB_FTM_HSDPA_BER_ClearStatus, h); },
     {}},
    {"HsdpaGetStatus",
     "QLIB_FTM_HSDPA_BER_GetStatus",
     [](QmslHandle h) {
         unsigned char s;
         return QLIB_FTM_HSDPA_BER_GetStatus(h, &s);
     },
     {}},
    {"HsdpaReconfigure",
     "QLIB_FTM_HSDPA_BLER_Reconfigure_HS",
     [](QmslHandle h) { return QLIB_FTM_HSDPA_BLER_Reconfigure_HS(h, 0x0F); },
     {0x0F}},
    {"HsdpaPdsch",
     "QLIB_FTM_HSDPA_BLER_Configure_PDSCH",
     [](QmslHandle h) { return QLIB_FTM_HSDPA_BLER_Configure_PDSCH(h, 310); },
     {310}},
    {"HsdpaScch",
     "QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH",
     [](QmslHandle h) { return QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH(h, 3, kCodes); },
     {3, 3},
     {7, 8, 9}},
    {"HsdpaDsch",
     "QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH",
     [](QmslHandle h) { return QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH(h, 0xAAAA, 2, 1, kPartition); },
     {0xAAAA, 2, 1, 2},
     {1, 2}},
    {"HsdpaDpcch",
     "QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH",
     [](QmslHandle h) { return QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH(h, 1, 2, 3, 4, 5, 6, 7); },
     {1, 2, 3, 4, 5, 6, 7}},
};

class BerCall : public qmsl_test::ConnectedTest<kPort, ::testing::TestWithParam<BerCase>> {};

TEST_P(BerCall, IsJournalledWithItsArguments) {
    const BerCase& c = GetParam();
    EXPECT_EQ(c.call(h), 1);
    auto calls = phone().calls(c.fn);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].handle, h);
    EXPECT_EQ(calls[0].args, c.args);
    EXPECT_EQ(calls[0].bytes, c.bytes);
}

TEST_P(BerCall, InjectedFalseResultFailsOnce) {
    const BerCase& c = GetParam();
    phone().inject(c.fn, {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(c.call(h), 0);
    EXPECT_EQ(c.call(h), 1);
}

TEST_P(BerCall, FailsOnASilentPhoneOrAnUnknownHandle) {
    EXPECT_EQ(GetParam().call(-1), 0);
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(GetParam().call(h), 0);
}

INSTANTIATE_TEST_SUITE_P(Calls, BerCall, ::testing::ValuesIn(kCalls),
                         [](const auto& info) { return std::string(info.param.label); });

using BerOutputs = BerCall;

TEST_F(BerOutputs, StatusRecordsCarryTheBytesATestSet) {
    std::vector<std::uint8_t> gsm(16);
    for (std::size_t i = 0; i < gsm.size(); ++i) gsm[i] = static_cast<std::uint8_t>(0xA0 + i);
    phone().set_outputs("QLIB_FTM_GSM_BER_GetStatus", {gsm});
    QMSL_GSM_BER_Status g{};
    ASSERT_EQ(QLIB_FTM_GSM_BER_GetStatus(h, &g), 1);
    EXPECT_EQ(g.bSCCH_Found, 0xA8);
    EXPECT_EQ(g.iCHANNEL_ASSIGN_CNF_status, 0xAD);

    phone().set_outputs("QLIB_FTM_EGPRS_BER_GetStatus", {std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}});
    QMSL_EGPRS_BER_Status e{};
    ASSERT_EQ(QLIB_FTM_EGPRS_BER_GetStatus(h, &e), 1);
    EXPECT_EQ(e.iEGPRS_BER_State, 1);
    EXPECT_EQ(e.bTBF_IND_type, 4);
    EXPECT_EQ(e.eTBF_IND_UL_event, 5);
    EXPECT_EQ(e.eTBF_IND_DL_event, 6);
    EXPECT_EQ(e.iSERVING_MEAS_IND_RxLev_average, 7);
}

TEST_F(BerOutputs, MetricsAndStatesComeBackAsSet) {
    phone().set_outputs("QLIB_FTM_GSM_BER_GetRxMetrics", {40, 2});
    unsigned char lev = 0, qual = 0;
    ASSERT_EQ(QLIB_FTM_GSM_BER_GetRxMetrics(h, &lev, &qual), 1);
    EXPECT_EQ(lev, 40);
    EXPECT_EQ(qual, 2);
    unsigned char state = 9;
    ASSERT_EQ(QLIB_FTM_WCDMA_BER_GetStatus(h, &state), 1);
    EXPECT_EQ(state, 0); // nothing set: zero
}

TEST_F(BerOutputs, AgcLogRecordIsFilledWhole) {
    std::vector<std::uint8_t> record(sizeof(QMSL_WCDMA_AGC_Log), 0x11);
    phone().set_outputs("QLIB_FTM_WCDMA_AGC_WaitForNextLog", {record});
    QMSL_WCDMA_AGC_Log log{};
    ASSERT_EQ(QLIB_FTM_WCDMA_AGC_WaitForNextLog(h, &log, 100), 1);
    EXPECT_EQ(log.iRxAGC, 0x1111);
    EXPECT_EQ(log.aiReserved[7], 0x11);
}

} // namespace
