// The mode switch and its checks, the hardware detection, the low-power mode
// and the RF NV load by phone type.
#include "TesselFcts.h"
#include "TesselFctsFixture.h"
#include "qmsl_diag_sim.h"

namespace {

using qmsl_sim::Power;

class Mode : public TesselFcts {
protected:
    static void ftmStatus(std::uint16_t id, std::uint16_t status) {
        qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, id}] = status;
    }
    // A phone the detection takes for type 0 (hardware id 3, model byte 219).
    static void brenvel5() {
        phone().profile.model = 219;
        qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0, 3, 0};
    }
};

TEST_F(Mode, OnlineIsCheckedAtOnceWithoutAWait) {
    const int s = connected();
    phone().set_power(Power::Offline);
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_DiagControlF(s, 4, "m.c", 1), 0);
    EXPECT_EQ(pclock::now_ms(), t0);
    EXPECT_EQ(phone().power(), Power::Online);
    EXPECT_EQ(phone().calls("QLIB_DIAG_CONTROL_F").at(0).args, std::vector<long long>{4});
    EXPECT_EQ(phone().count("QLIB_DIAG_STATUS_F"), 1u);
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 1u);
    EXPECT_TRUE(hasLine("[switching mode...]"));
    EXPECT_TRUE(hasLine("[checking mode...]"));
    EXPECT_FALSE(hasLine("[waiting...]"));
    EXPECT_EQ(slot(s).sPhoneType, 11);  // no detection after a change to online
}

TEST_F(Mode, OnlineThatTheStateDoesNotConfirmFails) {
    const int s = connected();
    phone().set_handler("QLIB_DIAG_STATUS_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 0);
        return true;
    });
    EXPECT_EQ(_Tessel_DiagControlF(s, 4, "m.c", 1), kLib);
    EXPECT_TRUE(hasLine("[ERROR: Phone is not in ONLINE mode. Aborting sequence.]"));
}

TEST_F(Mode, OnlineWhoseStateCannotBeReadFails) {
    const int s = connected();
    phone().inject("QLIB_DIAG_STATUS_F", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_DiagControlF(s, 4, "m.c", 1), kLib);
    EXPECT_TRUE(hasLine("[ERROR: Cannot read diag state. Aborting sequence.]"));
}

TEST_F(Mode, FtmWaitsSevenSecondsThenChecksAndDetectsThePhone) {
    const int s = connected();
    brenvel5();
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_DiagControlF(s, 3, "m.c", 1), 0);
    EXPECT_EQ(phone().power(), Power::Ftm);
    // The check comes only after the wait.
    const auto reqs = phone().calls("QLIB_SendSync");
    ASSERT_FALSE(reqs.empty());
    EXPECT_EQ(reqs.front().at_ms - t0, 7000);
    EXPECT_EQ(ftmIds().front(), 10);  // hardware version first
    EXPECT_EQ(slot(s).sPhoneType, 0);
    EXPECT_TRUE(hasLine("[waiting...]"));
    EXPECT_TRUE(hasLine("[=== Mobile Hardware Detection : 0,Brenvel 5 ===]"));
    EXPECT_TRUE(hasLine("[=== FTM_GET_HW_ID = 3]"));
    EXPECT_TRUE(hasLine("[=== DIAG_VERNO_F  = 219]"));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_DiagControlF() = 0 (SUCCESS) ");
}

TEST_F(Mode, FtmThatThePhoneDoesNotAnswerFailsWithoutDetection) {
    const int s = connected();
    ftmStatus(10, 1);
    EXPECT_EQ(_Tessel_DiagControlF(s, 3, "m.c", 1), kLib);
    EXPECT_TRUE(hasLine("[ERROR: Phone is not in FTM mode. Aborting sequence.]"));
    EXPECT_EQ(phone().count("QLIB_DIAG_VERNO_F"), 0u);
    EXPECT_EQ(slot(s).sPhoneType, 11);
}

TEST_F(Mode, RefusedSwitchFailsWithoutWaitOrCheck) {
    const int s = connected();
    phone().inject("QLIB_DIAG_CONTROL_F", qmsl_sim::Fault{});
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_DiagControlF(s, 3, "m.c", 1), kLib);
    EXPECT_EQ(pclock::now_ms(), t0);
    EXPECT_TRUE(ftmIds().empty());
    EXPECT_FALSE(hasLine("[checking mode...]"));
}

TEST_F(Mode, OtherModesAreNotChecked) {
    const int s = connected();
    EXPECT_EQ(_Tessel_DiagControlF(s, 1, "m.c", 1), 0);
    EXPECT_EQ(phone().power(), Power::Offline);
    EXPECT_EQ(phone().count("QLIB_DIAG_STATUS_F"), 0u);
    EXPECT_TRUE(ftmIds().empty());
    EXPECT_TRUE(hasLine("_Tessel_DiagControlF( Handle=" + std::to_string(handleOf(s)) + ", eMode=1("));
}

TEST_F(Mode, UnconnectedSessionSwitchesNothing) {
    const int s = openSession();
    EXPECT_EQ(_Tessel_DiagControlF(s, 4, "m.c", 1), kLib);
    EXPECT_EQ(phone().count("QLIB_DIAG_CONTROL_F"), 0u);
}

// --- hardware detection -------------------------------------------------------

struct DetectCase {
    std::string name;
    int hwIdReply;         // -1: the FTM command fails
    std::string buildId;   // software revision text of the build id
    int model;             // -1: the version command fails
    int type;
};
void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.name; }

class Detect : public Mode, public ::testing::WithParamInterface<DetectCase> {};

TEST_P(Detect, MapsHardwareIdAndModelToThePhoneType) {
    const DetectCase& c = GetParam();
    const int s = connected();
    if (c.hwIdReply < 0) ftmStatus(29, 1);
    else qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0, std::uint8_t(c.hwIdReply), 0};
    phone().profile.build_id = c.buildId;
    if (c.model < 0) phone().inject("QLIB_DIAG_VERNO_F", qmsl_sim::Fault{});
    else phone().profile.model = static_cast<std::uint8_t>(c.model);
    Tessel_InternalDetectHardware(s);
    EXPECT_EQ(slot(s).sPhoneType, c.type);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Detect,
    ::testing::Values(DetectCase{"HwId3Model219", 3, "", 219, 0}, DetectCase{"HwId14Model247", 14, "", 247, 10},
                      DetectCase{"HwIdLowByteSigned", 0xFF, "", 226, 3},
                      DetectCase{"NoHwIdBuild6275", -1, "M6275B-77", 226, 5},
                      DetectCase{"NoHwIdBuild6280", -1, "M6280A.1", 209, 7},
                      DetectCase{"NoHwIdOtherBuild", -1, "M6250", 219, 11},
                      DetectCase{"NoVersion", 3, "", -1, 11}),
    [](const ::testing::TestParamInfo<DetectCase>& i) { return i.param.name; });

// --- low-power mode and RF NV load -------------------------------------------------

TEST_F(Mode, LowPowerMode3WarnsAfterTheResult) {
    const int s = connected();
    EXPECT_EQ(_Tessel_FtmSetLowPowerMode(s, 3, "m.c", 1), 0);
    const Lines l = lines();
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(l[l.size() - 3], "(3A)    _Tessel_FtmSetLowPowerMode() = 0 (SUCCESS) ");
    EXPECT_EQ(l[l.size() - 2], "(3I)    [!!! LPM3 -> PHONE HAS TO BE RESET NOW !!!]");
    EXPECT_EQ(l[l.size() - 1], "(3I)    [!!! NO MORE COMMUNICATION POSSIBLE    !!!]");
    EXPECT_EQ(ftmRequests().at(0).id, 19);
    EXPECT_EQ(ftmRequests().at(0).data.at(0), 3);
}

TEST_F(Mode, LowPowerModeOtherModesNoWarning) {
    const int s = connected();
    EXPECT_EQ(_Tessel_FtmSetLowPowerMode(s, 1, "m.c", 1), 0);
    EXPECT_FALSE(hasLine("LPM3"));
    const int t = openSession();
    EXPECT_EQ(_Tessel_FtmSetLowPowerMode(t, 1, "m.c", 1), kLib);
}

struct RfNvCase {
    std::string name;
    int type;
    const char* via;  // "QLIB", "KAVOR" or "" (not supported)
};
void PrintTo(const RfNvCase& c, std::ostream* os) { *os << c.name; }

class RfNv : public Mode, public ::testing::WithParamInterface<RfNvCase> {};

TEST_P(RfNv, LoadsThroughTheCallOfThePhoneType) {
    const RfNvCase& c = GetParam();
    const int s = connected("TRACELEVEL:2");
    _Tessel_SetMobModel(s, c.type, "m.c", 1);
    const std::string via = c.via;
    EXPECT_EQ(_Tessel_LoadRfNv(s, "m.c", 2), via.empty() ? kLib : 0);
    EXPECT_EQ(phone().count("QLIB_FTM_LOAD_RF_NV"), via == "QLIB" ? 1u : 0u);
    EXPECT_EQ(ftmIds(), via == "KAVOR" ? std::vector<std::uint16_t>{35} : std::vector<std::uint16_t>{});
    if (via.empty()) EXPECT_TRUE(hasLine("[ERROR: Mobile type not supported.]"));
    else EXPECT_TRUE(hasLine(via + "_FTM_LOAD_RF_NV()"));
    EXPECT_TRUE(hasLine("_Tessel_LoadRfNv( iFTM_Status=0 )"));
}

class RfNvStatus : public RfNv {};

TEST_P(RfNvStatus, FtmStatusOtherThanZeroFails) {
    const RfNvCase& c = GetParam();
    const int s = connected();
    _Tessel_SetMobModel(s, c.type, "m.c", 1);
    phone().set_outputs("QLIB_FTM_LOAD_RF_NV", {2});
    ftmStatus(35, 2);
    EXPECT_EQ(_Tessel_LoadRfNv(s, "m.c", 2), kLib);
    EXPECT_TRUE(hasLine("_Tessel_LoadRfNv( iFTM_Status=2 ) = 0xbffc19f7"));
}

INSTANTIATE_TEST_SUITE_P(Types, RfNv,
                         ::testing::Values(RfNvCase{"Type0", 0, "KAVOR"}, RfNvCase{"Type1", 1, ""},
                                           RfNvCase{"Type2", 2, ""}, RfNvCase{"Type3", 3, ""},
                                           RfNvCase{"Type4", 4, "KAVOR"}, RfNvCase{"Type5", 5, "QLIB"},
                                           RfNvCase{"Type6", 6, "KAVOR"}, RfNvCase{"Type7", 7, "QLIB"},
                                           RfNvCase{"Type8", 8, "KAVOR"}, RfNvCase{"Type9", 9, "KAVOR"},
                                           RfNvCase{"Type10", 10, "KAVOR"}, RfNvCase{"Unknown", 11, ""}),
                         [](const ::testing::TestParamInfo<RfNvCase>& i) { return i.param.name; });
INSTANTIATE_TEST_SUITE_P(Supported, RfNvStatus,
                         ::testing::Values(RfNvCase{"Kavor", 0, "KAVOR"}, RfNvCase{"Vendor", 7, "QLIB"}),
                         [](const ::testing::TestParamInfo<RfNvCase>& i) { return i.param.name; });

} // namespace
