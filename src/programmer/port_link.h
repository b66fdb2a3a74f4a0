// PortLink: the adapter's bank of write registers on a parallel port, reached
// through a strobe/busy handshake, and the system's clock: every delay is a
// counted number of register writes, each taken to last TimeBaseKorr
// microseconds. One instance for the run, used from one thread.
#pragma once

#include <cstdint>
#include <functional>

#include "hw/adapter_registers.h"
#include "hw/port_io.h"
#include "services/services.h"

namespace zivivar {

// Results of this unit.
enum class LinkResult {
  kOk,
  kAdapterNotFound,   // DetectAdapter: no answer, or not the adapter's answer
  kHandshakeTimeout,  // the adapter stopped answering; the link is lost
};

inline constexpr char kTimeoutMessage[] =
    "\nTimeout-Fehler bei Datenübertragung !!\n\nMögliche Fehler:\n\nBrenner nicht "
    "eingeschaltet.\nBrenner an der falschen Schnittstelle oder\ngar nicht angeschlossen.\n"
    "Falsche Port-Adresse in den PREFS.\nKabel defekt oder viel zu lang.\nEin "
    "Druckerumschalter falsch geschaltet ?\nBaustein im Sockel vergessen !!";
inline constexpr char kNoHardwareMessage[] =
    "Kann Hardware nicht finden !\n\nProgramm geht in den Demomodus.";

// Sees the register writes of a PortLink as the adapter took them: the
// --trace file and the detect command of the command-line tool, and tests.
class RegisterWriteObserver {
 public:
  virtual ~RegisterWriteObserver() = default;
  // A register write whose handshake completed (both edges acknowledged).
  virtual void RegisterWritten(int reg, uint8_t value) = 0;
  // An input byte read by ReadInputByte whose two register writes completed.
  virtual void InputByteRead(uint8_t /*input*/) {}
};

class PortLink {
 public:
  // io and services must outlive the link. The link starts configured with
  // the defaults (base 0x378, time-out 100000, correction 85).
  PortLink(PortIo& io, Services& services);

  // Takes the port base address, the time-out count and the timebase
  // correction (microseconds per register write); effective with the next
  // register write. Called after the settings are loaded and after every
  // change in the preferences. A time-out count of 0 is taken as 1 (every
  // wait fails on its first read) rather than as 2^32 reads.
  void Configure(uint16_t base, uint32_t timeout, uint32_t timebase_korr);
  // Swaps the port backend (the port access chosen at start-up).
  void SetPortIo(PortIo& io) { io_ = &io; }
  // observer (null: none) must outlive the link or be removed first.
  void SetObserver(RegisterWriteObserver* observer) { observer_ = observer; }

  // Puts value into adapter register reg (even, 0 to 14) with the handshake.
  // Returns LinkResult::kOk or kHandshakeTimeout. The first time-out shows the
  // time-out message and marks the link lost; while it is lost every write
  // returns kHandshakeTimeout at once, without port access or message, so a
  // pulled cable gives one message, not thousands.
  LinkResult WriteRegister(int reg, uint8_t value);
  // The four-bit answers to register 4 and 8 writes, as one byte. Both are
  // written with their unchanged images, so no output changes.
  uint8_t ReadInputByte();
  // A delay of ms milliseconds in counted register writes; it ends early
  // when the link is lost.
  void DelayMs(uint32_t ms);
  // count pulses of the timer bit, two register writes each.
  void ClockPulses(uint32_t count);
  // Register writes that last us microseconds; at least 1.
  uint32_t UsToCycles(uint32_t us) const;
  // Shifts the two bytes of the supply word into the adapter (51 writes).
  void LoadSupplyWord();
  // Idle, unpowered adapter.
  void ResetAdapter();
  // One attempt to find the adapter: kOk, kAdapterNotFound or kHandshakeTimeout.
  // Clears the lost state first.
  LinkResult DetectAdapter();

  // The start-up search: up to search_hardware attempts (at least 1),
  // edit_preferences between failed attempts; after the last one the
  // no-hardware message and save_settings. Returns true when the adapter
  // answered; false means the caller goes into demo mode.
  bool SearchAdapter(uint32_t search_hardware, const std::function<void()>& edit_preferences,
                     const std::function<void()>& save_settings);

  // Around every device command, so that the counted delays are not stretched
  // by other processes. RaisePriority asks for real-time scheduling (or,
  // failing that, and for the os_kind codes 4 to 8 that only ever got a high
  // priority, a nice value of -10); results are ignored. A second raise
  // before the restore changes nothing. RestorePriority puts back what the
  // raise changed.
  void RaisePriority(int os_kind);
  void RestorePriority();

  // After a lost link: one attempt, without any message, to release RST, put
  // the lines low, end programming mode and switch the supply off, in case
  // the time-out was passing and the chip is still powered. Gives up at the
  // first write that is not acknowledged; the link stays marked lost either
  // way. True when every write went through.
  bool PowerDownQuietly();

  // True after a handshake time-out until ClearLinkLost or DetectAdapter.
  bool link_lost() const { return link_lost_; }
  // Called at the start of every command so that a reconnected adapter works again.
  void ClearLinkLost() { link_lost_ = false; }

  // Register images (registers 0, 4, 8 and 10; any other number gives the
  // register-10 image): change bits here, then write the whole image with
  // WriteRegister.
  uint8_t& RegisterImage(int reg);
  // The first byte of the supply word: 0 idle, the device's supply code while powered.
  void SetSupplyCode(uint8_t code) { supply_word_[0] = code; }
  uint8_t supply_code() const { return supply_word_[0]; }

  uint8_t last_status() const { return last_status_; }
  uint8_t control_image() const { return control_image_; }
  uint16_t data_port() const { return data_port_; }
  uint32_t timeout() const { return timeout_; }
  uint32_t timebase_korr() const { return timebase_korr_; }

 private:
  // Shows the time-out message once and marks the link lost.
  LinkResult Timeout();
  // Waits for status bit 7 to reach level; false on time-out.
  bool WaitStatus(bool high);

  // Told of every completed register write (PowerDownQuietly's included).
  void Completed(int reg, uint8_t value) {
    if (observer_ != nullptr) [[unlikely]]
      observer_->RegisterWritten(reg, value);
  }

  PortIo* io_;
  Services& services_;
  RegisterWriteObserver* observer_ = nullptr;
  uint16_t data_port_ = 0x378;
  uint16_t status_port_ = 0x379;
  uint16_t control_port_ = 0x37A;
  uint32_t timeout_ = 100000;
  uint32_t timebase_korr_ = 85;
  uint8_t control_image_ = 0;
  uint8_t last_status_ = 0;
  uint8_t reg0_ = 0, reg4_ = 0, reg8_ = 0, reg10_ = 0;
  uint8_t supply_word_[2] = {0, 0};
  bool link_lost_ = false;
  // What RaisePriority changed, so that RestorePriority puts back exactly that.
  bool priority_raised_ = false;
  bool policy_changed_ = false;
  bool nice_changed_ = false;
  int saved_policy_ = 0;
  int saved_rt_priority_ = 0;
  int saved_nice_ = 0;
};

}  // namespace zivivar
