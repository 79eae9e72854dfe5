// Versions of the phone server and the USB serial driver on the station,
// read through the registry and file-version look-ups of the host
// information file.
#include "TesselFctsFixture.h"
#include "win_host_info.h"
#include "win_registry.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr const char* kServerKey = "HKLM\\SOFTWARE\\QUALCOMM\\QPST\\2.0\\Server";
constexpr const char* kDriverTail = "\\System32\\drivers\\qcusbser6k.sys";

class PeriphHost : public TesselFcts {
public:
    void SetUp() override {
        TesselFcts::SetUp();
        char name[] = "/tmp/tessel_host_XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override {
        unsetenv(WIN_HOST_INFO_ENV);
        fs::remove_all(dir_);
        TesselFcts::TearDown();
    }
    // A file on disk (the look-up opens it) and the host information text.
    std::string makeFile(const std::string& name) const {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path) << "x";
        return path;
    }
    void hostInfo(const std::string& text) const {
        const std::string path = dir_ + "/host_info.txt";
        std::ofstream(path) << text;
        setenv(WIN_HOST_INFO_ENV, path.c_str(), 1);
    }
    std::string driverPath() const { return dir_ + kDriverTail; }
    std::string dir_;
};

using HostExport = int (*)(int, char*, const char*, int);

struct HostCase {
    const char* name;
    HostExport run;
    // Sets up the station in the test's folder.
    void (*station)(const PeriphHost&, const std::string& dir);
    int iStatus;
    const char* version;
    const char* detail;
};

void serverInstalled(const PeriphHost& t, const std::string&, const char* version, bool onDisk) {
    const std::string path = onDisk ? t.makeFile("server.exe") : "/nowhere/server.exe";
    t.hostInfo(std::string("registry ") + kServerKey + " | @ = " + path + "\nfile-version " + path + " = 1.0.0.0 " +
               version + "\n");
}

void driverInstalled(const PeriphHost& t, const std::string& dir, const char* version, bool onDisk) {
    const std::string path = t.driverPath();
    if (onDisk) std::ofstream(path) << "x";
    t.hostInfo("windows-directory = " + dir + "\nfile-version " + path + " = 1.0.0.0 " + version + "\n");
}

// clang-format off
const HostCase kHosts[] = {
    {"ServerVersion", _Tessel_SpecialGetQpstVersion,
     [](const PeriphHost& t, const std::string& d) { serverInstalled(t, d, "2.7.0.55", true); },
     0, "2.7.0.55", "[dwSignature=FEEF04BD - 2.7.0.55]"},
    {"ServerPartsAre8Bits", _Tessel_SpecialGetQpstVersion,
     [](const PeriphHost& t, const std::string& d) { serverInstalled(t, d, "2.7.0.355", true); },
     0, "2.7.0.99", "[dwSignature=FEEF04BD - 2.7.0.99]"},
    {"WidestVersionFits", _Tessel_SpecialGetQpstVersion,
     [](const PeriphHost& t, const std::string& d) { serverInstalled(t, d, "255.255.255.255", true); },
     0, "255.255.255.255", "[dwSignature=FEEF04BD - 255.255.255.255]"},
    {"ServerNotInstalled", _Tessel_SpecialGetQpstVersion,
     [](const PeriphHost&, const std::string&) {},
     TESSEL_ERROR_LIBRARY, "", "[Registry Key not found.]"},
    {"ServerPathTooLong", _Tessel_SpecialGetQpstVersion,
     [](const PeriphHost& t, const std::string&) {
         t.hostInfo(std::string("registry ") + kServerKey + " | @ = /" + std::string(600, 'p') + "\n");
     },
     TESSEL_ERROR_LIBRARY, "", "[Cannot read registry key.]"},
    {"ServerFileMissing", _Tessel_SpecialGetQpstVersion,
     [](const PeriphHost& t, const std::string& d) { serverInstalled(t, d, "2.7.0.55", false); },
     TESSEL_ERROR_LIBRARY, "", "[QPSTServer.exe does not exist.]"},
    {"ServerWithoutVersion", _Tessel_SpecialGetQpstVersion,
     [](const PeriphHost& t, const std::string&) {
         t.hostInfo(std::string("registry ") + kServerKey + " | @ = " + t.makeFile("server.exe") + "\n");
     },
     TESSEL_ERROR_LIBRARY, "", "[Failed requesting info block size.]"},
    {"DriverVersion", _Tessel_SpecialGetUsbVersion,
     [](const PeriphHost& t, const std::string& d) { driverInstalled(t, d, "3.10.0.4", true); },
     0, "3.10.0.4", "[dwSignature=FEEF04BD - 3.10.0.4]"},
    {"DriverMissing", _Tessel_SpecialGetUsbVersion,
     [](const PeriphHost& t, const std::string& d) { driverInstalled(t, d, "3.10.0.4", false); },
     TESSEL_ERROR_LIBRARY, "", "[file does not exist.]"},
    {"DriverNotInstalled", _Tessel_SpecialGetUsbVersion,
     [](const PeriphHost&, const std::string&) {},
     TESSEL_ERROR_LIBRARY, "", "[file does not exist.]"},
};
// clang-format on

class HostVersion : public PeriphHost, public ::testing::WithParamInterface<HostCase> {};

TEST_P(HostVersion, ReadsTheProductVersion) {
    const HostCase& c = GetParam();
    c.station(*this, dir_);
    const int s = openSession();
    tracer_test::clear_lines();
    char version[TESSEL_HOST_VERSION_TEXT_MAX];
    std::memset(version, '#', sizeof version);
    EXPECT_EQ(c.run(s, version, "t.c", 1), c.iStatus);
    EXPECT_STREQ(version, c.version);
    EXPECT_TRUE(hasLine(c.detail));
    EXPECT_TRUE(hasLine(std::string("( cVersion=") + c.version + " ) = "));
    EXPECT_EQ(win_test::open_registry_keys(), 0);
}

INSTANTIATE_TEST_SUITE_P(Station, HostVersion, ::testing::ValuesIn(kHosts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphHost, DriverLookUpTracesThePath) {
    driverInstalled(*this, dir_, "1.2.3.4", true);
    const int s = openSession();
    char version[TESSEL_HOST_VERSION_TEXT_MAX];
    ASSERT_EQ(_Tessel_SpecialGetUsbVersion(s, version, "t.c", 1), 0);
    EXPECT_TRUE(hasLine("[Searching for file '" + driverPath() + "'...]"));
}

} // namespace
