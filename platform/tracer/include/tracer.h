/* The line's trace library: numbered trace sessions whose lines go to the
 * terminal and/or to numbered, rotated trace files.
 *
 * A session is opened from a settings text of KEY:VALUE pairs joined by
 * ':', for example "TERMINAL:1:FILE:1:MAXFILES:010:FILENAME:tracefile":
 *   TERMINAL  0 or 1   write each line to standard output (default 0), its
 *                      control bytes shown as "\xNN" (the files keep them)
 *   FILE      0 or 1   write lines to a trace file once tracer_openFile ran
 *                      (default 0)
 *   MAXFILES  1..999   how many numbered files are kept (default 1)
 *   FILENAME  text     base name of the files (default "trace"); the files
 *                      are FILENAME.001 (the newest) up to FILENAME.<MAXFILES>
 * Keys may come in any order; each at most once. An empty text gives a
 * session with neither output (its lines are still counted by the capture of
 * tracer_test.h).
 *
 * Every call returns TRACER_OK (0) or a negative TRACER_ERR_* code; a bad
 * argument or an unknown session is an error, never a crash. Not thread-safe:
 * one calling thread, like the system it serves.
 */
#ifndef TRACER_H
#define TRACER_H

#define TRACER_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Handle of a trace session; never 0. */
typedef int TracerSession;

#define TRACER_OK 0
#define TRACER_ERR_SETTINGS (-1)    /* the settings text is malformed */
#define TRACER_ERR_SESSION (-2) /* no such (open) session */
#define TRACER_ERR_FILE (-3)    /* a trace file could not be opened or written */
#define TRACER_ERR_ARG (-4)     /* a null pointer where a value is needed */

/* Opens a session from a settings text; the handle goes to *session. */
TRACER_API int tracer_init(const char* settings, TracerSession* session);
/* Starts a fresh trace file: the kept files move up one number (the one at
 * MAXFILES is dropped) and FILENAME.001 is created. Does nothing (and
 * succeeds) for a session without file output. Reopening rotates again. */
TRACER_API int tracer_openFile(TracerSession session);
/* Puts one line out to every output of the session. */
TRACER_API int tracer_write(TracerSession session, const char* line);
/* Closes the session's trace file, if one is open. */
TRACER_API int tracer_closeFile(TracerSession session);
/* Closes the file and forgets the session. */
TRACER_API int tracer_close(TracerSession session);

#ifdef __cplusplus
}
#endif

#endif
