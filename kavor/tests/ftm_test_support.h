// Shared set-up of the extension-FTM command tests: a connected phone on
// virtual time, request builders and the text log of the connection.
#pragma once

#include "kavor.h"
#include "qmsl_ext_ftm.h"
#include "qmsl_sim.h"

#include "kavor_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ftmtest {

using Bytes = std::vector<std::uint8_t>;

constexpr unsigned kPort = 3;

inline void append16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// An extension-FTM request: header with the two length fields, then data.
inline Bytes req(unsigned id, unsigned len, unsigned rsp, Bytes data = {}, unsigned group = 0x8000) {
    Bytes b{0x4B, 0x0B};
    append16(b, group);
    append16(b, id);
    append16(b, len);
    append16(b, rsp);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// A GPIO request: header with the operation, then the one-byte fields.
inline Bytes gpioReq(unsigned op, Bytes data) {
    Bytes b{0x4B, 0x00, 0x00, 0x01, static_cast<std::uint8_t>(op), 0, 0, 0};
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A text's bytes zero-padded (or cut) to n.
inline Bytes padded(const std::string& text, std::size_t n) {
    Bytes b(text.begin(), text.end());
    b.resize(n, 0);
    return b;
}

class FtmFixture : public ::testing::Test {
protected:
    void SetUp() override { kavortest::connectFresh(kPort, h); }
    void TearDown() override { KAVOR_DisconnectAllServers(); }

    qmsl_sim::Phone& phone() { return qmsl_sim::phone(kPort); }
    qmsl_sim::ExtFtmState& ftm() { return qmsl_sim::ext_ftm(phone()); }
    std::vector<std::string> log() { return phone().log_texts(h); }
    std::vector<qmsl_sim::JournalEntry> sends() { return phone().calls("QLIB_SendSync"); }
    std::vector<Bytes> requests() {
        std::vector<Bytes> r;
        for (const auto& e : sends()) r.push_back(e.bytes);
        return r;
    }

    QmslHandle h = 0;
};

} // namespace ftmtest
