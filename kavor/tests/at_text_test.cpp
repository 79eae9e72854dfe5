// The AT getters that copy texts, scan backwards from the last digit or
// compose values from several places: (reply with and without echo) -> out
// values, each copy bounded by the reply and by its slot.
#include "at_test_support.h"

#include <functional>

namespace {

using namespace attest;

using Strings = std::vector<std::string>;
// Runs a getter on out-parameters filled with '#' (texts) or 77 (numbers)
// and renders them: numbers in decimal, slots as their raw bytes.
using Getter = std::function<Strings(QmslHandle, unsigned short*)>;

std::string n(long long v) { return std::to_string(v); }
std::string bytes(const char* p, std::size_t len) { return std::string(p, len); }

template <std::size_t N>
struct Slot {
    char b[N];
    Slot() { std::fill(b, b + N, '#'); }
    std::string str(std::size_t len = N) const { return bytes(b, len); }
};

// clang-format off
const Getter kCgmi = [](QmslHandle h, unsigned short* s) { Slot<32> t; KAVOR_AT_Get_CGMI(h, t.b, s); return Strings{t.str()}; };
const Getter kCeer = [](QmslHandle h, unsigned short* s) { Slot<32> t; KAVOR_AT_Get_CEER(h, t.b, s); return Strings{t.str()}; };
const Getter kCgsn = [](QmslHandle h, unsigned short* s) { Slot<17> t; KAVOR_AT_Get_CGSN(h, t.b, s); return Strings{t.str()}; };
const Getter kGsn = [](QmslHandle h, unsigned short* s) { Slot<17> t; KAVOR_AT_Get_GSN(h, t.b, s); return Strings{t.str()}; };
const Getter kScid = [](QmslHandle h, unsigned short* s) { Slot<22> t; KAVOR_AT_Get_SCID(h, t.b, s); return Strings{t.str()}; };
const Getter kCpin = [](QmslHandle h, unsigned short* s) { Slot<16> t; KAVOR_AT_Get_CPIN(h, t.b, s); return Strings{t.str()}; };
const Getter kCscs = [](QmslHandle h, unsigned short* s) { Slot<16> t; KAVOR_AT_Get_CSCS(h, t.b, s); return Strings{t.str()}; };
const Getter kCops = [](QmslHandle h, unsigned short* s) { unsigned int m = 77, f = 77; Slot<16> t; KAVOR_AT_Get_COPS(h, &m, &f, t.b, s); return Strings{n(m), n(f), t.str()}; };
const Getter kCsca = [](QmslHandle h, unsigned short* s) { Slot<50> a, t; KAVOR_AT_Get_CSCA(h, a.b, t.b, s); return Strings{a.str(12), t.str()}; };
const Getter kCscb = [](QmslHandle h, unsigned short* s) { char m = '#'; Slot<16> i, c; KAVOR_AT_Get_CSCB(h, &m, i.b, c.b, s); return Strings{std::string(1, m), i.str(), c.str()}; };
const Getter kSifs = [](QmslHandle h, unsigned short* s) { unsigned char v = 77; KAVOR_AT_Get_SIFS(h, &v, s); return Strings{n(v)}; };
const Getter kIpr = [](QmslHandle h, unsigned short* s) { unsigned int v = 77; KAVOR_AT_Get_IPR(h, &v, s); return Strings{n(v)}; };
const Getter kCbc = [](QmslHandle h, unsigned short* s) { unsigned char a = 77, b = 77; KAVOR_AT_Get_CBC(h, &a, &b, s); return Strings{n(a), n(b)}; };
const Getter kCsq = [](QmslHandle h, unsigned short* s) { unsigned char a = 77, b = 77; KAVOR_AT_Get_CSQ(h, &a, &b, s); return Strings{n(a), n(b)}; };
const Getter kCind = [](QmslHandle h, unsigned short* s) {
    char c[8]; std::fill(c, c + 8, '#');
    KAVOR_AT_Get_CIND(h, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7], s);
    return Strings{bytes(c, 8)};
};
const Getter kCbst = [](QmslHandle h, unsigned short* s) { unsigned int v = 77; char a = '#', b = '#'; KAVOR_AT_Get_CBST(h, &v, &a, &b, s); return Strings{n(v), std::string(1, a), std::string(1, b)}; };
const Getter kCpas = [](QmslHandle h, unsigned short* s) { unsigned int v = 77; KAVOR_AT_Get_CPAS(h, &v, s); return Strings{n(v)}; };
const Getter kScka = [](QmslHandle h, unsigned short* s) { unsigned int v = 77; KAVOR_AT_Get_SCKA(h, &v, s); return Strings{n(v)}; };
const Getter kScks = [](QmslHandle h, unsigned short* s) { unsigned int a = 77, b = 77; KAVOR_AT_Get_SCKS(h, &a, &b, s); return Strings{n(a), n(b)}; };
const Getter kCreg = [](QmslHandle h, unsigned short* s) { unsigned char m = 77, st = 77; Slot<2> a, c; KAVOR_AT_Get_CREG(h, &m, &st, a.b, c.b, s); return Strings{n(m), n(st), a.str(), c.str()}; };
const Getter kCacm = [](QmslHandle h, unsigned short* s) { unsigned short v = 77; KAVOR_AT_Get_CACM(h, &v, s); return Strings{n(v)}; };
const Getter kCamm = [](QmslHandle h, unsigned short* s) { unsigned short v = 77; KAVOR_AT_Get_CAMM(h, &v, s); return Strings{n(v)}; };
const Getter kSacm = [](QmslHandle h, unsigned short* s) { unsigned char m = 77, a = 77, b = 77; KAVOR_AT_Get_SACM(h, &m, &a, &b, s); return Strings{n(m), n(a), n(b)}; };
// clang-format on

struct TextCase {
    const char* name;
    Getter get;
    std::string request;
    std::string reply;
    Strings out;
    unsigned short status = 0;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

const std::string kPad(20, '#');

// clang-format off
const TextCase kCases[] = {
    // copy to the end: no NUL, the bytes up to the final "OK"
    {"CgmiEcho", kCgmi, "AT+CGMI\r\0"s, "AT+CGMI\r\r\nMaker\r\n\r\nOK", {"Maker\r\n\r\n" + std::string(23, '#')}},
    {"CgmiWithoutEcho", kCgmi, "AT+CGMI\r\0"s, "\r\nMaker\r\n\r\nOK", {"Maker\r\n\r\n" + std::string(23, '#')}},
    {"CgmiShortCopiesOneByte", kCgmi, "AT+CGMI\r\0"s, "AT+CGMI\r\r\nOK", {"O" + std::string(31, '#')}},
    {"CgmiEmptyReplyCopiesANul", kCgmi, "AT+CGMI\r\0"s, "", {std::string(1, '\0') + std::string(31, '#')}, 2},
    {"CeerFrom17", kCeer, "AT+CEER\r\0"s, "AT+CEER\r\r\n+CEER: No cause\r\n\r\nOK", {"No cause\r\n\r\n" + std::string(20, '#')}},
    // copy n
    {"CgsnFifteen", kCgsn, "AT+CGSN\r\0"s, "AT+CGSN\r\r\n351234567890123\r\n\r\nOK", {"351234567890123##"}},
    {"CgsnShortReadsNuls", kCgsn, "AT+CGSN\r\0"s, "\r\n3512\r\n\r\nOK", {"3512\r\n\r\nOK" + std::string(5, '\0') + "##"}},
    {"GsnFrom9", kGsn, "AT+GSN\r\0"s, "AT+GSN\r\r\n351234567890123\r\n\r\nOK", {"351234567890123##"}},
    {"ScidTwenty", kScid, "AT^SCID\r\0"s, "AT^SCID\r\r\n^SCID: 89490200001234567890\r\n\r\nOK", {"89490200001234567890##"}},
    // copy up to a stop byte, with a NUL
    {"CpinUpToCr", kCpin, "AT+CPIN?\r\0"s, "AT+CPIN?\r\r\n+CPIN: READY\r\n\r\nOK", {"READY" + std::string(1, '\0') + std::string(10, '#')}},
    {"CpinFillsItsSlot", kCpin, "AT+CPIN?\r\0"s, "AT+CPIN?\r\r\n+CPIN: ABCDEFGHIJKLMNOPQRST\r\n\r\nOK", {"ABCDEFGHIJKLMNO" + std::string(1, '\0')}},
    {"CpinWithoutStopByteEndsAtTheReply", kCpin, "AT+CPIN?\r\0"s, "AT+CPIN?\r\r\n+CPIN: SIM", {"SIM" + std::string(1, '\0') + std::string(12, '#')}, 2},
    {"CscsUpToQuote", kCscs, "AT+CSCS?\r\0"s, "AT+CSCS?\r\r\n+CSCS: \"GSM\"\r\n\r\nOK", {"GSM" + std::string(1, '\0') + std::string(12, '#')}},
    {"Cops", kCops, "AT+COPS?\r\0"s, "AT+COPS?\r\r\n+COPS: 0,2,\"Operator\"\r\n\r\nOK", {"0", "2", "Operator" + std::string(1, '\0') + std::string(7, '#')}},
    {"CscaWithType", kCsca, "AT+CSCA?\r\0"s, "AT+CSCA?\r\r\n+CSCA: \"+491234\",145\r\n\r\nOK",
     {"+491234" + std::string(1, '\0') + "####", "145" + std::string(1, '\0') + std::string(46, '#')}},
    {"CscaWithoutType", kCsca, "AT+CSCA?\r\0"s, "\r\n+CSCA: \"+49\"\r\n\r\nOK", {"+49" + std::string(1, '\0') + std::string(8, '#'), "-" + std::string(49, '#')}},
    {"CscaLongTypeKeepsItsNul", kCsca, "AT+CSCA?\r\0"s, "AT+CSCA?\r\r\n+CSCA: \"1\"," + std::string(60, 'T') + "\r\n\r\nOK",
     {"1" + std::string(1, '\0') + std::string(10, '#'), std::string(49, 'T') + std::string(1, '\0')}},
    {"Cscb", kCscb, "AT+CSCB?\r\0"s, "AT+CSCB?\r\r\n+CSCB: 0,\"1,5\",\"0-3\"\r\n\r\nOK",
     {"0", "1,5" + std::string(1, '\0') + std::string(12, '#'), "0-3" + std::string(1, '\0') + std::string(12, '#')}},
    {"CscbWithoutClosingQuote", kCscb, "AT+CSCB?\r\0"s, "AT+CSCB?\r\r\n+CSCB: 1,\"12",
     {"1", "12" + std::string(1, '\0') + std::string(13, '#'), std::string(1, '\0') + std::string(15, '#')}, 2},
    {"SifsIrda", kSifs, "AT^SIFS\r\0"s, "AT^SIFS\r\r\n^SIFS: IrDA\r\n\r\nOK", {"1"}},
    {"SifsBluetooth", kSifs, "AT^SIFS\r\0"s, "\r\n^SIFS: Bluetooth\r\n\r\nOK", {"2"}},
    {"SifsWire", kSifs, "AT^SIFS\r\0"s, "AT^SIFS\r\r\n^SIFS: Wire\r\n\r\nOK", {"3"}},
    {"SifsCaseCounts", kSifs, "AT^SIFS\r\0"s, "AT^SIFS\r\r\n^SIFS: WIRE\r\n\r\nOK", {"0"}},
    {"SifsCutBluetooth", kSifs, "AT^SIFS\r\0"s, "AT^SIFS\r\r\n^SIFS: Bluetoot", {"0"}, 2},
    {"Ipr", kIpr, "AT+IPR?\r\0"s, "AT+IPR?\r\r\n+IPR: 115200\r\n\r\nOK", {"115200"}},
    {"IprWithoutCrStopsAtTheEnd", kIpr, "AT+IPR?\r\0"s, "AT+IPR?\r\r\n+IPR: 9x6", {"96"}, 2},
    // composed and scanned values
    {"CbcOneDigit", kCbc, "AT+CBC\r\0"s, "AT+CBC\r\r\n+CBC: 0,5\r\n\r\nOK", {"0", "5"}},
    {"CbcTwoDigits", kCbc, "AT+CBC\r\0"s, "AT+CBC\r\r\n+CBC: 1,57\r\n\r\nOK", {"1", "57"}},
    {"CbcHundred", kCbc, "AT+CBC\r\0"s, "AT+CBC\r\r\n+CBC: 2,100\r\n\r\nOK", {"2", "100"}},
    {"CsqTwoAndTwo", kCsq, "AT+CSQ\r\0"s, "AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nOK", {"15", "99"}},
    {"CsqOneAndOne", kCsq, "AT+CSQ\r\0"s, "AT+CSQ\r\r\n+CSQ: 5,9\r\n\r\nOK", {"5", "9"}},
    {"CsqWithoutDigitsWritesNothing", kCsq, "AT+CSQ\r\0"s, "AT+CSQ\r\r\nERROR", {"77", "77"}, 1},
    {"CsqRateOnlyLeavesTheSignal", kCsq, "AT+CSQ\r\0"s, "9", {"77", "9"}, 2},
    {"Cind", kCind, "AT+CIND?\r\0"s, "AT+CIND?\r\r\n+CIND: 1,0,0,0,0,1,0,5\r\n\r\nOK", {"10000105"}},
    {"CindShortReadsNuls", kCind, "AT+CIND?\r\0"s, "1,5", {std::string(6, '\0') + "15"}, 2},
    {"CbstTwoDigitSpeed", kCbst, "AT+CBST?\r\0"s, "AT+CBST?\r\r\n+CBST: 71,0,1\r\n\r\nOK", {"71", "0", "1"}},
    {"CbstOneDigitSpeed", kCbst, "AT+CBST?\r\0"s, "AT+CBST?\r\r\n+CBST: 7,0,1\r\n\r\nOK", {"7", "0", "1"}},
    {"Cpas", kCpas, "AT+CPAS\r\0"s, "AT+CPAS\r\r\n+CPAS: 3\r\n\r\nOK", {"3"}},
    {"Scka", kScka, "AT^SCKA?\r\0"s, "AT^SCKA?\r\r\n^SCKA: 1\r\n\r\nOK", {"1"}},
    {"ScksWithBlank", kScks, "AT^SCKS?\r\0"s, "AT^SCKS?\r\r\n^SCKS: 0, 1\r\n\r\nOK", {"0", "1"}},
    {"CregWithCodes", kCreg, "AT+CREG?\r\0"s, "AT+CREG?\r\r\n+CREG: 2,1,\"0A1B\",\"00C2\"\r\n\r\nOK", {"2", "1", "\"0", "1B"}},
    {"CregWithoutCodes", kCreg, "AT+CREG?\r\0"s, "\r\n+CREG: 0,5\r\n\r\nOK", {"0", "5", "-#", "-#"}},
    {"CacmSixDigits", kCacm, "AT+CACM?\r\0"s, "AT+CACM?\r\r\n+CACM: \"000123\"\r\n\r\nOK", {"123"}},
    {"CammCutTo16Bits", kCamm, "AT+CAMM?\r\0"s, "AT+CAMM?\r\r\n+CAMM: \"999999\"\r\n\r\nOK", {"16959"}},
    {"SacmCutTo8Bits", kSacm, "AT^SACM?\r\0"s, "AT^SACM?\r\r\n^SACM: 1,\"000012\",\"000300\"\r\n\r\nOK", {"1", "12", "44"}},
};
// clang-format on

class AtTexts : public AtFixture, public ::testing::WithParamInterface<TextCase> {};

TEST_P(AtTexts, ReadTheirValues) {
    const TextCase& c = GetParam();
    answer(c.reply);
    unsigned short status = 77;
    EXPECT_EQ(c.get(h, &status), c.out);
    EXPECT_EQ(status, c.status);
    ASSERT_EQ(requests(), Strings{c.request});
    EXPECT_EQ(log().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Replies, AtTexts, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtFixture, TextGettersAreGatedByTheLibraryMode) {
    KAVOR_SetLibraryMode(1);
    Slot<32> t;
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_Get_CGMI(h, t.b, &status), 0);
    EXPECT_EQ(t.str(), std::string(32, '#'));
    EXPECT_EQ(status, 77);
    EXPECT_TRUE(sends().empty());
}

TEST_F(AtFixture, ATextGetterLeavesItsSlotWhenTheSendFails) {
    phone().inject("QLIB_SendRAW", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    Slot<16> t;
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_Get_CPIN(h, t.b, &status), 0);
    EXPECT_EQ(t.str(), std::string(16, '#'));
    EXPECT_EQ(status, 77);
}

} // namespace
