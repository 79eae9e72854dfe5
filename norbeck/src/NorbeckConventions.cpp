// Module state and the conventions of every operation.
#include "NorbeckModule.h"

#include "tessel.h"
#include "tracer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

NorbeckModule gl_sNorbeck;
int gl_iTypeOfRootKey = 1;

namespace {

std::string vformat(const char* fmt, va_list ap) {
    va_list copy;
    va_copy(copy, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n <= 0) return {};
    std::string s(static_cast<std::size_t>(n), '\0');
    std::vsnprintf(s.data(), s.size() + 1, fmt, ap);
    return s;
}

void putErrMsg(char* cErrMsg, const std::string& text) {
    if (!cErrMsg) return;
    std::size_t n = std::min(text.size(), std::size_t{NORBECK_ERRTEXT_SIZE - 1});
    std::memcpy(cErrMsg, text.data(), n);
    cErrMsg[n] = '\0';
}

} // namespace

void norbeck_Trace(const char* fmt, ...) {
    if (!gl_sNorbeck.iTraceOn) return;
    va_list ap;
    va_start(ap, fmt);
    std::string line = vformat(fmt, ap);
    va_end(ap);
    tracer_write(gl_sNorbeck.sesTracer, line.c_str());
}

void norbeck_SetErrMsg(char* cErrMsg, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string text = vformat(fmt, ap);
    va_end(ap);
    putErrMsg(cErrMsg, text);
}

int norbeck_Failed(const char* cErrMsg) {
    norbeck_Trace("cErrMsg: %s", cErrMsg ? cErrMsg : "");
    return -1;
}

int norbeck_Fail(char* cErrMsg, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string text = vformat(fmt, ap);
    va_end(ap);
    putErrMsg(cErrMsg, text);
    return norbeck_Failed(cErrMsg);
}

int norbeck_FailTraced(char* cErrMsg, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string text = vformat(fmt, ap);
    va_end(ap);
    norbeck_Trace("%s", text.c_str());
    putErrMsg(cErrMsg, text);
    return norbeck_Failed(cErrMsg);
}

std::string norbeck_Printable(const char* text) {
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
            continue;
        }
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
    }
    return out;
}

int norbeck_PhoneFailure(int sesMobile, int iStatus, char* cErrMsg) {
    char cStatusText[TESSEL_ERROR_TEXT_MAX] = "";
    _Tessel_errorMessage(sesMobile, iStatus, cStatusText);
    return norbeck_Fail(cErrMsg, "%s(Instr: %s)", cStatusText, "sesMobile");
}

std::string norbeck_JoinPath(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}
