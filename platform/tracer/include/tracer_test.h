// Test access to the trace library: every line a session puts out is also
// kept in memory, so tests can read exactly what was traced.
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
// Forgets the captured lines (the sessions stay open).
TRACER_API void clear_lines();
// Closes every session and forgets everything; handles start at 1 again.
TRACER_API void reset();

} // namespace tracer_test
