// The operator program's commands on the simulated phone of COM1, in the
// test's own process: virtual time, the panel loaded from Tamsel.uir next
// to the test (its buttons bound to the program's callbacks), popups
// answered from the queue, and the trace lines captured.
#pragma once

#include "Tamsel.h"
#include "TamselCallbacks.h"

#include "cvi_panel.h"
#include "cvi_popup.h"
#include "pclock.h"
#include "qmsl_ext_ftm.h"
#include "qmsl_sim.h"
#include "tracer_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// Buttons of Tamsel.uir.
enum TamselButton {
    kFtmMode = 1,
    kPhoneOff,
    kSetFtmFlag,
    kWriteImei,
    kReadBtAddr,
    kWriteBtAddr,
    kLed,
    kServiceCode,
    kServiceCodeToFd,
    kWriteKlfByte,
    kWriteVariant,
    kReadVariant,
    kQuit,
};

class TamselTest : public ::testing::Test {
public:  // the case tables of the tests use the helpers too
    static constexpr unsigned kPort = 1;  // the COM port control's default

    void SetUp() override {
        pclock::use_virtual_time(0);
        qmsl_sim::reset();
        tracer_test::reset();
        cvi_test::set_screen_allowed(false);
        cvi_test::set_popup_echo(false);
        cvi_test::clear_popups();
        char program[] = TAMSEL_PROGRAM;
        char* argv[] = {program, nullptr};
        panel_ = TamselStart(argv);
        current_panel_ = panel_;
        ASSERT_GT(panel_, 0);
    }
    void TearDown() override {
        tracer_test::reset();
        qmsl_sim::reset();
        pclock::use_real_time();
    }

    static qmsl_sim::Phone& phone() { return qmsl_sim::phone(kPort); }
    int press(int button) { return cvi_test::press(panel_, button); }

    // The phone is off and boots into FTM mode; the FTM-mode button switches
    // it on. The journal and the captured lines start empty afterwards.
    void switchOn() {
        phone().set_nv(453, {1});
        phone().set_power(qmsl_sim::Power::Off);
        ASSERT_EQ(press(kFtmMode), 0) << statusLine();
        ASSERT_EQ(phone().power(), qmsl_sim::Power::Ftm);
        phone().clear_journal();
        tracer_test::clear_lines();
        cvi_test::clear_popups();
    }

    std::string statusLine() const {
        char text[CVI_TEXT_CONTROL_SIZE] = "";
        GetCtrlVal(panel_, TAMSEL_CTRL_STATUS, text);
        return text;
    }
    static std::vector<std::string> traced() { return tracer_test::lines(sesTracer); }
    static bool traced(const std::string& text) {
        const auto l = traced();
        return std::any_of(l.begin(), l.end(), [&](const std::string& s) { return s.find(text) != std::string::npos; });
    }
    // Call lines of a library operation that the program made (its result
    // lines and the library's own calls left out).
    static int callLines(const std::string& operation) {
        const auto l = traced();
        return static_cast<int>(std::count_if(l.begin(), l.end(), [&](const std::string& s) {
            return s.find(operation + "(") != std::string::npos && s.find("in File \"Tamsel\"") != std::string::npos;
        }));
    }
    static std::string libText(int status) {
        char text[TESSEL_ERROR_TEXT_MAX] = "";
        _Tessel_errorMessage(sesMobile, status, text);
        return std::string(text) + "(Instr: sesMobile)";
    }
    static std::vector<std::uint8_t> nv(std::uint16_t item) {
        auto it = phone().nv.find(item);
        return it == phone().nv.end() ? std::vector<std::uint8_t>{} : it->second.data;
    }
    static void setKlfControl(int value) { ASSERT_EQ(SetCtrlVal(panelOf(), TAMSEL_CTRL_KLF_BYTE, value), 0); }
    static int panelOf() { return current_panel_; }
    static std::vector<std::string> popupTexts() {
        std::vector<std::string> texts;
        for (const auto& p : cvi_test::popups()) texts.push_back(p.title + ": " + p.text);
        return texts;
    }

    int panel_ = 0;
    static inline int current_panel_ = 0;
};
