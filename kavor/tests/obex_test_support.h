// Shared set-up of the OBEX channel tests: a connected phone whose port was
// switched into OBEX mode, on virtual time with a fixed UTC instant, a
// temporary local folder, and readers of the raw requests that reached the
// phone.
#pragma once

#include "kavor.h"
#include "qmsl_obex_sim.h"
#include "qmsl_sim.h"

#include "kavor_test_support.h"
#include "pclock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace obextest {

using Bytes = std::vector<std::uint8_t>;
using qmsl_sim::ObexOp;

constexpr unsigned kPort = 5;
constexpr std::uint32_t kId = 0x00C0FFEE;  // the simulated server's connection id
// 2005-07-01 13:45:00 UTC
constexpr std::int64_t kUtc = 1120225500;
const Bytes kIdBytes = {0xCB, 0x00, 0xC0, 0xFF, 0xEE};
const Bytes kTarget = {0x6B, 0x01, 0xCB, 0x31, 0x41, 0x06, 0x11, 0xD4,
                       0x9A, 0x77, 0x00, 0x50, 0xDA, 0x3F, 0x47, 0x1F};

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline Bytes ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }
// Two-byte big-endian characters, no terminator.
inline Bytes wide(const std::string& s) {
    Bytes b;
    for (char c : s) b.insert(b.end(), {0, static_cast<std::uint8_t>(c)});
    return b;
}
inline Bytes be16(unsigned v) { return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)}; }
inline Bytes be32(std::uint32_t v) { return be16(v >> 16) + be16(v & 0xFFFF); }
// A Name header.
inline Bytes nameHeader(const std::string& s) { return Bytes{0x01} + be16(3 + 2 * s.size() + 2) + wide(s) + Bytes{0, 0}; }
// An answer: code, length, headers.
inline Bytes answer(std::uint8_t code, const Bytes& headers = {}) {
    return Bytes{code} + be16(3 + headers.size()) + headers;
}
inline Bytes filled(std::size_t n, std::uint8_t seed = 1) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}

class ObexFixture : public ::testing::Test {
public:
    void SetUp() override {
        kavortest::freshLibrary();
        pclock::set_virtual_utc_s(kUtc);
        h = KAVOR_ConnectServer(kPort);
        ASSERT_NE(h, 0);
        // The switch a caller makes with the AT command before any OBEX call.
        const Bytes at = ascii("AT^SQWE=3\r") + Bytes{0};
        unsigned short n = 4096;
        unsigned char reply[4096];
        ASSERT_EQ(QLIB_SendRAW(h, static_cast<unsigned short>(at.size()), at.data(), &n, reply, 3000), 1);
        ASSERT_TRUE(qmsl_sim::obex_mode(phone()));
        phone().clear_journal();
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : test)
            if (c == '/') c = '_';
        dir = std::filesystem::temp_directory_path() / ("obex_test_" + std::to_string(::getpid()) + "_" + test);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        local = dir.string() + "/";
    }
    void TearDown() override {
        KAVOR_DisconnectAllServers();
        std::filesystem::remove_all(dir);
    }

    qmsl_sim::Phone& phone() { return qmsl_sim::phone(kPort); }
    qmsl_sim::ObexServer& server() { return qmsl_sim::obex(phone()); }
    std::vector<Bytes> requests() {
        std::vector<Bytes> r;
        for (const auto& e : phone().calls("QLIB_SendRAW")) r.push_back(e.bytes);
        return r;
    }
    std::vector<long long> timeouts() {
        std::vector<long long> r;
        for (const auto& e : phone().calls("QLIB_SendRAW")) r.push_back(e.args.at(1));
        return r;
    }
    // Answers requests of the given opcode with a fixed reply, before the
    // server sees them.
    void answerOpcode(std::uint8_t opcode, Bytes reply) {
        phone().add_responder(qmsl_sim::Channel::Raw,
                              [opcode, reply](qmsl_sim::Phone&, const Bytes& req) -> std::optional<Bytes> {
                                  if (req.empty() || req[0] != opcode) return std::nullopt;
                                  return reply;
                              });
    }
    void writeLocal(const std::string& name, const Bytes& data) {
        std::ofstream out(dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }
    Bytes readLocal(const std::string& name) {
        std::ifstream in(dir / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    bool localExists(const std::string& name) { return std::filesystem::exists(dir / name); }

    QmslHandle h = 0;
    std::filesystem::path dir;
    std::string local;  // the local folder text, ending in '/'
};

} // namespace obextest
