// The record of calls and the scripted answers of pellin_test.h.
#include "pellin_internal.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

namespace pellin {
namespace {

struct Record {
    std::vector<pellin_test::Call> calls;
    std::map<std::string, std::vector<pellin_test::Script>> scripts;
};

Record& record() {
    static Record r;
    return r;
}

} // namespace

std::optional<pellin_test::Script> enter(pellin_test::Call call) {
    Record& r = record();
    auto it = r.scripts.find(call.fn);
    r.calls.push_back(std::move(call));
    if (it == r.scripts.end() || it->second.empty()) return std::nullopt;
    pellin_test::Script s = it->second.front();
    if (it->second.front().times > 0 && --it->second.front().times == 0) it->second.erase(it->second.begin());
    return s;
}

int scripted(const pellin_test::Script& s, char* errText) {
    if (s.result != 0) put_text(errText, "%s", s.text.c_str());
    return s.result;
}

void put_text(char* errText, const char* fmt, ...) {
    if (!errText) return;
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(errText, PELLIN_ERRTEXT_SIZE, fmt, ap);
    va_end(ap);
}

} // namespace pellin

namespace pellin_test {

void reset() {
    pellin::record().calls.clear();
    pellin::record().scripts.clear();
}

void script(const std::string& fn, Script s) { pellin::record().scripts[fn].push_back(std::move(s)); }

std::vector<Call> calls() { return pellin::record().calls; }

std::vector<Call> calls(const std::string& fn) {
    std::vector<Call> out;
    for (const Call& c : pellin::record().calls)
        if (c.fn == fn) out.push_back(c);
    return out;
}

} // namespace pellin_test
