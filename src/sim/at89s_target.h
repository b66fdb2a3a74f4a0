// A strict model of an AT89S-family chip in the adapter's socket, seen
// through its serial programming pins. It is clocked by the simulated
// adapter: every latched register write is one tick of ChipTiming::write_ns,
// and the lines of that tick are compared with the previous ones to find
// SCK edges.
//
// Electrical rules:
// - The chip works only while the supply is on and its code lies within
//   [min_supply_code, max_supply_code]. Losing the supply aborts a write or
//   erase in progress (the memory keeps its old contents) and ends
//   programming mode.
// - With RST released the chip runs its program: the serial pins are not
//   listened to and programming mode ends. After RST is asserted, with the
//   supply on, the serial interface starts listening once RST has been held
//   for reset_ns; clocks before that are lost. Asserting
//   RST also restarts the instruction framing: the chip counts bits from
//   there, so a lost or extra clock garbles every later instruction until
//   the next reset. A clock that breaks the adapter's line rules ends
//   programming mode and restarts the framing as a new reset does (OutOfStep).
// - MOSI is sampled on the rising edge of SCK, most significant bit first.
//   Mode 4 changes MISO on the falling edge of SCK (an answer bit is valid
//   while SCK is high, and bit 7 already after the falling edge that ends
//   the instruction's third byte). Mode 3 changes MISO on the rising edge:
//   bit 7 appears with the edge that takes the instruction's sixteenth bit,
//   every later rising edge moves on by one bit, so the bit must be taken
//   while SCK is low, before the edge. Outside an answer a working chip
//   drives MISO low; a chip that does not drive it (no supply, RST
//   released, no chip) leaves it high.
//
// Instructions, decoded byte for byte as the system sends them (H, L the
// address bytes; in mode 3 the first byte holds address bits 8 to 12 in its
// bits 3 to 7, bit 13 in bit 2 and the operation in bits 0 to 2). Any other
// byte sequence is not an instruction and is ignored:
//   mode 4: AC 53 00 xx  programming enable; 0x69 is answered in the 4th byte
//           AC 80 00 00  chip erase
//           20 H  L  rd  read code         40 H  L  D   write code
//           AC En 00 00  write lock level n (0 to 3): n > 0 programs lock bit n
//           24 00 00 rd  read lock bits: programmed bits 1..3 as 0x04/0x08/0x10
//           28 H  00 rd  read signature byte H (0 to 2; ChipTiming::signature),
//                        kLockedReadValue while lock bit 2 or 3 is programmed.
//                        A chip without a signature takes it for no instruction.
//           30 H  rd*256 page read (ChipTiming::page_read): the 256 bytes of
//                        page H, each answered as the read above answers;
//                        the instruction ends after the last one. Without
//                        page mode it is ignored and the bytes that follow
//                        are taken as instructions.
//   mode 3: AC 53 00     programming enable
//           AC 04 00     chip erase (code memory, EEPROM and lock bits)
//           AC lb 00     write lock bits: lb = b7 b6 b5 0 0 1 1 1, a 0 in
//                        bit 7/6/5 programs lock bit 1/2/3
//           op L  rd/D   op bits 1..0 = 01 read, 10 write; on a chip with an
//                        EEPROM, bit 2 set selects the EEPROM (op 05/06),
//                        without one bit 2 is code address bit 13
// Until programming is enabled, only the enable instruction is obeyed.
// Addresses beyond the instruction's reach are not seen; within it the chip
// decodes as many low bits as its memory needs (a 4 KB memory repeats every
// 4 KB) and a decoded address at or above the memory's size reads 0xFF and
// takes no writes.
//
// Time: every register write the adapter latches lasts ChipTiming::write_ns,
// so the chip's time is its ticks times that (chip_models.h forms the
// timing of each kind of chip). A byte write takes byte_write_ns, a
// lock-bit write lock_write_ns and a chip erase erase_ns, counted from the
// tick that takes the instruction's last bit; the operation is done at the
// first tick by which that much time has passed. Meanwhile every read
// is not obeyed but answers the polling value, the written byte with bit 7 inverted (0x7F
// during an erase or lock-bit write), and every other instruction except
// programming enable is ignored. An instruction acts at the tick that takes
// its deciding bit b: a read at its last address bit (b = 16 in mode 3, 24
// in mode 4), any other at its last bit (24 in mode 3, 32 in mode 4). With
// the system's own bit timing (5 ticks a bit, the rising edge on the 2nd; n
// timer pulses are 2n ticks) an instruction sent right after n pulses
// therefore acts 2n + 5b ticks after the operation began.
// Each SCK level must last sck_min_ns (the data sheets' minimum SCK high and
// low times at the crystal's frequency); an edge after a shorter level is
// not taken and puts the chip out of step as OutOfStep does.
//
// Everything the chip does not obey is kept with its reason (ignored()).
//
// Memory: mode 4 code writes can only clear bits (a byte must be erased
// first: the cell becomes old AND new); mode 3 writes, code and EEPROM,
// erase the byte themselves. A chip erase sets every byte to 0xFF and
// clears the lock bits.
//
// Lock bits affect the code memory and the signature: with any lock bit
// programmed code writes are ignored; with lock bit 2 or 3 programmed every
// code read and every signature read answers kLockedReadValue.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/chip_state.h"
#include "sim/ignored_instructions.h"
#include "sim/sim_target.h"

namespace zivivar::sim {

// What a read of the code memory or of the signature answers while lock bit
// 2 or 3 is programmed.
inline constexpr uint8_t kLockedReadValue = 0x00;
// The mode-4 answer to programming enable.
inline constexpr uint8_t kEnableAnswer = 0x69;

// The three bytes a mode-4 chip answers to 28 00 00, 28 01 00 and 28 02 00.
using ChipSignature = std::array<uint8_t, 3>;

// The defaults are an AT89S52 with a 12 MHz crystal on an adapter that
// takes 85 µs a register write.
struct ChipTiming {
  uint64_t write_ns = 85'000;        // one register write: the chip's clock tick
  uint64_t reset_ns = 10'000'000;    // RST held before the serial interface listens
  uint64_t byte_write_ns = 405'334;  // a byte write
  uint64_t erase_ns = 500'000'000;   // a chip erase
  uint64_t lock_write_ns = 405'334;  // a lock-bit write
  uint64_t sck_min_ns = 667;         // each SCK level at least
  uint32_t crystal_hz = 12'000'000;  // quoted when an SCK level is too short
  uint8_t min_supply_code = 80;      // 4.00 V in 50 mV steps
  uint8_t max_supply_code = 110;     // 5.50 V
  bool page_read = true;             // mode 4: the page-mode read 30 H is obeyed
  // Mode 4: the answers to the read-signature instruction 28; none: the
  // chip does not have it.
  std::optional<ChipSignature> signature = ChipSignature{0x1E, 0x52, 0x06};
  // Ticks that last at least ns.
  uint64_t Ticks(uint64_t ns) const { return (ns + write_ns - 1) / write_ns; }
};

// Bits of one byte that do not behave.
enum class StuckScope {
  kCell,   // the cell itself: whatever is erased or written, the bits hold level
  kRead,   // reads show level in these bits; the stored byte is right
  kWrite,  // writes put level into these bits; erase and reads are right
};
struct StuckBits {
  bool eeprom = false;
  uint32_t address = 0;
  uint8_t mask = 0;   // the bits concerned
  uint8_t level = 0;  // their value, under mask
  StuckScope scope = StuckScope::kCell;
  bool operator==(const StuckBits&) const = default;
};

struct TargetFaults {
  bool no_chip = false;       // empty socket: nothing happens, MISO stays high
  bool never_finish = false;  // writes, lock-bit writes and erases never complete
  bool lock_ignored = false;  // lock-bit writes are taken but change nothing
  std::vector<StuckBits> stuck;
  bool operator==(const TargetFaults&) const = default;
};

class At89sTarget : public SimTarget {
 public:
  // An erased chip of the given kind, which must be valid (IsValidChipKind).
  explicit At89sTarget(const ChipKind& kind, const ChipTiming& timing = {});

  void OnRegisterWrite(const TargetLines& lines) override;
  bool Miso() const override;
  // Programming mode ends and the instruction framing restarts after RST
  // has been held a further reset_ns: nothing is obeyed until the next enable.
  void OutOfStep() override;

  // Puts another chip into the socket (kind, memories, lock bits), as if
  // swapped with the supply off: whatever was going on is forgotten. The
  // vectors must have the sizes of state.kind, which must be valid.
  void InsertChip(ChipState state);
  const ChipState& state() const { return state_; }
  const ChipKind& kind() const { return state_.kind; }

  // Takes effect from the next tick; cell faults change the stored bytes at once.
  void SetFaults(const TargetFaults& faults);
  const TargetFaults& faults() const { return faults_; }
  void SetTiming(const ChipTiming& timing) { timing_ = timing; }
  const ChipTiming& timing() const { return timing_; }

  // Observation, for tests and diagnostics.
  uint64_t ticks() const { return ticks_; }
  bool powered() const { return powered_; }
  // Supply on, RST held long enough: SCK edges count.
  bool listening() const;
  bool programming_enabled() const { return enabled_; }
  bool busy() const { return busy_ != Busy::kNone; }
  // Complete instructions obeyed, and everything not obeyed with its reason.
  uint64_t instructions_obeyed() const { return obeyed_; }
  uint64_t instructions_ignored() const { return ignored_.total(); }
  const IgnoredLog& ignored() const { return ignored_; }
  void ClearIgnored() { ignored_.Clear(); }

 private:
  enum class Busy { kNone, kWriteCode, kWriteEeprom, kErase, kLock };

  void PowerDown();
  void RestartSerial();
  // Programming mode ends; the framing restarts after a further reset time.
  void LoseStep();
  void AdvanceBusy();
  // Starts a self-timed operation of ns (0: done at once).
  void Begin(Busy what, uint64_t ns);
  void Complete();
  void RisingEdge(bool mosi);
  void FallingEdge();
  void ByteDone();
  void DecodeMode4();
  // A byte of a page read has been clocked: answers the next or ends.
  void PageByteDone();
  void DecodeMode3();
  // Serves a read: the answer, or the polling value while busy.
  uint8_t ReadAnswer(bool eeprom, uint32_t address);
  void StartWrite(bool eeprom, uint32_t address, uint8_t data);
  void StartErase();
  void StartLock(uint8_t program_bits);
  void Answer(uint8_t value);
  void Obeyed() { ++obeyed_; }
  // Notes the instruction as not obeyed (kBusy*: with the busy operation's
  // progress). Busy() tells whether to: the operation still running.
  void Ignored(Asked asked, Why why, uint64_t a = 0, uint64_t b = 0, uint64_t c = 0);
  void IgnoredWhileBusy(Asked asked);
  // Index of address in the memory, or -1 when the chip has no byte there.
  int64_t Locate(bool eeprom, uint32_t address) const;
  void ApplyCellFaults();

  ChipState state_;
  ChipTiming timing_;
  TargetFaults faults_;

  uint64_t ticks_ = 0;
  bool powered_ = false;
  bool rst_ = false;
  uint64_t rst_age_ = 0;         // ticks RST has been held, up to the reset time
  bool rst_lost_noted_ = false;  // a clock lost to the reset time is noted once a reset
  bool switch_on_ = false;       // the adapter's supply switch at the last tick
  bool sck_ = false;
  uint64_t sck_since_ = 0;  // tick of the last SCK change
  bool enabled_ = false;

  // Instruction framing.
  int bit_count_ = 0;  // bits of the current instruction taken so far
  // In a page read: the address of the next byte to answer, and the bytes
  // of the page still to come (bit_count_ then counts the current byte).
  uint32_t page_address_ = 0;
  uint32_t page_left_ = 0;
  uint8_t shift_in_ = 0;
  uint8_t bytes_[4] = {};

  // MISO: out_ holds the bits still to be shown, most significant first.
  uint8_t out_ = 0;
  int out_bits_ = 0;
  bool answer_pending_ = false;  // mode 4: shown from the next falling edge
  uint8_t pending_ = 0;

  Busy busy_ = Busy::kNone;
  uint64_t busy_start_ = 0;  // tick the operation began
  uint64_t busy_ns_ = 0;     // how long it takes
  int64_t busy_index_ = 0;
  uint8_t busy_data_ = 0;
  uint8_t polling_value_ = 0;

  uint64_t obeyed_ = 0;
  IgnoredLog ignored_;
};

}  // namespace zivivar::sim
