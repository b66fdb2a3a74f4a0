// Files that a reader must never wait on, and a way to run a reader on them
// so that one that blocks or never ends fails the test instead of hanging it.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zivivar::testing {

// The kinds EndlessFile makes: a link to /dev/zero, a FIFO without a
// writer, and a FIFO whose writer wrote a line and never closes.
inline constexpr const char* kEndlessFiles[] = {"/dev/zero", "fifo", "fifo with writer"};

class EndlessFile {
 public:
  // Makes a file of kind (one of kEndlessFiles) at path, which must not exist.
  EndlessFile(const std::string& path, const std::string& kind);
  // Closes the writer and removes the file.
  ~EndlessFile();
  EndlessFile(const EndlessFile&) = delete;
  EndlessFile& operator=(const EndlessFile&) = delete;

 private:
  std::string path_;
  int writer_ = -1;
};

// Runs work in a child process that is killed after seconds: the text work
// returned, or nothing when the child did not finish by itself (blocked,
// looped, crashed).
std::optional<std::string> InChild(const std::function<std::string()>& work, unsigned seconds = 5);

}  // namespace zivivar::testing
