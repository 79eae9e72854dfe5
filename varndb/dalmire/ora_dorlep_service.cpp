// Service codes of a phone, as a number or as the database's text.
#include "dalmire_internal.h"

#include "errtext.h"
#include "varndb.h"

#include <cstring>

namespace dalmire {
namespace {

constexpr const char* kServiceCodeBlock =
    "begin :lret := -2 ; :lret := TO_NUMBER ( NVL ( MERO . ZI_SERVICE ( :v_imei_nr , :v_macadr , :v_ipadr ) , "
    "'-1' ) ) ; END ;";
constexpr const char* kCharServiceCodeBlock =
    "begin :v_code := '-2' ; :v_code := NVL ( MERO . ZI_SERVICE ( :v_imei_nr , :v_macadr , :v_ipadr ) , '-1' ) "
    "; END ;";

constexpr std::size_t kImeiLimit = 16;

struct ServiceRun {
    bool ran = false;  // the block ran (successfully or not)
    int result = 0;    // the operation's result when it did not run, else the SQL code
};

// The common steps: the IMEI check, the connection check, the block with
// the station's MAC id and IP text, the auto-disconnect.
ServiceRun runServiceBlock(const char* block, sql::Bind code, const char* imei, char* errText) {
    varndb::clear_text(errText);
    if (textLength(imei, kImeiLimit) > kImeiLimit) {
        varndb::put_text(errText, "IMEI number is to long! [>16]!");
        return {false, VARNDB_E_SERVICE_CODE};
    }
    if (int c = connectionCheck(errText, VARNDB_E_SERVICE_CODE)) return {false, c};
    std::uint16_t len[3] = {};
    const sql::Bind binds[] = {code, inText(imei, len[0], kImeiLimit), inText(state().mac, len[1], 21),
                               inText(state().ip, len[2], 21)};
    sql::Sqlca ca = runWithRerun(block, binds);
    if (!ca.ok()) {
        // The message is given only whole.
        std::string text = "Oracle error: (" + ca.sqlerrm + ")!";
        if (errText && text.size() < VARNDB_ERRTEXT_SIZE) std::memcpy(errText, text.c_str(), text.size() + 1);
    }
    autoDisconnect();
    return {true, ca.sqlcode};
}

int getServiceCode(const char* imei, int* code, char* errText) {
    if (int c = refuseNull(errText, {imei, code})) return c;
    std::int32_t lret = -1;  // a failed block leaves it: *code is then -1
    ServiceRun run = runServiceBlock(kServiceCodeBlock, sql::bind_int(sql::Dir::out, lret), imei, errText);
    if (run.ran) *code = lret;
    return run.result;
}

int getCharServiceCode(const char* imei, char* codeText, char* errText) {
    if (int c = refuseNull(errText, {imei, codeText})) return c;
    sql::Varchar<100> value;
    ServiceRun run = runServiceBlock(kCharServiceCodeBlock, sql::bind_varchar(sql::Dir::out, value), imei, errText);
    if (!run.ran) return run.result;
    codeText[0] = '\0';  // also after a failed block
    if (run.result != 0) return run.result;
    std::string text(value.view());
    if (!text.empty() && text[0] == '-') {
        varndb::put_text(errText, "Error %s in call to mero.zi_service!", text.c_str());
        return VARNDB_E_SESSION;
    }
    std::memcpy(codeText, text.c_str(), text.size() + 1);
    return 0;
}

} // namespace
} // namespace dalmire

extern "C" int varndb_getServiceCode(const char* imei, int* code, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::getServiceCode(imei, code, errText); });
}

extern "C" int varndb_getCharServiceCode(const char* imei, char* code, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::getCharServiceCode(imei, code, errText); });
}
