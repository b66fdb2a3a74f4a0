// The device operations end to end against the simulated adapter with a
// simulated chip in its socket, in both instruction formats.
#include "programmer/device_operations.h"

#include <algorithm>
#include <map>
#include <span>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/simulated_hardware.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Texts = std::vector<std::string>;

constexpr uint32_t kCodeSize = 2048;
constexpr sim::ChipKind kMode3Chip{kSpiMode3, kCodeSize, 512};
constexpr sim::ChipKind kMode4Chip{kSpiMode4, kCodeSize, 0};

class DeviceOperationsTest : public ::testing::TestWithParam<sim::ChipKind> {
 protected:
  bool mode3() const { return GetParam().spi_mode == kSpiMode3; }
  sim::ChipKind Kind() const { return GetParam(); }

  // Takes the chip out, changes it and puts it back.
  template <class Change>
  void ChangeChip(Change change) {
    sim::ChipState state = hw_.chip().state();
    change(state);
    hw_.chip().InsertChip(state);
  }
  // An image as a load leaves it: these bytes, the rest blank.
  void LoadImage(const std::map<uint32_t, uint8_t>& bytes, uint32_t highest) {
    image_.Clear();
    for (const auto& [address, value] : bytes)
      image_.bytes[address] = value;
    image_.loaded_byte_count = static_cast<uint32_t>(bytes.size());
    image_.highest_loaded_address = highest;
  }
  const std::vector<uint8_t>& chip_code() { return hw_.chip().state().code; }
  // The state every operation must end in.
  void ExpectIdle() {
    EXPECT_FALSE(hw_.adapter().lines().powered);
    EXPECT_EQ(hw_.adapter().reg(10), 0);
    EXPECT_EQ(hw_.adapter().errors(), 0) << hw_.adapter().last_error();
    // Only reads may go unobeyed: mode 3's polling of a busy chip, and the
    // check that lock bits hide the code.
    for (const std::string& line : sim::IgnoredReport(hw_.chip().ignored())) {
      const bool read = line.find(" read") != std::string::npos;
      EXPECT_TRUE(read && (line.find(" ignored: chip still writing a byte") != std::string::npos ||
                           line.find(" ignored: code memory locked") != std::string::npos))
          << line;
    }
  }

  // Writes and erases that take nearly all the wait the descriptor gives
  // them, so that a missing wait shows.
  sim::SimulatedHardware hw_{Kind(),
                             "",
                             0x378,
                             {.byte_write_ns = 130 * 85'000,
                              .erase_ns = 11000ull * 85'000,
                              .lock_write_ns = 130 * 85'000}};
  testing::ScriptedServicesView view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  PortLink link_{hw_.port(), services_};
  // An AT89S8252 or AT89S51 (5 V, 4 ms or 1 ms a byte, 500 ms erase, at
  // 85 us a register write) with smaller memories.
  DeviceDescriptor device_{.device_name = mode3() ? "AT89S8252" : "AT89S51",
                           .supply_code = 100,
                           .write_wait = mode3() ? 47u : 11u,
                           .erase_wait = 5882,
                           .code_size = Kind().code_size,
                           .eeprom_size = Kind().eeprom_size,
                           .spi_mode = Kind().spi_mode};
  ImageBuffer image_;
  DeviceOperations ops_{link_, services_, device_, image_};
};
INSTANTIATE_TEST_SUITE_P(BothModes, DeviceOperationsTest,
                         ::testing::Values(kMode3Chip, kMode4Chip));

TEST_P(DeviceOperationsTest, BlankCheckAndErase) {
  EXPECT_EQ(ops_.BlankCheck(), OperationResult::kOk);
  EXPECT_THAT(view_.Texts(), ElementsAre(kDeviceBlankMessage));
  EXPECT_EQ(view_.statuses.back(), mode3() ? kBlankCheckDataStatus : kBlankCheckCodeStatus);

  ChangeChip([](sim::ChipState& s) {
    s.code[5] = 0x12;
    s.code[6] = 0x13;
    if (!s.eeprom.empty())
      s.eeprom[0x10] = 0x34;
  });
  const std::string at5 = "CodeSpeicher an Adresse 0x0005 ist nicht leer !\nInhalt 0x12\n";
  Texts expected = {at5, "CodeSpeicher an Adresse 0x0006 ist nicht leer !\nInhalt 0x13\n"};
  if (mode3())  // on into the EEPROM
    expected.push_back("DatenSpeicher an Adresse 0x0010 ist nicht leer !\nInhalt 0x34\n");
  for (size_t i = 0; i < expected.size(); ++i)
    view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  view_.Clear();
  EXPECT_EQ(ops_.BlankCheck(), OperationResult::kNotBlank);
  EXPECT_EQ(view_.Texts(), expected);

  view_.Clear();
  EXPECT_EQ(ops_.BlankCheck(), OperationResult::kBlankCheckStopped);  // answered Cancel
  EXPECT_THAT(view_.Texts(), ElementsAre(at5));

  view_.Clear();
  EXPECT_EQ(ops_.EraseDevice(), OperationResult::kEraseDeclined);
  EXPECT_EQ(view_.messages.at(0).kind, MessageKind::kOkCancel);
  EXPECT_EQ(chip_code()[5], 0x12);
  EXPECT_FALSE(hw_.chip().powered());
  view_.QueueAnswer(MessageKind::kOkCancel, kIdOk);
  EXPECT_EQ(ops_.EraseDevice(), OperationResult::kOk);
  EXPECT_EQ(hw_.chip().state(), sim::ErasedChip(Kind()));
  EXPECT_THAT(view_.statuses, ElementsAre(kEraseStatus));
  ExpectIdle();
}

// Program, verify and read-out themselves run in fast_profile_test, on chips
// of both formats up to 12 KiB.
TEST_P(DeviceOperationsTest, VerifyComparesTheBytesTheFileLeftBlank) {
  LoadImage({{0, 0x30}, {0x400, 0x00}}, 0x400);
  ChangeChip([](sim::ChipState& s) { s.code[0] = 0x30, s.code[0x400] = s.code[0x123] = 0x00; });
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), OperationResult::kVerifyFailed);
  EXPECT_THAT(view_.Texts(), ElementsAre("Programmspeicher Fehler\nan Adresse 291 (0x123) "
                                         "!\nRichtig: 0xFF\nGelesen: 0x00\n"));
  EXPECT_EQ(view_.statuses.back(),
            "Programmspeicher prüfen Bytes: 2 (0x2) bis Adresse: 1024 (0x400)");
  ExpectIdle();
}

TEST_P(DeviceOperationsTest, BadByteAnsweredRetryThenCancel) {
  // A cell whose bit 0 stays set: programming 0x00 there reads back 0x01.
  hw_.chip().SetFaults({.stuck = {{false, 0x100, 0x01, 0x01, sim::StuckScope::kCell}}});
  LoadImage({{0xFF, 0x00}, {0x100, 0x00}, {0x101, 0x00}}, 0x101);
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  view_.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), OperationResult::kOk);
  EXPECT_EQ(chip_code()[0x101], 0x00);
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), OperationResult::kVerifyFailed);  // whatever the answer
  EXPECT_THAT(view_.Texts(),
              ElementsAre("Programmspeicher\n\nProgrammierfehler an Adresse 256 (0x100)\nRichtig: "
                          "0x00   Gelesen: 0x01\n",
                          "Programmspeicher Fehler\nan Adresse 256 (0x100) !\nRichtig: "
                          "0x00\nGelesen: 0x01\n"));

  view_.Clear();
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), OperationResult::kProgramStopped);
  EXPECT_EQ(view_.Texts().size(), 1u);  // Cancel has no message of its own
  EXPECT_EQ(chip_code()[0xFF], 0x00);
  EXPECT_EQ(chip_code()[0x101], 0xFF);
  ExpectIdle();
}

TEST_P(DeviceOperationsTest, CancelFlagStopsProgrammingAfterTheStepsByte) {
  image_.bytes.fill(0x42);
  image_.highest_loaded_address = kCodeSize - 1;
  // 2047 items make steps of 40: the third pump comes after address 119.
  view_.OnPump(3, [&] { services_.RequestCancel(); });
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), OperationResult::kProgramStopped);
  EXPECT_THAT(view_.Texts(), ElementsAre(kProgramCancelledMessage));
  EXPECT_EQ(chip_code()[119], 0x42);
  EXPECT_EQ(chip_code()[120], 0xFF);
  ExpectIdle();
}

TEST_P(DeviceOperationsTest, AdapterLostWhileProgramming) {
  link_.Configure(0x378, 5000, 85);
  image_.bytes.fill(0x55);
  image_.highest_loaded_address = kCodeSize - 1;
  view_.OnPump(2, [&] { hw_.adapter().LoseAfter(1000); });
  // Back by the time the message is answered: the chip must not stay powered.
  view_.OnMessage([&](const testing::RecordedMessage&) { hw_.adapter().ReconnectAdapter(); });
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), OperationResult::kProgramStopped);
  EXPECT_THAT(view_.Texts(), ElementsAre(kTimeoutMessage));
  EXPECT_EQ(view_.pumps, 2);  // stopped after the byte that met the time-out
  EXPECT_EQ(chip_code()[kCodeSize - 1], 0xFF);
  ExpectIdle();

  // Until a new command clears the loss, everything fails without a word.
  EXPECT_EQ(ops_.BlankCheck(), OperationResult::kBlankCheckStopped);
  EXPECT_EQ(ops_.EraseDevice(), OperationResult::kAdapterLost);  // asks nothing
  EXPECT_EQ(ops_.VerifyMemory(kCodeMemory), OperationResult::kVerifyFailed);
  EXPECT_EQ(ops_.ReadMemory(kCodeMemory), OperationResult::kAdapterLost);  // nothing fit to save
  EXPECT_EQ(ops_.ProgramLockBits({1, 1, 0}), OperationResult::kAdapterLost);
  EXPECT_THAT(view_.Texts(), ElementsAre(kTimeoutMessage));
}

TEST_P(DeviceOperationsTest, EmptySocket) {
  hw_.chip().SetFaults({.no_chip = true, .stuck = {}});
  LoadImage({{0, 0x12}}, 0);
  // Mode 3 cannot tell an empty socket from an erased chip; mode 4 stops
  // every operation at the sync message.
  EXPECT_EQ(ops_.BlankCheck(), mode3() ? OperationResult::kOk : OperationResult::kSyncFailed);
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory),
            mode3() ? OperationResult::kProgramStopped : OperationResult::kSyncFailed);
  const std::string fault =
      "Programmspeicher\n\nProgrammierfehler an Adresse 0 (0x0)\nRichtig: 0x12   Gelesen: 0xFF\n";
  EXPECT_EQ(view_.Texts(), (mode3() ? Texts{kDeviceBlankMessage, fault}
                                    : Texts{kSyncFailedMessage, kSyncFailedMessage}));
  ExpectIdle();
}

TEST_P(DeviceOperationsTest, LockBitsWithoutAndWithVisibleEffect) {
  LoadImage({{0, 0x02}}, 0);
  ASSERT_EQ(ops_.ProgramMemory(kCodeMemory), OperationResult::kOk);
  hw_.chip().SetFaults({.lock_ignored = true, .stuck = {}});
  EXPECT_EQ(ops_.ProgramLockBits({1, 0, 1}), OperationResult::kLockBitsNoEffect);
  Texts expected = {kLockBitsNoEffectMessage};
  if (!mode3())  // mode 4 reads the lock bits back first
    expected.insert(expected.begin(),
                    "Lockbits sind nicht programmiert worden\nGelesener Wert: 0x00");
  EXPECT_EQ(view_.Texts(), expected);

  hw_.chip().SetFaults({});
  view_.Clear();
  // By now the buffer may hold the EEPROM image; the check keeps to the code's byte 0.
  image_.bytes[0] = sim::kLockedReadValue;
  EXPECT_EQ(ops_.ProgramLockBits({1, 1, 0}), OperationResult::kOk);
  EXPECT_EQ(hw_.chip().state().lock_bits, sim::kLockBit1 | sim::kLockBit2);
  EXPECT_THAT(view_.Texts(), IsEmpty());
  ExpectIdle();
}

class Mode4EepromTest : public DeviceOperationsTest {};
INSTANTIATE_TEST_SUITE_P(Mode4, Mode4EepromTest, ::testing::Values(kMode4Chip));

TEST_P(Mode4EepromTest, RefusedOncePerOperation) {
  device_.eeprom_size = 16;  // a library entry that should not give it one
  LoadImage({{3, 0x12}}, 15);
  EXPECT_EQ(ops_.BlankCheck(), OperationResult::kBlankCheckStopped);  // after the code memory
  EXPECT_EQ(ops_.ProgramMemory(kEepromMemory), OperationResult::kProgramStopped);
  EXPECT_EQ(ops_.VerifyMemory(kEepromMemory), OperationResult::kVerifyFailed);
  EXPECT_EQ(ops_.ReadMemory(kEepromMemory), OperationResult::kEepromUnreachable);
  EXPECT_THAT(view_.Texts(), ElementsAre(kSpi4NoDataReadMessage, kSpi4NoDataWriteMessage,
                                         kSpi4NoDataReadMessage, kSpi4NoDataReadMessage));
  EXPECT_EQ(ops_.ProgramMemory(kCodeMemory), OperationResult::kOk);  // the code memory still works
}

}  // namespace
}  // namespace zivivar
