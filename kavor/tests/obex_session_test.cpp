// The OBEX session around every file operation: connect and its answer
// checks, disconnect, the port's mode, the library mode, and the return to
// AT commands.
#include "obex_test_support.h"

#include <functional>

namespace {

using namespace obextest;

unsigned short g_bits;

unsigned char freeSpace(QmslHandle h) {
    unsigned int free = 0;
    return KAVOR_OBEX_FreeSpaceCheck(h, &free, &g_bits);
}

const Bytes kConnectHead = {0x10, 0x00, 0x0F, 0xFD};
Bytes who(Bytes target) { return Bytes{0x4A} + be16(3 + target.size()) + target; }

struct ConnectCase {
    const char* name;
    Bytes answer;  // the phone's whole answer to the connect
    unsigned short bits;
};
void PrintTo(const ConnectCase& c, std::ostream* os) { *os << c.name; }

class ObexConnect : public ObexFixture, public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(ObexConnect, AnswerIsJudged) {
    answerOpcode(0x80, GetParam().answer);
    server().connected = true;  // the replaced answer opens no session of its own
    const unsigned short bits = GetParam().bits;
    EXPECT_EQ(freeSpace(h), bits & 1 ? 0 : 1);
    EXPECT_EQ(g_bits, bits);
    EXPECT_EQ(requests().size(), bits & 1 ? 1u : 3u);
}

Bytes badTarget() {
    Bytes t = kTarget;
    t[15] ^= 1;
    return t;
}

INSTANTIATE_TEST_SUITE_P(
    Obex, ObexConnect,
    ::testing::Values(
        ConnectCase{"IdAndWho", answer(0xA0, kConnectHead + kIdBytes + who(kTarget)), 0},
        ConnectCase{"IdWithoutWho", answer(0xA0, kConnectHead + kIdBytes), 0},
        ConnectCase{"NeitherIdNorWho", answer(0xA0, kConnectHead), 1},
        ConnectCase{"WrongTarget", answer(0xA0, kConnectHead + kIdBytes + who(badTarget())), 1},
        ConnectCase{"WhoCutShort", answer(0xA0, kConnectHead + kIdBytes + Bytes{0x4A, 0x00, 0x13} +
                                                    Bytes(kTarget.begin(), kTarget.begin() + 15)), 1},
        ConnectCase{"IdCutShort", answer(0xA0, kConnectHead + Bytes{0xCB, 0x00, 0xC0}), 1},
        // The id is beyond the length the answer announces: not read.
        ConnectCase{"IdBeyondTheAnnouncedLength", Bytes{0xA0, 0x00, 0x07} + kConnectHead + kIdBytes, 1},
        // An announced length beyond what arrived: only what arrived is read.
        ConnectCase{"AnnouncedLengthBeyondTheAnswer", Bytes{0xA0, 0x01, 0x00} + kConnectHead + kIdBytes, 0},
        ConnectCase{"Refused", answer(0xC3), 1},
        ConnectCase{"Empty", Bytes{}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ObexFixture, ConnectForgetsTheIdOfTheLastSession) {
    EXPECT_EQ(freeSpace(h), 1);
    EXPECT_EQ(g_bits, 0);
    answerOpcode(0x80, answer(0xA0, kConnectHead));  // a later answer without an id
    EXPECT_EQ(freeSpace(h), 0);
    EXPECT_EQ(g_bits, 1);
}

struct DisconnectCase {
    const char* name;
    Bytes answer;
    unsigned short bits;
};
void PrintTo(const DisconnectCase& c, std::ostream* os) { *os << c.name; }

class ObexDisconnect : public ObexFixture, public ::testing::WithParamInterface<DisconnectCase> {};

TEST_P(ObexDisconnect, AnswerIsJudged) {
    answerOpcode(0x81, GetParam().answer);
    EXPECT_EQ(freeSpace(h), GetParam().bits ? 0 : 1);
    EXPECT_EQ(g_bits, GetParam().bits);
}

INSTANTIATE_TEST_SUITE_P(Obex, ObexDisconnect,
                         ::testing::Values(DisconnectCase{"Plain", answer(0xA0), 0},
                                           DisconnectCase{"ShortButSuccess", Bytes{0xA0}, 0},
                                           DisconnectCase{"SameId", answer(0xA0, kIdBytes), 0},
                                           DisconnectCase{"OtherId", answer(0xA0, {0xCB, 0, 0, 0, 1}), 2},
                                           DisconnectCase{"IdCutShort", answer(0xA0, {0xCB, 0, 0xC0}), 2},
                                           DisconnectCase{"Refused", answer(0xC0), 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ObexFixture, AnswerWithAnotherIdFailsTheListing) {
    answerOpcode(0x83, answer(0x90, Bytes{0xCB, 0, 0, 0, 1, 0x48, 0x00, 0x04, 'x'}));
    char buffer[16];
    unsigned int size = sizeof buffer;
    EXPECT_EQ(KAVOR_OBEX_ListDir(h, "", buffer, &size, &g_bits), 1);
    EXPECT_EQ(g_bits, 8);
    EXPECT_EQ(size, 0u);
}

TEST_F(ObexFixture, AnswerWithTheSessionIdIsRead) {
    answerOpcode(0x83, answer(0xA0, kIdBytes + Bytes{0x49, 0x00, 0x05, 'o', 'k'}));
    char buffer[16];
    unsigned int size = sizeof buffer;
    EXPECT_EQ(KAVOR_OBEX_ListDir(h, "", buffer, &size, &g_bits), 1);
    EXPECT_EQ(g_bits, 0);
    EXPECT_EQ(std::string(buffer, size), "ok");
}

TEST_F(ObexFixture, PortInAtModeAnswersNoConnect) {
    qmsl_sim::set_obex_mode(phone(), false);
    const auto before = pclock::now_ms();
    EXPECT_EQ(freeSpace(h), 0);
    EXPECT_EQ(g_bits, 1);
    EXPECT_EQ(pclock::now_ms() - before, 3000);  // the connect's time-out, on virtual time
}

// Every export once, with all its pointers valid.
const std::vector<std::function<unsigned char(QmslHandle)>> kEveryExport = {
    [](QmslHandle h) { static char b[8]; unsigned int n = 8; return KAVOR_OBEX_ListDir(h, "", b, &n, &g_bits); },
    [](QmslHandle h) { return KAVOR_OBEX_GetFile(h, "", "x", "/tmp/", &g_bits); },
    [](QmslHandle h) { return KAVOR_OBEX_SendFile(h, "/tmp/", "x", "", &g_bits); },
    [](QmslHandle h) { return KAVOR_OBEX_DeleteFile(h, "", "x", &g_bits); },
    [](QmslHandle h) { return KAVOR_OBEX_CreateFolder(h, "", "x", &g_bits); },
    [](QmslHandle h) { return KAVOR_OBEX_CopyFile(h, "a\\", "x", "b\\", &g_bits); },
    [](QmslHandle h) { return KAVOR_OBEX_MoveFile(h, "a\\", "x", "b\\", &g_bits); },
    [](QmslHandle h) { return KAVOR_OBEX_SetAttr(h, "", "x", 1, 1, &g_bits); },
    freeSpace,
    [](QmslHandle h) { unsigned short code; return KAVOR_OBEX_2_AT(h, &code); },
};

TEST_F(ObexFixture, ServerModeRefusesEveryExportUnsent) {
    KAVOR_SetLibraryMode(1);
    for (const auto& call : kEveryExport) EXPECT_EQ(call(h), 0);
    EXPECT_TRUE(requests().empty());
    KAVOR_SetLibraryMode(0);  // the same handle works again
    EXPECT_EQ(freeSpace(h), 1);
}

TEST_F(ObexFixture, UnknownHandleRefusesEveryExportUnsent) {
    for (const auto& call : kEveryExport) EXPECT_EQ(call(h + 1), 0);
    EXPECT_TRUE(requests().empty());
}

TEST_F(ObexFixture, MissingOutParametersGiveFalseUnsent) {
    char b[8];
    unsigned int n = 8, free = 0;
    EXPECT_EQ(KAVOR_OBEX_ListDir(h, "", nullptr, &n, &g_bits), 0);
    EXPECT_EQ(KAVOR_OBEX_ListDir(h, "", b, nullptr, &g_bits), 0);
    EXPECT_EQ(KAVOR_OBEX_ListDir(h, "", b, &n, nullptr), 0);
    EXPECT_EQ(KAVOR_OBEX_DeleteFile(h, "", "x", nullptr), 0);
    EXPECT_EQ(KAVOR_OBEX_FreeSpaceCheck(h, nullptr, &g_bits), 0);
    EXPECT_EQ(KAVOR_OBEX_FreeSpaceCheck(h, &free, nullptr), 0);
    EXPECT_TRUE(requests().empty());
}

struct FigureCase {
    const char* name;
    Bytes reply;  // empty: the simulated phone's own answer
};
void PrintTo(const FigureCase& c, std::ostream* os) { *os << c.name; }
class FreeSpaceFigure : public ObexFixture, public ::testing::WithParamInterface<FigureCase> {};

// The figure is the last four bytes of the response as its full length
// gives them, whichever header carries them.
TEST_P(FreeSpaceFigure, IsTheLastFourBytesOfTheResponse) {
    server().free_bytes = 0x12345678;
    if (!GetParam().reply.empty()) answerOpcode(0x83, GetParam().reply);
    unsigned int free = 0;
    EXPECT_EQ(KAVOR_OBEX_FreeSpaceCheck(h, &free, &g_bits), 1);
    EXPECT_EQ(g_bits, 0);
    EXPECT_EQ(free, 0x12345678u);
}

const Bytes kFigure{0x12, 0x34, 0x56, 0x78};
INSTANTIATE_TEST_SUITE_P(
    Replies, FreeSpaceFigure,
    ::testing::Values(FigureCase{"InApplicationParameters", {}},
                      FigureCase{"InEndOfBody", answer(0xA0, Bytes{0x49, 0x00, 0x07} + kFigure)},
                      FigureCase{"WithoutAHeader", answer(0xA0, kFigure)},
                      // 313 bytes: the length's low byte alone (0x39) would point elsewhere.
                      FigureCase{"AfterMoreThan255Bytes",
                                 answer(0xA0, Bytes{0x48, 0x01, 0x2F} + filled(300) + Bytes{0x49, 0x00, 0x07} + kFigure)}),
    [](const ::testing::TestParamInfo<FigureCase>& i) { return std::string(i.param.name); });

TEST_F(ObexFixture, BackToAtLeavesObexModeWithQuietSecondsAround) {
    unsigned short code = 0;
    const auto before = pclock::now_ms();
    EXPECT_EQ(KAVOR_OBEX_2_AT(h, &code), 1);
    EXPECT_EQ(code, 'O');  // the phone's "OK"
    EXPECT_FALSE(qmsl_sim::obex_mode(phone()));
    EXPECT_EQ(pclock::now_ms() - before, 2000);
    const auto sent = phone().calls("QLIB_SendRAW");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].at_ms - before, 1000);
    EXPECT_EQ(phone().log_texts(h), std::vector<std::string>{"KAVOR_OBEX_2_AT()"});
}

TEST_F(ObexFixture, BackToAtIsTrueEvenWithoutAnswer) {
    qmsl_sim::set_obex_mode(phone(), false);  // nothing answers "+++" in AT mode
    unsigned short code = 0x55;
    EXPECT_EQ(KAVOR_OBEX_2_AT(h, &code), 1);
    EXPECT_EQ(code, 0);
}

TEST_F(ObexFixture, ObexCallsFailOnceBackInAtMode) {
    unsigned short code = 0;
    KAVOR_OBEX_2_AT(h, &code);
    EXPECT_EQ(freeSpace(h), 0);
    EXPECT_EQ(g_bits, 1);
}

} // namespace
