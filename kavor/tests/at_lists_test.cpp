// The AT list and access commands: their requests, and what their readers
// make of empty lists, one entry, the most entries a caller holds, and
// replies cut in the middle of an entry.
#include "at_test_support.h"

#include <cstring>
#include <functional>

namespace {

using namespace attest;

using Strings = std::vector<std::string>;
std::string n(long long v) { return std::to_string(v); }

// --- requests --------------------------------------------------------------------

struct ListRequest {
    const char* name;
    std::function<unsigned char(QmslHandle, unsigned short*)> invoke;
    std::string request;
    unsigned long timeout = 3000;
};
void PrintTo(const ListRequest& c, std::ostream* os) { *os << c.name; }

struct Lists {
    unsigned int a[KAVOR_AT_LIST_MAX], b[KAVOR_AT_LIST_MAX], c[KAVOR_AT_LIST_MAX], d[KAVOR_AT_LIST_MAX];
    int i[KAVOR_AT_LIST_MAX];
    char s[KAVOR_AT_LIST_MAX];
    char numbers[KAVOR_AT_LIST_MAX][KAVOR_AT_NUMBER_SLOT];
    char texts[KAVOR_AT_LIST_MAX][KAVOR_AT_MESSAGE_SLOT];
    unsigned int count = 77;
    Lists() {
        std::fill(std::begin(a), std::end(a), 77u);
        std::fill(std::begin(b), std::end(b), 77u);
        std::fill(std::begin(c), std::end(c), 77u);
        std::fill(std::begin(d), std::end(d), 77u);
        std::fill(std::begin(i), std::end(i), 77);
        std::fill(std::begin(s), std::end(s), '#');
        for (auto& x : numbers) std::fill(std::begin(x), std::end(x), '#');
        for (auto& x : texts) std::fill(std::begin(x), std::end(x), '#');
    }
};

const char kPassword[] = {1, 2, 3, 4, 0};

// clang-format off
const ListRequest kRequests[] = {
    {"CmglFilter", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_CMGL(h, 4, l.a, l.b, l.i, l.c, l.texts, &l.count, s); }, "AT+CMGL=4\r\0"s},
    {"CmglFilterMarkerSendsZero", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_CMGL(h, 0xFF, l.a, l.b, l.i, l.c, l.texts, &l.count, s); }, "AT+CMGL=0\r\0"s},
    {"SmglCaret", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_SMGL(h, 1, l.a, l.b, l.i, l.c, l.texts, &l.count, s); }, "AT^SMGL=1\r\0"s},
    {"CmgrIndex0", [](QmslHandle h, unsigned short* s) { unsigned short len; char st; char t[8]; return KAVOR_AT_Set_CMGR(h, 0, 8, &len, &st, t, s); }, "AT+CMGR=0\r\0"s},
    {"CmgrIndex10", [](QmslHandle h, unsigned short* s) { unsigned short len; char st; char t[8]; return KAVOR_AT_Set_CMGR(h, 10, 8, &len, &st, t, s); }, "AT+CMGR=10\r\0"s},
    {"CmgrIndex100", [](QmslHandle h, unsigned short* s) { unsigned short len; char st; char t[8]; return KAVOR_AT_Set_CMGR(h, 100, 8, &len, &st, t, s); }, "AT+CMGR=100\r\0"s},
    {"CmgrIndex101SendsNoNumber", [](QmslHandle h, unsigned short* s) { unsigned short len; char st; char t[8]; return KAVOR_AT_Set_CMGR(h, 101, 8, &len, &st, t, s); }, "AT+CMGR=\r\0"s},
    {"SmgrCaret", [](QmslHandle h, unsigned short* s) { unsigned short len; char st; char t[8]; return KAVOR_AT_Set_SMGR(h, 3, 8, &len, &st, t, s); }, "AT^SMGR=3\r\0"s},
    {"ClckPasswordDigitValues", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CLCK(h, "SC", 1, kPassword, -1, s); }, "AT+CLCK=\"SC\",1,1234\r\0"s, 40000},
    {"ClckWithClass", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CLCK(h, "SC", 0, kPassword, 7, s); }, "AT+CLCK=\"SC\",0,1234,7\r\0"s, 40000},
    {"ClckClassUpToThreeDigits", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CLCK(h, "SC", 0, kPassword, 1024, s); }, "AT+CLCK=\"SC\",0,1234,102\r\0"s, 40000},
    {"ClckModeTwoSendsNothingFurther", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CLCK(h, "SC", 2, kPassword, 7, s); }, "AT+CLCK=\"SC\",2\r\0"s, 40000},
    {"ClckPasswordLeftOutTakesTheClass", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CLCK(h, "PN", 1, "-", 7, s); }, "AT+CLCK=\"PN\",1\r\0"s, 40000},
    {"SlckCaret", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_SLCK(h, "SC", 1, kPassword, -1, s); }, "AT^SLCK=\"SC\",1,1234\r\0"s, 40000},
    {"GetClck", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_Get_CLCK(h, "SC", l.s, l.i, &l.count, s); }, "AT+CLCK=\"SC\",2\r\0"s, 5000},
    {"GetSlck", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_Get_SLCK(h, "FD", l.s, l.i, &l.count, s); }, "AT^SLCK=\"FD\",2\r\0"s, 5000},
    {"CcfcRegister", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCFC(h, 0, 3, "+49123", 145, 7, 20, s); }, "AT+CCFC=0,3,\"+49123\",1,7,2\r\0"s, 25000},
    {"CcfcEachLeftOutAlone", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCFC(h, 1, 3, "123", 0xFF, -1, 5, s); }, "AT+CCFC=1,3,\"123\",5\r\0"s, 25000},
    {"CcfcModeTwo", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCFC(h, 0, 2, "123", 1, 1, 1, s); }, "AT+CCFC=0,2\r\0"s, 25000},
    {"CcfcNumberLeftOut", [](QmslHandle h, unsigned short* s) { return KAVOR_AT_Set_CCFC(h, 0, 4, "-", 1, 1, 1, s); }, "AT+CCFC=0,4\r\0"s, 25000},
    {"GetCcfc", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_Get_CCFC(h, 2, l.a, l.b, l.numbers, l.c, l.d, &l.count, s); }, "AT+CCFC=2,2\r\0"s, 10000},
    {"CcwaQuery", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_Set_CCWA(h, 1, 2, -1, l.a, l.b, &l.count, s); }, "AT+CCWA=1,2\r\0"s, 20000},
    {"CcwaModeLeftOutAlone", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_Set_CCWA(h, 1, 0xFF, 7, l.a, l.b, &l.count, s); }, "AT+CCWA=1,7\r\0"s, 20000},
    {"CcwaFirstLeftOut", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_Set_CCWA(h, 0xFF, 2, 7, l.a, l.b, &l.count, s); }, "AT+CCWA\r\0"s, 20000},
    {"Cgact", [](QmslHandle h, unsigned short* s) { Lists l; return KAVOR_AT_Get_CGACT(h, l.a, l.b, &l.count, s); }, "AT+CGACT?\r\0"s},
    {"CrsmThreeDigitCommand", [](QmslHandle h, unsigned short* s) { unsigned a, b; char r[8]; return KAVOR_AT_CRSM(h, 12, -1, 0, 0, 0, "-", &a, &b, r, s); }, "AT+CRSM=012\r\0"s},
    {"CrsmAllFields", [](QmslHandle h, unsigned short* s) { unsigned a, b; char r[8]; return KAVOR_AT_CRSM(h, 214, 5, 0, 1, 2, "\x01\x02", &a, &b, r, s); }, "AT+CRSM=214,5,0,1,212\r\0"s},
    {"CrsmAnyParameterLeftOutStops", [](QmslHandle h, unsigned short* s) { unsigned a, b; char r[8]; return KAVOR_AT_CRSM(h, 176, 5, 0, -1, 2, "\x01", &a, &b, r, s); }, "AT+CRSM=176,5\r\0"s},
    {"CrsmDataLeftOut", [](QmslHandle h, unsigned short* s) { unsigned a, b; char r[8]; return KAVOR_AT_CRSM(h, 176, 28423, 0, 0, 9, "-", &a, &b, r, s); }, "AT+CRSM=176,2,0,0,9\r\0"s},
};
// clang-format on

class AtListRequests : public AtFixture, public ::testing::WithParamInterface<ListRequest> {};

TEST_P(AtListRequests, SendTheExactBytes) {
    const ListRequest& c = GetParam();
    engine().answer_ms.clear();
    unsigned short status = 77;
    EXPECT_EQ(c.invoke(h, &status), 1);
    ASSERT_EQ(requests(), Strings{c.request});
    EXPECT_EQ(sends()[0].args[1], static_cast<long long>(c.timeout));
    EXPECT_EQ(log().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Commands, AtListRequests, ::testing::ValuesIn(kRequests),
                         [](const auto& info) { return std::string(info.param.name); });

// --- message lists ----------------------------------------------------------------

std::string messageEntries(int count) {
    std::string r;
    for (int k = 0; k < count; ++k) r += "\r\n+CMGL: " + n(k + 1) + ",1,,2\r\nm" + n(k % 10);
    return r;
}

struct MessageCase {
    const char* name;
    std::string reply;
    unsigned count;
    Strings first;  // index, status, third, length, text of entry 0 (when there is one)
    Strings last = {};
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

// clang-format off
const MessageCase kMessages[] = {
    {"Empty", "AT+CMGL=4\r\r\nOK", 0, {}},
    {"EmptyWithoutEcho", "\r\nOK", 0, {}},
    {"One", "AT+CMGL=4\r\r\n+CMGL: 1,0,,5\r\nHello\r\n\r\nOK", 1, {"1", "0", "-1", "5", "Hello"}},
    {"TwoDigitIndexAndThird", "AT+CMGL=4\r\r\n+CMGL: 12,1,3,11\r\nHello World\r\n\r\nOK", 1, {"12", "1", "3", "11", "Hello World"}},
    {"Two", "\r\n+CMGL: 1,0,,2\r\nab\r\n+CMGL: 2,1,,3\r\ncde\r\n\r\nOK", 2, {"1", "0", "-1", "2", "ab"}, {"2", "1", "-1", "3", "cde"}},
    {"TheMost", "AT+CMGL=4\r" + messageEntries(KAVOR_AT_LIST_MAX + 3) + "\r\n\r\nOK", KAVOR_AT_LIST_MAX, {"1", "1", "-1", "2", "m0"}, {"32", "1", "-1", "2", "m1"}},
    {"CutInTheText", "\r\n+CMGL: 1,0,,5\r\nHel", 1, {"1", "0", "-1", "5", "Hel"}},
    {"CutInTheHeader", "\r\n+CMGL: 1,0", 0, {}},
    {"LongTextFillsItsSlot", "\r\n+CMGL: 1,0,,1200\r\n" + std::string(1200, 'x') + "\r\n\r\nOK", 1, {"1", "0", "-1", "1200", std::string(KAVOR_AT_MESSAGE_SLOT, 'x')}},
    {"LongTextStaysOutOfTheNextSlot", "\r\n+CMGL: 1,0,,1200\r\n" + std::string(1200, 'x') + "\r\n+CMGL: 2,0,,0\r\n\r\n\r\nOK", 2, {"1", "0", "-1", "1200", std::string(KAVOR_AT_MESSAGE_SLOT, 'x')}, {"2", "0", "-1", "0", ""}},
};
// clang-format on

class AtMessageList : public AtFixture, public ::testing::WithParamInterface<MessageCase> {
protected:
    Strings entry(const Lists& l, unsigned k, std::size_t textLength) {
        std::string text(l.texts[k], KAVOR_AT_MESSAGE_SLOT);
        text.resize(std::min(text.find('#'), textLength));
        return {n(l.a[k]), n(l.b[k]), n(l.i[k]), n(l.c[k]), text};
    }
};

TEST_P(AtMessageList, ReadsItsEntries) {
    const MessageCase& c = GetParam();
    answer(c.reply);
    Lists l;
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_CMGL(h, 4, l.a, l.b, l.i, l.c, l.texts, &l.count, &status), 1);
    ASSERT_EQ(l.count, c.count);
    if (c.count) {
        EXPECT_EQ(entry(l, 0, KAVOR_AT_MESSAGE_SLOT), c.first);
    }
    if (!c.last.empty()) {
        EXPECT_EQ(entry(l, c.count - 1, KAVOR_AT_MESSAGE_SLOT), c.last);
    }
    if (c.count < KAVOR_AT_LIST_MAX) {
        EXPECT_EQ(l.a[c.count], 77u) << "no entry past the count is written";
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, AtMessageList, ::testing::ValuesIn(kMessages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtFixture, TheCaretListNeedsCaretLines) {
    answer("\r\n^SMGL: 1,0,,2\r\nab\r\n\r\nOK");
    Lists l;
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_SMGL(h, 4, l.a, l.b, l.i, l.c, l.texts, &l.count, &status), 1);
    EXPECT_EQ(l.count, 1u);
    answer("\r\n+CMGL: 1,0,,2\r\nab\r\n\r\nOK");
    ASSERT_EQ(KAVOR_AT_SMGL(h, 4, l.a, l.b, l.i, l.c, l.texts, &l.count, &status), 1);
    EXPECT_EQ(l.count, 0u);
}

TEST_F(AtFixture, AFailedMessageListSetsItsCountToZeroOnly) {
    phone().inject("QLIB_SendRAW", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    Lists l;
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_CMGL(h, 4, l.a, l.b, l.i, l.c, l.texts, &l.count, &status), 0);
    EXPECT_EQ(l.count, 0u);
    EXPECT_EQ(l.a[0], 77u);
    EXPECT_EQ(status, 77);
}

// --- one message --------------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::string reply;
    unsigned short size;
    Strings out;  // length, status, text (up to its NUL, '#' marks untouched)
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

const std::string kLong(120, 'L');

// clang-format off
const ReadCase kReads[] = {
    {"OneDigitLength", "AT+CMGR=1\r\r\n+CMGR: 0,,5\r\nHello\r\n\r\nOK", 64, {"5", "0", "Hello"}},
    {"TwoDigitLength", "AT+CMGR=1\r\r\n+CMGR: 1,,11\r\nHello World\r\n\r\nOK", 64, {"11", "1", "Hello World"}},
    {"ThreeDigitLength", "\r\n+CMGR: 2,,120\r\n" + kLong + "\r\n\r\nOK", 200, {"120", "2", kLong}},
    {"SmallBufferKeepsItsNul", "AT+CMGR=1\r\r\n+CMGR: 0,,5\r\nHello\r\n\r\nOK", 4, {"5", "0", "Hel"}},
    {"TextCutByTheReply", "\r\n+CMGR: 0,,20\r\nHel\r\n\r\nOK", 64, {"20", "0", "Hel\r\n\r\nOK"}},
    {"NoCommaIsAnEmptyMessage", "AT+CMGR=1\r\r\nOK", 64, {"0", "5", ""}},
    {"ErrorReadsNothing", "AT+CMGR=1\r\r\n+CMGR: 0,,5\r\nHello\r\n\r\nERROR", 64, {"77", "#", "#"}},
    {"LowerCaseOkIsRead", "\r\n+CMGR: 3,,2\r\nab\r\n\r\nok", 64, {"2", "3", "ab"}},
};
// clang-format on

class AtMessageRead : public AtFixture, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(AtMessageRead, ReadsTheMessage) {
    const ReadCase& c = GetParam();
    answer(c.reply);
    unsigned short length = 77;
    char status = '#';
    char text[256];
    std::fill(std::begin(text), std::end(text), '#');
    unsigned short at = 77;
    ASSERT_EQ(KAVOR_AT_Set_CMGR(h, 1, c.size, &length, &status, text, &at), 1);
    const std::string shown = text[0] == '#' ? "#" : std::string(text, strnlen(text, sizeof text));
    EXPECT_EQ((Strings{n(length), std::string(1, status), shown}), c.out);
}

INSTANTIATE_TEST_SUITE_P(Replies, AtMessageRead, ::testing::ValuesIn(kReads),
                         [](const auto& info) { return std::string(info.param.name); });

// --- lock, forwarding, waiting and context lists ------------------------------------

std::string lockEntries(int count) {
    std::string r;
    for (int k = 0; k < count; ++k) r += "\r\n+CLCK: 1," + n(k % 10);
    return r;
}

struct LockCase {
    const char* name;
    std::string reply;
    unsigned count;
    std::string statuses;
    std::vector<int> classes;
};
void PrintTo(const LockCase& c, std::ostream* os) { *os << c.name; }

// clang-format off
const LockCase kLocks[] = {
    {"Empty", "AT+CLCK=\"SC\",2\r\r\nOK", 0, "", {}},
    {"OneWithClassOneWithout", "AT+CLCK=\"SC\",2\r\r\n+CLCK: 1,7\r\n+CLCK: 0\r\n\r\nOK", 2, "10", {'7', -1}},
    {"WithoutEcho", "\r\n+CLCK: 0,1\r\n\r\nOK", 1, "0", {'1'}},
    {"TheMost", "AT+CLCK=\"SC\",2\r" + lockEntries(KAVOR_AT_LIST_MAX + 2) + "\r\n\r\nOK", KAVOR_AT_LIST_MAX, std::string(KAVOR_AT_LIST_MAX, '1'), {}},
    {"CutAfterTheStatus", "AT+CLCK=\"SC\",2\r\r\n+CLCK: 1", 1, "1", {-1}},
};
// clang-format on

class AtLockList : public AtFixture, public ::testing::WithParamInterface<LockCase> {};

TEST_P(AtLockList, ReadsItsEntries) {
    const LockCase& c = GetParam();
    answer(c.reply);
    Lists l;
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_Get_CLCK(h, "SC", l.s, l.i, &l.count, &status), 1);
    ASSERT_EQ(l.count, c.count);
    EXPECT_EQ(std::string(l.s, c.count), c.statuses);
    for (std::size_t k = 0; k < c.classes.size(); ++k) EXPECT_EQ(l.i[k], c.classes[k]) << k;
}

INSTANTIATE_TEST_SUITE_P(Replies, AtLockList, ::testing::ValuesIn(kLocks),
                         [](const auto& info) { return std::string(info.param.name); });

std::string forwardingEntries(int count) {
    std::string r;
    for (int k = 0; k < count; ++k) r += std::string(k ? "," : "") + "1,7,\"+49" + n(k) + "\",145,20";
    return r;
}

struct ForwardingCase {
    const char* name;
    std::string reply;
    unsigned count;
    Strings first;  // status, class, number (up to '#'), type, time
};
void PrintTo(const ForwardingCase& c, std::ostream* os) { *os << c.name; }

// clang-format off
const ForwardingCase kForwarding[] = {
    {"Empty", "AT+CCFC=0,2\r\r\nOK", 0, {}},
    {"QuotedNumber", "AT+CCFC=0,2\r\r\n+CCFC: 1,7,\"+49123\",145,20\r\n\r\nOK", 1, {"1", "7", "+49123", "145", "20"}},
    {"PlainNumber", "\r\n+CCFC: 1,1,49123,129,5\r\n\r\nOK", 1, {"1", "1", "49123", "129", "5"}},
    {"ClassOnly", "AT+CCFC=0,2\r\r\n+CCFC: 0,7\r\n\r\nOK", 1, {"0", "7", "-", "4294967295", "4294967295"}},
    {"NumberWithoutType", "AT+CCFC=0,2\r\r\n+CCFC: 1,7,\"+49\"\r\n\r\nOK", 1, {"1", "7", "+49", "4294967295", "4294967295"}},
    {"TypeWithoutTime", "AT+CCFC=0,2\r\r\n+CCFC: 1,7,\"+49\",145\r\n\r\nOK", 1, {"1", "7", "+49", "145", "4294967295"}},
    {"TwoOnOneLine", "AT+CCFC=0,2\r\r\n+CCFC: " + forwardingEntries(2) + "\r\n\r\nOK", 2, {"1", "7", "+490", "145", "20"}},
    {"TheMost", "AT+CCFC=0,2\r\r\n+CCFC: " + forwardingEntries(KAVOR_AT_LIST_MAX + 2) + "\r\n\r\nOK", KAVOR_AT_LIST_MAX, {"1", "7", "+490", "145", "20"}},
    {"LongNumberFillsItsSlot", "\r\n+CCFC: 1,7,\"+4912345678901234\",145,20\r\n\r\nOK", 1, {"1", "7", "+49123456789", "145", "20"}},
    {"CutAfterTheNumber", "AT+CCFC=0,2\r\r\n+CCFC: 1,7,\"+49\",OK", 1, {"1", "7", "+49", "4294967295", "4294967295"}},
    {"ErrorReadsNothing", "AT+CCFC=0,2\r\r\n+CCFC: 1,7,\"+49\",145,20\r\n\r\nERROR", 77, {}},
};
// clang-format on

class AtForwardingList : public AtFixture, public ::testing::WithParamInterface<ForwardingCase> {};

TEST_P(AtForwardingList, ReadsItsEntries) {
    const ForwardingCase& c = GetParam();
    answer(c.reply);
    Lists l;
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_Get_CCFC(h, 0, l.a, l.b, l.numbers, l.c, l.d, &l.count, &status), 1);
    ASSERT_EQ(l.count, c.count);
    if (!c.first.empty()) {
        std::string number(l.numbers[0], KAVOR_AT_NUMBER_SLOT);
        number.resize(std::min(number.find('#'), number.size()));
        EXPECT_EQ((Strings{n(l.a[0]), n(l.b[0]), number, n(l.c[0]), n(l.d[0])}), c.first);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, AtForwardingList, ::testing::ValuesIn(kForwarding),
                         [](const auto& info) { return std::string(info.param.name); });

std::string pairEntries(const std::string& name, int count) {
    std::string r;
    for (int k = 0; k < count; ++k) r += "\r\n" + name + ": " + n(k + 1) + "," + n(k % 2);
    return r;
}

struct PairCase {
    const char* name;
    bool waiting;  // KAVOR_AT_Set_CCWA, else KAVOR_AT_Get_CGACT
    unsigned char mode;
    std::string reply;
    unsigned count;
    Strings first;
};
void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }

// clang-format off
const PairCase kPairs[] = {
    {"WaitingEmpty", true, 2, "AT+CCWA=1,2\r\r\nOK", 0, {}},
    {"WaitingTwo", true, 2, "AT+CCWA=1,2\r\r\n+CCWA: 1,1\r\n+CCWA: 0,2\r\n\r\nOK", 2, {"1", "1"}},
    {"WaitingMultiDigitClass", true, 2, "\r\n+CCWA: 1,255\r\n\r\nOK", 1, {"1", "255"}},
    {"WaitingTheMost", true, 2, "AT+CCWA=1,2\r" + pairEntries("+CCWA", KAVOR_AT_LIST_MAX + 1) + "\r\n\r\nOK", KAVOR_AT_LIST_MAX, {"1", "0"}},
    {"WaitingCutAfterTheStatus", true, 2, "AT+CCWA=1,2\r\r\n+CCWA: 1,OK", 1, {"1", "0"}},
    {"WaitingModeOneReadsNothing", true, 1, "AT+CCWA=1,1\r\r\n+CCWA: 1,1\r\n\r\nOK", 77, {}},
    {"WaitingErrorReadsNothing", true, 2, "AT+CCWA=1,2\r\r\nERROR", 77, {}},
    {"ContextsTwo", false, 0, "AT+CGACT?\r\r\n+CGACT: 1,1\r\n+CGACT: 2,0\r\n\r\nOK", 2, {"1", "1"}},
    {"ContextsWithoutEcho", false, 0, "\r\n+CGACT: 3,1\r\n\r\nOK", 1, {"3", "1"}},
    {"ContextsEmpty", false, 0, "AT+CGACT?\r\r\nOK", 0, {}},
    {"ContextsWithoutColonReadNothing", false, 0, "AT+CGACT?\r\r\n12OK", 0, {}},
};
// clang-format on

class AtPairList : public AtFixture, public ::testing::WithParamInterface<PairCase> {};

TEST_P(AtPairList, ReadsItsPairs) {
    const PairCase& c = GetParam();
    answer(c.reply);
    Lists l;
    unsigned short status = 77;
    if (c.waiting)
        ASSERT_EQ(KAVOR_AT_Set_CCWA(h, 1, c.mode, -1, l.a, l.b, &l.count, &status), 1);
    else
        ASSERT_EQ(KAVOR_AT_Get_CGACT(h, l.a, l.b, &l.count, &status), 1);
    ASSERT_EQ(l.count, c.count);
    if (!c.first.empty()) {
        EXPECT_EQ((Strings{n(l.a[0]), n(l.b[0])}), c.first);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, AtPairList, ::testing::ValuesIn(kPairs),
                         [](const auto& info) { return std::string(info.param.name); });

// --- SIM access -----------------------------------------------------------------------

struct SimCase {
    const char* name;
    std::string reply;
    Strings out;  // sw1, sw2, response up to '#' (a NUL included)
};
void PrintTo(const SimCase& c, std::ostream* os) { *os << c.name; }

// clang-format off
const SimCase kSim[] = {
    {"WithData", "AT+CRSM=176,5,0,0,9\r\r\n+CRSM: 144,0,\"0A0B\"\r\n\r\nOK", {"144", "0", "0A0B\"\0"s}},
    {"WithoutData", "AT+CRSM=176,5,0,0,9\r\r\n+CRSM: 106,130\r\n\r\nOK", {"106", "130", "-"}},
    {"EmptyData", "\r\n+CRSM: 144,0,\"\"\r\n\r\nOK", {"144", "0", "-"}},
    {"WithoutEcho", "\r\n+CRSM: 144,0,\"FF\"\r\n\r\nOK", {"144", "0", "FF\"\0"s}},
    {"CutInTheData", "\r\n+CRSM: 144,0,\"FF", {"144", "0", "FF\0"s}},
    {"NoReplyLine", "AT+CRSM=176,5,0,0,9\r\r\nERROR", {"77", "77", ""}},
};
// clang-format on

class AtSimAccess : public AtFixture, public ::testing::WithParamInterface<SimCase> {};

TEST_P(AtSimAccess, ReadsTheReplyLine) {
    const SimCase& c = GetParam();
    answer(c.reply);
    unsigned int sw1 = 77, sw2 = 77;
    char response[16];
    std::fill(std::begin(response), std::end(response), '#');
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_CRSM(h, 176, 5, 0, 0, 9, "-", &sw1, &sw2, response, &status), 1);
    std::string shown(response, sizeof response);
    shown.resize(shown.find('#'));
    EXPECT_EQ((Strings{n(sw1), n(sw2), shown}), c.out);
}

INSTANTIATE_TEST_SUITE_P(Replies, AtSimAccess, ::testing::ValuesIn(kSim),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

using namespace attest;

// A full reply area without a single stop byte: every reader ends at the
// reply's end, and every list at its most entries.
struct FullCase {
    const char* name;
    char fill;
};
void PrintTo(const FullCase& c, std::ostream* os) { *os << c.name; }

class AtFullReply : public AtFixture, public ::testing::WithParamInterface<FullCase> {
protected:
    void answerFull() { answer(std::string(KAVOR_AT_REPLY_MAX, GetParam().fill)); }
    unsigned short status = 77;
};

TEST_P(AtFullReply, EveryReaderStaysInside) {
    static char text[KAVOR_AT_REPLY_MAX + 1], other[KAVOR_AT_REPLY_MAX + 1];
    static char texts[KAVOR_AT_LIST_MAX][KAVOR_AT_MESSAGE_SLOT];
    static char numbers[KAVOR_AT_LIST_MAX][KAVOR_AT_NUMBER_SLOT];
    unsigned int a[KAVOR_AT_LIST_MAX], b[KAVOR_AT_LIST_MAX], c[KAVOR_AT_LIST_MAX], d[KAVOR_AT_LIST_MAX], count = 0;
    int i[KAVOR_AT_LIST_MAX];
    char s[KAVOR_AT_LIST_MAX], ch = 0;
    unsigned short len = 0;
    unsigned int sw1 = 0, sw2 = 0;

    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CGMI(h, text, &status), 1);
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CPIN(h, text, &status), 1);
    EXPECT_EQ(std::strlen(text), 15u);
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CSCB(h, &ch, text, other, &status), 1);
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CSCA(h, text, other, &status), 1);
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_IPR(h, a, &status), 1);
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CSQ(h, reinterpret_cast<unsigned char*>(&s[0]), reinterpret_cast<unsigned char*>(&s[1]), &status), 1);
    answerFull();
    EXPECT_EQ(KAVOR_AT_Set_CMGR(h, 1, sizeof text, &len, &ch, text, &status), 1);
    answerFull();
    EXPECT_EQ(KAVOR_AT_CMGL(h, 4, a, b, i, c, texts, &count, &status), 1);
    EXPECT_LE(count, static_cast<unsigned>(KAVOR_AT_LIST_MAX));
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CLCK(h, "SC", s, i, &count, &status), 1);
    EXPECT_LE(count, static_cast<unsigned>(KAVOR_AT_LIST_MAX));
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CCFC(h, 0, a, b, numbers, c, d, &count, &status), 1);
    answerFull();
    EXPECT_EQ(KAVOR_AT_Get_CGACT(h, a, b, &count, &status), 1);
    EXPECT_LE(count, static_cast<unsigned>(KAVOR_AT_LIST_MAX));
    answerFull();
    EXPECT_EQ(KAVOR_AT_CRSM(h, 176, 5, 0, 0, 9, "-", &sw1, &sw2, text, &status), 1);
}

INSTANTIATE_TEST_SUITE_P(Fills, AtFullReply,
                         ::testing::Values(FullCase{"Letters", 'x'}, FullCase{"Digits", '7'}, FullCase{"Colons", ':'},
                                           FullCase{"LineFeeds", '\n'}, FullCase{"Commas", ','}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
