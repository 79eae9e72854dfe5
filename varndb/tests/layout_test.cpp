// The records seen from C and from C++ are the same.
#include "varndb.h"

#include <gtest/gtest.h>

extern "C" size_t varndb_c_report_size(void);
extern "C" size_t varndb_c_report_mac_offset(void);
extern "C" size_t varndb_c_add_data_size(void);

TEST(VarndbLayout, CAndCppAgree) {
    EXPECT_EQ(varndb_c_report_size(), sizeof(Varn_DorlepData));
    EXPECT_EQ(varndb_c_report_mac_offset(), offsetof(Varn_DorlepData, pcMacId));
    EXPECT_EQ(varndb_c_add_data_size(), sizeof(t_varn_orgTovikAddData));
}
