// Text from outside (a remote message, a traced raw buffer, an operator's
// entry) shown on a terminal: its control bytes are shown as "\xNN", never
// handed to the terminal to execute. Control bytes are C0 (below 0x20)
// except newline and tab, DEL, C1 (0x80..0x9F, raw or UTF-8 encoded) and
// any byte that is not part of a well-formed UTF-8 sequence; well-formed
// UTF-8 text passes unchanged. A backslash stays a backslash.
#pragma once

#include "cvi_util.h"

#ifdef __cplusplus
#include <cstddef>
#include <string>
#include <string_view>

namespace cvi {

// The text as it is shown.
CVI_API std::string shown_text(std::string_view text);

// The same for a stream read in pieces, without allocating (safe in a
// signal handler): writes the shown form of in[0..n) to `out`, which holds
// at least 4 * n bytes, and returns its length. Unless `at_end`, a UTF-8
// sequence cut at the end of the piece is left unread; *consumed tells how
// many bytes were used, and the caller passes the rest again with the next
// piece.
CVI_API std::size_t shown_bytes(const char* in, std::size_t n, bool at_end, char* out, std::size_t* consumed);

} // namespace cvi
#endif
