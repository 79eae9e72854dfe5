// The Bluetooth id and the SIM secure data on a simulated phone: the id typed
// by the operator or taken from the coder's answer, the request sent to the
// coder and the 512-byte block stored on the SIM side.
#include "NorbeckGsdiFixture.h"

#include "cvi_panel.h"

#include <cstdio>
#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint16_t kNvBdAddr = 447;
constexpr std::uint16_t kNvDsn = 2824;
const char* const kImei = "350000000000011";
const Bytes kDsn = {'D', 'S', 'N', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C'};
const Bytes kOldAddr = {1, 2, 3, 4, 5, 6};
const char* const kPhoneFailure = "ERROR: Library Error.(Instr: sesMobile)";

// The coder's answer: byte i is i * 5 + 1, with the given Bluetooth id.
Bytes coderAnswer(const Bytes& btId) {
    Bytes a(PELLIN_SIMDATA_ANSWER_SIZE);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<std::uint8_t>(i * 5 + 1);
    std::copy(btId.begin(), btId.end(), a.begin() + 592);
    return a;
}
// The block the answer gives: 224 bytes at 24, 232 at 248, 56 at 526.
Bytes blockOf(const Bytes& answer) {
    Bytes b(answer.begin() + 24, answer.begin() + 24 + 224);
    b.insert(b.end(), answer.begin() + 248, answer.begin() + 248 + 232);
    b.insert(b.end(), answer.begin() + 526, answer.begin() + 526 + 56);
    return b;
}

// --- the id typed by the operator -------------------------------------------

struct TypedCase {
    const char* name;
    const char* answer;  // nullptr: the operator cancels
    bool hasAddress;
    int result;
    const char* errText;
    Bytes nv447;  // afterwards (empty: none)
};
void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.name; }

class NorbeckTypedBtId : public NorbeckGsdiTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(NorbeckTypedBtId, EdgeCase) {
    const TypedCase& c = GetParam();
    if (c.hasAddress) phone().set_nv(kNvBdAddr, kOldAddr);
    if (c.answer) cvi_test::push_prompt_answer(c.answer);
    else cvi_test::push_prompt_cancel();
    EXPECT_EQ(norbeck_WriteBID_ByUser(ses, err), c.result) << err;
    if (c.result != 0) {
        EXPECT_STREQ(err, c.errText);
        EXPECT_TRUE(traced(std::string("cErrMsg: ") + c.errText));
    }
    EXPECT_EQ(nv(kNvBdAddr), c.nv447);
    EXPECT_EQ(cvi_test::prompt_answers_left(), c.hasAddress ? 1u : 0u);
    while (cvi_test::prompt_answers_left()) {
        char skip[64];
        PromptPopup("", "", skip, 63);
    }
}

char g_cancelText[64];
const char* cancelText() {
    std::snprintf(g_cancelText, sizeof g_cancelText, "PromptPopup returns %d", VAL_USER_CANCEL);
    return g_cancelText;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NorbeckTypedBtId,
    ::testing::Values(
        TypedCase{"GoodIdStoredLastPairFirst", "00-11-22-33-44-55", false, 0, "", {0x55, 0x44, 0x33, 0x22, 0x11, 0x00}},
        TypedCase{"LowerCaseHex", "0a-0b-0c-0d-0e-ff", false, 0, "", {0xff, 0x0e, 0x0d, 0x0c, 0x0b, 0x0a}},
        TypedCase{"ZerosAreNoId", "00-00-00-00-00-00", false, -1, "00-00-00-00-00-00 not valid", {}},
        TypedCase{"ColonsAreTheWrongFormat", "0A:0B:0C:0D:0E:0F", false, -1, "bad BtId-Format of 0A:0B:0C:0D:0E:0F",
                  {}},
        TypedCase{"NotHex", "GG-11-22-33-44-55", false, -1, "bad BtId-Format of GG-11-22-33-44-55", {}},
        TypedCase{"SixteenCharacters", "00-11-22-33-44-5", false, -1, "strlen(00-11-22-33-44-5): 16, but 17 expected",
                  {}},
        TypedCase{"PhoneWithAnAddressKeepsIt", "00-11-22-33-44-55", true, 0, "", kOldAddr},
        TypedCase{"OperatorCancels", nullptr, false, -1, cancelText(), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckGsdiTest, TheTypedIdIsTracedByteByByte) {
    cvi_test::push_prompt_answer("00-11-22-33-44-55");
    ASSERT_EQ(norbeck_WriteBID_ByUser(ses, err), 0) << err;
    EXPECT_TRUE(traced("norbeck_WriteBID_ByUser()..."));
    EXPECT_TRUE(traced("pucBluetoothIdFromMero[0]: 0x55"));
    EXPECT_TRUE(traced("pucBluetoothIdFromMero[5]: 0x00"));
}

// --- the SIM secure data from the coder --------------------------------------

enum class Op { WriteSimData, OnlyBtId };

struct SimCase {
    const char* name;
    Op op;
    bool locked;
    bool hasDsn;
    bool hasAddress;
    Bytes dbBtId;
    int storeFails;
    int result;
    const char* errText;
    int done;
    Bytes nv447;      // afterwards (empty: none)
    bool stored;      // the SIM side holds the block
    long long waitedMs;
};
void PrintTo(const SimCase& c, std::ostream* os) { *os << c.name; }

class NorbeckSimData : public NorbeckGsdiTest, public ::testing::WithParamInterface<SimCase> {};

const Bytes kDbId = {0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};
const Bytes kZeros(6, 0);

TEST_P(NorbeckSimData, EdgeCase) {
    const SimCase& c = GetParam();
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, c.locked, 5000});
    writeImei(kImei);
    if (c.hasDsn) phone().set_nv(kNvDsn, kDsn);
    if (c.hasAddress) phone().set_nv(kNvBdAddr, kOldAddr);
    const Bytes answer = coderAnswer(c.dbBtId);
    pellin_test::script("pellin_GetSimDataFromCoder", {0, "", "", answer, -1});
    gsdi.storeFails = c.storeFails;
    int done = 7;
    const long long start = pclock::now_ms();
    const int r = c.op == Op::WriteSimData ? norbeck_WriteSimData_BtId(ses, "t1", "t2", "t3", &done, err)
                                           : norbeck_Only_BtId_ViaMero(ses, "t1", "t2", "t3", &done, err);
    EXPECT_EQ(r, c.result) << err;
    if (c.result != 0) {
        EXPECT_STREQ(err, c.errText);
        EXPECT_TRUE(traced(std::string("cErrMsg: ") + c.errText));
    }
    EXPECT_EQ(done, c.done);
    EXPECT_EQ(nv(kNvBdAddr), c.nv447);
    EXPECT_EQ(gsdi.simData, c.stored ? blockOf(answer) : Bytes{});
    EXPECT_EQ(pclock::now_ms() - start, c.waitedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NorbeckSimData,
    ::testing::Values(
        SimCase{"IdAndBlockStored", Op::WriteSimData, false, true, false, kDbId, 0, 0, "", 1, kDbId, true, 0},
        SimCase{"PhoneWithAnAddressKeepsIt", Op::WriteSimData, false, true, true, kDbId, 0, 0, "", 1, kOldAddr, true,
                0},
        SimCase{"DatabaseIdOfZerosIsSkipped", Op::WriteSimData, false, true, false, kZeros, 0, 0, "", 1, {}, true, 0},
        SimCase{"StoreFailsTwiceThenSucceeds", Op::WriteSimData, false, true, false, kDbId, 2, 0, "", 1, kDbId, true,
                2000},
        SimCase{"StoreFailsThreeTimes", Op::WriteSimData, false, true, false, kDbId, 3, -1,
                "Tessel_GsdidiagSimSecureStoreCmd() failed", 0, kDbId, false, 3000},
        SimCase{"NoDsn", Op::WriteSimData, false, false, false, kDbId, 0, -1, kPhoneFailure, 0, {}, false, 0},
        SimCase{"LockedPhone", Op::WriteSimData, true, true, false, kDbId, 0, -1, "bLockState != 0 [1]", 0, {}, false,
                0},
        SimCase{"OnlyIdStoresNoBlock", Op::OnlyBtId, false, true, false, kDbId, 0, 0, "", 1, kDbId, false, 0},
        SimCase{"OnlyIdOnALockedPhone", Op::OnlyBtId, true, true, false, kDbId, 0, 0, "", 1, kDbId, false, 0},
        SimCase{"OnlyIdNoDsn", Op::OnlyBtId, false, false, false, kDbId, 0, -1, kPhoneFailure, 0, {}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

class NorbeckSimDataPhone : public NorbeckGsdiTest {
protected:
    void SetUp() override {
        NorbeckGsdiTest::SetUp();
        qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
        writeImei(kImei);
        phone().set_nv(kNvDsn, kDsn);
    }
};

TEST_F(NorbeckSimDataPhone, EveryByteOfTheRequest) {
    pellin_test::script("pellin_GetSimDataFromCoder", {0, "", "", coderAnswer(kDbId), -1});
    const std::string t1(44, 'a'), t2(44, 'b'), t3(31, 'c');
    int done = 0;
    ASSERT_EQ(norbeck_WriteSimData_BtId(ses, t1.c_str(), t2.c_str(), t3.c_str(), &done, err), 0) << err;
    Bytes want(168, 0);
    want[0] = 1;
    std::memcpy(&want[4], t1.data(), 44);
    std::memcpy(&want[49], t2.data(), 44);
    std::memcpy(&want[94], t3.data(), 31);
    std::memcpy(&want[126], kImei, 15);
    std::copy(kDsn.begin(), kDsn.begin() + 4, want.begin() + 158);
    want[162] = 1;
    want[164] = 1;
    want[166] = 3;
    auto calls = pellin_test::calls("pellin_GetSimDataFromCoder");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].bytes, want);
    EXPECT_TRUE(traced("norbeck_WriteSimData_BtId(" + std::to_string(ses) + "," + t1 + "," + t2 + "," + t3 +
                       ")..."));
}

struct LongText {
    const char* name;
    int field;  // 0, 1, 2
    int length;
    const char* errText;
};
void PrintTo(const LongText& c, std::ostream* os) { *os << c.name; }
class NorbeckSimDataLongText : public NorbeckSimDataPhone, public ::testing::WithParamInterface<LongText> {};

TEST_P(NorbeckSimDataLongText, IsRefusedBeforeTheDatabase) {
    std::string texts[3] = {"t1", "t2", "t3"};
    texts[GetParam().field] = std::string(static_cast<std::size_t>(GetParam().length), 'x');
    int done = 7;
    EXPECT_EQ(norbeck_WriteSimData_BtId(ses, texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), &done, err), -1);
    EXPECT_STREQ(err, GetParam().errText);
    EXPECT_EQ(done, 0);
    EXPECT_TRUE(pellin_test::calls("pellin_GetSimDataFromCoder").empty());
    EXPECT_EQ(norbeck_Only_BtId_ViaMero(ses, texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), &done, err), -1);
    EXPECT_STREQ(err, GetParam().errText);
}

INSTANTIATE_TEST_SUITE_P(Cases, NorbeckSimDataLongText,
                         ::testing::Values(LongText{"First", 0, 45, "cText1: 45 char's, at most 44 allowed"},
                                           LongText{"Second", 1, 45, "cText2: 45 char's, at most 44 allowed"},
                                           LongText{"Third", 2, 32, "cText3: 32 char's, at most 31 allowed"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckSimDataPhone, TheAnswerStartsZeroedWithItsVersion) {
    // A failing coder leaves the answer as the driver prepared it: nothing
    // from an earlier call can reach the phone.
    answer("pellin_GetSimDataFromCoder", -1, "coder refused");
    int done = 7;
    EXPECT_EQ(norbeck_WriteSimData_BtId(ses, "t1", "t2", "t3", &done, err), -1);
    EXPECT_STREQ(err, "coder refused");
    EXPECT_TRUE(traced("cErrMsg: coder refused"));
    EXPECT_TRUE(nv(kNvBdAddr).empty());
    EXPECT_TRUE(gsdi.simData.empty());
}

TEST_F(NorbeckSimDataPhone, ARefusedBluetoothIdEndsTheOperationBeforeTheStore) {
    pellin_test::script("pellin_GetSimDataFromCoder", {0, "", "", coderAnswer(kDbId), -1});
    phone().inject("QLIB_DIAG_NV_WRITE_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    int done = 7;
    EXPECT_EQ(norbeck_WriteSimData_BtId(ses, "t1", "t2", "t3", &done, err), -1);
    EXPECT_STREQ(err, kPhoneFailure);
    EXPECT_EQ(done, 0);
    EXPECT_TRUE(gsdi.simData.empty());
}

TEST_F(NorbeckSimDataPhone, DebugBlocksTraceEveryByteOfTheBlock) {
    answer("pellin_Connect", 0);
    ASSERT_EQ(norbeck_Connect("u/p@db;debugblocks", 0, 0, 0, err), 0) << err;
    const Bytes answerBytes = coderAnswer(kDbId);
    pellin_test::script("pellin_GetSimDataFromCoder", {0, "", "", answerBytes, -1});
    int done = 0;
    ASSERT_EQ(norbeck_Only_BtId_ViaMero(ses, "t1", "t2", "t3", &done, err), 0) << err;
    const Bytes block = blockOf(answerBytes);
    Lines want;
    for (int i = 0; i < 512; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "pucSIM_SecureData[%d] = 0x%02x", i, block[static_cast<std::size_t>(i)]);
        want.push_back(line);
    }
    Lines got;
    for (const std::string& l : lines())
        if (l.rfind("pucSIM_SecureData[", 0) == 0) got.push_back(l);
    EXPECT_EQ(got, want);
    EXPECT_TRUE(traced("iOffSetEncBl1:    0"));
    EXPECT_TRUE(traced("iOffSetEncBl2:    224"));
    EXPECT_TRUE(traced("iOffSetAccessBl1: 456"));
    const std::string bang(77, '!');
    EXPECT_TRUE(traced(bang));
    EXPECT_TRUE(traced("no Tessel_GsdidiagSimSecureStoreCmd() to Mobile, since execption with Blob-Sf"));

    answer("pellin_Connect", 0);
    ASSERT_EQ(norbeck_Connect("u/p@db", 0, 0, 0, err), 0) << err;
    tracer_test::clear_lines();
    ASSERT_EQ(norbeck_Only_BtId_ViaMero(ses, "t1", "t2", "t3", &done, err), 0) << err;
    for (const std::string& l : lines()) EXPECT_NE(l.rfind("pucSIM_SecureData[", 0), 0u) << l;
}

TEST_F(NorbeckSimDataPhone, TheStoreGetsTheZeroApplicationIdAndTheBlock) {
    pellin_test::script("pellin_GetSimDataFromCoder", {0, "", "", coderAnswer(kDbId), -1});
    phone().clear_journal();
    int done = 0;
    ASSERT_EQ(norbeck_WriteSimData_BtId(ses, "t1", "t2", "t3", &done, err), 0) << err;
    auto calls = phone().calls("QLIB_GSDIDIAG_SIM_SECURE_STORE_CMD");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args.at(0), 1);  // slot
    Bytes want(16, 0);
    const Bytes block = blockOf(coderAnswer(kDbId));
    want.insert(want.end(), block.begin(), block.end());
    EXPECT_EQ(calls[0].bytes, want);
}

TEST(NorbeckSetSimSecureData, ABlockTooSmallFailsWithoutTheFailureTrace) {
    tracer_test::reset();
    TracerSession session = 0;
    ASSERT_EQ(tracer_init("", &session), TRACER_OK);
    sSimDataAnswer answer{};
    unsigned char block[512] = {};
    char err[NORBECK_ERRTEXT_SIZE] = "";
    EXPECT_EQ(norbeck_SetSimSecureData(&answer, block, 511, err), -1);
    EXPECT_STREQ(err, "iTotalLen [512]>= iLenSIM_SecureDataArray [511]");
    for (const std::string& l : tracer_test::lines(1)) EXPECT_NE(l.rfind("cErrMsg:", 0), 0u) << l;
    tracer_test::reset();
}

class NorbeckPrepWSim : public NorbeckTest {};

TEST_F(NorbeckPrepWSim, PassesBothArgumentsAndGivesMinusOneForAnyFailure) {
    EXPECT_EQ(norbeck_fctPrepWSimT48(4, 8), 0);
    auto calls = pellin_test::calls("pellin_fctPrepWSimT48");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].numbers, (std::vector<long long>{4, 8}));
    answer("pellin_fctPrepWSimT48", 5);
    EXPECT_EQ(norbeck_fctPrepWSimT48(1, 2), -1);
    EXPECT_TRUE(traced("norbeck_fctPrepWSimT48()..."));
    for (const std::string& l : lines()) EXPECT_NE(l.rfind("cErrMsg:", 0), 0u) << l;
}

} // namespace
