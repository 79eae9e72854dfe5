// How the AT channel judges a reply (AT status and echo offset) and reads
// values out of it at fixed places, with and without the echo, and what a
// reply too short for its places gives.
#include "at_test_support.h"

#include <functional>

namespace {

using namespace attest;

// --- judge ----------------------------------------------------------------------

struct JudgeCase {
    const char* name;
    std::string reply;
    unsigned short status;
    std::int32_t echoOffset;  // for the 8-byte command line "AT+CHUP\r"
};
void PrintTo(const JudgeCase& c, std::ostream* os) { *os << c.name; }

const JudgeCase kJudgeCases[] = {
    {"Empty", "", 2, -8},
    {"OneByteK", "K", 2, -8},
    {"JustOk", "OK", 0, -8},
    {"FourBytesRror", "RROR", 2, -8},
    {"JustError", "ERROR", 1, -8},
    {"EchoAndOk", "AT+CHUP\r\r\nOK", 0, 0},
    {"LowerCaseEcho", "at+chup\r\r\nOK", 0, 0},
    {"EchoAndError", "AT+CHUP\r\r\nERROR", 1, 0},
    {"ErrorEarlierOkAtTheEnd", "\r\nERROR\r\n\r\nOK", 0, -8},
    {"OkEarlierErrorAtTheEnd", "\r\nOK\r\nERROR", 1, -8},
    {"TrailingLineEnd", "\r\nOK\r\n", 2, -8},
    {"OtherText", "\r\nNO CARRIER", 2, -8},
    {"LowerCaseOkIsOther", "\r\nok", 2, -8},
};

class AtJudge : public AtFixture, public ::testing::WithParamInterface<JudgeCase> {};

TEST_P(AtJudge, GivesStatusAndEchoOffset) {
    const JudgeCase& c = GetParam();
    answer(c.reply);
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_CHUP(h, &status), 1);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(echoOffset(), c.echoOffset);
}

INSTANTIATE_TEST_SUITE_P(Replies, AtJudge, ::testing::ValuesIn(kJudgeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- getters ----------------------------------------------------------------------

// Runs a getter and gives its out-values in order (the status apart).
using Getter = std::function<std::vector<long long>(QmslHandle, unsigned short*)>;

template <typename T>
std::vector<long long> values(std::initializer_list<T> v) {
    return {v.begin(), v.end()};
}

// clang-format off
const Getter kCvib = [](QmslHandle h, unsigned short* s) { unsigned char v = 99; KAVOR_AT_Get_CVIB(h, &v, s); return std::vector<long long>{v}; };
const Getter kClvl = [](QmslHandle h, unsigned short* s) { unsigned char v = 99; KAVOR_AT_Get_CLVL(h, &v, s); return std::vector<long long>{v}; };
const Getter kSico = [](QmslHandle h, unsigned short* s) { unsigned char v = 99; KAVOR_AT_Get_SICO(h, &v, s); return std::vector<long long>{v}; };
const Getter kColp = [](QmslHandle h, unsigned short* s) { unsigned char a = 99, b = 99; KAVOR_AT_Get_COLP(h, &a, &b, s); return std::vector<long long>{a, b}; };
const Getter kCgerep = [](QmslHandle h, unsigned short* s) { unsigned char a = 99, b = 99; KAVOR_AT_Get_CGEREP(h, &a, &b, s); return std::vector<long long>{a, b}; };
const Getter kCmer = [](QmslHandle h, unsigned short* s) { unsigned char a = 99, b = 99, c = 99; KAVOR_AT_Get_CMER(h, &a, &b, &c, s); return std::vector<long long>{a, b, c}; };
const Getter kCclk = [](QmslHandle h, unsigned short* s) {
    unsigned char y = 99, mo = 99, d = 99, hh = 99, mi = 99, se = 99; signed char z = 99;
    KAVOR_AT_Get_CCLK(h, &y, &mo, &d, &hh, &mi, &se, &z, s);
    return std::vector<long long>{y, mo, d, hh, mi, se, z};
};
const Getter kCcwa = [](QmslHandle h, unsigned short* s) { unsigned int v = 99; KAVOR_AT_Get_CCWA(h, &v, s); return std::vector<long long>{v}; };
const Getter kCmee = [](QmslHandle h, unsigned short* s) { unsigned int v = 99; KAVOR_AT_Get_CMEE(h, &v, s); return std::vector<long long>{v}; };
const Getter kCgatt = [](QmslHandle h, unsigned short* s) { char v = 'x'; KAVOR_AT_Get_CGATT(h, &v, s); return std::vector<long long>{v}; };
const Getter kCgreg = [](QmslHandle h, unsigned short* s) { char a = 'x', b = 'x'; KAVOR_AT_Get_CGREG(h, &a, &b, s); return std::vector<long long>{a, b}; };
const Getter kCr = [](QmslHandle h, unsigned short* s) { char v = 'x'; KAVOR_AT_Get_CR(h, &v, s); return std::vector<long long>{v}; };
const Getter kWs46 = [](QmslHandle h, unsigned short* s) { unsigned char v = 7; KAVOR_AT_Get_WS46(h, &v, s); return std::vector<long long>{v}; };
// clang-format on

struct GetterCase {
    const char* name;
    Getter get;
    std::string reply;
    std::vector<long long> out;
    unsigned short status = 0;
};
void PrintTo(const GetterCase& c, std::ostream* os) { *os << c.name; }

// clang-format off
const GetterCase kGetterCases[] = {
    {"CvibOneDigit", kCvib, "AT+CVIB?\r\r\n+CVIB: 1\r\n\r\nOK", {1}},
    {"CvibTwoDigits", kCvib, "AT+CVIB?\r\r\n+CVIB: 16\r\n\r\nOK", {16}},
    {"CvibWithoutEcho", kCvib, "\r\n+CVIB: 17\r\n\r\nOK", {17}},
    {"ClvlEcho", kClvl, "AT+CLVL?\r\r\n+CLVL: 4\r\n\r\nOK", {4}},
    {"ClvlWithoutEcho", kClvl, "\r\n+CLVL: 4\r\n\r\nOK", {4}},
    {"ClvlNonDigitIsZero", kClvl, "AT+CLVL?\r\r\n+CLVL: x\r\n\r\nOK", {0}},
    {"ClvlReadEvenOnError", kClvl, "AT+CLVL?\r\r\n+CLVL: 6\r\n\r\nERROR", {6}, 1},
    {"SicoAt21", kSico, "AT^SICO?\r\r\n^SICO: 0, 1\r\n\r\nOK", {1}},
    {"ColpTwoValues", kColp, "AT+COLP?\r\r\n+COLP: 1,2\r\n\r\nOK", {1, 2}},
    {"CgerepEcho", kCgerep, "AT+CGEREP?\r\r\n+CGEREP: 2,1\r\n\r\nOK", {2, 1}},
    {"CgerepWithoutEchoMovesByItsOwnLine", kCgerep, "\r\n+CGEREP: 2,1\r\n\r\nOK", {2, 1}},
    {"CmerThreeValues", kCmer, "AT+CMER?\r\r\n+CMER: 3,0,0,2,1\r\n\r\nOK", {3, 2, 1}},
    {"CclkNegativeZone", kCclk, "AT+CCLK?\r\r\n+CCLK: \"05/07/01,13:45:00-04\"\r\n\r\nOK", {5, 7, 1, 13, 45, 0, -4}},
    {"CclkPositiveZoneWithoutEcho", kCclk, "\r\n+CCLK: \"99/12/31,23:59:58+08\"\r\n\r\nOK", {99, 12, 31, 23, 59, 58, 8}},
    {"CclkShortReplyReadsZeros", kCclk, "OK", {0, 0, 0, 0, 0, 0, 0}},
    {"CcwaCharacterMinusZero", kCcwa, "AT+CCWA?\r\r\n+CCWA: 1\r\n\r\nOK", {1}},
    {"CcwaNonDigitWraps", kCcwa, "AT+CCWA?\r\r\n+CCWA: !\r\n\r\nOK", {0xFFFFFFF1}},
    {"CmeeCharacterCode", kCmee, "AT+CMEE?\r\r\n+CMEE: 2\r\n\r\nOK", {'2'}},
    {"CgattCharacter", kCgatt, "AT+CGATT?\r\r\n+CGATT: 1\r\n\r\nOK", {'1'}},
    {"CgattWithoutEcho", kCgatt, "\r\n+CGATT: 0\r\n\r\nOK", {'0'}},
    {"CgregTwoCharacters", kCgreg, "AT+CGREG?\r\r\n+CGREG: 0,5\r\n\r\nOK", {'0', '5'}},
    {"CrAt14", kCr, "AT+CR?\r\r\n+CR: 1\r\n\r\nOK", {'1'}},
    {"CrShortReplyReadsNul", kCr, "AT+CR?\r\r\nOK", {0}, 0},
    {"Ws46TwoDigits", kWs46, "AT+WS46?\r\r\n12\r\n\r\nOK", {12}},
    {"Ws46OneDigit", kWs46, "AT+WS46?\r\r\n5\r\n\r\nOK", {5}},
    {"Ws46WithoutEcho", kWs46, "\r\n25\r\n\r\nOK", {25}},
    {"Ws46NonDigitLeavesTheValue", kWs46, "AT+WS46?\r\r\nX\r\n\r\nOK", {7}},
    {"Ws46SecondDigitOnTheOldValue", kWs46, "AT+WS46?\r\r\nX3\r\n\r\nOK", {73}},
    {"EmptyReplyReadsNothingOutside", kCmer, "", {0, 0, 0}, 2},
};
// clang-format on

class AtGetters : public AtFixture, public ::testing::WithParamInterface<GetterCase> {};

TEST_P(AtGetters, ReadTheirPlaces) {
    const GetterCase& c = GetParam();
    answer(c.reply);
    unsigned short status = 77;
    EXPECT_EQ(c.get(h, &status), c.out);
    EXPECT_EQ(status, c.status);
}

INSTANTIATE_TEST_SUITE_P(Replies, AtGetters, ::testing::ValuesIn(kGetterCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
