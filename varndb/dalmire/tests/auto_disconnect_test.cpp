// The auto-disconnect switch across the data operations: on, an operation
// connects when needed and leaves no session behind, and its work is kept;
// off, an operation without a connection is refused.
#include "files_fixture.h"

#include <cstring>
#include <functional>

namespace {

struct OperationRow {
    const char* name;
    const char* arrange;  // SQL run first (may be empty)
    std::function<int(const std::string& dir, char* err)> call;
    int notConnected;     // the result without a connection and with the switch off
    const char* kept;     // SQL whose first value shows the work was kept ("1")
};
void PrintTo(const OperationRow& r, std::ostream* os) { *os << r.name; }

const char* kImei = "350000000000011";

Varn_DorlepData report() {
    Varn_DorlepData r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.imei_nr, kImei);
    return r;
}

const OperationRow kOperations[] = {
    {"GetData", "",
     [](const std::string&, char* e) {
         unsigned char in[3] = {1, 2, 3}, out[8];
         int n = sizeof out;
         return varndb_GetData("ECHO", in, 3, out, &n, e);
     },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.coder_call"},
    {"GetApxData", "",
     [](const std::string&, char* e) {
         unsigned char in[3] = {1, 2, 3}, out[8];
         int n = sizeof out;
         return varndb_GetApxData("ECHO", in, 3, out, &n, e);
     },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.coder_call"},
    {"WriteReport", "",
     [](const std::string&, char* e) {
         Varn_DorlepData r = report();
         return varndb_WriteReport(&r, e);
     },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.report"},
    {"ServiceCode", "INSERT INTO mero.service_code VALUES ('350000000000011', '12')",
     [](const std::string&, char* e) {
         int code = 0;
         int r = varndb_getServiceCode(kImei, &code, e);
         return r == 0 && code != 12 ? -1000 : r;
     },
     VARNDB_E_SERVICE_CODE, "SELECT count(*) FROM mero.service_call"},
    {"CharServiceCode", "INSERT INTO mero.service_code VALUES ('350000000000011', '12')",
     [](const std::string&, char* e) {
         char code[101] = "";
         int r = varndb_getCharServiceCode(kImei, code, e);
         return r == 0 && std::strcmp(code, "12") != 0 ? -1000 : r;
     },
     VARNDB_E_SERVICE_CODE, "SELECT count(*) FROM mero.service_call"},
    {"BootPin", "INSERT INTO mero.boot_pin VALUES ('350000000000011', '1234', NULL, 0)",
     [](const std::string&, char* e) {
         unsigned char buf[16];
         int n = sizeof buf;
         return varndb_getImeiInfo(kImei, buf, &n, e);
     },
     VARNDB_E_NOT_CONNECTED, "SELECT mero_test.calls('getbootpin')"},
    {"FlashSerialNumber", "",
     [](const std::string&, char* e) {
         unsigned char buf[16];
         int n = sizeof buf;
         return varndb_getFlashSerialNumber(buf, &n, e);
     },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.flash_serial"},
    {"AddData", "",
     [](const std::string&, char* e) {
         t_varn_orgTovikAddData r;
         varndb_init_t_varn_orgTovikAddData(&r);
         std::strcpy(r.imei, kImei);
         return varndb_putOrgTovikAddData(&r, e);
     },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.add_data"},
    {"FbgSetImei", "", [](const std::string&, char*) { return varndb_fbg_setimei("L", "F", kImei); },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.fbg_call"},
    {"FbgSetStatus", "", [](const std::string&, char*) { return varndb_fbg_setstatusNresult("L", "F", "P"); },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.fbg_call"},
    {"PutFile", "",
     [](const std::string& d, char* e) {
         std::ofstream(d + "/f.bin", std::ios::binary) << "file";
         return varndb_putFile(kImei, "CAL", d.c_str(), "f.bin", e);
     },
     VARNDB_E_NOT_CONNECTED, "SELECT count(*) FROM mero.imei_file WHERE data = 'file'"},
    {"GetFile", "INSERT INTO mero.imei_file VALUES ('350000000000011', 'CAL', 'g.bin', 'got')",
     [](const std::string& d, char* e) {
         int r = varndb_getFile(kImei, "CAL", d.c_str(), e);
         std::ifstream in(d + "/g.bin");
         std::string s;
         in >> s;
         return r == 0 && s != "got" ? -1000 : r;
     },
     VARNDB_E_NOT_CONNECTED, "SELECT mero_test.calls('closefile')"},
    {"DeleteFile", "INSERT INTO mero.imei_file VALUES ('350000000000011', 'CAL', 'g.bin', 'got')",
     [](const std::string&, char* e) { return varndb_deleteFile(kImei, "CAL", e); },
     VARNDB_E_NOT_CONNECTED, "SELECT (count(*) = 0)::int FROM mero.imei_file"},
};

class AutoDisconnect : public DalmireFiles, public ::testing::WithParamInterface<OperationRow> {
protected:
    void SetUp() override {
        DalmireFiles::SetUp();
        if (HasFatalFailure()) return;
        if (*GetParam().arrange) admin.exec(GetParam().arrange);
        varndb_Disconnect();  // connected once: the connect texts are kept
    }
};

TEST_P(AutoDisconnect, OnConnectsAndLeavesNoSession) {
    varndb_AutoDisconnect(1);
    auto before = sql::stats();
    char err[256] = "";
    EXPECT_EQ(GetParam().call(dir, err), 0) << err;
    EXPECT_EQ(sql::stats().connects - before.connects, 1);
    EXPECT_FALSE(sql::session_open());
    EXPECT_FALSE(dalmire::state().connected);
    EXPECT_EQ(admin.value(GetParam().kept), "1");
}

TEST_P(AutoDisconnect, OffWithoutAConnectionIsRefused) {
    varndb_AutoDisconnect(0);
    auto before = sql::stats();
    char err[256] = "";
    EXPECT_EQ(GetParam().call(dir, err), GetParam().notConnected);
    EXPECT_EQ(sql::stats().connects, before.connects);
    EXPECT_EQ(sql::stats().statements, before.statements);
}

TEST_P(AutoDisconnect, OffKeepsTheSessionOpen) {
    varndb_AutoDisconnect(0);
    char err[256] = "";
    ASSERT_EQ(connect(err), 0) << err;
    int pid = sql::session_backend_pid();
    EXPECT_EQ(GetParam().call(dir, err), 0) << err;
    EXPECT_TRUE(dalmire::state().connected);
    EXPECT_EQ(sql::session_backend_pid(), pid);
}

INSTANTIATE_TEST_SUITE_P(Operations, AutoDisconnect, ::testing::ValuesIn(kOperations),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireFiles, FailedUploadWithAutoDisconnectIsRolledBackNotCommittedByTheLogoff) {
    store(imei, type, "old.bin", content(100, 1));
    admin.exec("UPDATE mero.imei_file_control SET max_size = 40000");
    writeLocal(dir + "/big.bin", content(70000));
    varndb_Disconnect();
    varndb_AutoDisconnect(1);
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "big.bin", err), 4);
    EXPECT_FALSE(sql::session_open());
    EXPECT_EQ(stored(imei, type), content(100, 1));
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero_test.file_lock"), "0");
}

TEST_F(DalmireFiles, RefusedDownloadWithAutoDisconnectLeavesNoSession) {
    store(imei, type, "../x.bin", content(10));
    varndb_Disconnect();
    varndb_AutoDisconnect(1);
    char err[256] = "";
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), VARNDB_E_LOCAL);
    EXPECT_FALSE(sql::session_open());
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero_test.file_lock"), "0");
}

} // namespace
