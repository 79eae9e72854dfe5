#include "tracer_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class Tracer : public ::testing::Test {
protected:
    void SetUp() override { tracer_test::reset(); }
    void TearDown() override {
        tracer_test::reset();
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    // A fresh folder for trace files, removed after the test.
    std::string dir() {
        if (dir_.empty()) {
            std::string templ = (fs::temp_directory_path() / "tracer_test_XXXXXX").string();
            dir_ = mkdtemp(templ.data());
        }
        return dir_;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

private:
    std::string dir_;
};

struct SettingsCase {
    const char* name;
    const char* settings;
    int status;
};
void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }

class TracerSettings : public Tracer, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(TracerSettings, IsAcceptedOrRefused) {
    TracerSession s = -7;
    EXPECT_EQ(tracer_init(GetParam().settings, &s), GetParam().status);
    if (GetParam().status == TRACER_OK) {
        EXPECT_GT(s, 0);
        EXPECT_EQ(tracer_close(s), TRACER_OK);
    } else {
        EXPECT_EQ(s, -7);  // nothing handed out
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TracerSettings,
    ::testing::Values(SettingsCase{"Station", "TERMINAL:1:FILE:1:MAXFILES:010:FILENAME:tracefile", TRACER_OK},
                      SettingsCase{"Empty", "", TRACER_OK},
                      SettingsCase{"OtherOrder", "FILENAME:x:MAXFILES:3:TERMINAL:0", TRACER_OK},
                      SettingsCase{"MaxFilesUpperBound", "MAXFILES:999", TRACER_OK},
                      SettingsCase{"MaxFilesZero", "MAXFILES:0", TRACER_ERR_SETTINGS},
                      SettingsCase{"MaxFilesTooLong", "MAXFILES:1000", TRACER_ERR_SETTINGS},
                      SettingsCase{"MaxFilesNegative", "MAXFILES:-1", TRACER_ERR_SETTINGS},
                      SettingsCase{"FlagTwo", "TERMINAL:2", TRACER_ERR_SETTINGS},
                      SettingsCase{"FlagText", "FILE:yes", TRACER_ERR_SETTINGS},
                      SettingsCase{"MissingValue", "TERMINAL:1:FILE", TRACER_ERR_SETTINGS},
                      SettingsCase{"TrailingColon", "TERMINAL:1:", TRACER_ERR_SETTINGS},
                      SettingsCase{"UnknownKey", "COLOUR:1", TRACER_ERR_SETTINGS},
                      SettingsCase{"RepeatedKey", "TERMINAL:1:TERMINAL:0", TRACER_ERR_SETTINGS},
                      SettingsCase{"EmptyFileName", "FILENAME:", TRACER_ERR_SETTINGS},
                      SettingsCase{"LowerCaseKey", "terminal:1", TRACER_ERR_SETTINGS}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tracer, NullArgumentsAndUnknownSessionsGiveErrors) {
    TracerSession s = 0;
    EXPECT_EQ(tracer_init(nullptr, &s), TRACER_ERR_ARG);
    EXPECT_EQ(tracer_init("", nullptr), TRACER_ERR_ARG);
    for (TracerSession bad : {0, -1, 42}) {
        EXPECT_EQ(tracer_write(bad, "x"), TRACER_ERR_SESSION);
        EXPECT_EQ(tracer_openFile(bad), TRACER_ERR_SESSION);
        EXPECT_EQ(tracer_closeFile(bad), TRACER_ERR_SESSION);
        EXPECT_EQ(tracer_close(bad), TRACER_ERR_SESSION);
    }
    ASSERT_EQ(tracer_init("", &s), TRACER_OK);
    EXPECT_EQ(tracer_write(s, nullptr), TRACER_ERR_ARG);
    EXPECT_TRUE(tracer_test::all_lines().empty());
}

TEST_F(Tracer, CaptureKeepsEachSessionsLinesAndAClosedSessionRefusesWrites) {
    TracerSession a = 0, b = 0;
    ASSERT_EQ(tracer_init("", &a), TRACER_OK);
    ASSERT_EQ(tracer_init("", &b), TRACER_OK);
    EXPECT_NE(a, b);
    EXPECT_EQ(tracer_write(a, "one"), TRACER_OK);
    EXPECT_EQ(tracer_write(b, "two"), TRACER_OK);
    EXPECT_EQ(tracer_write(a, "three"), TRACER_OK);
    EXPECT_EQ(tracer_test::lines(a), (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(tracer_test::lines(b), (std::vector<std::string>{"two"}));
    ASSERT_EQ(tracer_test::all_lines().size(), 3u);
    EXPECT_EQ(tracer_test::all_lines()[1], std::make_pair(b, std::string("two")));

    EXPECT_EQ(tracer_close(a), TRACER_OK);
    EXPECT_EQ(tracer_write(a, "late"), TRACER_ERR_SESSION);
    EXPECT_EQ(tracer_test::lines(a).size(), 2u);
    tracer_test::clear_lines();
    EXPECT_TRUE(tracer_test::all_lines().empty());
}

TEST_F(Tracer, TerminalOutputIsOneLineEach) {
    TracerSession s = 0;
    ASSERT_EQ(tracer_init("TERMINAL:1", &s), TRACER_OK);
    ::testing::internal::CaptureStdout();
    tracer_write(s, "first");
    tracer_write(s, "second");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "first\nsecond\n");

    TracerSession quiet = 0;
    ASSERT_EQ(tracer_init("TERMINAL:0", &quiet), TRACER_OK);
    ::testing::internal::CaptureStdout();
    tracer_write(quiet, "hidden");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// Without the capture (a program that never asked for it) no line stays in
// memory, however many are written; the outputs still get every line.
TEST_F(Tracer, WithoutTheCaptureNoLineStaysInMemory) {
    const std::string base = dir() + "/quiet";
    TracerSession s = 0;
    ASSERT_EQ(tracer_init(("FILE:1:FILENAME:" + base).c_str(), &s), TRACER_OK);
    ASSERT_EQ(tracer_openFile(s), TRACER_OK);
    tracer_test::set_capture(false);
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(tracer_write(s, "a line of the station"), TRACER_OK);
    EXPECT_TRUE(tracer_test::all_lines().empty());
    ASSERT_EQ(tracer_closeFile(s), TRACER_OK);
    EXPECT_EQ(fs::file_size(base + ".001"), 10000u * sizeof "a line of the station");
    // A test that clears the lines asks for them again.
    tracer_test::clear_lines();
    tracer_write(s, "kept");
    EXPECT_EQ(tracer_test::lines(s), std::vector<std::string>{"kept"});
}

// A raw buffer traced as a line: the terminal shows its control bytes, the
// file keeps the bytes as written.
TEST_F(Tracer, TheTerminalShowsControlBytesTheFileKeepsThem) {
    const std::string base = dir() + "/raw";
    TracerSession s = 0;
    ASSERT_EQ(tracer_init(("TERMINAL:1:FILE:1:FILENAME:" + base).c_str(), &s), TRACER_OK);
    ASSERT_EQ(tracer_openFile(s), TRACER_OK);
    ::testing::internal::CaptureStdout();
    tracer_write(s, "\x1b[2J\xab\x01 text");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\\x1b[2J\\xab\\x01 text\n");
    ASSERT_EQ(tracer_closeFile(s), TRACER_OK);
    EXPECT_EQ(read(base + ".001"), "\x1b[2J\xab\x01 text\n");
    EXPECT_EQ(tracer_test::lines(s), std::vector<std::string>{"\x1b[2J\xab\x01 text"});
}

TEST_F(Tracer, FilesAreNumberedAndRotateAtTheStatedCount) {
    const std::string base = dir() + "/tracefile";
    const std::string settings = "FILE:1:MAXFILES:003:FILENAME:" + base;
    TracerSession s = 0;
    ASSERT_EQ(tracer_init(settings.c_str(), &s), TRACER_OK);
    EXPECT_EQ(tracer_write(s, "before any file"), TRACER_OK);
    for (int run = 1; run <= 4; ++run) {
        ASSERT_EQ(tracer_openFile(s), TRACER_OK);
        tracer_write(s, ("run " + std::to_string(run)).c_str());
    }
    ASSERT_EQ(tracer_closeFile(s), TRACER_OK);
    EXPECT_EQ(read(base + ".001"), "run 4\n");
    EXPECT_EQ(read(base + ".002"), "run 3\n");
    EXPECT_EQ(read(base + ".003"), "run 2\n");
    EXPECT_FALSE(fs::exists(base + ".004"));  // run 1 was dropped

    tracer_write(s, "after close");  // no file open: not written anywhere
    EXPECT_EQ(read(base + ".001"), "run 4\n");
    EXPECT_EQ(tracer_close(s), TRACER_OK);
}

TEST_F(Tracer, OpenFileWithoutFileOutputDoesNothing) {
    TracerSession s = 0;
    ASSERT_EQ(tracer_init(("FILE:0:FILENAME:" + dir() + "/none").c_str(), &s), TRACER_OK);
    EXPECT_EQ(tracer_openFile(s), TRACER_OK);
    tracer_write(s, "x");
    EXPECT_FALSE(fs::exists(dir() + "/none.001"));
}

TEST_F(Tracer, AFileThatCannotBeCreatedIsAnError) {
    TracerSession s = 0;
    ASSERT_EQ(tracer_init(("FILE:1:FILENAME:" + dir() + "/no/such/folder/t").c_str(), &s), TRACER_OK);
    EXPECT_EQ(tracer_openFile(s), TRACER_ERR_FILE);
    EXPECT_EQ(tracer_write(s, "still captured"), TRACER_OK);
    EXPECT_EQ(tracer_test::lines(s).size(), 1u);
}

} // namespace
