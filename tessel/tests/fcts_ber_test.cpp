// The FTM bit-error-rate operations, one row each: the vendor calls with
// their narrowed arguments, every trace line, TESSEL_ERROR_LIBRARY on a false
// answer and on a session that is not connected (no call made then).
#include "TesselFctsFixture.h"

#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Args = std::vector<long long>;

struct Outs {
    TESSEL_GSM_BER_Status gsm{};
    TESSEL_EGPRS_BER_Status egprs{};
    TESSEL_WCDMA_AGC_Log agc{};
    unsigned char b1 = 0xEE, b2 = 0xEE;
};

struct VendorCall {
    std::string fn;
    Args args;
    Bytes bytes = {};
};

struct BerCase {
    std::string name;
    std::function<int(int, Outs&)> invoke;
    std::vector<VendorCall> calls;   // in order
    std::vector<std::string> lines;  // every trace line; {H} the handle, {S} the session
    std::function<void(qmsl_sim::Phone&)> answer = {};
    int status = 0;
};
void PrintTo(const BerCase& c, std::ostream* os) { *os << c.name; }

const char* const F = "ber.c";
constexpr int L = 7;
constexpr int kChannel = 65536 + 62;  // reaches the phone as 62
constexpr int kBand = 256 + 2;        // reaches the phone as 2

std::string call(const std::string& text) { return "(3C)    " + text + " in File \"ber.c\" Line 7"; }
std::string done(const std::string& text) { return "(3A)    " + text + " = 0 (SUCCESS) "; }
std::string plainLine(const std::string& text) { return "(3I)    " + text; }
std::string none(const std::string& name) { return call(name + "( Handle={H} ) Sess={S}"); }

const unsigned char kCodes[2] = {5, 6};

const unsigned char kPartition[3] = {1, 2, 3};

class Ber : public TesselFcts, public ::testing::WithParamInterface<BerCase> {
protected:
    static std::string fill(std::string text, int s) {
        for (const auto& [key, value] :
             {std::pair<std::string, std::string>{"{H}", std::to_string(handleOf(s))}, {"{S}", std::to_string(s)}}) {
            for (std::size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
        }
        return text;
    }
    static std::vector<qmsl_sim::JournalEntry> berCalls() {
        std::vector<qmsl_sim::JournalEntry> r;
        for (const auto& e : phone().journal)
            if (e.fn.rfind("QLIB_FTM_", 0) == 0) r.push_back(e);
        return r;
    }
};

TEST_P(Ber, ReachesThePhoneAndTracesEveryLine) {
    const BerCase& c = GetParam();
    const int s = connected();
    if (c.answer) c.answer(phone());
    Outs o;
    EXPECT_EQ(c.invoke(s, o), c.status);
    const auto calls = berCalls();
    ASSERT_EQ(calls.size(), c.calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].fn, c.calls[i].fn);
        EXPECT_EQ(calls[i].handle, handleOf(s));
        EXPECT_EQ(calls[i].args, c.calls[i].args) << c.calls[i].fn;
        EXPECT_EQ(calls[i].bytes, c.calls[i].bytes) << c.calls[i].fn;
    }
    Lines expected;
    for (const auto& l : c.lines) expected.push_back(fill(l, s));
    EXPECT_EQ(lines(), expected);
}

TEST_P(Ber, FalseAnswerIsALibraryError) {
    const BerCase& c = GetParam();
    const int s = connected();
    // An operation without a vendor call fails anyway.
    if (!c.calls.empty()) phone().inject(c.calls.front().fn, qmsl_sim::Fault{});
    Outs o;
    EXPECT_EQ(c.invoke(s, o), kLib);
    EXPECT_NE(lines().back().find(" = 0xbffc19f7 (ERROR)"), std::string::npos) << lines().back();
}

TEST_P(Ber, UnconnectedSessionMakesNoCall) {
    const BerCase& c = GetParam();
    const int s = openSession();
    tracer_test::clear_lines();
    Outs o;
    EXPECT_EQ(c.invoke(s, o), kLib);
    EXPECT_TRUE(berCalls().empty());
    EXPECT_TRUE(hasLine("_Tessel_" + c.name + "( Handle=-1"));
    EXPECT_FALSE(hasLine("not supported actually"));
    EXPECT_FALSE(hasLine("[QLIB_"));
}

TEST_P(Ber, InvalidSessionIsRefusedUntraced) {
    Outs o;
    EXPECT_EQ(GetParam().invoke(13, o), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_TRUE(lines().empty());
}

const std::string kGsmStart = "_Tessel_FtmGsmBerStartCall";
const std::string kEgprsStart = "_Tessel_FtmEgprsBerStartCall";

INSTANTIATE_TEST_SUITE_P(
    Table, Ber,
    ::testing::Values(
        // --- GSM ---
        BerCase{"FtmGsmBerStartCall",
                [](int s, Outs&) { return _Tessel_FtmGsmBerStartCall(s, 1, kChannel, kBand, 3000, F, L); },
                {{"QLIB_FTM_GSM_BER_StartSession", {3000}}, {"QLIB_FTM_GSM_BER_AssignBCCH", {62, 2}}},
                {call(kGsmStart + "( Handle={H}, bInitSession=1, iChannel=62, iBand=2, iBCCH_TimeOut_ms=3000 ) "
                                  "Sess={S}"),
                 plainLine("[QLIB_FTM_GSM_BER_StartSession()]"), plainLine("[QLIB_FTM_GSM_BER_AssignBCCH()]"),
                 done(kGsmStart + "( )")}},
        BerCase{"FtmGsmBerAssignTraffic",
                [](int s, Outs&) { return _Tessel_FtmGsmBerAssignTraffic(s, 65536 + 3, 256 + 4, 5, F, L); },
                {{"QLIB_FTM_GSM_BER_AssignTraffic", {3, 4, 5}}},
                {call("_Tessel_FtmGsmBerAssignTraffic( Handle={H}, iLoopbackType=3, iSlot=4, iMode=5 ) Sess={S}"),
                 done("_Tessel_FtmGsmBerAssignTraffic( )")}},
        BerCase{"FtmGsmBerClearStatus", [](int s, Outs&) { return _Tessel_FtmGsmBerClearStatus(s, F, L); },
                {{"QLIB_FTM_GSM_BER_ClearStatus", {}}},
                {none("_Tessel_FtmGsmBerClearStatus"), done("_Tessel_FtmGsmBerClearStatus( )")}},
        BerCase{"FtmGsmBerGetStatus", [](int s, Outs& o) { return _Tessel_FtmGsmBerGetStatus(s, &o.gsm, F, L); },
                {{"QLIB_FTM_GSM_BER_GetStatus", {}}},
                {none("_Tessel_FtmGsmBerGetStatus"),
                 done("_Tessel_FtmGsmBerGetStatus( bSCCH_Found=108, iCHANNEL_ASSIGN_CNF_status=113 )")},
                [](qmsl_sim::Phone& p) {
                    Bytes record(16);
                    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(100 + i);
                    p.set_outputs("QLIB_FTM_GSM_BER_GetStatus", {record});
                }},
        BerCase{"FtmGsmBerStopCall", [](int s, Outs&) { return _Tessel_FtmGsmBerStopCall(s, 1, F, L); },
                {{"QLIB_FTM_GSM_BER_ReleaseTCH", {}}, {"QLIB_FTM_GSM_BER_StopSession", {}}},
                {call("_Tessel_FtmGsmBerStopCall( Handle={H}, bCloseControl=1 ) Sess={S}"),
                 done("_Tessel_FtmGsmBerStopCall( )")}},
        BerCase{"FtmGsmBerGetRxMetrics",
                [](int s, Outs& o) { return _Tessel_FtmGsmBerGetRxMetrics(s, &o.b1, &o.b2, F, L); },
                {{"QLIB_FTM_GSM_BER_GetRxMetrics", {}}},
                {none("_Tessel_FtmGsmBerGetRxMetrics"),
                 done("_Tessel_FtmGsmBerGetRxMetrics( *piDED_RPtRxLev_Full=40, *piDED_RPtRxQual_Full=3 )")},
                [](qmsl_sim::Phone& p) { p.set_outputs("QLIB_FTM_GSM_BER_GetRxMetrics", {40, 3}); }},
        BerCase{"FtmGsmBerHandover",
                [](int s, Outs&) { return _Tessel_FtmGsmBerHandover(s, kChannel, kBand, 3, 4, 5, 6, 7, F, L); },
                {{"QLIB_FTM_GSM_BER_Handover", {62, 2, 3, 4, 5, 6, 7}}},
                {call("_Tessel_FtmGsmBerHandover( Handle={H}, iChannel=62, iBand=2, iTSC=3 ) Sess={S}"),
                 call("_Tessel_FtmGsmBerHandover( iSlot=4, iMode=5, iPowerLevel=6, iLoopbackType=7 )"),
                 done("_Tessel_FtmGsmBerHandover( )")}},
        BerCase{"FtmGsmConfigLoopbackType", [](int s, Outs&) { return _Tessel_FtmGsmConfigLoopbackType(s, 256 + 1, F, L); },
                {{"QLIB_FTM_GSM_ConfigLoopbackType", {1}}},
                {call("_Tessel_FtmGsmConfigLoopbackType( Handle={H}, iLoopbackType=1 ) Sess={S}"),
                 done("_Tessel_FtmGsmConfigLoopbackType")}},
        // --- WCDMA ---
        BerCase{"FtmWcdmaBerStartSession", [](int s, Outs&) { return _Tessel_FtmWcdmaBerStartSession(s, 5000, F, L); },
                {{"QLIB_FTM_WCDMA_BER_StartSession", {5000}}},
                {call("_Tessel_FtmWcdmaBerStartSession( Handle={H}, iTimeOut_ms=5000 ) Sess={S}"),
                 done("_Tessel_FtmWcdmaBerStartSession( )")}},
        BerCase{"FtmWcdmaBerAcquirePilot",
                [](int s, Outs&) { return _Tessel_FtmWcdmaBerAcquirePilot(s, 65536 + 10700, F, L); },
                {{"QLIB_FTM_WCDMA_BER_AcquirePilot", {10700}}},
                {call("_Tessel_FtmWcdmaBerAcquirePilot( Handle={H}, iChannel=10700 ) Sess={S}"),
                 done("_Tessel_FtmWcdmaBerAcquirePilot( )")}},
        BerCase{"FtmWcdmaBerSetupRMC_DCH",
                [](int s, Outs&) {
                    return _Tessel_FtmWcdmaBerSetupRMC_DCH(s, 256 + 1, 2, 0x123456, 4, 5, 65536 + 6, 7, F, L);
                },
                {{"QLIB_FTM_WCDMA_BER_SetupRMC_DCH", {1, 2, 0x123456, 4, 5, 6, 7}}},
                {call("_Tessel_FtmWcdmaBerSetupRMC_DCH( Handle={H}, iRMC_Type=1, iUL_MaxTxPwr=2, "
                      "iUL_DPCH_ScrCode=1193046, iUL_PCA=4, iUL_TPC_StepSize=5, iDL_PriCPICH_Scr_Code=6, "
                      "iDL_ChanCode=7 ) Sess={S}"),
                 done("_Tessel_FtmWcdmaBerSetupRMC_DCH( )")}},
        BerCase{"FtmWcdmaBerSetupDefaultRMC_DCH",
                [](int s, Outs&) { return _Tessel_FtmWcdmaBerSetupDefaultRMC_DCH(s, F, L); },
                {{"QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH", {}}},
                {none("_Tessel_FtmWcdmaBerSetupDefaultRMC_DCH"), done("_Tessel_FtmWcdmaBerSetupDefaultRMC_DCH( )")}},
        BerCase{"FtmWcdmaBerClearStatus", [](int s, Outs&) { return _Tessel_FtmWcdmaBerClearStatus(s, F, L); },
                {{"QLIB_FTM_WCDMA_BER_ClearStatus", {}}},
                {none("_Tessel_FtmWcdmaBerClearStatus"), done("_Tessel_FtmWcdmaBerClearStatus( )")}},
        BerCase{"FtmWcdmaBerGetStatus", [](int s, Outs& o) { return _Tessel_FtmWcdmaBerGetStatus(s, &o.b1, F, L); },
                {{"QLIB_FTM_WCDMA_BER_GetStatus", {}}},
                {none("_Tessel_FtmWcdmaBerGetStatus"), done("_Tessel_FtmWcdmaBerGetStatus( *pWCDMA_BER_State=9 )")},
                [](qmsl_sim::Phone& p) { p.set_outputs("QLIB_FTM_WCDMA_BER_GetStatus", {9}); }},
        BerCase{"FtmWcdmaBerStopSession", [](int s, Outs&) { return _Tessel_FtmWcdmaBerStopSession(s, F, L); },
                {{"QLIB_FTM_WCDMA_BER_StopSession", {}}},
                {none("_Tessel_FtmWcdmaBerStopSession"), done("_Tessel_FtmWcdmaBerStopSession( )")}},
        BerCase{"FtmWcdmaBerHandover",
                [](int s, Outs&) {
                    return _Tessel_FtmWcdmaBerHandover(s, 1, 2, 3, 4, 5, 6, 7, 256 + 8, 9, 65536 + 10, F, L);
                },
                {{"QLIB_FTM_WCDMA_BER_Handover", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}},
                {call("_Tessel_FtmWcdmaBerHandover( Handle={H}, iRMC_Type=1, iUL_MaxTxPwr=2, iUL_DPCH_ScrCode=3, "
                      "iUL_PCA=4, iUL_TPC_StepSize=5, iDL_PriCPICH_Scr_Code=6, iDL_ChanCode=7, iBetaC=8, "
                      "iBetaD=9, iChannel=10 ) Sess={S}"),
                 done("_Tessel_FtmWcdmaBerHandover()")}},
        BerCase{"FtmWcdmaAgcStartLog", [](int s, Outs&) { return _Tessel_FtmWcdmaAgcStartLog(s, F, L); },
                {{"QLIB_FTM_WCDMA_AGC_Start_Log", {}}},
                {none("_Tessel_FtmWcdmaAgcStartLog"), done("_Tessel_FtmWcdmaAgcStartLog( )")}},
        BerCase{"FtmWcdmaAgcWaitForNextLog",
                [](int s, Outs& o) { return _Tessel_FtmWcdmaAgcWaitForNextLog(s, &o.agc, 250, F, L); },
                {{"QLIB_FTM_WCDMA_AGC_WaitForNextLog", {250}}},
                {call("_Tessel_FtmWcdmaAgcWaitForNextLog( Handle={H} ) Sess={S}, iTimeout_ms=250"),
                 done("_Tessel_FtmWcdmaAgcWaitForNextLog( )")}},
        BerCase{"FtmWcdmaAgcStopLog", [](int s, Outs&) { return _Tessel_FtmWcdmaAgcStopLog(s, F, L); },
                {{"QLIB_FTM_WCDMA_AGC_Stop_Log", {}}},
                {none("_Tessel_FtmWcdmaAgcStopLog"), done("_Tessel_FtmWcdmaAgcStopLog( )")}},
        // --- EGPRS ---
        BerCase{"FtmEgprsBerStartCall",
                [](int s, Outs&) { return _Tessel_FtmEgprsBerStartCall(s, 1, kChannel, kBand, 4000, F, L); },
                {{"QLIB_FTM_GSM_BER_StartSession", {4000}}, {"QLIB_FTM_EGPRS_BER_AssignBCCH", {62, 2}}},
                {call(kEgprsStart + "( Handle={H}, bInitSession=1, iChannel=62, iBand=2, iBCCH_TimeOut_ms=4000 ) "
                                    "Sess={S}"),
                 plainLine("[QLIB_FTM_GSM_BER_StartSession()]"), plainLine("[QLIB_FTM_EGPRS_BER_AssignBCCH()]"),
                 done(kEgprsStart + "( )")}},
        BerCase{"FtmEgprsBerStartIdleMode", [](int s, Outs&) { return _Tessel_FtmEgprsBerStartIdleMode(s, F, L); },
                {},
                {none("_Tessel_FtmEgprsBerStartIdleMode"),
                 plainLine("QLIB_FTM_EGPRS_BER_StartIdleMode not supported actually!"),
                 "(3A) E  _Tessel_FtmEgprsBerStartIdleMode( ) = 0xbffc19f7 (ERROR)   "},
                {},
                TESSEL_ERROR_LIBRARY},
        BerCase{"FtmEgprsBerConfigureDlTbf",
                [](int s, Outs&) {
                    return _Tessel_FtmEgprsBerConfigureDlTbf(s, 1, 2, kChannel, kBand, 1, 3, 0, 256 + 4, F, L);
                },
                {{"QLIB_FTM_EGPRS_BER_Configure_DL_TBF", {1, 2, 62, 2, 1, 3, 0, 4}}},
                {call("_Tessel_FtmEgprsBerConfigureDlTbf( Handle={H}, iDL_TSC=1, iDL_TFI=2, iChannel=62, "
                      "iBand=2... "),
                 call("...bFirstSlotActive=1, iFirstSlotNum=3, bSecondSlotActive=0, iSecondSlotNum=4 ) Sess={S}"),
                 done("_Tessel_FtmEgprsBerConfigureDlTbf( )")}},
        BerCase{"FtmEgprsBerConfigureUlTbf",
                [](int s, Outs&) { return _Tessel_FtmEgprsBerConfigureUlTbf(s, 1, 2, 256 + 3, 1, 4, 1, 5, F, L); },
                {{"QLIB_FTM_EGPRS_BER_Configure_UL_TBF", {1, 2, 3, 1, 4, 1, 5}}},
                {call("_Tessel_FtmEgprsBerConfigureUlTbf( Handle={H}, iUL_TSC=1, iUSF=2, iGamma=3... "),
                 call("...bFirstSlotActive=1, iFirstSlotNum=4, bSecondSlotActive=1, iSecondSlotNum=5 ) Sess={S}"),
                 done("_Tessel_FtmEgprsBerConfigureUlTbf( )")}},
        BerCase{"FtmEgprsBerEstablishSrbLoopback",
                [](int s, Outs&) { return _Tessel_FtmEgprsBerEstablishSrbLoopback(s, F, L); },
                {{"QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK", {}}},
                {none("_Tessel_FtmEgprsBerEstablishSrbLoopback"), done("_Tessel_FtmEgprsBerEstablishSrbLoopback( )")}},
        BerCase{"FtmEgprsBerReleaseAllTbf", [](int s, Outs&) { return _Tessel_FtmEgprsBerReleaseAllTbf(s, F, L); },
                {{"QLIB_FTM_EGPRS_BER_Release_All_TBF", {}}},
                {none("_Tessel_FtmEgprsBerReleaseAllTbf"), done("_Tessel_FtmEgprsBerReleaseAllTbf( )")}},
        BerCase{"FtmEgprsBerClearStatus", [](int s, Outs&) { return _Tessel_FtmEgprsBerClearStatus(s, F, L); },
                {{"QLIB_FTM_EGPRS_BER_ClearStatus", {}}},
                {none("_Tessel_FtmEgprsBerClearStatus"), done("_Tessel_FtmEgprsBerClearStatus( )")}},
        BerCase{"FtmEgprsBerGetStatus",
                [](int s, Outs& o) { return _Tessel_FtmEgprsBerGetStatus(s, &o.egprs, F, L); },
                {{"QLIB_FTM_EGPRS_BER_GetStatus", {}}},
                {none("_Tessel_FtmEgprsBerGetStatus"),
                 done("_Tessel_FtmEgprsBerGetStatus( bTBF_IND_type=13, eTBF_IND_UL_event=14, eTBF_IND_UL_event=15, "
                      "iSERVING_MEAS_IND_RxLev_average=16 )")},
                [](qmsl_sim::Phone& p) {
                    p.set_outputs("QLIB_FTM_EGPRS_BER_GetStatus", {Bytes{10, 11, 12, 13, 14, 15, 16, 17}});
                }},
        BerCase{"FtmEgprsBerGetRxMetrics",
                [](int s, Outs& o) { return _Tessel_FtmEgprsBerGetRxMetrics(s, &o.b1, F, L); },
                {{"QLIB_FTM_EGPRS_BER_GetRxMetrics", {}}},
                {none("_Tessel_FtmEgprsBerGetRxMetrics"), done("_Tessel_FtmEgprsBerGetRxMetrics(*piRxLev_average=33 )")},
                [](qmsl_sim::Phone& p) { p.set_outputs("QLIB_FTM_EGPRS_BER_GetRxMetrics", {33}); }},
        // --- HSDPA ---
        BerCase{"FtmHsdpaConfigurePDSCH",
                [](int s, Outs&) { return _Tessel_FtmHsdpaConfigurePDSCH(s, 65536 + 310, F, L); },
                {{"QLIB_FTM_HSDPA_BLER_Configure_PDSCH", {310}}},
                {call("_Tessel_FtmHsdpaConfigurePDSCH( Handle={H}, iHS_PDSCH_RadioLink_PCS=310 ) Sess={S}"),
                 done("_Tessel_FtmHsdpaConfigurePDSCH")}},
        BerCase{"FtmHsdpaConfigureHS_SCCH",
                [](int s, Outs&) { return _Tessel_FtmHsdpaConfigureHS_SCCH(s, 256 + 2, kCodes, F, L); },
                {{"QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH", {2, 2}, {5, 6}}},
                {call("_Tessel_FtmHsdpaConfigureHS_SCCH( Handle={H}, iNumCodes=2, aiCodes=" + traceAddress(kCodes) +
                      " ) Sess={S}"),
                 done("_Tessel_FtmHsdpaConfigureHS_SCCH")}},
        BerCase{"FtmHsdpaConfigureHS_DSCH",
                [](int s, Outs&) { return _Tessel_FtmHsdpaConfigureHS_DSCH(s, 65536 + 0xAAAA, 3, 1, kPartition, F, L); },
                {{"QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH", {0xAAAA, 3, 1, 3}, {1, 2, 3}}},
                {call("_Tessel_FtmHsdpaConfigureHS_DSCH( Handle={H}, iH_RNTI=43690, iNum_HARQ_Processes=3, "
                      "bMemPartitionValid=1, aiMemPartitionInfo=" + traceAddress(kPartition) + " ) Sess={S}"),
                 done("_Tessel_FtmHsdpaConfigureHS_DSCH")}},
        BerCase{"FtmHsdpaConfigureHS_DPCCH",
                [](int s, Outs&) { return _Tessel_FtmHsdpaConfigureHS_DPCCH(s, 1, 2, 3, 4, 5, 6, 256 + 7, F, L); },
                {{"QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH", {1, 2, 3, 4, 5, 6, 7}}},
                {call("_Tessel_FtmHsdpaConfigureHS_DPCCH( Handle={H}, iCPICH_PowerOffset=1, iCQI_FeedbackCycle=2, "
                      "iCQI_RepetitionFactor=3, iDeltaCQI=4, iDeltaACK=5, aNACK=6, iACK_NACK_RepetitionFactor=7 ) "
                      "Sess={S}"),
                 done("_Tessel_FtmHsdpaConfigureHS_DPCCH")}},
        BerCase{"FtmHsdpaBerStopSession", [](int s, Outs&) { return _Tessel_FtmHsdpaBerStopSession(s, F, L); },
                {{"QLIB_FTM_HSDPA_BER_StopSession", {}}},
                {none("_Tessel_FtmHsdpaBerStopSession"), done("_Tessel_FtmHsdpaBerStopSession( )")}},
        BerCase{"FtmHsdpaBerStartSession", [](int s, Outs&) { return _Tessel_FtmHsdpaBerStartSession(s, F, L); },
                {{"QLIB_FTM_HSDPA_BER_StartSession", {}}},
                {none("_Tessel_FtmHsdpaBerStartSession"), done("_Tessel_FtmHsdpaBerStartSession( )")}}),
    [](const ::testing::TestParamInfo<BerCase>& i) { return i.param.name; });

// --- the steps of the start and stop of a test call ----------------------------------

struct StartCase {
    const char* name;
    int bInitSession;
    bool egprs;
    std::vector<std::string> calls;
};
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }
class BerSessionFlag : public TesselFcts, public ::testing::WithParamInterface<StartCase> {};

TEST_P(BerSessionFlag, StartsTheSessionOnlyWhenItIsOne) {
    const StartCase& c = GetParam();
    const int s = connected();
    EXPECT_EQ(c.egprs ? _Tessel_FtmEgprsBerStartCall(s, c.bInitSession, 20, 3, 100, F, L)
                      : _Tessel_FtmGsmBerStartCall(s, c.bInitSession, 20, 3, 100, F, L),
              0);
    std::vector<std::string> fns;
    for (const auto& e : phone().journal) fns.push_back(e.fn);
    EXPECT_EQ(fns, c.calls);
    EXPECT_EQ(hasLine("[QLIB_FTM_GSM_BER_StartSession()]"), c.calls.size() == 2);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, BerSessionFlag,
    ::testing::Values(
        StartCase{"GsmInit0", 0, false, {"QLIB_FTM_GSM_BER_AssignBCCH"}},
        StartCase{"GsmInit1", 1, false, {"QLIB_FTM_GSM_BER_StartSession", "QLIB_FTM_GSM_BER_AssignBCCH"}},
        StartCase{"GsmInit2", 2, false, {"QLIB_FTM_GSM_BER_AssignBCCH"}},
        StartCase{"GsmInit1InTheLow16Bits", 65536 + 1, false,
                  {"QLIB_FTM_GSM_BER_StartSession", "QLIB_FTM_GSM_BER_AssignBCCH"}},
        StartCase{"EgprsInit0", 0, true, {"QLIB_FTM_EGPRS_BER_AssignBCCH"}},
        StartCase{"EgprsInit1", 1, true, {"QLIB_FTM_GSM_BER_StartSession", "QLIB_FTM_EGPRS_BER_AssignBCCH"}},
        StartCase{"EgprsInit2", 2, true, {"QLIB_FTM_EGPRS_BER_AssignBCCH"}}),
    [](const ::testing::TestParamInfo<StartCase>& i) { return std::string(i.param.name); });

TEST_F(TesselFcts, BerStartCallWhoseSessionFailsSkipsTheAssignment) {
    const int s = connected();
    phone().inject("QLIB_FTM_GSM_BER_StartSession", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_FtmGsmBerStartCall(s, 1, 20, 3, 100, F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_GSM_BER_AssignBCCH"), 0u);
    EXPECT_FALSE(hasLine("[QLIB_FTM_GSM_BER_AssignBCCH()]"));
    EXPECT_EQ(_Tessel_FtmEgprsBerStartCall(s, 1, 20, 3, 100, F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_EGPRS_BER_AssignBCCH"), 0u);
}

struct StopCase {
    const char* name;
    int bCloseControl;
    bool releaseFails, stopFails;
    std::vector<std::string> calls;
    int status;
};
void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }
class BerStopCall : public TesselFcts, public ::testing::WithParamInterface<StopCase> {};

TEST_P(BerStopCall, StopsTheSessionAsAskedWhateverTheRelease) {
    const StopCase& c = GetParam();
    const int s = connected();
    if (c.releaseFails) phone().inject("QLIB_FTM_GSM_BER_ReleaseTCH", qmsl_sim::Fault{});
    if (c.stopFails) phone().inject("QLIB_FTM_GSM_BER_StopSession", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_FtmGsmBerStopCall(s, c.bCloseControl, F, L), c.status);
    std::vector<std::string> fns;
    for (const auto& e : phone().journal) fns.push_back(e.fn);
    EXPECT_EQ(fns, c.calls);
}

const std::vector<std::string> kReleaseOnly = {"QLIB_FTM_GSM_BER_ReleaseTCH"};
const std::vector<std::string> kReleaseAndStop = {"QLIB_FTM_GSM_BER_ReleaseTCH", "QLIB_FTM_GSM_BER_StopSession"};

INSTANTIATE_TEST_SUITE_P(
    Flags, BerStopCall,
    ::testing::Values(StopCase{"KeepSession", 0, false, false, kReleaseOnly, 0},
                      StopCase{"CloseSession", 1, false, false, kReleaseAndStop, 0},
                      StopCase{"CloseIn16BitsOnly", 65536, false, false, kReleaseOnly, 0},
                      StopCase{"StopAfterAFailedRelease", 1, true, false, kReleaseAndStop, TESSEL_ERROR_LIBRARY},
                      StopCase{"FailedReleaseKeepingTheSession", 0, true, false, kReleaseOnly, TESSEL_ERROR_LIBRARY},
                      StopCase{"FailedStop", 1, false, true, kReleaseAndStop, TESSEL_ERROR_LIBRARY}),
    [](const ::testing::TestParamInfo<StopCase>& i) { return std::string(i.param.name); });

TEST_F(TesselFcts, BerStartIdleModeIsRefusedWithItsLineAtEveryTraceLevel) {
    const int s = connected("TRACELEVEL:0");
    EXPECT_EQ(_Tessel_FtmEgprsBerStartIdleMode(s, F, L), kLib);
    EXPECT_EQ(lines(), (Lines{"(3I)    QLIB_FTM_EGPRS_BER_StartIdleMode not supported actually!"}));
    EXPECT_TRUE(phone().journal.empty());
}

TEST_F(TesselFcts, BerOutputsMustNotBeNull) {
    const int s = connected();
    EXPECT_EQ(_Tessel_FtmGsmBerGetStatus(s, nullptr, F, L), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_FtmEgprsBerGetStatus(s, nullptr, F, L), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_FtmWcdmaAgcWaitForNextLog(s, nullptr, 10, F, L), TESSEL_ERROR_PARAMETER2);
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_TRUE(lines().empty());
}

} // namespace
