#include "NorbeckFixture.h"

#include <cstring>

namespace {

struct ConnectCase {
    const char* name;
    const char* text;
    int wrapper;  // the wrapper's answer
    int result;
    int debugBlocks;
};
void PrintTo(const ConnectCase& c, std::ostream* os) { *os << c.name; }

class NorbeckConnect : public NorbeckTest, public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(NorbeckConnect, SetsTheDebugBlocksFlagFromTheTextWhateverTheWrapperSays) {
    const ConnectCase& c = GetParam();
    gl_sNorbeck.iDebugBlocks = 1 - c.debugBlocks;
    answer("pellin_Connect", c.wrapper, "refused");
    EXPECT_EQ(norbeck_Connect(c.text, 4, 5, 6, err), c.result);
    EXPECT_EQ(gl_sNorbeck.iDebugBlocks, c.debugBlocks);
    auto calls = pellin_test::calls("pellin_Connect");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].texts[0], c.text);
    EXPECT_EQ(calls[0].numbers, (std::vector<long long>{4, 5, 6}));
    EXPECT_EQ(lines().front(), "norbeck_Connect()...");
    EXPECT_EQ(traced("cErrMsg: refused"), c.result != 0);
    if (c.result != 0) {
        EXPECT_STREQ(err, "refused");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NorbeckConnect,
    ::testing::Values(ConnectCase{"Plain", "u/p@db", 0, 0, 0},
                      ConnectCase{"WordBetweenOthers", "u/p@db;xdebugblocksy", 0, 0, 1},
                      ConnectCase{"WordAlone", "debugblocks", 0, 0, 1},
                      ConnectCase{"OtherCase", "u/p@db;DebugBlocks", 0, 0, 0},
                      ConnectCase{"FailingWithWord", "u/p@db;debugblocks", -1, -1, 1},
                      ConnectCase{"FailingWithoutWordClears", "u/p@db", -1, -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckTest, ALaterConnectWithoutTheWordClearsTheFlag) {
    answer("pellin_Connect", 0);
    ASSERT_EQ(norbeck_Connect("u/p@db;debugblocks", 0, 0, 0, err), 0);
    EXPECT_EQ(gl_sNorbeck.iDebugBlocks, 1);
    pellin_test::reset();
    answer("pellin_Connect", -1, "no database");
    EXPECT_EQ(norbeck_Connect("u/p@db", 0, 0, 0, err), -1);
    EXPECT_EQ(gl_sNorbeck.iDebugBlocks, 0);
}

TEST_F(NorbeckTest, DisconnectFailsWithoutATraceOrText) {
    answer("pellin_Disconnect", 3);
    EXPECT_EQ(norbeck_Disconnect(9), -1);
    EXPECT_EQ(lines(), Lines{"norbeck_Disconnect()..."});
    EXPECT_EQ(pellin_test::calls("pellin_Disconnect")[0].numbers, std::vector<long long>{9});
    pellin_test::reset();
    answer("pellin_Disconnect", 0);
    EXPECT_EQ(norbeck_Disconnect(0), 0);
}

TEST_F(NorbeckTest, RevisionQueryGivesTheDriversVersionWhateverTheWrappers) {
    pellin_test::script("pellin_RevisionQuery", {0, "", "pellin 9.9", {}, 1});
    char version[16] = "";
    ASSERT_EQ(norbeck_RevisionQuery(version, 0), 0);
    EXPECT_STREQ(version, "2.2");
    EXPECT_TRUE(traced("cPellin_DllVersion: pellin 9.9 norbeck_DLL_VERSION: 2.2"));
}

TEST_F(NorbeckTest, AFailedRevisionQueryLeavesTheCallersText) {
    answer("pellin_RevisionQuery", 1);
    char version[16] = "untouched";
    EXPECT_EQ(norbeck_RevisionQuery(version, 0), -1);
    EXPECT_STREQ(version, "untouched");
}

TEST_F(NorbeckTest, ALongWrapperTextIsTracedWholeAndTheDriversOwnTextsAreCut) {
    std::string longText(250, 'w');
    answer("pellin_GetFile", -1, longText);
    EXPECT_EQ(norbeck_GetFileFromDb("1", "bin", "/tmp", err), -1);
    EXPECT_TRUE(traced("cErrMsg: " + longText));
    char big[400];
    std::memset(big, 'z', sizeof big);
    const std::string dir = "/no/such/dir/" + std::string(300, 'd');
    EXPECT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), big), -1);
    EXPECT_EQ(std::strlen(big), 255u);
    EXPECT_EQ(big[256], 'z');
    EXPECT_TRUE(traced("norbeck_PutBinFilesFromDirToDb(" + dir + ")..."));
}

} // namespace
