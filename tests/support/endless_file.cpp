#include "support/endless_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zivivar::testing {

EndlessFile::EndlessFile(const std::string& path, const std::string& kind) : path_(path) {
  if (kind == "/dev/zero") {
    symlink("/dev/zero", path.c_str());
    return;
  }
  mkfifo(path.c_str(), 0600);
  if (kind == "fifo with writer") {
    // Opening for reading and writing does not wait for a reader.
    writer_ = open(path.c_str(), O_RDWR);
    if (writer_ >= 0 && write(writer_, "x\n", 2) != 2) {
      close(writer_);
      writer_ = -1;
    }
  }
}

EndlessFile::~EndlessFile() {
  if (writer_ >= 0)
    close(writer_);
  unlink(path_.c_str());
}

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
    std::string text;
    try {
      text = work();
    } catch (...) {
      _exit(1);  // never back into the test runner in the child
    }
    for (size_t done = 0; done < text.size();) {
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
