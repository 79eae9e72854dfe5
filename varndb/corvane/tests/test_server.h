// Starts the VarndbCI test server (varndb_test_server) as a child process
// and talks to it over its standard input and output; the destructor ends
// it. See varndb_test_server.cpp for the commands.
#pragma once

#include <string>
#include <vector>

class TestServer {
public:
    TestServer() = default;
    ~TestServer() { stop(); }
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Starts the program; false when it did not hand out a reference.
    bool start();
    // Kills the program at once (a server that goes away) and reaps it.
    void stop();
    bool running() const { return pid_ > 0; }
    const std::string& ior() const { return ior_; }

    // One command; its answer line ("ok", "error ...").
    std::string command(const std::string& line);
    // The calls the server saw since the last clear, one line each.
    std::vector<std::string> journal();
    // The journal lines of one operation, split at the tabs (op first).
    std::vector<std::vector<std::string>> calls(const std::string& op);

private:
    std::string readLine();

    int pid_ = -1;
    int toServer_ = -1;
    int fromServer_ = -1;
    std::string pending_;
    std::string ior_;
};
