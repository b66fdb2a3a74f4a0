// The device operations end to end: PortLink, the protocol and the
// operations against the simulated adapter with a simulated chip in its
// socket, in both instruction formats.
#include "programmer/device_operations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "sim/simulated_hardware.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ScriptedServicesView;

constexpr uint32_t kCodeSize = 2048;
constexpr uint32_t kEepromSize = 512;

// Also records the cancel button.
class View : public ScriptedServicesView {
 public:
  void SetCancelEnabled(bool enabled) override { cancel_button.push_back(enabled); }
  std::vector<bool> cancel_button;
};

sim::ChipKind KindFor(uint8_t mode) {
  return {mode, kCodeSize, mode == kSpiMode3 ? kEepromSize : 0};
}

std::string ModeName(const ::testing::TestParamInfo<uint8_t>& param) {
  return "Mode" + std::to_string(param.param);
}

class DeviceOperationsTest : public ::testing::TestWithParam<uint8_t> {
 protected:
  DeviceOperationsTest() : hw_(KindFor(GetParam()), "") {
    // As the library describes an AT89S51 or AT89S8252 (5 V, 1 ms or 4 ms
    // per byte, 500 ms erase) at the default correction, with smaller memories.
    device_.device_name = mode3() ? "AT89S8252" : "AT89S51";
    device_.supply_code = 100;
    device_.write_wait = link_.UsToCycles(mode3() ? 4000 : 1000);
    device_.erase_wait = link_.UsToCycles(500000);
    device_.code_size = kCodeSize;
    device_.eeprom_size = mode3() ? kEepromSize : 0;
    device_.lock_bit_count = 3;
    device_.spi_mode = GetParam();
  }

  bool mode3() const { return GetParam() == kSpiMode3; }

  // Puts a chip with these bytes (the rest 0xFF) into the socket.
  void InsertChip(const std::map<uint32_t, uint8_t>& code,
                  const std::map<uint32_t, uint8_t>& eeprom = {}, uint8_t fill = 0xFF) {
    sim::ChipState state = sim::ErasedChip(KindFor(GetParam()));
    std::fill(state.code.begin(), state.code.end(), fill);
    for (const auto& [address, value] : code)
      state.code[address] = value;
    for (const auto& [address, value] : eeprom) {
      if (address < state.eeprom.size())  // mode 3 only
        state.eeprom[address] = value;
    }
    hw_.chip().InsertChip(state);
  }
  // An image as a load would leave it.
  void LoadImage(const std::map<uint32_t, uint8_t>& bytes, uint32_t highest) {
    image_.Clear();
    for (const auto& [address, value] : bytes)
      image_.bytes[address] = value;
    image_.loaded_byte_count = static_cast<uint32_t>(bytes.size());
    image_.highest_loaded_address = highest;
  }
  const std::vector<uint8_t>& chip_code() { return hw_.chip().state().code; }
  // The state every operation must end in.
  void ExpectUnpowered() {
    EXPECT_FALSE(hw_.chip().powered());
    EXPECT_EQ(hw_.adapter().reg(8) & kReg8SupplyOn, 0);
    EXPECT_EQ(hw_.adapter().reg(10), 0);
    EXPECT_EQ(hw_.adapter().reg(6), 0);
  }
  void ExpectCleanProtocol() {
    EXPECT_EQ(hw_.adapter().handshake_errors(), 0) << hw_.adapter().last_error();
    EXPECT_EQ(hw_.chip().instructions_ignored(), 0u) << hw_.chip().last_ignored();
  }

  sim::SimulatedHardware hw_;
  View view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  PortLink link_{hw_.port(), services_};
  DeviceDescriptor device_;
  ImageBuffer image_;
  DeviceOperations ops_{link_, services_, device_, image_};
};

INSTANTIATE_TEST_SUITE_P(BothModes, DeviceOperationsTest, ::testing::Values(kSpiMode3, kSpiMode4),
                         ModeName);

TEST_P(DeviceOperationsTest, BlankChipIsReportedBlank) {
  EXPECT_EQ(ops_.BlankCheck(), kOperationOk);
  EXPECT_THAT(view_.Texts(), ElementsAre(kDeviceBlankMessage));
  if (mode3()) {
    EXPECT_THAT(view_.statuses, ElementsAre(kBlankCheckCodeStatus, kBlankCheckDataStatus));
  } else {
    EXPECT_THAT(view_.statuses, ElementsAre(kBlankCheckCodeStatus));
  }
  EXPECT_THAT(view_.cancel_button, ElementsAre(true));
  EXPECT_EQ(view_.positions.back(), 0u);
  ExpectUnpowered();
  ExpectCleanProtocol();
}

TEST_P(DeviceOperationsTest, ProgramVerifyAndReadBackTheCodeMemory) {
  InsertChip({}, {}, 0x00);  // programmed all over: the erase must come first
  std::map<uint32_t, uint8_t> bytes;
  for (uint32_t a = 0; a < 10; ++a)
    bytes[a] = static_cast<uint8_t>(0x30 + a);
  bytes[0x400] = 0x00;
  bytes[kCodeSize - 1] = 0x7E;
  LoadImage(bytes, kCodeSize - 1);

  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kOperationOk);
  EXPECT_TRUE(std::equal(chip_code().begin(), chip_code().end(), image_.bytes.begin()));
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), kOperationOk);

  image_.Clear();
  ops_.protocol().EnterProgrammingMode();
  EXPECT_EQ(ops_.ReadMemory(kCodeMemory), kOperationOk);
  ops_.protocol().LeaveProgrammingMode();
  EXPECT_EQ(image_.bytes[0], 0x30);
  EXPECT_EQ(image_.bytes[kCodeSize - 1], 0x7E);
  EXPECT_TRUE(std::equal(chip_code().begin(), chip_code().end(), image_.bytes.begin()));
  EXPECT_EQ(image_.bytes[kCodeSize], 0xFF);

  EXPECT_THAT(view_.Texts(), IsEmpty());
  EXPECT_THAT(view_.statuses,
              ElementsAre("Programmspeicher Bytes: 12 (0xC) bis Adresse: 2047 (0x7FF) ",
                          "Programmspeicher prüfen Bytes: 12 (0xC) bis Adresse: 2047 (0x7FF)"));
  EXPECT_THAT(view_.cancel_button, ElementsAre(true, true));
  ExpectUnpowered();
  ExpectCleanProtocol();
}

TEST_P(DeviceOperationsTest, BlankImageOnlyErases) {
  InsertChip({{0, 0x12}, {100, 0x00}});
  LoadImage({}, kCodeSize - 1);
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kOperationOk);
  EXPECT_EQ(std::count(chip_code().begin(), chip_code().end(), 0xFF),
            static_cast<std::ptrdiff_t>(kCodeSize));
  EXPECT_THAT(view_.Texts(), IsEmpty());
}

TEST_P(DeviceOperationsTest, HighestAddressZeroHandlesAddressZeroOnly) {
  LoadImage({{0, 0x12}, {1, 0x34}}, 0);
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kOperationOk);
  EXPECT_EQ(chip_code()[0], 0x12);
  EXPECT_EQ(chip_code()[1], 0xFF);
  // Byte 1 differs from the image but lies beyond the highest address.
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), kOperationOk);
  EXPECT_THAT(view_.Texts(), IsEmpty());
}

TEST_P(DeviceOperationsTest, NonBlankBytesAnsweredRetry) {
  InsertChip({{5, 0x12}}, {{0x10, 0x34}});
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);

  EXPECT_EQ(ops_.BlankCheck(), kNotBlank);
  if (mode3()) {
    // The check goes on into the EEPROM.
    EXPECT_THAT(view_.Texts(),
                ElementsAre("CodeSpeicher an Adresse 0x0005 ist nicht leer !\nInhalt 0x12\n",
                            "DatenSpeicher an Adresse 0x0010 ist nicht leer !\nInhalt 0x34\n"));
  } else {
    EXPECT_THAT(view_.Texts(),
                ElementsAre("CodeSpeicher an Adresse 0x0005 ist nicht leer !\nInhalt 0x12\n"));
  }
  ExpectUnpowered();
}

TEST_P(DeviceOperationsTest, NonBlankByteAnsweredCancelEndsTheCheck) {
  InsertChip({{5, 0x12}, {6, 0x13}}, {{0x10, 0x34}});
  EXPECT_EQ(ops_.BlankCheck(), kBlankCheckStopped);
  EXPECT_THAT(view_.Texts(),
              ElementsAre("CodeSpeicher an Adresse 0x0005 ist nicht leer !\nInhalt 0x12\n"));
  EXPECT_THAT(view_.statuses, ElementsAre(kBlankCheckCodeStatus));
  ExpectUnpowered();
}

// A cell whose bit 0 stays set: programming 0x00 there reads back 0x01.
class BadByteTest : public DeviceOperationsTest {
 protected:
  BadByteTest() {
    sim::TargetFaults faults;
    faults.stuck.push_back({false, 0x100, 0x01, 0x01, sim::StuckScope::kCell});
    hw_.chip().SetFaults(faults);
    LoadImage({{0xFF, 0x00}, {0x100, 0x00}, {0x101, 0x00}}, 0x101);
  }
};
INSTANTIATE_TEST_SUITE_P(BothModes, BadByteTest, ::testing::Values(kSpiMode3, kSpiMode4), ModeName);

TEST_P(BadByteTest, ProgramFaultAnsweredRetryGoesOnAndSucceeds) {
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kOperationOk);
  EXPECT_THAT(view_.Texts(), ElementsAre("Programmspeicher\n\nProgrammierfehler an Adresse 256 "
                                         "(0x100)\nRichtig: 0x00   Gelesen: 0x01\n"));
  EXPECT_EQ(chip_code()[0x101], 0x00);

  // The verify of the same byte fails whatever the answer.
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), kVerifyFailed);
  EXPECT_EQ(view_.Texts().back(),
            "Programmspeicher Fehler\nan Adresse 256 (0x100) !\nRichtig: 0x00\nGelesen: 0x01\n");
  ExpectUnpowered();
}

TEST_P(BadByteTest, ProgramFaultAnsweredCancelStops) {
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kProgramStopped);
  EXPECT_EQ(view_.Texts().size(), 1u);  // no cancel message of its own
  EXPECT_EQ(chip_code()[0xFF], 0x00);
  EXPECT_EQ(chip_code()[0x101], 0xFF);
  ExpectUnpowered();
}

TEST_P(DeviceOperationsTest, VerifyReportsBytesTheFileDidNotSet) {
  InsertChip({{0, 0x12}, {3, 0x13}, {7, 0x00}});
  LoadImage({{0, 0x12}, {3, 0x12}}, 9);
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), kVerifyFailed);
  EXPECT_THAT(view_.Texts(),
              ElementsAre("Programmspeicher Fehler\nan Adresse 3 (0x3) !\nRichtig: 0x12\nGelesen: "
                          "0x13\n",
                          "Programmspeicher Fehler\nan Adresse 7 (0x7) !\nRichtig: 0xFF\nGelesen: "
                          "0x00\n"));
}

// Cancel button clicks, noticed at the pumps of the progress steps.
TEST_P(DeviceOperationsTest, CancelFlagStopsProgrammingAfterTheStepsByte) {
  std::map<uint32_t, uint8_t> bytes;
  for (uint32_t a = 0; a < kCodeSize; ++a)
    bytes[a] = static_cast<uint8_t>(a % 0xFF);
  LoadImage(bytes, kCodeSize - 1);
  // 2047 items make steps of 40: the third pump comes after address 119.
  view_.OnPump(3, [&] { services_.RequestCancel(); });

  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kProgramStopped);
  EXPECT_THAT(view_.Texts(), ElementsAre(kProgramCancelledMessage));
  EXPECT_EQ(chip_code()[119], 119);
  EXPECT_EQ(chip_code()[120], 0xFF);
  ExpectUnpowered();

  // An operation that starts with the flag still set stops after one byte.
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), kVerifyFailed);
  EXPECT_THAT(view_.Texts(), ElementsAre(kProgramCancelledMessage, kVerifyCancelledMessage));
}

TEST_P(DeviceOperationsTest, CancelFlagStopsBlankCheckBeforeTheEeprom) {
  view_.OnPump(2, [&] { services_.RequestCancel(); });
  EXPECT_EQ(ops_.BlankCheck(), kBlankCheckStopped);
  EXPECT_THAT(view_.Texts(), ElementsAre(kBlankCheckCancelledMessage));
  EXPECT_THAT(view_.statuses, ElementsAre(kBlankCheckCodeStatus));
  EXPECT_EQ(view_.pumps, 2);
  ExpectUnpowered();
}

TEST_P(DeviceOperationsTest, CancelledReadOutKeepsTheFillAboveTheLastByteRead) {
  InsertChip({{79, 0x79}, {80, 0x80}});
  view_.OnPump(2, [&] { services_.RequestCancel(); });
  ops_.protocol().EnterProgrammingMode();
  EXPECT_EQ(ops_.ReadMemory(kCodeMemory), kOperationOk);
  ops_.protocol().LeaveProgrammingMode();
  // 2048 items make steps of 40: the second pump comes after address 79.
  EXPECT_EQ(image_.bytes[79], 0x79);
  EXPECT_EQ(image_.bytes[80], 0xFF);
  EXPECT_THAT(view_.Texts(), IsEmpty());  // the caller reports the cancel
}

// The adapter goes away in the middle of programming.
class LostAdapterTest : public DeviceOperationsTest {
 protected:
  LostAdapterTest() {
    link_.Configure(0x378, 5000, 85);
    std::map<uint32_t, uint8_t> bytes;
    for (uint32_t a = 0; a < kCodeSize; ++a)
      bytes[a] = 0x55;
    LoadImage(bytes, kCodeSize - 1);
    view_.OnPump(2, [&] { hw_.adapter().LoseAfter(1000); });
  }
};
INSTANTIATE_TEST_SUITE_P(BothModes, LostAdapterTest, ::testing::Values(kSpiMode3, kSpiMode4),
                         ModeName);

TEST_P(LostAdapterTest, OneTimeoutMessageAndNothingFurther) {
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kProgramStopped);
  EXPECT_THAT(view_.Texts(), ElementsAre(kTimeoutMessage));
  EXPECT_TRUE(link_.link_lost());
  // Stopped after the byte that met the time-out.
  EXPECT_EQ(view_.pumps, 2);
  EXPECT_EQ(chip_code()[kCodeSize - 1], 0xFF);
  // The failing write and the one quiet attempt to power down waited out
  // their counts; nothing else touched the port.
  const uint64_t reads_after_loss = hw_.adapter().status_reads();
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), kVerifyFailed);
  EXPECT_EQ(ops_.BlankCheck(), kBlankCheckStopped);
  EXPECT_THAT(view_.Texts(), ElementsAre(kTimeoutMessage));
  // Each operation left programming mode with one quiet attempt.
  EXPECT_LE(hw_.adapter().status_reads() - reads_after_loss, 2u * 5000u);
}

TEST_P(LostAdapterTest, EveryOperationFailsWithoutFurtherMessages) {
  hw_.adapter().RemoveAdapter();
  EXPECT_EQ(ops_.BlankCheck(), kBlankCheckStopped);
  EXPECT_EQ(ops_.EraseDevice(), kHandshakeTimeout);  // asks nothing
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kProgramStopped);
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), kVerifyFailed);
  EXPECT_EQ(ops_.ReadMemory(kCodeMemory), kHandshakeTimeout);  // nothing fit to save
  EXPECT_EQ(ops_.ProgramLockBits({1, 1, 1}), kHandshakeTimeout);
  EXPECT_THAT(view_.Texts(), ElementsAre(kTimeoutMessage));
}

TEST_P(LostAdapterTest, PassingLossStillLeavesTheAdapterUnpowered) {
  view_.OnMessage([&](const testing::RecordedMessage&) { hw_.adapter().ReconnectAdapter(); });
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kProgramStopped);
  EXPECT_THAT(view_.Texts(), ElementsAre(kTimeoutMessage));
  ExpectUnpowered();
}

TEST_P(DeviceOperationsTest, EmptySocket) {
  sim::TargetFaults faults;
  faults.no_chip = true;
  hw_.chip().SetFaults(faults);
  LoadImage({{0, 0x12}}, 0);

  if (mode3()) {
    // Mode 3 cannot tell an empty socket from an erased chip.
    EXPECT_EQ(ops_.BlankCheck(), kOperationOk);
    EXPECT_THAT(view_.Texts(), ElementsAre(kDeviceBlankMessage));
  } else {
    // No false "blank" after the sync message.
    EXPECT_EQ(ops_.BlankCheck(), kBlankCheckStopped);
    EXPECT_THAT(view_.Texts(), ElementsAre(kSyncFailedMessage));
  }
  view_.Clear();
  const std::string fault =
      "Programmspeicher\n\nProgrammierfehler an Adresse 0 (0x0)\nRichtig: 0x12   Gelesen: 0xFF\n";
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), kProgramStopped);
  if (mode3()) {
    EXPECT_THAT(view_.Texts(), ElementsAre(fault));
  } else {
    EXPECT_THAT(view_.Texts(), ElementsAre(kSyncFailedMessage, fault));
  }
  ExpectUnpowered();
}

TEST_P(DeviceOperationsTest, EraseDeclinedLeavesTheChipAlone) {
  InsertChip({{0, 0x12}});
  EXPECT_EQ(ops_.EraseDevice(), kEraseDeclined);
  const std::string name = mode3() ? "AT89S8252" : "AT89S51";
  EXPECT_THAT(view_.Texts(), ElementsAre("*** " + name +
                                         " ***\n\n*** Controller löschen ***\n\n\n\n"
                                         "ISP-Adapter in Sockel 1 einsetzen.\n"));
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kOkCancel);
  EXPECT_EQ(chip_code()[0], 0x12);
  EXPECT_FALSE(hw_.chip().powered());
  EXPECT_THAT(view_.statuses, IsEmpty());
}

TEST_P(DeviceOperationsTest, EraseConfirmed) {
  InsertChip({{0, 0x12}, {kCodeSize - 1, 0x00}});
  view_.QueueAnswer(MessageKind::kOkCancel, kIdOk);
  EXPECT_EQ(ops_.EraseDevice(), kOperationOk);
  EXPECT_EQ(std::count(chip_code().begin(), chip_code().end(), 0xFF),
            static_cast<std::ptrdiff_t>(kCodeSize));
  EXPECT_THAT(view_.statuses, ElementsAre(kEraseStatus));
  EXPECT_THAT(view_.cancel_button, IsEmpty());
  ExpectUnpowered();
  ExpectCleanProtocol();
}

TEST_P(DeviceOperationsTest, LockBitsThatTakeHold) {
  LoadImage({{0, 0x02}, {1, 0x00}, {2, 0x30}}, 2);
  ASSERT_EQ(ops_.ProgramMemory(kCodeMemory), kOperationOk);
  // By now the buffer may hold the EEPROM image; the check keeps to the code's byte 0.
  image_.bytes[0] = sim::kLockedReadValue;
  view_.positions.clear();

  EXPECT_EQ(ops_.ProgramLockBits({1, 1, 0}), kOperationOk);
  EXPECT_EQ(hw_.chip().state().lock_bits, sim::kLockBit1 | sim::kLockBit2);
  EXPECT_THAT(view_.Texts(), IsEmpty());
  EXPECT_EQ(view_.statuses.back(), kLockBitsStatus);
  EXPECT_THAT(view_.positions, ElementsAre(1, 2, 3, 4, 5, 6, 0));
  ExpectUnpowered();
  ExpectCleanProtocol();
}

TEST_P(DeviceOperationsTest, LockBitsWithoutEffect) {
  sim::TargetFaults faults;
  faults.lock_ignored = true;
  hw_.chip().SetFaults(faults);
  LoadImage({{0, 0x02}}, 0);
  ASSERT_EQ(ops_.ProgramMemory(kCodeMemory), kOperationOk);
  view_.positions.clear();

  EXPECT_EQ(ops_.ProgramLockBits({1, 0, 1}), kLockBitsNoEffect);
  if (mode3()) {
    EXPECT_THAT(view_.Texts(), ElementsAre(kLockBitsNoEffectMessage));
  } else {
    EXPECT_THAT(view_.Texts(),
                ElementsAre("Lockbits sind nicht programmiert worden\nGelesener Wert: 0x00",
                            kLockBitsNoEffectMessage));
  }
  EXPECT_THAT(view_.positions, ElementsAre(1, 2, 3, 4, 5, 6, 0));
  ExpectUnpowered();
}

TEST_P(DeviceOperationsTest, Lock1AloneIsNotReadBack) {
  EXPECT_EQ(ops_.ProgramLockBits({1, 0, 0}), kOperationOk);
  EXPECT_EQ(hw_.chip().state().lock_bits, sim::kLockBit1);
  EXPECT_THAT(view_.positions, ElementsAre(1, 2, 3, 0));
  EXPECT_THAT(view_.Texts(), IsEmpty());
}

// The data EEPROM exists in mode 3 only.
class EepromTest : public DeviceOperationsTest {};
INSTANTIATE_TEST_SUITE_P(Mode3, EepromTest, ::testing::Values(kSpiMode3), ModeName);

TEST_P(EepromTest, ProgramAndVerifyWithoutTouchingTheCode) {
  InsertChip({{0, 0x12}});
  LoadImage({{0, 0xA0}, {0x1FF, 0xA1}}, 0x1FF);
  EXPECT_EQ(ops_.ProgramMemory(kEepromMemory), kOperationOk);
  EXPECT_EQ(hw_.chip().state().eeprom[0], 0xA0);
  EXPECT_EQ(hw_.chip().state().eeprom[0x1FF], 0xA1);
  EXPECT_EQ(chip_code()[0], 0x12);
  EXPECT_EQ(ops_.VerifyMemory(kEepromMemory), kOperationOk);
  EXPECT_THAT(view_.statuses,
              ElementsAre("EEPROM Bytes: 2 (0x2) bis Adresse: 511 (0x1FF) ",
                          "EEpromspeicher prüfen Bytes: 2 (0x2) bis Adresse: 511 (0x1FF)"));

  hw_.chip().InsertChip([&] {
    auto state = hw_.chip().state();
    state.eeprom[0x10] = 0x00;
    return state;
  }());
  EXPECT_EQ(ops_.VerifyMemory(kEepromMemory), kVerifyFailed);
  EXPECT_EQ(view_.Texts().back(),
            "EEPROM Fehler an Adresse 16 (0x10) !\nRichtig: 0xFF\nGelesen: 0x00\n");
  ExpectCleanProtocol();
}

TEST(DeviceOperationsMode4Eeprom, EepromIsRefusedOnceAndTheOperationFails) {
  // A library entry that gives a mode-4 device an EEPROM: one refusal per
  // operation, never one message box per byte, and never a success.
  sim::SimulatedHardware hw({kSpiMode4, 64, 0}, "");
  View view;
  int beap = 0;
  Services services(view, beap);
  PortLink link(hw.port(), services);
  DeviceDescriptor device;
  device.device_name = "X";
  device.supply_code = 100;
  device.code_size = 64;
  device.eeprom_size = 16;
  device.spi_mode = kSpiMode4;
  device.write_wait = 12;
  device.erase_wait = 600;
  ImageBuffer image;
  image.bytes[3] = 0x12;
  image.highest_loaded_address = 15;
  DeviceOperations ops(link, services, device, image);

  EXPECT_EQ(ops.BlankCheck(), kBlankCheckStopped);
  EXPECT_THAT(view.Texts(), ElementsAre(kSpi4NoDataReadMessage));
  view.Clear();
  EXPECT_EQ(ops.ProgramMemory(kEepromMemory), kProgramStopped);
  EXPECT_EQ(ops.VerifyMemory(kEepromMemory), kVerifyFailed);
  EXPECT_EQ(ops.ReadMemory(kEepromMemory), kEepromUnreachable);
  EXPECT_THAT(view.Texts(),
              ElementsAre(kSpi4NoDataWriteMessage, kSpi4NoDataReadMessage, kSpi4NoDataReadMessage));
  // The code memory of the same device still works.
  EXPECT_EQ(ops.ProgramMemory(kCodeMemory), kOperationOk);
  EXPECT_EQ(ops.VerifyMemory(kCodeMemory), kOperationOk);
}

}  // namespace
}  // namespace zivivar
