// The step runner of the fixed procedure sequences and its line helpers.
#include "ProcedureSteps.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kavor {

std::string stepText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (n > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        // A %c of a zero byte ends the line there, as it does in the log.
        text.assign(buffer.data());
    }
    va_end(again);
    return text;
}

std::string shownText(const void* data, std::size_t n) {
    if (!data) return {};
    const char* p = static_cast<const char*>(data);
    return std::string(p, strnlen(p, n));
}

bool runStep(TestProcedures& p, const Step& s) {
    p.logStep(TestProcedures::StepInfo, "\t%s() start", s.name);
    const bool bOk = s.call();
    return p.logResult(bOk, "%s", s.line().c_str());
}

bool runSteps(TestProcedures& p, std::initializer_list<Step> steps) {
    for (const Step& s : steps)
        if (!runStep(p, s)) return false;
    return true;
}

} // namespace kavor
