#include "test_server.h"

#include <signal.h>
#include <spawn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

extern char** environ;

bool TestServer::start() {
    stop();
    signal(SIGPIPE, SIG_IGN);  // a server that went away must not end the test
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    const char* argv[] = {VARNDB_TEST_SERVER_PATH, "-ORBendPoint", "giop:tcp:127.0.0.1:", nullptr};
    pid_t pid = -1;
    int rc = posix_spawn(&pid, VARNDB_TEST_SERVER_PATH, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (rc != 0) {
        close(in[1]);
        close(out[0]);
        return false;
    }
    pid_ = pid;
    toServer_ = in[1];
    fromServer_ = out[0];
    ior_ = readLine();
    return ior_.rfind("IOR:", 0) == 0;
}

void TestServer::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (toServer_ >= 0) close(toServer_);
    if (fromServer_ >= 0) close(fromServer_);
    pid_ = toServer_ = fromServer_ = -1;
    pending_.clear();
}

std::string TestServer::readLine() {
    // Only what arrived since the last look is searched: a journal line of a
    // file of megabytes arrives in thousands of reads.
    std::size_t searched = 0;
    for (;;) {
        auto nl = pending_.find('\n', searched);
        if (nl != std::string::npos) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return line;
        }
        searched = pending_.size();
        char buf[65536];
        ssize_t n = read(fromServer_, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return {};  // the server is gone
        pending_.append(buf, static_cast<std::size_t>(n));
    }
}

std::string TestServer::command(const std::string& line) {
    if (toServer_ < 0) return "error no server";
    std::string text = line + "\n";
    if (write(toServer_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return "error no server";
    return readLine();
}

std::vector<std::string> TestServer::journal() {
    std::vector<std::string> lines;
    std::string line = command("journal");
    while (!line.empty() && line != "end" && line.rfind("error", 0) != 0) {
        lines.push_back(line);
        line = readLine();
    }
    return lines;
}

std::vector<std::vector<std::string>> TestServer::calls(const std::string& op) {
    std::vector<std::vector<std::string>> out;
    for (const std::string& line : journal()) {
        std::vector<std::string> fields;
        std::string field;
        std::istringstream in(line);
        while (std::getline(in, field, '\t')) fields.push_back(field);
        if (line.back() == '\t') fields.emplace_back();
        if (!fields.empty() && fields[0] == op) out.push_back(fields);
    }
    return out;
}
