// The simulated phone's version and SPC answers, the typed FTM RF and SIM-side
// calls' journal and outputs, and the port lists and connection settings.
#include "qmsl_diag_sim.h"
#include "qmsl_ftm.h"
#include "qmsl_gsdi.h"
#include "qmsl_port.h"
#include "qmsl_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DiagMisc : public qmsl_test::FreshPhonesTest<> {};

TEST_F(DiagMisc, VersionComesFromTheDiagInfoAndTheProfileModel) {
    auto& p = qmsl_sim::phone(2);
    p.profile.model = 226;
    qmsl_sim::diag_info(p).comp_date = "Jan 05 2027";
    qmsl_sim::diag_info(p).mob_firm_rev = 513;
    const QmslHandle h = QLIB_ConnectServer(2);
    char t[5][QMSL_VERNO_TEXT_MAX];
    unsigned char scm = 9, cai = 9, model = 0, slot = 9, vmaj = 9, vmin = 9;
    unsigned short firm = 0;
    ASSERT_EQ(QLIB_DIAG_VERNO_F(h, t[0], t[1], t[2], t[3], t[4], &scm, &cai, &model, &firm, &slot, &vmaj, &vmin), 1);
    EXPECT_EQ(std::string(t[0]), "Jan 05 2027");
    EXPECT_EQ(model, 226);
    EXPECT_EQ(firm, 513);
    EXPECT_EQ(scm, 0);
}

TEST_F(DiagMisc, SpcOpensOnlyForTheSixCharactersOfTheCode) {
    auto& p = qmsl_sim::phone(2);
    qmsl_sim::diag_info(p).spc = "314159";
    const QmslHandle h = QLIB_ConnectServer(2);
    unsigned char result = 9;
    EXPECT_EQ(QLIB_DIAG_SPC_F(h, "314159", &result), 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(QLIB_DIAG_SPC_F(h, "314158", &result), 1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(p.calls("QLIB_DIAG_SPC_F").back().bytes, (std::vector<std::uint8_t>{'3', '1', '4', '1', '5', '8'}));
    p.set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(QLIB_DIAG_SPC_F(h, "314159", &result), 0);
}

TEST_F(DiagMisc, TypedCallsJournalTheirInputsAndGiveTheSetOutputs) {
    auto& p = qmsl_sim::phone(2);
    const QmslHandle h = QLIB_ConnectServer(2);
    EXPECT_EQ(QLIB_FTM_SET_TX_CAL_SWEEP(h, 1, 2, 3), 1);
    EXPECT_EQ(p.calls("QLIB_FTM_SET_TX_CAL_SWEEP").at(0).args, (std::vector<long long>{1, 2, 3}));
    p.set_outputs("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD", {2LL, std::vector<std::uint8_t>{0xAA, 0xBB}, 0LL, 7LL});
    const unsigned char id[2] = {1, 2};
    unsigned short len = 0;
    unsigned char key[QMSL_ROOT_KEY_MAX] = {};
    unsigned int cmd = 9, st = 9;
    EXPECT_EQ(QLIB_GSDIDIAG_ROOT_KEY_READ_CMD(h, 1, 2, id, &len, key, &cmd, &st), 1);
    EXPECT_EQ(len, 2);
    EXPECT_EQ(key[1], 0xBB);
    EXPECT_EQ(cmd, 0u);
    EXPECT_EQ(st, 7u);
    EXPECT_EQ(p.calls("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD").at(0).bytes, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(QLIB_FTM_SET_TX_ON(-1), 0);
}

TEST_F(DiagMisc, PortListsFollowThePhonesThatArePresentAndAnswer) {
    qmsl_sim::phone(7);
    qmsl_sim::phone(2);
    qmsl_sim::phone(4).present = false;
    qmsl_sim::phone(7).set_power(qmsl_sim::Power::Off);
    unsigned short ports[4] = {};
    unsigned short n = 4;
    EXPECT_EQ(QLIB_GetAllPortList(&n, ports), 1);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(ports[0], 2);
    EXPECT_EQ(ports[1], 7);
    n = 1;  // room for one only
    EXPECT_EQ(QLIB_GetAllPortList(&n, ports), 1);
    EXPECT_EQ(n, 1);
    n = 4;
    EXPECT_EQ(QLIB_GetAvailablePhonesPortList(&n, ports, 0, nullptr), 1);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(ports[0], 2);
    const unsigned short ignore[1] = {2};
    n = 4;
    EXPECT_EQ(QLIB_GetAvailablePhonesPortList(&n, ports, 1, ignore), 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(QLIB_GetAllPortList(nullptr, ports), 0);
}

TEST_F(DiagMisc, ConnectionSettingsWorkWhileThePhoneIsSilent) {
    auto& p = qmsl_sim::phone(6);
    const QmslHandle h = QLIB_ConnectServer(6);
    p.set_power(qmsl_sim::Power::Off);
    unsigned short port = 0;
    EXPECT_EQ(QLIB_GetComPortNumber(h, &port), 1);
    EXPECT_EQ(port, 6);
    EXPECT_EQ(QLIB_SetData2DiagSearch(h, 1), 1);
    EXPECT_EQ(QLIB_ConfigureTimeOut(h, 3000), 1);
    EXPECT_EQ(p.calls("QLIB_ConfigureTimeOut").at(0).args, std::vector<long long>{3000});
    p.inject("QLIB_FlushRxBuffer", qmsl_sim::Fault{});
    EXPECT_EQ(QLIB_FlushRxBuffer(h), 0);
    EXPECT_EQ(QLIB_AbortSW_DownloadOperation(-1), 0);
    EXPECT_EQ(QLIB_AddPortAliasEntry(30, 6), 1);
    EXPECT_EQ(QLIB_ConnectServer_LogicalPort(30), h);
    EXPECT_EQ(QLIB_ClearPortAliasList(), 1);
}

} // namespace
