// The simulated phone's AT command engine on the raw channel.
#include "qmsl_at_sim.h"

#include "library.h"

#include <algorithm>

namespace qmsl_sim {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kObexMode[] = "obex_mode";

bool inObexMode(const Phone& p) {
    auto it = p.values.find(kObexMode);
    return it != p.values.end() && it->second == 1;
}

bool startsWithAt(const Bytes& req) {
    return req.size() >= 2 && (req[0] == 'A' || req[0] == 'a') && (req[1] == 'T' || req[1] == 't');
}

std::string nameOf(const std::string& command) { return command.substr(0, command.find_first_of("=?")); }

// Commands whose query reply carries the value alone, without "NAME: ".
bool bareQueryReply(const std::string& name) { return name == "+WS46"; }

// The reply of a command that has no canned one: the settings store.
AtReply ownReply(AtState& st, const std::string& command) {
    AtReply r;
    const std::string name = nameOf(command);
    if (command == "E0" || command == "E1") {
        st.echo = command == "E1";
    } else if (command.size() > name.size() && command[name.size()] == '=') {
        st.settings[name] = command.substr(name.size() + 1);
    } else if (command == name + "?") {
        auto it = st.settings.find(name);
        if (it != st.settings.end()) r.lines.push_back(bareQueryReply(name) ? it->second : name + ": " + it->second);
    }
    return r;
}

std::optional<Bytes> respond(Phone& p, const Bytes& req) {
    if (inObexMode(p) || !startsWithAt(req)) return std::nullopt;
    AtState& st = at_engine(p);
    const auto end = std::find_if(req.begin(), req.end(), [](std::uint8_t b) { return b == '\r' || b == 0; });
    const std::string command(req.begin() + 2, end);
    const bool echo = st.echo;  // the echo follows the setting in force when the line came
    st.commands.push_back(command);

    AtReply r;
    if (auto it = st.replies.find(command); it != st.replies.end()) {
        r = it->second;
    } else if (auto named = st.replies.find(nameOf(command)); named != st.replies.end()) {
        r = named->second;
    } else {
        r = ownReply(st, command);
    }
    if (r.silent) return std::nullopt;

    Bytes reply;
    if (echo) reply.assign(req.begin(), end != req.end() && *end == '\r' ? end + 1 : end);
    auto append = [&reply](const std::string& s) { reply.insert(reply.end(), s.begin(), s.end()); };
    for (const std::string& line : r.lines) append("\r\n" + line + "\r\n");
    append("\r\n" + r.result);
    if (r.cut && reply.size() > *r.cut) reply.resize(*r.cut);
    if (command == "^SQWE=3" && r.result == "OK") p.values[kObexMode] = 1;
    return reply;
}

const bool registered = [] {
    add_default_responder(Channel::Raw, respond);
    return true;
}();

} // namespace

AtState& at_engine(Phone& phone) {
    std::shared_ptr<void>& slot = phone.family_state["at"];
    if (!slot) slot = std::make_shared<AtState>();
    return *static_cast<AtState*>(slot.get());
}

} // namespace qmsl_sim
