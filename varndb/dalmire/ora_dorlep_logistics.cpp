// Line logistics: a laser id and a board id paired with an IMEI, or with a
// test result. Both calls have the same shape and give no message text.
#include "dalmire_internal.h"

#include "varndb.h"

namespace dalmire {
namespace {

struct LogisticsCall {
    const char* block;
    const char* valueName;     // for the length check
    std::size_t valueCapacity;
    bool firstCharacterOnly;   // the value is sent as its first character
};

constexpr LogisticsCall kSetImei{
    "begin :lRet := mero . pumline . FbgSetIMEI ( :bvchMacAdr , :bvchLaserId , :bvchFbgId , :bvchIMEI ) ; END ;",
    "IMEI", 20, false};
constexpr LogisticsCall kSetStatus{
    "begin :lRet := mero . LOGISTICS . FbgSetStatus ( :bvchMacAdr , :bvchLaserId , :bvchFbgId , :bvchResult ) ; "
    "END ;",
    "Result", 2, true};

int runLogistics(const LogisticsCall& call, const char* laserId, const char* fbgId, const char* value) {
    if (int c = checkTexts(nullptr, {{"Laser id", laserId, 41}, {"Fbg id", fbgId, 18}})) return c;
    if (!call.firstCharacterOnly)
        if (int c = checkTexts(nullptr, {{call.valueName, value, call.valueCapacity}})) return c;
    if (int c = connectionCheck(nullptr, VARNDB_E_NOT_CONNECTED)) return c;
    std::int32_t ret = 0;
    std::uint16_t len[4] = {};
    const sql::Bind binds[] = {sql::bind_int(sql::Dir::out, ret), inText(state().mac, len[0], 21),
                               inText(laserId, len[1], 41), inText(fbgId, len[2], 18),
                               inText(value, len[3], call.valueCapacity)};
    if (call.firstCharacterOnly && len[3] > 1) len[3] = 1;
    sql::Sqlca ca = runWithRerun(call.block, binds);
    autoDisconnect();
    return ret != 0 ? ret : ca.sqlcode;
}

} // namespace
} // namespace dalmire

extern "C" int varndb_fbg_setimei(const char* laserId, const char* fbgId, const char* imei) {
    return dalmire::guarded(nullptr, [&] { return dalmire::runLogistics(dalmire::kSetImei, laserId, fbgId, imei); });
}

extern "C" int varndb_fbg_setstatusNresult(const char* laserId, const char* fbgId, const char* result) {
    return dalmire::guarded(nullptr,
                            [&] { return dalmire::runLogistics(dalmire::kSetStatus, laserId, fbgId, result); });
}
