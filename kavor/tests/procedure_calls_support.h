// What a procedure asked of the phone, as one text per call, and the failure
// of the n-th call of one function, for the tests of the fixed sequences.
#pragma once

#include "procedures_fixture.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace callstest {

using Bytes = std::vector<std::uint8_t>;

// "fn(arg,arg)[bytes]" for a typed call; "QLIB_SendSync <command id>" for a packet.
inline std::string render(const qmsl_sim::JournalEntry& e) {
    if (e.fn == "QLIB_SendSync" || e.fn == "QLIB_SendRAW") {
        const unsigned id = e.bytes.size() >= 6 ? static_cast<unsigned>(e.bytes[4] | (e.bytes[5] << 8)) : 0;
        return e.fn + " " + std::to_string(id);
    }
    std::string s = e.fn + "(";
    for (std::size_t i = 0; i < e.args.size(); ++i) s += (i ? "," : "") + std::to_string(e.args[i]);
    s += ")";
    if (!e.bytes.empty()) {
        s += "[";
        for (std::size_t i = 0; i < e.bytes.size(); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%s%02X", i ? " " : "", e.bytes[i]);
            s += hex;
        }
        s += "]";
    }
    return s;
}

class SequenceTest : public ProcedureTest {
protected:
    // Every call that reached the phone but the handle checks.
    std::vector<std::string> calls() {
        std::vector<std::string> r;
        for (const auto& e : phone().journal)
            if (e.fn != "QLIB_IsPhoneConnected") r.push_back(render(e));
        return r;
    }

    // Makes call n (from 0) of fn fail: a typed call gives false, a packet
    // gets a one-byte reply that no command can read. The other calls behave
    // as before.
    void failCall(const std::string& fn, int n) {
        auto seen = std::make_shared<int>(0);
        if (fn == "QLIB_SendSync") {
            phone().add_responder(qmsl_sim::Channel::Sync,
                                  [seen, n](qmsl_sim::Phone&, const Bytes&) -> std::optional<Bytes> {
                                      if ((*seen)++ == n) return Bytes{0x13};
                                      return std::nullopt;
                                  });
            return;
        }
        const qmsl_sim::Handler* own = phone().handler(fn);
        qmsl_sim::Handler before = own ? *own : qmsl_sim::Handler{};
        phone().set_handler(fn, [seen, n, before](qmsl_sim::Phone& p, const qmsl_sim::Call& c) {
            if ((*seen)++ == n) return false;
            if (before) return before(p, c);
            for (std::size_t i = 0; i < c.out.size(); ++i) {
                if (c.out[i].kind == qmsl_sim::OutSlot::Bytes) c.set_bytes(i, {});
                else c.set(i, 0);
            }
            return true;
        });
    }

    // Connects afresh to a phone in its default state.
    void restart() {
        KAVOR_DisconnectAllServers();
        qmsl_sim::reset();
        h = KAVOR_ConnectServer(kPhonePort);
        ASSERT_NE(h, 0);
    }
};

} // namespace callstest
