// What every data-file fuzz target needs: a services object that shows
// nothing, and the fuzz input as a file, since the readers read files.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
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
// is one, kept open for writing and removed when the process ends.
class InputFile {
 public:
  InputFile() {
    const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path_ = std::string(dir) + "/zivivar-fuzz-" + std::to_string(::getpid());
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (fd_ < 0)
      std::abort();
  }
  ~InputFile() {
    ::close(fd_);
    ::unlink(path_.c_str());
  }

  // Makes the file hold exactly size bytes of data; returns its path.
  const std::string& Write(const uint8_t* data, size_t size) const {
    if (::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size) ||
        ::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
      std::abort();
    }
    return path_;
  }

 private:
  std::string path_;
  int fd_ = -1;
};

// Puts the input into this process's input file and returns its path.
inline const std::string& WriteInput(const uint8_t* data, size_t size) {
  static const InputFile file;
  return file.Write(data, size);
}

}  // namespace zivivar::fuzz
