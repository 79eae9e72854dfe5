// Texts for result codes from the database's message table
// (mero.bas_meltex, language "006", number 200000 - code).
#pragma once

#include <string>

namespace varndb {

// The stored text; or "getErrorText() couldn't find text for error <code>!"
// when there is no row or the text is empty; or "getErrorText() sqlerror
// (<sqlcode>) [<message>]" cut to 200 characters when the look-up fails.
std::string message_text(int code);

} // namespace varndb
