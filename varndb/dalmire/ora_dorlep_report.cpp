// The test report: the record's fields into the report import, with the
// station's own MAC id.
#include "dalmire_internal.h"

#include "errtext.h"
#include "varndb.h"

namespace dalmire {
namespace {

constexpr const char* kReportBlock =
    "begin :l_ret_wert := 0 ; :l_ret_wert := MERO . DORLEP_DBC . KT_IMP_DORLEP ( :v_imei_nr , :i_pruefstatus , "
    ":v_linie_staort , :v_linie_typ , :i_linie_nr , to_date ( :v_pruef_datum , 'YYYY-MM-DD HH24:MI:SS' ) , "
    ":v_sach_nr , :v_sw_rel , to_date ( :v_comp_datum , 'YYYY-MM-DD HH24:MI:SS' ) , :v_simcard_nr , "
    ":v_flash_nr , :i_Zpos , :v_pcMacId , :i_StdMapVer , :i_Provider , :i_DeltaMapVer , :i_Simlock , "
    ":i_Bitmap , :i_Sound ) ; COMMIT ; END ;";

// A field of the record as a VARCHAR of the given capacity; a field without
// its terminator is not read past its end.
template <std::size_t N>
sql::Bind field(const char (&f)[N], std::uint16_t& len, std::size_t capacity) {
    return inText(f, len, capacity < N ? capacity : N);  // reads at most that many bytes
}

int writeReport(const Varn_DorlepData* rec, char* errText) {
    if (int c = refuseNull(errText, {rec})) return c;
    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    std::int32_t ret = 0;
    std::int32_t ints[] = {rec->pruefstatus, rec->linie_nr,     rec->iZpos,    rec->iStdMapVer, rec->iProvider,
                           rec->iDeltaMapVer, rec->iSimlock,    rec->iBitmap,  rec->iSound};
    std::uint16_t len[11] = {};
    using sql::Dir;
    const sql::Bind binds[] = {
        sql::bind_int(Dir::out, ret),
        field(rec->imei_nr, len[0], 16),
        sql::bind_int(Dir::in, ints[0]),
        field(rec->linie_staort, len[1], 3),
        field(rec->linie_typ, len[2], 1),
        sql::bind_int(Dir::in, ints[1]),
        field(rec->pruef_datum, len[3], 20),
        field(rec->sach_nr, len[4], 25),
        field(rec->sw_rel, len[5], 40),
        field(rec->comp_datum, len[6], 20),
        field(rec->simcard_nr, len[7], 20),
        field(rec->flash_nr, len[8], 20),
        sql::bind_int(Dir::in, ints[2]),
        inText(state().mac, len[9], 20),  // the connection's MAC id, not the record's
        sql::bind_int(Dir::in, ints[3]),
        sql::bind_int(Dir::in, ints[4]),
        sql::bind_int(Dir::in, ints[5]),
        sql::bind_int(Dir::in, ints[6]),
        sql::bind_int(Dir::in, ints[7]),
        sql::bind_int(Dir::in, ints[8]),
    };
    sql::Sqlca ca = runWithRerun(kReportBlock, binds);
    if (!ca.ok()) {
        varndb::put_text(errText, "Oracle error: %d (%s)!", ca.sqlcode, ca.sqlerrm.c_str());
        return VARNDB_E_LOCAL;
    }
    if (ret != 0) varndb::put_text(errText, "KT_IMP_DORLEP() returns (%d)!", ret);
    autoDisconnect();
    return ret;
}

} // namespace
} // namespace dalmire

extern "C" int varndb_WriteReport(const Varn_DorlepData* rec, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::writeReport(rec, errText); });
}
