// File transfer: upload of a local file, download into a directory under
// the server's name, removal; empty files; names that leave the directory.
#include "corvane_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class CorvaneFiles : public CorvaneDb {
public:
    void SetUp() override {
        CorvaneDb::SetUp();
        char tmpl[] = "/tmp/corvane-files.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        fs::create_directory(dir / "in");
        fs::create_directory(dir / "out");
        connectOk();
    }
    void TearDown() override {
        CorvaneDb::TearDown();
        fs::remove_all(dir);
    }
    static void write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path dir;
    char err[256] = "junk";
};

TEST_F(CorvaneFiles, UploadDownloadAndRemoveAFile) {
    const std::string bytes("\x00\x01\xff binary\n", 11);
    write(dir / "in" / "490154203237518.bin", bytes);
    ok("reply putFile message stored");
    EXPECT_EQ(varndb_putFile("490154203237518", "bin", (dir / "in").c_str(), "490154203237518.bin", err), 0);
    EXPECT_STREQ(err, "stored");
    auto put = server.calls("putFile");
    ASSERT_EQ(put.size(), 1u);
    EXPECT_EQ(put[0][2], "490154203237518");
    EXPECT_EQ(put[0][3], "bin");
    EXPECT_EQ(put[0][4], "490154203237518.bin");
    EXPECT_EQ(put[0][5], "11");

    // A trailing separator gets no second one.
    EXPECT_EQ(varndb_getFile("490154203237518", "bin", (dir.string() + "/out/").c_str(), err), 0);
    EXPECT_EQ(read(dir / "out" / "490154203237518.bin"), bytes);

    ok("reply deleteFile message gone");
    EXPECT_EQ(varndb_deleteFile("490154203237518", "bin", err), 0);
    EXPECT_STREQ(err, "gone");
    EXPECT_EQ(varndb_getFile("490154203237518", "bin", (dir / "out").c_str(), err), 100);  // the server has none
}

// A server that finds the file being stored by another station answers the
// upload and the removal with VARNDB_FILE_BUSY and says why: both reach the
// caller as they came, without a reconnect.
TEST_F(CorvaneFiles, AFileBeingStoredElsewhereIsReportedAsTheServerSaysIt) {
    const std::string busy = "File of type bin for IMEI 1 is being stored by another station";
    write(dir / "in" / "f.bin", "x");
    for (const char* op : {"putFile", "deleteFile"}) {
        ok(std::string("reply ") + op + " result " + std::to_string(VARNDB_FILE_BUSY));
        ok(std::string("reply ") + op + " message " + busy);
    }
    EXPECT_EQ(varndb_putFile("1", "bin", (dir / "in").c_str(), "f.bin", err), VARNDB_FILE_BUSY);
    EXPECT_EQ(std::string(err), busy);
    EXPECT_EQ(varndb_deleteFile("1", "bin", err), VARNDB_FILE_BUSY);
    EXPECT_EQ(std::string(err), busy);
    EXPECT_EQ(server.calls("registration").size(), 0u);
}

// Above the ORB's default message limit of 2 MiB, both ways.
TEST_F(CorvaneFiles, AFileOfSeveralMegabytesTravelsWhole) {
    std::string bytes(5 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 131) >> 3);
    write(dir / "in" / "image.bin", bytes);
    EXPECT_EQ(varndb_putFile("490154203237518", "img", (dir / "in").c_str(), "image.bin", err), 0) << err;
    auto put = server.calls("putFile");
    ASSERT_EQ(put.size(), 1u);
    EXPECT_EQ(put[0][5], std::to_string(bytes.size()));
    EXPECT_EQ(varndb_getFile("490154203237518", "img", (dir / "out").c_str(), err), 0) << err;
    EXPECT_TRUE(read(dir / "out" / "image.bin") == bytes);
    EXPECT_EQ(pclock::now_ms(), 0);  // no reconnect on the way
    EXPECT_EQ(server.calls("registration").size(), 0u);
}

// A local file whose size is not known before it is read (a pipe, here fed
// by a writer thread) is read on past the size looked up, in steps, and
// sent whole: the bytes of several steps and a part of one.
TEST_F(CorvaneFiles, AFileLongerThanItsLookedUpSizeIsSentWhole) {
    std::string bytes(3 * 65536 + 1234, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7) ^ (i >> 9));
    const fs::path pipe = dir / "in" / "stream.bin";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::thread writer([&] { write(pipe, bytes); });
    const int r = varndb_putFile("490154203237518", "img", (dir / "in").c_str(), "stream.bin", err);
    writer.join();
    EXPECT_EQ(r, 0) << err;
    auto put = server.calls("putFile");
    ASSERT_EQ(put.size(), 1u);
    EXPECT_EQ(put[0][5], std::to_string(bytes.size()));
    EXPECT_EQ(varndb_getFile("490154203237518", "img", (dir / "out").c_str(), err), 0) << err;
    EXPECT_TRUE(read(dir / "out" / "stream.bin") == bytes);
}

// A file one byte above the largest a remote message carries is refused
// before anything is sent and without reconnecting (a sparse file: nothing
// is written to disk).
TEST_F(CorvaneFiles, AFileAboveTheMessageLimitIsRefusedAtOnce) {
    write(dir / "in" / "huge.bin", "");
    fs::resize_file(dir / "in" / "huge.bin", CORVANE_MAX_FILE_SIZE + 1ull);
    EXPECT_EQ(varndb_putFile("490154203237518", "img", (dir / "in").c_str(), "huge.bin", err),
              VARNDB_E_FILE_TOO_LARGE);
    EXPECT_STREQ(err, "File <huge.bin> has 267386881 bytes, more than the 267386880 a remote call carries!");
    EXPECT_TRUE(server.journal().empty());
    EXPECT_EQ(pclock::now_ms(), 0);
}

TEST_F(CorvaneFiles, AnEmptyFileTravelsAsAnEmptySequence) {
    write(dir / "in" / "empty.bin", "");
    EXPECT_EQ(varndb_putFile("1", "bin", (dir / "in").c_str(), "empty.bin", err), 0);
    EXPECT_EQ(server.calls("putFile")[0][5], "0");
    EXPECT_EQ(varndb_getFile("1", "bin", (dir / "out").c_str(), err), 0);
    ASSERT_TRUE(fs::exists(dir / "out" / "empty.bin"));
    EXPECT_EQ(fs::file_size(dir / "out" / "empty.bin"), 0u);
}

TEST_F(CorvaneFiles, AMissingLocalFileIsNotSent) {
    EXPECT_EQ(varndb_putFile("1", "bin", (dir / "in").c_str(), "missing.bin", err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, "Can't open file <missing.bin>!");
    EXPECT_TRUE(server.calls("putFile").empty());
}

TEST_F(CorvaneFiles, AnUnwritableTargetIsReported) {
    ok("reply getFile name x.bin");
    const std::string target = (dir / "no_such_dir").string();
    EXPECT_EQ(varndb_getFile("1", "bin", target.c_str(), err), VARNDB_E_LOCAL);
    EXPECT_EQ(std::string(err), "Can't open file <" + target + "/x.bin> for writing!");
}

class CorvaneServerFileName : public CorvaneFiles, public ::testing::WithParamInterface<const char*> {};

// A name from the server never leads out of the caller's directory.
TEST_P(CorvaneServerFileName, IsRefused) {
    ok(std::string("reply getFile name ") + GetParam());
    ok("reply getFile data 41");
    const std::string out = (dir / "out").string();
    EXPECT_EQ(varndb_getFile("1", "bin", out.c_str(), err), VARNDB_E_LOCAL);
    EXPECT_EQ(std::string(err), "Can't open file <" + out + "/" + GetParam() + "> for writing!");
    EXPECT_TRUE(fs::is_empty(dir / "out"));
    EXPECT_FALSE(fs::exists(dir / "evil.bin"));
}

INSTANTIATE_TEST_SUITE_P(Files, CorvaneServerFileName,
                         ::testing::Values("../evil.bin", "sub/evil.bin", "..", "..\\evil.bin", "/tmp/evil.bin"),
                         [](const auto& info) {
                             std::string n;
                             for (const char* p = info.param; *p; ++p) n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return n + "_" + std::to_string(info.index);
                         });

} // namespace
