// The service programming code operations on a simulated phone that keeps
// its code in NV 85, its unlock tries in NV 3252, locks on a wrong code and
// goes silent for a while after it.
#include "NorbeckPhoneFixture.h"

#include "NorbeckPhone.h"

#include <cstring>

namespace {

enum class Op { OpenSpc, OpenSpcP, CloseSpc, WriteSpc, WriteSpcP, ResetSpc, ReadSpc };

struct SpcCase {
    const char* name;
    qmsl_sim::SpcLock lock;
    const char* imei;    // nullptr: the phone has none
    const char* dbCode;  // nullptr: the database has no code
    Op op;
    const char* code;    // the code argument (OpenSpc, WriteSpc)
    int result;
    const char* errText;  // the whole text on failure
    int isOpen;           // -1: not an output of the operation
    const char* nv85;     // NV 85 afterwards
    int triesLeft;        // NV 3252 afterwards
    long long minMs, maxMs;  // virtual time the operation takes
    const char* readCode = "";  // ReadSpc's code
};
void PrintTo(const SpcCase& c, std::ostream* os) { *os << c.name; }

class NorbeckSpc : public NorbeckPhoneTest, public ::testing::WithParamInterface<SpcCase> {
protected:
    int run(const SpcCase& c, int* isOpen, char* code) {
        switch (c.op) {
        case Op::OpenSpc: return norbeck_OpenSpc(ses, c.code, isOpen, err);
        case Op::OpenSpcP: return norbeck_OpenSpcP(ses, isOpen, err);
        case Op::CloseSpc: return norbeck_CloseSpc(ses, err);
        case Op::WriteSpc: return norbeck_WriteSpc(ses, c.code, err);
        case Op::WriteSpcP: return norbeck_WriteSpcP(ses, err);
        case Op::ResetSpc: return norbeck_ResetSpc(ses, err);
        case Op::ReadSpc: return norbeck_ReadSpc(ses, code, err);
        }
        return 99;
    }
};

TEST_P(NorbeckSpc, EdgeCase) {
    const SpcCase& c = GetParam();
    qmsl_sim::use_spc_lock(phone(), c.lock);
    if (c.imei) writeImei(c.imei);
    if (c.dbCode)
        pellin_test::script("pellin_GetServiceCode", {0, "", c.dbCode, {}, -1});
    else
        answer("pellin_GetServiceCode", -1, "no service code");
    int isOpen = 7;
    char code[16] = "";
    const long long start = pclock::now_ms();
    EXPECT_EQ(run(c, &isOpen, code), c.result) << err;
    const long long took = pclock::now_ms() - start;
    if (c.result != 0) {
        EXPECT_STREQ(err, c.errText);
        EXPECT_TRUE(traced(std::string("cErrMsg: ") + c.errText));
    }
    if (c.isOpen >= 0) {
        EXPECT_EQ(isOpen, c.isOpen);
    }
    EXPECT_EQ(nv85(), c.nv85);
    EXPECT_EQ(qmsl_sim::spc_tries(phone()), c.triesLeft);
    EXPECT_GE(took, c.minMs);
    EXPECT_LE(took, c.maxMs);
    EXPECT_STREQ(code, c.readCode);
}

using L = qmsl_sim::SpcLock;
constexpr long long kForGood = -1;
const char* const kImei = "350000000000011";
const char* const kLocked = "bLockState != 0 [1]";
// An NV 85 that was never given a code.
const char* const kSixFF = "\xFF\xFF\xFF\xFF\xFF\xFF";
const char* const kSixFFRefused = "cSPC [\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF] is not 6 decimal digits";

INSTANTIATE_TEST_SUITE_P(
    Cases, NorbeckSpc,
    ::testing::Values(
        SpcCase{"OpenSpcRefusedCode", L{"123456", 10, false, 5000}, kImei, nullptr, Op::OpenSpc, "111111", -1,
                "iSPC_Result == 0 [0]", 0, "123456", 9, 0, 0},
        SpcCase{"OpenSpcRightCode", L{"123456", 10, true, 5000}, kImei, nullptr, Op::OpenSpc, "123456", 0, "", 1,
                "123456", 10, 0, 0},
        SpcCase{"OpenSpcLettersNeverReachThePhone", L{"123456", 10, true, 5000}, kImei, nullptr, Op::OpenSpc,
                "12A456", -1, "cSPC [12A456] is not 6 decimal digits", 0, "123456", 10, 0, 0},
        SpcCase{"OpenSpcPOpenPhoneUsesItsOwnCode", L{"123456", 10, false, 5000}, kImei, "999999", Op::OpenSpcP,
                nullptr, 0, "", 1, "123456", 10, 0, 0},
        SpcCase{"OpenSpcPOpenPhoneWhoseCodeIsSixFFBytes", L{kSixFF, 10, false, 5000}, kImei, "999999",
                Op::OpenSpcP, nullptr, 0, "", 1, kSixFF, 10, 0, 0},
        SpcCase{"OpenSpcPOpenPhoneWhoseCodeHasLetters", L{"12AB56", 10, false, 5000}, kImei, "999999",
                Op::OpenSpcP, nullptr, 0, "", 1, "12AB56", 10, 0, 0},
        SpcCase{"OpenSpcCallersSixFFBytesNeverReachThePhone", L{kSixFF, 10, true, 5000}, kImei, nullptr,
                Op::OpenSpc, kSixFF, -1, kSixFFRefused, 0, kSixFF, 10, 0, 0},
        SpcCase{"OpenSpcPLockedWithoutImeiTriesTheDefault", L{"716843", 10, true, 5000}, nullptr, "999999",
                Op::OpenSpcP, nullptr, 0, "", 1, "716843", 10, 0, 0},
        SpcCase{"OpenSpcPLockedWithTheDatabaseCode", L{"246810", 10, true, 5000}, kImei, "246810", Op::OpenSpcP,
                nullptr, 0, "", 1, "246810", 10, 0, 0},
        SpcCase{"OpenSpcPNoDatabaseCodeTriesTheDefault", L{"716843", 10, true, 5000}, kImei, nullptr,
                Op::OpenSpcP, nullptr, 0, "", 1, "716843", 10, 0, 0},
        SpcCase{"OpenSpcPWrongDatabaseCodeThenTheDefault", L{"716843", 10, true, 5000}, kImei, "111111",
                Op::OpenSpcP, nullptr, 0, "", 1, "716843", 9, 5000, 5500},
        SpcCase{"OpenSpcPWrongDatabaseAndDefaultCodes", L{"123456", 10, true, 3000}, kImei, "111111", Op::OpenSpcP,
                nullptr, -1, "iSPC_Result == 0 [0]", 0, "123456", 8, 3000, 3500},
        SpcCase{"OpenSpcPDatabaseCodeCutToSix", L{"123456", 10, true, 5000}, kImei, "1234567", Op::OpenSpcP,
                nullptr, 0, "", 1, "123456", 10, 0, 0},
        SpcCase{"OpenSpcPDeadPhoneAfterThirtySeconds", L{"716843", 10, true, kForGood}, kImei, "111111",
                Op::OpenSpcP, nullptr, -1, "timeout for PingOk reached [30]", 0, "716843", 9, 30000, 30500},
        SpcCase{"OpenSpcPLockedWithDummyImei", L{"716843", 10, true, 5000}, "099999001234561", "716843",
                Op::OpenSpcP, nullptr, -1, "cImei: 099999001234561 is DummyImei [099999001234561]", 0, "716843", 10,
                0, 0},
        SpcCase{"CloseSpcOnALockedPhoneAtOnce", L{"123456", 10, true, 5000}, kImei, nullptr, Op::CloseSpc, nullptr,
                0, "", -1, "123456", 10, 0, 0},
        SpcCase{"CloseSpcLocksAnOpenPhoneAndWaits", L{"123456", 10, false, 5000}, kImei, nullptr, Op::CloseSpc,
                nullptr, 0, "", -1, "123456", 9, 5000, 5500},
        SpcCase{"CloseSpcOnAPhoneThatAcceptsTheRelockCode", L{"293746", 10, false, 5000}, kImei, nullptr,
                Op::CloseSpc, nullptr, -1, "iSPC_Result != 0 [1]", -1, "293746", 10, 0, 0},
        SpcCase{"CloseSpcOnAPhoneThatStaysSilent", L{"123456", 10, false, kForGood}, kImei, nullptr, Op::CloseSpc,
                nullptr, -1, "timeout for PingOk reached [30]", -1, "123456", 9, 30000, 30500},
        SpcCase{"WriteSpcOnALockedPhone", L{"123456", 10, true, 5000}, kImei, nullptr, Op::WriteSpc, "654321", -1,
                kLocked, -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcOnAnOpenPhone", L{"123456", 10, false, 5000}, kImei, nullptr, Op::WriteSpc, "654321", 0,
                "", -1, "654321", 10, 0, 0},
        SpcCase{"WriteSpcFirstAndLastDigits", L{"123456", 10, false, 5000}, kImei, nullptr, Op::WriteSpc, "090909",
                0, "", -1, "090909", 10, 0, 0},
        SpcCase{"WriteSpcColonIsNoDigit", L{"123456", 10, false, 5000}, kImei, nullptr, Op::WriteSpc, "12:456", -1,
                "cSPC [12:456] is not 6 decimal digits", -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcShortCode", L{"123456", 10, false, 5000}, kImei, nullptr, Op::WriteSpc, "12345", -1,
                "cSPC [12345] is not 6 decimal digits", -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcSixFFBytes", L{"123456", 10, false, 5000}, kImei, nullptr, Op::WriteSpc, kSixFF, -1,
                kSixFFRefused, -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcMinusOne", L{"123456", 10, false, 5000}, kImei, nullptr, Op::WriteSpc, "-1", -1,
                "cSPC [-1] is not 6 decimal digits", -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcPSevenDigitDatabaseCode", L{"123456", 10, false, 5000}, kImei, "7654321", Op::WriteSpcP,
                nullptr, 0, "", -1, "765432", 10, 0, 0},
        SpcCase{"WriteSpcPDatabaseCodeWithLetters", L{"123456", 10, false, 5000}, kImei, "12AB56", Op::WriteSpcP,
                nullptr, -1, "cSPC [12AB56] is not 6 decimal digits", -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcPDatabaseCodeWithATab", L{"123456", 10, false, 5000}, kImei, "12\t456", Op::WriteSpcP,
                nullptr, -1, "cSPC [12\\x09456] is not 6 decimal digits", -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcPNoDatabaseCode", L{"123456", 10, false, 5000}, kImei, nullptr, Op::WriteSpcP, nullptr,
                -1, "no service code", -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcPWithoutImei", L{"123456", 10, false, 5000}, nullptr, "654321", Op::WriteSpcP, nullptr,
                -1, "ERROR: Library Error.(Instr: sesMobile)", -1, "123456", 10, 0, 0},
        SpcCase{"WriteSpcPDummyImei", L{"123456", 10, false, 5000}, "099999001234561", "654321", Op::WriteSpcP,
                nullptr, -1, "cImei: 099999001234561 is DummyImei [099999001234561]", -1, "123456", 10, 0, 0},
        SpcCase{"ResetSpcWritesTheDefault", L{"123456", 10, false, 5000}, kImei, nullptr, Op::ResetSpc, nullptr, 0,
                "", -1, "716843", 10, 0, 0},
        SpcCase{"ResetSpcOnALockedPhone", L{"123456", 10, true, 5000}, kImei, nullptr, Op::ResetSpc, nullptr, -1,
                kLocked, -1, "123456", 10, 0, 0},
        SpcCase{"ReadSpcOnAnOpenPhone", L{"123456", 10, false, 5000}, kImei, nullptr, Op::ReadSpc, nullptr, 0, "",
                -1, "123456", 10, 0, 0, "123456"},
        SpcCase{"ReadSpcOnALockedPhone", L{"123456", 10, true, 5000}, kImei, nullptr, Op::ReadSpc, nullptr, -1,
                kLocked, -1, "123456", 10, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckPhoneTest, OpenSpcPOnAnOpenPhoneNeverAsksTheDatabase) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
    int isOpen = 0;
    ASSERT_EQ(norbeck_OpenSpcP(ses, &isOpen, err), 0) << err;
    EXPECT_TRUE(pellin_test::calls("pellin_GetServiceCode").empty());
    EXPECT_TRUE(traced("cSPCFromMobile: 123456"));
    EXPECT_TRUE(traced("*piIsOpen    = 1"));
    EXPECT_TRUE(traced("ucCyclesLeft = 9"));
}

TEST_F(NorbeckPhoneTest, OpenSpcPSendsAnOpenPhoneTheBytesOfItsNv85AndShowsThemEscaped) {
    qmsl_sim::use_spc_lock(phone(), {kSixFF, 10, false, 5000});
    phone().clear_journal();
    int isOpen = 0;
    ASSERT_EQ(norbeck_OpenSpcP(ses, &isOpen, err), 0) << err;
    EXPECT_EQ(isOpen, 1);
    auto sent = phone().calls("QLIB_DIAG_SPC_F");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, std::vector<std::uint8_t>(6, 0xFF));
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 0u);
    EXPECT_TRUE(traced("cSPCFromMobile: \\xFF\\xFF\\xFF\\xFF\\xFF\\xFF"));
    EXPECT_TRUE(pellin_test::calls("pellin_GetServiceCode").empty());
}

TEST_F(NorbeckPhoneTest, ACodeThatReadsBackWithBytesNotPrintableShowsThemEscaped) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
    // The phone answers done to the write but keeps a code with a control byte.
    phone().set_handler("QLIB_DIAG_NV_WRITE_F", [](qmsl_sim::Phone& p, const qmsl_sim::Call& c) {
        p.set_nv(85, {'6', '5', 0x01, '3', '2', 0x7F});
        c.set(0, 0);
        return true;
    });
    EXPECT_EQ(norbeck_WriteSpc(ses, "654321", err), -1);
    EXPECT_STREQ(err, "SPC not matching: cSPCLocal [654321] != cSPCFromMobile [65\\x0132\\x7F]");
}

TEST_F(NorbeckPhoneTest, OpenSpcPWithoutImeiTracesWhyItTriesTheDefault) {
    qmsl_sim::use_spc_lock(phone(), {"716843", 10, true, 5000});
    int isOpen = 0;
    ASSERT_EQ(norbeck_OpenSpcP(ses, &isOpen, err), 0) << err;
    EXPECT_TRUE(traced("ReadImei fails -> perhaps Imei not yet written [Fbg,KT fail before WImei]"));
    EXPECT_TRUE(traced("try: OpenSpc with Default"));
}

TEST_F(NorbeckPhoneTest, OpenSpcPNeverShowsTheDatabasesOrTheFirstAttemptsText) {
    qmsl_sim::use_spc_lock(phone(), {"716843", 10, true, 5000});
    writeImei(kImei);
    pellin_test::script("pellin_GetServiceCode", {0, "", "111111", {}, -1});
    int isOpen = 0;
    ASSERT_EQ(norbeck_OpenSpcP(ses, &isOpen, err), 0);
    EXPECT_STREQ(err, "");
    EXPECT_EQ(pellin_test::calls("pellin_GetServiceCode")[0].texts[0], kImei);
    EXPECT_TRUE(traced("iServiceCodeFromMeroAvailable: 1"));
    auto sent = phone().calls("QLIB_DIAG_SPC_F");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::string(sent[0].bytes.begin(), sent[0].bytes.end()), "111111");
    EXPECT_EQ(std::string(sent[1].bytes.begin(), sent[1].bytes.end()), "716843");
}

TEST_F(NorbeckPhoneTest, AWriteOnALockedPhoneNeverReachesNv85) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, true, 5000});
    phone().clear_journal();
    EXPECT_EQ(norbeck_WriteSpc(ses, "654321", err), -1);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 0u);
}

TEST_F(NorbeckPhoneTest, ABadCodeNeverReachesThePhone) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
    phone().clear_journal();
    EXPECT_EQ(norbeck_WriteSpc(ses, "12345", err), -1);
    EXPECT_EQ(norbeck_OpenSpc(ses, "-1", nullptr, err), -1);
    int isOpen = 0;
    EXPECT_EQ(norbeck_OpenSpc(ses, nullptr, &isOpen, err), -1);
    EXPECT_EQ(norbeck_ReadSpc(ses, nullptr, err), -1);
    EXPECT_TRUE(phone().journal.empty());
}

TEST_F(NorbeckPhoneTest, AFailedPhoneCallGivesTheStatusTextOfTheSession) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
    phone().inject("QLIB_DIAG_NV_READ_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, -1});
    char code[8] = "";
    EXPECT_EQ(norbeck_ReadSpc(ses, code, err), -1);
    char status[TESSEL_ERROR_TEXT_MAX] = "";
    _Tessel_errorMessage(ses, TESSEL_ERROR_LIBRARY, status);
    EXPECT_EQ(std::string(err), std::string(status) + "(Instr: sesMobile)");
}

TEST_F(NorbeckPhoneTest, AWrittenCodeThatReadsBackDifferentlyFails) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
    // The phone keeps its code: every write of NV 85 answers done but stores nothing.
    phone().set_handler("QLIB_DIAG_NV_WRITE_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 0);
        return true;
    });
    EXPECT_EQ(norbeck_WriteSpc(ses, "654321", err), -1);
    EXPECT_STREQ(err, "SPC not matching: cSPCLocal [654321] != cSPCFromMobile [123456]");
}

TEST_F(NorbeckPhoneTest, ReadSpcPGivesTheDatabaseCodeUnchanged) {
    pellin_test::script("pellin_GetServiceCode", {0, "", "1234567", {}, 1});
    char code[PELLIN_SERVICE_CODE_SIZE] = "";
    ASSERT_EQ(norbeck_ReadSpcP("anything", code, err), 0);
    EXPECT_STREQ(code, "1234567");
    EXPECT_TRUE(traced("norbeck_ReadSpcP(anything)..."));
    EXPECT_TRUE(traced("cSPCFromMero: 1234567"));
    answer("pellin_GetServiceCode", -1, "no code");
    EXPECT_EQ(norbeck_ReadSpcP("anything", code, err), -1);
    EXPECT_STREQ(err, "no code");
}

struct ImeiCase {
    const char* name;
    const char* imei;
    int result;
    const char* errText;
};
void PrintTo(const ImeiCase& c, std::ostream* os) { *os << c.name; }
class NorbeckImei : public NorbeckTest, public ::testing::WithParamInterface<ImeiCase> {};

TEST_P(NorbeckImei, CheckForValidImei) {
    EXPECT_EQ(norbeck_CheckForValidImei(GetParam().imei, err), GetParam().result);
    EXPECT_STREQ(err, GetParam().errText);
}

INSTANTIATE_TEST_SUITE_P(
    Imeis, NorbeckImei,
    ::testing::Values(ImeiCase{"FifteenDigits", "350000000000011", 0, ""},
                      ImeiCase{"FifteenOtherCharacters", "ABCDEFGHIJKLMNO", 0, ""},
                      ImeiCase{"Fourteen", "35000000000001", -1, "cImei: 35000000000001 not 15 char's"},
                      ImeiCase{"Sixteen", "3500000000000111", -1, "cImei: 3500000000000111 not 15 char's"},
                      ImeiCase{"Dummy", "099999001234561", -1,
                               "cImei: 099999001234561 is DummyImei [099999001234561]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckPhoneTest, WaitUntilPingOkOnADeadPhoneGivesUpAfterThirtySecondsWithResultZero) {
    phone().set_power(qmsl_sim::Power::Off);
    int pingOk = 7;
    const long long start = pclock::now_ms();
    EXPECT_EQ(norbeck_WaitUntilPingOk(ses, &pingOk, 30, err), 0);
    EXPECT_EQ(pingOk, 0);
    EXPECT_GE(pclock::now_ms() - start, 30000);
    EXPECT_LT(pclock::now_ms() - start, 30500);
    EXPECT_STREQ(err, "");
    EXPECT_EQ(lines().back().rfind("dElapsedTime: ", 0), 0u);
    EXPECT_EQ(lines().back().substr(lines().back().size() - 12), "*piPingOk: 0");
}

TEST_F(NorbeckPhoneTest, WaitUntilPingOkSleepsTwoSecondsFirstEvenForALivePhone) {
    int pingOk = 0;
    const long long start = pclock::now_ms();
    EXPECT_EQ(norbeck_WaitUntilPingOk(ses, &pingOk, 30, err), 0);
    EXPECT_EQ(pingOk, 1);
    EXPECT_EQ(pclock::now_ms() - start, 2000);
    EXPECT_TRUE(traced("dElapsedTime:   2.000  *piPingOk: 1"));
}

} // namespace
