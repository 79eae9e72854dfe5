/* The interface header compiles as C with the same layout. */
#include "varndb.h"

size_t varndb_c_report_size(void) { return sizeof(Varn_DorlepData); }
size_t varndb_c_report_mac_offset(void) { return offsetof(Varn_DorlepData, pcMacId); }
size_t varndb_c_add_data_size(void) { return sizeof(t_varn_orgTovikAddData); }
