#include "message_text.h"

#include "sql_session.h"

#include <cstdint>
#include <cstdio>

namespace varndb {

std::string message_text(int code) {
    static const char* const kSelect =
        "begin select text into :v_text:indicatorText from mero . bas_meltex where sprach_nr = :v_sprachNr "
        "and nr = :i_nr ; END ;";
    sql::Varchar<255> text;
    std::int16_t indicator = -1;
    sql::Varchar<3> language;
    language.set("006");
    char buf[256];
    long long wide = 200000LL - code;
    if (wide > INT32_MAX) {  // no such message number
        std::snprintf(buf, sizeof buf, "getErrorText() couldn't find text for error %d!", code);
        return buf;
    }
    std::int32_t nr = static_cast<std::int32_t>(wide);
    using sql::Dir;
    sql::Sqlca ca = sql::execute(kSelect, {sql::with_indicator(sql::bind_varchar(Dir::out, text), indicator),
                                           sql::bind_varchar(Dir::in, language), sql::bind_int(Dir::in, nr)});
    if (ca.sqlcode != 0 && ca.sqlcode != 1403) {
        std::snprintf(buf, 201, "getErrorText() sqlerror (%d) [%s]", ca.sqlcode, ca.sqlerrm.c_str());
        return buf;
    }
    if (indicator != 0) {
        std::snprintf(buf, sizeof buf, "getErrorText() couldn't find text for error %d!", code);
        return buf;
    }
    return std::string(text.view());
}

} // namespace varndb
