// The generated interface: the repository ids the server knows, the
// report struct's member names, and the fixed block sizes.
#include "VarndbCI.hh"

#include <gtest/gtest.h>

#include <string>

namespace {

struct RepoRow {
    const char* name;
    CORBA::TypeCode_ptr tc;
    const char* id;
};
void PrintTo(const RepoRow& r, std::ostream* os) { *os << r.name; }

class RepositoryId : public ::testing::TestWithParam<RepoRow> {};

TEST_P(RepositoryId, AsTheServerKnowsIt) { EXPECT_STREQ(GetParam().tc->id(), GetParam().id); }

#define TC(n) RepoRow{#n, VarndbCI::_tc_##n, "IDL:VarndbCI/" #n ":1.0"}
INSTANTIATE_TEST_SUITE_P(Idl, RepositoryId,
                         ::testing::Values(RepoRow{"VarndbCI", _tc_VarndbCI, "IDL:VarndbCI:1.0"}, TC(InDataType),
                                           TC(OutDataType), TC(ApxOutDataType), TC(OutImeiInfoType),
                                           TC(FlashSerialNumberType), TC(OutBootPinType), TC(OutSADBlock49Type),
                                           TC(DataSeq), TC(Varn_DorlepData)),
                         [](const auto& info) { return std::string(info.param.name); });
#undef TC

TEST(Idl, ReportStructHasTheRecordsMembersInOrder) {
    const char* names[] = {"imei_nr",  "pruefstatus", "linie_staort", "linie_typ", "linie_nr", "pruef_datum",
                           "sach_nr",  "sw_rel",      "comp_datum",   "simcard_nr", "flash_nr", "iZpos",
                           "pcMacId",  "iStdMapVer",  "iProvider",    "iDeltaMapVer", "iSimlock", "iBitmap",
                           "iSound"};
    CORBA::TypeCode_ptr tc = VarndbCI::_tc_Varn_DorlepData;
    ASSERT_EQ(tc->member_count(), 19u);
    for (CORBA::ULong i = 0; i < 19; ++i) EXPECT_STREQ(tc->member_name(i), names[i]) << i;
    EXPECT_EQ(sizeof(VarndbCI::Varn_DorlepData), 240u);
}

TEST(Idl, BlockSizes) {
    EXPECT_EQ(sizeof(VarndbCI::InDataType), 400u);
    EXPECT_EQ(sizeof(VarndbCI::OutDataType), 1000u);
    EXPECT_EQ(sizeof(VarndbCI::ApxOutDataType), 10000u);
    EXPECT_EQ(sizeof(VarndbCI::OutImeiInfoType), 256u);
    EXPECT_EQ(sizeof(VarndbCI::FlashSerialNumberType), 257u);
    EXPECT_EQ(sizeof(VarndbCI::OutBootPinType), 33u);
    EXPECT_EQ(sizeof(VarndbCI::OutSADBlock49Type), 50u);
}

} // namespace
