// Every command of the window, in both instruction formats, against the
// simulator: the register writes the adapter latched, as a count and a
// digest. Any change to what a command sends shows here, whatever else the
// command still gets right.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "dialog_fixture.h"

namespace zivivar {
namespace {

struct Digest {
  uint64_t count = 0;
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over (register, value)

  void Add(int reg, uint8_t value) {
    ++count;
    for (const uint8_t byte : {static_cast<uint8_t>(reg), value}) {
      hash ^= byte;
      hash *= 1099511628211ull;
    }
  }
  bool operator==(const Digest&) const = default;
};

void PrintTo(const Digest& d, std::ostream* os) {
  *os << "{" << d.count << ", 0x" << std::hex << d.hash << std::dec << "}";
}

enum class Job { kStartUp, kBlank, kErase, kProgram, kProgramLocked, kVerify, kReadOut };

struct Case {
  const char* name;
  int device;
  Job job;
  Digest expected;
};

class RegisterDigestTest : public DialogTest, public ::testing::WithParamInterface<Case> {
 protected:
  // Data with blank cells between, so that skipped bytes count too.
  static Bytes Image(size_t size, uint8_t seed) {
    Bytes bytes = Pattern(size, seed);
    for (size_t i = 40; i < 60 && i < size; ++i)
      bytes[i] = 0xFF;
    return bytes;
  }

  Digest Run(const Case& c) {
    // Mode 3 polls a written byte until it reads back, so its writes depend
    // on the chip: the byte write of 100 register writes the digests were
    // recorded with.
    hardware["SimByteTime"] = "8500";
    isp["DeviceIndex"] = std::to_string(c.device);
    isp["Verify"] = c.job == Job::kProgramLocked ? "0" : "1";
    if (c.job == Job::kProgramLocked) {
      isp["Lock1"] = "1";
      isp["Lock2"] = "1";
    }
    const bool eeprom = c.device == kEepromDevice;
    const Bytes code = WriteFile("fw.bin", Image(200, 0x31));
    const Bytes data = WriteFile("fw.eep", Image(64, 0x52));
    isp["LastFile"] = "fw.bin";
    isp["DataPath"] = dir.path();
    Start();
    Digest digest;
    if (c.job == Job::kStartUp) {
      // The adapter search runs before the simulator can be watched: its count.
      digest.count = hw().adapter().register_writes();
      digest.hash = 0;
      return digest;
    }
    const uint8_t mode = eeprom ? 3 : 4;
    if (c.job == Job::kErase || c.job == Job::kVerify || c.job == Job::kReadOut) {
      Bytes full = code;
      full.resize(256, 0xFF);
      InsertChip(mode, full, eeprom ? data : Bytes{});
    }
    hw().adapter().OnLatch([&](int reg, uint8_t value) { digest.Add(reg, value); });
    CommandResult result = CommandResult::kCancelled;
    switch (c.job) {
      case Job::kBlank:
        result = dialog->BlankCheckCommand();
        break;
      case Job::kErase:
        services_view.QueueAnswer(MessageKind::kOkCancel, kIdOk);
        result = dialog->EraseCommand();
        break;
      case Job::kProgram:
      case Job::kProgramLocked:
        result = dialog->ProgramCommand();
        break;
      case Job::kVerify:
        result = dialog->VerifyCommand();
        break;
      case Job::kReadOut:
        view.QueueSaveDialog({true, dir.File("out.hex"), "out.hex", 2});
        result = dialog->ReadOutCommand();
        break;
      case Job::kStartUp:
        break;
    }
    hw().adapter().OnLatch(nullptr);
    EXPECT_EQ(result, CommandResult::kOk) << ::testing::PrintToString(Messages());
    EXPECT_EQ(hw().adapter().errors(), 0) << hw().adapter().last_error();
    return digest;
  }
};

TEST_P(RegisterDigestTest, CommandSendsTheSameRegisterWrites) {
  const Case& c = GetParam();
  EXPECT_EQ(Run(c), c.expected);
}

// Recorded from the window's commands as they were before the command layer
// took them over; a deliberate change of a command's sequence updates them.
INSTANTIATE_TEST_SUITE_P(
    Commands, RegisterDigestTest,
    ::testing::Values(
        Case{"StartUp", kPlainDevice, Job::kStartUp, {17, 0}},
        Case{"Mode4Blank", kPlainDevice, Job::kBlank, {52923, 0x20531bb73d51a548}},
        Case{"Mode4Erase", kPlainDevice, Job::kErase, {74762, 0xf609594cf8754265}},
        Case{"Mode4Program", kPlainDevice, Job::kProgram, {140892, 0xa924e42259faee25}},
        Case{"Mode4ProgramLocked", kPlainDevice, Job::kProgramLocked, {124081, 0x16b8ab4e09de910e}},
        Case{"Mode4Verify", kPlainDevice, Job::kVerify, {43515, 0x58390a74d890b288}},
        Case{"Mode4ReadOut", kPlainDevice, Job::kReadOut, {52923, 0x20531bb73d51a548}},
        Case{"Mode3Blank", kEepromDevice, Job::kBlank, {70787, 0x9800e32abd1832b7}},
        Case{"Mode3Erase", kEepromDevice, Job::kErase, {93971, 0x26f216770af8deaa}},
        Case{"Mode3Program", kEepromDevice, Job::kProgram, {194143, 0xa9d7606301c2571a}},
        Case{
            "Mode3ProgramLocked", kEepromDevice, Job::kProgramLocked, {166469, 0x4bf7e92b0dfa973c}},
        Case{"Mode3Verify", kEepromDevice, Job::kVerify, {56392, 0x81726df989a385ed}},
        Case{"Mode3ReadOut", kEepromDevice, Job::kReadOut, {63560, 0xfccf489e4238188d}}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace zivivar
