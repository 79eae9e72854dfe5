// Every phone command of the panel on a phone in FTM mode: the prompts
// answered from the queue, what reached the simulated phone, the trace
// lines, and the outcome in the status line.
#include "TamselFixture.h"

#include <functional>
#include <optional>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Answer = std::optional<std::string>;  // nullopt: the operator cancels

struct CommandCase {
    const char* name;
    int button;
    std::vector<Answer> answers;
    std::function<void()> setup;  // after the phone is in FTM mode
    int result;
    std::string status;           // a part of the status line
    std::function<void()> check;  // what reached the phone
};

const std::string kImei = "354812345678903";
const std::string kLedQuestions[] = {"LED off?",         "Display LED on?",     "Display LED off?",
                                     "E_LIGHT_LCD_SUB on?", "E_LIGHT_LCD_SUB off?", "E_LIGHT_MP3 on?",
                                     "E_LIGHT_MP3 off?",  "Display LED on?",     "Display LED off?"};

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::size_t nvWrites() { return TamselTest::phone().count("QLIB_DIAG_NV_WRITE_F"); }
std::vector<std::string> ledPopups(std::size_t n) {
    std::vector<std::string> p;
    for (std::size_t i = 0; i < n; ++i) p.push_back("LED: " + kLedQuestions[i]);
    return p;
}
qmsl_sim::ExtFtmState& ftm() { return qmsl_sim::ext_ftm(TamselTest::phone()); }
std::string tesselImei() {
    char imei[128] = "";
    return _Tessel_NvReadImei(sesMobile, imei, "test", 1) == 0 ? imei : "(none)";
}
void nothingWritten() { EXPECT_EQ(nvWrites(), 0u); }
void noPrompt() {
    for (const auto& p : cvi_test::popups()) EXPECT_NE(p.kind, "prompt") << p.title;
}

// The phone type with every light of the test (two displays).
void paldenPhone() {
    TamselTest::phone().profile.build_id = "M6280A-PalC1A-0001";
    TamselTest::phone().profile.msm_version = 0x120400E1;
    ASSERT_EQ(_Tessel_SetMobModel(sesMobile, 9, "test", 1), 0);
}

// The KLF byte read back is always 0x11, whatever was written.
void klfByteDoesNotStick() {
    TamselTest::phone().add_responder(qmsl_sim::Channel::Sync, [](qmsl_sim::Phone&, const Bytes& req) -> std::optional<Bytes> {
        if (req.size() < 13 || req[0] != 0x4B || req[1] != 0x0B || (req[4] | req[5] << 8) != 21 || req[10] != 0)
            return std::nullopt;
        Bytes reply(req.begin(), req.begin() + 10);
        reply.insert(reply.end(), {0, 0, 0x11});
        return reply;
    });
}

const CommandCase kCases[] = {
    {"SetFtmFlag", kSetFtmFlag, {}, nullptr, 0, "Set FTM flag: done",
     [] {
         EXPECT_EQ(TamselTest::nv(453), Bytes{0});
         EXPECT_TRUE(TamselTest::traced("NvSetFtmFlag to ONLINE"));
     }},
    {"ImeiWritten", kWriteImei, {kImei}, nullptr, 0, "Write IMEI: done",
     [] {
         EXPECT_TRUE(TamselTest::traced("======= TestImei ========="));
         EXPECT_EQ(TamselTest::popupTexts(), std::vector<std::string>{"Write IMEI: Please input IMEI"});
         EXPECT_EQ(tesselImei(), kImei);
     }},
    {"ImeiOf14CharactersWritesNothing", kWriteImei, {kImei.substr(0, 14)}, nullptr, -1,
     "FAILED - cImeiFromMobile: " + kImei.substr(0, 14) + " not 15 char's",
     [] {
         nothingWritten();
         EXPECT_EQ(TamselTest::phone().power(), qmsl_sim::Power::Ftm);  // not switched off
         EXPECT_FALSE(TamselTest::traced("_Tessel_SpecialPhoneOff"));
     }},
    {"ImeiNotDigitsRefusedByTheLibrary", kWriteImei, {"35481234567890X"}, nullptr, -1, "(Instr: sesMobile)",
     nothingWritten},
    {"ImeiPromptCancelled", kWriteImei, {std::nullopt}, nullptr, -1, "FAILED - PromptPopup returns -1",
     nothingWritten},
    {"ImeiAlreadyWritten", kWriteImei, {},
     [] {
         ASSERT_EQ(_Tessel_NvWriteImei(sesMobile, kImei.c_str(), "test", 1), 0);
         TamselTest::phone().clear_journal();
     },
     0, "Write IMEI: IMEI is already written, nothing done!!!",
     [] {
         EXPECT_TRUE(TamselTest::traced("IMEI is already written, nothing done!!!"));
         noPrompt();
         nothingWritten();
     }},
    {"BtAddressWrittenReversed", kWriteBtAddr, {"0123456789AB"}, nullptr, 0, "Write BT address: done",
     [] {
         EXPECT_EQ(TamselTest::nv(447), (Bytes{0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}));
         EXPECT_EQ(TamselTest::popupTexts(),
                   std::vector<std::string>{"BT Address: *BtId-Format*: AABBCCDDEEFF"});
         EXPECT_TRUE(TamselTest::traced(std::string("\xAB\x89\x67\x45\x23\x01")));
     }},
    {"BtAddressLowerCaseDigits", kWriteBtAddr, {"0123456789ab"}, nullptr, 0, "done",
     [] { EXPECT_EQ(TamselTest::nv(447), (Bytes{0xAB, 0x89, 0x67, 0x45, 0x23, 0x01})); }},
    {"BtAddressTwelveZerosRefused", kWriteBtAddr, {"000000000000"}, nullptr, -1,
     "FAILED - 000000000000 not valid", nothingWritten},
    {"BtAddressElevenDigitsRefused", kWriteBtAddr, {"0123456789A"}, nullptr, -1,
     "FAILED - bad BtId-Format of 0123456789A", nothingWritten},
    {"BtAddressWithABlankRefused", kWriteBtAddr, {"0123 456789A"}, nullptr, -1,
     "FAILED - bad BtId-Format of 0123 456789A", nothingWritten},
    {"BtAddressNotHexRefused", kWriteBtAddr, {"0123456789AG"}, nullptr, -1,
     "FAILED - bad BtId-Format of 0123456789AG", nothingWritten},
    {"BtAddressSignedPairsRefused", kWriteBtAddr, {"+1-203040506"}, nullptr, -1, "FAILED - bad BtId-Format",
     nothingWritten},
    {"BtAddressPromptCancelled", kWriteBtAddr, {std::nullopt}, nullptr, -1, "FAILED - PromptPopup returns -1",
     nothingWritten},
    {"BtAddressAlreadyIn", kWriteBtAddr, {}, [] { TamselTest::phone().set_nv(447, {1, 2, 3, 4, 5, 6}); }, 0,
     "Write BT address: BT Address already in, nothing done!!!",
     [] {
         EXPECT_TRUE(TamselTest::traced("BT Address already in, nothing done!!!"));
         noPrompt();
         nothingWritten();
     }},
    {"BtAddressRead", kReadBtAddr, {}, [] { TamselTest::phone().set_nv(447, {1, 2, 3, 4, 5, 6}); }, 0,
     "Read BT address: done", nullptr},
    {"BtAddressReadWithoutOne", kReadBtAddr, {}, nullptr, -1, "Read BT address: FAILED - ", nullptr},
    {"LedAllNineSteps", kLed, {}, paldenPhone, 0,
     "LED test: done", [] { EXPECT_EQ(TamselTest::popupTexts(), ledPopups(9)); }},
    {"LedStopsAtTheFirstFailure", kLed, {}, [] { ASSERT_EQ(_Tessel_SetMobModel(sesMobile, 0, "test", 1), 0); },
     -1, "LED test: FAILED - ",
     [] {
         // Light type 9 does not exist on this phone: step 4 fails, no popup for it.
         EXPECT_EQ(TamselTest::popupTexts(), ledPopups(3));
     }},
    {"ServiceCode", kServiceCode, {"527309"},
     [] {
         TamselTest::phone().set_nv(3252, {3});
         TamselTest::phone().set_nv(85, text("000000"));
     },
     0, "Service code: done",
     [] {
         EXPECT_EQ(TamselTest::popupTexts(), std::vector<std::string>{"SPC code: Please input SPC code"});
         auto spc = TamselTest::phone().calls("QLIB_DIAG_SPC_F");
         ASSERT_EQ(spc.size(), 1u);
         EXPECT_EQ(spc[0].bytes, text("527309"));
         EXPECT_EQ(TamselTest::nv(85), text("716843"));
     }},
    {"ServiceCodeLockStateIsANote", kServiceCode, {"123456"}, nullptr, 0,
     "Service code: done - bLockState != 0 [1]", [] { EXPECT_EQ(TamselTest::nv(85), text("716843")); }},
    {"ServiceCodeRefusedByNvStatus", kServiceCode, {"527309"}, [] { TamselTest::phone().nv[85].status = 7; }, -1,
     "usiStatus != 0 [7]", nullptr},
    {"ServiceCodePromptCancelled", kServiceCode, {std::nullopt}, nullptr, -1, "FAILED - PromptPopup returns -1",
     [] {
         nothingWritten();
         EXPECT_EQ(TamselTest::phone().count("QLIB_DIAG_SPC_F"), 0u);
     }},
    {"ServiceCodeToFactoryData", kServiceCodeToFd, {}, nullptr, 0, "Service code to FD: done",
     [] {
         std::string code;
         for (int a = 21; a <= 26; ++a) code += static_cast<char>(ftm().factory_data[static_cast<std::uint16_t>(a)]);
         EXPECT_EQ(code, "405962");
     }},
    {"KlfByte", kWriteKlfByte, {}, [] { TamselTest::setKlfControl(0x5A); }, 0, "Write KLF byte: done",
     [] {
         EXPECT_EQ(ftm().factory_data[3], 0x5A);
         EXPECT_TRUE(TamselTest::traced("ucWriteKlfByte = 0x5a,iWriteKlfByte = 90\n"));
     }},
    {"KlfByteReadBackDiffers", kWriteKlfByte, {},
     [] {
         TamselTest::setKlfControl(0x5A);
         klfByteDoesNotStick();
     },
     -1, "FAILED - ucVerifyKlfByte = 0x11, not 0x5a", nullptr},
    {"VariantWritten", kWriteVariant, {"VAR-X"}, nullptr, 0, "Write variant: done",
     [] {
         Bytes want = text("VAR-X");
         want.resize(128, 0);
         EXPECT_EQ(TamselTest::nv(3626), want);
     }},
    {"VariantPromptCancelledWritesNothing", kWriteVariant, {std::nullopt}, nullptr, -1,
     "FAILED - PromptPopup returns -1", nothingWritten},
    {"VariantWriteRefused", kWriteVariant, {"VAR-X"}, [] { TamselTest::phone().nv[3626].status = 7; }, -1,
     "FAILED - usiStatus != 0 [7]", nullptr},
    {"VariantRead", kReadVariant, {}, [] { TamselTest::phone().set_nv(3497, text("Model A")); }, 0,
     "Read variant: done",
     [] { EXPECT_EQ(TamselTest::popupTexts(), std::vector<std::string>{"Variant Name: Model A"}); }},
    {"VariantReadOf128CharactersIsTerminated", kReadVariant, {},
     [] { TamselTest::phone().set_nv(3497, Bytes(128, 'V')); }, 0, "Read variant: done",
     [] { EXPECT_EQ(TamselTest::popupTexts(), std::vector<std::string>{"Variant Name: " + std::string(128, 'V')}); }},
    {"VariantReadWithoutOne", kReadVariant, {}, nullptr, -1, "FAILED - usiStatus != 0 [5]",
     [] { EXPECT_TRUE(cvi_test::popups().empty()); }},
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class TamselCommand : public TamselTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(TamselCommand, OnAPhoneInFtmMode) {
    const CommandCase& c = GetParam();
    switchOn();
    if (c.setup) c.setup();
    for (const Answer& a : c.answers) a ? cvi_test::push_prompt_answer(*a) : cvi_test::push_prompt_cancel();
    EXPECT_EQ(press(c.button), c.result) << statusLine();
    EXPECT_NE(statusLine().find(c.status), std::string::npos) << statusLine();
    EXPECT_EQ(cvi_test::prompt_answers_left(), 0u);
    if (c.check) c.check();
}

INSTANTIATE_TEST_SUITE_P(Tamsel, TamselCommand, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Before the FTM-mode button there is no session: every phone button works
// on session 0 and fails with the library's invalid-session text.
struct EarlyCase {
    const char* name;
    int button;
    std::vector<std::string> answers;
};

const EarlyCase kEarlyCases[] = {
    {"PhoneOff", kPhoneOff, {}},
    {"SetFtmFlag", kSetFtmFlag, {}},
    {"WriteImei", kWriteImei, {kImei}},
    {"ReadBtAddr", kReadBtAddr, {}},
    {"WriteBtAddr", kWriteBtAddr, {"0123456789AB"}},
    {"Led", kLed, {}},
    {"ServiceCode", kServiceCode, {"527309"}},
    {"ServiceCodeToFd", kServiceCodeToFd, {}},
    {"KlfByte", kWriteKlfByte, {}},
    {"WriteVariant", kWriteVariant, {"VAR-X"}},
    {"ReadVariant", kReadVariant, {}},
};

void PrintTo(const EarlyCase& c, std::ostream* os) { *os << c.name; }

class TamselBeforeFtmMode : public TamselTest, public ::testing::WithParamInterface<EarlyCase> {};

TEST_P(TamselBeforeFtmMode, FailsWithAnInvalidSession) {
    const EarlyCase& c = GetParam();
    for (const auto& a : c.answers) cvi_test::push_prompt_answer(a);
    EXPECT_EQ(press(c.button), -1);
    EXPECT_EQ(sesMobile, 0);
    EXPECT_NE(statusLine().find("FAILED - " + libText(TESSEL_ERROR_SESSION_INVALID)), std::string::npos)
        << statusLine();
    EXPECT_TRUE(phone().journal.empty());
}

INSTANTIATE_TEST_SUITE_P(Tamsel, TamselBeforeFtmMode, ::testing::ValuesIn(kEarlyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The line of a command that did nothing is that command's outcome only:
// the next command that does its work shows "done" again.
TEST_F(TamselTest, NothingDoneShowsOnlyForTheCommandThatDidNothing) {
    switchOn();
    ASSERT_EQ(_Tessel_NvWriteImei(sesMobile, kImei.c_str(), "test", 1), 0);
    ASSERT_EQ(press(kWriteImei), 0);
    EXPECT_EQ(statusLine(), "Write IMEI: IMEI is already written, nothing done!!!");
    ASSERT_EQ(press(kSetFtmFlag), 0);
    EXPECT_EQ(statusLine(), "Set FTM flag: done");
}

TEST_F(TamselTest, OtherEventsThanCommitDoNothing) {
    EXPECT_EQ(cmdwriteimei(panel_, kWriteImei, 2, nullptr, 0, 0), 0);
    EXPECT_EQ(cmdftmmode(panel_, kFtmMode, 0, nullptr, 0, 0), 0);
    EXPECT_TRUE(cvi_test::popups().empty());
    EXPECT_TRUE(traced().empty());
    EXPECT_EQ(statusLine(), "");
}

} // namespace
