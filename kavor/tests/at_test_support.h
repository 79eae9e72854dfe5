// Shared set-up of the AT command tests: a connected phone on virtual time,
// the raw requests that reached it, and a way to make it answer given bytes.
#pragma once

#include "LibraryContext.h"
#include "kavor.h"
#include "qmsl_at_sim.h"
#include "qmsl_sim.h"

#include "kavor_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace attest {

constexpr unsigned kPort = 3;

// Bytes of a literal that may hold NULs ("AT+X\r\0"s).
using namespace std::string_literals;

class AtFixture : public ::testing::Test {
protected:
    void SetUp() override { kavortest::connectFresh(kPort, h); }
    void TearDown() override { KAVOR_DisconnectAllServers(); }

    qmsl_sim::Phone& phone() { return qmsl_sim::phone(kPort); }
    qmsl_sim::AtState& engine() { return qmsl_sim::at_engine(phone()); }
    std::vector<std::string> log() { return phone().log_texts(h); }
    std::vector<qmsl_sim::JournalEntry> sends() { return phone().calls("QLIB_SendRAW"); }
    std::vector<std::string> requests() {
        std::vector<std::string> r;
        for (const auto& e : sends()) r.emplace_back(e.bytes.begin(), e.bytes.end());
        return r;
    }
    // The next send gets exactly these bytes back.
    void answer(const std::string& bytes) {
        phone().inject("QLIB_SendRAW", {qmsl_sim::Fault::GivenReply, 0, {bytes.begin(), bytes.end()}, 0, 1});
    }
    std::int32_t echoOffset() { return kavor::context().atChannelFor(h)->echoOffset(); }

    QmslHandle h = 0;
};

} // namespace attest
