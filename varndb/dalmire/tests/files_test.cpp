// File transfer: chunking both ways, path rules, argument refusals, failed
// and interrupted uploads, download and delete failures.
#include "files_fixture.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <unistd.h>

namespace {

class FileSizes : public DalmireFiles, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(FileSizes, UploadInChunksAndDownloadAgain) {
    const std::size_t size = GetParam();
    const std::string data = content(size);
    writeLocal(dir + "/up.bin", data);
    char err[256] = "junk";
    ASSERT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "up.bin", err), 0) << err;
    EXPECT_STREQ(err, "");

    // size / 32000 full chunks and the rest, also when the rest is empty.
    std::vector<std::string> want(size / 32000, "32000");
    want.push_back(std::to_string(size % 32000));
    EXPECT_EQ(chunks("writeappend"), want);
    EXPECT_EQ(stored(imei, type), size ? data : "");  // committed: another session sees it
    EXPECT_EQ(admin.value("SELECT filename FROM mero.imei_file"), "up.bin");

    std::filesystem::create_directory(dir + "/down");
    ASSERT_EQ(varndb_getFile(imei.c_str(), type.c_str(), (dir + "/down").c_str(), err), 0) << err;
    EXPECT_EQ(readLocal(dir + "/down/up.bin"), data);
    // Reading stops after the first chunk shorter than 32000 bytes.
    EXPECT_EQ(calls("read"), static_cast<long>(size / 32000 + 1));
    EXPECT_EQ(calls("closefile"), 2);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileSizes, ::testing::Values(0, 1, 31999, 32000, 64000, 64001),
                         [](const auto& info) { return "Bytes" + std::to_string(info.param); });

TEST_F(DalmireFiles, UploadReplacesTheStoredFile) {
    store(imei, type, "old.bin", content(100, 1));
    writeLocal(dir + "/new.bin", content(50));
    ASSERT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "new.bin", nullptr), 0);
    EXPECT_EQ(stored(imei, type), content(50));
    EXPECT_EQ(admin.value("SELECT filename FROM mero.imei_file"), "new.bin");
}

TEST_F(DalmireFiles, DirectoryWithAndWithoutTrailingSeparatorReadsTheSameFile) {
    writeLocal(dir + "/same.bin", content(10));
    for (const std::string& d : {dir, dir + "/"}) {
        char err[256] = "";
        EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), d.c_str(), "same.bin", err), 0) << d << ": " << err;
        EXPECT_EQ(stored(imei, type), content(10));
    }
}

TEST_F(DalmireFiles, EmptyDirectoryIsTheFileNameAlone) {
    std::string name = "dalmire-empty-dir-" + std::to_string(getpid()) + ".bin";
    writeLocal(name, content(5));
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), "", name.c_str(), err), 0) << err;
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), "", err), 0) << err;
    EXPECT_EQ(readLocal(name), content(5));
    std::filesystem::remove(name);
}

TEST_F(DalmireFiles, MissingLocalFile) {
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "none.bin", err), VARNDB_E_LOCAL);
    EXPECT_EQ(std::string(err), "Can't open file <" + dir + "/none.bin>!");
    EXPECT_EQ(calls("newfile"), 0);
}

// Texts longer than their host variables, refused before any statement.
struct LongRow {
    const char* name;
    std::function<int(const std::string& dir, char* err)> call;
    const char* message;
};
void PrintTo(const LongRow& r, std::ostream* os) { *os << r.name; }

class FileTextTooLong : public DalmireFiles, public ::testing::WithParamInterface<LongRow> {};

TEST_P(FileTextTooLong, IsRefused) {
    auto before = sql::stats();
    char err[256] = "junk";
    EXPECT_EQ(GetParam().call(dir, err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, GetParam().message);
    EXPECT_EQ(statementsSince(before), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileTextTooLong,
    ::testing::Values(
        LongRow{"PutImei18",
                [](const std::string& d, char* e) { return varndb_putFile(text(18).c_str(), "T", d.c_str(), "f", e); },
                "IMEI number is too long [>17]!"},
        LongRow{"PutType22",
                [](const std::string& d, char* e) { return varndb_putFile("1", text(22).c_str(), d.c_str(), "f", e); },
                "File type is too long [>21]!"},
        LongRow{"PutName130",
                [](const std::string& d, char* e) { return varndb_putFile("1", "T", d.c_str(), text(130).c_str(), e); },
                "File name is too long [>129]!"},
        LongRow{"GetImei18",
                [](const std::string& d, char* e) { return varndb_getFile(text(18).c_str(), "T", d.c_str(), e); },
                "IMEI number is too long [>17]!"},
        LongRow{"GetType22",
                [](const std::string& d, char* e) { return varndb_getFile("1", text(22).c_str(), d.c_str(), e); },
                "File type is too long [>21]!"},
        LongRow{"DeleteImei18",
                [](const std::string&, char* e) { return varndb_deleteFile(text(18).c_str(), "T", e); },
                "IMEI number is too long [>17]!"},
        LongRow{"DeleteType22",
                [](const std::string&, char* e) { return varndb_deleteFile("1", text(22).c_str(), e); },
                "File type is too long [>21]!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireFiles, TextsAtTheirCapacityAreAccepted) {
    std::string name = text(129, 'n');
    writeLocal(dir + "/" + name, content(3));
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(text(17, '1').c_str(), text(21, 'T').c_str(), dir.c_str(), name.c_str(), err), 0) << err;
    EXPECT_EQ(stored(text(17, '1'), text(21, 'T')), content(3));
}

// Uploads that fail part-way: the result and text, the stored file as it
// was before, and no open file left in the session.
struct FailedUploadRow {
    const char* name;
    const char* arrange;  // SQL run before the upload
    int result;
    const char* message;  // the start of errText
    bool sessionLost;
};
void PrintTo(const FailedUploadRow& r, std::ostream* os) { *os << r.name; }

// SQL that makes the second call of a routine fail (code 0: drop the session).
#define FAIL_SECOND_CALL(routine, code)                                             \
    "SELECT mero_test.inject('" routine "', " #code ", 1);"                        \
    "UPDATE mero_test.fault SET from_call = from_call + 1 WHERE routine = '" routine "'"

class FailedUpload : public DalmireFiles, public ::testing::WithParamInterface<FailedUploadRow> {};

TEST_P(FailedUpload, LeavesTheStoredFileAsItWas) {
    const FailedUploadRow& row = GetParam();
    store(imei, type, "old.bin", content(100, 1));
    writeLocal(dir + "/big.bin", content(70000));
    admin.exec(row.arrange);
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "big.bin", err), row.result);
    EXPECT_EQ(std::string(err).rfind(row.message, 0), 0u) << err;
    EXPECT_EQ(stored(imei, type), content(100, 1));
    EXPECT_EQ(admin.value("SELECT filename FROM mero.imei_file"), "old.bin");
    EXPECT_EQ(chunks("writeappend"), std::vector<std::string>{});  // rolled back with the upload
    if (row.sessionLost) return;
    EXPECT_EQ(admin.value("SELECT state FROM pg_stat_activity WHERE pid = " +
                          std::to_string(sql::session_backend_pid())),
              "idle");
    // The ROLLBACK also dropped the session's open file.
    std::int32_t ret = 0, length = 1;
    sql::Raw<4> data;
    data.len = 1;
    sql::Varchar<255> msg;
    using sql::Dir;
    auto ca = sql::execute("begin :n_returnValue := mero . ImeiFiles . writeAppend ( :r_fileData , :n_length , "
                           ":v_errorMessage ) ; END ;",
                           {sql::bind_int(Dir::out, ret), sql::bind_raw(Dir::in, data), sql::bind_int(Dir::in, length),
                            sql::bind_varchar(Dir::out, msg)});
    EXPECT_EQ(ca.sqlcode, 0) << ca.sqlerrm;
    EXPECT_EQ(ret, 2);
    EXPECT_EQ(msg.view(), "writeAppend: no file is open for writing");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FailedUpload,
    ::testing::Values(
        FailedUploadRow{"NewFileRefused", "UPDATE mero.imei_file_control SET refused_type = 'CAL'", 9,
                        "newFile: file type CAL is not accepted", false},
        FailedUploadRow{"NewFileOracleError", "SELECT mero_test.inject('newfile', -1400, 1)", VARNDB_E_ORACLE,
                        "Oracle error: -1400 (ORA-01400: injected fault in newfile)!", false},
        FailedUploadRow{"SecondAppendRefused", "UPDATE mero.imei_file_control SET max_size = 40000", 4,
                        "writeAppend: file larger than 40000 bytes", false},
        FailedUploadRow{"SecondAppendOracleError", FAIL_SECOND_CALL("writeappend", -1400), VARNDB_E_ORACLE,
                        "Oracle error: -1400 (ORA-01400: injected fault in writeappend)!", false},
        FailedUploadRow{"CloseOracleError", "SELECT mero_test.inject('closefile', -1400, 1)", VARNDB_E_ORACLE,
                        "Oracle error: -1400 (ORA-01400: injected fault in closefile)!", false},
        FailedUploadRow{"ConnectionDroppedDuringTheSecondAppend", FAIL_SECOND_CALL("writeappend", 0),
                        VARNDB_E_ORACLE, "Oracle error: -3113 (", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireFiles, InterruptedUploadOfANewFileLeavesNothing) {
    writeLocal(dir + "/big.bin", content(70000));
    failCall("writeappend", 0, 3);
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "big.bin", err), VARNDB_E_ORACLE);
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.imei_file"), "0");
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero_test.file_lock"), "0");
    // The caller recovers the session and uploads again.
    EXPECT_EQ(varndb_retryConnect(-3113), 1);
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "big.bin", err), 0) << err;
    EXPECT_EQ(stored(imei, type), content(70000));
}

TEST_F(DalmireFiles, NewFileIsRerunAfterAnInvalidatedPackage) {
    writeLocal(dir + "/f.bin", content(10));
    admin.exec("SELECT mero_test.inject('newfile', -4068, 1)");
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "f.bin", err), 0) << err;
    EXPECT_EQ(calls("newfile"), 2);
    EXPECT_EQ(stored(imei, type), content(10));
}

// The read routine is planned into the statement that calls it: a read is
// an index look-up of the part, not a routine run of its own per chunk.
TEST_F(DalmireFiles, ReadIsAnIndexLookUpInTheCallersStatement) {
    std::string plan;
    for (const std::string& line : admin.column("EXPLAIN SELECT * FROM mero_imeifiles.read(NULL, 32000)")) plan += line + "\n";
    EXPECT_EQ(plan.find("Function Scan"), std::string::npos) << plan;
    EXPECT_NE(plan.find("Index Scan using imei_file_part_pkey"), std::string::npos) << plan;
}

// The read looks its part up once: its columns share one look-up of the
// bytes (each column that uses them would otherwise look them up again).
TEST_F(DalmireFiles, ReadLooksThePartUpOnce) {
    std::string plan;
    for (const std::string& line : admin.column("EXPLAIN SELECT * FROM mero_imeifiles.read(NULL, 32000)")) plan += line + "\n";
    std::size_t lookups = 0;
    for (std::size_t at = plan.find("imei_file_part_pkey"); at != std::string::npos;
         at = plan.find("imei_file_part_pkey", at + 1))
        ++lookups;
    EXPECT_EQ(lookups, 1u) << plan;
}

TEST_F(DalmireFiles, DownloadOfAFileNotStored) {
    char err[256] = "";
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), 6);
    EXPECT_STREQ(err, "openFile: no file of type CAL for IMEI 350000000000011");
    EXPECT_EQ(calls("read"), 0);
}

// Stored names that would lead out of the directory, and a directory that
// is not there: nothing is written.
struct NameRow {
    const char* name;
    const char* stored;
    const char* subdir;  // the directory given, below the test's own
};
void PrintTo(const NameRow& r, std::ostream* os) { *os << r.name; }

class DownloadRefusedName : public DalmireFiles, public ::testing::WithParamInterface<NameRow> {};

TEST_P(DownloadRefusedName, WritesNothing) {
    const NameRow& row = GetParam();
    store(imei, type, row.stored, content(10));
    std::filesystem::create_directory(dir + "/in");
    std::string target = dir + "/" + row.subdir;
    char err[256] = "";
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), target.c_str(), err), VARNDB_E_LOCAL);
    EXPECT_EQ(std::string(err), "Can't open file <" + target + "/" + row.stored + "> for writing!");
    EXPECT_EQ(calls("read"), 0);
    EXPECT_EQ(calls("closefile"), 1);  // the stored file is closed again
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) left.push_back(e.path().string());
    EXPECT_EQ(left, std::vector<std::string>{dir + "/in"});
}

INSTANTIATE_TEST_SUITE_P(Rows, DownloadRefusedName,
                         ::testing::Values(NameRow{"ParentDirectory", "../escape.bin", "in"},
                                           NameRow{"DotDotAlone", "..", "in"},
                                           NameRow{"Subdirectory", "sub/x.bin", "in"},
                                           NameRow{"Backslash", "a\\b.bin", "in"},
                                           NameRow{"AbsolutePath", "/tmp/x.bin", "in"},
                                           NameRow{"MissingDirectory", "ok.bin", "not-there"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Read lengths the database gives that are not a chunk of what came back.
class DownloadBadLength : public DalmireFiles, public ::testing::WithParamInterface<int> {};

TEST_P(DownloadBadLength, IsAnErrorNotAWrite) {
    store(imei, type, "f.bin", content(10));
    admin.exec("UPDATE mero.imei_file_control SET read_length_lie = " + std::to_string(GetParam()));
    char err[256] = "";
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), VARNDB_E_ORACLE);
    EXPECT_EQ(std::string(err), "ImeiFiles.read() returns a chunk length of " + std::to_string(GetParam()) +
                                    " for 10 bytes [0..32000]!");
    EXPECT_EQ(readLocal(dir + "/f.bin"), "");  // created, nothing written
    EXPECT_EQ(calls("closefile"), 1);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DownloadBadLength, ::testing::Values(-1, 11, 32000, 32001, 1 << 30),
                         [](const auto& info) {
                             return info.param < 0 ? "Minus" + std::to_string(-info.param) : "Plus" + std::to_string(info.param);
                         });

// A fetch that fails part-way leaves the earlier local copy byte for byte,
// and nothing of the failed fetch beside it.
TEST_F(DalmireFiles, DownloadReadErrorKeepsTheEarlierLocalCopy) {
    store(imei, type, "f.bin", content(70000));
    const std::string earlier = "the good copy fetched before";
    { std::ofstream(dir + "/f.bin", std::ios::binary) << earlier; }
    failCall("read", -1400, 2);
    char err[256] = "";
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), VARNDB_E_ORACLE);
    EXPECT_STREQ(err, "Oracle error: -1400 (ORA-01400: injected fault in read)!");
    EXPECT_EQ(readLocal(dir + "/f.bin"), earlier);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(calls("closefile"), 1);
    // The next fetch that arrives whole takes the copy's place.
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), 0) << err;
    EXPECT_EQ(readLocal(dir + "/f.bin"), content(70000));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}

TEST_F(DalmireFiles, DownloadThatCannotBeWrittenIsALocalError) {
    store(imei, type, "full", content(70000));
    char err[256] = "";
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), "/dev", err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, "Can't write file </dev/full>!");
    EXPECT_EQ(calls("closefile"), 1);
}

TEST_F(DalmireFiles, UploadOfADirectoryIsALocalError) {
    std::filesystem::create_directory(dir + "/sub");
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "sub", err), VARNDB_E_LOCAL);
    EXPECT_EQ(std::string(err), "Can't read file <" + dir + "/sub>!");
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.imei_file"), "0");
    varndb_Disconnect();  // a logoff commits what is still open: nothing is
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.imei_file"), "0");
}

TEST_F(DalmireFiles, DownloadOpenRerun) {
    store(imei, type, "f.bin", content(10));
    admin.exec("SELECT mero_test.inject('openfile', -6508, 2)");
    char err[256] = "";
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), 0) << err;
    EXPECT_EQ(readLocal(dir + "/f.bin"), content(10));
    EXPECT_EQ(calls("openfile"), 3);
}

TEST_F(DalmireFiles, DeleteIsCommitted) {
    store(imei, type, "f.bin", content(10));
    char err[256] = "junk";
    EXPECT_EQ(varndb_deleteFile(imei.c_str(), type.c_str(), err), 0);
    EXPECT_STREQ(err, "");
    EXPECT_EQ(stored(imei, type), "<no row>");  // seen by another session at once
}

TEST_F(DalmireFiles, DeleteOfAFileNotStored) {
    char err[256] = "";
    EXPECT_EQ(varndb_deleteFile(imei.c_str(), type.c_str(), err), 8);
    EXPECT_STREQ(err, "deleteFile: no file of type CAL for IMEI 350000000000011");
}

TEST_F(DalmireFiles, DeleteOracleErrorKeepsTheFile) {
    store(imei, type, "f.bin", content(10));
    admin.exec("SELECT mero_test.inject('deletefile', -1400, 1)");
    char err[256] = "";
    EXPECT_EQ(varndb_deleteFile(imei.c_str(), type.c_str(), err), VARNDB_E_ORACLE);
    EXPECT_STREQ(err, "Oracle error: -1400 (ORA-01400: injected fault in deletefile)!");
    varndb_Disconnect();
    EXPECT_EQ(stored(imei, type), content(10));
}

TEST_F(DalmireFiles, NotConnected) {
    varndb_Disconnect();
    writeLocal(dir + "/f.bin", content(10));
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "f.bin", err), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
    EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), VARNDB_E_NOT_CONNECTED);
    EXPECT_EQ(varndb_deleteFile(imei.c_str(), type.c_str(), err), VARNDB_E_NOT_CONNECTED);
}

} // namespace
