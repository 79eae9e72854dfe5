// The driver through the real wrapper, the direct-SQL back-end and the test
// run's reference schema.
#include "NorbeckFixture.h"

#include "NorbeckDbFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

class NorbeckDb : public NorbeckTest {
protected:
    void SetUp() override {
        NorbeckTest::SetUp();
        norbeck_db::prepare(admin);
        if (HasFatalFailure()) return;
        char tmpl[] = "/tmp/norbeck-db.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        norbeck_Disconnect(0);
        fs::remove_all(dir);
        NorbeckTest::TearDown();
    }
    static std::string connectText(const std::string& options = "") { return norbeck_db::connectText(options); }
    std::string readLocal(const std::string& name) const {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    pgtest::Admin admin;
    std::string dir;
};

TEST_F(NorbeckDb, ConnectsWithAndWithoutDebugBlocksAndAFailedConnectClearsTheFlag) {
    ASSERT_EQ(norbeck_Connect(connectText(";debugblocks").c_str(), 0, 0, 0, err), 0) << err;
    EXPECT_EQ(gl_sNorbeck.iDebugBlocks, 1);
    ASSERT_EQ(norbeck_Disconnect(0), 0);
    ASSERT_EQ(norbeck_Connect(connectText().c_str(), 0, 0, 0, err), 0) << err;
    EXPECT_EQ(gl_sNorbeck.iDebugBlocks, 0);
    ASSERT_EQ(norbeck_Disconnect(0), 0);
    ASSERT_EQ(norbeck_Connect(connectText(";debugblocks").c_str(), 0, 0, 0, err), 0) << err;
    norbeck_Disconnect(0);
    EXPECT_EQ(norbeck_Connect("nobody-at-all", 0, 0, 0, err), -1);
    EXPECT_EQ(gl_sNorbeck.iDebugBlocks, 0);
    EXPECT_TRUE(traced(std::string("cErrMsg: ") + err));
}

TEST_F(NorbeckDb, RevisionQueryGivesTheDriversVersionAndTracesTheWrappers) {
    ASSERT_EQ(norbeck_Connect(connectText().c_str(), 0, 0, 0, err), 0) << err;
    char version[8] = "";
    ASSERT_EQ(norbeck_RevisionQuery(version, 0), 0);
    EXPECT_STREQ(version, "2.2");
    EXPECT_TRUE(traced("cPellin_DllVersion: pellin 1.0 (VARN_HEADER_VERSION:4) norbeck_DLL_VERSION: 2.2"));
}

TEST_F(NorbeckDb, AFileIsPutFetchedBackAndDeleted) {
    ASSERT_EQ(norbeck_Connect(connectText().c_str(), 0, 0, 0, err), 0) << err;
    const std::string data("calibration\0\x01\x02", 14);
    std::ofstream(dir + "/cal.dat", std::ios::binary) << data;
    ASSERT_EQ(norbeck_PutFileToDb("350000000000011", "CAL", dir.c_str(), "cal.dat", err), 0) << err;
    fs::remove(dir + "/cal.dat");
    ASSERT_EQ(norbeck_GetFileFromDb("350000000000011", "CAL", dir.c_str(), err), 0) << err;
    EXPECT_EQ(readLocal("cal.dat"), data);
    ASSERT_EQ(norbeck_DeleteFileFromDb("350000000000011", "CAL", err), 0) << err;
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.imei_file"), "0");
    EXPECT_EQ(norbeck_GetFileFromDb("350000000000011", "CAL", dir.c_str(), err), -1);
}

TEST_F(NorbeckDb, TheDirectoryUploadStoresTheCandidatesUnderTheirImei) {
    ASSERT_EQ(norbeck_Connect(connectText().c_str(), 0, 0, 0, err), 0) << err;
    std::ofstream(dir + "/350000000000011.bin", std::ios::binary) << "first";
    std::ofstream(dir + "/350000000000022.bin", std::ios::binary) << "second";
    std::ofstream(dir + "/35000000000003X.bin", std::ios::binary) << "skipped";
    ASSERT_EQ(norbeck_PutBinFilesFromDirToDb(dir.c_str(), err), 0) << err;
    EXPECT_EQ(admin.column("SELECT imei || ' ' || filetype || ' ' || filename || ' ' || convert_from(data, "
                           "'SQL_ASCII') FROM mero.imei_file ORDER BY imei"),
              (std::vector<std::string>{"350000000000011 bin 350000000000011.bin first",
                                        "350000000000022 bin 350000000000022.bin second"}));
    EXPECT_FALSE(fs::exists(dir + "/350000000000011.bin"));
    EXPECT_TRUE(fs::exists(dir + "/35000000000003X.bin"));
}

} // namespace
