// Remote following: where a remote-control server was opened in the same
// process and stored in the shared-session store, every line the program
// traces also reaches the remote client (kind 0, "trace on:").
#include "../TamselFixture.h"

#include "cvi_tcp_client.h"
#include "gorvid.h"
#include "quorl.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
constexpr unsigned kRemotePort = 11111;

TEST_F(TamselTest, TracedLinesReachTheRemoteClient) {
    const fs::path dir = fs::temp_directory_path() / ("tamsel_remote_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ::setenv("TMPDIR", dir.c_str(), 1);
    std::ofstream(dir / "activate_quorl") << "";
    uint32_t session = 0;
    ASSERT_EQ(quorl_init("server:portnr:11111:ipadr:127.0.0.1:mode:filecheck:txdelay:0:rxdelay:0", &session), 0);
    ASSERT_EQ(quorl_setmode(1), 0);
    GorvidPut_SesQuorl(static_cast<int>(session));

    cvi_testing::TcpClient client(kRemotePort);
    ASSERT_TRUE(client.connected());
    cvi_testing::pump();
    ASSERT_TRUE(client.send_text("trace on:"));
    cvi_testing::pump();

    press(kSetFtmFlag);  // traces its line before it calls the library
    const std::string line = "NvSetFtmFlag to ONLINE";
    EXPECT_EQ(client.receive(line.size() + 1), line + std::string(1, '\0'));

    fs::remove(dir / "activate_quorl");
    quorl_setmode(session);  // unregisters the server
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace
