#include "brannik.h"
#include "brannik_test.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr std::size_t kErrTextSize = 256;

struct Item {
    std::optional<std::string> text;
    std::optional<int> number;
    std::optional<std::string> failure;
    int failAfter = 0;  // calls that still succeed before the failure
};

struct Store {
    std::map<std::string, Item> items;
    bool loaded = false;
};

Store& store() {
    static Store s;
    return s;
}

void putError(char* errText, const char* fmt, ...) {
    if (!errText) return;
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(errText, kErrTextSize, fmt, ap);
    va_end(ap);
}

bool isNumberItem(const std::string& name) {
#define BRANNIK_TEXT(n)
#define BRANNIK_NUMBER(n) \
    if (name == #n) return true;
#define BRANNIK_PUT_TEXT(n)
#define BRANNIK_PUT_NUMBER(n)
#include "brannik_items.inc"
#undef BRANNIK_TEXT
#undef BRANNIK_NUMBER
#undef BRANNIK_PUT_TEXT
#undef BRANNIK_PUT_NUMBER
    return false;
}

// Reads BRANNIK_FILE once, at the first access.
void loadFile(Store& s) {
    s.loaded = true;
    const char* path = std::getenv("BRANNIK_FILE");
    if (!path || !*path) return;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string name = line.substr(0, eq), value = line.substr(eq + 1);
        if (!isNumberItem(name)) {
            s.items[name].text = value;
        } else if (value.size() == 1 && !(value[0] >= '0' && value[0] <= '9')) {
            s.items[name].number = static_cast<unsigned char>(value[0]);
        } else {
            s.items[name].number = std::atoi(value.c_str());
        }
    }
}

Item& item(const std::string& name) {
    Store& s = store();
    if (!s.loaded) loadFile(s);
    return s.items[name];
}

bool planned(Item& it, const char* fn, char* errText) {
    if (!it.failure) return false;
    if (it.failAfter > 0) {
        --it.failAfter;
        return false;
    }
    putError(errText, "%s: %s", fn, it.failure->c_str());
    return true;
}

int getText(const char* fn, const char* name, char* buf, int size, char* errText) {
    Item& it = item(name);
    if (planned(it, fn, errText)) return -1;
    if (!buf || size < 1) {
        putError(errText, "%s: no buffer", fn);
        return -1;
    }
    if (!it.text) {
        putError(errText, "%s: %s not set", fn, name);
        return -1;
    }
    if (it.text->size() + 1 > static_cast<std::size_t>(size)) {
        putError(errText, "%s: %s has %zu characters, the buffer holds %d", fn, name, it.text->size(), size - 1);
        return -1;
    }
    std::memcpy(buf, it.text->c_str(), it.text->size() + 1);
    return 0;
}

int getNumber(const char* fn, const char* name, int* value, char* errText) {
    Item& it = item(name);
    if (planned(it, fn, errText)) return -1;
    if (!value) {
        putError(errText, "%s: no value pointer", fn);
        return -1;
    }
    if (!it.number) {
        putError(errText, "%s: %s not set", fn, name);
        return -1;
    }
    *value = *it.number;
    return 0;
}

int putText(const char* fn, const char* name, const char* value, char* errText) {
    Item& it = item(name);
    if (planned(it, fn, errText)) return -1;
    if (!value) {
        putError(errText, "%s: no text", fn);
        return -1;
    }
    it.text = value;
    return 0;
}

int putNumber(const char* fn, const char* name, int value, char* errText) {
    Item& it = item(name);
    if (planned(it, fn, errText)) return -1;
    it.number = value;
    return 0;
}

} // namespace

#define BRANNIK_TEXT(n) \
    int BrannikGet_##n(char* buf, int size, char* errText) { return getText(__func__, #n, buf, size, errText); }
#define BRANNIK_NUMBER(n) \
    int BrannikGet_##n(int* value, char* errText) { return getNumber(__func__, #n, value, errText); }
#define BRANNIK_PUT_TEXT(n) \
    int BrannikPut_##n(const char* value, char* errText) { return putText(__func__, #n, value, errText); }
#define BRANNIK_PUT_NUMBER(n) \
    int BrannikPut_##n(int value, char* errText) { return putNumber(__func__, #n, value, errText); }
#include "brannik_items.inc"
#undef BRANNIK_TEXT
#undef BRANNIK_NUMBER
#undef BRANNIK_PUT_TEXT
#undef BRANNIK_PUT_NUMBER

namespace brannik_test {

void reset() {
    store().items.clear();
    store().loaded = true;
}
void set_text(const std::string& name, const std::string& value) { item(name).text = value; }
void set_number(const std::string& name, int value) { item(name).number = value; }
void fail(const std::string& name, const std::string& text, int after) {
    item(name).failure = text;
    item(name).failAfter = after;
}
std::optional<std::string> text(const std::string& name) { return item(name).text; }
std::optional<int> number(const std::string& name) { return item(name).number; }

} // namespace brannik_test
