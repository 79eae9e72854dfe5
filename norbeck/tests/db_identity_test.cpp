// The freeze and the SIM secure data through the real wrapper, the
// direct-SQL back-end and the test run's reference schema: the serial number
// comes from the schema's sequence, the SIM data from its coder "SIMDATA".
#include "NorbeckDbFixture.h"
#include "NorbeckGsdiFixture.h"
#include "sql_session.h"

#include <cstdio>
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
    // The server ends this station's session, as when it stops under it.
    void serverGoesAway() {
        const int pid = sql::session_backend_pid();
        ASSERT_NE(pid, 0);
        ASSERT_TRUE(admin.exec("SELECT pg_terminate_backend(" + std::to_string(pid) + ")"));
        ASSERT_TRUE(admin.await_session_end(pid));
    }
    void reconnect() {
        norbeck_Disconnect(0);
        ASSERT_EQ(norbeck_Connect(norbeck_db::connectText().c_str(), 0, 0, 0, err), 0) << err;
    }
    // The phone's serial number as the database's bytea literal.
    std::string dsnLiteral() {
        std::string hex = "'\\x";
        for (std::uint8_t b : nv(2824)) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", b);
            hex += two;
        }
        return hex + "'::bytea";
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

TEST_F(NorbeckDbIdentity, AfterTheServerWentAwayBehindTheFreezeTheRetriedStepsFinishThePhone) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 10, false, 5000});
    norbeck_db::setLineData();
    brannik_test::set_text("FlashSerialNumber", "0");  // as the last report left it
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    const std::vector<std::uint8_t> dsn = nv(2824);
    ASSERT_EQ(dsn.size(), 16u);
    serverGoesAway();
    if (HasFatalFailure()) return;

    int done = 7;
    EXPECT_EQ(norbeck_WriteSimData_BtId(ses, "t1", "t2", "t3", &done, err), -1);
    EXPECT_EQ(done, 0);
    // The lost connection's own text, not a text of the driver's.
    EXPECT_NE(std::string(err).find("ORA-03113"), std::string::npos) << err;
    EXPECT_TRUE(traced(std::string("cErrMsg: ") + err));
    EXPECT_TRUE(gsdi.simData.empty());

    reconnect();
    if (HasFatalFailure()) return;
    // The line retries from the freeze: the phone is frozen and keeps its number.
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    EXPECT_EQ(pellin_test::calls("pellin_GetFlashSerialNumber").size(), 1u);
    EXPECT_EQ(nv(2824), dsn);
    ASSERT_EQ(norbeck_WriteSimData_BtId(ses, "t1", "t2", "t3", &done, err), 0) << err;
    EXPECT_EQ(done, 1);
    EXPECT_EQ(gsdi.simData.size(), 512u);
    // A test step hands the phone's serial number to the report.
    unsigned char ucDsn[TESSEL_DSN_LENGTH] = {};
    ASSERT_EQ(_Tessel_NvReadDSN(ses, ucDsn, "test.c", 1), 0);
    const std::string fsn(ucDsn, ucDsn + TESSEL_DSN_LENGTH);
    brannik_test::set_text("FlashSerialNumber", fsn);
    ASSERT_EQ(norbeck_MeroReport(1, 0, "350000000000011", err), 0) << err;
    EXPECT_EQ(admin.value("SELECT imei_nr || '|' || flash_nr FROM mero.report"), "350000000000011|" + fsn);
}

// The number that left the database with the freeze stays recorded as
// handed out, although the station's session ended right after it.
TEST_F(NorbeckDbIdentity, TheSerialNumberOfAFrozenPhoneStaysRecordedWhenTheServerGoesAway) {
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    ASSERT_EQ(nv(2824).size(), 16u);
    serverGoesAway();
    if (HasFatalFailure()) return;
    reconnect();
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.flash_serial WHERE value = " + dsnLiteral()), "1");
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
