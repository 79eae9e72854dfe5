// The wrapper's own rules, without a database: the connect text, scripted
// answers and the checks on what the back-end gives back, the local delete.
#include "pellin_test.h"

#include "varndb.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class Pellin : public ::testing::Test {
protected:
    void SetUp() override { pellin_test::reset(); }
    char err[PELLIN_ERRTEXT_SIZE] = "";
};

struct BadText {
    const char* name;
    const char* text;
};
void PrintTo(const BadText& b, std::ostream* os) { *os << b.name; }

class PellinBadConnectText : public Pellin, public ::testing::WithParamInterface<BadText> {};

TEST_P(PellinBadConnectText, IsRefusedWithATextBeforeAnyDatabaseCall) {
    EXPECT_NE(pellin_Connect(GetParam().text, 0, 0, 0, err), 0);
    EXPECT_STREQ(err, "pellin_Connect: connect text is not user/password@database");
}

INSTANTIATE_TEST_SUITE_P(Texts, PellinBadConnectText,
                         ::testing::Values(BadText{"Empty", ""}, BadText{"NoSlash", "user@db"},
                                           BadText{"NoAt", "user/password"}, BadText{"NoUser", "/pw@db"},
                                           BadText{"NoDatabase", "user/pw@"},
                                           BadText{"AtBeforeSlash", "user@db/pw"},
                                           BadText{"OnlyOptions", ";debugblocks"}, BadText{"Null", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pellin, AScriptedAnswerReplacesTheDatabaseAndTheCallIsRecorded) {
    pellin_test::script("pellin_Connect", {0, "", "", {}, 1});
    EXPECT_EQ(pellin_Connect("u/p@d;debugblocks", 1, 2, 3, err), 0);
    pellin_test::script("pellin_PutFile", {-5, "disk full", "", {}, 1});
    EXPECT_EQ(pellin_PutFile("350000000000011", "bin", "/tmp/x", "350000000000011.bin", err), -5);
    EXPECT_STREQ(err, "disk full");
    auto calls = pellin_test::calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].texts, std::vector<std::string>{"u/p@d;debugblocks"});
    EXPECT_EQ(calls[0].numbers, (std::vector<long long>{1, 2, 3}));
    EXPECT_EQ(calls[1].texts,
              (std::vector<std::string>{"350000000000011", "bin", "/tmp/x", "350000000000011.bin"}));
}

TEST_F(Pellin, AScriptForEveryCallKeepsAnswering) {
    pellin_test::script("pellin_DeleteFile", {0, "", "", {}, -1});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pellin_DeleteFile("1", "bin", err), 0);
    EXPECT_EQ(pellin_test::calls("pellin_DeleteFile").size(), 3u);
}

TEST_F(Pellin, AServiceCodeIsWrittenWholeUpTo127Characters) {
    char code[PELLIN_SERVICE_CODE_SIZE + 8];
    std::memset(code, 'z', sizeof code);
    pellin_test::script("pellin_GetServiceCode", {0, "", std::string(300, '7'), {}, 1});
    ASSERT_EQ(pellin_GetServiceCode("350000000000011", code, err), 0);
    EXPECT_EQ(std::strlen(code), 127u);
    EXPECT_EQ(code[128], 'z');
}

struct FsnCase {
    const char* name;
    std::size_t length;
    int result;
};
void PrintTo(const FsnCase& c, std::ostream* os) { *os << c.name; }
class PellinFsnLength : public Pellin, public ::testing::WithParamInterface<FsnCase> {};

TEST_P(PellinFsnLength, OnlyExactly16BytesAreAFlashSerialNumber) {
    unsigned char fsn[16];
    std::memset(fsn, 0xEE, sizeof fsn);
    int len = 16;
    pellin_test::script("pellin_GetFlashSerialNumber",
                        {0, "", "", std::vector<unsigned char>(GetParam().length, 0x31), 1});
    EXPECT_EQ(pellin_GetFlashSerialNumber(fsn, &len, err) == 0 ? 0 : -1, GetParam().result);
    EXPECT_EQ(fsn[0], GetParam().result == 0 ? 0x31 : 0xEE);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PellinFsnLength,
                         ::testing::Values(FsnCase{"Fifteen", 15, -1}, FsnCase{"Sixteen", 16, 0},
                                           FsnCase{"Seventeen", 17, -1}, FsnCase{"None", 0, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pellin, AFlashSerialBufferBelow16BytesIsRefused) {
    unsigned char fsn[16];
    int len = 15;
    EXPECT_NE(pellin_GetFlashSerialNumber(fsn, &len, err), 0);
    EXPECT_TRUE(pellin_test::calls().empty());
}

TEST_F(Pellin, ASimDataAnswerOfAnotherSizeLeavesTheAnswerUntouched) {
    unsigned char request[PELLIN_SIMDATA_REQUEST_SIZE] = {1, 0, 0, 0};
    unsigned char answer[PELLIN_SIMDATA_ANSWER_SIZE] = {};
    answer[0] = 1;
    pellin_test::script("pellin_GetSimDataFromCoder", {0, "", "", std::vector<unsigned char>(599, 0xAB), 1});
    EXPECT_NE(pellin_GetSimDataFromCoder(request, answer, err), 0);
    EXPECT_STREQ(err, "pellin_GetSimDataFromCoder: answer of 599 bytes instead of 600");
    EXPECT_EQ(answer[0], 1);
    EXPECT_EQ(answer[1], 0);
    EXPECT_EQ(pellin_test::calls()[0].bytes.size(), 168u);
}

TEST_F(Pellin, AReportOfAnotherVersionIsRefused) {
    unsigned char report[PELLIN_REPORT_SIZE] = {2};
    EXPECT_NE(pellin_DoMeroReport(report, err), 0);
    EXPECT_STREQ(err, "pellin_DoMeroReport: report version 2, expected 1");
}

TEST_F(Pellin, PrepWSimT48DoesNothingAndSucceeds) { EXPECT_EQ(pellin_fctPrepWSimT48(4, 8), 0); }

TEST_F(Pellin, DeleteBinFileFromDiskRemovesTheLocalFileAndSaysWhenItCannot) {
    char tmpl[] = "/tmp/pellin-del.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string path = std::string(tmpl) + "/350000000000011.bin";
    std::ofstream(path) << "x";
    EXPECT_EQ(pellin_DeleteBinFileFromDisk(path.c_str(), err), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_NE(pellin_DeleteBinFileFromDisk(path.c_str(), err), 0);
    EXPECT_EQ(std::string(err), "remove(" + path + ") failed: No such file or directory");
    std::filesystem::remove_all(tmpl);
}

TEST_F(Pellin, RevisionQueryNamesTheWrapperAndTheBackEnd) {
    char version[PELLIN_REVISION_SIZE] = "";
    ASSERT_EQ(pellin_RevisionQuery(version, 0), 0);
    char backEnd[VARNDB_ERRTEXT_SIZE] = "";
    varndb_GetDllVersion(backEnd, sizeof backEnd);
    EXPECT_EQ(std::string(version), std::string("pellin 1.0 (") + backEnd + ")");
    EXPECT_STRNE(backEnd, "");
}

} // namespace
