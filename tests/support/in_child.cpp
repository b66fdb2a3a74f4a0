#include "support/in_child.h"

#include <sys/wait.h>
#include <unistd.h>

namespace zivivar::testing {

std::optional<std::string> InChild(const std::function<std::string()>& work, unsigned seconds) {
  int fds[2];
  if (pipe(fds) != 0)
    return std::nullopt;
  const pid_t pid = fork();
  if (pid < 0)
    return std::nullopt;
  if (pid == 0) {
    close(fds[0]);
    alarm(seconds);  // the default action of SIGALRM ends the child
    const std::string text = work();
    size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(fds[1], text.data() + done, text.size() - done);
      if (n <= 0)
        _exit(1);
      done += static_cast<size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return std::nullopt;
  return text;
}

}  // namespace zivivar::testing
