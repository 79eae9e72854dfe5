// The driver on a simulated phone through the real phone-access library:
// session opened and connected as a station's host does, on virtual time.
#pragma once

#include "NorbeckFixture.h"
#include "kavor.h"
#include "qmsl_spc_sim.h"
#include "tessel.h"

class NorbeckPhoneTest : public NorbeckTest {
protected:
    void SetUp() override {
        NorbeckTest::SetUp();
        qmsl_sim::reset();
        KAVOR_SetLibraryMode(0);
        ASSERT_EQ(_Tessel_init("ASRL3::INSTR::LIB:qc:TRACELEVEL:0", 1, &ses, "test.c", 1), 0);
        ASSERT_EQ(_Tessel_ConnectServer(ses, "test.c", 1), 0);
        tracer_test::clear_lines();
    }
    void TearDown() override {
        _Tessel_close(ses, "test.c", 1);
        qmsl_sim::reset();
        NorbeckTest::TearDown();
    }
    static qmsl_sim::Phone& phone() { return qmsl_sim::phone(3); }
    void writeImei(const char* imei) {
        ASSERT_EQ(_Tessel_NvWriteImei(ses, imei, "test.c", 1), 0) << imei;
        phone().clear_journal();
    }
    static std::string nv85() {
        auto it = phone().nv.find(85);
        return it == phone().nv.end() ? "<none>" : std::string(it->second.data.begin(), it->second.data.end());
    }
    int ses = 0;
};
