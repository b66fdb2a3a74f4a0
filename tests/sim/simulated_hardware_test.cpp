#include "sim/simulated_hardware.h"

#include <gtest/gtest.h>

#include "datafiles/image_buffer.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"
#include "programmer/spi_protocol.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar::sim {
namespace {

// Library entries as the shipped device library gives them, at the default
// timebase correction of 85 us per register write.
DeviceDescriptor S52() {
  DeviceDescriptor d;
  d.device_name = "AT89S52";
  d.supply_code = 100;
  d.write_wait = UsToCycles(1000, 85);
  d.erase_wait = UsToCycles(500000, 85);
  d.code_size = 0x2000;
  d.lock_bit_count = 3;
  d.spi_mode = 4;
  return d;
}
DeviceDescriptor S8252() {
  DeviceDescriptor d = S52();
  d.device_name = "AT89S8252";
  d.write_wait = UsToCycles(4000, 85);
  d.eeprom_size = 0x800;
  d.spi_mode = 3;
  return d;
}
ChipKind KindOf(const DeviceDescriptor& d) {
  return ChipKind{d.spi_mode, d.code_size, d.eeprom_size};
}

// The system's own link and protocol on the simulated hardware.
class SimulatedHardwareTest : public ::testing::Test {
 protected:
  void Use(const DeviceDescriptor& device, std::string_view faults = "") {
    device_ = device;
    hw_ = std::make_unique<SimulatedHardware>(KindOf(device), "");
    ASSERT_EQ(hw_->ApplyFaultText(faults), kFaultsOk);
    link_ = std::make_unique<PortLink>(hw_->port(), services_);
    link_->Configure(0x378, 100, 85);
    protocol_ = std::make_unique<SpiProtocol>(*link_, services_, device_);
  }
  std::vector<std::string> Messages() const { return view_.Texts(); }

  testing::ScriptedServicesView view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  DeviceDescriptor device_;
  std::unique_ptr<SimulatedHardware> hw_;
  std::unique_ptr<PortLink> link_;
  std::unique_ptr<SpiProtocol> protocol_;
};

TEST_F(SimulatedHardwareTest, EraseWaitShorterThanTheChipNeedsShowsAsWrongData) {
  DeviceDescriptor short_erase = S52();
  short_erase.erase_wait = 1;
  Use(short_erase);
  link_->ResetAdapter();
  protocol_->EnterProgrammingMode();
  protocol_->SPIChipErase();
  EXPECT_EQ(protocol_->SPIWriteCodeByte(0x10, 0x42), 0x7F);  // the write met the erase
  protocol_->LeaveProgrammingMode();
  EXPECT_EQ(hw_->chip().state().code[0x10], 0xFF);
}

TEST_F(SimulatedHardwareTest, FaultTextReachesAdapterAndChip) {
  Use(S52(), "nochip");
  EXPECT_EQ(link_->DetectAdapter(), kLinkOk);
  link_->ResetAdapter();
  protocol_->EnterProgrammingMode();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], kSyncFailedMessage);

  Use(S52(), "loopback");
  EXPECT_EQ(link_->DetectAdapter(), kAdapterNotFound);

  Use(S52(), "noadapter");
  EXPECT_NE(link_->DetectAdapter(), kLinkOk);
  EXPECT_FALSE(hw_->adapter().present());

  std::string bad;
  EXPECT_EQ(hw_->ApplyFaultText("nochip,lost-after=x", &bad), kFaultsBadItem);
  EXPECT_EQ(bad, "lost-after=x");
  EXPECT_TRUE(hw_->faults().no_adapter);
  EXPECT_EQ(hw_->ApplyFaultText(""), kFaultsOk);  // back to a sound setup
  EXPECT_EQ(link_->DetectAdapter(), kLinkOk);
}

// Program, verify and lock through the system's device operations, then
// look at the chip, once per instruction format.
TEST_F(SimulatedHardwareTest, DeviceOperationsProgramVerifyAndLockTheChip) {
  for (const DeviceDescriptor& device : {S52(), S8252()}) {
    SCOPED_TRACE(device.device_name);
    Use(device);
    ImageBuffer image;
    for (uint32_t a = 0; a < 0x180; ++a)
      image.bytes[a] = static_cast<uint8_t>(a * 37 + 2);
    image.bytes[0x100] = kBlankByte;
    image.highest_loaded_address = 0x17F;
    image.loaded_byte_count = 0x17F;
    DeviceOperations operations(*link_, services_, device_, image);

    EXPECT_EQ(operations.ProgramMemory(kCodeMemory), kOperationOk);
    EXPECT_EQ(operations.VerifyMemory(kCodeMemory), kOperationOk);
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 0x180,
                           hw_->chip().state().code.begin()));
    if (device.eeprom_size > 0) {
      EXPECT_EQ(operations.ProgramMemory(kEepromMemory), kOperationOk);
      EXPECT_EQ(operations.VerifyMemory(kEepromMemory), kOperationOk);
      EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 0x180,
                             hw_->chip().state().eeprom.begin()));
    }
    EXPECT_EQ(operations.ProgramLockBits(LockOptions{1, 1, 0}), kOperationOk);
    EXPECT_TRUE(Messages().empty()) << Messages()[0];
    EXPECT_EQ(operations.VerifyMemory(kCodeMemory), kVerifyFailed);  // read-back refused

    view_.QueueAnswer(MessageKind::kOkCancel, kIdOk);
    EXPECT_EQ(operations.EraseDevice(), kOperationOk);
    view_.Clear();
    EXPECT_EQ(operations.BlankCheck(), kOperationOk);
    EXPECT_EQ(hw_->chip().state(), ErasedChip(KindOf(device)));
    view_.Clear();
  }
}

TEST_F(SimulatedHardwareTest, LockBitsWithoutVisibleEffect) {
  ImageBuffer image;
  image.bytes[0] = 0x02;
  image.loaded_byte_count = 1;
  // A chip whose lock bits do not take: the mode-4 read-back and the code
  // byte both tell.
  Use(S52(), "nolock");
  DeviceOperations operations(*link_, services_, device_, image);
  EXPECT_EQ(operations.ProgramMemory(kCodeMemory), kOperationOk);
  EXPECT_EQ(operations.ProgramLockBits(LockOptions{1, 1, 1}), kLockBitsNoEffect);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0], "Lockbits sind nicht programmiert worden\nGelesener Wert: 0x00");
  EXPECT_EQ(Messages()[1], kLockBitsNoEffectMessage);

  // A sound chip whose code starts with the very byte a locked chip answers.
  view_.Clear();
  image.bytes[0] = kLockedReadValue;
  Use(S8252());
  DeviceOperations locked(*link_, services_, device_, image);
  EXPECT_EQ(locked.ProgramMemory(kCodeMemory), kOperationOk);
  EXPECT_EQ(locked.ProgramLockBits(LockOptions{1, 1, 1}), kLockBitsNoEffect);
  EXPECT_EQ(hw_->chip().state().lock_bits, kLockBit1 | kLockBit2 | kLockBit3);
}

TEST(SimulatedHardwareStateTest, StateFileCarriesTheChipAcrossRuns) {
  testing::TempDir dir;
  const std::string path = dir.File("chip.zvchip");
  ChipState programmed = ErasedChip(KindOf(S8252()));
  programmed.code[5] = 0x12;
  programmed.eeprom[7] = 0x34;
  programmed.lock_bits = kLockBit1;
  {
    SimulatedHardware first(KindOf(S8252()), path);
    EXPECT_EQ(first.LoadState(), kChipStateNotFound);
    first.chip().InsertChip(programmed);
    ASSERT_EQ(first.SaveState(), kChipStateOk);
  }
  SimulatedHardware second(ChipKind{}, path);
  ASSERT_EQ(second.LoadState(), kChipStateOk);
  EXPECT_EQ(second.chip().state(), programmed);  // the saved chip, whatever kind was asked for

  const std::string good = dir.Read("chip.zvchip");
  dir.Write("chip.zvchip", good.substr(0, good.size() / 2));
  SimulatedHardware third(ChipKind{}, path);
  EXPECT_EQ(third.LoadState(), kChipStateTruncated);
  EXPECT_EQ(third.chip().state(), ErasedChip(ChipKind{}));
  EXPECT_EQ(dir.Read("chip.zvchip").size(), good.size() / 2);  // left for the user to look at

  SimulatedHardware no_file(ChipKind{}, "");
  EXPECT_EQ(no_file.LoadState(), kChipStateNotFound);
  EXPECT_EQ(no_file.SaveState(), kChipStateOk);
}

}  // namespace
}  // namespace zivivar::sim
