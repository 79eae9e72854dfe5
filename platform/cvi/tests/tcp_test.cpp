#include "cvi_tcp.h"
#include "cvi_tcp_client.h"
#include "pclock.h"
#include "case_runner.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

using cvi_testing::pump;
using cvi_testing::TcpClient;

namespace {

struct Event {
    unsigned handle;
    int event;
};

std::vector<Event> g_events;
// When set, data-ready events read into g_read.
bool g_read_on_data = true;
std::string g_read;

int record(unsigned handle, int event, int, void* data) {
    EXPECT_EQ(data, &g_events);
    g_events.push_back({handle, event});
    if (event == TCP_DATAREADY && g_read_on_data) {
        char buf[8];
        int n = ServerTCPRead(handle, buf, sizeof buf, 1000);
        if (n > 0) g_read.append(buf, static_cast<size_t>(n));
    }
    return 0;
}

class CviTcp : public ::testing::Test {
protected:
    void SetUp() override {
        pclock::use_virtual_time(0);
        port = cvi_testing::free_port();
        ASSERT_NE(port, 0u);
        ASSERT_EQ(RegisterTCPServer(port, record, &g_events), 0);
    }
    void TearDown() override {
        UnregisterTCPServer(port);
        pclock::use_real_time();
    }
    // The handle of the one connect event recorded so far.
    unsigned connect_handle() {
        for (const Event& e : g_events)
            if (e.event == TCP_CONNECT) return e.handle;
        return 0;
    }
    unsigned port = 0;
};

// Connection handles are numbered from the start of the process.
PHONELINE_CASES_APART(CviTcp);

} // namespace

TEST_F(CviTcp, ConnectDataAndDisconnectReachTheCallback) {
    TcpClient client(port);
    ASSERT_TRUE(client.connected());
    pump();
    ASSERT_EQ(g_events.size(), 1u);
    EXPECT_EQ(g_events[0].event, TCP_CONNECT);
    const unsigned handle = g_events[0].handle;
    EXPECT_NE(handle, 0u);

    // 12 bytes arrive in reads of at most 8: data ready is raised again
    // while unread data waits.
    ASSERT_TRUE(client.send_text("hello, world"));
    pump();
    EXPECT_EQ(g_read, "hello, world");
    ASSERT_EQ(g_events.size(), 3u);
    EXPECT_EQ(g_events[1].event, TCP_DATAREADY);
    EXPECT_EQ(g_events[2].event, TCP_DATAREADY);
    EXPECT_EQ(g_events[2].handle, handle);

    client.close();
    pump();
    ASSERT_EQ(g_events.size(), 4u);
    EXPECT_EQ(g_events[3].event, TCP_DISCONNECT);
    EXPECT_EQ(g_events[3].handle, handle);
    // The handle is dead now.
    char buf[4];
    EXPECT_EQ(ServerTCPRead(handle, buf, sizeof buf, 1000), TCP_ERR_NO_CONNECTION);
    EXPECT_EQ(ServerTCPWrite(handle, "x", 1, 1000), TCP_ERR_NO_CONNECTION);
    EXPECT_EQ(pclock::now_ms(), 0);
}

TEST_F(CviTcp, EveryConnectionGetsANewHandle) {
    TcpClient a(port), b(port);
    pump();
    ASSERT_EQ(g_events.size(), 2u);
    EXPECT_NE(g_events[0].handle, g_events[1].handle);
    a.close();
    pump();
    TcpClient c(port);
    pump();
    ASSERT_EQ(g_events.size(), 4u);
    EXPECT_EQ(g_events[3].event, TCP_CONNECT);
    EXPECT_NE(g_events[3].handle, g_events[0].handle);
    EXPECT_NE(g_events[3].handle, g_events[1].handle);
}

TEST_F(CviTcp, WriteSendsExactlyTheBytesGivenIncludingANul) {
    TcpClient client(port);
    pump();
    const unsigned handle = connect_handle();
    EXPECT_EQ(ServerTCPWrite(handle, "abc", 4, 1000), 4);
    EXPECT_EQ(client.receive(4), std::string("abc\0", 4));
    EXPECT_EQ(ServerTCPWrite(handle, "", 0, 1000), 0);
    EXPECT_EQ(client.available(), "");
}

TEST_F(CviTcp, ReadWithNothingToReadTimesOutOnTheClock) {
    g_read_on_data = false;
    TcpClient client(port);
    pump();
    char buf[16];
    EXPECT_EQ(ServerTCPRead(connect_handle(), buf, sizeof buf, 1000), TCP_ERR_TIMEOUT);
    EXPECT_EQ(pclock::now_ms(), 1000);
    EXPECT_EQ(ServerTCPRead(connect_handle(), buf, sizeof buf, 0), TCP_ERR_TIMEOUT);
    EXPECT_EQ(pclock::now_ms(), 1000);
}

TEST_F(CviTcp, ReadAfterThePeerClosedGivesConnectionClosed) {
    g_read_on_data = false;
    TcpClient client(port);
    pump();
    client.close();
    char buf[16];
    EXPECT_EQ(ServerTCPRead(connect_handle(), buf, sizeof buf, 1000), TCP_ERR_CONNECTION_CLOSED);
}

TEST_F(CviTcp, WriteToAPeerThatHasGoneFailsWithoutASignal) {
    TcpClient client(port);
    pump();
    const unsigned handle = connect_handle();
    client.close();
    // The first send may still be taken by the kernel; later ones fail.
    int result = 0;
    for (int i = 0; i < 10 && result >= 0; ++i) result = ServerTCPWrite(handle, "data", 5, 1000);
    EXPECT_LT(result, 0);
}

TEST_F(CviTcp, DisconnectClosesTheConversationWithoutAnEvent) {
    TcpClient client(port), other(port);
    pump();
    ASSERT_EQ(g_events.size(), 2u);
    const unsigned handle = g_events[0].handle;
    const std::size_t watches = cvi::watch_count();
    EXPECT_EQ(DisconnectTCPClient(handle), 0);
    EXPECT_TRUE(client.closed_by_peer());
    pump();
    EXPECT_EQ(g_events.size(), 2u);
    EXPECT_EQ(cvi::watch_count(), watches - 1);
    EXPECT_EQ(ServerTCPWrite(handle, "x", 1, 1000), TCP_ERR_NO_CONNECTION);
    EXPECT_EQ(DisconnectTCPClient(handle), TCP_ERR_NO_CONNECTION);
    // The other conversation and the server go on.
    EXPECT_EQ(ServerTCPWrite(g_events[1].handle, "y", 1, 1000), 1);
    EXPECT_EQ(other.receive(1), "y");
    TcpClient later(port);
    pump();
    ASSERT_EQ(g_events.size(), 3u);
    EXPECT_EQ(g_events[2].event, TCP_CONNECT);
}

TEST_F(CviTcp, BadArgumentsAreRefused) {
    TcpClient client(port);
    pump();
    const unsigned handle = connect_handle();
    char buf[4];
    EXPECT_EQ(ServerTCPRead(handle, nullptr, 4, 0), TCP_ERR_INVALID_PARAMETER);
    EXPECT_EQ(ServerTCPRead(handle, buf, 0, 0), TCP_ERR_INVALID_PARAMETER);
    EXPECT_EQ(ServerTCPWrite(handle, nullptr, 4, 0), TCP_ERR_INVALID_PARAMETER);
    EXPECT_EQ(ServerTCPRead(0, buf, sizeof buf, 0), TCP_ERR_NO_CONNECTION);
    EXPECT_EQ(RegisterTCPServer(0, record, nullptr), TCP_ERR_INVALID_PARAMETER);
    EXPECT_EQ(RegisterTCPServer(70000, record, nullptr), TCP_ERR_INVALID_PARAMETER);
    EXPECT_EQ(RegisterTCPServer(port, nullptr, nullptr), TCP_ERR_INVALID_PARAMETER);
}

TEST_F(CviTcp, APortIsRegisteredOnce) {
    EXPECT_EQ(RegisterTCPServer(port, record, &g_events), TCP_ERR_EXISTING_SERVER);
}

TEST_F(CviTcp, APortInUseElsewhereCannotBeRegistered) {
    UnregisterTCPServer(port);
    int other = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(other, 1), 0);
    EXPECT_EQ(RegisterTCPServer(port, record, &g_events), TCP_ERR_REGISTER);
    ::close(other);
    EXPECT_EQ(RegisterTCPServer(port, record, &g_events), 0);
}

TEST_F(CviTcp, UnregisterStopsListeningAndClosesConversationsSilently) {
    TcpClient client(port);
    pump();
    ASSERT_EQ(g_events.size(), 1u);
    EXPECT_EQ(UnregisterTCPServer(port), 0);
    EXPECT_TRUE(client.closed_by_peer());
    pump();
    EXPECT_EQ(g_events.size(), 1u);
    EXPECT_TRUE(cvi_testing::connection_refused(port));
    EXPECT_EQ(UnregisterTCPServer(port), TCP_ERR_NOT_REGISTERED);
    EXPECT_EQ(cvi::watch_count(), 0u);
}

TEST(CviTcpHost, HostAddressIsDottedIpv4) {
    char addr[50];
    ASSERT_EQ(GetTCPHostAddr(addr, sizeof addr), 0);
    in_addr parsed{};
    EXPECT_EQ(::inet_pton(AF_INET, addr, &parsed), 1) << addr;
    char cut[4];
    ASSERT_EQ(GetTCPHostAddr(cut, sizeof cut), 0);
    EXPECT_EQ(std::string(cut), std::string(addr).substr(0, 3));
    EXPECT_EQ(GetTCPHostAddr(nullptr, 50), TCP_ERR_INVALID_PARAMETER);
    EXPECT_EQ(GetTCPHostAddr(addr, 0), TCP_ERR_INVALID_PARAMETER);
}

TEST(CviTcpHost, HostNameIsTheSystemsCutToTheBuffer) {
    char expected[256] = "";
    ASSERT_EQ(::gethostname(expected, sizeof expected - 1), 0);
    char name[50];
    ASSERT_EQ(GetTCPHostName(name, sizeof name), 0);
    EXPECT_EQ(std::string(name), std::string(expected).substr(0, 49));
    char cut[3];
    ASSERT_EQ(GetTCPHostName(cut, sizeof cut), 0);
    EXPECT_EQ(std::string(cut), std::string(expected).substr(0, 2));
    EXPECT_EQ(GetTCPHostName(name, -1), TCP_ERR_INVALID_PARAMETER);
}
