// The trace writer's line forms and cuts, its printf-style and gated forms,
// byte arrays and the traced wait.
#include "TesselFixture.h"

namespace {

struct WriterCase {
    std::string name;
    int type;
    int status;
    int session;
    int level;
    std::string text;
    std::string file;
    int line;
    Lines expected;
};
void PrintTo(const WriterCase& c, std::ostream* os) { *os << c.name; }

class Writer : public TesselTest, public ::testing::WithParamInterface<WriterCase> {};

TEST_P(Writer, WritesTheExactLines) {
    const WriterCase& c = GetParam();
    open();  // session 1 in use; its banner is not part of the check
    tracer_test::clear_lines();
    traceAt(c.level);
    Mob_TRACE(c.session, c.status, c.type, c.text.c_str(), c.file.c_str(), c.line);
    EXPECT_EQ(lines(), c.expected);
}

const int kLib = TESSEL_ERROR_LIBRARY;
const std::string k450(450, 'a');
const std::string k64(64, 'f');

INSTANTIATE_TEST_SUITE_P(
    Forms, Writer,
    ::testing::Values(
        WriterCase{"Call", 1, 0, 1, 1, "f( a=1 )", "main.c", 42, {"(3C)    f( a=1 ) in File \"main.c\" Line 42"}},
        WriterCase{"CallAtLevelZero", 1, 0, 1, 0, "f()", "m.c", 1, {"(3C)    f() in File \"m.c\" Line 1"}},
        WriterCase{"InfoWithLine", 2, 0, 1, 1, "hello", "x.c", 7, {"(3I)    hello in File \"x.c\" Line 7"}},
        WriterCase{"InfoLineZero", 2, 0, 1, 1, "hello", "x.c", 0, {"(3I)    hello"}},
        WriterCase{"ResultSuccess", 3, 0, 1, 9, "f() = 0", "", 0, {"(3A)    f() = 0 (SUCCESS) "}},
        WriterCase{"ResultErrorLevel3", 3, kLib, 1, 3, "f() = 0xbffc19f7", "", 0,
                   {"(3A) E  f() = 0xbffc19f7 (ERROR)   "}},
        WriterCase{"ResultErrorLevel4", 3, kLib, 2, 4, "f() = 0xbffc19f7", "", 0,
                   {"(3A) E  f() = 0xbffc19f7 (ERROR)   ", "ERROR: Library Error."}},
        WriterCase{"ResultErrorLevel4SessionZero", 3, kLib, 0, 4, "f()", "", 0, {"(3A) E  f() (ERROR)   "}},
        // The status has a text, so it is found before the session is looked at.
        WriterCase{"ResultErrorSession13", 3, kLib, 13, 4, "f()", "", 0,
                   {"(3A) E  f() (ERROR)   ", "ERROR: Library Error."}},
        WriterCase{"ResultUnknownStatus", 3, 0x1234, 2, 9, "f()", "", 0, {"(3A) E  f() (ERROR)   ", ""}},
        WriterCase{"ResultUnknownStatusSession13", 3, 0x1234, 13, 4, "f()", "", 0,
                   {"(3A) E  f() (ERROR)   ", "Cannot read error message."}},
        WriterCase{"Plain", 4, 0, 0, 1, "NV={ }", "x.c", 5, {"(3I)    NV={ }"}},
        WriterCase{"WrongType", 7, 0, 1, 1, "f()", "x.c", 5, {"(3I)    Tracer error: Wrong trace type (7)."}},
        WriterCase{"TypeZero", 0, 0, 1, 1, "f()", "x.c", 5, {"(3I)    Tracer error: Wrong trace type (0)."}},
        WriterCase{"TextCutAt450", 4, 0, 1, 1, std::string(600, 'a'), "", 0, {"(3I)    " + k450}},
        WriterCase{"FileCutAt64", 1, 0, 1, 1, "t", std::string(100, 'f'), 1,
                   {"(3C)    t in File \"" + k64 + "\" Line 1"}},
        WriterCase{"LineCutAt512", 1, 0, 1, 1, std::string(600, 'a'), std::string(100, 'f'), 123456,
                   {("(3C)    " + k450 + " in File \"" + k64 + "\" Line 123456").substr(0, 512)}},
        WriterCase{"LineOf512Stays", 2, 0, 1, 1, std::string(422, 'a'), k64, 1,
                   {"(3I)    " + std::string(422, 'a') + " in File \"" + k64 + "\" Line 1"}},
        WriterCase{"LineOf513IsCut", 2, 0, 1, 1, std::string(423, 'a'), k64, 1,
                   {"(3I)    " + std::string(423, 'a') + " in File \"" + k64 + "\" Line "}}),
    [](const auto& info) { return info.param.name; });

TEST_F(TesselTest, NullTextAndFileAreEmpty) {
    traceAt(1);
    Mob_TRACE(0, 0, TRACE_CALL, nullptr, nullptr, 3);
    EXPECT_EQ(lines(), (Lines{"(3C)     in File \"\" Line 3"}));
}

TEST_F(TesselTest, GatedFormsNeedLevelOneAndTheUngatedFormDoesNot) {
    for (int level : {0, -1, 1}) {
        traceAt(level);
        tracer_test::clear_lines();
        Mob_TraceCall(1, "c.c", 2, "%s( Handle=%d ) Sess=%d", "_Tessel_X", 5, 1);
        Mob_TraceResult(1, 0, "%s() = %#x", "_Tessel_X", 0u);
        Mob_TraceInfo(1, "c.c", 0, "value %d", 7);
        Mob_TraceF(1, 0, TRACE_INFO, "", 0, "always %s", "written");
        if (level >= 1) {
            EXPECT_EQ(lines(), (Lines{"(3C)    _Tessel_X( Handle=5 ) Sess=1 in File \"c.c\" Line 2",
                                      "(3A)    _Tessel_X() = 0 (SUCCESS) ", "(3I)    value 7",
                                      "(3I)    always written"}));
        } else {
            EXPECT_EQ(lines(), (Lines{"(3I)    always written"})) << level;
        }
    }
}

struct BytesCase {
    const char* name;
    std::vector<unsigned char> bytes;
    const char* arrayName;
    Lines expected;
};
void PrintTo(const BytesCase& c, std::ostream* os) { *os << c.name; }

class ByteArray : public TesselTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(ByteArray, TenValuesALineUnderTheFirstValue) {
    traceAt(1);
    Mob_TraceByteArray(static_cast<int>(GetParam().bytes.size()), GetParam().bytes.data(), GetParam().arrayName);
    EXPECT_EQ(lines(), GetParam().expected);
}

std::vector<unsigned char> counting(int n) {
    std::vector<unsigned char> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<unsigned char>(i));
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ByteArray,
    ::testing::Values(
        BytesCase{"None", {}, "NV", {"(3I)    NV={ }"}},
        BytesCase{"Three", {0x01, 0xAB, 0xFF}, "NV", {"(3I)    NV={ 01 AB FF }"}},
        BytesCase{"Ten", counting(10), "NV", {"(3I)    NV={ 00 01 02 03 04 05 06 07 08 09 ", "(3I)         }"}},
        BytesCase{"Eleven", counting(11), "NV",
                  {"(3I)    NV={ 00 01 02 03 04 05 06 07 08 09 ", "(3I)         0A }"}},
        BytesCase{"Twenty", counting(20), ">>>",
                  {"(3I)    >>>={ 00 01 02 03 04 05 06 07 08 09 ", "(3I)          0A 0B 0C 0D 0E 0F 10 11 12 13 ",
                   "(3I)          }"}},
        BytesCase{"NoName", {0x7F}, "", {"(3I)    ={ 7F }"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TesselTest, ByteArrayWithoutBytesOrNameDoesNotCrash) {
    traceAt(1);
    Mob_TraceByteArray(5, nullptr, "NV");
    Mob_TraceByteArray(-3, nullptr, nullptr);
    EXPECT_EQ(lines(), (Lines{"(3I)    NV={ }", "(3I)    ={ }"}));
}

TEST_F(TesselTest, TraceDelayWaitsOnTheClock) {
    traceAt(1);
    EXPECT_EQ(_Tessel_TraceDelay(1000, "d.c", 5), 0);
    EXPECT_EQ(pclock::now_ms(), 1000);
    EXPECT_EQ(lines(), (Lines{"(3C)    Tessel is waiting for 1000 ms. in File \"d.c\" Line 5"}));
    EXPECT_EQ(_Tessel_TraceDelay(-50, "d.c", 6), 0);
    EXPECT_EQ(pclock::now_ms(), 1000);
    traceAt(0);
    EXPECT_EQ(_Tessel_TraceDelay(250, "d.c", 7), 0);
    EXPECT_EQ(pclock::now_ms(), 1250);
    EXPECT_EQ(lines().size(), 2u);
}

} // namespace

namespace {

// What one init, a traced wait and a failed result put out at each level.
struct LevelCase {
    int level;
    Lines expected;
};
void PrintTo(const LevelCase& c, std::ostream* os) { *os << "level " << c.level; }

class AtLevel : public TesselTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(AtLevel, GatesTheLines) {
    open("ASRL3::INSTR::LIB:qc:TRACELEVEL:" + std::to_string(GetParam().level));
    _Tessel_TraceDelay(5, "l.c", 2);
    Mob_TraceResult(1, TESSEL_ERROR_LIBRARY, "%s() = %#x", "_Tessel_X", static_cast<unsigned>(TESSEL_ERROR_LIBRARY));
    EXPECT_EQ(lines(), GetParam().expected);
}

const Lines kBanner = {
    "(3I)    ***   L2 QLib version QLIB V5.0.40,QPHONEMS.",
    "(3I)    ***   L2 QExt version KAVOR V02.4.15,QPHONEMS.",
    "(3I)    Using primary port COM3. ",
};
const Lines kDefaults = {
    "(3C)    _Tessel_PutDtrState(bDtrState=0 ) in File \"Tessel\" Line 272",
    "(3A)    _Tessel_PutDtrState( ) = 0 (SUCCESS) ",
    "(3C)    _Tessel_PutUserDefinedTimeoutInitial(iUserDefinedTimeoutInitial=8000 ) in File \"Tessel\" Line 274",
    "(3A)    _Tessel_PutUserDefinedTimeoutInitial( ) = 0 (SUCCESS) ",
    "(3C)    Tessel is waiting for 5 ms. in File \"l.c\" Line 2",
    "(3A) E  _Tessel_X() = 0xbffc19f7 (ERROR)   ",
};

Lines levelLines(int level, bool errorText) {
    Lines out = {"(3I)    *** This is L3 Tessel V05.00.40.01 with trace level " + std::to_string(level) + ". "};
    out.insert(out.end(), kBanner.begin(), kBanner.end());
    if (level >= 1) out.insert(out.end(), kDefaults.begin(), kDefaults.end());
    if (errorText) out.push_back("ERROR: Library Error.");
    return out;
}

INSTANTIATE_TEST_SUITE_P(Levels, AtLevel,
                         ::testing::Values(LevelCase{-1, levelLines(-1, false)}, LevelCase{0, levelLines(0, false)},
                                           LevelCase{1, levelLines(1, false)}, LevelCase{3, levelLines(3, false)},
                                           LevelCase{4, levelLines(4, true)}, LevelCase{9, levelLines(9, true)}),
                         [](const auto& info) {
                             return info.param.level < 0 ? std::string("Minus1")
                                                         : "Level" + std::to_string(info.param.level);
                         });

} // namespace
