// The fast profile against the exact one on the simulator: the same chip
// contents and read-outs for every kind of image, page reads only where the
// chip has them (a chip without would answer none), and what they save there.
#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "programmer/device_operations.h"
#include "sim/chip_models.h"
#include "sim/simulated_hardware.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

struct ChipCase {
  const char* name;  // picks the simulated chip's model, page mode included
  sim::ChipKind kind;
  bool page_read;  // the library entry's PAGE
};

// Blank bytes everywhere but in [from, to).
struct Span {
  uint32_t from, to;
};
struct ImageCase {
  const char* name;
  std::vector<Span> spans;
};

// What one profile did, from a chip full of 0x00.
struct Outcome {
  sim::ChipState chip;
  std::vector<uint8_t> read_out;
  uint64_t program_writes = 0, verify_writes = 0, read_writes = 0;
};

Outcome RunProfile(const ChipCase& c, const ImageBuffer& image, Profile profile) {
  const sim::ChipTiming timing = sim::TimingFor(sim::ChipModelFor(c.name, c.kind), sim::SimClock{});
  sim::SimulatedHardware hw(c.kind, "", 0x378, timing);
  sim::ChipState zeros = sim::ErasedChip(c.kind);
  std::ranges::fill(zeros.code, 0x00);
  hw.chip().InsertChip(zeros);
  testing::ScriptedServicesView view;
  int beep = 0;
  Services services(view, beep);
  PortLink link(hw.port(), services);
  const DeviceDescriptor device{.device_name = c.name,
                                .supply_code = 100,
                                .write_wait = link.UsToCycles(c.page_read ? 1000 : 4000),
                                .erase_wait = link.UsToCycles(500000),
                                .code_size = c.kind.code_size,
                                .spi_mode = c.kind.spi_mode,
                                .page_read = c.page_read};
  ImageBuffer work = image;
  DeviceOperations ops(link, services, device, work);
  ops.SetProfile(profile);
  Outcome out;
  const auto writes = [&] { return hw.adapter().register_writes(); };
  uint64_t before = writes();
  EXPECT_EQ(ops.ProgramMemory(kCodeMemory), OperationResult::kOk);
  out.program_writes = writes() - before;
  before = writes();
  EXPECT_EQ(ops.VerifyMemory(kCodeMemory), OperationResult::kOk);
  out.verify_writes = writes() - before;
  out.chip = hw.chip().state();

  work.Clear();
  before = writes();
  ops.protocol().EnterProgrammingMode();
  EXPECT_EQ(ops.ReadMemory(kCodeMemory), OperationResult::kOk);
  ops.protocol().LeaveProgrammingMode();
  out.read_writes = writes() - before;
  out.read_out.assign(work.bytes.begin(), work.bytes.begin() + c.kind.code_size);
  EXPECT_TRUE(view.messages.empty()) << view.messages.front().text;
  EXPECT_EQ(hw.adapter().errors(), 0) << hw.adapter().last_error();
  return out;
}

class FastProfileTest : public ::testing::TestWithParam<ChipCase> {};

INSTANTIATE_TEST_SUITE_P(Chips, FastProfileTest,
                         ::testing::Values(ChipCase{"AT89S51", {4, 0x1000, 0}, true},
                                           ChipCase{"AT89S8252", {3, 0x800, 0x200}, false},
                                           // Mode 3 above 8 KiB: address bit 13.
                                           ChipCase{"AT89S53", {3, 0x3000, 0}, false},
                                           // A four-byte chip whose entry does not say PAGE.
                                           ChipCase{"AT89S8253", {4, 0x800, 0}, false}),
                         [](const ::testing::TestParamInfo<ChipCase>& chip) {
                           return std::string(chip.param.name);
                         });

TEST_P(FastProfileTest, SameChipAsTheExactProfileWithPageReadsOnlyWherePresent) {
  const ChipCase& c = GetParam();
  const uint32_t size = c.kind.code_size;
  // As the benchmark's images, scaled to the chip: a small firmware, code
  // with its tables further up and 0xFF between, every byte without 0xFF.
  const ImageCase images[] = {{"firmware", {{0, 149}}},
                              {"sparse", {{0, size / 4}, {size * 3 / 4, size * 3 / 4 + 0x80}}},
                              {"full", {{0, size}}}};
  std::mt19937 random(14);
  uint64_t fast_read_writes = 0;  // the whole memory, whatever the image
  for (const ImageCase& image_case : images) {
    SCOPED_TRACE(image_case.name);
    ImageBuffer image;
    image.Clear();
    for (const Span& span : image_case.spans) {
      for (uint32_t a = span.from; a < span.to; ++a)
        image.bytes[a] = static_cast<uint8_t>(random() % 0xFF);
      image.loaded_byte_count += span.to - span.from;
      image.highest_loaded_address = span.to - 1;
    }
    const Outcome exact = RunProfile(c, image, Profile::kExact);
    const Outcome fast = RunProfile(c, image, Profile::kFast);
    // The erase came first: the gaps read 0xFF on a chip that held 0x00.
    EXPECT_TRUE(std::ranges::equal(fast.chip.code, std::span(image.bytes).first(size)));
    EXPECT_EQ(fast.chip, exact.chip);
    EXPECT_EQ(fast.read_out, exact.read_out);
    EXPECT_EQ(fast.program_writes, exact.program_writes);
    if (fast_read_writes == 0)
      fast_read_writes = fast.read_writes;
    EXPECT_EQ(fast.read_writes, fast_read_writes) << "nothing of the verify may be reused";
    if (!c.page_read) {
      EXPECT_EQ(fast.verify_writes, exact.verify_writes);
      EXPECT_EQ(fast.read_writes, exact.read_writes);
    } else {
      EXPECT_LT(fast.read_writes * 3, exact.read_writes);
      if (image.highest_loaded_address + 1 == size) {
        EXPECT_LT(fast.verify_writes * 3, exact.verify_writes);
      }
    }
  }
}

}  // namespace
}  // namespace zivivar
