#include "programmer/spi_protocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "programmer/port_link.h"
#include "programmer/spi_script.h"
#include "support/register_recorder.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::RegisterRecorder;
using testing::Script;
using testing::ScriptedServicesView;
using testing::Transcript;

class SpiProtocolTest : public ::testing::Test {
 protected:
  SpiProtocolTest() {
    device_.supply_code = 100;  // 5 V
    device_.write_wait = 3;
    device_.erase_wait = 7;
    device_.spi_mode = kSpiMode4;
  }

  // Puts the images where EnterProgrammingMode leaves them, without recording.
  void InProgrammingMode(uint8_t lines = kReg10Rst) {
    link_.RegisterImage(10) = lines;
    link_.RegisterImage(8) = kReg8SupplyOn;
    link_.SetSupplyCode(device_.supply_code);
  }
  std::vector<std::string> Tokens() const { return Transcript(port_.writes()); }

  ScriptedServicesView view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  RegisterRecorder port_;
  PortLink link_{port_, services_};
  DeviceDescriptor device_;
  SpiProtocol spi_{link_, services_, device_};
};

TEST_F(SpiProtocolTest, EnterProgrammingModeMode4WritesTheFullSequence) {
  // The two register-8 writes (supply off, supply on) come before the echo.
  port_.QueueMiso({false, false});
  port_.QueueMisoByte(kProgrammingEnableEcho);
  link_.RegisterImage(0) = 0xA5;  // both nibbles are cleared, one after the other

  spi_.EnterProgrammingMode();

  Script s;
  s.Lines(0).W(6, 0).W(2, 0).W(0, 0x05).W(0, 0x00).W(8, 0x00);
  s.Supply(0).Supply(100).DelayMs(100).W(8, 0x80);
  s.Lines(0).W(10, 0).Lines(0).W(6, 2).Lines(kReg10Rst).DelayMs(200);
  s.Send({0xAC, 0x53, 0x00}).Read(4);
  EXPECT_EQ(port_.writes(), s.writes);
  EXPECT_THAT(view_.Texts(), IsEmpty());
  EXPECT_FALSE(spi_.sync_failed());
  EXPECT_EQ(link_.supply_code(), 100);
}

TEST_F(SpiProtocolTest, Mode4SyncWithoutEchoShowsOneMessageAndGoesOn) {
  InProgrammingMode();
  port_.QueueMisoByte(0x68);
  spi_.SPISync();
  EXPECT_THAT(view_.Texts(), ElementsAre(kSyncFailedMessage));
  EXPECT_TRUE(spi_.sync_failed());
  EXPECT_THAT(Tokens(), ElementsAre("AC", "53", "00", "R4"));
  // Still powered with reset asserted: the failure shows up later as wrong data.
  EXPECT_EQ(port_.last(8), kReg8SupplyOn);
  EXPECT_EQ(link_.RegisterImage(10) & kReg10Rst, kReg10Rst);
}

TEST_F(SpiProtocolTest, LeaveProgrammingModeWritesTheFullSequence) {
  InProgrammingMode(kReg10Rst | kReg10Mosi);
  link_.RegisterImage(0) = 0x5A;

  spi_.LeaveProgrammingMode();

  Script s;
  s.reg8 = 0x80;
  s.W(10, kReg10Mosi).DelayMs(200).W(6, 0).W(6, 0).W(2, 0).W(0, 0x0A).W(10, 0);
  s.W(4, 0x00).Supply(100).Supply(0).W(0, 0x00).W(8, 0x00).DelayMs(300);
  EXPECT_EQ(port_.writes(), s.writes);
  EXPECT_EQ(link_.supply_code(), 0);
  // Only the written value went to 0; the image keeps MOSI until the next entry.
  EXPECT_EQ(link_.RegisterImage(10), kReg10Mosi);
}

TEST_F(SpiProtocolTest, ByteRoundTripsMostSignificantBitFirst) {
  InProgrammingMode();
  port_.QueueMisoByte(0xA7);
  spi_.SPIWriteByte(0xA7);
  EXPECT_EQ(spi_.SPIReadByte(), 0xA7);
  EXPECT_EQ(port_.write_count(), 40u + 48u);
  // MOSI keeps the last bit sent and is not touched by the read.
  EXPECT_EQ(link_.RegisterImage(10), kReg10Rst | kReg10Mosi);
}

TEST_F(SpiProtocolTest, Mode3FirstByteFoldsTheHighAddressBits) {
  EXPECT_EQ(SpiProtocol::Mode3FirstByte(0x2345, 0x01), 0x1D);
  EXPECT_EQ(SpiProtocol::Mode3FirstByte(0x1F00, 0x02), 0xFA);
  EXPECT_EQ(SpiProtocol::Mode3FirstByte(0x2000, 0x02), 0x06);
  // Bits 14 and 15 do not reach the device; the data codes already hold bit 2.
  EXPECT_EQ(SpiProtocol::Mode3FirstByte(0xC0FF, 0x01), 0x01);
  EXPECT_EQ(SpiProtocol::Mode3FirstByte(0x2100, 0x05), SpiProtocol::Mode3FirstByte(0x0100, 0x05));
}

TEST_F(SpiProtocolTest, Mode3CodeReadSamplesBeforeTheRisingEdge) {
  device_.spi_mode = kSpiMode3;
  InProgrammingMode();
  port_.QueueMisoByte(0x3C);

  EXPECT_EQ(spi_.SPIReadCodeByte(0x2345), 0x3C);

  Script s;
  s.reg10 = kReg10Rst;
  s.reg8 = 0x80;
  s.Send({0x1D, 0x45}).Read(3);
  EXPECT_EQ(port_.writes(), s.writes);
}

TEST_F(SpiProtocolTest, Mode4CodeWriteSendsWaitsAndReadsBack) {
  InProgrammingMode();
  port_.QueueMisoByte(0x5A);

  EXPECT_EQ(spi_.SPIWriteCodeByte(0x0123, 0x5A), 0x5A);

  Script s;
  s.reg10 = kReg10Rst;
  s.reg8 = 0x80;
  s.Send({0x40, 0x01, 0x23, 0x5A}).Pulses(3).Send({0x20, 0x01, 0x23}).Read(4);
  EXPECT_EQ(port_.writes(), s.writes);
  EXPECT_EQ(port_.write_count(), 160u + 6u + 120u + 48u);
}

TEST_F(SpiProtocolTest, Mode3CodeWriteSequence) {
  device_.spi_mode = kSpiMode3;
  InProgrammingMode();
  port_.QueueMisoByte(0x5A);

  EXPECT_EQ(spi_.SPIWriteCodeByte(0x2345, 0x5A), 0x5A);

  Script s;
  s.reg10 = kReg10Rst;
  s.reg8 = 0x80;
  s.Send({0x1E, 0x45, 0x5A}).Pulses(1).Send({0x1D, 0x45}).Read(3);
  EXPECT_EQ(port_.writes(), s.writes);
}

TEST_F(SpiProtocolTest, Mode3WritePollsUntilTheByteReadsBack) {
  device_.spi_mode = kSpiMode3;
  InProgrammingMode();
  port_.QueueMisoByte(0xFF);
  port_.QueueMisoByte(0x80);
  port_.QueueMisoByte(0x12);
  EXPECT_EQ(spi_.SPIWriteCodeByte(0x0010, 0x12), 0x12);
  EXPECT_THAT(Tokens(), ElementsAre("02", "10", "12", "P1",  //
                                    "01", "10", "R3", "P1",  //
                                    "01", "10", "R3", "P1",  //
                                    "01", "10", "R3"));
}

TEST_F(SpiProtocolTest, Mode3WritePollsAtMostWriteWaitTimes) {
  device_.spi_mode = kSpiMode3;
  device_.write_wait = 2;
  InProgrammingMode();
  port_.QueueMisoByte(0xFF);
  port_.QueueMisoByte(0x34);
  port_.QueueMisoByte(0x12);  // would match, but is never asked for
  EXPECT_EQ(spi_.SPIWriteDataByte(0x0010, 0x12), 0x34);
  EXPECT_THAT(Tokens(), ElementsAre("06", "10", "12", "P1",  //
                                    "05", "10", "R3", "P1",  //
                                    "05", "10", "R3", "P1"));
}

TEST_F(SpiProtocolTest, Mode3WriteWithWriteWaitZeroPollsOnce) {
  device_.spi_mode = kSpiMode3;
  device_.write_wait = 0;
  InProgrammingMode();
  port_.QueueMisoByte(0x77);
  EXPECT_EQ(spi_.SPIWriteCodeByte(0x0001, 0x12), 0x77);
  EXPECT_THAT(Tokens(), ElementsAre("02", "01", "12", "P1", "01", "01", "R3", "P1"));
}

TEST_F(SpiProtocolTest, Mode3DataReadUsesItsOwnCode) {
  device_.spi_mode = kSpiMode3;
  InProgrammingMode();
  port_.QueueMisoByte(0x42);
  EXPECT_EQ(spi_.SPIReadDataByte(0x01FF), 0x42);
  EXPECT_THAT(Tokens(), ElementsAre("0D", "FF", "R3"));
}

TEST_F(SpiProtocolTest, Mode4HasNoDataEepromAccess) {
  InProgrammingMode();
  EXPECT_EQ(spi_.SPIReadDataByte(0x10), 0);
  EXPECT_EQ(spi_.SPIWriteDataByte(0x10, 0x55), 0);
  EXPECT_THAT(view_.Texts(), ElementsAre(kSpi4NoDataReadMessage, kSpi4NoDataWriteMessage));
  EXPECT_EQ(port_.write_count(), 0u);
}

TEST_F(SpiProtocolTest, ChipEraseInBothModesWaitsTheEraseWait) {
  InProgrammingMode();
  spi_.SPIChipErase();
  EXPECT_THAT(Tokens(), ElementsAre("AC", "80", "00", "00", "P7"));
  port_.Clear();
  device_.spi_mode = kSpiMode3;
  spi_.SPIChipErase();
  EXPECT_THAT(Tokens(), ElementsAre("AC", "04", "00", "P7"));
}

TEST_F(SpiProtocolTest, Mode3LockByteTakesEachOptionOnItsOwn) {
  EXPECT_EQ(SpiProtocol::Mode3LockByte({0, 0, 0}), 0xE7);
  EXPECT_EQ(SpiProtocol::Mode3LockByte({1, 0, 0}), 0x67);
  EXPECT_EQ(SpiProtocol::Mode3LockByte({0, 1, 0}), 0x27);
  EXPECT_EQ(SpiProtocol::Mode3LockByte({0, 0, 1}), 0x07);
  EXPECT_EQ(SpiProtocol::Mode3LockByte({1, 1, 1}), 0x07);
}

TEST_F(SpiProtocolTest, Mode3LockBitsSequence) {
  device_.spi_mode = kSpiMode3;
  InProgrammingMode();
  spi_.SPIWriteLockBits({1, 1, 1});

  Script s;
  s.reg10 = kReg10Rst;
  s.Send({0xAC, 0x07, 0x00}).Pulses(3);
  EXPECT_EQ(port_.writes(), s.writes);
  EXPECT_THAT(view_.Texts(), IsEmpty());
}

TEST_F(SpiProtocolTest, Mode4LockBitsSequenceWithAllLevels) {
  InProgrammingMode();
  port_.QueueMisoByte(0xFF);  // unused bits set: only 0x1C is compared
  spi_.SPIWriteLockBits({1, 1, 1});

  Script s;
  s.reg10 = kReg10Rst;
  s.reg8 = 0x80;
  for (const uint8_t level : {uint8_t{0xE0}, uint8_t{0xE1}, uint8_t{0xE2}, uint8_t{0xE3}})
    s.Send({0xAC, level, 0x00, 0x00}).Pulses(3);
  s.Send({0x24, 0x00, 0x00}).Read(4);
  EXPECT_EQ(port_.writes(), s.writes);
  EXPECT_THAT(view_.Texts(), IsEmpty());
}

TEST_F(SpiProtocolTest, Mode4LockLevelsStopAtTheFirstGap) {
  InProgrammingMode();
  port_.QueueMisoByte(0x04);
  spi_.SPIWriteLockBits({1, 0, 1});
  EXPECT_THAT(Tokens(), ElementsAre("AC", "E0", "00", "00", "P3",  //
                                    "AC", "E1", "00", "00", "P3",  //
                                    "24", "00", "00", "R4"));
  EXPECT_THAT(view_.Texts(), IsEmpty());

  // Lock2 alone reaches level 0 only.
  port_.Clear();
  port_.QueueMisoByte(0x00);
  spi_.SPIWriteLockBits({0, 1, 0});
  EXPECT_THAT(Tokens(), ElementsAre("AC", "E0", "00", "00", "P3", "24", "00", "00", "R4"));
  EXPECT_THAT(view_.Texts(), IsEmpty());
}

TEST_F(SpiProtocolTest, Mode4LockReadBackMismatchShowsTheMaskedValue) {
  InProgrammingMode();
  port_.QueueMisoByte(0xE3);  // lock bits 0x00 where 0x0C was expected
  spi_.SPIWriteLockBits({1, 1, 0});
  EXPECT_THAT(view_.Texts(),
              ElementsAre("Lockbits sind nicht programmiert worden\nGelesener Wert: 0x00"));
}

// Mode-3 sync passes, told apart by the reads and reset pulses they make.
class Mode3SyncTest : public SpiProtocolTest {
 protected:
  Mode3SyncTest() {
    device_.spi_mode = kSpiMode3;
    InProgrammingMode();
  }
  std::vector<std::string> Expected(int passes, bool reset_pulses) const {
    std::vector<std::string> t = {"AC", "53", "00", "D1176"};
    for (int pass = 0; pass < passes; ++pass) {
      for (const char* x : {"01", "00", "R3", "01", "01", "R3"})
        t.push_back(x);
      if (reset_pulses) {
        for (const char* x : {"W10=08", "D2352", "W10=09", "D2352", "AC", "53", "00", "D1176"})
          t.push_back(x);
      }
    }
    return t;
  }
};

TEST_F(Mode3SyncTest, ProgrammedChipNeedsOnePass) {
  port_.QueueMisoByte(0x02);
  port_.QueueMisoByte(0x00);
  spi_.SPISync();
  EXPECT_EQ(Tokens(), Expected(1, false));
}

TEST_F(Mode3SyncTest, SecondByteBlankGivesThreePassesWithoutResets) {
  for (int pass = 0; pass < 3; ++pass) {
    port_.QueueMisoByte(0x02);
    port_.QueueMisoByte(0xFF);
  }
  spi_.SPISync();
  EXPECT_EQ(Tokens(), Expected(3, false));
}

TEST_F(Mode3SyncTest, ErasedChipGetsThreeResetPulses) {
  port_.set_miso(true);
  spi_.SPISync();
  EXPECT_EQ(Tokens(), Expected(3, true));
  EXPECT_THAT(view_.Texts(), IsEmpty());
}

TEST_F(Mode3SyncTest, FirstPassResetThenInSync) {
  port_.QueueMisoByte(0xFF);
  port_.QueueMisoByte(0xFF);
  port_.QueueMisoByte(0x75);
  port_.QueueMisoByte(0x00);
  spi_.SPISync();
  auto expected = Expected(1, true);
  for (const char* x : {"01", "00", "R3", "01", "01", "R3"})
    expected.push_back(x);
  EXPECT_EQ(Tokens(), expected);
}

TEST_F(SpiProtocolTest, LostLinkSuppressesTheSyncAndLockMessages) {
  port_.QueueMisoByte(0x00);
  link_.Configure(0x278, 10, 85);  // nobody answers there
  spi_.EnterProgrammingMode();
  spi_.SPIWriteLockBits({1, 1, 1});
  EXPECT_TRUE(link_.link_lost());
  EXPECT_THAT(view_.Texts(), ElementsAre(kTimeoutMessage));
}

}  // namespace
}  // namespace zivivar
