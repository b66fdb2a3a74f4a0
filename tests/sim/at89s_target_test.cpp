#include "sim/at89s_target.h"

#include <gtest/gtest.h>

#include "isp_pins.h"

namespace zivivar::sim {
namespace {

using testing::IspPins;
using testing::Sample;

constexpr ChipKind kS52{4, 0x2000, 0};
constexpr ChipKind kS8252{3, 0x2000, 0x800};

// The instructions as a programmer sends them, built here from the pin
// level up so that the chip's decoding is checked, not restated.
class Isp {
 public:
  explicit Isp(At89sTarget& chip) : chip_(chip), pins_(chip) {}

  bool mode4() const { return chip_.kind().spi_mode == 4; }
  Sample right() const { return mode4() ? Sample::kWhileHigh : Sample::kBeforeRise; }
  IspPins& pins() { return pins_; }

  void Start() { pins_.PowerUp(chip_.timing().reset_ticks); }
  // Programming enable; the mode-4 answer byte (0 in mode 3).
  uint8_t Enable(bool lsb_first = false) {
    Send({0xAC, 0x53, 0x00}, lsb_first);
    return mode4() ? pins_.Receive(Sample::kWhileHigh) : 0;
  }
  void StartEnabled() {
    Start();
    Enable();
  }
  uint8_t ReadCode(uint32_t address) { return ReadCode(address, right()); }
  uint8_t ReadCode(uint32_t address, Sample sample) {
    if (mode4())
      Send({0x20, High(address), Low(address)});
    else
      Send({First(address, 0x01), Low(address)});
    return pins_.Receive(sample);
  }
  void WriteCode(uint32_t address, uint8_t data) {
    if (mode4())
      Send({0x40, High(address), Low(address), data});
    else
      Send({First(address, 0x02), Low(address), data});
  }
  uint8_t ReadData(uint32_t address) {
    Send({First(address, 0x05), Low(address)});
    return pins_.Receive(Sample::kBeforeRise);
  }
  void WriteData(uint32_t address, uint8_t data) {
    Send({First(address, 0x06), Low(address), data});
  }
  void Erase() {
    if (mode4())
      Send({0xAC, 0x80, 0x00, 0x00});
    else
      Send({0xAC, 0x04, 0x00});
  }
  void LockLevel(int n) { Send({0xAC, static_cast<uint8_t>(0xE0 + n), 0x00, 0x00}); }
  void LockByte(uint8_t lock) { Send({0xAC, lock, 0x00}); }
  uint8_t ReadLock() {
    Send({0x24, 0x00, 0x00});
    return pins_.Receive(Sample::kWhileHigh);
  }
  // The timer-bit pulses of a device wait: two ticks each.
  void Pulses(uint32_t count) { pins_.Tick(2 * count); }
  // A mode-3 write followed by read-back polling as the system does it; the
  // number of polls made and the last byte read.
  std::pair<int, uint8_t> WritePolled(uint32_t address, uint8_t data, int max_polls,
                                      bool eeprom = false) {
    eeprom ? WriteData(address, data) : WriteCode(address, data);
    Pulses(1);
    for (int poll = 1;; ++poll) {
      const uint8_t read = eeprom ? ReadData(address) : ReadCode(address);
      if (read == data || poll >= max_polls)
        return {poll, read};
      Pulses(1);
    }
  }

  void Send(std::initializer_list<uint8_t> bytes, bool lsb_first = false) {
    for (const uint8_t b : bytes)
      pins_.Send(b, lsb_first);
  }

 private:
  static uint8_t High(uint32_t address) { return static_cast<uint8_t>(address >> 8); }
  static uint8_t Low(uint32_t address) { return static_cast<uint8_t>(address); }
  static uint8_t First(uint32_t address, uint8_t code) {
    const uint8_t h = High(address);
    return static_cast<uint8_t>((h & 0x1F) << 3 | (h & 0x20 ? 0x04 : 0) | code);
  }

  At89sTarget& chip_;
  IspPins pins_;
};

TEST(At89sTargetTest, Mode4EnableAnswersAndUnlocksTheOtherInstructions) {
  At89sTarget chip(kS52);
  Isp isp(chip);
  isp.Start();
  isp.WriteCode(0x10, 0x12);  // before programming enable
  isp.pins().Tick(500);
  EXPECT_EQ(isp.ReadCode(0x10), 0x00);  // no answer: MISO stays low
  EXPECT_FALSE(chip.programming_enabled());
  EXPECT_EQ(chip.last_ignored(), "before programming enable");

  EXPECT_EQ(isp.Enable(), kEnableAnswer);
  EXPECT_TRUE(chip.programming_enabled());
  EXPECT_EQ(isp.ReadCode(0x10), 0xFF);
  isp.WriteCode(0x10, 0x12);
  isp.pins().Tick(chip.timing().write_ticks);
  EXPECT_EQ(isp.ReadCode(0x10), 0x12);
  EXPECT_EQ(chip.state().code[0x10], 0x12);
}

TEST(At89sTargetTest, ClocksBeforeTheResetTimeAreLostAndGarbleTheFraming) {
  At89sTarget chip(kS52);
  Isp isp(chip);
  isp.pins().PowerUp(chip.timing().reset_ticks - 30);
  EXPECT_NE(isp.Enable(), kEnableAnswer);  // its first bits fell into the reset time
  EXPECT_NE(isp.Enable(), kEnableAnswer);  // and every later byte is out of step
  EXPECT_FALSE(chip.programming_enabled());

  isp.pins().Rst(false);  // a reset pulse restarts the count of bits
  isp.pins().Rst(true);
  isp.pins().Tick(chip.timing().reset_ticks);
  EXPECT_EQ(isp.Enable(), kEnableAnswer);
}

TEST(At89sTargetTest, IgnoresEverythingWithoutSupplyOrReset) {
  At89sTarget chip(kS52);
  Isp isp(chip);
  isp.pins().lines().rst = true;
  isp.Send({0xAC, 0x53, 0x00});
  EXPECT_TRUE(chip.Miso());  // not driven
  EXPECT_FALSE(chip.powered());

  for (const uint8_t code : {uint8_t{40}, uint8_t{200}}) {  // 2.0 V, 10 V
    isp.pins().Supply(true, code);
    isp.pins().Tick(chip.timing().reset_ticks);
    EXPECT_EQ(isp.Enable(), 0xFF) << int{code};
    EXPECT_FALSE(chip.listening());
    isp.pins().Supply(false);
  }

  isp.StartEnabled();
  ASSERT_TRUE(chip.programming_enabled());
  isp.pins().Rst(false);  // the chip runs its program: programming mode ends
  EXPECT_FALSE(chip.programming_enabled());
  isp.WriteCode(0, 0x00);
  EXPECT_TRUE(chip.Miso());
  isp.pins().Rst(true);
  isp.pins().Tick(chip.timing().reset_ticks);
  isp.WriteCode(0, 0x00);  // needs a new programming enable
  isp.pins().Tick(1000);
  EXPECT_EQ(chip.state().code[0], 0xFF);
}

TEST(At89sTargetTest, BitsSentLeastSignificantFirstAreNotUnderstood) {
  At89sTarget chip(kS52);
  Isp isp(chip);
  isp.Start();
  EXPECT_NE(isp.Enable(/*lsb_first=*/true), kEnableAnswer);
  EXPECT_FALSE(chip.programming_enabled());
  EXPECT_EQ(chip.last_ignored(), "not an instruction");
}

TEST(At89sTargetTest, MisoFollowsEachModesClockEdge) {
  At89sTarget s52(kS52);
  Isp isp4(s52);
  isp4.StartEnabled();
  isp4.WriteCode(0x123, 0xA5);
  isp4.pins().Tick(1000);
  EXPECT_EQ(isp4.ReadCode(0x123, Sample::kWhileHigh), 0xA5);
  EXPECT_EQ(isp4.ReadCode(0x123, Sample::kAfterFall), 0x4A);  // one bit ahead

  // Mode 3 moves on at the rising edge: a bit taken while SCK is high is
  // already the next one.
  At89sTarget s8252(kS8252);
  Isp isp3(s8252);
  isp3.StartEnabled();
  isp3.WriteCode(0x123, 0xA5);
  isp3.pins().Tick(1000);
  EXPECT_EQ(isp3.ReadCode(0x123, Sample::kBeforeRise), 0xA5);
  EXPECT_EQ(isp3.ReadCode(0x123, Sample::kWhileHigh), 0x4A);
}

TEST(At89sTargetTest, Mode4WriteIsPolledUntilItCompletes) {
  ChipTiming timing;
  timing.write_ticks = 300;
  At89sTarget chip(kS52, timing);
  Isp isp(chip);
  isp.StartEnabled();

  isp.WriteCode(0x0123, 0x5A);
  isp.WriteCode(0x0124, 0x11);  // no wait: the chip is still busy
  EXPECT_EQ(chip.last_ignored(), "while busy");
  isp.pins().Tick(300);
  EXPECT_EQ(isp.ReadCode(0x0123), 0x5A);
  EXPECT_EQ(isp.ReadCode(0x0124), 0xFF);

  // The read-back after w wait pulses comes 2w + 120 ticks after the write.
  isp.WriteCode(0x0200, 0x33);
  isp.Pulses(89);
  EXPECT_EQ(isp.ReadCode(0x0200), 0xB3);  // bit 7 inverted while busy
  isp.pins().Tick(300);
  isp.WriteCode(0x0201, 0x44);
  isp.Pulses(90);
  EXPECT_EQ(isp.ReadCode(0x0201), 0x44);
}

TEST(At89sTargetTest, Mode4FlashNeedsAnEraseToSetBits) {
  ChipTiming timing;
  timing.erase_ticks = 1000;
  At89sTarget chip(kS52, timing);
  Isp isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0x40, 0x0F);
  isp.pins().Tick(200);
  isp.WriteCode(0x40, 0xF3);
  isp.pins().Tick(200);
  EXPECT_EQ(isp.ReadCode(0x40), 0x03);

  // After e erase pulses the next read is served 2e + 120 ticks later.
  isp.Erase();
  isp.Pulses(439);
  EXPECT_EQ(isp.ReadCode(0x40), 0x7F);
  isp.Erase();  // ignored while busy, so it does not start over
  isp.pins().Tick(1000);
  EXPECT_EQ(isp.ReadCode(0x40), 0xFF);

  isp.Erase();
  isp.Pulses(440);
  EXPECT_EQ(isp.ReadCode(0x40), 0xFF);
}

TEST(At89sTargetTest, Mode4LockLevelsShowInTheLockByteAndGuardTheCode) {
  At89sTarget chip(kS52);
  Isp isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0, 0x02);
  isp.pins().Tick(200);

  const std::pair<int, uint8_t> levels[] = {{0, 0x00}, {1, 0x04}, {2, 0x0C}, {3, 0x1C}};
  for (const auto& [level, expected] : levels) {
    isp.LockLevel(level);
    isp.pins().Tick(200);
    EXPECT_EQ(isp.ReadLock() & 0x1C, expected) << level;
    if (level == 1) {
      EXPECT_EQ(isp.ReadCode(0), 0x02);  // readable, no longer writable
      isp.WriteCode(1, 0x00);
      EXPECT_EQ(chip.last_ignored(), "code memory locked");
    }
  }
  EXPECT_EQ(isp.ReadCode(0), kLockedReadValue);
  EXPECT_EQ(chip.state().code[0], 0x02);

  isp.Erase();
  isp.pins().Tick(2000);
  EXPECT_EQ(isp.ReadLock(), 0x00);
  EXPECT_EQ(isp.ReadCode(0), 0xFF);

  isp.LockLevel(2);  // a level programs its own bit only
  isp.pins().Tick(200);
  EXPECT_EQ(isp.ReadLock(), 0x08);
}

TEST(At89sTargetTest, Mode3AddressesCodeAndEepromThroughTheFirstByte) {
  At89sTarget chip(kS8252);
  Isp isp(chip);
  isp.StartEnabled();
  EXPECT_EQ(isp.WritePolled(0x1345, 0x11, 10).second, 0x11);
  EXPECT_EQ(isp.WritePolled(0x0045, 0x22, 10).second, 0x22);
  EXPECT_EQ(isp.WritePolled(0x0045, 0x33, 10, /*eeprom=*/true).second, 0x33);
  EXPECT_EQ(isp.WritePolled(0x07FF, 0x44, 10, /*eeprom=*/true).second, 0x44);
  EXPECT_EQ(chip.state().code[0x1345], 0x11);
  EXPECT_EQ(chip.state().code[0x0045], 0x22);
  EXPECT_EQ(chip.state().eeprom[0x045], 0x33);
  EXPECT_EQ(chip.state().eeprom[0x7FF], 0x44);
  EXPECT_EQ(isp.ReadData(0x0845), 0x33);  // 2 KB of EEPROM repeat

  // Without an EEPROM, bit 2 of the first byte is code address bit 13; a
  // 12 KB memory has nothing from 0x3000 on.
  At89sTarget s53(ChipKind{3, 0x3000, 0});
  Isp isp53(s53);
  isp53.StartEnabled();
  EXPECT_EQ(isp53.WritePolled(0x2345, 0x55, 10).second, 0x55);
  EXPECT_EQ(s53.state().code[0x2345], 0x55);
  EXPECT_EQ(s53.state().code[0x0345], 0xFF);
  EXPECT_EQ(isp53.ReadCode(0x3345), 0xFF);
}

TEST(At89sTargetTest, Mode3WriteErasesTheByteAndIsPolled) {
  ChipTiming timing;
  timing.write_ticks = 300;
  At89sTarget chip(kS8252, timing);
  Isp isp(chip);
  isp.StartEnabled();
  // Polls come 82 + 130k ticks after the write: the third one sees the data.
  EXPECT_EQ(isp.WritePolled(0x100, 0x0F, 10), std::make_pair(3, uint8_t{0x0F}));
  EXPECT_EQ(isp.WritePolled(0x100, 0xF0, 2), std::make_pair(2, uint8_t{0x70}));
  isp.pins().Tick(300);
  EXPECT_EQ(isp.ReadCode(0x100), 0xF0);
}

TEST(At89sTargetTest, Mode3EraseAndLockByte) {
  At89sTarget chip(kS8252);
  Isp isp(chip);
  isp.StartEnabled();
  isp.WritePolled(0, 0x02, 10);
  isp.WritePolled(0, 0x5A, 10, /*eeprom=*/true);

  isp.LockByte(0x67);  // lock bit 1: code readable, not writable
  isp.pins().Tick(200);
  EXPECT_EQ(chip.state().lock_bits, kLockBit1);
  EXPECT_EQ(isp.WritePolled(1, 0x00, 3).second, 0xFF);
  EXPECT_EQ(isp.ReadCode(0), 0x02);
  EXPECT_EQ(isp.WritePolled(1, 0x77, 10, true).second, 0x77);  // EEPROM unaffected

  isp.LockByte(0x07);
  isp.pins().Tick(200);
  EXPECT_EQ(chip.state().lock_bits, kLockBit1 | kLockBit2 | kLockBit3);
  EXPECT_EQ(isp.ReadCode(0), kLockedReadValue);
  EXPECT_EQ(isp.ReadData(0), 0x5A);

  isp.Erase();
  isp.pins().Tick(chip.timing().erase_ticks);
  EXPECT_EQ(chip.state(), ErasedChip(kS8252));
}

TEST(At89sTargetTest, OnlyExactInstructionBytesAreObeyed) {
  At89sTarget chip(kS52);
  Isp isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0, 0x00);
  isp.pins().Tick(200);
  isp.Send({0xAC, 0x80, 0x00, 0x01});  // erase with a stray bit
  isp.Send({0xAC, 0xE1, 0x01, 0x00});  // lock level 1 with a stray bit
  isp.pins().Tick(2000);
  EXPECT_EQ(chip.instructions_ignored(), 2u);
  EXPECT_EQ(chip.state().code[0], 0x00);
  EXPECT_EQ(chip.state().lock_bits, 0);
}

TEST(At89sTargetTest, LosingTheSupplyAbortsAWriteAndProgrammingMode) {
  At89sTarget chip(kS52);
  Isp isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0x20, 0x00);
  ASSERT_TRUE(chip.busy());
  isp.pins().Supply(false);
  EXPECT_FALSE(chip.busy());
  EXPECT_TRUE(chip.Miso());
  isp.Start();
  EXPECT_FALSE(chip.programming_enabled());
  EXPECT_EQ(chip.state().code[0x20], 0xFF);
}

TEST(At89sTargetTest, EmptySocketNeverAnswers) {
  At89sTarget chip(kS52);
  TargetFaults faults;
  faults.no_chip = true;
  chip.SetFaults(faults);
  Isp isp(chip);
  isp.Start();
  EXPECT_EQ(isp.Enable(), 0xFF);
  isp.WriteCode(0, 0x00);
  isp.pins().Tick(500);
  EXPECT_EQ(isp.ReadCode(0), 0xFF);
  EXPECT_EQ(chip.instructions_obeyed(), 0u);
}

TEST(At89sTargetTest, ChipThatNeverFinishesKeepsPolling) {
  At89sTarget chip(kS8252);
  TargetFaults faults;
  faults.never_finish = true;
  chip.SetFaults(faults);
  Isp isp(chip);
  isp.StartEnabled();
  EXPECT_EQ(isp.WritePolled(0x10, 0x42, 50), std::make_pair(50, uint8_t{0xC2}));
  isp.pins().Supply(false);  // only a power cycle ends it, without the byte
  EXPECT_EQ(chip.state().code[0x10], 0xFF);
}

TEST(At89sTargetTest, StuckBitsInCellsReadsAndWrites) {
  At89sTarget chip(kS8252);
  TargetFaults faults;
  faults.stuck = {{false, 0x10, 0x01, 0x00, StuckScope::kCell},
                  {false, 0x20, 0x80, 0x80, StuckScope::kRead},
                  {true, 0x30, 0x0F, 0x05, StuckScope::kWrite}};
  chip.SetFaults(faults);
  Isp isp(chip);
  isp.StartEnabled();

  EXPECT_EQ(isp.ReadCode(0x10), 0xFE);  // not even erased
  EXPECT_EQ(isp.WritePolled(0x10, 0xFF, 3).second, 0xFE);

  EXPECT_EQ(isp.WritePolled(0x20, 0x12, 3).second, 0x92);
  EXPECT_EQ(chip.state().code[0x20], 0x12);  // the cell is right

  EXPECT_EQ(isp.ReadData(0x30), 0xFF);
  EXPECT_EQ(isp.WritePolled(0x30, 0xA0, 3, true).second, 0xA5);
  EXPECT_EQ(chip.state().eeprom[0x30], 0xA5);
  EXPECT_EQ(isp.ReadCode(0x30), 0xFF);  // the code byte at the same address is fine
}

TEST(At89sTargetTest, IgnoredLockBitsLeaveTheCodeReadable) {
  At89sTarget chip(kS52);
  TargetFaults faults;
  faults.lock_ignored = true;
  chip.SetFaults(faults);
  Isp isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0, 0x02);
  isp.pins().Tick(200);
  for (int level = 0; level <= 3; ++level) {
    isp.LockLevel(level);
    isp.pins().Tick(200);
  }
  EXPECT_EQ(isp.ReadLock(), 0x00);
  EXPECT_EQ(isp.ReadCode(0), 0x02);
}

}  // namespace
}  // namespace zivivar::sim
