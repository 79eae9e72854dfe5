// Reduced-signalling BER tests and the test call: the step tables, the
// session flags, EDGE's unused arguments and what reaches the phone.
#include "procedures_rf_steps.h"

namespace {

const unsigned char kCodes[3] = {'c', 'd', 'e'};
const unsigned char kPartition[2] = {'p', 'q'};

unsigned char gsm(QmslHandle h, unsigned char init, unsigned char close) {
    unsigned char lev = 0, qual = 0;
    return KAVOR_Reduced_Signalling_GSM(h, &lev, &qual, 62, 'b', 't', 's', 'm', 'p', 'l', init, 70, 'B', 5000, 2, 'S',
                                        'M', close);
}
unsigned char wcdma(QmslHandle h) {
    unsigned char state = 0;
    return KAVOR_Reduced_Signalling_WCDMA(h, 10700, 3000, &state, 'r', 'x', 123456, 'p', 't', 300, 17);
}
unsigned char hsdpa(QmslHandle h) {
    unsigned char state = 0;
    return KAVOR_Reduced_Signalling_HSDPA(h, 'k', 310, 3, kCodes, 0xAAAA, 2, 'v', kPartition, 'a', 'b', 'c', 'd', 'e',
                                          'f', 'g', &state);
}
unsigned char edge(QmslHandle h, unsigned char init) {
    QMSL_EGPRS_BER_Status status{};
    unsigned char lev = 0;
    return KAVOR_Reduced_Signalling_EDGE(h, init, 75, 'B', 4000, 'T', 'F', 999, 'X', 'a', '1', 'b', '2', 'U', 'u', 'g',
                                         'w', '7', 'x', '8', &status, &lev);
}

const StepsCase kBerCases[] = {
    {"Gsm",
     [](QmslHandle h) { return gsm(h, 1, 1); },
     {"QLIB_FTM_GSM_BER_GetRxMetrics", "QLIB_FTM_GSM_BER_Handover", "QLIB_FTM_GSM_BER_StartSession",
      "QLIB_FTM_GSM_BER_AssignBCCH", "QLIB_FTM_GSM_BER_AssignTraffic", "QLIB_FTM_GSM_BER_ReleaseTCH",
      "QLIB_FTM_GSM_BER_StopSession"}},
    {"GsmInOpenSession",
     [](QmslHandle h) { return gsm(h, 0, 0); },
     {"QLIB_FTM_GSM_BER_GetRxMetrics", "QLIB_FTM_GSM_BER_Handover", "QLIB_FTM_GSM_BER_AssignBCCH",
      "QLIB_FTM_GSM_BER_AssignTraffic", "QLIB_FTM_GSM_BER_ReleaseTCH"}},
    {"Wcdma",
     wcdma,
     {"QLIB_FTM_WCDMA_BER_AcquirePilot", "QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH", "QLIB_FTM_WCDMA_BER_StartSession",
      "QLIB_FTM_WCDMA_BER_StopSession", "QLIB_FTM_WCDMA_BER_ClearStatus", "QLIB_FTM_WCDMA_BER_GetStatus",
      "QLIB_FTM_WCDMA_BER_SetupRMC_DCH"}},
    {"Hsdpa",
     hsdpa,
     {"QLIB_FTM_HSDPA_BER_StartSession", "QLIB_FTM_HSDPA_BLER_Reconfigure_HS", "QLIB_FTM_HSDPA_BLER_Configure_PDSCH",
      "QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH", "QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH",
      "QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH", "QLIB_FTM_HSDPA_BER_ClearStatus", "QLIB_FTM_HSDPA_BER_GetStatus",
      "QLIB_FTM_HSDPA_BER_StopSession"}},
    {"Edge",
     [](QmslHandle h) { return edge(h, 1); },
     {"QLIB_FTM_GSM_BER_StartSession", "QLIB_FTM_EGPRS_BER_AssignBCCH", "QLIB_FTM_EGPRS_BER_StartIdleMode",
      "QLIB_FTM_EGPRS_BER_Configure_DL_TBF", "QLIB_FTM_EGPRS_BER_Configure_UL_TBF",
      "QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK", "QLIB_FTM_EGPRS_BER_Release_All_TBF",
      "QLIB_FTM_EGPRS_BER_ClearStatus", "QLIB_FTM_EGPRS_BER_GetStatus", "QLIB_FTM_EGPRS_BER_GetRxMetrics"}},
    {"StartCall",
     [](QmslHandle h) {
         const unsigned char digits[4] = {'1', '1', '2', 'x'};
         return KAVOR_StartCall(h, 3, digits);
     },
     {"QLIB_DIAG_GSM_CALL_ORIG_F", "QLIB_DIAG_GSM_CALL_END_F"}},
};

INSTANTIATE_TEST_SUITE_P(ReducedSignalling, ProcedureSteps, ::testing::ValuesIn(kBerCases), STEPS_CASE_NAME);

using Ber = RfProcedureTest;

std::vector<long long> argsOf(const qmsl_sim::Phone& p, const std::string& fn) { return p.calls(fn).at(0).args; }

struct FlagCase {
    const char* name;
    std::function<unsigned char(QmslHandle)> run;
    std::vector<std::string> calls;
};
void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.name; }
class BerCallFlags : public RfProcedureTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(BerCallFlags, DecideTheSessionCalls) {
    EXPECT_EQ(GetParam().run(h), 1);
    EXPECT_EQ(vendorCalls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    StartAndStop, BerCallFlags,
    ::testing::Values(FlagCase{"GsmStartInit1",
                               [](QmslHandle h) { return KAVOR_FTM_GSM_BER_StartCall(h, 1, 20, 3, 100); },
                               {"QLIB_FTM_GSM_BER_StartSession", "QLIB_FTM_GSM_BER_AssignBCCH"}},
                      FlagCase{"GsmStartInit0",
                               [](QmslHandle h) { return KAVOR_FTM_GSM_BER_StartCall(h, 0, 20, 3, 100); },
                               {"QLIB_FTM_GSM_BER_AssignBCCH"}},
                      FlagCase{"GsmStartInit2",
                               [](QmslHandle h) { return KAVOR_FTM_GSM_BER_StartCall(h, 2, 20, 3, 100); },
                               {"QLIB_FTM_GSM_BER_AssignBCCH"}},
                      FlagCase{"EgprsStartInit1",
                               [](QmslHandle h) { return KAVOR_FTM_EGPRS_BER_StartCall(h, 1, 20, 3, 100); },
                               {"QLIB_FTM_GSM_BER_StartSession", "QLIB_FTM_EGPRS_BER_AssignBCCH"}},
                      FlagCase{"EgprsStartInit0",
                               [](QmslHandle h) { return KAVOR_FTM_EGPRS_BER_StartCall(h, 0, 20, 3, 100); },
                               {"QLIB_FTM_EGPRS_BER_AssignBCCH"}},
                      FlagCase{"StopClose1",
                               [](QmslHandle h) { return KAVOR_FTM_GSM_BER_StopCall(h, 1); },
                               {"QLIB_FTM_GSM_BER_ReleaseTCH", "QLIB_FTM_GSM_BER_StopSession"}},
                      FlagCase{"StopClose9",
                               [](QmslHandle h) { return KAVOR_FTM_GSM_BER_StopCall(h, 9); },
                               {"QLIB_FTM_GSM_BER_ReleaseTCH", "QLIB_FTM_GSM_BER_StopSession"}},
                      FlagCase{"StopClose0",
                               [](QmslHandle h) { return KAVOR_FTM_GSM_BER_StopCall(h, 0); },
                               {"QLIB_FTM_GSM_BER_ReleaseTCH"}}),
    STEPS_CASE_NAME);

TEST_F(Ber, SessionStartLinesShowTheTimeOut) {
    EXPECT_EQ(KAVOR_FTM_GSM_BER_StartCall(h, 1, 20, 'b', 7000), 1);
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_GSM_BER_StartSession"), std::vector<long long>{7000});
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_GSM_BER_AssignBCCH"), (std::vector<long long>{20, 'b'}));
    EXPECT_EQ(log(), (std::vector<std::string>{
                         "\t\tQLIB_FTM_GSM_BER_StartSession() start",
                         "\tQLIB_FTM_GSM_BER_StartSession(iTimeOut_ms = 7000) - Completed successfully\n",
                         "\t\tQLIB_FTM_GSM_BER_AssignBCCH() start",
                         "\tQLIB_FTM_GSM_BER_AssignBCCH(iChannel = 20, iBand = b) - Completed successfully\n"}));
}

TEST_F(Ber, GsmPassesEachGroupOfArgumentsToItsCall) {
    phone().set_outputs("QLIB_FTM_GSM_BER_GetRxMetrics", {'L', 'Q'});
    unsigned char lev = 0, qual = 0;
    EXPECT_EQ(KAVOR_Reduced_Signalling_GSM(h, &lev, &qual, 62, 'b', 't', 's', 'm', 'p', 'l', 1, 70, 'B', 5000, 2, 'S',
                                           'M', 1),
              1);
    EXPECT_EQ(lev, 'L');
    EXPECT_EQ(qual, 'Q');
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_GSM_BER_Handover"), (std::vector<long long>{62, 'b', 't', 's', 'm', 'p', 'l'}));
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_GSM_BER_AssignBCCH"), (std::vector<long long>{70, 'B'}));
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_GSM_BER_AssignTraffic"), (std::vector<long long>{2, 'S', 'M'}));
    const std::string done = " - Completed successfully\n";
    EXPECT_TRUE(logged("\tQLIB_FTM_GSM_BER_GetRxMetrics(piDED_RPtRxLev_Full = L, piDED_RPtRxQual_Full = Q)" + done));
    EXPECT_TRUE(
        logged("\tQLIB_FTM_GSM_BER_Handover(iChannel = 62, iBand = b, iTSC = t, iSlot = s, iMode = m, "
               "iPowerLevel = p, iLoopbackType = l)" +
               done));
    EXPECT_TRUE(
        logged("\tKAVOR_FTM_GSM_BER_StartCall(bInitSession = \x01, iChannel = 70, iBand = B, "
               "iBCCH_TimeOut_ms = 5000)" +
               done));
    EXPECT_TRUE(logged("\tQLIB_FTM_GSM_BER_AssignTraffic(iLoopbackType = 2, iSlot = S, iMode = M)" + done));
    EXPECT_TRUE(logged("\tKAVOR_FTM_GSM_BER_StopCall(bCloseControl = \x01)" + done));
}

TEST_F(Ber, WcdmaPassesTheRadioBearerAndShowsTheState) {
    phone().set_outputs("QLIB_FTM_WCDMA_BER_GetStatus", {'s'});
    EXPECT_EQ(wcdma(h), 1);
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_WCDMA_BER_SetupRMC_DCH"),
              (std::vector<long long>{'r', 'x', 123456, 'p', 't', 300, 17}));
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_WCDMA_BER_StartSession"), std::vector<long long>{3000});
    EXPECT_TRUE(logged("\tQLIB_FTM_WCDMA_BER_GetStatus(pWCDMA_BER_State = s) - Completed successfully\n"));
    EXPECT_TRUE(
        logged("\tQLIB_FTM_WCDMA_BER_SetupRMC_DCH(iRMC_Type = r, iUL_MaxTxPwr = x, iUL_DPCH_ScrCode = 123456, "
               "iUL_PCA = p, iUL_TPC_StepSize = t, iDL_PriCPICH_Scr_Code = 300, iDL_ChanCode = 17) - Completed "
               "successfully\n"));
}

TEST_F(Ber, HsdpaPassesItsArraysBoundedByTheirCounts) {
    EXPECT_EQ(hsdpa(h), 1);
    const auto scch = phone().calls("QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH").at(0);
    EXPECT_EQ(scch.bytes, (std::vector<std::uint8_t>{'c', 'd', 'e'}));
    const auto dsch = phone().calls("QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH").at(0);
    EXPECT_EQ(dsch.args.at(0), 0xAAAA);
    EXPECT_EQ(dsch.bytes, (std::vector<std::uint8_t>{'p', 'q'}));
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH"),
              (std::vector<long long>{'a', 'b', 'c', 'd', 'e', 'f', 'g'}));
    const std::string done = " - Completed successfully\n";
    // The arrays have no terminator: the lines stop at their counts.
    EXPECT_TRUE(logged("\tQLIB_FTM_HSDPA_BLER_Configure_HS_SCCH(iNumCodes = \x03, aiCodes = cde)" + done));
    EXPECT_TRUE(
        logged("\tQLIB_FTM_HSDPA_BLER_Configure_HS_DSCH(iH_RNTI = 43690, iNum_HARQ_Processes = \x02, "
               "bMemPartitionValid = v, aiMemPartitionInfo = pq)" +
               done));
    EXPECT_TRUE(
        logged("\tQLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH(iCPICH_PowerOffset = a, iCQI_FeedbackCycle = b, "
               "iCQI_RepetitionFactor = c, iDeltaCQI = d, iDeltaACK = e, iDeltaNACK = f, "
               "iACK_NACK_RepetitionFactor = g)" +
               done));
}

TEST_F(Ber, EdgeUsesTheCallsChannelAndTheDownlinkSlotsWhateverTheOtherArgumentsHold) {
    QMSL_EGPRS_BER_Status status{};
    unsigned char lev = 0;
    phone().set_outputs("QLIB_FTM_EGPRS_BER_GetStatus", {std::vector<std::uint8_t>{'E', 0, 0, 3, 4, 5, 6, 0}});
    phone().set_outputs("QLIB_FTM_EGPRS_BER_GetRxMetrics", {'R'});
    EXPECT_EQ(KAVOR_Reduced_Signalling_EDGE(h, 0, 75, 'B', 4000, 'T', 'F', 999, 'X', 'a', '1', 'b', '2', 'U', 'u', 'g',
                                            'w', '7', 'x', '8', &status, &lev),
              1);
    EXPECT_EQ(phone().count("QLIB_FTM_GSM_BER_StartSession"), 0u);
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_EGPRS_BER_AssignBCCH"), (std::vector<long long>{75, 'B'}));
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_EGPRS_BER_Configure_DL_TBF"),
              (std::vector<long long>{'T', 'F', 75, 'B', 'a', '1', 'b', '2'}));
    EXPECT_EQ(argsOf(phone(), "QLIB_FTM_EGPRS_BER_Configure_UL_TBF"),
              (std::vector<long long>{'U', 'u', 'g', 'a', '1', 'b', '2'}));
    EXPECT_EQ(status.bTBF_IND_type, 3);
    EXPECT_EQ(status.iSERVING_MEAS_IND_RxLev_average, 6);
    EXPECT_EQ(lev, 'R');
    EXPECT_TRUE(logged("\tQLIB_FTM_EGPRS_BER_GetStatus(pEGPRS_BER_State = E) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tQLIB_FTM_EGPRS_BER_GetRxMetrics(piRxLev_average = R) - Completed successfully\n"));
}

TEST_F(Ber, EgprsSessionLineUsesItsOwnPlaceholder) {
    EXPECT_EQ(KAVOR_FTM_EGPRS_BER_StartCall(h, 1, 20, 'b', 300), 1);
    EXPECT_TRUE(logged("\tQLIB_FTM_GSM_BER_StartSession(iTimeOut_ms = 300) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tQLIB_FTM_EGPRS_BER_AssignBCCH(iChannel = 20, iBand = b) - Completed successfully\n"));
}

TEST_F(Ber, StartCallShowsOnlyTheGivenDigits) {
    const unsigned char digits[5] = {'1', '1', '2', 'x', 'y'};
    EXPECT_EQ(KAVOR_StartCall(h, 3, digits), 1);
    EXPECT_EQ(phone().calls("QLIB_DIAG_GSM_CALL_ORIG_F").at(0).bytes, (std::vector<std::uint8_t>{'1', '1', '2'}));
    EXPECT_TRUE(logged("\tQLIB_DIAG_GSM_CALL_ORIG_F(iNumDigits = 3, aiIMSI = 112) - Completed successfully\n"));
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_GSM_CALL_END_F() - Completed successfully\n");
}

TEST_F(Ber, ASilentPhoneStopsEveryProcedureAtTheHandleCheck) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(gsm(h, 1, 1), 0);
    EXPECT_EQ(wcdma(h), 0);
    EXPECT_EQ(hsdpa(h), 0);
    EXPECT_EQ(edge(h, 1), 0);
    EXPECT_EQ(vendorCalls(), std::vector<std::string>{});
    EXPECT_EQ(log(), std::vector<std::string>(4, "\tInvalid handle - Failure\n"));
}

} // namespace
