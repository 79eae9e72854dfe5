// The generic NV item read and write, the service programming code, the
// factory data byte, the version, the flash id, the PMIC USB test, the
// SIM-side commands and the port lists.
#include "TesselEnum.h"
#include "TesselFctsFixture.h"
#include "qmsl_diag_sim.h"

#include <cstring>
#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;

class Diag : public TesselFcts {};

// --- generic NV ------------------------------------------------------------------

TEST_F(Diag, NvWriteStoresTheItemAndTracesItsBytes) {
    const int s = connected();
    const unsigned char data[3] = {1, 2, 0xAB};
    unsigned short nv = 99;
    EXPECT_EQ(_Tessel_DiagNvWriteF(s, 0x10000 + 550, data, 3, &nv, "n.c", 5), 0);
    EXPECT_EQ(nv, 0);
    EXPECT_EQ(phone().nv.at(550).data, (Bytes{1, 2, 0xAB}));
    EXPECT_EQ(lines(), (Lines{"(3C)    _Tessel_DiagNvWriteF( Handle=" + std::to_string(handleOf(s)) +
                                  ", iItemID=550, iLength=3 ) Sess=1 in File \"n.c\" Line 5",
                              "(3I)    NV={ 01 02 AB }",
                              std::string("(3A)    _Tessel_DiagNvWriteF() = 0(*piNvStatus=0(") + Get_cNvStat(0) +
                                  ")) (SUCCESS) "}));
}

TEST_F(Diag, NvStatusOfThePhoneIsGivenBackNotMapped) {
    const int s = connected();
    phone().set_nv(453, {0}, 5);
    const unsigned char one = 1;
    unsigned short nv = 0;
    EXPECT_EQ(_Tessel_DiagNvWriteF(s, 453, &one, 1, &nv, "n.c", 1), 0);
    EXPECT_EQ(nv, 5);
    EXPECT_TRUE(hasLine(std::string("(*piNvStatus=5(") + Get_cNvStat(5) + "))"));
    unsigned char back = 0xEE;
    EXPECT_EQ(_Tessel_DiagNvReadF(s, 9999, &back, 1, &nv, "n.c", 2), 0);  // never written
    EXPECT_EQ(nv, phone().nv_missing_status);
}

TEST_F(Diag, NvReadGivesTheItemAndTracesItsBytes) {
    const int s = connected();
    phone().set_nv(2824, {9, 8, 7});
    unsigned char data[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    unsigned short nv = 99;
    EXPECT_EQ(_Tessel_DiagNvReadF(s, 2824, data, 4, &nv, "n.c", 1), 0);
    EXPECT_EQ(Bytes(data, data + 4), (Bytes{9, 8, 7, 0}));
    EXPECT_EQ(nv, 0);
    EXPECT_TRUE(hasLine("(3I)    NV={ 09 08 07 00 }"));
    EXPECT_EQ(lines().back(), std::string("(3A)    _Tessel_DiagNvReadF(*piStatus=0(") + Get_cNvStat(0) + ")) = 0 (SUCCESS) ");
}

TEST_F(Diag, NvFailuresAndRefusals) {
    const int s = connected();
    unsigned char data[2] = {};
    unsigned short nv = 0;
    phone().inject("QLIB_DIAG_NV_READ_F", qmsl_sim::Fault{});
    phone().inject("QLIB_DIAG_NV_WRITE_F", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_DiagNvReadF(s, 1, data, 2, &nv, "n.c", 1), kLib);
    EXPECT_EQ(_Tessel_DiagNvWriteF(s, 1, data, 2, &nv, "n.c", 1), kLib);
    EXPECT_EQ(_Tessel_DiagNvReadF(s, 1, nullptr, 2, &nv, "n.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_DiagNvWriteF(s, 1, data, 2, nullptr, "n.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_DiagNvWriteF(s, 1, data, -1, &nv, "n.c", 1), TESSEL_ERROR_PARAMETER2);
    const int t = openSession();
    phone().clear_journal();
    EXPECT_EQ(_Tessel_DiagNvReadF(t, 1, data, 2, &nv, "n.c", 1), kLib);
    EXPECT_EQ(_Tessel_DiagNvWriteF(t, 1, data, 2, &nv, "n.c", 1), kLib);
    EXPECT_TRUE(phone().journal.empty());
}

// --- service programming code ----------------------------------------------------

TEST_F(Diag, SpcAcceptedOpensAndIsTracedReversed) {
    const int s = connected();
    qmsl_sim::diag_info(phone()).spc = "123456";
    unsigned char result = 0xEE;
    EXPECT_EQ(_Tessel_DiagSpcF(s, "123456", &result, "s.c", 1), 0);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(hasLine("iSPC[5...0]=654321 ) Sess=1"));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_DiagSpcF( piSPC_Result=1(OPEN) ) = 0 (SUCCESS) ");
}

TEST_F(Diag, SpcRefusedIsNoErrorStatus) {
    const int s = connected();
    unsigned char result = 0xEE;
    EXPECT_EQ(_Tessel_DiagSpcF(s, "999999", &result, "s.c", 1), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_DiagSpcF( piSPC_Result=0(CLOSED) ) = 0 (SUCCESS) ");
}

TEST_F(Diag, SpcShortCodeIsSentZeroPadded) {
    const int s = connected();
    unsigned char result = 0;
    EXPECT_EQ(_Tessel_DiagSpcF(s, "12", &result, "s.c", 1), 0);
    EXPECT_EQ(phone().calls("QLIB_DIAG_SPC_F").at(0).bytes, (Bytes{'1', '2', 0, 0, 0, 0}));
    EXPECT_TRUE(hasLine("iSPC[5...0]=    21 ) Sess=1"));
    EXPECT_EQ(_Tessel_DiagSpcF(s, nullptr, &result, "s.c", 1), TESSEL_ERROR_PARAMETER2);
    phone().inject("QLIB_DIAG_SPC_F", qmsl_sim::Fault{});
    result = 1;
    EXPECT_EQ(_Tessel_DiagSpcF(s, "000000", &result, "s.c", 1), kLib);
    EXPECT_EQ(result, 0);  // a failed call never reports "open"
}

// --- factory data ------------------------------------------------------------------

TEST_F(Diag, FactoryDataLastAddressReachesThePhoneTheNextDoesNot) {
    const int s = connected();
    unsigned char value = 0x5A;
    EXPECT_EQ(_Tessel_FtmReadWriteFactoryData(s, 1, 127, &value, "f.c", 1), 0);
    EXPECT_EQ(qmsl_sim::ext_ftm(phone()).factory_data.at(127), 0x5A);
    value = 0;
    EXPECT_EQ(_Tessel_FtmReadWriteFactoryData(s, 0, 127, &value, "f.c", 2), 0);
    EXPECT_EQ(value, 0x5A);
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_FtmReadWriteFactoryData( *piDataValue=0x5A ) = 0 (SUCCESS) ");
    phone().clear_journal();
    EXPECT_EQ(_Tessel_FtmReadWriteFactoryData(s, 0, 128, &value, "f.c", 3), kLib);
    EXPECT_EQ(_Tessel_FtmReadWriteFactoryData(s, 0, -1, &value, "f.c", 3), kLib);
    EXPECT_TRUE(ftmIds().empty());
    EXPECT_TRUE(hasLine("iOperationType=0, iDataAddress=128, *piDataValue=0x5A ) Sess=1"));
}

// --- version ---------------------------------------------------------------------

TEST_F(Diag, VersionTextsAreCutAndTracedInThreeLines) {
    const int s = connected();
    auto& d = qmsl_sim::diag_info(phone());
    d.comp_date = "Dec 01 2026 and more";
    d.comp_time = "10:00:00.123";
    d.rel_date = "Dec 02 2026";
    d.rel_time = "11:00:00";
    d.ver_dir = "M6280A-LONG";
    d.scm = 10;
    d.mob_firm_rev = 300;
    d.voc_maj = 2;
    phone().profile.model = 219;
    char t[5][TESSEL_VERNO_TEXT_MAX];
    unsigned char scm, cai, model, slotIdx, vmaj, vmin;
    unsigned short firm;
    EXPECT_EQ(_Tessel_DiagVernoF(s, t[0], t[1], t[2], t[3], t[4], &scm, &cai, &model, &firm, &slotIdx, &vmaj, &vmin,
                                 "v.c", 1),
              0);
    EXPECT_STREQ(t[0], "Dec 01 2026");
    EXPECT_STREQ(t[1], "10:00:00");
    EXPECT_STREQ(t[4], "M6280A-L");
    EXPECT_EQ(model, 219);
    EXPECT_EQ(firm, 300);
    const Lines l = lines();
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[1], "(3A)    1. _Tessel_DiagVernoF( comp_date=Dec 01 2026, comp_time=10:00:00, rel_date=Dec 02 2026, "
                    "ver_dir=M6280A-L ) = 0 (SUCCESS) ");
    EXPECT_EQ(l[2], "(3A)    2. _Tessel_DiagVernoF( scm=10, mob_cai_rev=0, mob_model=219, mob_firm_rev=300 ) = 0 (SUCCESS) ");
    EXPECT_EQ(l[3], "(3A)    3. _Tessel_DiagVernoF( slot_cycle_index=0, voc_maj=2, voc_min=0 ) = 0 (SUCCESS) ");
    phone().inject("QLIB_DIAG_VERNO_F", qmsl_sim::Fault{});
    std::memset(t, 'x', sizeof t);
    EXPECT_EQ(_Tessel_DiagVernoF(s, t[0], t[1], t[2], t[3], t[4], &scm, &cai, &model, &firm, &slotIdx, &vmaj, &vmin,
                                 "v.c", 2),
              kLib);
    EXPECT_STREQ(t[0], "");  // cleared before the call
}

TEST_F(Diag, BuildIdTextsOfACallNotMadeAreEmpty) {
    const int s = openSession();
    unsigned int msm = 0, model = 0;
    char rev[TESSEL_BUILD_TEXT_MAX], text[TESSEL_BUILD_TEXT_MAX];
    std::memset(rev, 'x', sizeof rev);  // unterminated
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(_Tessel_DiagExtBuildIdF(s, &msm, &model, rev, text, "b.c", 1), kLib);
    EXPECT_STREQ(rev, "");
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(hasLine("*sMobSwRev = \"\", *sModelStr = \"\" ) = 0xbffc19f7"));
}

// --- flash id and PMIC USB ---------------------------------------------------------

TEST_F(Diag, FlashIdIsMakerTimes256PlusDevice) {
    const int s = connected();
    phone().set_outputs("QLIB_EFS2_DIAG_DEV_INFO", {1LL, 2, 3, 4, 5, 0xEC, 0x75, 8, "NAND"});
    unsigned short id = 0;
    EXPECT_EQ(_Tessel_FtmGetNandFlashId(s, &id, "f.c", 1), 0);
    EXPECT_EQ(id, 0xEC75);
    EXPECT_EQ(lines().back(), std::string("(3A)    _Tessel_FtmGetNandFlashId( *piVersionData=0xEC75(") +
                                  Get_cFlash(0xEC75) + ") ) = 0 (SUCCESS) ");
}

TEST_F(Diag, FlashIdOfAFailedCallIsZero) {
    const int s = connected();
    phone().inject("QLIB_EFS2_DIAG_DEV_INFO", qmsl_sim::Fault{});
    unsigned short id = 0xBEEF;
    EXPECT_EQ(_Tessel_FtmGetNandFlashId(s, &id, "f.c", 1), kLib);
    EXPECT_EQ(id, 0);
}

TEST_F(Diag, PmicUsbTestIsNotAvailable) {
    const int s = connected();
    EXPECT_EQ(_Tessel_FtmTestFtmPmicUsb(s, 1, "p.c", 1), kLib);
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_EQ(lines().back(), "(3A) E  _Tessel_FtmTestFtmPmicUsb() = 0xbffc19f7 (ERROR)   ");
}

// --- SIM-side commands ------------------------------------------------------------

struct SimCase {
    std::string name;
    std::function<int(int)> invoke;
    std::string call;
    std::vector<long long> args;
    Bytes bytes;
    std::size_t commandOut;  // index of the command status among the call's outputs
};
void PrintTo(const SimCase& c, std::ostream* os) { *os << c.name; }

const Bytes kZeroId(16, 0);
const unsigned char kAppId[4] = {0xA1, 0xA2, 0xA3, 0xA4};
const unsigned char kData[3] = {7, 8, 9};
Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Sim : public TesselFcts, public ::testing::WithParamInterface<SimCase> {
protected:
    // The phone's two statuses: command status, status.
    void statuses(long long command, long long status) {
        std::vector<qmsl_sim::OutValue> v(GetParam().commandOut, qmsl_sim::OutValue(0LL));
        v.push_back(command);
        v.push_back(status);
        phone().set_outputs(GetParam().call, v);
    }
};

TEST_P(Sim, SendsSlotOneAndTheApplicationId) {
    const SimCase& c = GetParam();
    const int s = connected();
    EXPECT_EQ(c.invoke(s), 0);
    const auto calls = phone().calls(c.call);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, c.args);
    EXPECT_EQ(calls[0].bytes, c.bytes);
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_" + c.name + "( _iQlibStatus=1, _iStatus=0, _iCommandStatus=0 ) = 0 (SUCCESS) ");
}

TEST_P(Sim, StatusOrCommandStatusOrFalseAnswerFails) {
    const SimCase& c = GetParam();
    const int s = connected();
    statuses(0, 3);
    EXPECT_EQ(c.invoke(s), kLib);
    EXPECT_TRUE(hasLine("_iQlibStatus=1, _iStatus=3, _iCommandStatus=0 ) = 0xbffc19f7"));
    statuses(4, 0);
    EXPECT_EQ(c.invoke(s), kLib);
    statuses(0, 0);
    phone().inject(c.call, qmsl_sim::Fault{});
    EXPECT_EQ(c.invoke(s), kLib);
    EXPECT_TRUE(hasLine("_iQlibStatus=0, _iStatus=0, _iCommandStatus=0 ) = 0xbffc19f7"));
}

TEST_P(Sim, UnconnectedSessionMakesNoCall) {
    const int s = openSession();
    EXPECT_EQ(GetParam().invoke(s), kLib);
    EXPECT_EQ(phone().count(GetParam().call), 0u);
}

unsigned short g_len;
unsigned char g_buf[TESSEL_ROOT_KEY_MAX];

INSTANTIATE_TEST_SUITE_P(
    Commands, Sim,
    ::testing::Values(
        SimCase{"SimSimulation", [](int s) { return _Tessel_SimSimulation(s, "g.c", 1); },
                "QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD", {1, 16}, kZeroId, 0},
        SimCase{"GsdidiagSimSecureStoreCmd",
                [](int s) { return _Tessel_GsdidiagSimSecureStoreCmd(s, 4, kAppId, 3, kData, "g.c", 1); },
                "QLIB_GSDIDIAG_SIM_SECURE_STORE_CMD", {1, 4, 3}, {0xA1, 0xA2, 0xA3, 0xA4, 7, 8, 9}, 0},
        SimCase{"GsdidiagSimSecureReadCmd",
                [](int s) {
                    g_len = 8;
                    return _Tessel_GsdidiagSimSecureReadCmd(s, 4, kAppId, &g_len, g_buf, "g.c", 1);
                },
                "QLIB_GSDIDIAG_SIM_SECURE_READ_CMD", {1, 4, 8}, {0xA1, 0xA2, 0xA3, 0xA4}, 2},
        SimCase{"GsdidiagSecureDeviceInfoCmd",
                [](int s) { return _Tessel_GsdidiagSecureDeviceInfoCmd(s, 4, kAppId, "g.c", 1); },
                "QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD", {1, 4}, {0xA1, 0xA2, 0xA3, 0xA4}, 0},
        SimCase{"GsdidiagRootKeyWriteCmd", [](int s) { return _Tessel_GsdidiagRootKeyWriteCmd(s, 3, kData, "g.c", 1); },
                "QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD", {1, 16, 3}, cat(kZeroId, {7, 8, 9}), 0},
        SimCase{"GsdidiagRootKeyReadCmd",
                [](int s) { return _Tessel_GsdidiagRootKeyReadCmd(s, &g_len, g_buf, "g.c", 1); },
                "QLIB_GSDIDIAG_ROOT_KEY_READ_CMD", {1, 16}, kZeroId, 2}),
    [](const ::testing::TestParamInfo<SimCase>& i) { return i.param.name; });

TEST_F(Diag, RootKeyReadGivesTheKeyBack) {
    const int s = connected();
    phone().set_outputs("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD", {3LL, Bytes{0xC1, 0xC2, 0xC3}, 0LL, 0LL});
    unsigned short len = 0;
    unsigned char key[TESSEL_ROOT_KEY_MAX] = {};
    EXPECT_EQ(_Tessel_GsdidiagRootKeyReadCmd(s, &len, key, "g.c", 1), 0);
    EXPECT_EQ(len, 3);
    EXPECT_EQ(key[2], 0xC3);
    EXPECT_EQ(_Tessel_GsdidiagRootKeyReadCmd(s, &len, nullptr, "g.c", 1), TESSEL_ERROR_PARAMETER2);
}

// --- port lists ------------------------------------------------------------------

TEST_F(Diag, PortListsComeFromTheAttachedPhonesAndAreTracedOnStdout) {
    qmsl_sim::phone(3);
    qmsl_sim::phone(5);
    qmsl_sim::phone(9).present = false;
    unsigned short ports[8] = {};
    unsigned short n = 8;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(_Tessel_GetAllPortList(&n, ports, "p.c", 4), 0);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(n, 2);
    EXPECT_EQ(ports[0], 3);
    EXPECT_EQ(ports[1], 5);
    EXPECT_EQ(out, "_Tessel_GetAllPortList( *piNumPorts=8 ) p.c,4\n_Tessel_GetAllPortList( *piNumPorts=2 -> 3 5  ) = 0\n");

    qmsl_sim::phone(5).set_power(qmsl_sim::Power::Off);
    unsigned short ignore[1] = {7};
    n = 8;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(_Tessel_GetAvailablePhonesPortList(&n, ports, 1, ignore, "p.c", 5), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "_Tessel_GetAvailablePhonesPortList( *piNumPorts=8, *pIgnorePortList=1 ) p.c,5\n"
              "_Tessel_GetAvailablePhonesPortList( *piNumPorts=1 -> 3  ) = 0\n");
    ignore[0] = 3;
    n = 8;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(_Tessel_GetAvailablePhonesPortList(&n, ports, 1, ignore, "p.c", 6), 0);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(lines().empty());  // nothing goes to the trace library
}

TEST_F(Diag, PortAliasesReachTheLogicalConnect) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(_Tessel_AddPortAliasEntry(20, 3, "p.c", 1), 0);
    const QmslHandle h = QLIB_ConnectServer_LogicalPort(20);
    EXPECT_EQ(qmsl_sim::phone_for_handle(h), &phone());
    EXPECT_EQ(_Tessel_ClearPortAliasList("p.c", 2), 0);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "_Tessel_AddPortAliasEntry( iLogicalPort=20, iPhysicalPort=3 ) p.c,1\n_Tessel_AddPortAliasEntry( ) = 0\n"
                   "_Tessel_ClearPortAliasList( ) p.c,2\n_Tessel_ClearPortAliasList( ) = 0\n");
    const QmslHandle h20 = QLIB_ConnectServer_LogicalPort(20);
    EXPECT_EQ(qmsl_sim::phone_for_handle(h20), &qmsl_sim::phone(20));
}

} // namespace
