// What every data-file fuzz target needs: a services object that shows
// nothing, and the fuzz input as a file, since the readers read files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "services/services.h"
#include "services/services_view.h"

namespace zivivar::fuzz {

class SilentView : public ServicesView {
 public:
  int ShowMessageBox(MessageKind kind, const std::string&, const std::string&) override {
    return kind == MessageKind::kRetryCancel ? kIdCancel : kIdOk;
  }
  void Beep() override {}
  void SetStatusText(const std::string&) override {}
  void Repaint() override {}
  void SetProgressRange(uint32_t) override {}
  void SetProgressPosition(uint32_t) override {}
  void ProcessPendingEvents() override {}
};

struct Harness {
  SilentView view;
  int message_beap = 0;
  Services services{view, message_beap};
};

// One file per process for the inputs, in memory-backed /dev/shm when there
// is one, removed when the process ends.
class InputFile {
 public:
  InputFile() {
    const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path_ = std::string(dir) + "/zivivar-fuzz-" + std::to_string(::getpid());
  }
  ~InputFile() { ::unlink(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline const std::string& InputPath() {
  static const InputFile file;
  return file.path();
}

// Puts the input into InputPath() and returns that path.
inline const std::string& WriteInput(const uint8_t* data, size_t size) {
  const std::string& path = InputPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size)
    std::abort();
  std::fclose(file);
  return path;
}

}  // namespace zivivar::fuzz
