// On Linux the station runs against simulated phones, kept in this process
// (see README). They are prepared here, apart from the commands: switched
// off, booting into FTM mode when the power key is pressed, and quick to
// boot, so that the FTM-mode button works in real time. They identify as the
// phone type with two displays, which has every light of the LED test, and
// hold a variant name for the read-variant button. They come locked, as a
// new phone does, with all its unlock tries: their service programming code
// (the one the service-code button offers) opens them, any other costs a
// try. A refused code leaves them answering at once, so that the lock state
// the button reads next shows the tries left.
#include "TamselSimPhones.h"

#include "qmsl_sim.h"
#include "qmsl_spc_sim.h"

#include <string>

namespace {
constexpr unsigned kFirstPort = 1, kLastPort = 16;
constexpr unsigned short kNvFtmMode = 453;
constexpr unsigned short kNvVariantRead = 3497;
} // namespace

void TamselPrepareSimulatedPhones() {
    // A station runs for days: its phones keep no journal of the calls.
    qmsl_sim::keep_journal(false);
    for (unsigned port = kFirstPort; port <= kLastPort; ++port) {
        qmsl_sim::Phone& phone = qmsl_sim::phone(port);
        phone.profile.hardware_id = 8;
        phone.profile.model = 219;
        phone.profile.build_id = "M6280A-PalC1A-0001";
        phone.profile.msm_version = 0x120400E1;
        phone.boot_ms = 1000;
        phone.reset_ms = 1000;
        phone.power_off_ms = 200;
        phone.set_nv(kNvFtmMode, {1});
        const std::string variant = TAMSEL_SIM_VARIANT_NAME;
        phone.set_nv(kNvVariantRead, {variant.begin(), variant.end()});
        qmsl_sim::SpcLock lock;
        lock.code = TAMSEL_SIM_SERVICE_CODE;
        lock.locked = true;
        lock.silent_ms = 0;
        qmsl_sim::use_spc_lock(phone, lock);
        phone.set_power(qmsl_sim::Power::Off);
    }
}
