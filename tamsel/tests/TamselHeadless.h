// Test support: the program run headless, as a line's script starts it: no
// terminal, standard output into a file, ended by a signal. The program runs
// in real time; waits are short polls of the file with a bounded total.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

class TamselHeadless {
public:
    static constexpr int kPollMs = 10;
    static constexpr int kWaitLimitMs = 20000;

    // Starts the program in `dir` (which must exist) with standard input
    // from /dev/null, standard output into dir/stdout.txt and standard error
    // into dir/stderr.txt; `env` adds "NAME=value" entries. `command` is the
    // program and its arguments (a script that ends in exec of the program
    // keeps the process, so pid() is the program's).
    TamselHeadless(const std::filesystem::path& dir, const std::vector<std::string>& env = {},
                   std::vector<std::string> command = {TAMSEL_PROGRAM})
        : out_(dir / "stdout.txt") {
        std::vector<std::string> entries = env;
        for (char** e = environ; *e; ++e) entries.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& e : entries) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string err = (dir / "stderr.txt").string(), out = out_.string(), cwd = dir.string();
        std::vector<char*> argv;
        for (std::string& a : command) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int in = ::open("/dev/null", O_RDONLY);
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || o < 0 || e < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(127);
            ::dup2(in, STDIN_FILENO);
            ::dup2(o, STDOUT_FILENO);
            ::dup2(e, STDERR_FILENO);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }
    ~TamselHeadless() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    TamselHeadless(const TamselHeadless&) = delete;
    TamselHeadless& operator=(const TamselHeadless&) = delete;

    pid_t pid() const { return pid_; }

    // The complete lines written to standard output so far.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        std::ifstream in(out_);
        std::string line;
        while (std::getline(in, line))
            if (!in.eof()) out.push_back(line);
        return out;
    }

    // Polls until standard output holds `count` complete lines; false after
    // the limit or when the program ended.
    bool wait_for_lines(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitLimitMs);
        while (lines().size() < count) {
            if (pid_ <= 0 || std::chrono::steady_clock::now() >= deadline) return false;
            if (::waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;  // it ended by itself
            ::poll(nullptr, 0, kPollMs);
        }
        return true;
    }

    // Ends the program with SIGTERM; its wait status.
    int terminate() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
        return status_;
    }

private:
    std::filesystem::path out_;
    pid_t pid_ = -1;
    int status_ = 0;
};
