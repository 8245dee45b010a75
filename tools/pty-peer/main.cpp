// pty-peer MODE LINK -- COMMAND [ARGS...]
//
// Creates a pseudo-terminal, points the symbolic link LINK at its slave side (a Wine COM port is
// such a link: $WINEPREFIX/dosdevices/comN), runs COMMAND, and plays the far end of the line
// until COMMAND ends:
//   check       receive and check the outgoing transfer pattern, then answer (transfer_pattern.h)
//   drain RATE  read and discard at RATE bytes per second
// Exits with COMMAND's status, or 1 when the peer's own check failed.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/pty-peer/pty_peer.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: pty-peer check|drain RATE LINK -- COMMAND [ARGS...]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string mode = args[0];
  std::size_t next = 1;
  int rate = 0;
  if (mode == "drain") {
    if (args.size() < 2) return Usage();
    rate = std::atoi(args[1].c_str());
    next = 2;
  } else if (mode != "check") {
    return Usage();
  }
  if (args.size() < next + 3 || args[next + 1] != "--") return Usage();
  const std::filesystem::path link = args[next];

  vandrel::PseudoTerminal terminal;
  if (!terminal.Open()) {
    std::perror("pty-peer: pseudo-terminal");
    return 1;
  }
  std::error_code error;
  std::filesystem::remove(link, error);
  std::filesystem::create_symlink(terminal.SlavePath(), link, error);
  if (error) {
    std::fprintf(stderr, "pty-peer: cannot link %s: %s\n", link.c_str(), error.message().c_str());
    return 1;
  }

  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<char*> command;
    for (std::size_t i = next + 2; i < args.size(); ++i) command.push_back(args[i].data());
    command.push_back(nullptr);
    ::execvp(command[0], command.data());
    std::perror("pty-peer: command");
    ::_exit(127);
  }
  int status = 0;
  bool ended = false;
  const auto childRunning = [&] {
    if (!ended && ::waitpid(child, &status, WNOHANG) == child) ended = true;
    return !ended;
  };

  std::string failure;
  if (mode == "check") {
    failure = vandrel::ServeTransferCheck(terminal.Master(), childRunning);
  } else {
    std::printf("pty-peer: drained %zu bytes\n",
                vandrel::Drain(terminal.Master(), rate, childRunning));
  }
  if (!ended) ::waitpid(child, &status, 0);
  std::filesystem::remove(link, error);
  if (!failure.empty()) {
    std::fprintf(stderr, "pty-peer: %s\n", failure.c_str());
    return 1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
