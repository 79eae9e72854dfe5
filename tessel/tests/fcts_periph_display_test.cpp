// Display test pictures over phone types and patterns, the display switch
// and the memory-card test.
#include "TesselFctsFixture.h"

#include <cstdlib>

namespace {

class PeriphDisplay : public TesselFcts {
protected:
    // The data of the extension requests with this command id.
    static std::vector<std::vector<std::uint8_t>> requests(std::uint16_t id) {
        std::vector<std::vector<std::uint8_t>> r;
        for (const auto& q : ftmRequests())
            if (q.id == id) r.push_back(q.data);
        return r;
    }
};

constexpr const char* kUnsupported = "[ERROR: Mobile type not supported.]";
constexpr const char* kUndefined = "[ERROR: Undefined pattern.]";

struct PictureCase {
    const char* name;
    int iPhoneType, ePattern;
    const char* picture;  // the file shown, or the error line
};

// clang-format off
const PictureCase kPictures[] = {
    {"Brenvel5Contrast",        0, 0,   "/FactoryTest/Pictures/Contrast_TFT_Brenvel5_155.jpg"},
    {"Brenvel5Blue",            0, 1,   "/FactoryTest/Pictures/TFT_Blue_Brenvel5.jpg"},
    {"Brenvel5Black",           0, 6,   "/FactoryTest/Pictures/TFT_Black_Brenvel5.jpg"},
    {"Brenvel5NoPattern7",      0, 7,   kUndefined},
    {"Brenvel5BmpContrast",     0, 50,  "/FactoryTest/Pictures/Contrast_TFT_Brenvel5_155.bmp"},
    {"Brenvel5BmpRowColumn",    0, 54,  "/FactoryTest/Pictures/TFT_RowColumnTest_Brenvel5.bmp"},
    {"Brenvel5NoPattern57",     0, 57,  kUndefined},
    {"Brenvel4Green",           1, 2,   "/FactoryTest/Pictures/TFT_Green_Brenvel4.jpg"},
    {"Brenvel4BmpWhite",        1, 55,  "/FactoryTest/Pictures/TFT_White_Brenvel4.bmp"},
    {"LurvinMainIsBrenvel5Bmp", 4, 53,  "/FactoryTest/Pictures/TFT_Red_Brenvel5.bmp"},
    {"LurvinNoJpg",             4, 1,   kUndefined},
    {"LurvinSubContrast",       4, 100, "/FactoryTest/Pictures/Contrast_TFT_LurvinSub.bmp"},
    {"LurvinSubBlue",           4, 101, "/FactoryTest/Pictures/Blue_TFT_LurvinSub.bmp"},
    {"LurvinNoSubGng",          4, 107, kUndefined},
    {"HubrelAsLurvin",          10, 106, "/FactoryTest/Pictures/Black_TFT_LurvinSub.bmp"},
    {"TarvRed",                 6, 3,   "/FactoryTest/Pictures/TFT_Red_TARV.jpg"},
    {"TarvBmpContrast",         6, 50,  "/FactoryTest/Pictures/Contrast_TFT_TARV_155.bmp"},
    {"GastolContrastHasNo155",  8, 50,  "/FactoryTest/Pictures/Contrast_TFT_Gastol.bmp"},
    {"GastolGng",               8, 57,  "/FactoryTest/Pictures/TFT_GNGTest_Gastol.bmp"},
    {"GastolNoJpg",             8, 0,   kUndefined},
    {"PaldenContrast",          9, 50,  "/FactoryTest/Pictures/Contrast_TFT_PALDEN_155.bmp"},
    {"PaldenGng",               9, 57,  "/FactoryTest/Pictures/TFT_GNGTest_PALDEN.bmp"},
    {"PaldenSubGng",            9, 107, "/FactoryTest/Pictures/TFT_GNGTest_PALDENSub.bmp"},
    {"PaldenSubWhite",          9, 105, "/FactoryTest/Pictures/White_TFT_PALDENSub.bmp"},
    {"PaldenNo108",             9, 108, kUndefined},
    {"Type2",                   2, 50,  kUnsupported},
    {"Type3",                   3, 0,   kUnsupported},
    {"Type5",                   5, 50,  kUnsupported},
    {"Type7",                   7, 50,  kUnsupported},
    {"NoType",                  11, 50, kUnsupported},
};
// clang-format on

class Picture : public PeriphDisplay, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(Picture, ShowsTheTypesFileForThePattern) {
    const PictureCase& c = GetParam();
    const int s = typed(c.iPhoneType);
    const bool bError = c.picture[0] == '[';
    EXPECT_EQ(_Tessel_SpecialSetDisplayPattern(s, c.ePattern, "t.c", 1), bError ? kLib : 0);
    const auto sent = requests(23);
    if (bError) {
        EXPECT_TRUE(sent.empty());
        EXPECT_TRUE(hasLine(c.picture));
        return;
    }
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 128u);  // the whole buffer: the name, then zeros
    const std::string name(c.picture);
    EXPECT_EQ(std::string(sent[0].begin(), sent[0].begin() + name.size()), name);
    EXPECT_TRUE(std::all_of(sent[0].begin() + name.size(), sent[0].end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(hasLine(" QLIB_FTM_DISPLAY_IMAGE('" + name + "')"));
}

INSTANTIATE_TEST_SUITE_P(TypesAndPatterns, Picture, ::testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphDisplay, PictureRefusedByThePhoneFails) {
    const int s = typed(0);
    qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, 23}] = 1;
    EXPECT_EQ(_Tessel_SpecialSetDisplayPattern(s, 1, "t.c", 1), kLib);
}

struct DisplaySwitchCase {
    const char* name;
    int iPhoneType;
    unsigned char ucDisplay;
    const char* error;  // null: switched
};

const DisplaySwitchCase kDisplaySwitches[] = {
    {"LurvinMain", 4, 0, nullptr},   {"PaldenSub", 9, 1, nullptr},
    {"HubrelSub", 10, 1, nullptr},   {"NoThirdDisplay", 9, 2, "[ERROR: Number of display not supported.]"},
    {"Brenvel5", 0, 0, kUnsupported}, {"Gastol", 8, 1, kUnsupported},
};

class DisplaySwitch : public PeriphDisplay, public ::testing::WithParamInterface<DisplaySwitchCase> {};

TEST_P(DisplaySwitch, SelectsTheDisplayAndLightsIt) {
    const DisplaySwitchCase& c = GetParam();
    const int s = typed(c.iPhoneType);
    EXPECT_EQ(_Tessel_SpecialSwitchDisplay(s, c.ucDisplay, "t.c", 1), c.error ? kLib : 0);
    if (c.error) {
        EXPECT_TRUE(hasLine(c.error));
        EXPECT_TRUE(ftmRequests().empty());
        return;
    }
    const auto sends = phone().calls("QLIB_SendSync");
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_EQ(sends[0].bytes, (std::vector<std::uint8_t>{0x4B, 0x0B, 0x00, 0x80, 0xC8, 0x00, 0x01, 0x00, 0x0C, 0x00,
                                                         c.ucDisplay}));
    EXPECT_EQ(qmsl_sim::ext_ftm(phone()).display, c.ucDisplay);
    EXPECT_EQ(requests(30), (std::vector<std::vector<std::uint8_t>>{{80}}));
}

INSTANTIATE_TEST_SUITE_P(Types, DisplaySwitch, ::testing::ValuesIn(kDisplaySwitches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphDisplay, DisplaySwitchLightsAfterAFailedSelection) {
    const int s = typed(9);
    phone().inject("QLIB_SendSync", qmsl_sim::Fault{.times = 1});
    EXPECT_EQ(_Tessel_SpecialSwitchDisplay(s, 1, "t.c", 1), kLib);
    EXPECT_EQ(requests(30).size(), 1u);
}

// --- memory-card test ---------------------------------------------------------------

TEST_F(PeriphDisplay, MemoryCardKeepsWhatWasWritten) {
    const int s = typed(0);
    std::srand(7);
    ASSERT_EQ(_Tessel_SpecialMmcTest(s, "t.c", 1), 0);
    const auto& files = qmsl_sim::ext_ftm(phone()).mmc_files;
    ASSERT_EQ(files.count("\\TEST.BIN"), 1u);
    const auto& data = files.at("\\TEST.BIN");
    ASSERT_EQ(data.size(), 16u);
    EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](std::uint8_t b) { return b >= 64 && b <= 119; }));
    EXPECT_TRUE(hasLine("\\TEST.BIN -- OUT DATA.={ "));
    EXPECT_TRUE(hasLine("\\TEST.BIN -- IN DATA.={ "));
    EXPECT_TRUE(hasLine("_Tessel_SpecialMmcTest( OK ) = 0"));
}

struct MmcFailCase {
    const char* name;
    int iFailingCall;  // 0 the write, 1 the read, -1 none (the card gives other data)
    const char* text;
};

const MmcFailCase kMmcFailures[] = {
    {"WriteFails", 0, "QLIB_FTM_MMC_FILE_ACCESS() - failed to write."},
    {"ReadFails", 1, "QLIB_FTM_MMC_FILE_ACCESS() - failed to read."},
    {"OtherData", -1, "Written data does not match read data."},
};

class MmcFailure : public PeriphDisplay, public ::testing::WithParamInterface<MmcFailCase> {};

TEST_P(MmcFailure, NamesTheStepInTheResult) {
    const MmcFailCase& c = GetParam();
    const int s = typed(0);
    auto& st = qmsl_sim::ext_ftm(phone());
    if (c.iFailingCall == 0) {
        st.statuses[{qmsl_sim::kExtFtmGroup, 18}] = 1;
    } else {
        // A read answers status 0 and 16 bytes of 'z'; a failing read answers status 1.
        std::vector<std::uint8_t> body = {static_cast<std::uint8_t>(c.iFailingCall == 1 ? 1 : 0), 0};
        body.resize(2 + 16, 'z');
        phone().add_responder(qmsl_sim::Channel::Sync, [body, n = std::make_shared<int>(0)](qmsl_sim::Phone&, const std::vector<std::uint8_t>& req)
                              -> std::optional<std::vector<std::uint8_t>> {
            if (req.size() < 10 || req[4] != 18 || (*n)++ == 0) return std::nullopt;  // the write is the phone's
            std::vector<std::uint8_t> reply(req.begin(), req.begin() + 10);
            reply.insert(reply.end(), body.begin(), body.end());
            return reply;
        });
    }
    EXPECT_EQ(_Tessel_SpecialMmcTest(s, "t.c", 1), kLib);
    EXPECT_TRUE(hasLine(std::string("_Tessel_SpecialMmcTest( ") + c.text + " )"));
}

INSTANTIATE_TEST_SUITE_P(Steps, MmcFailure, ::testing::ValuesIn(kMmcFailures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
