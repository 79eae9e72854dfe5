// The panel file: a text format of our own, one item per line.
//
//   # a comment; blank lines are ignored
//   panel 1 title="Phone service"
//   numeric 15 label="COM port" value=1 min=1 max=255
//   text 17 label="Status"
//   button 3 label="FTM mode" callback=cmdftmmode
//
// A line is a keyword, a positive id and attributes `key=value`; a value
// with blanks is written in double quotes (\" and \\ inside). Controls
// belong to the panel line above them; ids are unique within a panel, panel
// ids within the file. Attributes and their defaults:
//   panel:   title ("")
//   numeric: label (""), value (0), min (INT_MIN), max (INT_MAX); min <= value <= max
//   text:    label (""), value ("")
//   button:  label (the callback name), callback (required, a C identifier)
// Anything else (an unknown keyword or attribute, a repeated attribute, a
// bad number) makes the whole file invalid.
#include "panel_model.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

namespace cvi_panel {

Control* Panel::find(int control_id) {
    for (Control& c : controls) {
        if (c.id == control_id) return &c;
    }
    return nullptr;
}

namespace {

struct ParseError {
    std::string reason;
};

// Splits a line into words; a quoted part keeps its blanks. Stops at an
// unquoted '#'.
std::vector<std::string> split_words(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false, quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char ch = line[i];
        if (quoted) {
            if (ch == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word += line[++i];
            } else if (ch == '"') {
                quoted = false;
            } else {
                word += ch;
            }
        } else if (ch == '"') {
            quoted = in_word = true;
        } else if (ch == '#' && !in_word) {
            break;
        } else if (std::isspace(static_cast<unsigned char>(ch))) {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += ch;
            in_word = true;
        }
    }
    if (quoted) throw ParseError{"unterminated quoted value"};
    if (in_word) words.push_back(word);
    return words;
}

int to_int(const std::string& text, const char* what) {
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        throw ParseError{std::string("bad ") + what + " '" + text + "'"};
    return static_cast<int>(v);
}

bool is_identifier(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    for (char ch : s) {
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_') return false;
    }
    return true;
}

// The attributes each keyword accepts.
const std::map<std::string, std::set<std::string>>& allowed_attributes() {
    static const std::map<std::string, std::set<std::string>> table = {
        {"panel", {"title"}},
        {"numeric", {"label", "value", "min", "max"}},
        {"text", {"label", "value"}},
        {"button", {"label", "callback"}},
    };
    return table;
}

using Attributes = std::map<std::string, std::string>;

Attributes read_attributes(const std::vector<std::string>& words, const std::set<std::string>& allowed) {
    Attributes attrs;
    for (std::size_t i = 2; i < words.size(); ++i) {
        std::size_t eq = words[i].find('=');
        if (eq == std::string::npos || eq == 0) throw ParseError{"expected key=value, got '" + words[i] + "'"};
        std::string key = words[i].substr(0, eq);
        if (!allowed.count(key)) throw ParseError{"unknown attribute '" + key + "'"};
        if (!attrs.emplace(key, words[i].substr(eq + 1)).second)
            throw ParseError{"attribute '" + key + "' given twice"};
    }
    return attrs;
}

std::string get(const Attributes& a, const char* key, const std::string& fallback) {
    auto it = a.find(key);
    return it == a.end() ? fallback : it->second;
}

Control make_control(const std::string& keyword, int id, const Attributes& attrs) {
    Control c;
    c.id = id;
    c.label = get(attrs, "label", "");
    if (keyword == "numeric") {
        c.kind = Kind::Numeric;
        c.min = attrs.count("min") ? to_int(attrs.at("min"), "min") : INT_MIN;
        c.max = attrs.count("max") ? to_int(attrs.at("max"), "max") : INT_MAX;
        c.value = attrs.count("value") ? to_int(attrs.at("value"), "value") : 0;
        if (c.min > c.max) throw ParseError{"min is above max"};
        if (c.value < c.min || c.value > c.max) throw ParseError{"value outside min..max"};
    } else if (keyword == "text") {
        c.kind = Kind::Text;
        c.text = get(attrs, "value", "").substr(0, CVI_TEXT_CONTROL_SIZE - 1);
    } else {
        c.kind = Kind::Button;
        c.callback_name = get(attrs, "callback", "");
        if (!is_identifier(c.callback_name)) throw ParseError{"a button needs callback=<function name>"};
        if (c.label.empty()) c.label = c.callback_name;
    }
    return c;
}

} // namespace

int parse_panel_file(const std::string& path, int resource_id, Panel& out, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open panel file '" + path + "'";
        return UI_ERR_FILE_NOT_FOUND;
    }
    std::map<int, Panel> panels;
    Panel* current = nullptr;
    std::string line;
    int line_no = 0;
    try {
        while (std::getline(in, line)) {
            ++line_no;
            std::vector<std::string> words = split_words(line);
            if (words.empty()) continue;
            auto kw = allowed_attributes().find(words[0]);
            if (kw == allowed_attributes().end()) throw ParseError{"unknown item '" + words[0] + "'"};
            if (words.size() < 2) throw ParseError{"'" + words[0] + "' needs an id"};
            int id = to_int(words[1], "id");
            if (id <= 0) throw ParseError{"ids are positive"};
            Attributes attrs = read_attributes(words, kw->second);
            if (words[0] == "panel") {
                auto [it, fresh] = panels.emplace(id, Panel{});
                if (!fresh) throw ParseError{"panel " + words[1] + " defined twice"};
                current = &it->second;
                current->resource_id = id;
                current->title = get(attrs, "title", "");
                continue;
            }
            if (!current) throw ParseError{"a control before the first panel line"};
            if (current->find(id)) throw ParseError{"control " + words[1] + " defined twice"};
            current->controls.push_back(make_control(words[0], id, attrs));
        }
    } catch (const ParseError& e) {
        error = path + ":" + std::to_string(line_no) + ": " + e.reason;
        return UI_ERR_BAD_FILE;
    }
    if (in.bad()) {
        error = "cannot read panel file '" + path + "'";
        return UI_ERR_FILE_NOT_FOUND;
    }
    auto it = panels.find(resource_id);
    if (it == panels.end()) {
        error = path + ": no panel " + std::to_string(resource_id);
        return UI_ERR_NO_SUCH_PANEL;
    }
    out = std::move(it->second);
    return 0;
}

} // namespace cvi_panel
