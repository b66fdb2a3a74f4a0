#include "sim/at89s_target.h"

#include <utility>

namespace zivivar::sim {

namespace {

// The low address bits a memory of size bytes decodes.
uint32_t DecodeMask(uint32_t size) {
  uint32_t span = 1;
  while (span < size)
    span <<= 1;
  return span - 1;
}

}  // namespace

At89sTarget::At89sTarget(const ChipKind& kind, const ChipTiming& timing)
    : state_(ErasedChip(kind)), timing_(timing) {}

void At89sTarget::InsertChip(ChipState state) {
  state_ = std::move(state);
  PowerDown();
  ApplyCellFaults();
}

void At89sTarget::SetFaults(const TargetFaults& faults) {
  faults_ = faults;
  if (faults_.no_chip)
    PowerDown();
  ApplyCellFaults();
}

bool At89sTarget::listening() const {
  return powered_ && rst_ && rst_age_ >= timing_.Ticks(timing_.reset_ns);
}

void At89sTarget::OnRegisterWrite(const TargetLines& lines) {
  ++ticks_;
  if (faults_.no_chip)
    return;
  const bool in_range =
      lines.supply_code >= timing_.min_supply_code && lines.supply_code <= timing_.max_supply_code;
  // A supply switched on at a voltage the chip does not take is noted once;
  // a supply word of 0 while the switch is on is no supply at all.
  if (lines.powered && !switch_on_ && !in_range && lines.supply_code != 0) {
    Ignored(Asked::kPowerUp, Why::kSupply, uint64_t{lines.supply_code} * 50,
            uint64_t{timing_.min_supply_code} * 50, uint64_t{timing_.max_supply_code} * 50);
  }
  switch_on_ = lines.powered;
  if (!lines.powered || !in_range) {
    if (powered_)
      PowerDown();
    return;
  }
  if (!powered_) {
    // Coming up: a RST already high counts as asserted now.
    powered_ = true;
    rst_ = false;
  }
  AdvanceBusy();

  if (!lines.rst) {
    if (rst_) {
      rst_ = false;
      enabled_ = false;
      RestartSerial();
    }
    if (lines.sck != sck_)
      sck_since_ = ticks_;
    sck_ = lines.sck;
    return;
  }
  if (!rst_) {
    rst_ = true;
    rst_age_ = 0;
    rst_lost_noted_ = false;
    RestartSerial();
  } else if (rst_age_ < timing_.Ticks(timing_.reset_ns)) {
    ++rst_age_;
  }
  const bool was_sck = sck_;
  sck_ = lines.sck;
  if (sck_ == was_sck)
    return;
  const uint64_t level_ns = (ticks_ - sck_since_) * timing_.write_ns;
  sck_since_ = ticks_;
  if (!listening()) {
    if (sck_ && !rst_lost_noted_) {
      rst_lost_noted_ = true;
      Ignored(Asked::kClock, Why::kResetTooShort, rst_age_ * timing_.write_ns / 1000,
              timing_.reset_ns / 1000);
    }
    return;
  }
  if (level_ns < timing_.sck_min_ns) {
    Ignored(Asked::kClock, Why::kSckTooFast, level_ns, timing_.sck_min_ns, timing_.crystal_hz);
    LoseStep();
    return;
  }
  if (sck_)
    RisingEdge(lines.mosi);
  else
    FallingEdge();
}

void At89sTarget::OutOfStep() {
  Ignored(Asked::kClock, Why::kOutOfStep);
  LoseStep();
}

void At89sTarget::LoseStep() {
  enabled_ = false;
  rst_age_ = 0;
  // The clocks lost while the reset time runs again have their reason already.
  rst_lost_noted_ = true;
  RestartSerial();
}

bool At89sTarget::Miso() const {
  if (faults_.no_chip || !powered_ || !rst_)
    return true;
  return out_bits_ > 0 && (out_ & 0x80) != 0;
}

void At89sTarget::PowerDown() {
  powered_ = false;
  rst_ = false;
  rst_age_ = 0;
  enabled_ = false;
  // A write or erase cut off by the supply never reaches the cells.
  busy_ = Busy::kNone;
  RestartSerial();
}

void At89sTarget::RestartSerial() {
  bit_count_ = 0;
  shift_in_ = 0;
  out_bits_ = 0;
  answer_pending_ = false;
  page_left_ = 0;
}

void At89sTarget::AdvanceBusy() {
  if (busy_ == Busy::kNone || faults_.never_finish)
    return;
  if ((ticks_ - busy_start_) * timing_.write_ns >= busy_ns_)
    Complete();
}

void At89sTarget::Begin(Busy what, uint64_t ns) {
  busy_ = what;
  busy_start_ = ticks_;
  busy_ns_ = ns;
  Obeyed();
  if (ns == 0 && !faults_.never_finish)
    Complete();
}

void At89sTarget::Complete() {
  const Busy done = busy_;
  busy_ = Busy::kNone;
  switch (done) {
    case Busy::kNone:
      return;
    case Busy::kWriteCode:
    case Busy::kWriteEeprom: {
      const bool eeprom = done == Busy::kWriteEeprom;
      uint8_t value = busy_data_;
      for (const StuckBits& s : faults_.stuck) {
        if (s.scope == StuckScope::kWrite && s.eeprom == eeprom && s.address == busy_index_)
          value = static_cast<uint8_t>((value & ~s.mask) | (s.level & s.mask));
      }
      uint8_t& cell = eeprom ? state_.eeprom[busy_index_] : state_.code[busy_index_];
      // Mode-4 flash programming only clears bits; mode 3 erases the byte first.
      cell = state_.kind.spi_mode == 4 && !eeprom ? static_cast<uint8_t>(cell & value) : value;
      break;
    }
    case Busy::kErase:
      state_.code.assign(state_.code.size(), 0xFF);
      state_.eeprom.assign(state_.eeprom.size(), 0xFF);
      state_.lock_bits = 0;
      break;
    case Busy::kLock:
      if (!faults_.lock_ignored)
        state_.lock_bits = static_cast<uint8_t>((state_.lock_bits | busy_data_) & kLockBitsMask);
      return;
  }
  ApplyCellFaults();
}

void At89sTarget::RisingEdge(bool mosi) {
  if (state_.kind.spi_mode == 3 && out_bits_ > 0) {
    out_ = static_cast<uint8_t>(out_ << 1);
    --out_bits_;
  }
  shift_in_ = static_cast<uint8_t>(shift_in_ << 1 | (mosi ? 1 : 0));
  ++bit_count_;
  if (page_left_ > 0) {
    if (bit_count_ == 8)
      PageByteDone();
    return;
  }
  if (bit_count_ % 8 == 0) {
    bytes_[bit_count_ / 8 - 1] = shift_in_;
    ByteDone();
  }
}

void At89sTarget::FallingEdge() {
  if (state_.kind.spi_mode != 4)
    return;
  if (answer_pending_) {
    out_ = pending_;
    out_bits_ = 8;
    answer_pending_ = false;
  } else if (out_bits_ > 0) {
    out_ = static_cast<uint8_t>(out_ << 1);
    --out_bits_;
  }
}

void At89sTarget::ByteDone() {
  if (state_.kind.spi_mode == 4)
    DecodeMode4();
  else
    DecodeMode3();
}

void At89sTarget::DecodeMode4() {
  const int count = bit_count_ / 8;
  const uint8_t* b = bytes_;
  const bool enable = b[0] == 0xAC && b[1] == 0x53 && b[2] == 0x00;
  const bool read_lock = b[0] == 0x24 && b[1] == 0x00 && b[2] == 0x00;
  const bool read_signature =
      b[0] == 0x28 && timing_.signature && b[1] < timing_.signature->size() && b[2] == 0x00;
  if (count == 2 && b[0] == 0x30) {
    if (!timing_.page_read) {
      Ignored(Asked::kRead, Why::kNoPageMode);
    } else if (!enabled_) {
      Ignored(Asked::kRead, Why::kNotEnabled);
    } else {
      // The page's bytes follow, each framed on its own.
      bit_count_ = 0;
      page_address_ = static_cast<uint32_t>(b[1]) << 8;
      page_left_ = 256;
      Answer(ReadAnswer(false, page_address_));
    }
    return;
  }
  if (count == 3) {
    // Reads are served once the address is in; the fourth byte is the answer.
    if (enable) {
      Answer(kEnableAnswer);
    } else if (b[0] == 0x20 || read_lock || read_signature) {
      if (!enabled_) {
        Ignored(Asked::kRead, Why::kNotEnabled);
      } else if (busy()) {
        IgnoredWhileBusy(Asked::kRead);
        Answer(polling_value_);
      } else if (read_lock) {
        Answer(static_cast<uint8_t>(state_.lock_bits << 2));
        Obeyed();
      } else if (read_signature && (state_.lock_bits & (kLockBit2 | kLockBit3)) != 0) {
        Ignored(Asked::kRead, Why::kLocked, state_.lock_bits);
        Answer(kLockedReadValue);
      } else if (read_signature) {
        Answer((*timing_.signature)[b[1]]);
        Obeyed();
      } else {
        Answer(ReadAnswer(false, static_cast<uint32_t>(b[1] << 8 | b[2])));
      }
    }
    return;
  }
  if (count < 4)
    return;
  bit_count_ = 0;
  if (enable) {
    enabled_ = true;
    Obeyed();
    return;
  }
  if (b[0] == 0x20 || read_lock || read_signature)
    return;  // served after the third byte
  if (b[0] == 0x30)
    return;  // a page read the chip does not have, noted after the second byte
  const bool write = b[0] == 0x40;
  const bool erase = b[0] == 0xAC && b[1] == 0x80 && b[2] == 0x00 && b[3] == 0x00;
  const bool lock = b[0] == 0xAC && (b[1] & 0xFC) == 0xE0 && b[2] == 0x00 && b[3] == 0x00;
  if (!write && !erase && !lock)
    return Ignored(Asked::kInstruction, Why::kGarbled);
  if (!enabled_)
    return Ignored(write   ? Asked::kWrite
                   : erase ? Asked::kErase
                           : Asked::kLockWrite,
                   Why::kNotEnabled);
  if (write) {
    StartWrite(false, static_cast<uint32_t>(b[1] << 8 | b[2]), b[3]);
  } else if (erase) {
    StartErase();
  } else {
    // Level n programs lock bit n; level 0 programs nothing.
    const int level = b[1] & 0x03;
    StartLock(static_cast<uint8_t>(level == 0 ? 0 : 1 << (level - 1)));
  }
}

void At89sTarget::PageByteDone() {
  bit_count_ = 0;
  ++page_address_;
  if (--page_left_ > 0)
    Answer(ReadAnswer(false, page_address_));
}

void At89sTarget::DecodeMode3() {
  const int count = bit_count_ / 8;
  const uint8_t* b = bytes_;
  const bool special = b[0] == 0xAC;
  const int operation = b[0] & 0x03;  // 01 read, 10 write
  // On a chip with a data EEPROM, bit 2 of the first byte selects it; on one
  // without, it is code address bit 13.
  const bool eeprom = !special && state_.kind.eeprom_size > 0 && (b[0] & 0x04) != 0;
  uint32_t address = static_cast<uint32_t>((b[0] >> 3) << 8 | b[1]);
  if (!eeprom && (b[0] & 0x04) != 0)
    address |= 0x2000;

  if (count == 2) {
    if (!special && operation == 1) {
      if (!enabled_) {
        Ignored(Asked::kRead, Why::kNotEnabled);
      } else {
        Answer(ReadAnswer(eeprom, address));
      }
    }
    return;
  }
  if (count < 3)
    return;
  bit_count_ = 0;
  if (!special && operation == 1)
    return;  // served after the second byte
  const bool enable = special && b[1] == 0x53 && b[2] == 0x00;
  const bool erase = special && b[1] == 0x04 && b[2] == 0x00;
  const bool lock = special && (b[1] & 0x1F) == 0x07 && b[2] == 0x00;
  const bool write = !special && operation == 2;
  if (enable) {
    enabled_ = true;
    Obeyed();
    return;
  }
  if (!erase && !lock && !write)
    return Ignored(Asked::kInstruction, Why::kGarbled);
  if (!enabled_)
    return Ignored(write   ? Asked::kWrite
                   : erase ? Asked::kErase
                           : Asked::kLockWrite,
                   Why::kNotEnabled);
  if (write) {
    StartWrite(eeprom, address, b[2]);
  } else if (erase) {
    StartErase();
  } else {
    // A 0 in bit 7, 6 or 5 programs lock bit 1, 2 or 3.
    StartLock(static_cast<uint8_t>((b[1] & 0x80 ? 0 : kLockBit1) | (b[1] & 0x40 ? 0 : kLockBit2) |
                                   (b[1] & 0x20 ? 0 : kLockBit3)));
  }
}

uint8_t At89sTarget::ReadAnswer(bool eeprom, uint32_t address) {
  if (busy()) {
    IgnoredWhileBusy(Asked::kRead);
    return polling_value_;
  }
  const int64_t index = Locate(eeprom, address);
  if (index < 0) {
    Ignored(Asked::kRead, Why::kBeyondMemory, address,
            eeprom ? state_.kind.eeprom_size : state_.kind.code_size);
    return 0xFF;
  }
  if (!eeprom && (state_.lock_bits & (kLockBit2 | kLockBit3)) != 0) {
    Ignored(Asked::kRead, Why::kLocked, state_.lock_bits);
    return kLockedReadValue;
  }
  Obeyed();
  uint8_t value = eeprom ? state_.eeprom[index] : state_.code[index];
  for (const StuckBits& s : faults_.stuck) {
    if (s.scope == StuckScope::kRead && s.eeprom == eeprom && s.address == index)
      value = static_cast<uint8_t>((value & ~s.mask) | (s.level & s.mask));
  }
  return value;
}

void At89sTarget::StartWrite(bool eeprom, uint32_t address, uint8_t data) {
  if (busy())
    return IgnoredWhileBusy(Asked::kWrite);
  if (!eeprom && state_.lock_bits != 0)
    return Ignored(Asked::kWrite, Why::kLocked, state_.lock_bits);
  busy_index_ = Locate(eeprom, address);
  if (busy_index_ < 0) {
    return Ignored(Asked::kWrite, Why::kBeyondMemory, address,
                   eeprom ? state_.kind.eeprom_size : state_.kind.code_size);
  }
  busy_data_ = data;
  polling_value_ = static_cast<uint8_t>(data ^ 0x80);
  Begin(eeprom ? Busy::kWriteEeprom : Busy::kWriteCode, timing_.byte_write_ns);
}

void At89sTarget::StartErase() {
  if (busy())
    return IgnoredWhileBusy(Asked::kErase);
  polling_value_ = 0x7F;
  Begin(Busy::kErase, timing_.erase_ns);
}

void At89sTarget::StartLock(uint8_t program_bits) {
  if (busy())
    return IgnoredWhileBusy(Asked::kLockWrite);
  busy_data_ = program_bits;
  polling_value_ = 0x7F;
  Begin(Busy::kLock, timing_.lock_write_ns);
}

void At89sTarget::Answer(uint8_t value) {
  if (state_.kind.spi_mode == 3) {
    out_ = value;
    out_bits_ = 8;
  } else {
    pending_ = value;
    answer_pending_ = true;
  }
}

void At89sTarget::Ignored(Asked asked, Why why, uint64_t a, uint64_t b, uint64_t c) {
  ignored_.Add(asked, why, a, b, c);
}

void At89sTarget::IgnoredWhileBusy(Asked asked) {
  const Why why = busy_ == Busy::kErase  ? Why::kBusyErasing
                  : busy_ == Busy::kLock ? Why::kBusyLocking
                                         : Why::kBusyWriting;
  Ignored(asked, why, (ticks_ - busy_start_) * timing_.write_ns / 1000, busy_ns_ / 1000);
}

int64_t At89sTarget::Locate(bool eeprom, uint32_t address) const {
  const uint32_t size = eeprom ? state_.kind.eeprom_size : state_.kind.code_size;
  if (size == 0)
    return -1;
  const uint32_t decoded = address & DecodeMask(size);
  return decoded < size ? static_cast<int64_t>(decoded) : -1;
}

void At89sTarget::ApplyCellFaults() {
  for (const StuckBits& s : faults_.stuck) {
    if (s.scope != StuckScope::kCell)
      continue;
    std::vector<uint8_t>& memory = s.eeprom ? state_.eeprom : state_.code;
    if (s.address < memory.size()) {
      uint8_t& cell = memory[s.address];
      cell = static_cast<uint8_t>((cell & ~s.mask) | (s.level & s.mask));
    }
  }
}

}  // namespace zivivar::sim
