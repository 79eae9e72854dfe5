#include "cvi_files.h"
#include "cvi_string.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

TEST(CviFiles, GetFileInfoTellsPresenceAndSize) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("cvi_files_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path file = dir / "five";
    std::ofstream(file) << "12345";

    long size = -1;
    EXPECT_EQ(GetFileInfo(file.c_str(), &size), 1);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(GetFileInfo(file.c_str(), nullptr), 1);
    EXPECT_EQ(GetFileInfo((dir / "missing").c_str(), &size), 0);
    EXPECT_EQ(GetFileInfo((file / "below_a_file").c_str(), &size), 0);
    EXPECT_EQ(GetFileInfo(nullptr, &size), -1);
    fs::remove_all(dir);
}

TEST(CviString, StringLowerCaseChangesOnlyAsciiLetters) {
    char text[] = "TRACE On: 12 \xC4-Z@[";
    StringLowerCase(text);
    EXPECT_STREQ(text, "trace on: 12 \xC4-z@[");
    StringLowerCase(nullptr);
}
