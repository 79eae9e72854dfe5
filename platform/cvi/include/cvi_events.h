// The run-time's event loop: one thread, one poll() over every file
// descriptor that a part of the run-time watches (TCP listeners and
// conversations now; a panel front end adds the terminal's stdin the same
// way). Handlers run only inside ProcessSystemEvents or RunUserInterface,
// on the caller's thread. Every pass also runs the callbacks that are due on
// the process clock.
//
// Popups do not pump the loop: a handler is never re-entered from a popup.
#pragma once

#include "cvi_util.h"

#ifdef __cplusplus
extern "C" {
#endif

// Runs one pass without waiting: every watched descriptor that is ready has
// its handler called once, then the due clock callbacks run. Returns 0.
CVI_API int ProcessSystemEvents(void);
// Runs passes (waiting up to a few milliseconds in each) until a handler
// calls QuitUserInterface; returns the code given to it. Nested calls are
// allowed; QuitUserInterface ends the innermost one.
CVI_API int RunUserInterface(void);
// Makes the running RunUserInterface return `returnCode` after the current
// pass. Outside RunUserInterface it has no effect. Returns 0.
CVI_API int QuitUserInterface(int returnCode);

#ifdef __cplusplus
}

#include <cstdint>
#include <functional>

namespace cvi {

using WatchId = std::uint64_t;
// Called with the poll() result bits of the descriptor.
using FdHandler = std::function<void(short revents)>;

// Watches `fd` for the poll() `events` (POLLIN, POLLOUT, ...); returns an id
// that is never 0, or 0 for a negative fd or one that is already watched.
CVI_API WatchId watch_fd(int fd, short events, FdHandler handler);
// Stops a watch; safe inside any handler, also its own. Unknown ids are
// ignored. The descriptor itself is not closed.
CVI_API void unwatch(WatchId id);
// Number of active watches (for tests).
CVI_API std::size_t watch_count();

} // namespace cvi
#endif
