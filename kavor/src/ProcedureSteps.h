// The step runner of the procedures: a fixed sequence of calls is a table of
// steps, each a start line ("\t<name>() start"), the call and its step line,
// done or failed; the line is formatted after the call, so placeholders of
// out-arguments show what the call returned. The first failed step ends the
// sequence. Also the one formatter of binary data in step lines.
#pragma once

#include "TestProcedures.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>

namespace kavor {

struct Step {
    const char* name;                   // the call, named in the start line
    std::function<bool()> call;         // true when the call succeeded
    std::function<std::string()> line;  // the step line, built after the call
};

// Runs one step: start line, call, step line as kind 1 or kind 0. Its result
// is the call's.
bool runStep(TestProcedures& p, const Step& step);
// Runs the steps in order and stops at the first that fails.
bool runSteps(TestProcedures& p, std::initializer_list<Step> steps);

// printf-style formatting into a string.
std::string stepText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Binary data shown as text in a step line: at most `length` bytes, ending at
// the first zero byte; nothing for a null pointer. Never reads past `length`.
std::string shownBytes(const void* pData, std::size_t length);

// A step whose line shows values known before the call (a std::string
// stands for its text).
template <typename Call, typename... A>
Step step(const char* name, Call call, const char* format, A... args);

// A step line that shows nothing the call returned.
std::function<std::string()> fixedLine(const char* pcLine);

// The write of one NV item through the library's NV write by handle; its step
// line shows the data (bounded by iLength).
Step nvWriteStep(QmslHandle h, unsigned short usItemId, const void* pData, int iLength);

// The microphone-bias procedure as a step of a longer audio sequence.
Step micBiasStep(QmslHandle h, unsigned short iAudioDevice);

// The first byte of some data, 0 for a null pointer (for the lines that show
// a data pointer with %c).
inline unsigned char firstByte(const void* pData) { return pData ? *static_cast<const unsigned char*>(pData) : 0; }

// A signed 16-bit value as step lines show it, masked to 16 bits: -2 reads
// 65534.
inline int masked16(short sValue) { return static_cast<unsigned short>(sValue); }

// Values handed to the line's format: texts as their characters.
template <typename T>
const T& formatArg(const T& v) {
    return v;
}
inline const char* formatArg(const std::string& s) { return s.c_str(); }

template <typename Call, typename... A>
Step step(const char* name, Call call, const char* format, A... args) {
    return {name, std::function<bool()>(std::move(call)), [=] { return stepText(format, formatArg(args)...); }};
}

} // namespace kavor
