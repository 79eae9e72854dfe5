// Connecting: registration in the database and at the server, the walk
// over the server references, the client id, disconnecting.
#include "corvane_fixture.h"

#include "sql_session.h"

#include <unistd.h>

#include <regex>

namespace {

TEST_F(CorvaneDb, ConnectRegistersInTheDatabaseAndAtTheServer) {
    char err[256] = "junk";
    ASSERT_EQ(connect(err, "abcdef"), 0) << err;
    VarndbCIclient* c = varndb_getInstance();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isConnected());
    auto reg = server.calls("registration");
    ASSERT_EQ(reg.size(), 1u);
    EXPECT_EQ(reg[0], (std::vector<std::string>{"registration", c->ClientId(), user(), "bcd", pgtest::database(),
                                                host, ip}));
    EXPECT_EQ(admin.value("SELECT concat_ws('|', pid, username, password, macadr, ipadr) FROM mero.station_login"),
              std::to_string(getpid()) + "|" + user() + "|abcdef|" + mac + "|" + ip);
    EXPECT_FALSE(sql::session_open());  // the database is needed only to connect
}

} // namespace
