// Network presets, IMEI and mode switching: the step tables, the scan-mode
// and channel tables, IMEI packing and the twins' reset rule.
#include "Imei.h"
#include "procedures_rf_steps.h"
#include "qmsl_pmic_sim.h"

#include <cstring>

namespace {

const std::string kNvWrite = "QLIB_DIAG_NV_WRITE_F";
using Bytes = std::vector<std::uint8_t>;

const Bytes kImeiPacked(kImeiPackedExample, kImeiPackedExample + 9);

class NetworkTest : public RfProcedureTest {
protected:
    std::vector<long long> writtenItems() const {
        std::vector<long long> r;
        for (const auto& e : qmsl_sim::phone(kPhonePort).calls(kNvWrite)) r.push_back(e.args[0]);
        return r;
    }
};

const StepsCase kNetworkCases[] = {
    {"Preselection", [](QmslHandle h) { return KAVOR_NetworkAndChannelPreselection(h, 2, 3, 100); },
     std::vector<std::string>(5, kNvWrite)},
    {"RoamingList", [](QmslHandle h) { return KAVOR_NV_SetRoamingListStatus(h, 1); },
     std::vector<std::string>(2, kNvWrite)},
    {"AutoAnswer", [](QmslHandle h) { return KAVOR_NVSetAutoAnswerStatus(h, 1); }, {kNvWrite}},
    {"ReadImei",
     [](QmslHandle h) {
         char text[16];
         return KAVOR_NV_READ_IMEI(h, text);
     },
     {"QLIB_DIAG_NV_READ_F"}},
    {"WriteImei", [](QmslHandle h) { return KAVOR_NV_WRITE_IMEI(h, kImei); }, {kNvWrite, "QLIB_DIAG_NV_READ_F"}},
    {"OnlineToFtm",
     [](QmslHandle h) { return KAVOR_ONLINE_TO_FTM(h); },
     {kNvWrite, "QLIB_DIAG_CONTROL_F", "QLIB_IsFTM_Mode"}},
    {"FtmToOnline",
     [](QmslHandle h) { return KAVOR_FTM_TO_ONLINE(h); },
     {kNvWrite, "QLIB_DIAG_CONTROL_F", "QLIB_IsFTM_Mode"}},
    {"SetClock", [](QmslHandle h) { return KAVOR_SpecialSetRtcActualTime(h); }, {"QLIB_FTM_PMIC_RTC_SET_GET_TIME"}},
    {"OnChipSim", [](QmslHandle h) { return KAVOR_SimSimulation(h); }, {"QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD"}},
};

INSTANTIATE_TEST_SUITE_P(NetworkImeiMode, ProcedureSteps, ::testing::ValuesIn(kNetworkCases), STEPS_CASE_NAME);

// --- scan modes and last good channel ---------------------------------------------

struct ScanCase {
    const char* name;
    unsigned char mode;
    Bytes nv10, nv441, nv848; // empty: nothing written
};
void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }
class ScanModes : public NetworkTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ScanModes, WriteTheirThreeItemsInOrder) {
    const ScanCase& c = GetParam();
    EXPECT_EQ(KAVOR_NV_WRITE_NETWORK_SCAN_MODE(h, c.mode), 1);
    if (c.nv10.empty()) {
        EXPECT_EQ(writtenItems(), std::vector<long long>{});
        EXPECT_TRUE(log().empty());
        return;
    }
    EXPECT_EQ(writtenItems(), (std::vector<long long>{10, 441, 848}));
    EXPECT_EQ(phone().nv[10].data, c.nv10);
    EXPECT_EQ(phone().nv[441].data, c.nv441);
    EXPECT_EQ(phone().nv[848].data, c.nv848);
    // The bytes start with 0: shown as empty text.
    EXPECT_TRUE(logged("\tKAVOR_DIAG_NV_WRITE_F(iItemID = 441, pItemData = , iLength = 3) - Completed successfully\n"));
}

INSTANTIATE_TEST_SUITE_P(Table, ScanModes,
                         ::testing::Values(ScanCase{"Mode0", 0, {0x00, 0x04}, {0x00, 0xFF, 0xFF}, {0x00, 0x02}},
                                           ScanCase{"Mode1WritesNothing", 1, {}, {}, {}},
                                           ScanCase{"Mode2", 2, {0x00, 0x0D}, {0x00, 0x00, 0x01}, {0x00, 0x01}},
                                           ScanCase{"Mode3", 3, {0x00, 0x0D}, {0x00, 0x80, 0x00}, {0x00, 0x01}},
                                           ScanCase{"Mode4", 4, {0x00, 0x0D}, {0x00, 0x04, 0x00}, {0x00, 0x01}},
                                           ScanCase{"Mode5", 5, {0x00, 0x0E}, {0x00, 0x01, 0x00}, {0x00, 0x02}},
                                           ScanCase{"Mode6WritesNothing", 6, {}, {}, {}}),
                         STEPS_CASE_NAME);

struct ChannelCase {
    const char* name;
    unsigned char mode;
    bool result;
    Bytes head; // bytes 0-3 of the record; empty: nothing written
};
void PrintTo(const ChannelCase& c, std::ostream* os) { *os << c.name; }
class LastGoodChannel : public NetworkTest, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(LastGoodChannel, WritesTheModesRecord) {
    const ChannelCase& c = GetParam();
    EXPECT_EQ(KAVOR_NV_WRITE_LAST_GOOD_CHANNEL(h, c.mode, 0x1234), c.result ? 1 : 0);
    if (c.head.empty()) {
        EXPECT_EQ(writtenItems(), std::vector<long long>{});
        EXPECT_TRUE(log().empty());
        return;
    }
    Bytes record(128, 0);
    std::copy(c.head.begin(), c.head.end(), record.begin());
    EXPECT_EQ(phone().nv[1894].data, record);
}

INSTANTIATE_TEST_SUITE_P(Table, LastGoodChannel,
                         ::testing::Values(ChannelCase{"Mode0AllZero", 0, true, {0, 0, 0, 0}},
                                           ChannelCase{"Mode1Refused", 1, false, {}},
                                           ChannelCase{"Mode2", 2, true, {0x01, 0x34, 0x12, 0x00}},
                                           ChannelCase{"Mode3", 3, true, {0x01, 0x34, 0x12, 0x03}},
                                           ChannelCase{"Mode4", 4, true, {0x01, 0x34, 0x12, 0x02}},
                                           ChannelCase{"Mode5AllZero", 5, true, {0, 0, 0, 0}},
                                           ChannelCase{"Mode6Refused", 6, false, {}}),
                         STEPS_CASE_NAME);

TEST_F(NetworkTest, PreselectionWithScanMode1WritesOnlyTheClearedItemAndTheChannel) {
    phone().set_nv(945, Bytes(128, 0xEE));
    EXPECT_EQ(KAVOR_NetworkAndChannelPreselection(h, 1, 3, 0x1234), 1);
    EXPECT_EQ(writtenItems(), (std::vector<long long>{945, 1894}));
    EXPECT_EQ(phone().nv[945].data, Bytes(128, 0));
    EXPECT_TRUE(
        logged("\tKAVOR_DIAG_NV_WRITE_F(iItemID = 945, pItemData = <ptr>, iLength = 128) - Completed "
               "successfully\n"));
    EXPECT_TRUE(logged("\tKAVOR_NV_WRITE_NETWORK_SCAN_MODE(eNetwMode = \x01) - Completed successfully\n"));
    EXPECT_EQ(log().back(),
              "\tKAVOR_NV_WRITE_LAST_GOOD_CHANNEL(eNetwMode = \x03, uiChannel = 4660) - Completed "
              "successfully\n");
}

TEST_F(NetworkTest, PreselectionFailsOnANetworkModeWithoutRecordAndKeepsWhatItWrote) {
    EXPECT_EQ(KAVOR_NetworkAndChannelPreselection(h, 2, 1, 7), 0);
    EXPECT_EQ(writtenItems(), (std::vector<long long>{945, 10, 441, 848}));
    EXPECT_EQ(log().back(), "\tKAVOR_NV_WRITE_LAST_GOOD_CHANNEL(eNetwMode = \x01, uiChannel = 7) - Failure\n");
}

// --- roaming list and auto answer ---------------------------------------------------

struct SwitchCase {
    const char* name;
    unsigned char on;
    std::uint8_t stored;
};
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }
class OnOffItems : public NetworkTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(OnOffItems, OnlyOneMeansOn) {
    const SwitchCase& c = GetParam();
    EXPECT_EQ(KAVOR_NV_SetRoamingListStatus(h, c.on), 1);
    EXPECT_EQ(phone().nv[256].data, (Bytes{0, c.stored}));
    EXPECT_EQ(phone().nv[1190].data, (Bytes{0x80, 0x00}));
    EXPECT_EQ(KAVOR_NVSetAutoAnswerStatus(h, c.on), 1);
    EXPECT_EQ(phone().nv[74].data, Bytes{c.stored});
    EXPECT_EQ(writtenItems(), (std::vector<long long>{256, 1190, 74}));
}

INSTANTIATE_TEST_SUITE_P(Values, OnOffItems,
                         ::testing::Values(SwitchCase{"On", 1, 1}, SwitchCase{"Off", 0, 0},
                                           SwitchCase{"TwoIsOff", 2, 0}, SwitchCase{"AllBitsIsOff", 0xFF, 0}),
                         STEPS_CASE_NAME);

TEST_F(NetworkTest, RoamingListStopsAtAFailedFirstItem) {
    phone().set_nv(256, {}, 2);
    EXPECT_EQ(KAVOR_NV_SetRoamingListStatus(h, 1), 0);
    EXPECT_EQ(writtenItems(), std::vector<long long>{256});
    EXPECT_EQ(log().back(), "\tKAVOR_DIAG_NV_WRITE_F(iItemID = 256, pItemData = , iLength = 2) - Failure\n");
}

// --- IMEI ---------------------------------------------------------------------------

TEST(ImeiPacking, PacksAndUnpacksTheExample) {
    unsigned char packed[9];
    kavor::packImei(kImei, packed);
    EXPECT_EQ(Bytes(packed, packed + 9), kImeiPacked);
    char text[16];
    std::memset(text, 'x', sizeof text);
    kavor::unpackImei(packed, text);
    EXPECT_STREQ(text, kImei);
}

TEST_F(NetworkTest, ReadImeiUnpacksTheItem) {
    char text[16];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(KAVOR_NV_READ_IMEI(h, text), 1);
    EXPECT_STREQ(text, kImei);
    EXPECT_EQ(phone().calls("QLIB_DIAG_NV_READ_F").at(0).args, (std::vector<long long>{550, 9}));
    EXPECT_EQ(log().back(),
              "\tQLIB_DIAG_NV_READ_F(iItemID = 550, pItemData = \x08J\tQ$02W\x81, iLength = 9) - Completed "
              "successfully\n");
}

TEST_F(NetworkTest, ReadImeiWithAnNvStatusClearsTheText) {
    phone().set_nv(550, kImeiPacked, 5);
    char text[16];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(KAVOR_NV_READ_IMEI(h, text), 0);
    EXPECT_EQ(std::string(text, 16), std::string(16, '\0'));
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_NV_READ_F(iNvStatus = 5) - Failure\n");
}

TEST_F(NetworkTest, WriteImeiStoresThePackedDigitsAndReadsThemBack) {
    phone().nv.erase(550);
    EXPECT_EQ(KAVOR_NV_WRITE_IMEI(h, kImei), 1);
    EXPECT_EQ(phone().nv[550].data, kImeiPacked);
    EXPECT_EQ(log().back(),
              "\tKAVOR_DIAG_NV_READ_F(iItemID = 550, pItemData = \x08J\tQ$02W\x81, iLength = 9) - "
              "Completed successfully\n");
}

TEST_F(NetworkTest, WriteImeiFailsWhenTheReadBackDiffers) {
    phone().set_handler("QLIB_DIAG_NV_READ_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set_bytes(0, {0x08, 0x4A, 0x09, 0x51, 0x24, 0x30, 0x32, 0x57, 0x80});
        c.set(1, 0);
        return true;
    });
    EXPECT_EQ(KAVOR_NV_WRITE_IMEI(h, kImei), 0);
    EXPECT_EQ(log().back(), "\tcImei[i] != cImeiRead[i] - Failure\n");
}

struct BadImei {
    const char* name;
    const char* text;
};
void PrintTo(const BadImei& c, std::ostream* os) { *os << c.name; }
class RefusedImei : public NetworkTest, public ::testing::WithParamInterface<BadImei> {};

TEST_P(RefusedImei, IsRefusedBeforeThePhoneIsAsked) {
    EXPECT_EQ(KAVOR_NV_WRITE_IMEI(h, GetParam().text), 0);
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_EQ(log(), std::vector<std::string>{"\tIMEI is not 15 digits - Failure\n"});
    EXPECT_EQ(phone().nv[550].data, kImeiPacked);
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedImei,
                         ::testing::Values(BadImei{"Null", nullptr}, BadImei{"Empty", ""},
                                           BadImei{"FourteenDigits", "49015420323751"},
                                           BadImei{"Letter", "49015420323751A"},
                                           BadImei{"SpaceInside", "4901542 3237518"},
                                           BadImei{"Signed", "-49015420323751"}),
                         STEPS_CASE_NAME);

TEST_F(NetworkTest, WriteImeiReadsOnlyFifteenCharacters) {
    EXPECT_EQ(KAVOR_NV_WRITE_IMEI(h, "490154203237518999"), 1);
    EXPECT_EQ(phone().nv[550].data, kImeiPacked);
}

// --- mode switching -------------------------------------------------------------------

struct SwitchModeCase {
    const char* name;
    std::function<unsigned char(QmslHandle)> run;
    qmsl_sim::Power start;
    bool modeCommandWorks; // whether the mode command itself switches the phone
    long long modeSent;
    std::uint8_t flag;
    bool resetSent;
    qmsl_sim::Power end; // once the phone is back
};
void PrintTo(const SwitchModeCase& c, std::ostream* os) { *os << c.name; }
class ModeSwitching : public NetworkTest, public ::testing::WithParamInterface<SwitchModeCase> {};

TEST_P(ModeSwitching, ResetsOnlyWhenTheModeCommandWasNotEnough) {
    const SwitchModeCase& c = GetParam();
    phone().set_power(c.start);
    if (!c.modeCommandWorks)
        phone().set_handler("QLIB_DIAG_CONTROL_F", [](qmsl_sim::Phone& p, const qmsl_sim::Call& call) {
            const int mode = static_cast<int>(call.in[0].value);
            return mode == 3 || mode == 4 ? true : p.control(mode);
        });
    EXPECT_EQ(c.run(h), 1);
    EXPECT_EQ(phone().nv[453].data, Bytes{c.flag});
    std::vector<long long> modes;
    for (const auto& e : phone().calls("QLIB_DIAG_CONTROL_F")) modes.push_back(e.args[0]);
    EXPECT_EQ(modes, c.resetSent ? (std::vector<long long>{c.modeSent, 2}) : std::vector<long long>{c.modeSent});
    EXPECT_EQ(log().back(),
              c.resetSent ? "\tQLIB_DIAG_CONTROL_F(eMode = 2) - Completed successfully\n"
                          : "\tQLIB_IsFTM_Mode(pbIsFTMMode = " + std::to_string(c.end == qmsl_sim::Power::Ftm ? 1 : 0) +
                                ") - Completed successfully\n");
    pclock::sleep_ms(phone().reset_ms);
    EXPECT_EQ(phone().power(), c.end);
}

INSTANTIATE_TEST_SUITE_P(Twins, ModeSwitching,
                         ::testing::Values(SwitchModeCase{"ToFtmAtOnce", KAVOR_ONLINE_TO_FTM, qmsl_sim::Power::Online,
                                                          true, 3, 1, false, qmsl_sim::Power::Ftm},
                                           SwitchModeCase{"ToFtmByReset", KAVOR_ONLINE_TO_FTM, qmsl_sim::Power::Online,
                                                          false, 3, 1, true, qmsl_sim::Power::Ftm},
                                           SwitchModeCase{"ToOnlineAtOnce", KAVOR_FTM_TO_ONLINE, qmsl_sim::Power::Ftm,
                                                          true, 4, 0, false, qmsl_sim::Power::Online},
                                           SwitchModeCase{"ToOnlineByReset", KAVOR_FTM_TO_ONLINE, qmsl_sim::Power::Ftm,
                                                          false, 4, 0, true, qmsl_sim::Power::Online}),
                         STEPS_CASE_NAME);

TEST_F(NetworkTest, AFailedFtmQueryEndsTheSwitchWithoutAReset) {
    phone().inject("QLIB_IsFTM_Mode", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_ONLINE_TO_FTM(h), 0);
    EXPECT_EQ(phone().count("QLIB_DIAG_CONTROL_F"), 1u);
    EXPECT_EQ(log().back(), "\tQLIB_IsFTM_Mode(pbIsFTMMode = 0) - Failure\n");
}

// --- clock and on-chip SIM ----------------------------------------------------------------

TEST_F(NetworkTest, ClockIsSetToTheSystemsUtcTime) {
    pclock::set_virtual_utc_s(1796908268);  // 2026-12-10 13:11:08 UTC
    EXPECT_EQ(KAVOR_SpecialSetRtcActualTime(h), 1);
    EXPECT_EQ(phone().calls("QLIB_FTM_PMIC_RTC_SET_GET_TIME").at(0).args.at(0), 0);
    EXPECT_EQ(qmsl_sim::pmic(phone()).rtc, (qmsl_sim::RtcTime{1, 12, 10, 2026, 13, 11, 8}));
    // Numeric bytes are shown with %c; the year as its low byte.
    EXPECT_EQ(log().back(),
              "\tQLIB_FTM_PMIC_RTC_SET_GET_TIME(iReadWrite = 0, iTimeMode = \x01, iMonth = \x0c, iDay = \x0a, "
              "iYear = \xea, iHour = \x0d, iMinute = \x0b, iSecond = \x08) - Completed successfully\n");
}

struct SimCase {
    const char* name;
    unsigned command, status;
    const char* lastLine;
};
void PrintTo(const SimCase& c, std::ostream* os) { *os << c.name; }
class OnChipSim : public NetworkTest, public ::testing::WithParamInterface<SimCase> {};

TEST_P(OnChipSim, NeedsBothStatusesZero) {
    const SimCase& c = GetParam();
    phone().set_outputs("QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD", {c.command, c.status});
    EXPECT_EQ(KAVOR_SimSimulation(h), c.command == 0 && c.status == 0 ? 1 : 0);
    const auto call = phone().calls("QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD").at(0);
    EXPECT_EQ(call.args.at(0), 1);
    EXPECT_EQ(call.bytes, Bytes(16, 0));
    EXPECT_EQ(log().back(), c.lastLine);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, OnChipSim,
    ::testing::Values(SimCase{"Activated", 0, 0,
                              "\tQLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD(iSlotId = \x01, iSIM_AppIdLen = \x10, "
                              "piSIM_AppId = ) - Completed successfully\n"},
                      SimCase{"StatusSet", 0, 3, "\t(_iStatus != 0) - Failure\n"},
                      SimCase{"CommandStatusSet", 2, 0, "\t(_iCommandStatus != 0) - Failure\n"},
                      SimCase{"BothSetStatusFirst", 2, 3, "\t(_iStatus != 0) - Failure\n"}),
    STEPS_CASE_NAME);

} // namespace
