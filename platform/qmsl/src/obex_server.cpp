// The simulated phone's OBEX file server on the raw channel.
#include "qmsl_obex_sim.h"

#include "library.h"

#include <algorithm>
#include <optional>

namespace qmsl_sim {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kContinue = 0x90, kSuccess = 0xA0, kBadRequest = 0xC0, kForbidden = 0xC3,
                       kNotFound = 0xC4, kUnavailable = 0xD3;
constexpr std::uint8_t kName = 0x01, kType = 0x42, kTime = 0x44, kTarget = 0x46, kBody = 0x48,
                       kEndOfBody = 0x49, kWho = 0x4A, kAppParams = 0x4C, kConnectionId = 0xCB;

// --- the switch between AT and OBEX mode --------------------------------------

const char kLeaveObex[] = "+++";  // sent with its NUL

bool is_text(const Bytes& req, const char* text, std::size_t n) {
    return req.size() == n + 1 && std::equal(text, text + n, req.begin()) && req[n] == 0;
}

// --- request headers ----------------------------------------------------------

// The headers of a request from `from` on, first of each id. A header that
// runs past the request ends the walk.
std::map<std::uint8_t, Bytes> headers(const Bytes& req, std::size_t from) {
    std::map<std::uint8_t, Bytes> found;
    const std::size_t end = req.size() < 3 ? req.size() : std::min<std::size_t>(req.size(), (req[1] << 8) | req[2]);
    std::size_t at = from;
    while (at < end) {
        const std::uint8_t id = req[at];
        std::size_t data = at + 1, next;
        switch (id & 0xC0) {
        case 0x80: next = at + 2; break;
        case 0xC0: next = at + 5; break;
        default:
            if (at + 3 > end) return found;
            next = at + ((req[at + 1] << 8) | req[at + 2]);
            data = at + 3;
            if (next < data) return found;
        }
        if (next > end) return found;
        found.emplace(id, Bytes(req.begin() + static_cast<std::ptrdiff_t>(data), req.begin() + static_cast<std::ptrdiff_t>(next)));
        at = next;
    }
    return found;
}

// ASCII text of two-byte big-endian characters, up to a NUL character.
std::string text16(const Bytes& b) {
    std::string s;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        if (b[i] == 0 && b[i + 1] == 0) break;
        s.push_back(static_cast<char>(b[i + 1]));
    }
    return s;
}

// Application parameters: tag -> value.
std::map<std::uint8_t, Bytes> parameters(const Bytes& b) {
    std::map<std::uint8_t, Bytes> p;
    for (std::size_t i = 0; i + 2 <= b.size();) {
        const std::size_t n = b[i + 1];
        if (i + 2 + n > b.size()) break;
        p.emplace(b[i], Bytes(b.begin() + static_cast<std::ptrdiff_t>(i + 2), b.begin() + static_cast<std::ptrdiff_t>(i + 2 + n)));
        i += 2 + n;
    }
    return p;
}

// --- answers ------------------------------------------------------------------

struct Answer {
    Bytes b;
    explicit Answer(std::uint8_t code) : b{code, 0, 0} {}
    Answer& u8(std::uint8_t v) { b.push_back(v); return *this; }
    Answer& u16(unsigned v) { return u8(static_cast<std::uint8_t>(v >> 8)).u8(static_cast<std::uint8_t>(v)); }
    Answer& u32(std::uint32_t v) { return u16(v >> 16).u16(v & 0xFFFF); }
    Answer& header(std::uint8_t id, const Bytes& data) {
        u8(id).u16(static_cast<unsigned>(data.size() + 3));
        b.insert(b.end(), data.begin(), data.end());
        return *this;
    }
    Bytes done() {
        b[1] = static_cast<std::uint8_t>(b.size() >> 8);
        b[2] = static_cast<std::uint8_t>(b.size());
        return b;
    }
};

Bytes code_only(std::uint8_t code) { return Answer(code).done(); }

std::string parent_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string leaf_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Bytes listing(const ObexServer& s) {
    std::string x = "<?xml version=\"1.0\"?>\n<folder-listing version=\"1.0\">\n";
    for (const std::string& f : s.folders)
        if (parent_of(f) == s.current) x += "<folder name=\"" + leaf_of(f) + "\"/>\n";
    for (const auto& [path, file] : s.files)
        if (parent_of(path) == s.current)
            x += "<file name=\"" + leaf_of(path) + "\" size=\"" + std::to_string(file.data.size()) + "\"/>\n";
    x += "</folder-listing>\n";
    return Bytes(x.begin(), x.end());
}

// The next packet of the get in progress.
Bytes next_get_packet(ObexServer& s) {
    const std::size_t remaining = s.pending_get.size() - s.get_sent;
    const bool last = s.data_in_end_of_body ? remaining <= s.body_chunk : remaining == 0;
    auto piece = [&](std::size_t n) {
        Bytes d(s.pending_get.begin() + static_cast<std::ptrdiff_t>(s.get_sent),
                s.pending_get.begin() + static_cast<std::ptrdiff_t>(s.get_sent + n));
        s.get_sent += n;
        return d;
    };
    if (last) {
        Bytes rest = piece(remaining);
        s.pending_get.clear();
        s.get_sent = 0;
        return Answer(kSuccess).header(kEndOfBody, rest).done();
    }
    Answer a(kContinue);
    if (s.get_sent == 0 && s.length_header) a.u8(0xC3).u32(static_cast<std::uint32_t>(s.pending_get.size()));
    return a.header(kBody, piece(std::min(remaining, s.body_chunk))).done();
}

// --- the requests -------------------------------------------------------------

Bytes connect(ObexServer& s, const std::map<std::uint8_t, Bytes>& h) {
    s.connected = true;
    s.current.clear();
    Answer a(kSuccess);
    a.u8(0x10).u8(0x00).u16(0x0FFD);
    if (s.connect_sends_id) a.u8(kConnectionId).u32(s.connection_id);
    if (s.connect_sends_who) {
        auto target = h.find(kTarget);
        a.header(kWho, !s.who.empty() ? s.who : target != h.end() ? target->second : Bytes{});
    }
    return a.done();
}

Bytes set_path(ObexServer& s, std::uint8_t flags, const std::map<std::uint8_t, Bytes>& h) {
    auto name = h.find(kName);
    if (name == h.end()) {
        s.set_paths.push_back("\\");
        s.current.clear();
        return code_only(kSuccess);
    }
    const std::string folder = text16(name->second);
    s.set_paths.push_back(folder);
    const std::string path = s.in_current(folder);
    if (!s.has_folder(path)) {
        if (flags & 0x02) return code_only(kNotFound);
        s.add_folder(path);
    }
    s.current = path;
    return code_only(kSuccess);
}

Bytes get(ObexServer& s, const std::map<std::uint8_t, Bytes>& h) {
    auto type = h.find(kType);
    auto name = h.find(kName);
    if (type != h.end()) {
        s.pending_get = listing(s);
        s.get_sent = 0;
    } else if (name != h.end()) {
        auto file = s.files.find(s.in_current(text16(name->second)));
        if (file == s.files.end()) return code_only(kNotFound);
        s.pending_get = file->second.data;
        s.get_sent = 0;
    }
    return next_get_packet(s);
}

Bytes put(ObexServer& s, bool final, const std::map<std::uint8_t, Bytes>& h) {
    auto name = h.find(kName);
    if (name != h.end()) {
        s.put_name = text16(name->second);
        s.put_data.clear();
        auto time = h.find(kTime);
        s.put_time = time != h.end() ? std::string(time->second.begin(), time->second.end()) : "";
    }
    for (std::uint8_t id : {kBody, kEndOfBody}) {
        auto body = h.find(id);
        if (body != h.end()) s.put_data.insert(s.put_data.end(), body->second.begin(), body->second.end());
    }
    if (!final) return code_only(kContinue);
    if (s.put_name.empty()) return code_only(kBadRequest);
    const std::string path = s.in_current(s.put_name);
    if (s.has_folder(path)) return code_only(kForbidden);
    s.files[path] = ObexFile{s.put_data, "", s.put_time};
    s.put_name.clear();
    s.put_data.clear();
    return code_only(kSuccess);
}

Bytes remove(ObexServer& s, const std::string& name) {
    const std::string path = s.in_current(name);
    if (s.files.erase(path)) return code_only(kSuccess);
    if (!s.has_folder(path)) return code_only(kNotFound);
    const std::string below = path + "/";
    auto inside = [&](const std::string& p) { return p.rfind(below, 0) == 0; };
    if (std::any_of(s.folders.begin(), s.folders.end(), inside) ||
        std::any_of(s.files.begin(), s.files.end(), [&](const auto& f) { return inside(f.first); }))
        return code_only(kForbidden);
    s.folders.erase(std::find(s.folders.begin(), s.folders.end(), path));
    return code_only(kSuccess);
}

Bytes copy_or_move(ObexServer& s, bool move, const std::string& from, const std::string& to) {
    auto source = s.files.find(from);
    if (source == s.files.end() || !s.has_folder(parent_of(to))) return code_only(kNotFound);
    if (s.has_folder(to)) return code_only(kForbidden);
    ObexFile file = source->second;
    if (move) s.files.erase(source);
    s.files[to] = std::move(file);
    return code_only(kSuccess);
}

Bytes set_attributes(ObexServer& s, const std::string& name, const Bytes& texts) {
    auto file = s.files.find(s.in_current(name));
    if (file == s.files.end()) return code_only(kNotFound);
    file->second.permissions.assign(texts.begin(), texts.end());
    return code_only(kSuccess);
}

// Which kind of request this is (nullopt: not an OBEX request).
std::optional<ObexOp> kind_of(const Bytes& req, const std::map<std::uint8_t, Bytes>& h) {
    switch (req[0]) {
    case 0x80: return ObexOp::Connect;
    case 0x81: return ObexOp::Disconnect;
    case 0x85: return ObexOp::SetPath;
    case 0x83: return h.count(kAppParams) ? ObexOp::FreeSpace : ObexOp::Get;
    case 0x02:
    case 0x82: {
        auto app = h.find(kAppParams);
        if (app != h.end()) {
            auto p = parameters(app->second);
            auto action = p.find(0x34);
            if (action != p.end()) return std::string(action->second.begin(), action->second.end()) == "move" ? ObexOp::Move : ObexOp::Copy;
            return ObexOp::SetAttr;
        }
        const bool data = h.count(kBody) || h.count(kEndOfBody);
        return req[0] == 0x82 && !data && h.count(kName) ? ObexOp::Delete : ObexOp::Put;
    }
    default: return std::nullopt;
    }
}

std::optional<Bytes> answer(Phone& phone, const Bytes& req) {
    // Outside OBEX mode the port carries AT commands; the AT engine switches
    // it into OBEX mode ("AT^SQWE=3").
    if (!obex_mode(phone)) return std::nullopt;
    ObexServer& s = obex(phone);
    if (is_text(req, kLeaveObex, sizeof kLeaveObex - 1)) {
        set_obex_mode(phone, false);
        s.connected = false;
        return Bytes{'O', 'K'};
    }
    if (req.size() < 3) return std::nullopt;
    const std::size_t first_header = req[0] == 0x80 ? 7 : req[0] == 0x85 ? 5 : 3;
    const auto h = headers(req, first_header);
    const std::optional<ObexOp> op = kind_of(req, h);
    if (!op) return std::nullopt;
    s.requests.push_back(*op);

    std::deque<std::uint8_t>& queue = s.script[*op];
    if (!queue.empty()) {
        const std::uint8_t code = queue.front();
        queue.pop_front();
        if (code != 0) {
            s.pending_get.clear();
            s.get_sent = 0;
            return code_only(code);
        }
    }
    if (*op == ObexOp::Connect) return connect(s, h);
    auto id = h.find(kConnectionId);
    const Bytes session_id{static_cast<std::uint8_t>(s.connection_id >> 24), static_cast<std::uint8_t>(s.connection_id >> 16),
                           static_cast<std::uint8_t>(s.connection_id >> 8), static_cast<std::uint8_t>(s.connection_id)};
    if (!s.connected || id == h.end() || id->second != session_id) return code_only(kUnavailable);

    auto name = [&] { auto n = h.find(kName); return n == h.end() ? std::string() : text16(n->second); };
    switch (*op) {
    case ObexOp::Disconnect: s.connected = false; return code_only(kSuccess);
    case ObexOp::SetPath: return set_path(s, req.size() > 3 ? req[3] : 0, h);
    case ObexOp::Get: return get(s, h);
    case ObexOp::Put: return put(s, req[0] == 0x82, h);
    case ObexOp::Delete: return remove(s, name());
    case ObexOp::FreeSpace: return Answer(kSuccess).u8(kAppParams).u16(9).u8(0x32).u8(4).u32(s.free_bytes).done();
    case ObexOp::Copy:
    case ObexOp::Move: {
        auto p = parameters(h.at(kAppParams));
        return copy_or_move(s, *op == ObexOp::Move, text16(p[0x35]), text16(p[0x36]));
    }
    case ObexOp::SetAttr: return set_attributes(s, name(), parameters(h.at(kAppParams))[0x38]);
    case ObexOp::Connect: break;
    }
    return std::nullopt;
}

const bool registered = [] {
    add_default_responder(Channel::Raw, answer);
    return true;
}();

} // namespace

void ObexServer::add_folder(const std::string& path) {
    if (path.empty() || has_folder(path)) return;
    add_folder(parent_of(path));
    folders.push_back(path);
}

bool ObexServer::has_folder(const std::string& path) const {
    return path.empty() || std::find(folders.begin(), folders.end(), path) != folders.end();
}

void ObexServer::add_file(const std::string& path, std::vector<std::uint8_t> data) {
    add_folder(parent_of(path));
    files[path] = ObexFile{std::move(data), "", ""};
}

std::string ObexServer::in_current(const std::string& name) const { return current.empty() ? name : current + "/" + name; }

ObexServer& obex(Phone& phone) {
    return family_state_of<ObexServer>(phone, "obex");
}

bool obex_mode(Phone& phone) { return phone.values["obex_mode"] == 1; }

void set_obex_mode(Phone& phone, bool on) { phone.values["obex_mode"] = on ? 1 : 0; }

} // namespace qmsl_sim
