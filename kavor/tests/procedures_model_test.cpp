// Phone identification and the phone-model table.
#include "procedures_fixture.h"

namespace {

struct ModelCase {
    unsigned int msm;
    unsigned int hwId;
    unsigned int code;
};
void PrintTo(const ModelCase& c, std::ostream* os) { *os << "msm" << c.msm << "_id" << c.hwId; }

class PhoneModelTable : public ProcedureTest, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(PhoneModelTable, GivesTheCode) {
    unsigned int code = 999;
    EXPECT_EQ(KAVOR_GetPhoneModel(h, GetParam().hwId, GetParam().msm, &code), 1);
    EXPECT_EQ(code, GetParam().code);
    EXPECT_TRUE(log().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, PhoneModelTable,
    ::testing::Values(ModelCase{1, 0, 23}, ModelCase{1, 1, 23}, ModelCase{1, 2, 24}, ModelCase{1, 3, 24},
                      ModelCase{1, 4, 24}, ModelCase{1, 5, 25}, ModelCase{1, 6, 25}, ModelCase{1, 7, 0},
                      ModelCase{1, 8, 13}, ModelCase{1, 9, 13}, ModelCase{1, 10, 0}, ModelCase{1, 11, 0},
                      ModelCase{1, 12, 15}, ModelCase{1, 13, 0}, ModelCase{1, 14, 0}, ModelCase{1, 15, 15},
                      ModelCase{1, 16, 0}, ModelCase{2, 0, 52}, ModelCase{2, 1, 53}, ModelCase{2, 2, 3},
                      ModelCase{2, 3, 3}, ModelCase{2, 4, 0}, ModelCase{2, 5, 0}, ModelCase{2, 6, 0},
                      ModelCase{2, 7, 2}, ModelCase{2, 8, 3}, ModelCase{2, 9, 54}, ModelCase{2, 10, 34},
                      ModelCase{2, 11, 35}, ModelCase{2, 12, 55}, ModelCase{2, 13, 36}, ModelCase{2, 14, 40},
                      ModelCase{2, 15, 0}, ModelCase{3, 0, 1}, ModelCase{3, 11, 1}, ModelCase{3, 12, 62},
                      ModelCase{3, 13, 1}, ModelCase{3, 0xFFFFFFFF, 1}, ModelCase{4, 0, 0}, ModelCase{4, 1, 71},
                      ModelCase{4, 4, 74}, ModelCase{4, 8, 78}, ModelCase{4, 9, 0}, ModelCase{0, 0, 0},
                      ModelCase{0, 1, 0}, ModelCase{5, 1, 0}, ModelCase{0xFFFFFFFF, 12, 0}),
    [](const auto& info) { return "msm" + std::to_string(info.param.msm) + "_id" + std::to_string(info.param.hwId); });

TEST_F(ProcedureTest, PhoneModelTableToleratesNoOutput) { EXPECT_EQ(KAVOR_GetPhoneModel(h, 1, 1, nullptr), 1); }

struct MsmCase {
    const char* name;
    unsigned int value;
    bool fromBuildId;
    unsigned int msmModel;
};
void PrintTo(const MsmCase& c, std::ostream* os) { *os << c.name; }

class MsmModel : public ::testing::TestWithParam<MsmCase> {};

TEST_P(MsmModel, FollowsTheHardwareVersion) {
    EXPECT_EQ(kavor::msmModelOf(GetParam().value, GetParam().fromBuildId), GetParam().msmModel);
}

INSTANTIATE_TEST_SUITE_P(Values, MsmModel,
                         ::testing::Values(MsmCase{"V64", 64, false, 1}, MsmCase{"V1027", 1027, false, 1},
                                           MsmCase{"V1029", 1029, false, 2}, MsmCase{"V8256", 8256, true, 2},
                                           MsmCase{"V96", 96, false, 3}, MsmCase{"V1537", 1537, true, 3},
                                           MsmCase{"V192", 192, false, 4}, MsmCase{"V3072", 3072, false, 4},
                                           MsmCase{"BuildIdValue", 0x120400E1, true, 2},
                                           MsmCase{"BuildIdValueOnlyFromTheBuildId", 0x120400E1, false, 0},
                                           MsmCase{"Unknown", 65, true, 0}, MsmCase{"Zero", 0, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The build id decides the MSM model; the hardware id comes from the
// extension-FTM command, which a "PalC1A" build answers with 8 on its own.
class Identification : public ProcedureTest {
protected:
    void SetUp() override {
        ProcedureTest::SetUp();
        phone().profile.build_id = "M6280A-PalC1A-0001";
    }
};

TEST_F(Identification, BuildIdGivesTheMsmModel) {
    phone().profile.msm_version = 0x120400E1;
    unsigned int hwId = 77, msm = 77, code = 77;
    const unsigned char ok = KAVOR_Phone_Model(h, &hwId, &msm, &code);
    EXPECT_EQ(msm, 2u);
    auto lines = log();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "\tQLIB_DIAG_EXT_BUILD_ID_F() start");
    EXPECT_EQ(lines[1], "\tQLIB_DIAG_EXT_BUILD_ID_F() - Completed successfully\n");
    EXPECT_EQ(lines[2], "\t\tKAVOR_FTM_GET_HW_ID() start");
    EXPECT_EQ(countLogged("\tKAVOR_FTM_GET_HARDWARE_VERSION() start"), 0u);
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 0u); // no handle check
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(hwId, 8u);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(log().back(), "\tKAVOR_GetPhoneModel(ver_number = 8, msm_model = 2) - Completed successfully\n");
}

TEST_F(Identification, OtherBuildIdValueGoesThroughTheTable) {
    phone().profile.msm_version = 1537;
    unsigned int hwId = 0, msm = 0, code = 0;
    KAVOR_Phone_Model(h, &hwId, &msm, &code);
    EXPECT_EQ(msm, 3u);
}

struct FallbackCase {
    const char* name;
    bool buildIdFails;
    const char* buildIdLine;
};
void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.name; }

class IdentificationFallback : public Identification, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(IdentificationFallback, AsksForTheExtensionHardwareVersion) {
    phone().profile.msm_version = 0;
    if (GetParam().buildIdFails)
        phone().inject("QLIB_DIAG_EXT_BUILD_ID_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    unsigned int hwId = 0, msm = 0, code = 0;
    const unsigned char ok = KAVOR_Phone_Model(h, &hwId, &msm, &code);
    auto lines = log();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], GetParam().buildIdLine);
    EXPECT_EQ(lines[2], "\tKAVOR_FTM_GET_HARDWARE_VERSION() start");
    EXPECT_EQ(ok, 1);
    // Once from the channel's own result line, once from the procedure's step.
    EXPECT_EQ(countLogged("\tKAVOR_FTM_GET_HARDWARE_VERSION() - Completed successfully\n"), 2u);
    EXPECT_EQ(countLogged("\tKAVOR_FTM_GET_HW_ID() - Completed successfully\n"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Causes, IdentificationFallback,
                         ::testing::Values(FallbackCase{"BuildIdFails", true,
                                                        "\tQLIB_DIAG_EXT_BUILD_ID_F() - Failure\n"},
                                           FallbackCase{"BuildIdHasNoVersion", false,
                                                        "\tQLIB_DIAG_EXT_BUILD_ID_F() - Completed successfully\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
