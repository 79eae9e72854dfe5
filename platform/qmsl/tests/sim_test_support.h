// The set-up the simulated phone's tests share: every test starts on fresh
// phones and virtual time, and leaves the phones reset and the clock real.
#pragma once

#include "qmsl.h"
#include "qmsl_sim.h"

#include "pclock.h"

#include <gtest/gtest.h>

namespace qmsl_test {

inline void freshPhones() {
    qmsl_sim::reset();
    pclock::use_virtual_time(0);
}

inline void endPhones() {
    qmsl_sim::reset();
    pclock::use_real_time();
}

// A test's connection to the phone on Port: start() (fresh phones, then the
// connection) in SetUp, stop() in TearDown.
template <unsigned Port>
class Connection {
protected:
    void start() {
        freshPhones();
        h = QLIB_ConnectServer(Port);
        ASSERT_NE(h, 0);
    }
    void stop() { endPhones(); }
    qmsl_sim::Phone& phone() { return qmsl_sim::phone(Port); }
    QmslHandle h = 0;
};

// A test on that connection; Base ::testing::TestWithParam<Row> for a table.
template <unsigned Port, class Base = ::testing::Test>
class ConnectedTest : public Base, public Connection<Port> {
protected:
    void SetUp() override { this->start(); }
    void TearDown() override { this->stop(); }
};

// A test on fresh phones that makes its connections itself.
template <class Base = ::testing::Test>
class FreshPhonesTest : public Base {
protected:
    void SetUp() override { freshPhones(); }
    void TearDown() override { endPhones(); }
};

} // namespace qmsl_test
