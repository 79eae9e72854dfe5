// The step runner and the formatting helpers of step lines.
#include "ProcedureSteps.h"

#include "InternalExports.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kavor {

bool runStep(TestProcedures& p, const Step& step) {
    p.logStep(TestProcedures::StepInfo, "\t%s() start", step.name);
    const bool bOk = step.call();
    return p.logResult(bOk, "%s", step.line().c_str());
}

bool runSteps(TestProcedures& p, std::initializer_list<Step> steps) {
    for (const Step& step : steps)
        if (!runStep(p, step)) return false;
    return true;
}

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

std::string shownBytes(const void* pData, std::size_t length) {
    if (!pData || length == 0) return {};
    const char* pcData = static_cast<const char*>(pData);
    return std::string(pcData, strnlen(pcData, length));
}

std::function<std::string()> fixedLine(const char* pcLine) {
    return [pcLine] { return std::string(pcLine); };
}

Step nvWriteStep(QmslHandle h, unsigned short usItemId, const void* pData, int iLength) {
    const auto* pucData = static_cast<const unsigned char*>(pData);
    return {"KAVOR_DIAG_NV_WRITE_F", [=] { return KAVOR_DIAG_NV_WRITE_F(h, usItemId, pucData, iLength) != 0; },
            [=] {
                return stepText("KAVOR_DIAG_NV_WRITE_F(iItemID = %d, pItemData = %s, iLength = %d)", usItemId,
                                shownBytes(pucData, iLength > 0 ? static_cast<std::size_t>(iLength) : 0).c_str(),
                                iLength);
            }};
}

} // namespace kavor
