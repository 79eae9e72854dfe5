// The session table: numbers handed out, the 13th init, close, lookups of
// free and invalid slots, status texts and the revision query.
#include "TesselFixture.h"

#include <climits>
#include <cstring>

namespace {

TEST_F(TesselTest, TwelveSessionsThenThe13thInitFailsWithItsReason) {
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(open("ASRL3::INSTR::LIB:qc:TRACELEVEL:1"), i);
    EXPECT_EQ(Mob_ActiveSessions_m(), 12);

    int session = -5;
    EXPECT_EQ(init("ASRL3::INSTR::LIB:qc:TRACELEVEL:1:MZ4BB:4", &session), TESSEL_ERROR_INIT);
    EXPECT_EQ(session, -5);
    EXPECT_EQ(lines().back(), "(3I)    ERROR: Did not get valid session number. Bailing out.");
    EXPECT_EQ(errorText(0, TESSEL_ERROR_INIT), "ERROR: Did not get valid session number. Bailing out.");
    EXPECT_EQ(Mob_ActiveSessions_m(), 12);
    EXPECT_TRUE(qmsl_sim::library_mode_qpst());  // the mode is set before the slot check

    // Closing one slot lets the next init take exactly that number.
    EXPECT_EQ(_Tessel_close(5, "t.c", 1), 0);
    EXPECT_EQ(Mob_ActiveSessions_m(), 11);
    EXPECT_EQ(slot(5).iDriverKind, -1);
    EXPECT_EQ(open(), 5);
    EXPECT_EQ(Mob_ActiveSessions_m(), 12);
}

TEST_F(TesselTest, NumbersAreHandedOutLowestFreeFirst) {
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(open(), 2);
    EXPECT_EQ(_Tessel_close(1, "t.c", 1), 0);
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(_Tessel_close(1, "t.c", 2), 0);
    EXPECT_EQ(_Tessel_close(2, "t.c", 3), 0);
    EXPECT_EQ(Mob_ActiveSessions_m(), 0);
    EXPECT_EQ(open(), 1);  // all closed: 1 again
}

struct CloseCase {
    const char* name;
    int session;
    int status;
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class CloseOf : public TesselTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseOf, FailsWithoutTouchingTheTable) {
    open();
    open();
    EXPECT_EQ(_Tessel_close(GetParam().session, "t.c", 1), GetParam().status);
    EXPECT_EQ(Mob_ActiveSessions_m(), 2);
    EXPECT_EQ(slot(1).iDriverKind, 0);
    EXPECT_EQ(slot(2).iDriverKind, 0);
}

INSTANTIATE_TEST_SUITE_P(Sessions, CloseOf,
                         ::testing::Values(CloseCase{"Zero", 0, TESSEL_ERROR_SESSION_INVALID},
                                           CloseCase{"Thirteen", 13, TESSEL_ERROR_SESSION_INVALID},
                                           CloseCase{"Negative", -1, TESSEL_ERROR_SESSION_INVALID},
                                           CloseCase{"Lowest", INT_MIN, TESSEL_ERROR_SESSION_INVALID},
                                           CloseCase{"FreeSlot", 3, TESSEL_ERROR_SESSION_NOT_IN_LIST},
                                           CloseCase{"LastFreeSlot", 12, TESSEL_ERROR_SESSION_NOT_IN_LIST}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TesselTest, CloseTwiceAndTheCloseLine) {
    const int s = open("ASRL3::INSTR::LIB:qc:TRACELEVEL:1");
    EXPECT_EQ(_Tessel_close(s, "main.c", 99), 0);
    EXPECT_EQ(lines().back(), "(3C)    _Tessel_close( Session=1 )  in File \"main.c\" Line 99");
    EXPECT_EQ(_Tessel_close(s, "main.c", 100), TESSEL_ERROR_SESSION_NOT_IN_LIST);
    EXPECT_EQ(Mob_ActiveSessions_m(), 0);
}

TEST_F(TesselTest, LookupOfAFreeSlotGivesTheFreeValues) {
    open();
    SessionRecord rec;
    rec.iSession = 4;
    rec.hHandle = 1234;
    EXPECT_EQ(GetInstrIDFromSession_m(&rec), 0);
    EXPECT_EQ(rec.iSession, 4);
    EXPECT_EQ(rec.iDriverKind, -1);
    EXPECT_EQ(rec.ucTraceLevel, 255);
    EXPECT_EQ(rec.ucComPort, 255);
    EXPECT_EQ(rec.hHandle, -1);
    EXPECT_EQ(rec.cBoxComPort, -1);
    EXPECT_EQ(rec.hBoxHandle, -1);
    EXPECT_EQ(rec.sPhoneType, 11);
    EXPECT_FALSE(Mob_SessionInUse_m(4));
    EXPECT_TRUE(Mob_SessionInUse_m(1));
}

TEST_F(TesselTest, LookupOfAnInvalidNumberFailsAndLeavesTheRecord) {
    for (int bad : {0, 13, -1, INT_MIN, INT_MAX}) {
        SessionRecord rec;
        rec.iSession = bad;
        rec.hHandle = 1234;
        EXPECT_EQ(GetInstrIDFromSession_m(&rec), TESSEL_ERROR_SESSION_INVALID) << bad;
        EXPECT_EQ(rec.hHandle, 1234);
        EXPECT_TRUE(Mob_InvalidSessionNr_m(bad));
        EXPECT_FALSE(Mob_SessionInUse_m(bad));
    }
    EXPECT_FALSE(Mob_InvalidSessionNr_m(1));
    EXPECT_FALSE(Mob_InvalidSessionNr_m(12));
    EXPECT_EQ(GetInstrIDFromSession_m(nullptr), TESSEL_ERROR_SESSION_INVALID);
}

// Writing a session back (connect, disconnect, phone type) must never bring
// a free slot to life: it would look used while the count leaves it out, and
// a later init would hand its number out again.
TEST_F(TesselTest, WritingBackAFreeSlotIsRefused) {
    SessionRecord ghost;
    ghost.iSession = 1;
    ghost.iDriverKind = 0;
    ghost.hHandle = 77;
    EXPECT_EQ(WriteToGlSesHdl_m(ghost), TESSEL_ERROR_SESSION_NOT_IN_LIST);
    EXPECT_EQ(slot(1).hHandle, -1);
    EXPECT_FALSE(Mob_SessionInUse_m(1));
    EXPECT_EQ(Mob_ActiveSessions_m(), 0);
    ghost.iSession = 13;
    EXPECT_EQ(WriteToGlSesHdl_m(ghost), TESSEL_ERROR_SESSION_INVALID);

    // A slot in use is written back without changing the count.
    const int s = open();
    SessionRecord rec = slot(s);
    rec.hHandle = 77;
    rec.sPhoneType = 4;
    EXPECT_EQ(WriteToGlSesHdl_m(rec), 0);
    EXPECT_EQ(slot(s).hHandle, 77);
    EXPECT_EQ(slot(s).sPhoneType, 4);
    EXPECT_EQ(Mob_ActiveSessions_m(), 1);

    // Once closed, the slot is free again and cannot be written back.
    EXPECT_EQ(_Tessel_close(s, "t.c", 1), 0);
    EXPECT_EQ(WriteToGlSesHdl_m(rec), TESSEL_ERROR_SESSION_NOT_IN_LIST);
    EXPECT_EQ(slot(s).hHandle, -1);
    EXPECT_EQ(Mob_ActiveSessions_m(), 0);
}

TEST_F(TesselTest, AddingToASlotInUseOrAnInvalidNumberIsRefused) {
    const int s = open();
    SessionRecord rec;
    rec.iSession = s;
    rec.ucComPort = 9;
    EXPECT_EQ(Mob_AddToGlSesHdl_m(rec), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_EQ(slot(s).ucComPort, 3);
    rec.iSession = 0;
    EXPECT_EQ(Mob_AddToGlSesHdl_m(rec), TESSEL_ERROR_SESSION_INVALID);
    rec.iSession = 13;
    EXPECT_EQ(Mob_AddToGlSesHdl_m(rec), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_EQ(Mob_ActiveSessions_m(), 1);
    EXPECT_EQ(Mob_GetNewSessionNo_m(), 2);
}

struct StatusCase {
    const char* name;
    int status;
    int session;
    int result;
    const char* text;
};
void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class StatusText : public TesselTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusText, IsTheTablesText) {
    char text[TESSEL_ERROR_TEXT_MAX];
    std::memset(text, 'x', sizeof text);
    text[sizeof text - 1] = '\0';
    EXPECT_EQ(_Tessel_errorMessage(GetParam().session, GetParam().status, text), GetParam().result);
    EXPECT_STREQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StatusText,
    ::testing::Values(
        StatusCase{"InstrId", TESSEL_ERROR_INSTR_ID, 0, 0, "ERROR: Instrument ID from l3_idrv is invalid."},
        StatusCase{"NoInstrument", TESSEL_ERROR_NO_INSTRUMENT, 0, 0, "ERROR: No instrument found."},
        StatusCase{"Parameter2", TESSEL_ERROR_PARAMETER2, 0, 0, "ERROR: Parameter 2 out of range."},
        StatusCase{"SessionInvalid", TESSEL_ERROR_SESSION_INVALID, 0, 0, "ERROR: Session no is invalid."},
        StatusCase{"SessionNotInList", TESSEL_ERROR_SESSION_NOT_IN_LIST, 0, 0,
                   "ERROR: Session no is not in local list."},
        StatusCase{"ResourceFormat", TESSEL_ERROR_RESOURCE_FORMAT, 0, 0, "ERROR: Bad Resource Name Format."},
        StatusCase{"IniOpen", TESSEL_ERROR_INI_OPEN, 0, 0, "ERROR: Failed to open ini file."},
        StatusCase{"IniTag", TESSEL_ERROR_INI_TAG, 0, 0, "ERROR: Tag-name not found in ini file."},
        StatusCase{"MobileType", TESSEL_ERROR_MOBILE_TYPE, 0, 0, "ERROR: Mobile type not supported."},
        StatusCase{"Library", TESSEL_ERROR_LIBRARY, 13, 0, "ERROR: Library Error."},
        StatusCase{"NoValue", TESSEL_ERROR_NO_VALUE, -1, 0, "ERROR: No Value was putted to data container"},
        StatusCase{"InitBeforeAnyFailure", TESSEL_ERROR_INIT, 0, 0, ""},
        StatusCase{"SuccessValidSession", 0, 1, 0, ""},
        StatusCase{"SuccessSessionZero", 0, 0, TESSEL_ERROR_SESSION_INVALID, ""},
        StatusCase{"GapF8", static_cast<int>(0xBFFC19F8), 12, 0, ""},
        StatusCase{"GapFC", static_cast<int>(0xBFFC19FC), 13, TESSEL_ERROR_SESSION_INVALID, ""},
        StatusCase{"PastTheRange", static_cast<int>(0xBFFC19FE), 1, 0, ""},
        StatusCase{"Foreign", 0x12345678, -3, TESSEL_ERROR_SESSION_INVALID, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TesselTest, ErrorMessageIntoNoBufferIsRefused) {
    EXPECT_EQ(_Tessel_errorMessage(1, TESSEL_ERROR_LIBRARY, nullptr), TESSEL_ERROR_PARAMETER2);
}

TEST_F(TesselTest, RevisionQueryReportsAllThreeAndDoesNotCheckTheSession) {
    traceAt(1);
    char driver[TESSEL_REVISION_TEXT_MAX];
    char instr[TESSEL_REVISION_TEXT_MAX];
    EXPECT_EQ(_Tessel_revisionQuery(99, driver, instr, "r.c", 3), 0);
    EXPECT_STREQ(driver, "05.00.40.01");
    EXPECT_STREQ(instr, "QLIB V5.0.40,QPHONEMS,KAVOR V02.4.15,QPHONEMS");
    EXPECT_EQ(lines(), (Lines{
                           "(3C)    _Tessel_revisionQuery( Sess=99 ) in File \"r.c\" Line 3",
                           "(3A)    _Tessel_revisionQuery( L3rev=\"05.00.40.01\", "
                           "L2rev=\"QLIB V5.0.40,QPHONEMS,KAVOR V02.4.15,QPHONEMS\" ) (SUCCESS) ",
                       }));

    KAVOR_SetLibraryMode(1);
    EXPECT_EQ(_Tessel_revisionQuery(0, driver, instr, "r.c", 4), 0);
    EXPECT_STREQ(instr, "QLIB V5.0.40,QPST,KAVOR V02.4.15,QPST");

    // The longest vendor text the library can report still fits.
    qmsl_sim::set_version_text(std::string(200, 'Q'));
    EXPECT_EQ(_Tessel_revisionQuery(0, driver, instr, "r.c", 5), 0);
    EXPECT_EQ(std::string(instr), std::string(QMSL_VERSION_TEXT_MAX - 1, 'Q') + ",KAVOR V02.4.15,QPST");

    EXPECT_EQ(_Tessel_revisionQuery(0, nullptr, instr, "r.c", 6), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_revisionQuery(0, driver, nullptr, "r.c", 7), TESSEL_ERROR_PARAMETER2);
}

} // namespace
