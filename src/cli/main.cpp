// zivivar-cli: the command-line front end. Everything but the process's own
// surroundings (streams, terminal, Ctrl-C) is in RunCli.
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl-C asks the running operation to stop, as "Abbrechen" does,
// so that the device leaves programming mode and nothing half-written is
// kept; a second one ends the program at once.
void OnInterrupt(int) {
  interrupted = 1;
  signal(SIGINT, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);

  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);

  zivivar::CliEnvironment environment;
  environment.out = &std::cout;
  environment.err = &std::cerr;
  environment.err_is_terminal = isatty(STDERR_FILENO) == 1;
  winsize size{};
  if (environment.err_is_terminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 &&
      size.ws_col > 0) {
    environment.terminal_width = size.ws_col;
  }
  environment.interrupt_requested = [] { return interrupted != 0; };
  const int status = zivivar::RunCli(args, environment);
  std::cout.flush();
  return status;
}
