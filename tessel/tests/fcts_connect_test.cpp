// Connect and disconnect with and without a boot box, the connection check,
// the session's phone type and handle, and the library's raw exchange.
#include "TesselFcts.h"
#include "TesselFctsFixture.h"
#include "win_line_recorder.h"

namespace {

using win_test::Event;
using win_test::LineEvent;

class Connect : public TesselFcts {};

TEST_F(Connect, ConnectsTheSessionAndEnablesTheDiagSearch) {
    const int s = openSession();
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 7), 0);
    const SessionRecord r = slot(s);
    EXPECT_NE(r.hHandle, -1);
    EXPECT_TRUE(qmsl_sim::is_connected(r.hHandle));
    EXPECT_EQ(r.sPhoneType, 11);
    const auto search = phone().calls("QLIB_SetData2DiagSearch");
    ASSERT_EQ(search.size(), 1u);
    EXPECT_EQ(search[0].args, std::vector<long long>{1});
    EXPECT_EQ(lines(), (Lines{"(3C)    _Tessel_ConnectServer( Handle=-1, iPortNo=3 ) Sess=1 in File \"c.c\" Line 7",
                              "(3A)    _Tessel_ConnectServer( Handle=" + std::to_string(r.hHandle) + " ) = 0 (SUCCESS) "}));
}

TEST_F(Connect, SecondConnectFailsAndKeepsTheConnection) {
    const int s = connected();
    const QmslHandle h = handleOf(s);
    _Tessel_SetMobModel(s, 4, "c.c", 1);
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 2), kLib);
    EXPECT_EQ(handleOf(s), h);
    EXPECT_EQ(slot(s).sPhoneType, 11);
    EXPECT_TRUE(qmsl_sim::is_connected(h));
    EXPECT_EQ(phone().count("QLIB_ConnectServer"), 0u);
}

TEST_F(Connect, FailedConnectLeavesTheSessionUnconnectedAndARetryWorks) {
    const int s = openSession();
    phone().inject("QLIB_ConnectServer", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 1), kLib);
    EXPECT_EQ(handleOf(s), -1);
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 2), 0);
    EXPECT_NE(handleOf(s), -1);
}

TEST_F(Connect, FailedDiagSearchDisconnectsAgain) {
    const int s = openSession();
    phone().inject("QLIB_SetData2DiagSearch", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 1), kLib);
    EXPECT_EQ(handleOf(s), -1);
    EXPECT_EQ(phone().count("QLIB_DisconnectServer"), 1u);
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 2), 0);
}

TEST_F(Connect, SessionThatIsNotOpenConnectsNothingAndStoresNothing) {
    const int before = Mob_ActiveSessions_m();
    EXPECT_EQ(_Tessel_ConnectServer(5, "c.c", 1), kLib);
    EXPECT_FALSE(Mob_SessionInUse_m(5));
    EXPECT_EQ(Mob_ActiveSessions_m(), before);
    EXPECT_EQ(qmsl_sim::phone(255).count("QLIB_ConnectServer"), 0u);
    EXPECT_EQ(phone().count("QLIB_ConnectServer"), 0u);
    EXPECT_EQ(_Tessel_ConnectServer(13, "c.c", 1), TESSEL_ERROR_SESSION_INVALID);
}

TEST_F(Connect, DisconnectLeavesNoHandleNoBoxAndUnknownType) {
    const int s = connected();
    const QmslHandle h = handleOf(s);
    _Tessel_SetMobModel(s, 6, "c.c", 1);
    EXPECT_EQ(_Tessel_DisonnectServer(s, "c.c", 3), 0);
    const SessionRecord r = slot(s);
    EXPECT_EQ(r.hHandle, -1);
    EXPECT_EQ(r.hBoxHandle, -1);
    EXPECT_EQ(r.sPhoneType, 11);
    EXPECT_FALSE(qmsl_sim::is_connected(h));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_DisonnectServer( Handle=-1 ) = 0 (SUCCESS) ");
}

TEST_F(Connect, DisconnectOfAnUnconnectedSessionFails) {
    const int s = openSession();
    EXPECT_EQ(_Tessel_DisonnectServer(s, "c.c", 1), kLib);
    EXPECT_EQ(handleOf(s), -1);
    EXPECT_EQ(_Tessel_DisonnectServer(7, "c.c", 1), kLib);
    EXPECT_FALSE(Mob_SessionInUse_m(7));
}

TEST_F(Connect, IsPhoneConnectedFollowsThePhone) {
    const int s = connected();
    EXPECT_EQ(_Tessel_IsPhoneConnected(s, "c.c", 1), 0);
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_IsPhoneConnected( iAnswer=1 ) = 0 (SUCCESS) ");
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(_Tessel_IsPhoneConnected(s, "c.c", 1), kLib);
    EXPECT_NE(lines().back().find("( iAnswer=0 ) = 0xbffc19f7"), std::string::npos);
    const int t = openSession();
    phone().clear_journal();
    EXPECT_EQ(_Tessel_IsPhoneConnected(t, "c.c", 1), kLib);
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 0u);
}

TEST_F(Connect, PhoneTypeIsStoredAsGivenAndTraced) {
    const int s = connected();
    EXPECT_EQ(_Tessel_SetMobModel(s, 8, "c.c", 1), 0);
    unsigned char type = 0;
    EXPECT_EQ(_Tessel_GetMobModel(s, &type, "c.c", 2), 0);
    EXPECT_EQ(type, 8);
    EXPECT_TRUE(hasLine("!!!! Changing internal MobID from 11(?)"));
    EXPECT_TRUE(hasLine("!!!!                 to new MobID 8(Gastol)"));
    EXPECT_TRUE(hasLine("_Tessel_GetMobModel( *iMobModel=8 ) = 0"));
    EXPECT_EQ(_Tessel_SetMobModel(s, 42, "c.c", 3), 0);  // no range check
    EXPECT_EQ(slot(s).sPhoneType, 42);
    EXPECT_EQ(_Tessel_GetMobModel(s, nullptr, "c.c", 4), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_SetMobModel(9, 1, "c.c", 5), kLib);  // a free slot has no record
    EXPECT_FALSE(Mob_SessionInUse_m(9));
}

TEST_F(Connect, ComHandleAndLibraryType) {
    const int s = connected();
    int handle = 0;
    EXPECT_EQ(_Tessel_GetComHandle(s, &handle, "c.c", 1), 0);
    EXPECT_EQ(handle, handleOf(s));
    int type = -1;
    EXPECT_EQ(_Tessel_GetQLibType(s, &type, "c.c", 1), 0);
    EXPECT_EQ(type, 1);
    EXPECT_TRUE(hasLine("_Tessel_GetQLibType( *eType=1(QLIB V5.0.40,QPHONEMS) ) = 0"));
    KAVOR_SetLibraryMode(1);
    EXPECT_EQ(Tessel_QLibType_m(), 0);
    qmsl_sim::set_version_text("QLIB V5.0.40,OTHER");
    EXPECT_EQ(Tessel_QLibType_m(), 2);
    qmsl_sim::set_version_text(std::nullopt);
}

TEST_F(Connect, SendSyncExchangesOnePacket) {
    const int s = connected();
    phone().add_responder(qmsl_sim::Channel::Sync, [](qmsl_sim::Phone&, const std::vector<std::uint8_t>& req)
                                                       -> std::optional<std::vector<std::uint8_t>> {
        if (req.size() == 2 && req[0] == 0x7E) return std::vector<std::uint8_t>{0x7E, 1, 2};
        return std::nullopt;
    });
    const unsigned char req[2] = {0x7E, 0};
    unsigned char rsp[8] = {};
    short size = sizeof rsp;
    EXPECT_EQ(_Tessel_SendSync(s, 2, req, &size, rsp, 100, "c.c", 1), 0);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(rsp[2], 2);
    size = sizeof rsp;
    const unsigned char other[1] = {1};
    EXPECT_EQ(_Tessel_SendSync(s, 1, other, &size, rsp, 100, "c.c", 2), kLib);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(_Tessel_SendSync(s, -1, req, &size, rsp, 100, "c.c", 3), TESSEL_ERROR_PARAMETER2);
    const int t = openSession();
    size = sizeof rsp;
    EXPECT_EQ(_Tessel_SendSync(t, 2, req, &size, rsp, 100, "c.c", 4), kLib);
}

// --- the boot box ---------------------------------------------------------------

class BootBox : public TesselFcts {
protected:
    int boxSession() { return openSession("TRACELEVEL:1:MZ4BB:5"); }
    win_test::LineRecorder rec_;
};

TEST_F(BootBox, ConnectOpensTheBoxWithBothLinesLowAndItsSettings) {
    const int s = boxSession();
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 1), 0);
    EXPECT_EQ(rec_.journal, (std::vector<LineEvent>{{"COM5", Event::Open},
                                                    {"COM5", Event::Dtr, false},
                                                    {"COM5", Event::Rts, false},
                                                    {"COM5", Event::Dtr, false},
                                                    {"COM5", Event::Rts, false}}));
    EXPECT_NE(slot(s).hBoxHandle, -1);
    EXPECT_EQ(rec_.purges("COM5"), 1);
    EXPECT_EQ(rec_.last_purge_flags("COM5"), PURGE_TXCLEAR | PURGE_RXCLEAR);
    const DCB d = rec_.settings("COM5");
    EXPECT_EQ(d.BaudRate, 115200u);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, 0);
    EXPECT_EQ(d.StopBits, 1);
    EXPECT_EQ(d.fBinary, 1u);
    EXPECT_EQ(d.fParity, 1u);
    EXPECT_EQ(d.fDtrControl, DTR_CONTROL_DISABLE);
    EXPECT_EQ(d.fRtsControl, RTS_CONTROL_ENABLE);
    EXPECT_EQ(d.fTXContinueOnXoff, 1u);
    EXPECT_EQ(d.fOutX | d.fInX | d.fOutxCtsFlow | d.fOutxDsrFlow | d.fDsrSensitivity | d.fNull | d.fErrorChar, 0u);
    // With a box, the diagnostic search is left alone.
    EXPECT_EQ(phone().count("QLIB_SetData2DiagSearch"), 0u);
    EXPECT_TRUE(hasLine("_Tessel_SpecialMZ4BootBoxInit( Handle=" + std::to_string(handleOf(s)) +
                        ", MZ4Port=5 ) Sess=1 in File \"TesselFcts\" Line 225"));
}

TEST_F(BootBox, DisconnectLeavesDtrLowAndRtsHighAndClosesThePort) {
    const int s = boxSession();
    ASSERT_EQ(_Tessel_ConnectServer(s, "c.c", 1), 0);
    rec_.journal.clear();
    EXPECT_EQ(_Tessel_DisonnectServer(s, "c.c", 2), 0);
    EXPECT_EQ(rec_.journal, (std::vector<LineEvent>{
                                {"COM5", Event::Dtr, false}, {"COM5", Event::Rts, true}, {"COM5", Event::Close}}));
    EXPECT_FALSE(rec_.is_open("COM5"));
    EXPECT_EQ(slot(s).hBoxHandle, -1);
    EXPECT_TRUE(hasLine("[DTR->low]"));
    // The box can be opened again by the next connect.
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 3), 0);
    EXPECT_TRUE(rec_.is_open("COM5"));
}

TEST_F(BootBox, FailedPhoneConnectOpensNoBox) {
    const int s = boxSession();
    phone().inject("QLIB_ConnectServer", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 1), kLib);
    EXPECT_TRUE(rec_.journal.empty());
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 2), 0);
    EXPECT_TRUE(rec_.is_open("COM5"));
}

TEST_F(BootBox, BoxThatCannotBeOpenedLeavesThePhoneDisconnected) {
    const int s = boxSession();
    rec_.fail_open("COM5", 1);
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 1), kLib);
    EXPECT_EQ(handleOf(s), -1);
    EXPECT_EQ(slot(s).hBoxHandle, -1);
    EXPECT_TRUE(hasLine("(3A) E  Error opening MZ4 boot box COM Port. (ERROR)"));
    EXPECT_EQ(_Tessel_ConnectServer(s, "c.c", 2), 0);
    EXPECT_NE(slot(s).hBoxHandle, -1);
}

TEST_F(BootBox, CloseAndLinkModeWithoutAnOpenPortFail) {
    const int s = boxSession();
    EXPECT_EQ(_Tessel_SpecialMZ4BootBoxClose(s, "c.c", 1), kLib);
    EXPECT_TRUE(hasLine("No valid handle for port defined."));
    EXPECT_EQ(_Tessel_SpecialMZ4BootBoxSetLinkMode(s, 0, "c.c", 2), kLib);
    EXPECT_TRUE(rec_.journal.empty());
}

TEST_F(BootBox, LinkModeDrivesRts) {
    const int s = boxSession();
    ASSERT_EQ(_Tessel_ConnectServer(s, "c.c", 1), 0);
    rec_.journal.clear();
    EXPECT_EQ(_Tessel_SpecialMZ4BootBoxSetLinkMode(s, 0, "c.c", 2), 0);
    EXPECT_EQ(_Tessel_SpecialMZ4BootBoxSetLinkMode(s, 1, "c.c", 3), 0);
    EXPECT_EQ(_Tessel_SpecialMZ4BootBoxSetLinkMode(s, 2, "c.c", 4), 0);
    EXPECT_EQ(rec_.journal, (std::vector<LineEvent>{{"COM5", Event::Rts, true}, {"COM5", Event::Rts, false}}));
    rec_.fail_line("COM5", win::Line::Rts);
    EXPECT_EQ(_Tessel_SpecialMZ4BootBoxSetLinkMode(s, 0, "c.c", 5), kLib);
}

TEST_F(BootBox, SecondInitOfAnOpenBoxKeepsIt) {
    const int s = boxSession();
    ASSERT_EQ(_Tessel_ConnectServer(s, "c.c", 1), 0);
    const int box = slot(s).hBoxHandle;
    EXPECT_EQ(_Tessel_SpecialMZ4BootBoxInit(s, "c.c", 2), kLib);
    EXPECT_EQ(slot(s).hBoxHandle, box);
    EXPECT_TRUE(rec_.is_open("COM5"));
}

} // namespace
