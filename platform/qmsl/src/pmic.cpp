// Typed PMIC commands and the phone's power-management chip behind them.
#include "qmsl_pmic.h"
#include "qmsl_pmic_sim.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_PMIC_VREG_CONTROL(QmslHandle h, unsigned char on, unsigned int vregMask) {
    return typed_call(h, __func__, {on, static_cast<long long>(vregMask)}, {});
}
unsigned char QLIB_FTM_PMIC_VREG_SET_LEVEL(QmslHandle h, unsigned char vreg, unsigned short levelMv) {
    return typed_call(h, __func__, {vreg, levelMv}, {});
}
unsigned char QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(QmslHandle h, unsigned char switchType, unsigned char command) {
    return typed_call(h, __func__, {switchType, command}, {});
}
unsigned char QLIB_FTM_PMIC_INT_GET_RT_STATUS(QmslHandle h, unsigned char interruptId, unsigned char* status) {
    return typed_call(h, __func__, {interruptId}, {out(status)});
}
unsigned char QLIB_FTM_PMIC_RTC_SET_GET_TIME(QmslHandle h, unsigned char readTime, unsigned char* timeMode,
                                             unsigned char* month, unsigned char* day, unsigned short* year,
                                             unsigned char* hour, unsigned char* minute, unsigned char* second) {
    if (!timeMode || !month || !day || !year || !hour || !minute || !second) return 0;
    // Inputs: the flag, then the values as they stand (what a write sends).
    return typed_call(h, __func__, {readTime, *timeMode, *month, *day, *year, *hour, *minute, *second},
                      {out(timeMode), out(month), out(day), out(year), out(hour), out(minute), out(second)});
}
unsigned char QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(QmslHandle h, unsigned char currentCode,
                                                               unsigned char voltageCode) {
    return typed_call(h, __func__, {currentCode, voltageCode}, {});
}

namespace qmsl_sim {

Pmic& pmic(Phone& phone) {
    return family_state_of<Pmic>(phone, "pmic");
}

} // namespace qmsl_sim

namespace {

bool rtcHandler(Phone& p, const Call& c) {
    RtcTime& rtc = pmic(p).rtc;
    if (c.in[0].value == 0) {
        rtc = {static_cast<std::uint8_t>(c.in[1].value), static_cast<std::uint8_t>(c.in[2].value),
               static_cast<std::uint8_t>(c.in[3].value), static_cast<std::uint16_t>(c.in[4].value),
               static_cast<std::uint8_t>(c.in[5].value), static_cast<std::uint8_t>(c.in[6].value),
               static_cast<std::uint8_t>(c.in[7].value)};
        return true;
    }
    const long long values[] = {rtc.mode, rtc.month, rtc.day, rtc.year, rtc.hour, rtc.minute, rtc.second};
    for (std::size_t i = 0; i < std::size(values); ++i) c.set(i, values[i]);
    return true;
}

const bool registered = [] {
    set_default_handler("QLIB_FTM_PMIC_VREG_CONTROL", [](Phone& p, const Call& c) {
        const auto mask = static_cast<std::uint32_t>(c.in[1].value);
        std::uint32_t& on = pmic(p).vregs_on;
        on = c.in[0].value ? (on | mask) : (on & ~mask);
        return true;
    });
    set_default_handler("QLIB_FTM_PMIC_VREG_SET_LEVEL", [](Phone& p, const Call& c) {
        pmic(p).vreg_level_mv[int(c.in[0].value)] = int(c.in[1].value);
        return true;
    });
    set_default_handler("QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE", [](Phone& p, const Call& c) {
        pmic(p).charger_switch[int(c.in[0].value)] = c.in[1].value != 0;
        return true;
    });
    set_default_handler("QLIB_FTM_PMIC_INT_GET_RT_STATUS", [](Phone& p, const Call& c) {
        const auto& status = pmic(p).rt_status;
        auto it = status.find(int(c.in[0].value));
        c.set(0, it == status.end() ? 0 : it->second);
        return true;
    });
    set_default_handler("QLIB_FTM_PMIC_RTC_SET_GET_TIME", rtcHandler);
    set_default_handler("QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS", [](Phone& p, const Call& c) {
        pmic(p).charger_limits = Pmic::Limits{static_cast<std::uint8_t>(c.in[0].value),
                                              static_cast<std::uint8_t>(c.in[1].value)};
        return true;
    });
    return true;
}();

} // namespace
