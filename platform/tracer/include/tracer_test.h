// Test access to the trace library: every line a session puts out is also
// kept in memory, so tests can read exactly what was traced.
//
// Lines are kept only once a test asked for them: reset(), clear_lines()
// or set_capture(true) start the capture. A program that never calls them
// (the station, running for days) keeps no line in memory.
#pragma once

#include "tracer.h"

#include <string>
#include <utility>
#include <vector>

namespace tracer_test {

// Lines written to one session, in order (also after it was closed).
TRACER_API std::vector<std::string> lines(TracerSession session);
// Every line written to any session, with its session, in order.
TRACER_API std::vector<std::pair<TracerSession, std::string>> all_lines();
// Forgets the captured lines (the sessions stay open); starts the capture.
TRACER_API void clear_lines();
// Closes every session and forgets everything; handles start at 1 again.
// Starts the capture.
TRACER_API void reset();
// Starts or stops the capture (what was captured stays until cleared).
TRACER_API void set_capture(bool on);

} // namespace tracer_test
