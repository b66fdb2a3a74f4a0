#include "programmer/spi_protocol.h"

#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "programmer/register_script.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Script;

class SpiProtocolTest : public ::testing::Test, protected testing::Rig<testing::RegisterRecorder> {
 protected:
  // Puts the images where EnterProgrammingMode leaves them, forgets what was
  // recorded and returns a script that starts from the same images.
  Script InProgrammingMode(uint8_t mode) {
    device.spi_mode = mode;
    link.RegisterImage(10) = kReg10Rst;
    link.RegisterImage(8) = kReg8SupplyOn;
    io.Clear();
    return Script{.reg8 = kReg8SupplyOn, .reg10 = kReg10Rst};
  }

  DeviceDescriptor device{
      .device_name = "", .supply_code = 100, .write_wait = 3, .spi_mode = kSpiMode4};
  SpiProtocol spi{link, services, device};
};

TEST_F(SpiProtocolTest, EnterProgrammingModeAndTheMode4Sync) {
  // The two register-8 writes (supply off, supply on) come before the echo.
  io.QueueMiso({false, false});
  io.QueueMisoByte(kProgrammingEnableEcho);
  io.QueueMisoByte(0x68);
  link.RegisterImage(0) = 0xA5;  // both nibbles are cleared, one after the other
  spi.EnterProgrammingMode();
  EXPECT_FALSE(spi.sync_failed());
  spi.SPISync();  // no echo this time: one message, and on it goes
  Script s;
  s.Lines(0).W(6, 0).W(2, 0).W(0, 0x05).W(0, 0x00).W(8, 0x00).Supply(0).Supply(100).DelayMs(100);
  s.W(8, s.reg8 = 0x80).Lines(0).Lines(0).Lines(0).W(6, 2).Lines(kReg10Rst).DelayMs(200);
  s.Send({0xAC, 0x53, 0x00}).Read(4).Send({0xAC, 0x53, 0x00}).Read(4);
  EXPECT_EQ(io.writes(), s.writes);
  EXPECT_THAT(view.Texts(), ElementsAre(kSyncFailedMessage));
  EXPECT_TRUE(spi.sync_failed());
}

TEST_F(SpiProtocolTest, LeaveProgrammingModeWritesTheFullSequence) {
  Script s = InProgrammingMode(kSpiMode4);
  link.RegisterImage(10) |= kReg10Mosi;
  link.SetSupplyCode(100);
  link.RegisterImage(0) = 0x5A;
  spi.LeaveProgrammingMode();
  s.W(10, kReg10Mosi).DelayMs(200).W(6, 0).W(6, 0).W(2, 0).W(0, 0x0A).W(10, 0);
  s.W(4, 0x00).Supply(100).Supply(0).W(0, 0x00).W(8, 0x00).DelayMs(300);
  EXPECT_EQ(io.writes(), s.writes);
  // Only the written value went to 0; the image keeps MOSI until the next entry.
  EXPECT_EQ(link.RegisterImage(10), kReg10Mosi);
}

TEST_F(SpiProtocolTest, CodeWriteAndReadInBothFormats) {
  // Mode 3: address bits 8-12 go to bits 3-7 of the first byte, bit 13 to bit 2.
  Script s = InProgrammingMode(kSpiMode3);
  io.QueueMisoByte(0x3C);
  io.QueueMisoByte(0x5A);
  EXPECT_EQ(spi.SPIReadCodeByte(0x2345), 0x3C);
  EXPECT_EQ(spi.SPIWriteCodeByte(0x2345, 0x5A), 0x5A);
  s.Send({0x1D, 0x45}).Read(3).Send({0x1E, 0x45, 0x5A}).Pulses(1).Send({0x1D, 0x45}).Read(3);
  EXPECT_EQ(io.writes(), s.writes);

  // Mode 4: the write, write_wait pulses, then a read-back.
  s = InProgrammingMode(kSpiMode4);
  io.QueueMisoByte(0x5A);
  EXPECT_EQ(spi.SPIWriteCodeByte(0x0123, 0x5A), 0x5A);
  s.Send({0x40, 0x01, 0x23, 0x5A}).Pulses(3).Send({0x20, 0x01, 0x23}).Read(4);
  EXPECT_EQ(io.writes(), s.writes);
}

TEST_F(SpiProtocolTest, Mode3WritePollsUntilTheByteReadsBackAtMostWriteWaitTimes) {
  const std::pair<uint32_t, std::vector<uint8_t>> cases[] = {
      {3, {0xFF, 0x80, 0x12}},  // the third poll sees the byte
      {2, {0xFF, 0x34}},        // gives up after write_wait polls
      {0, {0x77}},              // polls at least once
  };
  for (const auto& [wait, reads] : cases) {
    device.write_wait = wait;
    Script s = InProgrammingMode(kSpiMode3);
    s.Send({0x06, 0x10, 0x12}).Pulses(1);
    for (const uint8_t read : reads) {
      io.QueueMisoByte(read);
      s.Send({0x05, 0x10}).Read(3).Pulses(read == 0x12 ? 0 : 1);
    }
    EXPECT_EQ(spi.SPIWriteDataByte(0x10, 0x12), reads.back());
    EXPECT_EQ(io.writes(), s.writes) << wait;
  }
}

TEST_F(SpiProtocolTest, Mode3LockBitsAreOneByteWithEachOptionOnItsOwn) {
  const std::pair<LockOptions, uint8_t> cases[] = {
      {{0, 0, 0}, 0xE7}, {{1, 0, 0}, 0x67}, {{0, 1, 0}, 0x27}, {{0, 0, 1}, 0x07}};
  for (const auto& [locks, byte] : cases) {
    Script s = InProgrammingMode(kSpiMode3);
    spi.SPIWriteLockBits(locks);
    EXPECT_EQ(io.writes(), s.Send({0xAC, byte, 0x00}).Pulses(3).writes) << int{byte};
  }
}

TEST_F(SpiProtocolTest, Mode4LockLevelsUpToTheFirstGapThenReadBack) {
  const struct {
    LockOptions locks;
    int levels;
    uint8_t answer;  // only the lock bits 0x1C count
    std::vector<std::string> messages;
  } cases[] = {
      {{1, 1, 1}, 4, 0xFF, {}},
      {{1, 0, 1}, 2, 0x04, {}},
      {{1, 1, 0}, 3, 0xE3, {"Lockbits sind nicht programmiert worden\nGelesener Wert: 0x00"}},
  };
  for (const auto& c : cases) {
    view.Clear();
    Script s = InProgrammingMode(kSpiMode4);
    io.QueueMisoByte(c.answer);
    spi.SPIWriteLockBits(c.locks);
    for (int level = 0; level < c.levels; ++level)
      s.Send({0xAC, static_cast<uint8_t>(0xE0 + level), 0x00, 0x00}).Pulses(3);
    EXPECT_EQ(io.writes(), s.Send({0x24, 0x00, 0x00}).Read(4).writes) << c.levels;
    EXPECT_EQ(view.Texts(), c.messages) << c.levels;
  }
}

TEST_F(SpiProtocolTest, Mode3SyncReadsUpToThreePassesWithResetPulsesWhileBlank) {
  const std::vector<uint8_t> cases[] = {
      // Code bytes 0 and 1 of each pass.
      {0x02, 0x00},                          // programmed chip: one pass
      {0x02, 0xFF, 0x02, 0xFF, 0x02, 0xFF},  // byte 1 blank: three passes
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // erased chip: a reset pulse after each
      {0xFF, 0xFF, 0x75, 0x00},              // in sync after one reset
  };
  for (const auto& reads : cases) {
    Script s = InProgrammingMode(kSpiMode3);
    s.Send({0xAC, 0x53, 0x00}).DelayMs(100);
    for (size_t i = 0; i < reads.size(); i += 2) {
      io.QueueMisoByte(reads[i]);
      io.QueueMisoByte(reads[i + 1]);
      s.Send({0x01, 0x00}).Read(3).Send({0x01, 0x01}).Read(3);
      if (reads[i] == 0xFF && reads[i + 1] == 0xFF) {
        s.Lines(s.reg10 & ~kReg10Rst).DelayMs(200).Lines(s.reg10 | kReg10Rst).DelayMs(200);
        s.Send({0xAC, 0x53, 0x00}).DelayMs(100);
      }
    }
    spi.SPISync();
    EXPECT_EQ(io.writes(), s.writes) << reads.size();
  }
  EXPECT_THAT(view.Texts(), IsEmpty());
}

}  // namespace
}  // namespace zivivar
