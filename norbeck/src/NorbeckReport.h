// The report record handed to the database wrapper: a version followed by
// the test report of the database interface.
#pragma once

#include "varndb.h"

#include <cstddef>
#include <cstdint>

struct sMeroReportData {
    std::int32_t iVersion;  // 1
    Varn_DorlepData sData;
};

#define NORBECK_REPORT_AT(member, at) \
    static_assert(offsetof(sMeroReportData, sData) + offsetof(Varn_DorlepData, member) == (at), #member)
static_assert(sizeof(sMeroReportData) == 244);
static_assert(offsetof(sMeroReportData, iVersion) == 0);
NORBECK_REPORT_AT(imei_nr, 4);
NORBECK_REPORT_AT(pruefstatus, 24);
NORBECK_REPORT_AT(linie_staort, 28);
NORBECK_REPORT_AT(linie_typ, 32);
NORBECK_REPORT_AT(linie_nr, 36);
NORBECK_REPORT_AT(pruef_datum, 40);
NORBECK_REPORT_AT(sach_nr, 60);
NORBECK_REPORT_AT(sw_rel, 86);
NORBECK_REPORT_AT(comp_datum, 127);
NORBECK_REPORT_AT(simcard_nr, 147);
NORBECK_REPORT_AT(flash_nr, 168);
NORBECK_REPORT_AT(iZpos, 192);
NORBECK_REPORT_AT(pcMacId, 196);
NORBECK_REPORT_AT(iStdMapVer, 220);
NORBECK_REPORT_AT(iProvider, 224);
NORBECK_REPORT_AT(iDeltaMapVer, 228);
NORBECK_REPORT_AT(iSimlock, 232);
NORBECK_REPORT_AT(iBitmap, 236);
NORBECK_REPORT_AT(iSound, 240);
#undef NORBECK_REPORT_AT
