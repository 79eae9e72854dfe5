// Additional phone data (unlock codes, ids, free values) into the database.
#include "dalmire_internal.h"

#include "errtext.h"
#include "varndb.h"

#include <cstddef>
#include <cstring>

namespace dalmire {
namespace {

constexpr const char* kPutDataBlock =
    "begin :lRet := mero . OrgTovikAddData . putData ( i_imei => :bvchImei , i_NOunlockCode => :bvchNOunlockCode , "
    "i_SPunlockCode => :bvchSPunlockCode , i_SIMunlockCode => :bvchSIMunlockCode , "
    "i_CPunlockCode => :bvchCPunlockCode , i_NSunlockCode => :bvchNSunlockCode , "
    "i_MPunlockCode => :bvchMPunlockCode , i_BluetoothId => :bvchBluetoothId , i_FlashId => :bvchFlashId , "
    "i_SimcardId => :bvchSimcardId , i_Var1 => :bvchVar1 , i_Var2 => :bvchVar2 , i_Var3 => :bvchVar3 , "
    "i_Var4 => :bvchVar4 , i_Var5 => :bvchVar5 , o_ErrMsg => :bvchErrMsg ) ; END ;";

// The record's fields in block order; each host variable holds as much as
// its field.
struct Field {
    std::size_t offset, size;
};
#define ADD_DATA_FIELD(f) Field{offsetof(t_varn_orgTovikAddData, f), sizeof(t_varn_orgTovikAddData::f)}
constexpr Field kFields[] = {
    ADD_DATA_FIELD(imei),         ADD_DATA_FIELD(NOunlockCode), ADD_DATA_FIELD(SPunlockCode),
    ADD_DATA_FIELD(SIMunlockCode), ADD_DATA_FIELD(CPunlockCode), ADD_DATA_FIELD(NSunlockCode),
    ADD_DATA_FIELD(MPunlockCode), ADD_DATA_FIELD(BluetoothId),  ADD_DATA_FIELD(FlashId),
    ADD_DATA_FIELD(SimcardId),    ADD_DATA_FIELD(Var1),         ADD_DATA_FIELD(Var2),
    ADD_DATA_FIELD(Var3),         ADD_DATA_FIELD(Var4),         ADD_DATA_FIELD(Var5),
};
#undef ADD_DATA_FIELD
constexpr std::size_t kFieldCount = sizeof kFields / sizeof kFields[0];

int putOrgTovikAddData(const t_varn_orgTovikAddData* rec, char* errText) {
    if (int c = refuseNull(errText, {rec})) return c;
    varndb::clear_text(errText);
    std::int32_t ret = 0;
    sql::Varchar<256> message;
    std::uint16_t len[kFieldCount] = {};
    sql::Bind binds[kFieldCount + 2];
    binds[0] = sql::bind_int(sql::Dir::out, ret);
    const char* base = reinterpret_cast<const char*>(rec);
    for (std::size_t i = 0; i < kFieldCount; ++i)
        binds[i + 1] = inText(base + kFields[i].offset, len[i], kFields[i].size);
    binds[kFieldCount + 1] = sql::bind_varchar(sql::Dir::out, message);

    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    sql::Sqlca ca = runWithRerun(kPutDataBlock, binds);
    autoDisconnect();
    if (!ca.ok()) {
        putOracleError(errText, ca);
        return VARNDB_E_ORACLE;
    }
    // The message may hold 256 characters; errText keeps 255 and the end.
    if (ret != 0) varndb::put_text(errText, "%.*s", static_cast<int>(message.len), message.arr);
    return ret;
}

} // namespace
} // namespace dalmire

extern "C" void varndb_init_t_varn_orgTovikAddData(t_varn_orgTovikAddData* rec) {
    if (rec) std::memset(rec, 0, sizeof *rec);
}

extern "C" int varndb_putOrgTovikAddData(const t_varn_orgTovikAddData* rec, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::putOrgTovikAddData(rec, errText); });
}
