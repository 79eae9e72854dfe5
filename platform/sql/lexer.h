// Tokens of the PL/SQL subset (internal to the layer).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sql::detail {

struct Token {
    enum class Kind { ident, number, text, host, symbol, end };
    Kind kind = Kind::end;
    std::string value;      // ident: as written; text: unquoted; host: name; symbol: itself
    std::string indicator;  // host: the ":ind" written right after it, if any
    std::size_t pos = 0;    // offset in the statement text
};

// Splits the text; on a character outside the subset returns false and a
// text naming it.
bool tokenize(std::string_view text, std::vector<Token>& out, std::string& error);

} // namespace sql::detail
