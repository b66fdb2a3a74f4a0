#include "sim/chip_models.h"

#include <cctype>

namespace zivivar::sim {

namespace {

// From the data sheets:
// - AT89S51, AT89S52: chip erase 500 ms; byte write 64 clock periods + 400 us;
//   SCK high and low at least 8 clock periods each (below the crystal / 16);
//   supply 4.0 to 5.5 V.
// - AT89S53, AT89LS53, AT89S8252, AT89LS8252: self-timed byte write typically
//   below 2.5 ms at 5 V; SCK below the crystal / 40, so each level at least
//   20 clock periods; supply 4.0 to 6.0 V (the LS parts from 2.7 V).
// - Of the four-byte chips, the AT89S51/52 read a whole page with 30 H; the
//   AT89S8253 is not given page mode here, as the library does not list it.
// - AT89S51 signature 1E 51 06, AT89S52 1E 52 06 (28 H 00 with H = 0, 1, 2);
//   unreadable in lock modes 3 and 4 (lock bit 2 programmed). The AT89S8253
//   gets none here, as the library gives it none.
// Assumed (no figure at hand; each can be replaced by a setting):
// - the chip erase of the three-byte chips: 500 ms, as for the AT89S51/52;
// - every lock-bit write: as long as a byte write;
// - the AT89S8253: 4 ms a byte, 500 ms an erase, SCK as for the /40 parts,
//   supply 2.7 to 5.5 V.
constexpr ChipModel kModels[] = {
    // name, byte us, byte clocks, erase us, lock us, SCK clocks, min mV, max mV, page,
    // assumed: byte, erase, lock, SCK, supply
    {"AT89S51", 400, 64, 500'000, 400, 8, 4000, 5500, true, false, false, true, false, false,
     ChipSignature{0x1E, 0x51, 0x06}},
    {"AT89S52", 400, 64, 500'000, 400, 8, 4000, 5500, true, false, false, true, false, false,
     ChipSignature{0x1E, 0x52, 0x06}},
    {"AT89S53", 2500, 0, 500'000, 2500, 20, 4000, 6000, false, false, true, true, false, false},
    {"AT89LS53", 2500, 0, 500'000, 2500, 20, 2700, 6000, false, false, true, true, false, false},
    {"AT89S8252", 2500, 0, 500'000, 2500, 20, 4000, 6000, false, false, true, true, false, false},
    {"AT89LS8252", 2500, 0, 500'000, 2500, 20, 2700, 6000, false, false, true, true, false, false},
    {"AT89S8253", 4000, 0, 500'000, 4000, 20, 2700, 5500, false, true, true, true, true, true},
};

const ChipModel& Named(std::string_view name) {
  for (const ChipModel& model : kModels) {
    if (name == model.name)
      return model;
  }
  return kModels[0];
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

uint8_t SupplyCode(uint32_t mv) {
  return static_cast<uint8_t>(mv / 50);
}

}  // namespace

std::span<const ChipModel> ChipModels() {
  return kModels;
}

const ChipModel& ChipModelFor(std::string_view device_name, const ChipKind& kind) {
  const ChipModel* best = nullptr;
  for (const ChipModel& model : kModels) {
    const std::string_view name = model.name;
    if (StartsWithNoCase(device_name, name) &&
        (best == nullptr || name.size() > std::string_view(best->name).size()))
      best = &model;
  }
  if (best != nullptr)
    return *best;
  if (kind.spi_mode == 3)
    return Named(kind.eeprom_size > 0 ? "AT89S8252" : "AT89S53");
  if (kind.code_size <= 0x1000)
    return Named("AT89S51");
  return Named(kind.code_size <= 0x2000 ? "AT89S52" : "AT89S8253");
}

ChipTiming TimingFor(const ChipModel& model, const SimClock& clock) {
  const uint64_t crystal = clock.crystal_hz == 0 ? 1 : clock.crystal_hz;
  // Crystal periods in nanoseconds, rounded up: the chip is never faster
  // than its data sheet.
  auto clocks_ns = [crystal](uint64_t clocks) {
    return (clocks * 1'000'000'000 + crystal - 1) / crystal;
  };
  ChipTiming timing;
  timing.write_ns = static_cast<uint64_t>(clock.write_us == 0 ? 1 : clock.write_us) * 1000;
  timing.crystal_hz = static_cast<uint32_t>(crystal);
  timing.byte_write_ns = clock.byte_write_us != 0 ? uint64_t{clock.byte_write_us} * 1000
                                                  : uint64_t{model.byte_write_us} * 1000 +
                                                        clocks_ns(model.byte_write_clocks);
  timing.erase_ns = uint64_t{clock.erase_us != 0 ? clock.erase_us : model.erase_us} * 1000;
  timing.lock_write_ns = clock.lock_write_us != 0 ? uint64_t{clock.lock_write_us} * 1000
                                                  : uint64_t{model.lock_write_us} * 1000 +
                                                        clocks_ns(model.byte_write_clocks);
  timing.sck_min_ns = clocks_ns(model.sck_min_clocks);
  timing.min_supply_code = SupplyCode(model.min_supply_mv);
  timing.max_supply_code = SupplyCode(model.max_supply_mv);
  timing.page_read = model.page_read;
  timing.signature = model.signature;
  return timing;
}

}  // namespace zivivar::sim
