// A file of several megabytes through the file store: byte for byte both
// ways, one stored part per chunk appended.
#include "files_fixture.h"
#include "sql_session.h"

namespace {

TEST_F(DalmireFiles, SeveralMegabytesRoundTripByteForByte) {
    const std::size_t size = 5 * 1000 * 1000 + 17;
    const std::string data = content(size, 7);
    writeLocal(dir + "/image.bin", data);
    char err[256] = "junk";
    ASSERT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "image.bin", err), 0) << err;
    EXPECT_EQ(calls("writeappend"), static_cast<long>(size / 32000 + 1));
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.imei_file_part"), std::to_string(size / 32000 + 1));
    EXPECT_EQ(admin.value("SELECT sum(length(data)) FROM mero.imei_file_part"), std::to_string(size));

    std::filesystem::create_directory(dir + "/down");
    ASSERT_EQ(varndb_getFile(imei.c_str(), type.c_str(), (dir + "/down").c_str(), err), 0) << err;
    EXPECT_TRUE(readLocal(dir + "/down/image.bin") == data);
    EXPECT_EQ(calls("read"), static_cast<long>(size / 32000 + 1));
}

// The SQL layer's exchanges with the server per fetched chunk: at most one.
// Two fetches that differ only in their number of chunks share every other
// cost (open, close, the transaction), so their difference is the chunks'.
TEST_F(DalmireFiles, AFetchTakesAtMostOneRoundTripPerChunk) {
    std::filesystem::create_directory(dir + "/down");
    char err[256] = "junk";
    auto tripsOfFetch = [&](std::size_t chunks) {
        const std::string data = content(chunks * 32000 + 123, static_cast<int>(chunks));
        writeLocal(dir + "/f.bin", data);
        EXPECT_EQ(varndb_putFile(imei.c_str(), type.c_str(), dir.c_str(), "f.bin", err), 0) << err;
        const int before = sql::stats().round_trips;
        EXPECT_EQ(varndb_getFile(imei.c_str(), type.c_str(), (dir + "/down").c_str(), err), 0) << err;
        EXPECT_TRUE(readLocal(dir + "/down/f.bin") == data);
        return sql::stats().round_trips - before;
    };
    const int few = tripsOfFetch(2), many = tripsOfFetch(40);
    EXPECT_LE(many - few, 38) << few << " round trips for 3 chunks, " << many << " for 41";
}

} // namespace
