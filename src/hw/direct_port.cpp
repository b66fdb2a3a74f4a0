#include "hw/direct_port.h"

#include <cerrno>
#include <cstdio>

#include "common/errno_text.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ZIVIVAR_HAS_PORT_IO 1
#else
#define ZIVIVAR_HAS_PORT_IO 0
#endif

namespace zivivar {

namespace {
constexpr uint32_t kRegisterCount = 3;  // data, status, control
}  // namespace

PortOpenResult DirectPort::Open(uint32_t base, uint16_t link_base) {
  PortOpenResult result;
  result.failed_call = "ioperm";
#if ZIVIVAR_HAS_PORT_IO
  if (base + kRegisterCount > 0x10000u) {
    result.error = EINVAL;
    return result;
  }
  if (ioperm(base, kRegisterCount, 1) != 0) {
    result.error = errno;
    return result;
  }
  result.failed_call.clear();
  result.io.reset(new DirectPort(static_cast<uint16_t>(base), link_base));
#else
  (void)base;
  (void)link_base;
  result.error = ENOSYS;
#endif
  return result;
}

DirectPort::~DirectPort() {
#if ZIVIVAR_HAS_PORT_IO
  if (ioperm(base_, kRegisterCount, 0) != 0) {
    const int error = errno;
    std::fprintf(stderr, "ioperm 0x%X: %s\n", base_, ErrnoText(error).c_str());
  }
#endif
}

void DirectPort::Out(uint16_t port, uint8_t value) {
  const int offset = port - link_base_;
  if (offset < 0 || offset >= static_cast<int>(kRegisterCount))
    return;
#if ZIVIVAR_HAS_PORT_IO
  outb(value, static_cast<uint16_t>(base_ + offset));
#else
  (void)value;
#endif
}

uint8_t DirectPort::In(uint16_t port) {
  const int offset = port - link_base_;
  if (offset < 0 || offset >= static_cast<int>(kRegisterCount))
    return 0xFF;
#if ZIVIVAR_HAS_PORT_IO
  return inb(static_cast<uint16_t>(base_ + offset));
#else
  return 0xFF;
#endif
}

}  // namespace zivivar
