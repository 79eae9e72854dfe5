// A connected simulated phone on COM1 with its power key wired to the DTR
// line of a control-line box on COM7, all on the virtual clock.
#pragma once

#include "InternalExports.h"
#include "LibraryContext.h"
#include "qmsl_sim.h"
#include "win_line_recorder.h"

#include "kavor_test_support.h"
#include "pclock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

class ProcedureTest : public ::testing::Test {
protected:
    static constexpr unsigned kPhonePort = 1;
    static constexpr unsigned short kBoxPort = 7;

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(kavortest::connectFresh(kPhonePort, h));
        rec.wire_dtr("COM7", [](bool high) { qmsl_sim::phone(kPhonePort).power_key_line(high); });
    }
    void TearDown() override {
        KAVOR_DisconnectAllServers();
        qmsl_sim::reset();
        pclock::use_real_time();
    }

    qmsl_sim::Phone& phone() { return qmsl_sim::phone(kPhonePort); }
    kavor::TestProcedures& procedures() { return *kavor::context().testProceduresFor(h); }

    // The step log of the handle; printed addresses read "<ptr>".
    std::vector<std::string> log() const {
        static const std::regex address("0x[0-9a-f]+");
        std::vector<std::string> lines = qmsl_sim::phone(kPhonePort).log_texts(h);
        for (auto& l : lines) l = std::regex_replace(l, address, "<ptr>");
        return lines;
    }
    bool logged(const std::string& line) const {
        auto lines = log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::size_t countLogged(const std::string& prefix) const {
        auto lines = log();
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    std::vector<std::uint8_t> nv453() { return phone().nv[453].data; }

    win_test::LineRecorder rec;  // lives longer than the connection: teardown closes the box through it
    QmslHandle h = 0;
};
