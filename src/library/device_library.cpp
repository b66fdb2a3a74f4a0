#include "library/device_library.h"

#include <cstdio>

#include "common/c_literal.h"
#include "common/file_contents.h"
#include "common/path_parts.h"
#include "hw/adapter_registers.h"
#include "library/library_line.h"

namespace zivivar {
namespace {

// "<name>\n\n<memory> überschreitet 131072 (0x20000) Bytes!!..."
std::string TooLargeMessage(const std::string& name, const char* memory, const Services& services) {
  char limit[40];
  std::snprintf(limit, sizeof limit, "%lu (0x%lX)", static_cast<unsigned long>(kMaxMemorySize),
                static_cast<unsigned long>(kMaxMemorySize));
  return name + "\n\n" + services.Translate(memory) + services.Translate(" überschreitet ") +
         limit +
         services.Translate(" Bytes!!\n\nBausteine dieser Größe werden nicht unterstützt !!\n");
}

// Waits of 0 and 1 stand for themselves (no wait, a single pulse); longer
// ones are microseconds that become counted register writes.
uint32_t ConvertWait(uint32_t us, uint32_t timebase_korr) {
  return us <= 1 ? us : UsToCycles(us, timebase_korr);
}

}  // namespace

DeviceLibrary::DeviceLibrary(Services& services, const std::string& directory)
    : services_(services) {
  SetDirectory(directory);
}

void DeviceLibrary::SetDirectory(const std::string& directory) {
  PathParts parts = SplitPath(kLibraryFileName);
  parts.directory = directory;
  path_ = MakePath(parts);
}

LibraryResult DeviceLibrary::OpenLibrary() {
  CloseLibrary();
  line_.clear();
  line_number_ = 0;
  const int error = reader_.Open(path_, kMaxLibrarySize);
  if (error != 0) {
    services_.ShowMessage(error == kFileTooLarge ? kLibraryTooLargeMessage
                                                 : kLibraryOpenFailedMessage);
    return LibraryResult::kFailed;
  }
  return LibraryResult::kOk;
}

void DeviceLibrary::CloseLibrary() {
  reader_.Close();
}

bool DeviceLibrary::ReadLine() {
  if (!reader_.IsOpen() || !reader_.ReadLine(line_)) {
    line_.clear();
    return false;
  }
  ++line_number_;
  return true;
}

LibraryResult DeviceLibrary::FindManufacturer(int32_t index) {
  int32_t count = -1;
  while (ReadLine()) {
    if (IsManufacturerLine(line_) && IsActiveLine(line_) && ++count == index) {
      return LibraryResult::kOk;
    }
  }
  services_.ShowMessage(kManufacturerNotFoundMessage);
  return LibraryResult::kFailed;
}

LibraryResult DeviceLibrary::NextManufacturer(std::string& name) {
  while (ReadLine()) {
    if (IsManufacturerLine(line_) && IsActiveLine(line_)) {
      name = ManufacturerName(line_);
      return LibraryResult::kOk;
    }
  }
  return LibraryResult::kEnd;
}

LibraryResult DeviceLibrary::NextDevice(uint32_t timebase_korr) {
  while (ReadLine()) {
    if (IsManufacturerLine(line_)) {
      return LibraryResult::kEnd;
    }
    if (IsActiveLine(line_)) {
      return ParseDeviceRecord(line_, timebase_korr);
    }
  }
  return LibraryResult::kEnd;
}

LibraryResult DeviceLibrary::NextField(std::string& field) {
  const size_t semicolon = record_.find(';', position_);
  if (semicolon == std::string::npos || semicolon >= limit_) {
    return LibraryResult::kFailed;
  }
  field = record_.substr(position_, semicolon - position_);
  position_ = semicolon + 1;
  return LibraryResult::kOk;
}

LibraryResult DeviceLibrary::ParseDeviceRecord(const std::string& line, uint32_t timebase_korr) {
  record_ = line;
  position_ = 0;
  const size_t flag = FlagPosition(record_);
  limit_ = flag == kNoFlag ? 0 : flag;

  std::string field;
  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  descriptor_.device_name = field;
  const std::string& name = descriptor_.device_name;
  // The messages are pieces in the services' language around name and path.
  const auto tr = [this](const char* text) { return std::string(services_.Translate(text)); };
  const std::string in_file = tr("\n\n in '") + path_ + tr("' Datei");

  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  if (field != kPackageDip40) {
    Refuse(name + tr("\n\nUnbekannte Gehäuseform") + in_file);
    return LibraryResult::kInvalidRecord;
  }
  descriptor_.pin_count = 40;

  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  const uint32_t millivolts = ParseCLiteral(field);
  if (millivolts > kMaxProgrammingVoltage) {
    Refuse(name + tr("\n\nDie Betriebsspannung im\nProgrammiermodus ist zu groß !!") + in_file);
    return LibraryResult::kInvalidRecord;
  }
  if (millivolts == 0) {
    Refuse(name + tr("\n\nDie Betriebsspannung im\nProgrammiermodus ist 0 !!") + in_file);
    return LibraryResult::kInvalidRecord;
  }
  descriptor_.programming_voltage = millivolts;
  descriptor_.supply_code = static_cast<uint8_t>(millivolts / kSupplyStep);

  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  descriptor_.write_wait = ConvertWait(ParseCLiteral(field), timebase_korr);
  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  descriptor_.erase_wait = ConvertWait(ParseCLiteral(field), timebase_korr);

  for (int reserved = 6; reserved <= 11; ++reserved) {
    if (NextField(field) != LibraryResult::kOk) {
      return LibraryResult::kFailed;
    }
  }

  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  const uint32_t code_size = ParseCLiteral(field);
  if (code_size > kMaxMemorySize) {
    Refuse(TooLargeMessage(name, "Programmspeicher", services_));
    return LibraryResult::kInvalidRecord;
  }
  if (code_size == 0) {
    Refuse(name + tr("\n\nProgrammspeicher ist 0 !!\n\n in ") + path_);
    return LibraryResult::kInvalidRecord;
  }
  descriptor_.code_size = code_size;

  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  const uint32_t eeprom_size = ParseCLiteral(field);
  if (eeprom_size > kMaxMemorySize) {
    Refuse(TooLargeMessage(name, "Datenspeicher", services_));
    return LibraryResult::kInvalidRecord;
  }
  descriptor_.eeprom_size = eeprom_size;

  // Both small fields keep only their low byte before they are checked.
  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  descriptor_.lock_bit_count = static_cast<uint8_t>(ParseCLiteral(field));
  if (descriptor_.lock_bit_count > kMaxLockBits) {
    Refuse(name + tr("\n\nFalscher Wert für die Lockbits in \n\n") + path_ +
           tr(" !!\n\nEintrag darf nur von 0-3 gehen.\nGelesener Wert: ") +
           std::to_string(descriptor_.lock_bit_count));
    return LibraryResult::kInvalidRecord;
  }

  if (NextField(field) != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  descriptor_.spi_mode = static_cast<uint8_t>(ParseCLiteral(field));
  if (descriptor_.spi_mode != 3 && descriptor_.spi_mode != 4) {
    Refuse(name + tr("\n\nFalscher Wert für SPIMODE in \n\n") + path_ +
           tr(" !!\n\nEintrag darf nur 3 oder 4 sein.\nGelesener Wert: ") +
           std::to_string(descriptor_.spi_mode));
    return LibraryResult::kInvalidRecord;
  }
  // The optional sixteenth field; a line without it has no page mode and no
  // signature. Only the four-byte instructions can read a signature.
  const bool extra = NextField(field) == LibraryResult::kOk;
  descriptor_.page_read = extra && HasPageToken(field);
  descriptor_.signature.reset();
  if (extra && descriptor_.spi_mode == 4)
    descriptor_.signature = SignatureToken(field);
  return LibraryResult::kOk;
}

}  // namespace zivivar
