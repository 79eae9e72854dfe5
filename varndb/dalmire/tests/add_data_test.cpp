// Additional phone data: the record's fields under their named parameters,
// refusals with the database's message, errors.
#include "data_fixture.h"

#include <cstring>

namespace {

t_varn_orgTovikAddData fullRecord() {
    t_varn_orgTovikAddData r;
    varndb_init_t_varn_orgTovikAddData(&r);
    std::strcpy(r.imei, "3500000000000111");
    std::strcpy(r.NOunlockCode, "11111111");
    std::strcpy(r.SPunlockCode, "22222222");
    std::strcpy(r.SIMunlockCode, "33333333");
    std::strcpy(r.CPunlockCode, "44444444");
    std::strcpy(r.NSunlockCode, "55555555");
    std::strcpy(r.MPunlockCode, "66666666");
    std::strcpy(r.BluetoothId, "0011223344556677");
    std::strcpy(r.FlashId, "FLASH-ID-20-CHARS-XX");
    std::strcpy(r.SimcardId, "SIMCARD-ID-20-CHARSX");
    std::strcpy(r.Var1, "v1");
    std::strcpy(r.Var2, "v2");
    std::strcpy(r.Var3, "v3");
    std::strcpy(r.Var4, "v4");
    std::strcpy(r.Var5, std::string(50, '5').c_str());
    return r;
}

const char* kAddDataColumns =
    "SELECT concat_ws('|', imei, nounlockcode, spunlockcode, simunlockcode, cpunlockcode, nsunlockcode, "
    "mpunlockcode, bluetoothid, flashid, simcardid, var1, var2, var3, var4, var5) FROM mero.add_data";

TEST(DalmireAddDataRecord, InitEmptiesEveryField) {
    t_varn_orgTovikAddData r;
    std::memset(&r, 'x', sizeof r);
    varndb_init_t_varn_orgTovikAddData(&r);
    const char* fields[] = {r.imei,        r.NOunlockCode, r.SPunlockCode, r.SIMunlockCode, r.CPunlockCode,
                            r.NSunlockCode, r.MPunlockCode, r.BluetoothId,  r.FlashId,       r.SimcardId,
                            r.Var1,        r.Var2,         r.Var3,         r.Var4,          r.Var5};
    for (const char* f : fields) EXPECT_STREQ(f, "");
}

TEST_F(DalmireData, AddDataArrivesUnderItsNames) {
    t_varn_orgTovikAddData r = fullRecord();
    char err[256] = "junk";
    EXPECT_EQ(varndb_putOrgTovikAddData(&r, err), 0);
    EXPECT_STREQ(err, "");
    varndb_Disconnect();  // the block does not commit; the logoff does
    EXPECT_EQ(admin.value(kAddDataColumns),
              "3500000000000111|11111111|22222222|33333333|44444444|55555555|66666666|0011223344556677|"
              "FLASH-ID-20-CHARS-XX|SIMCARD-ID-20-CHARSX|v1|v2|v3|v4|" + std::string(50, '5'));
}

TEST_F(DalmireData, AddDataFieldsWithoutTerminatorStayInTheirField) {
    t_varn_orgTovikAddData r;
    std::memset(&r, 'z', sizeof r);
    char err[256] = "";
    EXPECT_EQ(varndb_putOrgTovikAddData(&r, err), 0) << err;
    varndb_Disconnect();
    EXPECT_EQ(admin.value("SELECT imei || '|' || nounlockcode || '|' || var5 FROM mero.add_data"),
              text(17, 'z') + "|" + text(9, 'z') + "|" + text(51, 'z'));
}

struct RefusalRow {
    const char* name;
    std::size_t messageLength;
};
void PrintTo(const RefusalRow& r, std::ostream* os) { *os << r.name; }

class AddDataRefusal : public DalmireData, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(AddDataRefusal, GivesTheResultAndTheMessageCutTo255) {
    std::size_t n = GetParam().messageLength;
    admin.exec("INSERT INTO mero.add_data_refusal VALUES ('3500000000000111', 9, repeat('e', " + std::to_string(n) +
               "))");
    t_varn_orgTovikAddData r = fullRecord();
    char err[300];
    std::memset(err, '#', sizeof err);
    EXPECT_EQ(varndb_putOrgTovikAddData(&r, err), 9);
    EXPECT_EQ(std::string(err), text(std::min<std::size_t>(n, 255), 'e'));
    EXPECT_EQ(err[256], '#');
}

INSTANTIATE_TEST_SUITE_P(Rows, AddDataRefusal,
                         ::testing::Values(RefusalRow{"Short", 20}, RefusalRow{"Message255", 255},
                                           RefusalRow{"Message256", 256}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireData, AddDataOracleErrorAndNotConnected) {
    inject("putdata", -1400);
    t_varn_orgTovikAddData r = fullRecord();
    char err[256] = "";
    EXPECT_EQ(varndb_putOrgTovikAddData(&r, err), VARNDB_E_ORACLE);
    EXPECT_STREQ(err, "Oracle error: -1400 (ORA-01400: injected fault in putdata)!");
    varndb_Disconnect();
    EXPECT_EQ(varndb_putOrgTovikAddData(&r, err), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
}

} // namespace
