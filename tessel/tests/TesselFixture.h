// Common start for the library's tests: virtual time, fresh simulated phones,
// a fresh module state, popups captured silently and one trace session whose
// lines the test reads.
#pragma once

#include "TesselInternal.h"
#include "cvi_popup.h"
#include "kavor.h"
#include "pclock.h"
#include "qmsl_sim.h"
#include "tracer_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class TesselTest : public ::testing::Test {
protected:
    void SetUp() override {
        pclock::use_virtual_time(0);
        qmsl_sim::reset();
        KAVOR_SetLibraryMode(0);
        tracer_test::reset();
        cvi_test::set_popup_echo(false);
        cvi_test::clear_popups();
        Tessel_ResetModule_m();
        ASSERT_EQ(tracer_init("", &trace_), TRACER_OK);
    }
    void TearDown() override {
        Tessel_ResetModule_m();
        tracer_test::reset();
        qmsl_sim::reset();
        pclock::use_real_time();
    }

    int init(const std::string& resource, int* session) {
        return _Tessel_init(resource.c_str(), trace_, session, "test.c", 1);
    }
    // Opens a session and fails the test when that does not work.
    int open(const std::string& resource = "ASRL3::INSTR::LIB:qc") {
        int session = 0;
        EXPECT_EQ(init(resource, &session), 0) << resource;
        return session;
    }
    Lines lines() const { return tracer_test::lines(trace_); }
    // Tracing at a level into this test's session, without an init.
    void traceAt(int level) {
        iTraceLev = static_cast<std::int8_t>(level);
        sesTracer_m = trace_;
    }
    static std::string errorText(int session, int status) {
        char text[TESSEL_ERROR_TEXT_MAX];
        _Tessel_errorMessage(session, status, text);
        return text;
    }
    static SessionRecord slot(int session) {
        SessionRecord rec;
        rec.iSession = session;
        GetInstrIDFromSession_m(&rec);
        return rec;
    }

    TracerSession trace_ = 0;
};
