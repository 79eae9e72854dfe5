// A report and a service code through the real wrapper, the direct-SQL
// back-end and the test run's reference schema.
#include "NorbeckDbFixture.h"
#include "NorbeckPhoneFixture.h"

namespace {

class NorbeckDbPhone : public NorbeckPhoneTest {
protected:
    void SetUp() override {
        NorbeckPhoneTest::SetUp();
        norbeck_db::prepare(admin);
        if (HasFatalFailure()) return;
        ASSERT_EQ(norbeck_Connect(norbeck_db::connectText().c_str(), 0, 0, 0, err), 0) << err;
    }
    void TearDown() override {
        norbeck_Disconnect(0);
        NorbeckPhoneTest::TearDown();
    }
    pgtest::Admin admin;
};

TEST_F(NorbeckDbPhone, AReportIsStoredInTheProductionDatabase) {
    norbeck_db::setLineData();
    ASSERT_EQ(norbeck_MeroReport(1, 1, "350000000000011", err), 0) << err;
    EXPECT_EQ(admin.value("SELECT concat_ws('|', imei_nr, pruefstatus, linie_staort, linie_typ, linie_nr, sach_nr, "
                          "sw_rel, comp_datum, simcard_nr, flash_nr, zpos, stdmapver, provider, deltamapver, "
                          "simlock, bitmap, sound) FROM mero.report"),
              "350000000000011|4|BO1|F|7|S30880-Q8400-A1|042|2026-11-30 08:15:00|8949020000001234567|"
              "FSN0000000000042|111|21|3|4|0|0|0");
    EXPECT_EQ(admin.value("SELECT abs(extract(epoch FROM pruef_datum - localtimestamp(0))) < 120 FROM mero.report"),
              "t");
    EXPECT_EQ(brannik_test::text("FlashSerialNumber"), "0");
}

TEST_F(NorbeckDbPhone, ALockedPhoneOpensWithItsCodeFromTheDatabase) {
    qmsl_sim::use_spc_lock(phone(), {"482910", 10, true, 5000});
    writeImei("350000000000011");
    admin.exec("INSERT INTO mero.service_code VALUES ('350000000000011', '482910')");
    int isOpen = 0;
    ASSERT_EQ(norbeck_OpenSpcP(ses, &isOpen, err), 0) << err;
    EXPECT_EQ(isOpen, 1);
    EXPECT_FALSE(phone().locked);
    EXPECT_EQ(pellin_test::calls("pellin_GetServiceCode").at(0).texts, std::vector<std::string>{"350000000000011"});
    EXPECT_EQ(phone().count("QLIB_DIAG_SPC_F"), 1u);
}

TEST_F(NorbeckDbPhone, WriteSpcPStoresTheDatabaseCodeInThePhone) {
    qmsl_sim::use_spc_lock(phone(), {"716843", 10, false, 5000});
    writeImei("350000000000011");
    admin.exec("INSERT INTO mero.service_code VALUES ('350000000000011', '12345')");
    ASSERT_EQ(norbeck_WriteSpcP(ses, err), 0) << err;
    EXPECT_EQ(nv85(), "012345");
}

} // namespace
