// Per-phone data handed out by the database: the boot PIN of an IMEI and a
// fresh flash serial number.
#include "dalmire_internal.h"

#include "errtext.h"
#include "varndb.h"

#include <cstring>

namespace dalmire {
namespace {

constexpr const char* kBootPinBlock =
    "begin :l_ret := 0 ; :l_ret := mero . bootPin . getBootPin ( :v_imei , :r_bootPin , :n_len ) ; END ;";
constexpr const char* kFlashNumberBlock = "begin :r_FlashNr := mero . getFlashSerialNumber ( :n_len ) ; END ;";

constexpr int kBufferLimit = 256;  // the host buffer and the most a caller may offer
constexpr std::size_t kImeiLimit = 16;

// Copies n returned bytes when they fit the caller's buffer (and the host
// buffer they came in); false otherwise, with *len unchanged.
bool handOver(const sql::Raw<kBufferLimit>& data, int n, unsigned char* buf, int* len) {
    if (n < 0 || n > *len || n > kBufferLimit) return false;
    std::memcpy(buf, data.arr, static_cast<std::size_t>(n));
    *len = n;
    return true;
}

int getImeiInfo(const char* imei, unsigned char* buf, int* len, char* errText) {
    if (int c = refuseNull(errText, {buf, len})) return c;
    varndb::clear_text(errText);
    if (*len > kBufferLimit) {
        varndb::put_text(errText, "Input length > 256!");
        return VARNDB_E_LOCAL;
    }
    if (int c = checkTexts(errText, {{"IMEI number", imei, kImeiLimit}})) return c;
    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    std::int32_t ret = 0, nLen = 0;
    std::uint16_t imeiLen = 0;
    sql::Raw<kBufferLimit> pin;
    using sql::Dir;
    const sql::Bind binds[] = {sql::bind_int(Dir::out, ret), inText(imei, imeiLen, kImeiLimit),
                               sql::bind_raw(Dir::out, pin), sql::bind_int(Dir::out, nLen)};
    sql::Sqlca ca = runWithRerun(kBootPinBlock, binds);
    autoDisconnect();
    if (!ca.ok()) {
        putOracleError(errText, ca);
        return VARNDB_E_ORACLE;
    }
    if (ret != 0)
        varndb::put_text(errText, "GetImeiInfo() returns %d (%.200s)", ret, dataText(pin.arr, pin.len, 200).c_str());
    if (handOver(pin, nLen, buf, len) || ret != 0) return ret;
    varndb::put_text(errText, "Output buffer to small (%d<%d)!", *len, nLen);
    return VARNDB_E_LOCAL;
}

int getFlashSerialNumber(unsigned char* buf, int* len, char* errText) {
    if (int c = refuseNull(errText, {buf, len})) return c;
    varndb::clear_text(errText);
    if (*len > kBufferLimit) {
        varndb::put_text(errText, "Input length > 256!");
        return VARNDB_E_LOCAL;
    }
    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    std::int32_t nLen = *len;
    sql::Raw<kBufferLimit> number;
    using sql::Dir;
    const sql::Bind binds[] = {sql::bind_raw(Dir::out, number), sql::bind_int(Dir::inout, nLen)};
    sql::Sqlca ca = runWithRerun(kFlashNumberBlock, binds);
    autoDisconnect();
    if (!ca.ok()) {
        putOracleError(errText, ca);
        return VARNDB_E_ORACLE;
    }
    if (handOver(number, nLen, buf, len)) return 0;
    varndb::put_text(errText, "Output buffer to small (%d<%d)!", *len, nLen);
    return VARNDB_E_LOCAL;
}

} // namespace
} // namespace dalmire

extern "C" int varndb_getImeiInfo(const char* imei, unsigned char* buf, int* len, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::getImeiInfo(imei, buf, len, errText); });
}

extern "C" int varndb_getFlashSerialNumber(unsigned char* buf, int* len, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::getFlashSerialNumber(buf, len, errText); });
}
