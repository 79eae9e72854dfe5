// Texts for the caller's errText buffer: always formatted with the bound of
// the buffer (VARNDB_ERRTEXT_SIZE bytes); a NULL buffer takes no text.
#pragma once

namespace varndb {

void put_text(char* errText, const char* format, ...) __attribute__((format(printf, 2, 3)));
void clear_text(char* errText);

} // namespace varndb
