// Argument checks, host-variable helpers and message texts shared by the
// data operations.
#include "dalmire_internal.h"

#include "errtext.h"
#include "varndb.h"

#include <cstring>

namespace dalmire {

std::size_t textLength(const char* s, std::size_t limit) { return s ? strnlen(s, limit + 1) : 0; }

sql::Bind inText(const char* s, std::uint16_t& len, std::size_t capacity) {
    len = static_cast<std::uint16_t>(s ? strnlen(s, capacity) : 0);
    // The layer only reads IN variables.
    return {sql::Type::varchar, sql::Dir::in, const_cast<char*>(s ? s : ""), &len, capacity, nullptr};
}

int checkTexts(char* errText, std::initializer_list<TextArg> texts) {
    for (const TextArg& t : texts) {
        if (textLength(t.value, t.capacity) > t.capacity) {
            varndb::put_text(errText, "%s is too long [>%zu]!", t.what, t.capacity);
            return VARNDB_E_LOCAL;
        }
    }
    return 0;
}

int refuseNull(char* errText, std::initializer_list<const void*> pointers) {
    for (const void* p : pointers) {
        if (!p) {
            varndb::put_text(errText, "One parameter is NULL!");
            return VARNDB_E_NULL;
        }
    }
    return 0;
}

std::string dataText(const unsigned char* data, std::size_t len, std::size_t limit) {
    const char* p = reinterpret_cast<const char*>(data);
    return std::string(p, strnlen(p, len < limit ? len : limit));
}

void putOracleError(char* errText, const sql::Sqlca& ca) {
    varndb::put_text(errText, "Oracle error: %d (%.200s)!", ca.sqlcode, ca.sqlerrm.c_str());
}

void putInternalError(char* errText) noexcept { varndb::put_text(errText, "VaRndb.dll: internal error!"); }

std::string joinPath(const char* directory, const char* name) {
    std::string path = directory ? directory : "";
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
    return path + (name ? name : "");
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name.find_first_of("/\\") == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

} // namespace dalmire
