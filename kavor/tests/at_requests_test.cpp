// What each AT setter puts on the wire: the exact request bytes (CR and the
// NUL included), the time-out it waits and its one call line.
#include "at_test_support.h"

#include <functional>

namespace {

using namespace attest;

using Invoke = std::function<unsigned char(QmslHandle, unsigned short*)>;

struct RequestCase {
    const char* name;
    Invoke invoke;
    std::string request;  // empty: nothing is sent
    unsigned long timeout = 3000;
    const char* call = nullptr;  // the one log line, when the case checks it
    bool refused = false;        // false comes back and nothing is sent
};

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

const std::string kLongKeys(5000, '1');

// clang-format off
const RequestCase kCases[] = {
    // actions
    {"ToObex", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_2_OBEX(h, s); }, "AT^SQWE=3\r\0"s, 3000, "KAVOR_AT_2_OBEX()"},
    {"Crmp", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_CRMP(h, s); }, "AT+CRMP\r\0"s},
    {"Chup", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_CHUP(h, s); }, "AT+CHUP\r\0"s, 3000, "KAVOR_AT_CHUP()"},
    // one-digit rule
    {"ClvlOneDigit", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CLVL(h, 3, s); }, "AT+CLVL=3\r\0"s, 3000, "KAVOR_AT_Set_CLVL(3)"},
    {"ClvlTwelveSendsItsLeadingDigit", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CLVL(h, 12, s); }, "AT+CLVL=1\r\0"s, 3000, "KAVOR_AT_Set_CLVL(12)"},
    {"SacmCaret", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SACM(h, 0, s); }, "AT^SACM=0\r\0"s},
    {"CregCallLineWithoutValue", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CREG(h, 2, s); }, "AT+CREG=2\r\0"s, 3000, "KAVOR_AT_Set_CREG()"},
    {"SmsoWaitsTwelveSeconds", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SMSO(h, 1, s); }, "AT^SMSO=1\r\0"s, 12000},
    {"ChldMinusOneSendsTheSign", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_CHLD(h, -1, s); }, "AT+CHLD=-\r\0"s},
    {"ScksInt", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SCKS(h, 1, s); }, "AT^SCKS=1\r\0"s},
    {"CrShortName", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CR(h, 1, s); }, "AT+CR=1\r\0"s},
    // vibration mode index
    {"CvibIndex1", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CVIB(h, 1, s); }, "AT+CVIB=0\r\0"s, 3000, "KAVOR_AT_Set_CVIB(1)"},
    {"CvibIndex2", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CVIB(h, 2, s); }, "AT+CVIB=1\r\0"s},
    {"CvibIndex3", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CVIB(h, 3, s); }, "AT+CVIB=16\r\0"s},
    {"CvibIndex4", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CVIB(h, 4, s); }, "AT+CVIB=17\r\0"s},
    // all digits, up to two digits, optional second value
    {"SkpdAllDigits", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SKPD(h, 123, s); }, "AT^SKPD=123\r\0"s, 3000, "KAVOR_AT_Set_SKPD(123)"},
    {"SrmpSecondLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SRMP(h, 5, 0xFF, s); }, "AT^SRMP=5\r\0"s},
    {"SrmpTwoDigitsAndSecond", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SRMP(h, 12, 3, s); }, "AT^SRMP=12,3\r\0"s, 3000, "KAVOR_AT_Set_SRMP(12, 3)"},
    {"SrmpThreeDigitsSendsTwo", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SRMP(h, 123, 1, s); }, "AT^SRMP=12,1\r\0"s},
    {"CmerZeroBytesInItsPlaces", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CMER(h, 3, 2, 0, s); }, "AT+CMER=3,\0,\0,2,0\r\0"s, 3000, "KAVOR_AT_Set_CMER(3, 2, 0)"},
    {"CgerepBufferLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CGEREP(h, 2, 0xFF, s); }, "AT+CGEREP=2\r\0"s},
    {"CgerepBoth", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CGEREP(h, 2, 1, s); }, "AT+CGEREP=2,1\r\0"s},
    {"CssnBoth", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSSN(h, 1, 0, s); }, "AT+CSSN=1,0\r\0"s},
    // keypad
    {"CkpdTimeLeftOutTakesThePause", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CKPD(h, "abc", 0xFFFF, 5, s); }, "AT+CKPD=abc\r\0"s, 3000, "KAVOR_AT_Set_CKPD(Keys: abc, Time: 65535, Pause: 5)"},
    {"CkpdPauseLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CKPD(h, "abc", 10, 0xFFFF, s); }, "AT+CKPD=abc,10\r\0"s},
    {"CkpdAll", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CKPD(h, "12#", 300, 5, s); }, "AT+CKPD=12#,300,5\r\0"s},
    {"CkpdTooLongIsRefused", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CKPD(h, kLongKeys.c_str(), 1, 1, s); }, "", 3000, nullptr, true},
    // clock
    {"CclkNegativeZone", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCLK(h, 5, 7, 1, 13, 45, 0, -4, s); },
     "AT+CCLK=\"05/07/01,13:45:00-04\"\r\0"s, 3000, "KAVOR_AT_Set_CCLK(Date = 05/07/01\nTime = 13:45:00\nTime Zone = -04"},
    {"CclkZoneZeroIsPlus", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCLK(h, 99, 12, 31, 23, 59, 59, 0, s); },
     "AT+CCLK=\"99/12/31,23:59:59+00\"\r\0"s, 3000, "KAVOR_AT_Set_CCLK(Date = 99/12/31\nTime = 23:59:59\nTime Zone = +00"},
    {"CclkZoneMinusEight", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCLK(h, 6, 1, 2, 3, 4, 5, -8, s); }, "AT+CCLK=\"06/01/02,03:04:05-08\"\r\0"s},
    {"CclkThreeDigitValueSendsTwo", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCLK(h, 105, 1, 2, 3, 4, 5, 48, s); }, "AT+CCLK=\"10/01/02,03:04:05+48\"\r\0"s},
    // indicators
    {"CindEmptyPlacesKeepTheirCommas", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CIND(h, 1, 0xFF, 0, 0xFF, 5, 0xFF, 0xFF, 12, s); }, "AT+CIND=1,,0,,5,,,1,\r\0"s},
    {"CindAllLeftOutSendsNothing", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CIND(h, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, s); }, "", 3000, "KAVOR_AT_Set_CIND()"},
    // texts, markers and limits
    {"CgattMinusOneSendsTheTextAlone", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CGATT(h, -1, s); }, "AT+CGATT\r\0"s},
    {"CgattState", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CGATT(h, 1, s); }, "AT+CGATT=1\r\0"s},
    {"CopsFormatLeftOutTakesTheOperator", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_COPS(h, 0, -1, "X", s); }, "AT+COPS=0\r\0"s},
    {"CopsOperatorLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_COPS(h, 1, 2, "-", s); }, "AT+COPS=1,2\r\0"s},
    {"CopsOperatorCutTo16", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_COPS(h, 1, 0, "ABCDEFGHIJKLMNOPQRS", s); }, "AT+COPS=1,0,\"ABCDEFGHIJKLMNOP\"\r\0"s},
    {"CscsLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCS(h, "-", s); }, "AT+CSCS\r\0"s},
    {"CscsQuoted", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCS(h, "GSM", s); }, "AT+CSCS=\"GSM\"\r\0"s},
    {"CpinAlone", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CPIN(h, "1234", "-", s); }, "AT+CPIN=\"1234\"\r\0"s},
    {"CpinWithNewPin", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CPIN(h, "0000", "5678", s); }, "AT+CPIN=\"0000\",\"5678\"\r\0"s},
    {"CpinNonDigitTakesTheOneDigitOfItsDistanceFromZero", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CPIN(h, "9A*", "-", s); }, "AT+CPIN=\"91-\"\r\0"s},
    {"CpinShortNewPinIsRefused", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CPIN(h, "1234", "567", s); }, "", 3000, nullptr, true},
    {"CpinLongNewPinIsRefused", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CPIN(h, "1234", "56789", s); }, "", 3000, nullptr, true},
    {"CscaWithType", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCA(h, "+491234", "145", s); }, "AT+CSCA=\"+491234\",\"145\"\r\0"s},
    {"CscaTypeLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCA(h, "+49", "-", s); }, "AT+CSCA=\"+49\"\r\0"s},
    {"CscbModeLeftOutTakesTheRest", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCB(h, 0xFF, "1", "2", s); }, "AT+CSCB\r\0"s},
    {"CscbCodingSchemesByteForByte", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCB(h, 0, "1,5", "0-3", s); }, "AT+CSCB=0,\"1,5\",\"0-3\"\r\0"s},
    {"CscbIdsLeftOutTakeTheSchemes", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCB(h, 1, "-", "0", s); }, "AT+CSCB=1\r\0"s},
    {"CscbSchemesLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CSCB(h, 0, "7", "-", s); }, "AT+CSCB=0,\"7\"\r\0"s},
    {"CmssDestinationLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_CMSS(h, 3, "-", s); }, "AT+CMSS=3\r\0"s, 3000, "KAVOR_AT_CMSS()"},
    {"CmssDestinationCutTo12", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_CMSS(h, 3, "0123456789012345", s); }, "AT+CMSS=3,\"012345678901\"\r\0"s},
    {"Ws46LeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_WS46(h, 0xFF, s); }, "AT+WS46\r\0"s},
    {"Ws46TwoDigits", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_WS46(h, 5, s); }, "AT+WS46=05\r\0"s},
    {"Ws46Twelve", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_WS46(h, 12, s); }, "AT+WS46=12\r\0"s},
    {"IprZero", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_IPR(h, 0, s); }, "AT+IPR=0\r\0"s},
    {"IprAllDigits", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_IPR(h, 115200, s); }, "AT+IPR=115200\r\0"s},
};
// clang-format on

class AtRequests : public AtFixture, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(AtRequests, SendsTheExactBytes) {
    const RequestCase& c = GetParam();
    unsigned short status = 77;
    const unsigned char result = c.invoke(h, &status);
    EXPECT_EQ(result, c.refused ? 0 : 1);
    if (c.request.empty()) {
        EXPECT_TRUE(sends().empty());
        EXPECT_EQ(status, 77) << "the status is not written when nothing is sent";
    } else {
        ASSERT_EQ(requests(), std::vector<std::string>{c.request});
        EXPECT_EQ(sends()[0].args[1], static_cast<long long>(c.timeout));
        EXPECT_EQ(status, 0);
    }
    const auto lines = log();
    ASSERT_EQ(lines.size(), 1u) << "an AT command writes its call line only";
    if (c.call) {
        EXPECT_EQ(lines[0], c.call);
    }
}

INSTANTIATE_TEST_SUITE_P(Setters, AtRequests, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
