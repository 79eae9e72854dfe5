/* Brannik: the line's line-data store. The test steps of a station put the
 * per-phone values (flash serial number, SIM id, phone software version and
 * date) and read the station's constant values (line, site, map versions,
 * part number, ...).
 *
 * This stand-in keeps the items in the calling process between calls: what
 * one call puts, a later get returns. When the environment variable
 * BRANNIK_FILE names a file, the items are first loaded from it, one
 * "Name=value" line per item (e.g. "Standort=BO1", "LineNr=7"); lines
 * starting with '#' and blank lines are skipped. A number item that holds a
 * character code (LineType) may also be given as one character ("LineType=F").
 *
 * Every call returns 0 on success and -1 on failure, with a text of at most
 * 255 characters and a NUL in errText (a NULL errText gets none). Failures:
 *   - an item never set (neither loaded nor put) ("... not set");
 *   - a text getter whose buffer (size bytes, NUL included) cannot hold the
 *     whole text: the buffer is left unchanged, the text is never cut;
 *   - a NULL buffer or value, or a size below 1;
 *   - a failure a test planned for the item (brannik_test.h).
 * Not thread-safe: one calling thread.
 */
#ifndef BRANNIK_H
#define BRANNIK_H

#define BRANNIK_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

#define BRANNIK_TEXT(name) BRANNIK_API int BrannikGet_##name(char* buf, int size, char* errText);
#define BRANNIK_NUMBER(name) BRANNIK_API int BrannikGet_##name(int* value, char* errText);
#define BRANNIK_PUT_TEXT(name) BRANNIK_API int BrannikPut_##name(const char* value, char* errText);
#define BRANNIK_PUT_NUMBER(name) BRANNIK_API int BrannikPut_##name(int value, char* errText);
#include "brannik_items.inc"
#undef BRANNIK_TEXT
#undef BRANNIK_NUMBER
#undef BRANNIK_PUT_TEXT
#undef BRANNIK_PUT_NUMBER

#ifdef __cplusplus
}
#endif

#endif
