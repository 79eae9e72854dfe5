// Helpers without a database: the path rules, the names a download accepts,
// the version text.
#include "dalmire_internal.h"
#include "varndb.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct PathRow {
    const char* name;
    const char* directory;
    const char* file;
    const char* path;
};
void PrintTo(const PathRow& r, std::ostream* os) { *os << r.name; }

class JoinPath : public ::testing::TestWithParam<PathRow> {};

TEST_P(JoinPath, PutsOneSeparator) {
    EXPECT_EQ(dalmire::joinPath(GetParam().directory, GetParam().file), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Rows, JoinPath,
                         ::testing::Values(PathRow{"Plain", "/data/in", "a.bin", "/data/in/a.bin"},
                                           PathRow{"TrailingSlash", "/data/in/", "a.bin", "/data/in/a.bin"},
                                           PathRow{"TrailingBackslash", "C:\\in\\", "a.bin", "C:\\in\\a.bin"},
                                           PathRow{"EmptyDirectory", "", "a.bin", "a.bin"},
                                           PathRow{"NullDirectory", nullptr, "a.bin", "a.bin"},
                                           PathRow{"Root", "/", "a.bin", "/a.bin"},
                                           PathRow{"Relative", "in", "a.bin", "in/a.bin"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DalmireFileName, OnlyPlainNamesAreAccepted) {
    for (const char* good : {"a.bin", "calibration data 1.bin", ".hidden", "a.b.c"})
        EXPECT_TRUE(dalmire::isPlainFileName(good)) << good;
    for (const char* bad : {"", "..", "../a", "a/b", "/abs", "a\\b", "x..y", "dir/"})
        EXPECT_FALSE(dalmire::isPlainFileName(bad)) << bad;
}

TEST(DalmireVersion, WholeTextIn22Bytes) {
    char buf[32];
    std::memset(buf, '#', sizeof buf);
    varndb_GetDllVersion(buf, 22);
    EXPECT_STREQ(buf, "VARN_HEADER_VERSION:4");
    EXPECT_EQ(buf[22], '#');
}

TEST(DalmireVersion, CutToTheBuffer) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    varndb_GetDllVersion(buf, 5);
    EXPECT_STREQ(buf, "VARN");
    EXPECT_EQ(buf[5], '#');
    varndb_GetDllVersion(buf, 0);  // nothing written
    EXPECT_STREQ(buf, "VARN");
    varndb_GetDllVersion(nullptr, 10);
}

TEST(DalmireTexts, DataReadAsTextStopsAtNulAndLimit) {
    const unsigned char data[] = {'a', 'b', 'c', 0, 'd'};
    EXPECT_EQ(dalmire::dataText(data, 5, 150), "abc");
    EXPECT_EQ(dalmire::dataText(data, 2, 150), "ab");
    EXPECT_EQ(dalmire::dataText(data, 5, 1), "a");
}

} // namespace
