#include "hw/ppdev_port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "common/errno_text.h"

namespace zivivar {

namespace {

int ControlFd(int fd, unsigned long request, void* argument) {
  int result;
  do {
    result = ioctl(fd, request, argument);
  } while (result < 0 && errno == EINTR);
  return result < 0 ? errno : 0;
}

void IgnoreSignal(int) {}

// PPCLAIM waits as long as another program (or the printer driver) holds the
// port, which would freeze the start-up. A watchdog thread interrupts the
// wait with a signal aimed at this thread alone; the port then counts as busy.
int ClaimWithin(int fd, std::chrono::milliseconds limit) {
  struct sigaction ignore {};
  ignore.sa_handler = IgnoreSignal;
  sigemptyset(&ignore.sa_mask);
  ignore.sa_flags = 0;  // no SA_RESTART: the ioctl must return EINTR
  struct sigaction previous {};
  if (sigaction(SIGALRM, &ignore, &previous) != 0)
    return errno;

  std::mutex mutex;
  std::condition_variable done_changed;
  bool done = false;
  std::atomic<bool> fired{false};
  const pthread_t claimer = pthread_self();
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (!done_changed.wait_for(lock, limit, [&] { return done; })) {
      fired = true;
      pthread_kill(claimer, SIGALRM);
    }
  });

  int error;
  do {
    error = ioctl(fd, PPCLAIM) < 0 ? errno : 0;
  } while (error == EINTR && !fired);
  {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
  }
  done_changed.notify_one();
  watchdog.join();
  sigaction(SIGALRM, &previous, nullptr);
  return error == EINTR ? EBUSY : error;
}

}  // namespace

PortOpenResult PpdevPort::Open(const std::string& device, uint16_t link_base, Services* report) {
  PortOpenResult result;
  const int fd = open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    result.failed_call = "open";
    result.error = errno;
    return result;
  }
  int error = ClaimWithin(fd, std::chrono::seconds(3));
  if (error != 0) {
    close(fd);
    result.failed_call = "PPCLAIM";
    result.error = error;
    return result;
  }
  // The adapter reads the data lines, so the port must drive them.
  int forward = 0;
  error = ControlFd(fd, PPDATADIR, &forward);
  if (error != 0) {
    ControlFd(fd, PPRELEASE, nullptr);
    close(fd);
    result.failed_call = "PPDATADIR";
    result.error = error;
    return result;
  }
  result.io.reset(new PpdevPort(fd, device, link_base, report));
  return result;
}

PpdevPort::PpdevPort(int fd, std::string device, uint16_t link_base, Services* report)
    : fd_(fd), device_(std::move(device)), link_base_(link_base), report_(report) {}

PpdevPort::~PpdevPort() {
  // Nobody is left to show a box to at this point; the terminal hears of it.
  if (const int error = Control(PPRELEASE, nullptr); error != 0) {
    std::fprintf(stderr, "%s: PPRELEASE: %s\n", device_.c_str(), ErrnoText(error).c_str());
  }
  if (close(fd_) != 0) {
    const int error = errno;
    std::fprintf(stderr, "%s: close: %s\n", device_.c_str(), ErrnoText(error).c_str());
  }
}

int PpdevPort::Control(unsigned long request, void* argument) {
  return ControlFd(fd_, request, argument);
}

void PpdevPort::Fail(const char* call, int error) {
  if (error_ != 0)
    return;
  failed_call_ = call;
  error_ = error;
  if (report_ != nullptr) {
    report_->ShowMessage(
        report_->Translate("Fehler beim Zugriff auf die parallele Schnittstelle\n") + device_ +
        ": " + call + ": " + ErrnoText(error, report_->catalogue()));
  }
}

void PpdevPort::Out(uint16_t port, uint8_t value) {
  unsigned long request;
  const char* call;
  switch (port - link_base_) {
    case 0:
      request = PPWDATA;
      call = "PPWDATA";
      break;
    case 2:
      request = PPWCONTROL;
      call = "PPWCONTROL";
      break;
    default:
      return;
  }
  if (const int error = Control(request, &value); error != 0)
    Fail(call, error);
}

uint8_t PpdevPort::In(uint16_t port) {
  unsigned long request;
  const char* call;
  switch (port - link_base_) {
    case 0:
      request = PPRDATA;
      call = "PPRDATA";
      break;
    case 1:
      request = PPRSTATUS;
      call = "PPRSTATUS";
      break;
    case 2:
      request = PPRCONTROL;
      call = "PPRCONTROL";
      break;
    default:
      return 0xFF;
  }
  unsigned char value = 0xFF;
  if (const int error = Control(request, &value); error != 0) {
    Fail(call, error);
    return 0xFF;
  }
  return value;
}

}  // namespace zivivar
