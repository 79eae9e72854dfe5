// Sessions whose phone is switched on and off through either DTR line: the
// phone's own port (no boot box) or the boot box on COM7, whose DTR is wired
// to the phone's power key. The phone answers FTM commands only in FTM mode,
// so the sequences see the mode it is really in.
#pragma once

#include "TesselFctsFixture.h"
#include "win_line_recorder.h"

enum class DtrPath { Vendor, Box };

class TesselPower : public TesselFcts {
protected:
    static constexpr const char* kBoxPort = "COM7";

    void SetUp() override {
        TesselFcts::SetUp();
        box_.wire_dtr(kBoxPort, [](bool high) { phone().power_key_line(high); });
        qmsl_sim::ext_ftm(phone()).answers_only_in_ftm = true;
    }

    // A connected session on the path; its phone is switched off.
    int sessionOff(DtrPath path) {
        const int s = connected(path == DtrPath::Box ? "TRACELEVEL:1:MZ4BB:7" : "TRACELEVEL:1");
        phone().set_power(qmsl_sim::Power::Off);
        phone().clear_journal();
        box_.journal.clear();
        tracer_test::clear_lines();
        return s;
    }
    // The mode the phone starts in after a boot or reset.
    static void bootsInto(bool ftm) { phone().set_nv(453, {static_cast<std::uint8_t>(ftm ? 1 : 0)}); }
    static std::uint8_t ftmFlag() { return phone().nv.at(453).data.at(0); }

    // The DTR changes on the box port.
    std::vector<bool> boxDtr() const {
        std::vector<bool> r;
        for (const auto& e : box_.journal)
            if (e.port == kBoxPort && e.event == win_test::Event::Dtr) r.push_back(e.level);
        return r;
    }
    static std::vector<long long> vendorDtr() {
        std::vector<long long> r;
        for (const auto& e : phone().calls("QLIB_SetDTR_State")) r.push_back(e.args.at(0));
        return r;
    }
    std::string resultLine() const {
        for (const auto& l : lines())
            if (l.find("_Tessel_SpecialMobileOn") != std::string::npos && l.find("cErrMsg=") != std::string::npos)
                return l;
        return {};
    }

    win_test::LineRecorder box_;
};
