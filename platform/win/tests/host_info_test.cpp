#include "win_registry.h"
#include "win_version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kServerKey = "SOFTWARE\\Maker\\Phone Server\\2.0\\Server";

const char* const kHostInfo =
    "# station set-up\n"
    "\n"
    "registry HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Phone Server\\2.0\\Server | @ = /opt/maker/server.bin\n"
    "registry HKLM\\SOFTWARE\\Maker\\Phone Server\\2.0\\Server | InstallDir = /opt/maker\r\n"
    "registry HKLM\\SOFTWARE\\Other | Formula = a=b\n"
    "registry HKEY_CURRENT_USER\\SOFTWARE\\Other | x = ignored, another hive\n"
    "registry HKLM\\SOFTWARE\\NoBar = malformed, no value name\n"
    "windows-directory = /srv/station/WINDOWS\n"
    "file-version /opt/maker/server.bin = 1.2.3.4 2.7.0.355\n"
    "file-version /srv/station/WINDOWS\\System32\\drivers\\serial.sys = 65535.0.10.1\n"
    "file-version /bad/one = 1.2.3\n"
    "file-version /bad/two = 1.2.3.70000\n";

// Writes a host information file and points the environment at it.
class HostInfo : public ::testing::Test {
protected:
    void SetUp() override { write(kHostInfo); }
    void TearDown() override {
        unsetenv(WIN_HOST_INFO_ENV);
        if (!path_.empty()) std::remove(path_.c_str());
    }
    void write(const char* text) {
        if (path_.empty()) {
            char name[] = "/tmp/host_info_XXXXXX";
            int fd = mkstemp(name);
            ASSERT_GE(fd, 0);
            close(fd);
            path_ = name;
        }
        std::ofstream(path_) << text;
        setenv(WIN_HOST_INFO_ENV, path_.c_str(), 1);
    }
    std::string path_;
};

// --- registry values ---------------------------------------------------------
struct ValueCase {
    const char* label;
    const char* key;    // under HKEY_LOCAL_MACHINE
    const char* value;  // value name (null: the default value)
    LONG status;
    const char* data;   // null: no value expected
};
void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.label; }

const ValueCase kValues[] = {
    {"DefaultValue", kServerKey, nullptr, ERROR_SUCCESS, "/opt/maker/server.bin"},
    {"DefaultValueByEmptyName", kServerKey, "", ERROR_SUCCESS, "/opt/maker/server.bin"},
    {"NamedValue", kServerKey, "InstallDir", ERROR_SUCCESS, "/opt/maker"},
    {"NamesIgnoreCase", "software\\MAKER\\phone server\\2.0\\server", "installdir", ERROR_SUCCESS, "/opt/maker"},
    {"ValueMayHoldEquals", "SOFTWARE\\Other", "Formula", ERROR_SUCCESS, "a=b"},
    {"MissingValue", kServerKey, "Nothing", ERROR_FILE_NOT_FOUND, nullptr},
    {"ParentKeyHasNoValues", "SOFTWARE\\Maker", nullptr, ERROR_FILE_NOT_FOUND, nullptr},
};

class RegistryValue : public HostInfo, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValue, ReadsAsFiled) {
    const ValueCase& c = GetParam();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, c.key, 0, KEY_READ, &key), ERROR_SUCCESS);
    char data[512];
    std::memset(data, 'x', sizeof data);
    DWORD size = sizeof data, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, c.value, nullptr, &type, reinterpret_cast<LPBYTE>(data), &size), c.status);
    if (c.data) {
        EXPECT_STREQ(data, c.data);
        EXPECT_EQ(size, std::strlen(c.data) + 1);
        EXPECT_EQ(type, REG_SZ);
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(win_test::open_registry_keys(), 0);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryValue, ::testing::ValuesIn(kValues),
                         [](const auto& info) { return std::string(info.param.label); });

// --- keys ----------------------------------------------------------------------
struct KeyCase {
    const char* label;
    const char* key;
    bool exists;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.label; }

const KeyCase kKeys[] = {
    {"FiledKey", kServerKey, true},
    {"ParentOfAFiledKey", "SOFTWARE\\Maker\\Phone Server", true},
    {"TrailingBackslash", "SOFTWARE\\Maker\\Phone Server\\2.0\\Server\\", true},
    {"PrefixThatIsNoKey", "SOFTWARE\\Mak", false},
    {"MissingKey", "SOFTWARE\\Nobody", false},
    {"OtherHiveIsNotFiled", "SOFTWARE\\Other\\x", false},
    {"MalformedLineIsSkipped", "SOFTWARE\\NoBar", false},
};

class RegistryKey : public HostInfo, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(RegistryKey, OpensWhenFiled) {
    const KeyCase& c = GetParam();
    HKEY key = reinterpret_cast<HKEY>(1);
    const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, c.key, 0, KEY_READ, &key);
    EXPECT_EQ(rc, c.exists ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key != nullptr, c.exists);
    EXPECT_EQ(win_test::open_registry_keys(), c.exists ? 1 : 0);
    if (key) {
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, RegistryKey, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(HostInfo, SubKeyOfAnOpenKey) {
    HKEY maker = nullptr, server = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Maker", 0, KEY_READ, &maker), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(maker, "Phone Server\\2.0\\Server", 0, KEY_READ, &server), ERROR_SUCCESS);
    char data[64];
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(server, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, "/opt/maker/server.bin");
    EXPECT_EQ(win_test::open_registry_keys(), 2);
    EXPECT_EQ(RegCloseKey(server), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(maker), ERROR_SUCCESS);
}

TEST_F(HostInfo, LongValueIsCutAndTerminatedWithinTheCapacity) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    char data[16];
    std::memset(data, 'x', sizeof data);
    DWORD size = 8;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size),
              ERROR_MORE_DATA);
    EXPECT_STREQ(data, "/opt/ma");
    EXPECT_EQ(data[8], 'x');  // nothing past the capacity
    EXPECT_EQ(size, std::strlen("/opt/maker/server.bin") + 1);

    size = 0;  // no room even for the NUL: nothing written
    data[0] = 'x';
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(data[0], 'x');
    RegCloseKey(key);
}

TEST_F(HostInfo, ExactFitAndSizeQuery) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExA(key, "InstallDir", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 11u);
    char data[11];
    EXPECT_EQ(RegQueryValueExA(key, "InstallDir", nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, "/opt/maker");
    EXPECT_EQ(RegQueryValueExA(key, "InstallDir", nullptr, nullptr, reinterpret_cast<LPBYTE>(data), nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(HostInfo, ClosedOrUnknownKeysAreRefused) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    char data[8];
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size),
              ERROR_INVALID_HANDLE);
    HKEY sub = nullptr;
    EXPECT_EQ(RegOpenKeyExA(key, "x", 0, KEY_READ, &sub), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(win_test::open_registry_keys(), 0);
}

TEST_F(HostInfo, FileIsReadAfreshAtEveryCall) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    write("registry HKLM\\SOFTWARE\\Maker\\Phone Server\\2.0\\Server | @ = /elsewhere\n");
    char data[32];
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, "/elsewhere");
    RegCloseKey(key);
}

// --- Windows directory ---------------------------------------------------------
TEST_F(HostInfo, WindowsDirectoryFromTheFile) {
    char dir[512];
    EXPECT_EQ(GetWindowsDirectoryA(dir, sizeof dir), std::strlen("/srv/station/WINDOWS"));
    EXPECT_STREQ(dir, "/srv/station/WINDOWS");
}

TEST_F(HostInfo, WindowsDirectoryTooSmallGivesTheSizeNeededAndACutText) {
    char dir[8];
    std::memset(dir, 'x', sizeof dir);
    EXPECT_EQ(GetWindowsDirectoryA(dir, 5), std::strlen("/srv/station/WINDOWS") + 1);
    EXPECT_STREQ(dir, "/srv");
    EXPECT_EQ(dir[5], 'x');
    EXPECT_EQ(GetWindowsDirectoryA(nullptr, 0), std::strlen("/srv/station/WINDOWS") + 1);
}

TEST_F(HostInfo, WindowsDirectoryDefaultsWhenNotFiled) {
    write("# nothing\n");
    char dir[64];
    EXPECT_EQ(GetWindowsDirectoryA(dir, sizeof dir), 10u);
    EXPECT_STREQ(dir, "C:\\WINDOWS");
}

// --- file versions ---------------------------------------------------------------
struct VersionCase {
    const char* label;
    const char* file;
    bool found;
    DWORD file_ms, file_ls, product_ms, product_ls;
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.label; }

const VersionCase kVersions[] = {
    {"FileAndProductVersions", "/opt/maker/server.bin", true, 0x00010002, 0x00030004, 0x00020007, 0x00000163},
    {"ProductDefaultsToFileVersion", "/srv/station/WINDOWS\\System32\\drivers\\serial.sys", true, 0xFFFF0000,
     0x000A0001, 0xFFFF0000, 0x000A0001},
    {"PathIgnoresCase", "/SRV/station/windows\\system32\\DRIVERS\\serial.sys", true, 0xFFFF0000, 0x000A0001,
     0xFFFF0000, 0x000A0001},
    {"ThreePartsAreMalformed", "/bad/one", false, 0, 0, 0, 0},
    {"PartAbove65535IsMalformed", "/bad/two", false, 0, 0, 0, 0},
    {"UnlistedFile", "/opt/maker/other.bin", false, 0, 0, 0, 0},
};

class FileVersion : public HostInfo, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(FileVersion, ReadsTheFixedInformation) {
    const VersionCase& c = GetParam();
    DWORD handle = 99;
    const DWORD size = GetFileVersionInfoSizeA(c.file, &handle);
    EXPECT_EQ(handle, 0u);
    if (!c.found) {
        EXPECT_EQ(size, 0u);
        char block[256];
        EXPECT_EQ(GetFileVersionInfoA(c.file, 0, sizeof block, block), FALSE);
        return;
    }
    ASSERT_GT(size, sizeof(VS_FIXEDFILEINFO));
    void* block = std::malloc(size);
    ASSERT_EQ(GetFileVersionInfoA(c.file, handle, size, block), TRUE);
    void* fixed = nullptr;
    UINT length = 0;
    ASSERT_EQ(VerQueryValueA(block, "\\", &fixed, &length), TRUE);
    EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(info->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(info->dwFileVersionMS, c.file_ms);
    EXPECT_EQ(info->dwFileVersionLS, c.file_ls);
    EXPECT_EQ(info->dwProductVersionMS, c.product_ms);
    EXPECT_EQ(info->dwProductVersionLS, c.product_ls);
    std::free(block);
}

INSTANTIATE_TEST_SUITE_P(Versions, FileVersion, ::testing::ValuesIn(kVersions),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(HostInfo, VersionBlockMustFitAndOnlyTheRootSubBlockExists) {
    const DWORD size = GetFileVersionInfoSizeA("/opt/maker/server.bin", nullptr);
    ASSERT_GT(size, 0u);
    void* block = std::malloc(size);
    EXPECT_EQ(GetFileVersionInfoA("/opt/maker/server.bin", 0, size - 1, block), FALSE);
    EXPECT_EQ(GetFileVersionInfoA("/opt/maker/server.bin", 0, size, nullptr), FALSE);
    ASSERT_EQ(GetFileVersionInfoA("/opt/maker/server.bin", 0, size, block), TRUE);
    void* fixed = nullptr;
    UINT length = 0;
    EXPECT_EQ(VerQueryValueA(block, "\\StringFileInfo\\040904B0\\ProductVersion", &fixed, &length), FALSE);
    EXPECT_EQ(VerQueryValueA(block, nullptr, &fixed, &length), FALSE);
    std::memset(block, 0, size);  // not a version block any more
    EXPECT_EQ(VerQueryValueA(block, "\\", &fixed, &length), FALSE);
    std::free(block);
}

// --- no host information -----------------------------------------------------------
struct AbsentCase {
    const char* label;
    bool set_variable;  // the variable names a file that does not exist
};
void PrintTo(const AbsentCase& c, std::ostream* os) { *os << c.label; }

class NoHostInfo : public ::testing::TestWithParam<AbsentCase> {
protected:
    void SetUp() override {
        if (GetParam().set_variable) setenv(WIN_HOST_INFO_ENV, "/nonexistent/host-info.txt", 1);
        else unsetenv(WIN_HOST_INFO_ENV);
    }
    void TearDown() override { unsetenv(WIN_HOST_INFO_ENV); }
};

TEST_P(NoHostInfo, NothingIsInstalled) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(win_test::open_registry_keys(), 0);
    EXPECT_EQ(GetFileVersionInfoSizeA("/opt/maker/server.bin", nullptr), 0u);
    char block[256];
    EXPECT_EQ(GetFileVersionInfoA("/opt/maker/server.bin", 0, sizeof block, block), FALSE);
    char dir[64];
    EXPECT_EQ(GetWindowsDirectoryA(dir, sizeof dir), 10u);
    EXPECT_STREQ(dir, "C:\\WINDOWS");
}

INSTANTIATE_TEST_SUITE_P(Absent, NoHostInfo,
                         ::testing::Values(AbsentCase{"VariableUnset", false}, AbsentCase{"FileMissing", true}),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
