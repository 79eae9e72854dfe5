// Tables of procedures as their vendor calls: each procedure runs whole with
// every call in order, and again once per call with that call failing.
#pragma once

#include "procedures_fixture.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

struct StepsCase {
    const char* name;
    std::function<unsigned char(QmslHandle)> run;
    std::vector<std::string> calls; // vendor calls in order; the handle checks are left out
    // A failure at call `cleanupFrom` or later is followed by the calls of `cleanup`.
    std::size_t cleanupFrom = std::numeric_limits<std::size_t>::max();
    std::vector<std::string> cleanup = {};
};
inline void PrintTo(const StepsCase& c, std::ostream* os) { *os << c.name; }

// The NV items the procedures read: the GSM relative offsets, the LNA range
// items of WCDMA band 4, a free item for the direct NV read and the IMEI of
// the examples (490154203237518) packed.
constexpr unsigned short kFreeItem = 4000;
inline const char kImei[] = "490154203237518";
inline const std::uint8_t kImeiPackedExample[9] = {0x08, 0x4A, 0x09, 0x51, 0x24, 0x30, 0x32, 0x57, 0x81};

class RfProcedureTest : public ProcedureTest {
protected:
    void SetUp() override {
        ProcedureTest::SetUp();
        std::vector<std::uint8_t> offsets(128, 'o');
        phone().set_nv(2499, offsets);
        for (unsigned short item : {520, 861, 862, 519, 859, 860}) phone().set_nv(item, {0x34, 0x12});
        phone().set_nv(kFreeItem, {1, 2});
        phone().set_nv(550, {kImeiPackedExample, kImeiPackedExample + 9});
        phone().clear_journal();
    }

    // The calls that reached the phone, without the handle checks.
    std::vector<std::string> vendorCalls() const {
        std::vector<std::string> r;
        for (const auto& e : qmsl_sim::phone(kPhonePort).journal)
            if (e.fn != "QLIB_IsPhoneConnected") r.push_back(e.fn);
        return r;
    }
    // Makes the call of fn after the next n ones fail (n = 0: the next one).
    void failAfter(const std::string& fn, std::size_t n) {
        if (n) phone().inject(fn, {qmsl_sim::Fault::Delay, 0, {}, 0, static_cast<int>(n)});
        phone().inject(fn, {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    }
    static bool endsWith(const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    }
};

class ProcedureSteps : public RfProcedureTest, public ::testing::WithParamInterface<StepsCase> {};

#define STEPS_CASE_NAME [](const auto& info) { return std::string(info.param.name); }
