// The stored root keys a build configures: read from a 260-byte file given
// by a station, else the test pattern; a file of another size is refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Each test has files of its own: ctest runs the tests at the same time.
std::string ownName(const char* suffix) {
    return std::string("norbeck_rootkey_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
           std::to_string(getpid()) + suffix;
}

struct RootKeyFile : ::testing::Test {
    std::string dir = ::testing::TempDir();
    std::string keyFile = dir + ownName(".key");
    std::string outFile = dir + ownName(".txt");

    void writeKey(const std::vector<unsigned char>& bytes) {
        std::ofstream(keyFile, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<std::streamsize>(bytes.size()));
    }
    // Runs the build's conversion; its exit status and what it wrote.
    int convert(const std::string& file, int flip, std::string* text) {
        std::remove(outFile.c_str());
        const std::string cmd = std::string("\"") + NORBECK_CMAKE_COMMAND + "\" \"-DKEY_FILE=" + file +
                                "\" -DFLIP=" + std::to_string(flip) + " \"-DOUT=" + outFile + "\" -P \"" +
                                NORBECK_ROOTKEY_SCRIPT + "\" >/dev/null 2>&1";
        const int rc = std::system(cmd.c_str());
        std::stringstream s;
        s << std::ifstream(outFile).rdbuf();
        *text = s.str();
        return rc;
    }
    void TearDown() override {
        std::remove(keyFile.c_str());
        std::remove(outFile.c_str());
    }
};

TEST_F(RootKeyFile, TheStationsBytesAsTheyStand) {
    std::vector<unsigned char> key(260);
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<unsigned char>(255 - i * 7);
    key[0] = 0x00;
    key[259] = 0xFF;
    writeKey(key);
    std::string text;
    ASSERT_EQ(convert(keyFile, 0, &text), 0);
    std::string want;
    for (unsigned char b : key) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02x,", b);
        want += hex;
    }
    EXPECT_EQ(text, want);
}

TEST_F(RootKeyFile, WithoutAFileTheTestPattern) {
    std::string text;
    ASSERT_EQ(convert("", 255, &text), 0);
    std::string want;
    for (int i = 0; i < 260; ++i) want += std::to_string(255 - i % 256) + ",";
    EXPECT_EQ(text, want);
}

TEST_F(RootKeyFile, AFileOfAnotherSizeIsRefused) {
    writeKey(std::vector<unsigned char>(259, 1));
    std::string text;
    EXPECT_NE(convert(keyFile, 0, &text), 0);
    EXPECT_EQ(text, "");
    EXPECT_NE(convert(dir + "no_such_rootkey.key", 0, &text), 0);
}

} // namespace
