// Test side of the vendor-library stand-in: the simulated phones.
//
// One simulated phone per COM port, created with a default profile the first
// time anything asks for it. A phone keeps a journal of every call and every
// packet that reached it, the text log of its connections, an NV item store,
// and a power and mode state machine on the process clock. Tests configure a
// phone, inject faults per function name and read what reached it.
#pragma once

#include "qmsl.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Everything here is the stand-in's test interface: visible to tests.
#pragma GCC visibility push(default)
namespace qmsl_sim {

enum class Power { Off, Booting, Online, Offline, Ftm };
const char* power_name(Power p);

struct Profile {
    std::uint16_t hardware_id = 0;
    std::uint8_t model = 0;           // the model byte of the extended build id
    std::uint32_t msm_version = 0;    // MSM hardware version of the extended build id
    int chipset_generation = 0;
    std::string build_id;             // software revision text
    std::string model_text;           // model text of the extended build id
    int phone_type = 0;
};


struct JournalEntry {
    std::string fn;                     // function name, e.g. "QLIB_DIAG_NV_WRITE_F"
    QmslHandle handle = 0;
    std::vector<long long> args;        // integer arguments in order
    std::vector<std::uint8_t> bytes;    // request bytes or input data
    std::vector<std::uint8_t> reply;    // reply bytes of a packet exchange
    long long at_ms = 0;                // clock time of the call
};

struct TextLogLine {
    QmslHandle handle;
    unsigned level;
    std::string text;
};

// What a fault does to the next matching call(s).
struct Fault {
    enum Kind {
        FalseResult,  // the call fails at once, with no effect
        NoReply,      // a packet exchange waits its time-out and gets nothing
        ShortReply,   // the reply is cut to `length` bytes
        GivenReply,   // the reply is `reply` instead of the phone's own
        Delay,        // the answer comes `delay_ms` later (past the time-out: none)
        FailedReply,  // a packet exchange fails, yet leaves `reply` and its length behind
    } kind = FalseResult;
    std::size_t length = 0;
    std::vector<std::uint8_t> reply;
    long long delay_ms = 0;
    int times = -1;  // how many calls it hits; -1 = every call
};

enum class Channel { Sync, Raw };

class Phone;

// A responder answers one kind of request packet. It returns no value when
// the request is not its own.
using Responder = std::function<std::optional<std::vector<std::uint8_t>>(Phone&, const std::vector<std::uint8_t>&)>;

// One typed call as the phone sees it: its inputs and the caller's outputs.
struct Arg {
    long long value = 0;
    std::vector<std::uint8_t> bytes;
};
struct OutSlot {
    enum Kind { U8, U16, U32, I16, I32, Bytes } kind;
    void* ptr;
    std::size_t capacity;  // bytes, for Bytes
};
class Call {
public:
    const char* name;
    QmslHandle handle;
    std::vector<Arg> in;
    std::vector<OutSlot> out;
    // Writes output i (null pointers are skipped).
    void set(std::size_t i, long long value) const;
    void set_bytes(std::size_t i, const std::vector<std::uint8_t>& data) const;  // zero-fills the rest
    void set_text(std::size_t i, const std::string& text) const;                 // terminated, cut to fit
};
// A handler is the phone's behaviour for one typed function. Its result is
// the function's result.
using Handler = std::function<bool(Phone&, const Call&)>;

// Value given back through an output of a typed call that has no handler.
struct OutValue {
    long long value = 0;
    std::vector<std::uint8_t> bytes;
    OutValue(long long v = 0) : value(v) {}
    OutValue(std::vector<std::uint8_t> b) : bytes(std::move(b)) {}
    OutValue(const char* text) : bytes(text, text + std::char_traits<char>::length(text)) {}
};

struct NvItem {
    std::vector<std::uint8_t> data;
    std::uint16_t status = 0;  // NV status the phone answers for this item
};

class Phone {
public:
    explicit Phone(unsigned port);
    ~Phone();
    Phone(const Phone&) = delete;
    Phone& operator=(const Phone&) = delete;

    unsigned port() const { return port_; }
    Profile profile;
    // Whether anything is attached to the port at all (connect fails if not).
    bool present = true;

    // Times of the state machine, in milliseconds on the process clock.
    long long boot_ms = 3000;       // power key to answering
    long long reset_ms = 5000;      // reset command to answering again
    long long power_off_ms = 500;   // power-off command to silence
    long long mode_change_ms = 0;   // offline / FTM / online switch

    // --- power and mode ---
    Power power() const { return power_; }
    bool answers() const;  // online, offline or FTM
    void set_power(Power p);  // puts the phone there at once (test set-up)
    void press_power_key();   // from off: boots, then online or FTM as NV 453 says
    void power_key_line(bool high);  // DTR wiring: a rising edge presses the key
    // A mode control command (0/1 offline, 2 reset, 3 FTM, 4 online, 6 off).
    bool control(int mode);

    // --- NV items ---
    std::map<std::uint16_t, NvItem> nv;
    void set_nv(std::uint16_t item, std::vector<std::uint8_t> data, std::uint16_t status = 0);
    // NV status answered for an item that was never written.
    std::uint16_t nv_missing_status = 5;
    // While locked, the phone refuses the service programming code (NV item
    // 85): its reads and writes fail as calls, with no NV status.
    bool locked = false;

    // --- journal and text log ---
    std::vector<JournalEntry> journal;
    std::vector<TextLogLine> text_log;
    // Journal entries of one function, in order.
    std::vector<JournalEntry> calls(const std::string& fn) const;
    std::size_t count(const std::string& fn) const;
    // Text log lines (texts only) in order, optionally for one handle.
    std::vector<std::string> log_texts(QmslHandle handle = 0) const;
    void clear_journal();

    // --- faults, responders, handlers and outputs ---
    void inject(const std::string& fn, Fault fault);
    void clear_faults();
    // Takes the fault for this call of fn, if one is set (counts it down).
    std::optional<Fault> take_fault(const std::string& fn);

    void add_responder(Channel channel, Responder r);  // tried before the defaults
    void set_handler(const std::string& fn, Handler h);  // overrides the default behaviour
    // Outputs given back, in order, by a typed call without a handler.
    void set_outputs(const std::string& fn, std::vector<OutValue> values);

    // Free use for behaviours of other families (registers, files, ...).
    std::map<std::string, long long> values;
    // State of a family's responders, by family name; goes with the phone.
    std::map<std::string, std::shared_ptr<void>> family_state;

    // --- used by the library side ---
    std::vector<Responder> responders(Channel channel) const;
    const Handler* handler(const std::string& fn) const;
    const std::vector<OutValue>* outputs(const std::string& fn) const;
    void record(JournalEntry e);

private:
    void finish_boot();
    unsigned port_;
    Power power_ = Power::Online;
    std::uint64_t pending_task_ = 0;
    std::map<std::string, std::vector<Fault>> faults_;
    std::vector<Responder> responders_[2];
    std::map<std::string, Handler> handlers_;
    std::map<std::string, std::vector<OutValue>> outputs_;
};

// The phone on a COM port (created with the default profile on first use).
QMSL_API Phone& phone(unsigned port);
// The phone behind a live handle, or null.
QMSL_API Phone* phone_for_handle(QmslHandle handle);
// Whether a handle is currently connected.
QMSL_API bool is_connected(QmslHandle handle);
// Forgets every phone and connection, the alias list, the version override
// and the library mode.
QMSL_API void reset();

// Library-wide settings.
QMSL_API bool library_mode_qpst();
// Replaces the version text (to exercise version gates); nullopt restores it.
QMSL_API void set_version_text(std::optional<std::string> text);
// The call-backs last configured on a handle.
QMSL_API std::pair<void*, void*> callbacks(QmslHandle handle);

// Responders and handlers every phone starts with (registered by the
// simulated phone's families at load time).
QMSL_API void add_default_responder(Channel channel, Responder r);
QMSL_API void set_default_handler(const std::string& fn, Handler h);

// --- for the family sources of the stand-in ---------------------------------
struct In {
    Arg arg;
    In(long long v) { arg.value = v; }
    In(const void* data, std::size_t n) {
        auto p = static_cast<const std::uint8_t*>(data);
        if (p) arg.bytes.assign(p, p + n);
        arg.value = static_cast<long long>(n);
    }
};
inline OutSlot out(unsigned char* p) { return {OutSlot::U8, p, 1}; }
inline OutSlot out(unsigned short* p) { return {OutSlot::U16, p, 2}; }
inline OutSlot out(unsigned int* p) { return {OutSlot::U32, p, 4}; }
inline OutSlot out(unsigned long* p) { return {OutSlot::U32, p, sizeof(unsigned long)}; }
inline OutSlot out(short* p) { return {OutSlot::I16, p, 2}; }
inline OutSlot out(int* p) { return {OutSlot::I32, p, 4}; }
inline OutSlot out_bytes(void* p, std::size_t n) { return {OutSlot::Bytes, p, n}; }

// Runs one typed call: checks the handle and that the phone answers, records
// it, applies a fault, then runs the handler (the test's, else the default)
// or gives back the outputs set with set_outputs (zeros when none).
QMSL_API unsigned char typed_call(QmslHandle handle, const char* fn, std::vector<In> in, std::vector<OutSlot> out);

} // namespace qmsl_sim
#pragma GCC visibility pop
