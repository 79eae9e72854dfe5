// The one engine behind every typed command of the stand-in.
#include "library.h"

#include "pclock.h"

#include <algorithm>
#include <cstring>

namespace qmsl_sim {

void Call::set(std::size_t i, long long value) const {
    if (i >= out.size() || !out[i].ptr) return;
    const OutSlot& s = out[i];
    switch (s.capacity) {
    case 1: { auto v = static_cast<std::uint8_t>(value); std::memcpy(s.ptr, &v, 1); break; }
    case 2: { auto v = static_cast<std::uint16_t>(value); std::memcpy(s.ptr, &v, 2); break; }
    case 4: { auto v = static_cast<std::uint32_t>(value); std::memcpy(s.ptr, &v, 4); break; }
    default: { auto v = static_cast<std::uint64_t>(value); std::memcpy(s.ptr, &v, std::min<std::size_t>(8, s.capacity)); break; }
    }
}

void Call::set_bytes(std::size_t i, const std::vector<std::uint8_t>& data) const {
    if (i >= out.size() || !out[i].ptr) return;
    const OutSlot& s = out[i];
    if (s.kind != OutSlot::Bytes) {
        long long v = 0;
        std::memcpy(&v, data.data(), std::min<std::size_t>(data.size(), sizeof v));
        set(i, v);
        return;
    }
    auto* dst = static_cast<std::uint8_t*>(s.ptr);
    const std::size_t n = std::min(data.size(), s.capacity);
    if (n) std::memcpy(dst, data.data(), n);
    if (s.capacity > n) std::memset(dst + n, 0, s.capacity - n);
}

void Call::set_text(std::size_t i, const std::string& text) const {
    if (i >= out.size() || !out[i].ptr || out[i].capacity == 0) return;
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (bytes.size() >= out[i].capacity) bytes.resize(out[i].capacity - 1);
    set_bytes(i, bytes);
}

unsigned char typed_call(QmslHandle handle, const char* fn, std::vector<In> in, std::vector<OutSlot> out) {
    Phone* p = phone_for_handle(handle);
    if (!p) return 0;
    pclock::run_due();

    Call call{fn, handle, {}, std::move(out)};
    JournalEntry entry{fn, handle, {}, {}, {}, 0};
    for (In& i : in) {
        entry.args.push_back(i.arg.value);
        entry.bytes.insert(entry.bytes.end(), i.arg.bytes.begin(), i.arg.bytes.end());
        call.in.push_back(std::move(i.arg));
    }
    p->record(std::move(entry));

    if (auto f = p->take_fault(fn)) {
        if (f->kind != Fault::Delay) return 0;
        pclock::sleep_ms(f->delay_ms);
    }
    if (!p->answers()) return 0;
    if (const Handler* h = p->handler(fn)) return (*h)(*p, call) ? 1 : 0;
    return give_outputs(*p, call) ? 1 : 0;
}

bool give_outputs(const Phone& phone, const Call& call) {
    const std::vector<OutValue>* values = phone.outputs(call.name);
    for (std::size_t i = 0; i < call.out.size(); ++i) {
        if (values && i < values->size()) {
            const OutValue& v = (*values)[i];
            if (!v.bytes.empty() || call.out[i].kind == OutSlot::Bytes) call.set_bytes(i, v.bytes);
            else call.set(i, v.value);
        } else if (call.out[i].kind == OutSlot::Bytes) {
            call.set_bytes(i, {});
        } else {
            call.set(i, 0);
        }
    }
    return true;
}

} // namespace qmsl_sim
