#include "lexer.h"

#include <cctype>

namespace sql::detail {
namespace {

bool ident_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool ident_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

} // namespace

bool tokenize(std::string_view s, std::vector<Token>& out, std::string& error) {
    out.clear();
    std::size_t i = 0;
    auto read_name = [&](std::size_t from) {
        std::size_t j = from;
        while (j < s.size() && ident_char(s[j])) ++j;
        return j;
    };
    while (i < s.size()) {
        char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c))) { ++i; continue; }
        Token t;
        t.pos = i;
        if (ident_start(c)) {
            std::size_t j = read_name(i);
            t.kind = Token::Kind::ident;
            t.value = std::string(s.substr(i, j - i));
            i = j;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            if (j < s.size() && (ident_start(s[j]) || s[j] == '.')) {
                error = "unsupported number at offset " + std::to_string(i);
                return false;
            }
            t.kind = Token::Kind::number;
            t.value = std::string(s.substr(i, j - i));
            i = j;
        } else if (c == '\'') {
            std::string v;
            std::size_t j = i + 1;
            for (;;) {
                if (j >= s.size()) {
                    error = "unterminated text literal at offset " + std::to_string(i);
                    return false;
                }
                if (s[j] == '\'') {
                    if (j + 1 < s.size() && s[j + 1] == '\'') { v += '\''; j += 2; continue; }
                    ++j;
                    break;
                }
                v += s[j++];
            }
            t.kind = Token::Kind::text;
            t.value = std::move(v);
            i = j;
        } else if (c == ':' && i + 1 < s.size() && s[i + 1] == '=') {
            t.kind = Token::Kind::symbol;
            t.value = ":=";
            i += 2;
        } else if (c == ':') {
            std::size_t j = read_name(i + 1);
            if (j == i + 1 || !ident_start(s[i + 1])) {
                error = "host variable without a name at offset " + std::to_string(i);
                return false;
            }
            t.kind = Token::Kind::host;
            t.value = std::string(s.substr(i + 1, j - i - 1));
            i = j;
            // ":var:ind" with no blank between: the indicator of the variable.
            if (i + 1 < s.size() && s[i] == ':' && ident_start(s[i + 1])) {
                std::size_t k = read_name(i + 1);
                t.indicator = std::string(s.substr(i + 1, k - i - 1));
                i = k;
            }
        } else if (c == '=' && i + 1 < s.size() && s[i + 1] == '>') {
            t.kind = Token::Kind::symbol;
            t.value = "=>";
            i += 2;
        } else if (c == '(' || c == ')' || c == ',' || c == ';' || c == '.' || c == '=' || c == '-') {
            t.kind = Token::Kind::symbol;
            t.value = std::string(1, c);
            ++i;
        } else {
            error = std::string("unsupported character '") + c + "' at offset " + std::to_string(i);
            return false;
        }
        out.push_back(std::move(t));
    }
    Token end;
    end.kind = Token::Kind::end;
    end.pos = s.size();
    out.push_back(end);
    return true;
}

} // namespace sql::detail
