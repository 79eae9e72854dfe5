// Host identity: the formatting rules over given answers, and the real
// look-ups of this machine.
#include "halden.h"
#include "host_identity.h"

#include <gtest/gtest.h>

#include <netdb.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

using halden::Adapter;

TEST(HaldenHostData, OfficialNameAndFirstAddress) {
    char name[HALDEN_NAME_SIZE] = "old", ip[HALDEN_IP_SIZE] = "old";
    EXPECT_EQ(halden::host_data("st1", halden::HostEntry{"st1.line.example", "10.1.2.3"}, name, ip), 0);
    EXPECT_STREQ(name, "st1.line.example");
    EXPECT_STREQ(ip, "10.1.2.3");
}

TEST(HaldenHostData, UnresolvedNameLeavesTheBuffers) {
    char name[HALDEN_NAME_SIZE] = "old", ip[HALDEN_IP_SIZE] = "old";
    EXPECT_EQ(halden::host_data("st1", std::nullopt, name, ip), -1);
    EXPECT_EQ(halden::host_data(std::nullopt, std::nullopt, name, ip), -1);
    EXPECT_STREQ(name, "old");
    EXPECT_STREQ(ip, "old");
}

TEST(HaldenHostData, LongNameIsCutToTheBuffer) {
    // One byte beyond the buffer is a guard: it must stay untouched.
    char name[HALDEN_NAME_SIZE + 1];
    std::memset(name, '#', sizeof name);
    char ip[HALDEN_IP_SIZE];
    std::string longname(300, 'n');
    EXPECT_EQ(halden::host_data("n", halden::HostEntry{longname, "10.0.0.1"}, name, ip), 0);
    EXPECT_EQ(std::strlen(name), 255u);
    EXPECT_EQ(name[HALDEN_NAME_SIZE], '#');
}

struct MacRow {
    const char* name;
    std::vector<Adapter> adapters;
    const char* mac;
};

void PrintTo(const MacRow& r, std::ostream* os) { *os << r.name; }

class HaldenMacId : public ::testing::TestWithParam<MacRow> {};

TEST_P(HaldenMacId, FirstAdapterWithAnAddress) {
    char mac[HALDEN_MAC_SIZE + 1];
    std::memset(mac, '#', sizeof mac);
    EXPECT_EQ(halden::mac_id(GetParam().adapters, mac), 0);
    EXPECT_STREQ(mac, GetParam().mac);
    EXPECT_EQ(mac[HALDEN_MAC_SIZE], '#');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HaldenMacId,
    ::testing::Values(
        MacRow{"LowerCase", {{2, "eth0", false, {0x00, 0xA0, 0xC9, 0x12, 0x34, 0x56}}}, "00a0c9123456"},
        MacRow{"LoopbackAndEmptyAdaptersSkipped",
               {{1, "lo", true, {0, 0, 0, 0, 0, 0}},
                {2, "tun0", false, {}},
                {3, "ifb0", false, {0, 0, 0, 0, 0, 0}},
                {4, "eth1", false, {0x02, 0xfc, 0, 0, 0, 0x01}}},
               "02fc00000001"},
        MacRow{"IndexOrderNotListOrder",
               {{7, "eth9", false, {1, 1, 1, 1, 1, 1}}, {3, "eth3", false, {3, 3, 3, 3, 3, 3}}},
               "030303030303"},
        MacRow{"NoAdapterGivesZeros", {}, "000000000000"},
        MacRow{"OnlyLoopbackGivesZeros", {{1, "lo", true, {1, 2, 3, 4, 5, 6}}}, "000000000000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HaldenSystem, ThisMachine) {
    char name[HALDEN_NAME_SIZE] = {}, ip[HALDEN_IP_SIZE] = {}, mac[HALDEN_MAC_SIZE] = {};
    // Whether this machine's own name resolves is the machine's business;
    // either way the result must say so truthfully.
    char local[256] = {};
    ASSERT_EQ(gethostname(local, sizeof local - 1), 0);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* res = nullptr;
    const bool resolves = getaddrinfo(local, nullptr, &hints, &res) == 0 && res;
    if (res) freeaddrinfo(res);
    if (resolves) {
        ASSERT_EQ(getHostData(name, ip), 0);
        EXPECT_GT(std::strlen(name), 0u);
        EXPECT_GE(std::strlen(ip), 7u);
    } else {
        EXPECT_EQ(getHostData(name, ip), -1);
        EXPECT_EQ(name[0], '\0');
    }
    EXPECT_EQ(getMACId(mac), 0);
    ASSERT_EQ(std::strlen(mac), 12u);
    for (char c : std::string(mac)) EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c)) && !std::isupper(c)) << mac;
}

} // namespace
