#include "programmer/port_link.h"

#include <sched.h>
#include <sys/resource.h>

#include <cerrno>

namespace zivivar {

namespace {

// Input-byte values of the loop-back test: all lines low, then alternating.
constexpr uint8_t kLoopbackPatterns[] = {0x00, 0xAA, 0x55};

// The nice value asked for when real-time scheduling is not to be had.
constexpr int kRaisedNice = -10;

}  // namespace

PortLink::PortLink(PortIo& io, Services& services) : io_(&io), services_(services) {}

void PortLink::Configure(uint16_t base, uint32_t timeout, uint32_t timebase_korr) {
  data_port_ = base;
  status_port_ = static_cast<uint16_t>(base + 1);
  control_port_ = static_cast<uint16_t>(base + 2);
  timeout_ = timeout == 0 ? 1 : timeout;
  timebase_korr_ = timebase_korr;
}

uint8_t& PortLink::RegisterImage(int reg) {
  switch (reg) {
    case kZeroRegister0:
      return reg0_;
    case kSupplyShiftRegister:
      return reg4_;
    case kSupplySwitchRegister:
      return reg8_;
    default:
      return reg10_;
  }
}

// The read on which the counter reaches 0 is not looked at: with a count of
// n at most n - 1 reads can see the adapter answer.
bool PortLink::WaitStatus(bool high) {
  uint32_t counter = timeout_;
  for (;;) {
    const uint8_t status = io_->In(status_port_);
    if (--counter == 0) [[unlikely]] {
      return false;
    }
    if (((status & kStatusBusy) != 0) == high) {
      last_status_ = status;
      return true;
    }
  }
}

LinkResult PortLink::WriteRegister(int reg, uint8_t value) {
  if (link_lost_) [[unlikely]] {
    return LinkResult::kHandshakeTimeout;
  }
  io_->Out(data_port_, value);
  // Register number on bits 1 to 3, strobe (bit 0) low, bits 4 to 7 always 0.
  control_image_ = static_cast<uint8_t>(reg & 0x0E);
  io_->Out(control_port_, control_image_);
  if (!WaitStatus(true)) [[unlikely]] {
    return Timeout();
  }
  control_image_ |= 0x01;
  io_->Out(control_port_, control_image_);
  if (!WaitStatus(false)) [[unlikely]] {
    return Timeout();
  }
  Completed(reg, value);
  return LinkResult::kOk;
}

// Kept out of line: it is never on the path of a write that works.
[[gnu::noinline, gnu::cold]] LinkResult PortLink::Timeout() {
  // Only reached while the link is not yet lost: a lost link fails before
  // any port access.
  link_lost_ = true;
  services_.ShowMessage(kTimeoutMessage);
  return LinkResult::kHandshakeTimeout;
}

uint8_t PortLink::ReadInputByte() {
  const LinkResult low_written = WriteRegister(kSupplyShiftRegister, reg4_);
  const uint8_t low = NibbleFromStatus(last_status_);
  const LinkResult high_written = WriteRegister(kSupplySwitchRegister, reg8_);
  const uint8_t high = NibbleFromStatus(last_status_);
  const auto input = static_cast<uint8_t>(high << 4 | low);
  if (observer_ != nullptr && low_written == LinkResult::kOk && high_written == LinkResult::kOk)
      [[unlikely]]
    observer_->InputByteRead(input);
  return input;
}

uint32_t PortLink::UsToCycles(uint32_t us) const {
  return zivivar::UsToCycles(us, timebase_korr_);
}

void PortLink::DelayMs(uint32_t ms) {
  // In 64 bits, so that long delays do not wrap around to short ones.
  const uint64_t us = static_cast<uint64_t>(ms) * 1000;
  const uint64_t korr = timebase_korr_ == 0 ? 1 : timebase_korr_;
  uint64_t cycles = us / korr;
  if (cycles == 0)
    cycles = 1;

  reg4_ |= kReg4Timer;
  for (uint64_t i = 0; i < cycles; ++i) {
    // The timer bit stays set until the next ResetAdapter.
    if (WriteRegister(kSupplyShiftRegister, reg4_) != LinkResult::kOk)
      return;  // the link is lost: nothing more to count
  }
  reg4_ &= static_cast<uint8_t>(~kReg4Timer);
  WriteRegister(kSupplyShiftRegister, reg4_);
}

void PortLink::ClockPulses(uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    reg4_ |= kReg4Timer;
    WriteRegister(kSupplyShiftRegister, reg4_);
    reg4_ &= static_cast<uint8_t>(~kReg4Timer);
    WriteRegister(kSupplyShiftRegister, reg4_);
  }
}

// Three writes per bit (data, clock high, clock low), 16 bits most
// significant first, then the load pulse and the data line back to 0.
void PortLink::LoadSupplyWord() {
  for (const uint8_t byte : supply_word_) {
    for (int bit = 7; bit >= 0; --bit) {
      if ((byte >> bit) & 1) {
        reg4_ |= kReg4SupplyData;
      } else {
        reg4_ &= static_cast<uint8_t>(~kReg4SupplyData);
      }
      WriteRegister(kSupplyShiftRegister, reg4_);
      reg4_ |= kReg4SupplyClock;
      WriteRegister(kSupplyShiftRegister, reg4_);
      reg4_ &= static_cast<uint8_t>(~kReg4SupplyClock);
      WriteRegister(kSupplyShiftRegister, reg4_);
    }
  }
  reg4_ |= kReg4SupplyLoad;
  WriteRegister(kSupplyShiftRegister, reg4_);
  reg4_ &= static_cast<uint8_t>(~kReg4SupplyLoad);
  WriteRegister(kSupplyShiftRegister, reg4_);
  reg4_ &= static_cast<uint8_t>(~kReg4SupplyData);
  WriteRegister(kSupplyShiftRegister, reg4_);
}

void PortLink::ResetAdapter() {
  reg4_ &= static_cast<uint8_t>(~kReg4Timer);
  WriteRegister(kSupplyShiftRegister, reg4_);
  // The lines go low, but the register-10 image is left as it is.
  WriteRegister(kZeroRegister0, 0);
  WriteRegister(kZeroRegister2, 0);
  WriteRegister(kModeRegister, 0);
  WriteRegister(kLinesRegister, 0);
  supply_word_[0] = 0;
  LoadSupplyWord();
  supply_word_[1] = 0;
  LoadSupplyWord();
  WriteRegister(kZeroRegister0, static_cast<uint8_t>(reg0_ & 0x0F));
  reg8_ &= static_cast<uint8_t>(~kReg8SupplyOn);
  WriteRegister(kSupplySwitchRegister, reg8_);
}

LinkResult PortLink::DetectAdapter() {
  link_lost_ = false;
  reg0_ = reg4_ = reg8_ = reg10_ = 0;
  control_image_ = 0;

  // Register 0 with the strobe set: the idle handshake state, in which an
  // adapter that is there shows status bit 7 low.
  control_image_ |= 0x01;
  io_->Out(control_port_, control_image_);
  uint32_t counter = timeout_;
  uint8_t status;
  do {
    status = io_->In(status_port_);
    --counter;
  } while ((status & kStatusBusy) != 0 && counter != 0);
  if (counter == 0)
    return Timeout();

  // Both are addressed even when the first fails; a lost link makes the
  // second fail at once.
  const LinkResult first = WriteRegister(kDetectRegister12, 0x80);
  const LinkResult second = WriteRegister(kDetectRegister14, 0x80);
  if (first != LinkResult::kOk || second != LinkResult::kOk)
    return LinkResult::kAdapterNotFound;

  WriteRegister(kModeRegister, 0);
  WriteRegister(kZeroRegister2, 0);
  WriteRegister(kZeroRegister0, reg0_);
  WriteRegister(kSupplySwitchRegister, reg8_);
  WriteRegister(kSupplyShiftRegister, reg4_);
  WriteRegister(kLinesRegister, 0);

  // The adapter echoes register 10 in the input byte. The patterns go
  // straight to the register; the image stays 0.
  for (size_t i = 0; i < sizeof kLoopbackPatterns; ++i) {
    if (i > 0)
      WriteRegister(kLinesRegister, kLoopbackPatterns[i]);
    if (ReadInputByte() != kLoopbackPatterns[i])
      return LinkResult::kAdapterNotFound;
  }
  WriteRegister(kLinesRegister, 0);
  // A time-out anywhere above was told already; it must not end as success.
  return link_lost_ ? LinkResult::kAdapterNotFound : LinkResult::kOk;
}

bool PortLink::PowerDownQuietly() {
  // The handshake of WriteRegister, without the message and the lost mark.
  const auto write = [this](int reg, uint8_t value) {
    io_->Out(data_port_, value);
    control_image_ = static_cast<uint8_t>(reg & 0x0E);
    io_->Out(control_port_, control_image_);
    if (!WaitStatus(true))
      return false;
    control_image_ |= 0x01;
    io_->Out(control_port_, control_image_);
    if (!WaitStatus(false))
      return false;
    Completed(reg, value);
    return true;
  };
  reg10_ = 0;
  reg4_ &= static_cast<uint8_t>(~kReg4Timer);
  reg8_ &= static_cast<uint8_t>(~kReg8SupplyOn);
  supply_word_[0] = 0;
  return write(10, reg10_) && write(6, 0) && write(2, 0) && write(8, reg8_) && write(4, reg4_);
}

bool PortLink::SearchAdapter(uint32_t search_hardware,
                             const std::function<void()>& edit_preferences,
                             const std::function<void()>& save_settings) {
  // At least one attempt, so that a count of 0 cannot loop for ever.
  const uint32_t attempts = search_hardware == 0 ? 1 : search_hardware;
  for (uint32_t failed = 0;;) {
    if (DetectAdapter() == LinkResult::kOk)
      return true;
    if (++failed >= attempts)
      break;
    if (edit_preferences)
      edit_preferences();
  }
  services_.ShowMessage(kNoHardwareMessage);
  if (save_settings)
    save_settings();
  return false;
}

void PortLink::RaisePriority(int os_kind) {
  if (priority_raised_)
    return;
  priority_raised_ = true;
  policy_changed_ = false;
  nice_changed_ = false;

  // The NT-family codes only ever asked for a high priority, the others for
  // real time.
  const bool nt_family = os_kind >= 4 && os_kind <= 8;
  if (!nt_family) {
    sched_param old_param{};
    const int old_policy = sched_getscheduler(0);
    // Already real-time (started so by the user): leave it as it is.
    if (old_policy == SCHED_FIFO || old_policy == SCHED_RR)
      return;
    if (old_policy >= 0 && sched_getparam(0, &old_param) == 0) {
      sched_param param{};
      param.sched_priority = sched_get_priority_min(SCHED_FIFO);
      if (sched_setscheduler(0, SCHED_FIFO, &param) == 0) {
        policy_changed_ = true;
        saved_policy_ = old_policy;
        saved_rt_priority_ = old_param.sched_priority;
        return;
      }
    }
  }
  // getpriority may return -1 legitimately; only errno tells a failure.
  errno = 0;
  const int old_nice = getpriority(PRIO_PROCESS, 0);
  if (errno != 0 || old_nice <= kRaisedNice)
    return;
  if (setpriority(PRIO_PROCESS, 0, kRaisedNice) == 0) {
    nice_changed_ = true;
    saved_nice_ = old_nice;
  }
}

void PortLink::RestorePriority() {
  if (!priority_raised_)
    return;
  priority_raised_ = false;
  if (policy_changed_) {
    sched_param param{};
    param.sched_priority = saved_rt_priority_;
    sched_setscheduler(0, saved_policy_, &param);
    policy_changed_ = false;
  }
  if (nice_changed_) {
    setpriority(PRIO_PROCESS, 0, saved_nice_);
    nice_changed_ = false;
  }
}

}  // namespace zivivar
