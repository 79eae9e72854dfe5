// Common start of the driver's tests: virtual time, trace session 1 (the
// host's) captured, a fresh line-data store and a wrapper whose calls are
// recorded and can be scripted.
#pragma once

#include "NorbeckModule.h"
#include "brannik_test.h"
#include "pclock.h"
#include "pellin_test.h"
#include "tracer_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class NorbeckTest : public ::testing::Test {
protected:
    void SetUp() override {
        pclock::use_virtual_time(0);
        tracer_test::reset();
        TracerSession session = 0;
        ASSERT_EQ(tracer_init("", &session), TRACER_OK);
        ASSERT_EQ(session, 1);
        brannik_test::reset();
        pellin_test::reset();
    }
    void TearDown() override {
        tracer_test::reset();
        pclock::use_real_time();
    }

    static Lines lines() { return tracer_test::lines(1); }
    static bool traced(const std::string& line) {
        Lines l = lines();
        return std::find(l.begin(), l.end(), line) != l.end();
    }
    // Every later call of the wrapper function answers this.
    static void answer(const std::string& fn, int result, const std::string& text = "") {
        pellin_test::script(fn, {result, text, "", {}, -1});
    }

    char err[NORBECK_ERRTEXT_SIZE] = "";
};
