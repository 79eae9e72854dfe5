#include "cvi_panel.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

const std::string kGood = std::string(CVI_TEST_DATA) + "/good.uir";

// A panel file with the given text, removed at the end of the test.
struct TempPanelFile {
    std::filesystem::path path;
    TempPanelFile(const std::string& text, std::filesystem::path dir = std::filesystem::temp_directory_path()) {
        static int counter = 0;
        path = dir / ("panel_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter) + ".uir");
        std::ofstream(path) << text;
    }
    ~TempPanelFile() { std::filesystem::remove(path); }
};

} // namespace

TEST(PanelFile, AGoodFileLoadsWithItsValuesAndBoundCallbacks) {
    int panel = LoadPanel(0, kGood.c_str(), 1);
    ASSERT_GT(panel, 0);
    int v = -1;
    EXPECT_EQ(GetCtrlVal(panel, 15, &v), 0);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(GetCtrlVal(panel, 16, &v), 0);
    EXPECT_EQ(v, 0);
    char text[CVI_TEXT_CONTROL_SIZE];
    EXPECT_EQ(GetCtrlVal(panel, 17, text), 0);
    EXPECT_STREQ(text, "idle");
    EXPECT_EQ(cvi_test::callback_name(panel, 1), "panel_test_count");
    EXPECT_EQ(cvi_test::callback_name(panel, 2), "panel_test_quit");
    EXPECT_EQ(cvi_test::callback_name(panel, 3), "panel_test_fail");
    EXPECT_EQ(cvi_test::callback_name(panel, 15), "");
    EXPECT_EQ(DiscardPanel(panel), 0);
}

TEST(PanelFile, EachLoadGivesANewHandleAndTheResourceIdPicksThePanel) {
    int first = LoadPanel(0, kGood.c_str(), 1);
    int second = LoadPanel(0, kGood.c_str(), 2);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_NE(first, second);
    int v = 0;
    EXPECT_EQ(GetCtrlVal(second, 15, &v), UI_ERR_NO_SUCH_CONTROL);
    EXPECT_EQ(DiscardPanel(first), 0);
    EXPECT_EQ(DiscardPanel(first), UI_ERR_NO_SUCH_PANEL);
    int third = LoadPanel(0, kGood.c_str(), 1);
    EXPECT_NE(third, first);  // handles are never reused
    EXPECT_EQ(GetCtrlVal(first, 15, &v), UI_ERR_NO_SUCH_PANEL);
}

TEST(PanelFile, AMissingFileAMissingPanelAndBadArgumentsFail) {
    EXPECT_EQ(LoadPanel(0, "/nonexistent/dir/Panel.uir", 1), UI_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(LoadPanel(0, kGood.c_str(), 9), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(LoadPanel(0, nullptr, 1), UI_ERR_INVALID_PARAMETER);
    EXPECT_EQ(LoadPanel(3, kGood.c_str(), 1), UI_ERR_INVALID_PARAMETER);
}

TEST(PanelFile, ARelativeNameIsFoundBesideTheProgram) {
    char arg0[] = "cvi_tests";
    char* argv[] = {arg0, nullptr};
    ASSERT_EQ(InitCVIRTEEx(nullptr, argv, nullptr), 1);
    std::filesystem::path exe_dir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    TempPanelFile file("panel 1\nnumeric 4 value=7 max=9\n", exe_dir);
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    int panel = LoadPanel(0, file.path.filename().c_str(), 1);
    std::filesystem::current_path(old);
    ASSERT_GT(panel, 0);
    int v = 0;
    EXPECT_EQ(GetCtrlVal(panel, 4, &v), 0);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(InitCVIRTEEx(nullptr, nullptr, nullptr), 0);
}

struct BadFileCase {
    const char* name;
    const char* text;
    int expected;
};

void PrintTo(const BadFileCase& c, std::ostream* os) { *os << c.name; }

class PanelFileRefused : public testing::TestWithParam<BadFileCase> {};

TEST_P(PanelFileRefused, LoadPanelFailsWithTheReason) {
    TempPanelFile file(GetParam().text);
    EXPECT_EQ(LoadPanel(0, file.path.c_str(), 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PanelFileRefused,
    testing::Values(
        BadFileCase{"UnknownCallback", "panel 1\nbutton 1 callback=panel_test_count\nbutton 2 callback=no_such_function\n",
                    UI_ERR_UNKNOWN_CALLBACK},
        BadFileCase{"ButtonWithoutCallback", "panel 1\nbutton 1 label=Go\n", UI_ERR_BAD_FILE},
        BadFileCase{"CallbackNotAnIdentifier", "panel 1\nbutton 1 callback=1go\n", UI_ERR_BAD_FILE},
        BadFileCase{"UnknownItem", "panel 1\nslider 2\n", UI_ERR_BAD_FILE},
        BadFileCase{"UnknownAttribute", "panel 1\nnumeric 2 colour=red\n", UI_ERR_BAD_FILE},
        BadFileCase{"AttributeTwice", "panel 1\nnumeric 2 min=1 min=2\n", UI_ERR_BAD_FILE},
        BadFileCase{"NotKeyValue", "panel 1\nnumeric 2 min\n", UI_ERR_BAD_FILE},
        BadFileCase{"ValueOutsideRange", "panel 1\nnumeric 2 value=300 min=0 max=255\n", UI_ERR_BAD_FILE},
        BadFileCase{"MinAboveMax", "panel 1\nnumeric 2 min=5 max=4 value=5\n", UI_ERR_BAD_FILE},
        BadFileCase{"BadNumber", "panel 1\nnumeric 2 value=12x\n", UI_ERR_BAD_FILE},
        BadFileCase{"NumberTooBig", "panel 1\nnumeric 2 max=99999999999\n", UI_ERR_BAD_FILE},
        BadFileCase{"IdMissing", "panel 1\ntext\n", UI_ERR_BAD_FILE},
        BadFileCase{"IdNotPositive", "panel 1\ntext 0\n", UI_ERR_BAD_FILE},
        BadFileCase{"ControlTwice", "panel 1\ntext 2\nnumeric 2\n", UI_ERR_BAD_FILE},
        BadFileCase{"PanelTwice", "panel 1\npanel 1\n", UI_ERR_BAD_FILE},
        BadFileCase{"ControlBeforePanel", "text 2\npanel 1\n", UI_ERR_BAD_FILE},
        BadFileCase{"UnterminatedQuote", "panel 1 title=\"Open\n", UI_ERR_BAD_FILE},
        // A fault anywhere refuses the file, also in a panel not asked for.
        BadFileCase{"FaultInAnotherPanel", "panel 1\npanel 2\nslider 3\n", UI_ERR_BAD_FILE},
        BadFileCase{"EmptyFile", "", UI_ERR_NO_SUCH_PANEL}),
    [](const testing::TestParamInfo<BadFileCase>& info) { return std::string(info.param.name); });
