// Resource names, the banner, the library-wide settings and the two
// library-wide values.
#include "TesselFixture.h"

namespace {

struct ResourceCase {
    const char* name;
    const char* resource;
    int status;
    int port;
    int level;
    int box;
    bool qpst;
};
void PrintTo(const ResourceCase& c, std::ostream* os) { *os << c.resource; }

class ResourceName : public TesselTest, public ::testing::WithParamInterface<ResourceCase> {};

TEST_P(ResourceName, IsParsedOrRefused) {
    const ResourceCase& c = GetParam();
    KAVOR_SetLibraryMode(1);  // a refused name must leave the mode alone
    int session = -5;
    ASSERT_EQ(init(c.resource, &session), c.status);
    EXPECT_EQ(sesTracer_m, trace_);  // always stored
    if (c.status != 0) {
        EXPECT_EQ(session, -5);
        EXPECT_EQ(Mob_ActiveSessions_m(), 0);
        EXPECT_EQ(iTraceLev, 0);
        EXPECT_TRUE(qmsl_sim::library_mode_qpst());
        EXPECT_TRUE(lines().empty());
        return;
    }
    ASSERT_EQ(session, 1);
    const SessionRecord rec = slot(1);
    EXPECT_EQ(rec.iDriverKind, 0);
    EXPECT_EQ(rec.ucComPort, c.port);
    EXPECT_EQ(rec.ucTraceLevel, static_cast<std::uint8_t>(c.level));
    EXPECT_EQ(rec.cBoxComPort, c.box);
    EXPECT_EQ(rec.hHandle, -1);
    EXPECT_EQ(rec.hBoxHandle, -1);
    EXPECT_EQ(rec.sPhoneType, 11);
    EXPECT_EQ(iTraceLev, c.level);
    EXPECT_EQ(qmsl_sim::library_mode_qpst(), c.qpst);
    EXPECT_EQ(KAVOR_GetLibraryMode() != 0, c.qpst);
    EXPECT_EQ(Mob_ActiveSessions_m(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ResourceName,
    ::testing::Values(
        ResourceCase{"Station", "ASRL3::INSTR::LIB:qc:TRACELEVEL:9", 0, 3, 9, -1, false},
        ResourceCase{"NoTraceLevel", "ASRL3::INSTR::LIB:qc", 0, 3, 0, -1, false},
        ResourceCase{"LevelZero", "ASRL3::INSTR::LIB:qc:TRACELEVEL:0", 0, 3, 0, -1, false},
        ResourceCase{"LevelTenIsZero", "ASRL3::INSTR::LIB:qc:TRACELEVEL:10", 0, 3, 0, -1, false},
        ResourceCase{"LevelTwelveIsZero", "ASRL3::INSTR::LIB:qc:TRACELEVEL:12", 0, 3, 0, -1, false},
        ResourceCase{"LevelMinusOneStays", "ASRL3::INSTR::LIB:qc:TRACELEVEL:-1", 0, 3, -1, -1, false},
        ResourceCase{"LevelMinus128Stays", "ASRL3::INSTR::LIB:qc:TRACELEVEL:-128", 0, 3, -128, -1, false},
        ResourceCase{"LevelMinus200LowByteIs56", "ASRL3::INSTR::LIB:qc:TRACELEVEL:-200", 0, 3, 0, -1, false},
        ResourceCase{"Level265LowByteIs9", "ASRL3::INSTR::LIB:qc:TRACELEVEL:265", 0, 3, 9, -1, false},
        ResourceCase{"BoxOne", "ASRL3::INSTR::LIB:qc:MZ4BB:1", 0, 3, 0, 1, true},
        ResourceCase{"BoxSixteen", "ASRL3::INSTR::LIB:qc:MZ4BB:16", 0, 3, 0, 16, true},
        ResourceCase{"BoxSeventeenIsNone", "ASRL3::INSTR::LIB:qc:MZ4BB:17", 0, 3, 0, -1, false},
        ResourceCase{"BoxZeroIsNone", "ASRL3::INSTR::LIB:qc:MZ4BB:0", 0, 3, 0, -1, false},
        ResourceCase{"BoxMinusFiveIsFive", "ASRL3::INSTR::LIB:qc:MZ4BB:-5", 0, 3, 0, 5, true},
        ResourceCase{"BoxMinusSixteen", "ASRL3::INSTR::LIB:qc:MZ4BB:-16", 0, 3, 0, 16, true},
        ResourceCase{"BoxMinusSeventeenIsNone", "ASRL3::INSTR::LIB:qc:MZ4BB:-17", 0, 3, 0, -1, false},
        ResourceCase{"Box251IsNone", "ASRL3::INSTR::LIB:qc:MZ4BB:251", 0, 3, 0, -1, false},
        ResourceCase{"Box261LowByteIsFive", "ASRL3::INSTR::LIB:qc:MZ4BB:261", 0, 3, 0, 5, true},
        ResourceCase{"LevelAndBox", "ASRL7::INSTR::LIB:qc:TRACELEVEL:4:MZ4BB:2", 0, 7, 4, 2, true},
        ResourceCase{"PortTwoDigits", "ASRL12::INSTR::LIB:qc", 0, 12, 0, -1, false},
        ResourceCase{"PortLowByte", "ASRL260::INSTR::LIB:qc", 0, 4, 0, -1, false},
        ResourceCase{"PortNegativeLowByte", "ASRL-3::INSTR::LIB:qc", 0, 253, 0, -1, false},
        ResourceCase{"OptionsAnywhere", "TRACELEVEL:2:qc:ASRL5", 0, 5, 2, -1, false},
        ResourceCase{"NoAsrl", "COM3::INSTR::LIB:qc:TRACELEVEL:9", TESSEL_ERROR_RESOURCE_FORMAT, 0, 0, 0, false},
        ResourceCase{"LowerCaseAsrl", "asrl3::INSTR::LIB:qc", TESSEL_ERROR_RESOURCE_FORMAT, 0, 0, 0, false},
        ResourceCase{"NoQc", "ASRL3::INSTR::LIB:TRACELEVEL:9", TESSEL_ERROR_RESOURCE_FORMAT, 0, 0, 0, false},
        ResourceCase{"UpperCaseQc", "ASRL3::INSTR::LIB:QC", TESSEL_ERROR_RESOURCE_FORMAT, 0, 0, 0, false},
        ResourceCase{"Empty", "", TESSEL_ERROR_RESOURCE_FORMAT, 0, 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TesselTest, NullResourceNameOrSessionPointerIsRefused) {
    int session = -5;
    EXPECT_EQ(_Tessel_init(nullptr, trace_, &session, "t.c", 1), TESSEL_ERROR_RESOURCE_FORMAT);
    EXPECT_EQ(_Tessel_init("ASRL3:qc", trace_, nullptr, "t.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(session, -5);
    EXPECT_EQ(Mob_ActiveSessions_m(), 0);
}

TEST_F(TesselTest, BannerIsWrittenAtLevelZero) {
    open("ASRL3::INSTR::LIB:qc");
    EXPECT_EQ(lines(), (Lines{
                           "(3I)    *** This is L3 Tessel V05.00.40.01 with trace level 0. ",
                           "(3I)    ***   L2 QLib version QLIB V5.0.40,QPHONEMS.",
                           "(3I)    ***   L2 QExt version KAVOR V02.4.15,QPHONEMS.",
                           "(3I)    Using primary port COM3. ",
                       }));
}

TEST_F(TesselTest, BannerWithBoxAndTheTracedDefaultsAtLevelOne) {
    open("ASRL9::INSTR::LIB:qc:TRACELEVEL:1:MZ4BB:5");
    EXPECT_EQ(lines(),
              (Lines{
                  "(3I)    *** This is L3 Tessel V05.00.40.01 with trace level 1. ",
                  "(3I)    ***   L2 QLib version QLIB V5.0.40,QPST.",
                  "(3I)    ***   L2 QExt version KAVOR V02.4.15,QPST.",
                  "(3I)    Using primary port COM9. ",
                  "(3I)    *** MZ4 Boot Box mode using COM5 for control lines. ",
                  "(3C)    _Tessel_PutDtrState(bDtrState=0 ) in File \"Tessel\" Line 272",
                  "(3A)    _Tessel_PutDtrState( ) = 0 (SUCCESS) ",
                  "(3C)    _Tessel_PutUserDefinedTimeoutInitial(iUserDefinedTimeoutInitial=8000 ) in File \"Tessel\" Line 274",
                  "(3A)    _Tessel_PutUserDefinedTimeoutInitial( ) = 0 (SUCCESS) ",
              }));
}

TEST_F(TesselTest, LibraryWideSettingsComeFromTheLatestInit) {
    TracerSession second = 0;
    ASSERT_EQ(tracer_init("", &second), TRACER_OK);
    const int a = open("ASRL3::INSTR::LIB:qc:TRACELEVEL:9:MZ4BB:5");
    ASSERT_TRUE(qmsl_sim::library_mode_qpst());
    unsigned short value = 0;
    _Tessel_PutDtrState(1, "t.c", 2);
    _Tessel_PutUserDefinedTimeoutInitial(100, "t.c", 3);

    int b = 0;
    ASSERT_EQ(_Tessel_init("ASRL4::INSTR::LIB:qc", second, &b, "t.c", 4), 0);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(iTraceLev, 0);
    EXPECT_EQ(sesTracer_m, second);
    EXPECT_FALSE(qmsl_sim::library_mode_qpst());
    EXPECT_EQ(_Tessel_GetDtrState(&value, "t.c", 5), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(_Tessel_GetUserDefinedTimeoutInitial(&value, "t.c", 6), 0);
    EXPECT_EQ(value, 8000);

    // The first session keeps its copy of the level, but tracing follows the
    // library level: closing it at level 0 writes nothing anywhere.
    EXPECT_EQ(slot(a).ucTraceLevel, 9);
    const auto before = tracer_test::all_lines().size();
    EXPECT_EQ(_Tessel_close(a, "t.c", 7), 0);
    EXPECT_EQ(tracer_test::all_lines().size(), before);
}

TEST_F(TesselTest, ValuesAreMissingBeforeTheFirstInitAndSetByIt) {
    unsigned short value = 77;
    EXPECT_EQ(_Tessel_GetDtrState(&value, "t.c", 1), TESSEL_ERROR_NO_VALUE);
    EXPECT_EQ(_Tessel_GetUserDefinedTimeoutInitial(&value, "t.c", 2), TESSEL_ERROR_NO_VALUE);
    EXPECT_EQ(value, 77);
    EXPECT_TRUE(tracer_test::all_lines().empty());  // level 0, no trace session yet

    open();
    EXPECT_EQ(_Tessel_GetDtrState(&value, "t.c", 3), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(_Tessel_GetUserDefinedTimeoutInitial(&value, "t.c", 4), 0);
    EXPECT_EQ(value, 8000);
    EXPECT_EQ(_Tessel_PutDtrState(1, "t.c", 5), 0);
    EXPECT_EQ(_Tessel_PutUserDefinedTimeoutInitial(65535, "t.c", 6), 0);
    EXPECT_EQ(_Tessel_GetDtrState(&value, "t.c", 7), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(_Tessel_GetUserDefinedTimeoutInitial(&value, "t.c", 8), 0);
    EXPECT_EQ(value, 65535);
    EXPECT_EQ(_Tessel_GetDtrState(nullptr, "t.c", 9), TESSEL_ERROR_PARAMETER2);
}

TEST_F(TesselTest, ValueExportsTraceWithSessionZero) {
    traceAt(4);
    unsigned short value = 0;
    EXPECT_EQ(_Tessel_GetDtrState(&value, "v.c", 10), TESSEL_ERROR_NO_VALUE);
    _Tessel_PutDtrState(1, "v.c", 11);
    _Tessel_GetDtrState(&value, "v.c", 12);
    _Tessel_GetUserDefinedTimeoutInitial(&value, "v.c", 13);
    EXPECT_EQ(lines(),
              (Lines{
                  "(3C)    _Tessel_GetDtrState() in File \"v.c\" Line 10",
                  // session 0: no error text follows, even at level 4
                  "(3A) E  _Tessel_GetDtrState(*pbDtrState=0) = 0xbffc19fd (ERROR)   ",
                  "(3C)    _Tessel_PutDtrState(bDtrState=1 ) in File \"v.c\" Line 11",
                  "(3A)    _Tessel_PutDtrState( ) = 0 (SUCCESS) ",
                  "(3C)    _Tessel_GetDtrState() in File \"v.c\" Line 12",
                  "(3A)    _Tessel_GetDtrState(*pbDtrState=1) = 0 (SUCCESS) ",
                  "(3C)    _Tessel_GetUserDefinedTimeoutInitial() in File \"v.c\" Line 13",
                  "(3A) E  _Tessel_GetUserDefinedTimeoutInitial(*piUserDefinedTimeoutInitial=0) = 0xbffc19fd (ERROR)   ",
              }));
}

TEST_F(TesselTest, ExportsBeforeAnyInitTraceNothing) {
    unsigned short value = 0;
    char text[TESSEL_KLF_TEXT_MAX];
    EXPECT_EQ(_Tessel_PutDtrState(1, "t.c", 1), 0);
    EXPECT_EQ(_Tessel_TraceDelay(10, "t.c", 2), 0);
    EXPECT_EQ(_Tessel_KlfGet_cKeyID(48, text, "t.c", 3), 0);
    EXPECT_EQ(_Tessel_GetDtrState(&value, "t.c", 4), 0);
    EXPECT_TRUE(tracer_test::all_lines().empty());
}

} // namespace
