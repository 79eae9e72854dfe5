// The simulated phone's AT command engine on the raw channel.
#include "qmsl_at_sim.h"

#include "library.h"

#include "pclock.h"

#include <algorithm>
#include <cstdlib>

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

// The fields after '=', split at ','.
std::vector<std::string> fieldsOf(const std::string& command) {
    std::vector<std::string> fields;
    const std::size_t eq = command.find('=');
    if (eq == std::string::npos) return fields;
    std::size_t from = eq + 1;
    for (;;) {
        const std::size_t comma = command.find(',', from);
        fields.push_back(command.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos) return fields;
        from = comma + 1;
    }
}

int number(const std::vector<std::string>& f, std::size_t i, int otherwise = -1) {
    if (i >= f.size() || f[i].empty()) return otherwise;
    return std::atoi(f[i].c_str());
}

std::string unquoted(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
    return s;
}

bool isQuery(const std::string& name, const std::vector<std::string>& f) {
    return (name == "+CLCK" || name == "^SLCK" || name == "+CCFC" || name == "+CCWA") && f.size() >= 2 && f[1] == "2";
}

// The stores' answers; false when the command is not theirs.
bool storeReply(AtState& st, const std::string& command, AtReply& r) {
    const std::string name = nameOf(command);
    const std::vector<std::string> f = fieldsOf(command);
    if (name == "+CMGL" || name == "^SMGL") {
        const int filter = number(f, 0, 4);
        for (const AtMessage& m : st.messages)
            if (filter == 4 || m.status == filter)
                r.lines.push_back(name + ": " + std::to_string(m.index) + "," + std::to_string(m.status) + ",," +
                                  std::to_string(m.text.size()) + "\r\n" + m.text);
        return true;
    }
    if (name == "+CMGR" || name == "^SMGR") {
        const int index = number(f, 0);
        auto it = std::find_if(st.messages.begin(), st.messages.end(), [&](const AtMessage& m) { return m.index == index; });
        if (it == st.messages.end()) {
            r.result = "ERROR";
        } else {
            r.lines.push_back(name + ": " + std::to_string(it->status) + ",," + std::to_string(it->text.size()) + "\r\n" +
                              it->text);
        }
        return true;
    }
    if (name == "+CLCK" || name == "^SLCK") {
        const std::string facility = f.empty() ? "" : unquoted(f[0]);
        if (isQuery(name, f)) {
            auto it = st.locks.find(facility);
            if (it == st.locks.end()) {
                r.result = "ERROR";
                return true;
            }
            for (const AtLock& l : it->second)
                r.lines.push_back(name + ": " + std::string(1, l.status) + (l.klass ? std::string(",") + l.klass : ""));
        } else if (f.size() >= 2 && (f[1] == "0" || f[1] == "1")) {
            std::vector<AtLock>& entries = st.locks[facility];
            if (entries.empty()) entries.push_back({});
            for (AtLock& l : entries) l.status = f[1][0];
        }
        return true;
    }
    if (name == "+CCFC") {
        const int reason = number(f, 0, 0);
        const int mode = number(f, 1, 0);
        if (mode == 2) {
            std::string line;
            for (const AtForwarding& e : st.forwarding[reason]) {
                line += (line.empty() ? "" : ",") + std::to_string(e.status) + "," + std::to_string(e.klass) + ",\"" +
                        e.number + "\"";
                if (e.type >= 0) line += "," + std::to_string(e.type);
                if (e.type >= 0 && e.time >= 0) line += "," + std::to_string(e.time);
            }
            if (!line.empty()) r.lines.push_back(name + ": " + line);
        } else if (mode == 3 && f.size() >= 3) {
            st.forwarding[reason].push_back({1, number(f, 4, 7), unquoted(f[2]), number(f, 3), number(f, 5)});
        } else if (mode == 4) {
            st.forwarding.erase(reason);
        }
        return true;
    }
    if (name == "+CCWA" || name == "+CGACT") {
        const bool list = name == "+CGACT" ? command == "+CGACT?" : isQuery(name, f);
        if (list)
            for (const AtPair& p : name == "+CGACT" ? st.contexts : st.waiting)
                r.lines.push_back(name + ": " + std::to_string(p.first) + "," + std::to_string(p.second));
        return list || name == "+CCWA";
    }
    if (name == "+CRSM") {
        std::string line = name + ": " + std::to_string(st.sim_file.sw1) + "," + std::to_string(st.sim_file.sw2);
        if (!st.sim_file.response.empty()) line += ",\"" + st.sim_file.response + "\"";
        r.lines.push_back(line);
        return true;
    }
    return false;
}

// The reply of a command that has no canned one: the stores, else the
// settings store.
AtReply ownReply(AtState& st, const std::string& command) {
    AtReply r;
    const std::string name = nameOf(command);
    if (storeReply(st, command, r)) return r;
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

    // The command's answer time on the clock; past the caller's time-out the
    // phone stays silent (the exchange then waits the time-out).
    const std::string name = nameOf(command);
    auto time = st.answer_ms.find(isQuery(name, fieldsOf(command)) ? name + ",2" : name);
    if (time != st.answer_ms.end() && time->second > 0) {
        auto limit = p.values.find("request_timeout_ms");
        if (limit != p.values.end() && time->second > limit->second) return std::nullopt;
        pclock::sleep_ms(time->second);
    }

    Bytes reply;
    if (echo) reply.assign(req.begin(), end != req.end() && *end == '\r' ? end + 1 : end);
    auto append = [&reply](const std::string& s) { reply.insert(reply.end(), s.begin(), s.end()); };
    for (const std::string& line : r.lines) append("\r\n" + line);
    if (!r.lines.empty()) append("\r\n");
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
    return family_state_of<AtState>(phone, "at");
}

} // namespace qmsl_sim
