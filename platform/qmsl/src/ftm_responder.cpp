// The simulated phone's answers to extension-FTM, LTM and GPIO requests.
#include "qmsl_ext_ftm.h"
#include "qmsl_i2c_sim.h"

#include "library.h"

#include <algorithm>
#include <optional>

namespace qmsl_sim {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Where a command's reply carries what the command reads: its whole length
// and the place and width of its status (width 0: none). The lengths follow
// what the commands pop, also where their reply-size field says less.
struct Shape {
    std::uint16_t group, id, length;
    std::uint8_t status_at, status_width;
};

// clang-format off
constexpr Shape kShapes[] = {
    {kExtFtmGroup, 10, 16, 10, 2},  {kExtFtmGroup, 11, 14, 10, 2},  {kExtFtmGroup, 12, 12, 10, 2},
    {kExtFtmGroup, 13, 13, 10, 2},  {kExtFtmGroup, 14, 12, 10, 2},  {kExtFtmGroup, 15, 12, 10, 2},
    {kExtFtmGroup, 16, 16, 10, 2},  {kExtFtmGroup, 17, 21, 10, 2},  {kExtFtmGroup, 18, 12, 10, 2},
    {kExtFtmGroup, 19, 12, 10, 2},  {kExtFtmGroup, 21, 13, 10, 2},  {kExtFtmGroup, 22, 14, 10, 2},
    {kExtFtmGroup, 23, 12, 10, 2},  {kExtFtmGroup, 24, 12, 10, 2},  {kExtFtmGroup, 25, 12, 10, 2},
    {kExtFtmGroup, 26, 12, 10, 2},  {kExtFtmGroup, 28, 12, 10, 2},  {kExtFtmGroup, 29, 14, 10, 2},
    {kExtFtmGroup, 30, 12, 11, 1},  {kExtFtmGroup, 31, 12, 10, 2},  {kExtFtmGroup, 32, 14, 0, 0},
    {kExtFtmGroup, 33, 12, 0, 0},   {kExtFtmGroup, 34, 12, 10, 2},  {kExtFtmGroup, 35, 12, 10, 2},
    {kExtFtmGroup, 36, 15, 10, 2},  {kExtFtmGroup, 38, 12, 0, 0},   {kExtFtmGroup, 150, 13, 12, 1},
    {kExtFtmGroup, 151, 12, 10, 2}, {kExtFtmGroup, 200, 12, 0, 0},  {kExtFtmGroup, 201, 12, 10, 2},
    {kExtFtmGroup, 202, 111, 10, 1},
    {kExtFtmGroup, 203, 12, 0, 0},  {kExtFtmGroup, 204, 22, 10, 1}, {kExtFtmGroup, 205, 22, 10, 1},
    {kExtFtmGroup, 206, 35, 0, 0},  {kExtFtmGroup, 207, 14, 11, 1}, {kExtFtmGroup, 208, 11, 0, 0},
    {kExtFtmGroup, 213, 15, 10, 1}, {kExtFtmGroup, 214, 12, 10, 1}, {kExtFtmGroup, 215, 14, 0, 0},
    {kExtFtmGroup, 216, 14, 0, 0},  {kExtFtmGroup, 217, 12, 0, 0},  {kExtFtmGroup, 245, 12, 10, 2},
    {kExtFtmGroup, 246, 12, 0, 0},  {kExtFtmGroup, 247, 12, 10, 2},
    {kLtmGroup, 1338, 35, 0, 0},    {kLtmGroup, 1340, 12, 0, 0},    {kLtmGroup, 1342, 13, 10, 2},
    {kLtmGroup, 1354, 18, 0, 0},
};
// clang-format on

const Shape* shapeOf(std::uint16_t group, std::uint16_t id) {
    for (const Shape& s : kShapes)
        if (s.group == group && s.id == id) return &s;
    return nullptr;
}

std::uint16_t le16(const Bytes& b, std::size_t at) {
    return at + 1 < b.size() ? static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)) : 0;
}
std::uint8_t at(const Bytes& b, std::size_t i) { return i < b.size() ? b[i] : 0; }
Bytes slice(const Bytes& b, std::size_t from, std::size_t n) {
    Bytes out(n, 0);
    for (std::size_t i = 0; i < n && from + i < b.size(); ++i) out[i] = b[from + i];
    return out;
}

// The phone's own answer to a command whose reply depends on the request or
// on a store. Starts from the default reply (echoed header, zeros).
void answer(ExtFtmState& st, std::uint16_t id, const Bytes& req, Bytes& reply) {
    switch (id) {
    case 15: {  // I2C: type, second byte, slave, register-address length, register, data length, data
        const std::uint8_t type = at(req, 10), slave = at(req, 12), n = at(req, 16);
        const std::uint16_t reg = le16(req, 14);
        if (type == 0) {
            Bytes data = st.i2c[{slave, reg}];
            data.resize(n, 0);
            reply.insert(reply.end(), data.begin(), data.end());
        } else if (type == 1) {
            st.i2c[{slave, reg}] = slice(req, 17, n);
        }
        break;
    }
    case 18: {  // memory card: type, u32 length, 128-byte name, data
        const std::uint8_t type = at(req, 10);
        const std::size_t n = static_cast<std::size_t>(le16(req, 11)) | (static_cast<std::size_t>(le16(req, 13)) << 16);
        const Bytes rawName = slice(req, 15, 128);
        const std::string name(rawName.begin(), std::find(rawName.begin(), rawName.end(), 0));
        if (type == 0) {
            auto f = st.mmc_files.find(name);
            Bytes data = f == st.mmc_files.end() ? Bytes{} : f->second;
            if (f == st.mmc_files.end()) reply[10] = 1;
            data.resize(n, 0);
            reply.insert(reply.end(), data.begin(), data.end());
        } else if (type == 1) {
            st.mmc_files[name] = slice(req, 143, n);
        }
        break;
    }
    case 21:  // factory data: operation, u16 address, the byte for a write
        if (at(req, 10) == 1) {
            st.factory_data[le16(req, 11)] = at(req, 13);
            reply.resize(12);  // a write answers the status alone
        } else {
            reply[12] = st.factory_data[le16(req, 11)];
        }
        break;
    case 205:  // KC write: 0, 0, 9, then the nine bytes, which come back
        st.kc_file = slice(req, 13, 9);
        [[fallthrough]];
    case 204:
        std::copy(st.kc_file.begin(), st.kc_file.begin() + std::min<std::size_t>(9, st.kc_file.size()), reply.begin() + 13);
        break;
    case 200: st.display = at(req, 10); break;  // display switch: the display number
    case 245: {                                 // keypad backlight: u32 on + 10 x row
        const std::uint32_t v = le16(req, 10) | (static_cast<std::uint32_t>(le16(req, 12)) << 16);
        // A phone that refuses the command (a status a test set) switches nothing.
        if (auto s = st.statuses.find({kExtFtmGroup, 245}); s != st.statuses.end() && s->second) break;
        st.keypad_backlight[v / 10] = v % 10;
        break;
    }
    case 246:  // slider: the raw state
        reply[10] = static_cast<std::uint8_t>(st.slider_state);
        reply[11] = static_cast<std::uint8_t>(st.slider_state >> 8);
        break;
    case 208: reply[10] = at(req, 10); break;  // mode echo
    case 213:                                  // real-time clock start: the time comes back after the status
        reply[11] = at(req, 11);
        reply[12] = at(req, 12);
        break;
    case 214: reply[11] = at(req, 11); break;  // oscillator switch echo after the status
    default: break;
    }
}

std::optional<Bytes> extFtm(Phone& p, const Bytes& req) {
    const std::uint16_t group = le16(req, 2), id = le16(req, 4);
    const Shape* shape = shapeOf(group, id);
    if (!shape) return std::nullopt;
    ExtFtmState& st = ext_ftm(p);
    if (group == kExtFtmGroup && id == 19 && at(req, 10) == 3 && !st.answers_low_power_3) return std::nullopt;
    if (group == kExtFtmGroup && st.answers_only_in_ftm && p.power() != Power::Ftm) return std::nullopt;

    if (group == kLtmGroup && id == 1340) st.irda_test = at(req, 11) != 0;
    Bytes reply = slice(req, 0, 10);
    if (auto b = st.bodies.find({group, id}); b != st.bodies.end()) {
        reply.insert(reply.end(), b->second.begin(), b->second.end());
    } else if (group == kExtFtmGroup && id == 15 && !i2c_answers(p, at(req, 12))) {
        reply.resize(shape->length, 0);  // no device at the address: its status at once, no data
        reply[10] = static_cast<std::uint8_t>(kI2cNoDevice);
    } else {
        reply.resize(shape->length, 0);
        if (group == kExtFtmGroup) answer(st, id, req, reply);
    }
    if (auto s = st.statuses.find({group, id}); s != st.statuses.end() && shape->status_width) {
        if (shape->status_at < reply.size()) reply[shape->status_at] = static_cast<std::uint8_t>(s->second);
        if (shape->status_width == 2 && shape->status_at + 1u < reply.size())
            reply[shape->status_at + 1] = static_cast<std::uint8_t>(s->second >> 8);
    }
    return reply;
}

// GPIO: 8-byte header echoed, the pin number, the values read, the status.
std::optional<Bytes> gpio(Phone& p, const Bytes& req) {
    const std::uint32_t op = le16(req, 4) | (static_cast<std::uint32_t>(le16(req, 6)) << 16);
    if (op > 6) return std::nullopt;
    ExtFtmState& st = ext_ftm(p);
    GpioPin& pin = st.gpio[at(req, 8)];
    Bytes reply = slice(req, 0, 9);
    switch (op) {
    case 0: reply.push_back(pin.out); break;
    case 1: pin.out = at(req, 9); break;
    case 2: reply.push_back(pin.in); break;
    case 3: reply.push_back(pin.oe); break;
    case 4: pin.oe = at(req, 9); break;
    case 5: reply.insert(reply.end(), {pin.select, pin.pull_ud, pin.pull_en, pin.dir}); break;
    case 6:
        pin.select = at(req, 9);
        pin.pull_ud = at(req, 10);
        pin.pull_en = at(req, 11);
        pin.dir = at(req, 12);
        break;
    }
    reply.push_back(st.gpio_status[op]);
    return reply;
}

const bool registered = [] {
    add_default_responder(Channel::Sync, [](Phone& p, const Bytes& req) -> std::optional<Bytes> {
        if (req.size() >= 10 && req[0] == 0x4B && req[1] == 0x0B) return extFtm(p, req);
        if (req.size() >= 9 && req[0] == 0x4B && req[1] == 0x00 && le16(req, 2) == 0x0100) return gpio(p, req);
        return std::nullopt;
    });
    return true;
}();

} // namespace

ExtFtmState& ext_ftm(Phone& phone) {
    return family_state_of<ExtFtmState>(phone, "ext_ftm");
}

} // namespace qmsl_sim
