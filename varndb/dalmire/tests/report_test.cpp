// The test report: every field reaches the import, with the station's own
// MAC id; the import's refusals and errors.
#include "data_fixture.h"

#include <cstring>

namespace {

Varn_DorlepData sampleReport() {
    Varn_DorlepData r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.imei_nr, "350000000000011");
    r.pruefstatus = 1;
    std::strcpy(r.linie_staort, "KLN");
    std::strcpy(r.linie_typ, "F");
    r.linie_nr = 7;
    std::strcpy(r.pruef_datum, "2026-12-10 09:08:07");
    std::strcpy(r.sach_nr, "S30880-A1234-B");
    std::strcpy(r.sw_rel, "REL 12.3");
    std::strcpy(r.comp_datum, "2026-11-01 23:59:58");
    std::strcpy(r.simcard_nr, "8949000000001");
    std::strcpy(r.flash_nr, "FSN0000000000042");
    r.iZpos = 3;
    std::strcpy(r.pcMacId, "ffffffffffff");  // not what is sent
    r.iStdMapVer = 11;
    r.iProvider = 12;
    r.iDeltaMapVer = 13;
    r.iSimlock = 14;
    r.iBitmap = 15;
    r.iSound = 16;
    return r;
}

const char* kReportColumns =
    "SELECT concat_ws('|', imei_nr, pruefstatus, linie_staort, linie_typ, linie_nr, "
    "coalesce(pruef_datum::text, 'NULL'), sach_nr, sw_rel, coalesce(comp_datum::text, 'NULL'), simcard_nr, "
    "flash_nr, zpos, pcmacid, stdmapver, provider, deltamapver, simlock, bitmap, sound) FROM mero.report";

TEST_F(DalmireData, ReportReachesTheImportWithTheStationsMac) {
    Varn_DorlepData r = sampleReport();
    char err[256] = "";
    EXPECT_EQ(varndb_WriteReport(&r, err), 0) << err;
    EXPECT_EQ(admin.value(kReportColumns),
              "350000000000011|1|KLN|F|7|2026-12-10 09:08:07|S30880-A1234-B|REL 12.3|2026-11-01 23:59:58|"
              "8949000000001|FSN0000000000042|3|" + std::string(mac) + "|11|12|13|14|15|16");
}

TEST_F(DalmireData, ReportWithEmptyTextsIsSentAsItIs) {
    Varn_DorlepData r;
    std::memset(&r, 0, sizeof r);
    char err[256] = "";
    EXPECT_EQ(varndb_WriteReport(&r, err), 0) << err;
    EXPECT_EQ(admin.value("SELECT concat_ws('|', coalesce(imei_nr, 'NULL'), coalesce(pruef_datum::text, 'NULL'), "
                          "coalesce(comp_datum::text, 'NULL')) FROM mero.report"),
              "NULL|NULL|NULL");
}

TEST_F(DalmireData, ReportFieldsWithoutTerminatorAreNotReadPastTheirEnd) {
    Varn_DorlepData r = sampleReport();
    std::memset(r.imei_nr, '1', sizeof r.imei_nr);
    std::memset(r.sach_nr, 's', sizeof r.sach_nr);
    std::memset(r.flash_nr, 'f', sizeof r.flash_nr);
    char err[256] = "";
    EXPECT_EQ(varndb_WriteReport(&r, err), 0) << err;
    EXPECT_EQ(admin.value("SELECT imei_nr || '|' || sach_nr || '|' || flash_nr FROM mero.report"),
              text(16, '1') + "|" + text(25, 's') + "|" + text(20, 'f'));
}

TEST_F(DalmireData, ReportRefusedByTheImport) {
    admin.exec("INSERT INTO mero.report_answer VALUES ('350000000000011', 17)");
    Varn_DorlepData r = sampleReport();
    char err[256] = "";
    EXPECT_EQ(varndb_WriteReport(&r, err), 17);
    EXPECT_STREQ(err, "KT_IMP_DORLEP() returns (17)!");
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.report"), "0");
}

TEST_F(DalmireData, ReportOracleError) {
    Varn_DorlepData r = sampleReport();
    std::strcpy(r.pruef_datum, "2026-13-40 99:00:00");
    char err[256] = "";
    EXPECT_EQ(varndb_WriteReport(&r, err), VARNDB_E_LOCAL);
    EXPECT_EQ(std::string(err).rfind("Oracle error: -18", 0), 0u) << err;
    EXPECT_EQ(calls("kt_imp_dorlep"), 0);
}

TEST_F(DalmireData, ReportInjectedError) {
    inject("kt_imp_dorlep", -1400);
    Varn_DorlepData r = sampleReport();
    char err[256] = "";
    EXPECT_EQ(varndb_WriteReport(&r, err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, "Oracle error: -1400 (ORA-01400: injected fault in kt_imp_dorlep)!");
}

TEST_F(DalmireData, ReportNotConnected) {
    varndb_Disconnect();
    Varn_DorlepData r = sampleReport();
    char err[256] = "";
    EXPECT_EQ(varndb_WriteReport(&r, err), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
}

} // namespace
