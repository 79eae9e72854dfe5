// The file store with two stations at once, interleaved step by step: a
// fetch overlapping a replacement, a shorter replacement or a removal gets
// one whole stored version; two uploads of one file end with one whole
// file; a fetch leaves the station idle.
#include "files_fixture.h"

#include <chrono>
#include <memory>

namespace {

using dalmire::kCloseBlock;
using dalmire::kOpenBlock;
using dalmire::kReadBlock;

// The fetch blocks run one at a time on this station's session.
class FetchSteps {
public:
    // 0 and the stored name, or the routine's result.
    int open(const std::string& imei, const std::string& type, std::string& name) {
        sql::Varchar<17> vImei;
        sql::Varchar<21> vType;
        sql::Varchar<129> vName;
        vImei.set(imei);
        vType.set(type);
        auto ca = sql::execute(kOpenBlock, {ret(), sql::bind_varchar(sql::Dir::in, vImei),
                                            sql::bind_varchar(sql::Dir::in, vType),
                                            sql::bind_varchar(sql::Dir::out, vName), message()});
        EXPECT_EQ(ca.sqlcode, 0) << ca.sqlerrm;
        name = vName.view();
        return ret_;
    }
    // Appends the next chunk to `got`; its length, or -1 on a failure.
    int read(std::string& got) {
        chunk_->len = 0;
        std::int32_t length = 32000;
        auto ca = sql::execute(kReadBlock, {ret(), sql::bind_raw(sql::Dir::inout, *chunk_),
                                            sql::bind_int(sql::Dir::inout, length), message()});
        EXPECT_EQ(ca.sqlcode, 0) << ca.sqlerrm;
        if (!ca.ok() || ret_ != 0) return -1;
        got.append(reinterpret_cast<const char*>(chunk_->arr), static_cast<std::size_t>(length));
        return length;
    }
    int close() {
        auto ca = sql::execute(kCloseBlock, {ret(), message()});
        EXPECT_EQ(ca.sqlcode, 0) << ca.sqlerrm;
        return ret_;
    }

private:
    sql::Bind ret() { return sql::bind_int(sql::Dir::out, ret_); }
    sql::Bind message() { return sql::bind_varchar(sql::Dir::out, message_); }

    std::int32_t ret_ = 0;
    sql::Varchar<255> message_;
    std::unique_ptr<sql::Raw<32000>> chunk_ = std::make_unique<sql::Raw<32000>>();
};

class FilesTogether : public DalmireFiles {
protected:
    void SetUp() override {
        DalmireFiles::SetUp();
        ASSERT_TRUE(other.ok());
        pid = sql::session_backend_pid();
    }
    std::string sessionState() {
        return admin.value("SELECT state FROM pg_stat_activity WHERE pid = " + std::to_string(pid));
    }
    // Parts kept of versions no longer stored.
    std::string supersededParts() {
        return admin.value("SELECT count(*) FROM mero.imei_file_part p WHERE NOT EXISTS "
                           "(SELECT FROM mero.imei_file_head h WHERE h.version = p.version)");
    }

    OtherStation other{imei, type};
    int pid = 0;
};

// What the other station does to the file while this one fetches it.
struct ChangeRow {
    const char* name;
    std::size_t newSize;  // 0 with remove
    bool remove;
};
void PrintTo(const ChangeRow& r, std::ostream* os) { *os << r.name; }

class FetchDuringChange : public FilesTogether, public ::testing::WithParamInterface<ChangeRow> {
protected:
    void change() {
        if (GetParam().remove)
            other.remove();
        else
            other.upload("new.bin", content(GetParam().newSize, 2));
    }
    // The stored file as the change left it.
    void expectChanged() {
        if (GetParam().remove)
            EXPECT_EQ(stored(imei, type), "<no row>");
        else
            EXPECT_EQ(stored(imei, type), content(GetParam().newSize, 2));
    }
    const std::string old = content(100000, 1);  // three whole chunks and a rest
};

// The change commits between two reads of the fetch.
TEST_P(FetchDuringChange, BetweenTwoReadsGivesTheVersionOpened) {
    other.upload("old.bin", old);
    FetchSteps fetch;
    std::string name, got;
    ASSERT_EQ(fetch.open(imei, type, name), 0);
    EXPECT_EQ(name, "old.bin");
    ASSERT_EQ(fetch.read(got), 32000);
    EXPECT_EQ(sessionState(), "idle");  // the open file holds no transaction

    change();
    expectChanged();
    while (fetch.read(got) == 32000) {
    }
    EXPECT_TRUE(got == old) << got.size() << " bytes";
    EXPECT_EQ(fetch.close(), 0);
    // The old version stays until a removal finds no reader holding it.
    EXPECT_NE(supersededParts(), "0");
    other.upload("later.bin", content(10, 3));
    EXPECT_EQ(supersededParts(), "0");
}

// The change commits after varndb_getFile opened the file and before its
// first read: the other station locks the parts first (its change commits
// with the lock), so the fetch's first read waits for it.
TEST_P(FetchDuringChange, DuringGetFileGivesTheVersionOpened) {
    other.upload("old.bin", old);
    other.lockParts();
    std::string target = dir;
    auto fetched = onItsOwnThread([target, this] {
        char err[256] = "";
        return varndb_getFile(imei.c_str(), type.c_str(), target.c_str(), err);
    });
    bool waited = other.awaitLockWait(pid);
    change();
    other.rollback();
    EXPECT_TRUE(waited);
    EXPECT_EQ(fetched.get(), 0);
    EXPECT_TRUE(readLocal(dir + "/old.bin") == old);
    EXPECT_FALSE(std::filesystem::exists(dir + "/new.bin"));
    expectChanged();
    EXPECT_EQ(sessionState(), "idle");
}

INSTANTIATE_TEST_SUITE_P(Rows, FetchDuringChange,
                         ::testing::Values(ChangeRow{"LongerReplacement", 200000, false},
                                           ChangeRow{"ShorterReplacement", 40000, false},
                                           ChangeRow{"EmptyReplacement", 0, false},
                                           ChangeRow{"Removal", 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilesTogether, AReplacementWithoutAReaderRemovesTheOldVersionAtOnce) {
    other.upload("old.bin", content(70000, 1));
    other.upload("new.bin", content(40000, 2));
    EXPECT_EQ(supersededParts(), "0");
    EXPECT_EQ(stored(imei, type), content(40000, 2));
}

TEST_F(FilesTogether, GetFileLeavesTheStationIdle) {
    other.upload("f.bin", content(70000, 1));
    char err[256] = "";
    ASSERT_EQ(varndb_getFile(imei.c_str(), type.c_str(), dir.c_str(), err), 0) << err;
    EXPECT_TRUE(readLocal(dir + "/f.bin") == content(70000, 1));
    EXPECT_EQ(sessionState(), "idle");
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero_test.file_lock"), "0");  // the pin went with the close
}

// A station whose upload froze (its transaction open, the file's store lock
// held) holds up another station's upload and a third one's removal of that
// file for the file store's stated wait (10 s, the server's own lock
// time-out) and no longer: both fail with VARNDB_FILE_BUSY and say why, and
// the file stored before stays. Once the frozen upload ends, an upload goes
// through.
class FrozenUpload : public FilesTogether {};

TEST_F(FrozenUpload, HoldsOtherStationsUpForTheStatedWaitOnly) {
    using namespace std::chrono_literals;
    store(imei, type, "before.bin", content(50, 9));
    other.beginUpload("frozen.bin", content(70000, 1));
    OtherStation third{imei, type};
    ASSERT_TRUE(third.ok());
    writeLocal(dir + "/mine.bin", content(40000, 2));
    const auto start = std::chrono::steady_clock::now();
    std::string source = dir, uploadText;
    auto uploaded = onItsOwnThread([source, &uploadText, this] {
        char err[256] = "";
        int r = varndb_putFile(imei.c_str(), type.c_str(), source.c_str(), "mine.bin", err);
        uploadText = err;
        return r;
    });
    const std::string removal = third.tryRemove();
    const int upload = uploaded.get();
    const auto waited = std::chrono::steady_clock::now() - start;

    const std::string busy = "File of type CAL for IMEI 350000000000011 is being stored by another station";
    EXPECT_EQ(upload, VARNDB_FILE_BUSY);
    EXPECT_EQ(uploadText, busy);
    EXPECT_EQ(removal, "10 " + busy);
    EXPECT_GE(waited, 10s);
    EXPECT_LT(waited, 15s);
    EXPECT_EQ(stored(imei, type), content(50, 9));
    EXPECT_EQ(sessionState(), "idle");

    other.rollback();
    char err[256] = "";
    EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "mine.bin", err), 0) << err;
    EXPECT_TRUE(stored(imei, type) == content(40000, 2));
}

// Two uploads of one IMEI's file at once: the other station has begun (not
// committed) when this one's putFile starts; this one waits, then replaces
// the whole file at its own COMMIT. Both are told the truth.
struct UploadRow {
    const char* name;
    std::size_t firstSize, secondSize;
    bool firstCommits;
};
void PrintTo(const UploadRow& r, std::ostream* os) { *os << r.name; }

class UploadsAtOnce : public FilesTogether, public ::testing::WithParamInterface<UploadRow> {};

TEST_P(UploadsAtOnce, EndWithTheWholeLaterFile) {
    const UploadRow& row = GetParam();
    store(imei, type, "before.bin", content(50, 9));
    other.beginUpload("first.bin", content(row.firstSize, 1));
    writeLocal(dir + "/second.bin", content(row.secondSize, 2));
    std::string source = dir;
    auto stored2 = onItsOwnThread([source, this] {
        char err[256] = "";
        return varndb_putFile(imei.c_str(), type.c_str(), source.c_str(), "second.bin", err);
    });
    bool waited = other.awaitLockWait(pid);
    // Until the first upload ends, the file is the one stored before.
    EXPECT_EQ(stored(imei, type), content(50, 9));
    if (row.firstCommits) other.finishUpload();
    other.rollback();
    EXPECT_TRUE(waited);
    EXPECT_EQ(stored2.get(), 0);
    EXPECT_EQ(admin.value("SELECT filename FROM mero.imei_file"), "second.bin");
    EXPECT_TRUE(stored(imei, type) == content(row.secondSize, 2));
    EXPECT_EQ(supersededParts(), "0");
    EXPECT_EQ(sessionState(), "idle");

    char err[256] = "";
    std::filesystem::create_directory(dir + "/down");
    ASSERT_EQ(varndb_getFile(imei.c_str(), type.c_str(), (dir + "/down").c_str(), err), 0) << err;
    EXPECT_TRUE(readLocal(dir + "/down/second.bin") == content(row.secondSize, 2));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UploadsAtOnce,
    ::testing::Values(UploadRow{"LargeThenEmpty", 300000, 0, true}, UploadRow{"LargeThenOneByte", 300000, 1, true},
                      UploadRow{"LargeThenOneChunk", 300000, 32000, true},
                      UploadRow{"EmptyThenLarge", 0, 300000, true}, UploadRow{"OneByteThenLarge", 1, 300000, true},
                      UploadRow{"OneChunkThenLarge", 32000, 300000, true},
                      UploadRow{"LargeRolledBackThenEmpty", 300000, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
