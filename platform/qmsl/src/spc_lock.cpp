// The service programming code model: the SPC check against NV 85, the
// tries in NV 3252, the lock and the silence after a refused code.
#include "qmsl_spc_sim.h"

#include "library.h"
#include "pclock.h"

#include <algorithm>
#include <cstring>

namespace qmsl_sim {
namespace {

constexpr std::uint16_t kNvSecCode = 85;
constexpr std::uint16_t kNvUnlockTries = 3252;

// The phone's pending return from silence; cancelled with the phone.
struct Silence {
    pclock::TaskId task = 0;
    ~Silence() {
        if (task) pclock::cancel(task);
    }
};

Silence& silence(Phone& p) {
    return family_state_of<Silence>(p, "spc_silence");
}

void go_silent(Phone& p, long long ms) {
    Silence& s = silence(p);
    if (s.task) pclock::cancel(s.task);
    s.task = 0;
    const Power before = p.power();
    p.set_power(Power::Booting);
    if (ms < 0) return;
    s.task = pclock::schedule_after(ms, [&p, &s, before] {
        s.task = 0;
        p.set_power(before);
    });
}

bool check_code(Phone& p, const Call& c, long long silent_ms) {
    const std::vector<std::uint8_t>& sent = c.in[0].bytes;
    const auto code = p.nv.find(kNvSecCode);
    int tries = spc_tries(p);
    const bool match = code != p.nv.end() && sent.size() == 6 && code->second.data.size() >= 6 &&
                       std::memcmp(sent.data(), code->second.data.data(), 6) == 0;
    if (match && tries > 0) {
        p.locked = false;
        c.set(0, 1);
        return true;
    }
    c.set(0, 0);
    p.locked = true;
    if (tries > 0) p.set_nv(kNvUnlockTries, {static_cast<std::uint8_t>(tries - 1)});
    go_silent(p, silent_ms);
    return true;
}

} // namespace

void use_spc_lock(Phone& phone, const SpcLock& lock) {
    phone.set_nv(kNvSecCode, std::vector<std::uint8_t>(lock.code.begin(), lock.code.end()));
    phone.set_nv(kNvUnlockTries, {static_cast<std::uint8_t>(std::clamp(lock.tries, 0, 255))});
    phone.locked = lock.locked;
    const long long silent_ms = lock.silent_ms;
    phone.set_handler("QLIB_DIAG_SPC_F", [silent_ms](Phone& p, const Call& c) { return check_code(p, c, silent_ms); });
}

int spc_tries(const Phone& phone) {
    auto it = phone.nv.find(kNvUnlockTries);
    if (it == phone.nv.end() || it->second.data.empty()) return -1;
    return it->second.data[0];
}

} // namespace qmsl_sim
