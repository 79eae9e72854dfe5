// Listens on TCP ports of the machine, as another program would (a station
// started with a remote-control port, say), while a command runs; exits as
// the command did. The check that entries run in a network of their own
// runs them under it.
//
//   hold_ports <port>[,<port>...] <command> [args...]
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: hold_ports <port>[,<port>...] <command> [args...]\n");
    return 2;
  }
  std::istringstream ports(argv[1]);
  for (std::string port; std::getline(ports, port, ',');) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<uint16_t>(std::atoi(port.c_str())));
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 5) != 0) {
      std::fprintf(stderr, "hold_ports: cannot listen on port %s: %s\n", port.c_str(),
                   std::strerror(errno));
      return 2;
    }
  }
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[2], argv + 2);
    std::fprintf(stderr, "hold_ports: cannot run %s: %s\n", argv[2], std::strerror(errno));
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return 2;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
