// The freeze and the SIM secure data through the real wrapper, the
// direct-SQL back-end and the test run's reference schema: the serial number
// comes from the schema's sequence, the SIM data from its coder "SIMDATA".
#include "NorbeckDbFixture.h"
#include "NorbeckGsdiFixture.h"

#include <regex>

namespace {

class NorbeckDbIdentity : public NorbeckGsdiTest {
protected:
    void SetUp() override {
        NorbeckGsdiTest::SetUp();
        norbeck_db::prepare(admin);
        if (HasFatalFailure()) return;
        ASSERT_EQ(norbeck_Connect(norbeck_db::connectText().c_str(), 0, 0, 0, err), 0) << err;
        writeImei("350000000000011");
    }
    void TearDown() override {
        norbeck_Disconnect(0);
        NorbeckGsdiTest::TearDown();
    }
    pgtest::Admin admin;
};

TEST_F(NorbeckDbIdentity, AFreezeWritesTheDatabasesFlashSerialNumberAsTheDsn) {
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    const std::vector<std::uint8_t> dsn = nv(2824);
    const std::string text(dsn.begin(), dsn.end());
    EXPECT_TRUE(std::regex_match(text, std::regex("FSN[0-9]{13}"))) << text;
    EXPECT_EQ(gsdi.rootKey, key(norbeck_FIELDTEST_ROOTKEY));
    EXPECT_EQ(gsdi.deviceInfos, 1);
    // A second freeze finds the phone frozen and asks the database nothing.
    const std::size_t calls = pellin_test::calls("pellin_GetFlashSerialNumber").size();
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    EXPECT_EQ(pellin_test::calls("pellin_GetFlashSerialNumber").size(), calls);
    EXPECT_EQ(nv(2824), dsn);
}

TEST_F(NorbeckDbIdentity, TheCodersAnswerGivesTheBluetoothIdAndTheSimBlock) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
    phone().set_nv(2824, std::vector<std::uint8_t>(16, 0x31));
    int done = 0;
    ASSERT_EQ(norbeck_WriteSimData_BtId(ses, "t1", "t2", "t3", &done, err), 0) << err;
    EXPECT_EQ(done, 1);
    EXPECT_EQ(nv(447), (std::vector<std::uint8_t>{0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f}));
    // Outside its fixed fields, byte i of the schema's answer is (i * 7 + 3) mod 256.
    std::vector<std::uint8_t> block;
    for (auto [from, n] : {std::pair{24, 224}, std::pair{248, 232}, std::pair{526, 56}})
        for (int i = from; i < from + n; ++i) block.push_back(static_cast<std::uint8_t>((i * 7 + 3) % 256));
    EXPECT_EQ(gsdi.simData, block);
}

} // namespace
