// Software build check, flash id and the memory-card round trip.
#include "procedure_calls_support.h"
#include "qmsl_diag_sim.h"
#include "qmsl_ext_ftm.h"

#include <cstring>

namespace {

using callstest::Bytes;
using callstest::SequenceTest;

class SoftwareBuild : public SequenceTest {
protected:
    unsigned char run() {
        return KAVOR_CheckSWBuild(h, texts[0], texts[1], texts[2], texts[3], texts[4], &scm, &cai, &model, &firm, &slot,
                                  &vocMaj, &vocMin, &msm, &mobile, revision, modelText);
    }
    void prefill() {
        for (auto& t : texts) std::memset(t, 'Z', sizeof t);
        std::memset(revision, 'Z', sizeof revision);
        std::memset(modelText, 'Z', sizeof modelText);
    }
    char texts[5][KAVOR_VERNO_TEXT_MAX];
    unsigned char scm = 0, cai = 0, model = 0, slot = 0, vocMaj = 0, vocMin = 0;
    unsigned short firm = 0;
    unsigned int msm = 0, mobile = 0;
    char revision[KAVOR_BUILD_ID_TEXT_MAX];
    char modelText[KAVOR_BUILD_ID_TEXT_MAX];
};

TEST_F(SoftwareBuild, CutsTheVersionTextsAndGivesTheBuildId) {
    qmsl_sim::DiagInfo& d = qmsl_sim::diag_info(phone());
    d.comp_date = "Dec 01 2026 (build 7)";
    d.comp_time = "10:00:00.125";
    d.rel_date = "Dec 02 2026";
    d.rel_time = "11:00";
    d.ver_dir = "M6280ASOFTWARE";
    d.scm = 3;
    d.mob_firm_rev = 0x1234;
    d.voc_min = 9;
    phone().profile.msm_version = 1029;
    phone().profile.model = 41;
    phone().profile.build_id = "M6280A-0001";
    phone().profile.model_text = "Kestrel";
    prefill();

    EXPECT_EQ(run(), 1);
    const std::vector<std::string> got(std::begin(texts), std::end(texts));
    EXPECT_EQ(got, (std::vector<std::string>{"Dec 01 2026", "10:00:00", "Dec 02 2026", "11:00", "M6280ASO"}));
    // Cleared first: nothing of the caller's bytes is left behind a text.
    for (const auto& t : texts) EXPECT_EQ(std::count(std::begin(t), std::end(t), 'Z'), 0);
    EXPECT_EQ(scm, 3);
    EXPECT_EQ(model, 41);
    EXPECT_EQ(firm, 0x1234);
    EXPECT_EQ(vocMin, 9);
    EXPECT_EQ(msm, 1029u);
    EXPECT_EQ(mobile, 41u);
    EXPECT_EQ(std::string(revision), "M6280A-0001");
    EXPECT_EQ(std::string(modelText), "Kestrel");
}

TEST_F(SoftwareBuild, LongBuildIdTextsStayInsideTheCallersRoom) {
    phone().profile.build_id = std::string(700, 'r');
    phone().profile.model_text = std::string(600, 'm');
    prefill();
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(std::string(revision), std::string(KAVOR_BUILD_ID_TEXT_MAX - 1, 'r'));
    EXPECT_EQ(std::string(modelText), std::string(KAVOR_BUILD_ID_TEXT_MAX - 1, 'm'));
}

TEST_F(SoftwareBuild, FailedVersionQueryLeavesTheTextsCleared) {
    phone().inject("QLIB_DIAG_VERNO_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    prefill();
    EXPECT_EQ(run(), 0);
    for (const auto& t : texts) EXPECT_EQ(std::count(std::begin(t), std::end(t), 0), KAVOR_VERNO_TEXT_MAX);
    EXPECT_EQ(phone().count("QLIB_DIAG_EXT_BUILD_ID_F"), 0u);
}

TEST_F(SequenceTest, FlashIdIsMakerThenDevice) {
    phone().set_outputs("QLIB_EFS2_DIAG_DEV_INFO", {1024, 64, 512, 528, 1, 0xEC, 0x76, 0LL, "NAND 64MiB"});
    unsigned int id = 0;
    EXPECT_EQ(KAVOR_FlashTest(h, &id), 1);
    EXPECT_EQ(id, 0xEC76u);
}

TEST_F(SequenceTest, FlashIdIsLeftWhenTheQueryFails) {
    phone().inject("QLIB_EFS2_DIAG_DEV_INFO", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    unsigned int id = 5;
    EXPECT_EQ(KAVOR_FlashTest(h, &id), 0);
    EXPECT_EQ(id, 5u);
    EXPECT_EQ(log().back(), "\tQLIB_EFS2_DIAG_DEV_INFO() - Failure\n");
}

// --- memory card ---------------------------------------------------------------------

class MemoryCard : public SequenceTest {
protected:
    qmsl_sim::ExtFtmState& ftm() { return qmsl_sim::ext_ftm(phone()); }
    // The memory-card requests as "write <name>" / "read <name>".
    std::vector<std::string> accesses() {
        std::vector<std::string> r;
        for (const auto& e : phone().calls("QLIB_SendSync")) {
            if (e.bytes.size() < 143 || e.bytes[4] != 18) continue;
            const std::string name(reinterpret_cast<const char*>(&e.bytes[15]));
            r.push_back(std::string(e.bytes[10] == 1 ? "write " : "read ") + name);
        }
        return r;
    }
};

TEST_F(MemoryCard, WritesSixteenBytesAndReadsThemBack) {
    phone().clear_journal();
    EXPECT_EQ(KAVOR_SpecialMmcTest(h), 1);
    EXPECT_EQ(accesses(), (std::vector<std::string>{"write \\Test.bin", "read \\Test.bin"}));
    const Bytes& file = ftm().mmc_files["\\Test.bin"];
    ASSERT_EQ(file.size(), 16u);
    for (std::uint8_t b : file) {
        EXPECT_GE(b, 0x40);
        EXPECT_LT(b, 0x40 + 56);
    }
    EXPECT_EQ(log().front(), "\t\tKAVOR_SpecialMmcTest - start");
    EXPECT_EQ(log().back(), "\t\tKAVOR_SpecialMmcTest - finish");
}

TEST_F(MemoryCard, FirstDifferingByteIsReported) {
    // The card gives back what was written but for byte 5.
    phone().add_responder(qmsl_sim::Channel::Sync, [](qmsl_sim::Phone& p, const Bytes& req) -> std::optional<Bytes> {
        if (req.size() < 11 || req[4] != 18 || req[10] != 0) return std::nullopt;
        Bytes data = qmsl_sim::ext_ftm(p).mmc_files["\\Test.bin"];
        data.resize(16, 0);
        data[5] ^= 0x80;
        Bytes reply(req.begin(), req.begin() + 10);
        reply.insert(reply.end(), {0, 0});
        reply.insert(reply.end(), data.begin(), data.end());
        return reply;
    });
    EXPECT_EQ(KAVOR_SpecialMmcTest(h), 0);
    EXPECT_EQ(log().back(), "\t\tcOutData[5] != cInData[5]");
}

TEST_F(MemoryCard, FailedAccessEndsWithoutALineOfItsOwn) {
    ftm().statuses[{qmsl_sim::kExtFtmGroup, 18}] = 1;
    phone().clear_journal();
    EXPECT_EQ(KAVOR_SpecialMmcTest(h), 0);
    EXPECT_EQ(accesses(), std::vector<std::string>{"write \\Test.bin"});
    // The last line is the command's own report, none of the procedure's.
    EXPECT_EQ(log().back().find("KAVOR_SpecialMmcTest"), std::string::npos);
    EXPECT_EQ(countLogged("\t\tKAVOR_SpecialMmcTest - finish"), 0u);
}

TEST_F(MemoryCard, SilentPhoneFailsAfterTheStartLine) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_SpecialMmcTest(h), 0);
    EXPECT_EQ(log(), (std::vector<std::string>{"\t\tKAVOR_SpecialMmcTest - start", "\tInvalid handle - Failure\n"}));
}

} // namespace
