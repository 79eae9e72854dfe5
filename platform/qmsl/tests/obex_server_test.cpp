// The simulated phone's OBEX server on the raw channel.
#include "qmsl_obex_sim.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using qmsl_sim::ObexOp;

constexpr unsigned kPort = 9;
const Bytes kTarget = {0x6B, 0x01, 0xCB, 0x31, 0x41, 0x06, 0x11, 0xD4,
                       0x9A, 0x77, 0x00, 0x50, 0xDA, 0x3F, 0x47, 0x1F};

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes text(const std::string& s, bool nul = false) {
    Bytes b(s.begin(), s.end());
    if (nul) b.push_back(0);
    return b;
}
Bytes be16(unsigned v) { return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)}; }
// An OBEX packet: opcode, length, the rest.
Bytes packet(std::uint8_t opcode, const Bytes& rest) { return Bytes{opcode} + be16(3 + rest.size()) + rest; }
Bytes name(const std::string& s) {
    Bytes b{0x01};
    b = b + be16(3 + 2 * s.size() + 2);
    for (char c : s) b = b + Bytes{0, static_cast<std::uint8_t>(c)};
    return b + Bytes{0, 0};
}

class ObexServer : public ::testing::Test {
protected:
    void SetUp() override {
        pclock::use_virtual_time(0);
        qmsl_sim::reset();
        h = QLIB_ConnectServer(kPort);
        ASSERT_NE(h, 0);
    }
    void TearDown() override { qmsl_sim::reset(); }
    qmsl_sim::Phone& phone() { return qmsl_sim::phone(kPort); }
    qmsl_sim::ObexServer& server() { return qmsl_sim::obex(phone()); }
    // The answer to one raw request (nullopt: none came).
    std::optional<Bytes> send(const Bytes& request) {
        unsigned char reply[4096];
        unsigned short n = sizeof reply;
        if (!QLIB_SendRAW(h, static_cast<unsigned short>(request.size()), request.data(), &n, reply, 3000))
            return std::nullopt;
        return Bytes(reply, reply + n);
    }
    Bytes id() { return Bytes{0xCB, 0x00, 0xC0, 0xFF, 0xEE}; }
    void connect() {
        qmsl_sim::set_obex_mode(phone(), true);
        auto a = send(packet(0x80, Bytes{0x10, 0x00, 0x0F, 0xFD, 0x46, 0x00, 0x13} + kTarget));
        ASSERT_TRUE(a);
        ASSERT_EQ((*a)[0], 0xA0);
    }
    std::uint8_t code(const Bytes& request) {
        auto a = send(request);
        return a && !a->empty() ? (*a)[0] : 0;
    }
    QmslHandle h = 0;
};

TEST_F(ObexServer, AtCommandSwitchesTheSilentPortIntoObexMode) {
    EXPECT_FALSE(send(packet(0x80, {0x10, 0x00, 0x0F, 0xFD})));
    EXPECT_EQ(send(text("AT^SQWE=3\r", true)), text("AT^SQWE=3\r\r\nOK"));
    EXPECT_TRUE(qmsl_sim::obex_mode(phone()));
    EXPECT_EQ(phone().values["obex_mode"], 1);
    // In OBEX mode the AT command is no longer answered.
    EXPECT_FALSE(send(text("AT^SQWE=3\r", true)));
}

TEST_F(ObexServer, EscapeLeavesObexModeAndEndsTheSession) {
    connect();
    EXPECT_EQ(send(text("+++", true)), text("OK"));
    EXPECT_EQ(phone().values["obex_mode"], 0);
    EXPECT_FALSE(server().connected);
    EXPECT_FALSE(send(text("+++", true)));  // not answered outside OBEX mode
}

TEST_F(ObexServer, ConnectAnswerCarriesIdAndWho) {
    qmsl_sim::set_obex_mode(phone(), true);
    auto a = send(packet(0x80, Bytes{0x10, 0x00, 0x0F, 0xFD, 0x46, 0x00, 0x13} + kTarget));
    ASSERT_TRUE(a);
    EXPECT_EQ(*a, (Bytes{0xA0, 0x00, 0x1F, 0x10, 0x00, 0x0F, 0xFD} + id() + Bytes{0x4A, 0x00, 0x13} + kTarget));
}

TEST_F(ObexServer, RequestsOutsideTheSessionAreUnavailable) {
    qmsl_sim::set_obex_mode(phone(), true);
    EXPECT_EQ(code(packet(0x81, id())), 0xD3);
    connect();
    EXPECT_EQ(code(packet(0x81, {0xCB, 0, 0, 0, 1})), 0xD3);
    EXPECT_EQ(code(packet(0x81, id())), 0xA0);
}

TEST_F(ObexServer, SetPathCreatesOnlyWhenAllowed) {
    connect();
    EXPECT_EQ(code(packet(0x85, Bytes{0x02, 0x00} + id() + name("new"))), 0xC4);
    EXPECT_EQ(code(packet(0x85, Bytes{0x00, 0x00} + id() + name("new"))), 0xA0);
    EXPECT_TRUE(server().has_folder("new"));
    EXPECT_EQ(server().current, "new");
    EXPECT_EQ(code(packet(0x85, Bytes{0x02, 0x00} + id())), 0xA0);
    EXPECT_EQ(server().current, "");
    EXPECT_EQ(server().set_paths, (std::vector<std::string>{"new", "new", "\\"}));
}

TEST_F(ObexServer, DeleteRefusesAFolderThatIsNotEmpty) {
    server().add_file("full/x", {1});
    server().add_folder("hollow");
    connect();
    EXPECT_EQ(code(packet(0x82, id() + name("full"))), 0xC3);
    EXPECT_EQ(code(packet(0x82, id() + name("hollow"))), 0xA0);
    EXPECT_EQ(code(packet(0x82, id() + name("hollow"))), 0xC4);
    EXPECT_FALSE(server().has_folder("hollow"));
}

TEST_F(ObexServer, ScriptedCodesReplaceTheAnswersInTurn) {
    server().add_file("f", {1, 2, 3});
    server().script[ObexOp::Get] = {0, 0xC3};
    connect();
    EXPECT_EQ(code(packet(0x83, id() + name("f"))), 0x90);  // its own answer: the data
    EXPECT_EQ(code(packet(0x83, id())), 0xC3);              // the script's, ending the get
    EXPECT_EQ(code(packet(0x83, id() + name("f"))), 0x90);  // a new get, answered again
    EXPECT_EQ(code(packet(0x83, id())), 0xA0);
}

TEST_F(ObexServer, PutStoresTheFileAtTheFinalPacket) {
    connect();
    const Bytes time = Bytes{0x44, 0x00, 0x12} + text("20050701T134500");
    EXPECT_EQ(code(packet(0x02, id() + name("f") + Bytes{0xC3, 0, 0, 0, 4} + time + Bytes{0x48, 0x00, 0x05, 1, 2})), 0x90);
    EXPECT_EQ(server().files.count("f"), 0u);
    EXPECT_EQ(code(packet(0x82, id() + Bytes{0x49, 0x00, 0x05, 3, 4})), 0xA0);
    EXPECT_EQ(server().files["f"].data, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(server().files["f"].time, "20050701T134500");
}

TEST_F(ObexServer, FreeSpaceAnswerCarriesTheFigure) {
    server().free_bytes = 0x01020304;
    connect();
    EXPECT_EQ(send(packet(0x83, id() + Bytes{0x4C, 0x00, 0x06, 0x32, 0x01, 0x02})),
              (Bytes{0xA0, 0x00, 0x0C, 0x4C, 0x00, 0x09, 0x32, 0x04, 1, 2, 3, 4}));
}

} // namespace
