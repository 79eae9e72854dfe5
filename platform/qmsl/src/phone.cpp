#include "library.h"

#include "pclock.h"

#include <cstring>

namespace qmsl_sim {

namespace {
constexpr std::uint16_t kNvFtmMode = 453;
}

const char* power_name(Power p) {
    switch (p) {
    case Power::Off: return "off";
    case Power::Booting: return "booting";
    case Power::Online: return "online";
    case Power::Offline: return "offline";
    case Power::Ftm: return "ftm";
    }
    return "?";
}

Phone::Phone(unsigned port) : port_(port) {}

Phone::~Phone() {
    if (pending_task_) pclock::cancel(pending_task_);
}

bool Phone::answers() const { return power_ == Power::Online || power_ == Power::Offline || power_ == Power::Ftm; }

void Phone::set_power(Power p) {
    if (pending_task_) pclock::cancel(pending_task_);
    pending_task_ = 0;
    power_ = p;
}

void Phone::finish_boot() {
    pending_task_ = 0;
    auto it = nv.find(kNvFtmMode);
    bool ftm = it != nv.end() && it->second.status == 0 && !it->second.data.empty() && it->second.data[0] == 1;
    power_ = ftm ? Power::Ftm : Power::Online;
}

void Phone::press_power_key() {
    if (power_ != Power::Off) return;
    power_ = Power::Booting;
    pending_task_ = pclock::schedule_after(boot_ms, [this] { finish_boot(); });
}

void Phone::power_key_line(bool high) {
    bool was = values["power_key_line"] != 0;
    values["power_key_line"] = high ? 1 : 0;
    if (high && !was) press_power_key();
}

bool Phone::control(int mode) {
    if (!answers()) return false;
    auto later = [this](long long ms, std::function<void()> then) {
        if (pending_task_) pclock::cancel(pending_task_);
        pending_task_ = 0;
        if (ms <= 0) {
            then();
            return;
        }
        pending_task_ = pclock::schedule_after(ms, [this, then] {
            pending_task_ = 0;
            then();
        });
    };
    switch (mode) {
    case 0:
    case 1: later(mode_change_ms, [this] { power_ = Power::Offline; }); return true;
    case 2:
        power_ = Power::Booting;
        later(reset_ms, [this] { finish_boot(); });
        return true;
    case 3: later(mode_change_ms, [this] { power_ = Power::Ftm; }); return true;
    case 4: later(mode_change_ms, [this] { power_ = Power::Online; }); return true;
    case 6: later(power_off_ms, [this] { power_ = Power::Off; }); return true;
    default: return false;
    }
}

void Phone::set_nv(std::uint16_t item, std::vector<std::uint8_t> data, std::uint16_t status) {
    nv[item] = NvItem{std::move(data), status};
}

std::vector<JournalEntry> Phone::calls(const std::string& fn) const {
    std::vector<JournalEntry> r;
    for (const auto& e : journal)
        if (e.fn == fn) r.push_back(e);
    return r;
}

std::size_t Phone::count(const std::string& fn) const { return calls(fn).size(); }

std::vector<std::string> Phone::log_texts(QmslHandle handle) const {
    std::vector<std::string> r;
    for (const auto& l : text_log)
        if (handle == 0 || l.handle == handle) r.push_back(l.text);
    return r;
}

void Phone::clear_journal() {
    journal.clear();
    text_log.clear();
}

void Phone::inject(const std::string& fn, Fault fault) { faults_[fn].push_back(std::move(fault)); }

void Phone::clear_faults() { faults_.clear(); }

std::optional<Fault> Phone::take_fault(const std::string& fn) {
    auto it = faults_.find(fn);
    if (it == faults_.end() || it->second.empty()) return std::nullopt;
    Fault f = it->second.front();
    Fault& stored = it->second.front();
    if (stored.times > 0 && --stored.times == 0) it->second.erase(it->second.begin());
    return f;
}

void Phone::add_responder(Channel channel, Responder r) {
    responders_[static_cast<int>(channel)].push_back(std::move(r));
}

void Phone::set_handler(const std::string& fn, Handler h) { handlers_[fn] = std::move(h); }

void Phone::set_outputs(const std::string& fn, std::vector<OutValue> values) { outputs_[fn] = std::move(values); }

std::vector<Responder> Phone::responders(Channel channel) const {
    std::vector<Responder> r = responders_[static_cast<int>(channel)];
    const auto& defaults = library().default_responders[static_cast<int>(channel)];
    r.insert(r.end(), defaults.begin(), defaults.end());
    return r;
}

const Handler* Phone::handler(const std::string& fn) const {
    auto it = handlers_.find(fn);
    if (it != handlers_.end()) return &it->second;
    const auto& defaults = library().default_handlers;
    auto d = defaults.find(fn);
    return d == defaults.end() ? nullptr : &d->second;
}

const std::vector<OutValue>* Phone::outputs(const std::string& fn) const {
    auto it = outputs_.find(fn);
    return it == outputs_.end() ? nullptr : &it->second;
}

namespace {
bool g_keep_journal = true;
} // namespace

void keep_journal(bool on) { g_keep_journal = on; }
bool journal_kept() { return g_keep_journal; }

void Phone::record(JournalEntry e) {
    if (!g_keep_journal) return;
    e.at_ms = pclock::now_ms();
    journal.push_back(std::move(e));
}

} // namespace qmsl_sim
