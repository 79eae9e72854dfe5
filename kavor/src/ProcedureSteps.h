// Fixed sequences of procedure steps. A step is one call with its start line
// ("\t<name>() start") and its result line, done or failed; the line is
// formatted after the call, so placeholders of out-arguments show what the
// call returned. The first failed step ends the sequence.
#pragma once

#include "TestProcedures.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>

namespace kavor {

struct Step {
    const char* name;
    std::function<bool()> call;
    std::function<std::string()> line;
};

// A step whose line shows values known before the call (a std::string
// stands for its text).
template <typename Call, typename... A>
Step step(const char* name, Call call, const char* format, A... args);

// printf-style formatting into a string.
std::string stepText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Binary data shown as text: at most n bytes, ending at the first zero byte.
std::string shownText(const void* data, std::size_t n);

bool runStep(TestProcedures& p, const Step& s);
bool runSteps(TestProcedures& p, std::initializer_list<Step> steps);

// The microphone-bias procedure as a step of a longer audio sequence.
Step micBiasStep(QmslHandle h, unsigned short iAudioDevice);

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
