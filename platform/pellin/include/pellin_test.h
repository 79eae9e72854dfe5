// Test access to the database-client wrapper: every call is recorded, and a
// test can script the answer of the next calls of a function, which then do
// not reach the database.
#pragma once

#include "pellin.h"

#include <string>
#include <vector>

namespace pellin_test {

struct Call {
    std::string fn;                  // e.g. "pellin_PutFile"
    std::vector<std::string> texts;  // text arguments in order
    std::vector<long long> numbers;  // number arguments in order
    std::vector<unsigned char> bytes;  // the record passed in (request, report)
};

struct Script {
    int result = -1;                   // the result given back
    std::string text;                  // written into errText when result != 0
    std::string output;                // service code or version text given back (result 0)
    std::vector<unsigned char> bytes;  // flash serial number or coder answer given back (result 0)
    int times = 1;                     // calls it answers; -1: every call
};

// Forgets the recorded calls and the scripts.
PELLIN_API void reset();
// Scripts the next calls of fn (e.g. "pellin_GetServiceCode").
PELLIN_API void script(const std::string& fn, Script s);
PELLIN_API std::vector<Call> calls();
PELLIN_API std::vector<Call> calls(const std::string& fn);

} // namespace pellin_test
