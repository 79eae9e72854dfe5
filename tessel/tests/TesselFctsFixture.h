// A session on the simulated phone of COM3, traced at level 1, and helpers to
// read what reached the phone and which lines were written.
#pragma once

#include "TesselFixture.h"
#include "qmsl_ext_ftm.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

// A caller's array as a call line shows it, "0x" and lower-case hex digits.
inline std::string traceAddress(const void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%" PRIxPTR, reinterpret_cast<std::uintptr_t>(p));
    return text;
}

class TesselFcts : public TesselTest {
protected:
    static constexpr unsigned kPort = 3;
    static constexpr int kLib = TESSEL_ERROR_LIBRARY;

    // An open session, not connected yet.
    int openSession(const std::string& options = "TRACELEVEL:1") {
        return open("ASRL3::INSTR::LIB:qc:" + options);
    }
    // An open and connected session; the journal and the trace start empty.
    int connected(const std::string& options = "TRACELEVEL:1") {
        const int s = openSession(options);
        EXPECT_EQ(_Tessel_ConnectServer(s, "t.c", 1), 0);
        phone().clear_journal();
        tracer_test::clear_lines();
        return s;
    }
    // A connected session told its phone type; the journal and the trace
    // start empty.
    int typed(int iPhoneType) {
        const int s = connected();
        EXPECT_EQ(_Tessel_SetMobModel(s, iPhoneType, "t.c", 1), 0);
        phone().clear_journal();
        tracer_test::clear_lines();
        return s;
    }
    static qmsl_sim::Phone& phone() { return qmsl_sim::phone(kPort); }
    static QmslHandle handleOf(int session) { return slot(session).hHandle; }

    // Whether a line contains the text.
    bool hasLine(const std::string& text) const {
        const Lines l = lines();
        return std::any_of(l.begin(), l.end(), [&](const std::string& s) { return s.find(text) != std::string::npos; });
    }
    // The extension-FTM requests that reached the phone (group, command id, data after the header).
    struct FtmRequest {
        std::uint16_t group, id;
        std::vector<std::uint8_t> data;
    };
    static std::vector<FtmRequest> ftmRequests() {
        std::vector<FtmRequest> r;
        for (const auto& e : phone().calls("QLIB_SendSync")) {
            const auto& b = e.bytes;
            if (b.size() < 10 || b[0] != 0x4B || b[1] != 0x0B) continue;
            r.push_back({static_cast<std::uint16_t>(b[2] | b[3] << 8), static_cast<std::uint16_t>(b[4] | b[5] << 8),
                         std::vector<std::uint8_t>(b.begin() + 10, b.end())});
        }
        return r;
    }
    // That one call reached the phone: the vendor call with its journaled
    // arguments and input bytes and the session's handle, or (call "") the
    // last extension-FTM request with {group, id} in args and data that
    // begins with bytes.
    static void expectReached(int session, const std::string& call, const std::vector<long long>& args,
                              const std::vector<std::uint8_t>& bytes) {
        if (call.empty()) {
            const auto reqs = ftmRequests();
            ASSERT_FALSE(reqs.empty());
            EXPECT_EQ(reqs.back().group, args.at(0));
            EXPECT_EQ(reqs.back().id, args.at(1));
            ASSERT_GE(reqs.back().data.size(), bytes.size());
            EXPECT_EQ(std::vector<std::uint8_t>(reqs.back().data.begin(), reqs.back().data.begin() + bytes.size()),
                      bytes);
        } else {
            const auto calls = phone().calls(call);
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].handle, handleOf(session));
            EXPECT_EQ(calls[0].args, args);
            EXPECT_EQ(calls[0].bytes, bytes);
        }
    }
    // The phone identifies to the extension library as its phone model: 3
    // (the phone with two displays) for code 3, else 52 (a wide keypad
    // phone).
    static void identifyAsModel(unsigned code) {
        if (code == 3) {
            phone().profile.build_id = "M6280A-PalC1A-0001";
            phone().profile.msm_version = 0x120400E1;
        } else {
            phone().profile.build_id = "M6280A-0001";
            phone().profile.msm_version = 1029;
            qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0, 0, 0};
        }
    }
    static std::vector<std::uint16_t> ftmIds() {
        std::vector<std::uint16_t> ids;
        for (const auto& r : ftmRequests()) ids.push_back(r.id);
        return ids;
    }
};
