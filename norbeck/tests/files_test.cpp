// The file operations and the directory upload, on a scripted wrapper and a
// real temporary directory (the local delete is the wrapper's real one).
#include "NorbeckFixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class NorbeckFiles : public NorbeckTest {
protected:
    void SetUp() override {
        NorbeckTest::SetUp();
        char tmpl[] = "/tmp/norbeck-files.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        fs::remove_all(dir);
        NorbeckTest::TearDown();
    }
    void make(const std::string& name) {
        if (name.back() == '/')
            fs::create_directory(dir + "/" + name.substr(0, name.size() - 1));
        else
            std::ofstream(dir + "/" + name) << name;
    }
    std::vector<std::string> left() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The files put, as "imei|type|directory|name".
    static std::vector<std::string> puts() {
        std::vector<std::string> out;
        for (const auto& c : pellin_test::calls("pellin_PutFile"))
            out.push_back(c.texts[0] + "|" + c.texts[1] + "|" + c.texts[2] + "|" + c.texts[3]);
        return out;
    }
    std::string dir;
};

struct UploadCase {
    const char* name;
    std::vector<std::string> files;     // a trailing '/' makes a directory
    std::vector<std::string> uploaded;  // "imei name" in order
    std::vector<std::string> left;      // names left in the directory
};
void PrintTo(const UploadCase& c, std::ostream* os) { *os << c.name; }

class NorbeckUpload : public NorbeckFiles, public ::testing::WithParamInterface<UploadCase> {};

TEST_P(NorbeckUpload, StoresAndDeletesExactlyTheCandidates) {
    for (const auto& f : GetParam().files) make(f);
    answer("pellin_PutFile", 0);
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), 0) << err;
    std::vector<std::string> expected;
    for (const auto& u : GetParam().uploaded)
        expected.push_back(u.substr(0, u.find(' ')) + "|bin|" + dir + "|" + u.substr(u.find(' ') + 1));
    EXPECT_EQ(puts(), expected);
    EXPECT_EQ(left(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, NorbeckUpload,
    ::testing::Values(
        UploadCase{"FifteenDigits", {"350000000000011.bin"}, {"350000000000011 350000000000011.bin"}, {}},
        UploadCase{"LetterAmongTheFifteen", {"35000000000001A.bin"}, {}, {"35000000000001A.bin"}},
        UploadCase{"FifteenDigitsAndALetter", {"350000000000011.binx"}, {}, {"350000000000011.binx"}},
        UploadCase{"SixteenDigits", {"3500000000000111.bin"}, {}, {"3500000000000111.bin"}},
        UploadCase{"NoLetterButADash", {"12345-678901234.bin"}, {"12345-678901234 12345-678901234.bin"}, {}},
        UploadCase{"DirectoryNamedLikeACandidate", {"350000000000022.bin/"},
                   {"350000000000022 350000000000022.bin"}, {}},
        UploadCase{"Empty", {}, {}, {}},
        UploadCase{"NoBinFiles", {"readme.txt", "350000000000011.dat"}, {}, {"350000000000011.dat", "readme.txt"}},
        UploadCase{"MixedInSortedOrder",
                   {"350000000000033.bin", "35000000000001A.bin", "350000000000011.bin", "notes.bin"},
                   {"350000000000011 350000000000011.bin", "350000000000033 350000000000033.bin"},
                   {"35000000000001A.bin", "notes.bin"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckFiles, TheCandidateTestTracesWhyANameIsSkipped) {
    make("35000000000001A.bin");
    make("3500000000000111.bin");
    make("350000000000011.bin");
    answer("pellin_PutFile", 0);
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), 0);
    EXPECT_TRUE(traced("found alpha-char in filename -> *piIsCandidateForDb: 0"));
    EXPECT_TRUE(traced("strlen not matching [19] -> *piIsCandidateForDb: 0"));
    EXPECT_TRUE(traced("*piIsCandidateForDb: 1"));
    EXPECT_TRUE(traced("*piNrOfFilesFound: 3"));
    EXPECT_TRUE(traced("norbeck_PutFileToDb(350000000000011,bin," + dir + ",350000000000011.bin)..."));
}

TEST_F(NorbeckFiles, ADirectoryWithoutMatchesTracesTheEmptySearch) {
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), 0);
    EXPECT_TRUE(traced("hSearch == INVALID_HANDLE_VALUE -> no files found '" + dir + "/*.bin' [uiWin32ErrorNr: 2]"));
    EXPECT_TRUE(traced("*piNrOfFilesFound: 0"));
}

TEST_F(NorbeckFiles, OfAHundredAndOneCandidatesTheFirstHundredAreTaken) {
    for (int i = 0; i < 101; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "350000000000%03d.bin", i);
        make(name);
    }
    answer("pellin_PutFile", 0);
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), 0) << err;
    EXPECT_EQ(puts().size(), 100u);
    EXPECT_EQ(left(), std::vector<std::string>{"350000000000100.bin"});
    EXPECT_TRUE(traced("NrOfFilesFound >= 100 -> break the search here"));
}

// Names are kept to 127 characters: a name of 127 stays whole, one of 128 is cut.
TEST_F(NorbeckFiles, OnlyANameLongerThan127CharactersIsCut) {
    make(std::string(123, 'a') + ".bin");
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), 0) << err;
    for (const std::string& l : lines()) EXPECT_EQ(l.find("cut filename"), std::string::npos) << l;
    make(std::string(124, 'b') + ".bin");
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), 0) << err;
    EXPECT_TRUE(traced("iStrlen > 128 -> cut filename now"));
}

TEST_F(NorbeckFiles, APutFailureEndsTheRunAndEarlierFilesStayStoredAndDeleted) {
    for (const char* n : {"350000000000011.bin", "350000000000022.bin", "350000000000033.bin", "350000000000044.bin"})
        make(n);
    pellin_test::script("pellin_PutFile", {0, "", "", {}, 2});
    pellin_test::script("pellin_PutFile", {-23, "Oracle error: (ORA-01653)!", "", {}, 1});
    EXPECT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), -1);
    EXPECT_STREQ(err, "Oracle error: (ORA-01653)!");
    EXPECT_EQ(puts().size(), 3u);
    EXPECT_EQ(left(), (std::vector<std::string>{"350000000000033.bin", "350000000000044.bin"}));
    EXPECT_TRUE(traced("cErrMsg: Oracle error: (ORA-01653)!"));
}

TEST_F(NorbeckFiles, ALocalDeleteFailureEndsTheRun) {
    make("350000000000011.bin");
    make("350000000000022.bin");
    answer("pellin_PutFile", 0);
    pellin_test::script("pellin_DeleteBinFileFromDisk", {-1, "remove(x) failed: busy", "", {}, 1});
    EXPECT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), -1);
    EXPECT_STREQ(err, "remove(x) failed: busy");
    EXPECT_EQ(puts().size(), 1u);
    EXPECT_EQ(pellin_test::calls("pellin_DeleteBinFileFromDisk")[0].texts[0], dir + "/350000000000011.bin");
}

TEST_F(NorbeckFiles, AMissingDirectoryIsNotFound) {
    const std::string missing = dir + "/missing";
    EXPECT_EQ(norbeck_PutBinFilesFromDirToDb(missing.c_str(), err), -1);
    EXPECT_EQ(std::string(err), missing + " not found");
    EXPECT_TRUE(pellin_test::calls().empty());
}

TEST_F(NorbeckFiles, ADirectoryEndingWithASlashGetsNoSecondOne) {
    make("350000000000011.bin");
    answer("pellin_PutFile", 0);
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb((dir + "/").c_str(), err), 0) << err;
    EXPECT_EQ(pellin_test::calls("pellin_DeleteBinFileFromDisk")[0].texts[0], dir + "/350000000000011.bin");
    EXPECT_TRUE(left().empty());
}

TEST_F(NorbeckFiles, ADirectoryLongerThanFiftySevenCharactersWorks) {
    const std::string deep = dir + "/" + std::string(80, 'd');
    fs::create_directory(deep);
    std::ofstream(deep + "/350000000000011.bin") << "x";
    answer("pellin_PutFile", 0);
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(deep.c_str(), err), 0) << err;
    EXPECT_FALSE(fs::exists(deep + "/350000000000011.bin"));
}

struct PassCase {
    const char* name;
    const char* fn;
    int (*call)(char* err);
    std::string entry;
};
void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }
class NorbeckFilePassThrough : public NorbeckTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(NorbeckFilePassThrough, PassesTheTextsAndTracesTheFailure) {
    answer(GetParam().fn, 0);
    EXPECT_EQ(GetParam().call(err), 0);
    EXPECT_EQ(lines(), Lines{GetParam().entry});
    pellin_test::reset();
    answer(GetParam().fn, -2, "not stored");
    EXPECT_EQ(GetParam().call(err), -1);
    EXPECT_STREQ(err, "not stored");
    EXPECT_EQ(lines().back(), "cErrMsg: not stored");
    EXPECT_EQ(pellin_test::calls(GetParam().fn).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, NorbeckFilePassThrough,
    ::testing::Values(
        PassCase{"Put", "pellin_PutFile",
                 [](char* e) { return norbeck_PutFileToDb("350000000000011", "CAL", "/d", "f.bin", e); },
                 "norbeck_PutFileToDb(350000000000011,CAL,/d,f.bin)..."},
        PassCase{"Get", "pellin_GetFile",
                 [](char* e) { return norbeck_GetFileFromDb("350000000000011", "CAL", "/d", e); },
                 "norbeck_GetFileFromDb(350000000000011,CAL,/d)..."},
        PassCase{"Delete", "pellin_DeleteFile",
                 [](char* e) { return norbeck_DeleteFileFromDb("350000000000011", "CAL", e); },
                 "norbeck_DeleteFileFromDb(350000000000011,CAL)..."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
