// The trace writer, its printf-style forms, the byte-array form and the
// traced wait.
#include "TesselInternal.h"
#include "cvi_util.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kTextCut = 450;  // characters of the caller's text kept
constexpr std::size_t kFileCut = 64;   // characters of the file name kept
constexpr std::size_t kLineCut = 512;  // characters of a finished line written
constexpr int kErrorTextLevel = 4;     // level from which a failed result is followed by its text

// Copies at most `cut` characters of src (null counts as empty).
void copyCut(char* dst, std::size_t cut, const char* src) {
    std::snprintf(dst, cut + 1, "%s", src ? src : "");
}

void writeLine(char* cLine) {
    if (std::strlen(cLine) > kLineCut) cLine[kLineCut] = '\0';
    tracer_write(sesTracer_m, cLine);
}

void vTrace(int iSession, int iStatus, int iType, const char* cFile, int iLine, const char* cFormat,
            std::va_list args) {
    char cText[1024];
    std::vsnprintf(cText, sizeof cText, cFormat, args);
    Mob_TRACE(iSession, iStatus, iType, cText, cFile, iLine);
}

} // namespace

void Mob_TRACE(int iSession, int iStatus, int iType, const char* cText, const char* cFile, int iLine) {
    char cTextCut[kTextCut + 1];
    char cFileCut[kFileCut + 1];
    copyCut(cTextCut, kTextCut, cText);
    copyCut(cFileCut, kFileCut, cFile);

    char cLine[1024];
    switch (iType) {
    case TRACE_CALL:
        std::snprintf(cLine, sizeof cLine, "(3C)    %s in File \"%s\" Line %d", cTextCut, cFileCut, iLine);
        break;
    case TRACE_INFO:
        if (iLine != 0)
            std::snprintf(cLine, sizeof cLine, "(3I)    %s in File \"%s\" Line %d", cTextCut, cFileCut, iLine);
        else
            std::snprintf(cLine, sizeof cLine, "(3I)    %s", cTextCut);
        break;
    case TRACE_RESULT:
        if (iStatus == 0) {
            std::snprintf(cLine, sizeof cLine, "(3A)    %s (SUCCESS) ", cTextCut);
            break;
        }
        std::snprintf(cLine, sizeof cLine, "(3A) E  %s (ERROR)   ", cTextCut);
        if (iTraceLev >= kErrorTextLevel && iSession != 0) {
            writeLine(cLine);
            if (_Tessel_errorMessage(iSession, iStatus, cLine) != 0)
                std::snprintf(cLine, sizeof cLine, "Cannot read error message.");
        }
        break;
    case TRACE_PLAIN:
        std::snprintf(cLine, sizeof cLine, "(3I)    %s", cTextCut);
        break;
    default:
        std::snprintf(cLine, sizeof cLine, "(3I)    Tracer error: Wrong trace type (%d).", iType);
        break;
    }
    writeLine(cLine);
}

void Mob_TraceF(int iSession, int iStatus, int iType, const char* cFile, int iLine, const char* cFormat, ...) {
    std::va_list args;
    va_start(args, cFormat);
    vTrace(iSession, iStatus, iType, cFile, iLine, cFormat, args);
    va_end(args);
}

void Mob_TraceCall(int iSession, const char* cFile, int iLine, const char* cFormat, ...) {
    if (!Mob_TraceOn_m()) return;
    std::va_list args;
    va_start(args, cFormat);
    vTrace(iSession, 0, TRACE_CALL, cFile, iLine, cFormat, args);
    va_end(args);
}

void Mob_TraceResult(int iSession, int iStatus, const char* cFormat, ...) {
    if (!Mob_TraceOn_m()) return;
    std::va_list args;
    va_start(args, cFormat);
    vTrace(iSession, iStatus, TRACE_RESULT, "", 0, cFormat, args);
    va_end(args);
}

void Mob_TraceInfo(int iSession, const char* cFile, int iLine, const char* cFormat, ...) {
    if (!Mob_TraceOn_m()) return;
    std::va_list args;
    va_start(args, cFormat);
    vTrace(iSession, 0, TRACE_INFO, cFile, iLine, cFormat, args);
    va_end(args);
}

void Mob_TraceByteArray(int iCount, const unsigned char* pucBytes, const char* cName) {
    const std::string name = cName ? cName : "";
    const std::string indent(3 + name.size(), ' ');
    std::string line = name + "={ ";
    for (int i = 0; pucBytes && i < iCount; ++i) {
        char cValue[4];
        std::snprintf(cValue, sizeof cValue, "%02X ", pucBytes[i]);
        line += cValue;
        if ((i + 1) % 10 == 0) {
            Mob_TRACE(0, 0, TRACE_PLAIN, line.c_str(), "", 0);
            line = indent;
        }
    }
    line += "}";
    Mob_TRACE(0, 0, TRACE_PLAIN, line.c_str(), "", 0);
}

int _Tessel_TraceDelay(int iMs, const char* cFile, int iLine) {
    Mob_TraceCall(0, cFile, iLine, "Tessel is waiting for %d ms.", iMs);
    Delay(iMs / 1000.0);
    return 0;
}
