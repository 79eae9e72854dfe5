// The list and access commands against the simulated phone's stores, with
// and without echo, and the long time-outs they wait on the clock.
#include "at_test_support.h"

#include <cstring>

namespace {

using namespace attest;

struct EchoCase {
    const char* name;
    bool echo;
};
void PrintTo(const EchoCase& c, std::ostream* os) { *os << c.name; }

class AtStores : public AtFixture, public ::testing::WithParamInterface<EchoCase> {
protected:
    void SetUp() override {
        AtFixture::SetUp();
        engine().echo = GetParam().echo;
    }
    unsigned short status = 77;
};

TEST_P(AtStores, MessagesAreListedAndRead) {
    engine().messages = {{1, 0, "Hello"}, {12, 1, "Hi there"}};
    unsigned int index[KAVOR_AT_LIST_MAX], state[KAVOR_AT_LIST_MAX], length[KAVOR_AT_LIST_MAX], count = 0;
    int third[KAVOR_AT_LIST_MAX];
    static char texts[KAVOR_AT_LIST_MAX][KAVOR_AT_MESSAGE_SLOT];
    ASSERT_EQ(KAVOR_AT_CMGL(h, 4, index, state, third, length, texts, &count, &status), 1);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(index[1], 12u);
    EXPECT_EQ(state[1], 1u);
    EXPECT_EQ(third[1], -1);
    EXPECT_EQ(std::string(texts[1], length[1]), "Hi there");

    unsigned short len = 0;
    char st = 0;
    char text[32];
    ASSERT_EQ(KAVOR_AT_Set_CMGR(h, 12, sizeof text, &len, &st, text, &status), 1);
    EXPECT_EQ(len, 8);
    EXPECT_EQ(st, '1');
    EXPECT_STREQ(text, "Hi there");
}

TEST_P(AtStores, ALockIsSetAndQueried) {
    const char password[] = {1, 2, 3, 4, 0};
    const long long before = pclock::now_ms();
    ASSERT_EQ(KAVOR_AT_Set_CLCK(h, "SC", 1, password, -1, &status), 1);
    EXPECT_EQ(pclock::now_ms() - before, 30000) << "the phone's answer time, within the 40000 ms time-out";
    char states[KAVOR_AT_LIST_MAX];
    int classes[KAVOR_AT_LIST_MAX];
    unsigned int count = 0;
    ASSERT_EQ(KAVOR_AT_Get_CLCK(h, "SC", states, classes, &count, &status), 1);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(states[0], '1');
    EXPECT_EQ(classes[0], -1);
}

TEST_P(AtStores, ForwardingIsRegisteredAndQueried) {
    ASSERT_EQ(KAVOR_AT_Set_CCFC(h, 0, 3, "+49123", 1, 7, 2, &status), 1);
    unsigned int st[KAVOR_AT_LIST_MAX], cls[KAVOR_AT_LIST_MAX], type[KAVOR_AT_LIST_MAX], time[KAVOR_AT_LIST_MAX], count = 0;
    char numbers[KAVOR_AT_LIST_MAX][KAVOR_AT_NUMBER_SLOT] = {};
    ASSERT_EQ(KAVOR_AT_Get_CCFC(h, 0, st, cls, numbers, type, time, &count, &status), 1);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(cls[0], 7u);
    EXPECT_STREQ(numbers[0], "+49123");
    EXPECT_EQ(type[0], 1u);
    EXPECT_EQ(time[0], 2u);
}

TEST_P(AtStores, WaitingAndContextsAreListed) {
    engine().waiting = {{1, 1}, {0, 4}};
    engine().contexts = {{1, 1}, {2, 0}, {3, 1}};
    unsigned int a[KAVOR_AT_LIST_MAX], b[KAVOR_AT_LIST_MAX], count = 0;
    ASSERT_EQ(KAVOR_AT_Set_CCWA(h, 1, 2, -1, a, b, &count, &status), 1);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(b[1], 4u);
    ASSERT_EQ(KAVOR_AT_Get_CGACT(h, a, b, &count, &status), 1);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(a[2], 3u);
}

TEST_P(AtStores, TheSimAnswersWithAndWithoutData) {
    engine().sim_file = {144, 0, "0A0B"};
    unsigned int sw1 = 0, sw2 = 9;
    char response[16] = {};
    ASSERT_EQ(KAVOR_AT_CRSM(h, 176, 5, 0, 0, 9, "-", &sw1, &sw2, response, &status), 1);
    EXPECT_EQ(sw1, 144u);
    EXPECT_EQ(sw2, 0u);
    EXPECT_STREQ(response, "0A0B\"");  // the closing quote ends the data
    engine().sim_file = {106, 130, ""};
    ASSERT_EQ(KAVOR_AT_CRSM(h, 192, 5, 0, 0, 9, "-", &sw1, &sw2, response, &status), 1);
    EXPECT_EQ(sw1, 106u);
    EXPECT_EQ(response[0], '-');
}

INSTANTIATE_TEST_SUITE_P(Echo, AtStores, ::testing::Values(EchoCase{"Echo", true}, EchoCase{"NoEcho", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtFixture, ALockAnswerPastItsTimeOutIsNoReply) {
    engine().answer_ms["+CLCK"] = 45000;
    const char password[] = {1, 2, 3, 4, 0};
    unsigned short status = 77;
    const long long before = pclock::now_ms();
    EXPECT_EQ(KAVOR_AT_Set_CLCK(h, "SC", 1, password, -1, &status), 0);
    EXPECT_EQ(pclock::now_ms() - before, 40000);
    EXPECT_EQ(status, 77);
}

TEST_F(AtFixture, ListCommandsAreGatedByTheLibraryMode) {
    KAVOR_SetLibraryMode(1);
    unsigned int a[KAVOR_AT_LIST_MAX], b[KAVOR_AT_LIST_MAX], count = 77;
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_Get_CGACT(h, a, b, &count, &status), 0);
    EXPECT_EQ(KAVOR_AT_Set_CCWA(h, 1, 2, -1, a, b, &count, &status), 0);
    EXPECT_EQ(count, 77u);
    EXPECT_EQ(status, 77);
    EXPECT_TRUE(sends().empty());
}

} // namespace
