#include "config/settings.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "common/atomic_file.h"
#include "common/errno_text.h"
#include "common/file_contents.h"
#include "common/path_parts.h"
#include "config/ini_file.h"

namespace zivivar {

namespace {

// The port address is stored as hexadecimal digits, with or without "0x".
// Text that does not parse gives 0; too many digits give the largest value,
// which the range check then refuses.
uint32_t ParseHexAddress(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu)
      return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}

// An unsigned decimal count. A minus sign makes it no number (0), so that
// "-5" falls back to the default instead of becoming four billion.
uint32_t ParseDecimalCount(std::string_view text) {
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > 0xFFFFFFFFu)
      return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}

std::string WithSlash(std::string directory) {
  if (directory.empty())
    return CurrentDirectory();
  if (directory.back() != '/')
    directory += '/';
  return directory;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// Why the file could not be read; the reader refuses what is no regular
// file and what is too long to be a settings file.
std::string ReadErrorText(int error, const Services& services) {
  if (error == kNotRegularFile)
    return services.Translate("keine gewöhnliche Datei");
  if (error == kFileTooLarge)
    return services.Translate("größer als 1 MByte");
  return ErrnoText(error, services.catalogue());
}

using K = SettingsKey;
constexpr int64_t kMaxIndex = INT32_MAX;
constexpr int64_t kMaxCount = UINT32_MAX;

// The port address and the line length are the two values whose
// replacement at load the user is told about.
constexpr SettingsKey kKeys[] = {
    // section, name, kind, member, default, default text, low, high, fallback, message,
    // even, written, dialog range
    {kHardwareSection, "PortAdress", K::kHexAddress, &Settings::PortAdress, 0x278, nullptr, 0x200,
     0x400, 0x378, kBadPortAddressMessage, false, true, 0x200, 0x400},
    {kHardwareSection, "DebugNT", K::kInteger, &Settings::DebugNT, 0, nullptr, 0, 1, 0, nullptr,
     false, false, 0, 0},
    {kHardwareSection, "SearchHardware", K::kInteger, &Settings::SearchHardware, 2, nullptr, 2, 5,
     2, nullptr, false, true, 0, 0},
    {kHardwareSection, "TimeOut", K::kCount, &Settings::TimeOut, 100000, nullptr, 10000, kMaxCount,
     100000, nullptr, false, true, 10000, 10000000},
    {kHardwareSection, "TimeBaseKorr", K::kInteger, &Settings::TimeBaseKorr, 85, nullptr, 1, 100,
     85, nullptr, false, true, 70, 100},
    {kHardwareSection, "MessageBeap", K::kInteger, &Settings::MessageBeap, 1, nullptr, 0, 1, 1,
     nullptr, false, true, 0, 0},
    {kHardwareSection, "FastProfile", K::kInteger, &Settings::FastProfile, 0, nullptr, 0, 1, 0,
     nullptr, false, true, 0, 0},
    {kHardwareSection, "Simulator", K::kInteger, &Settings::Simulator, 0, nullptr, 0, 1, 0, nullptr,
     false, false, 0, 0},
    {kHardwareSection, "SimState", K::kText, &Settings::SimState, 0, kDefaultSimState, 0, 0, 0,
     nullptr, false, false, 0, 0},
    {kHardwareSection, "SimFault", K::kText, &Settings::SimFault, 0, "", 0, 0, 0, nullptr, false,
     false, 0, 0},
    {kHardwareSection, "SimWriteTime", K::kCount, &Settings::SimWriteTime, 85, nullptr, 1, 100000,
     85, nullptr, false, false, 0, 0},
    {kHardwareSection, "SimCrystal", K::kCount, &Settings::SimCrystal, 12000000, nullptr, 1000,
     100000000, 12000000, nullptr, false, false, 0, 0},
    {kHardwareSection, "SimByteTime", K::kCount, &Settings::SimByteTime, 0, nullptr, 0, 10000000, 0,
     nullptr, false, false, 0, 0},
    {kHardwareSection, "SimEraseTime", K::kCount, &Settings::SimEraseTime, 0, nullptr, 0, 100000000,
     0, nullptr, false, false, 0, 0},
    {kHardwareSection, "SimLockTime", K::kCount, &Settings::SimLockTime, 0, nullptr, 0, 10000000, 0,
     nullptr, false, false, 0, 0},
    {kHardwareSection, "SimChip", K::kText, &Settings::SimChip, 0, "", 0, 0, 0, nullptr, false,
     false, 0, 0},
    {kHardwareSection, "ParportDevice", K::kText, &Settings::ParportDevice, 0, "", 0, 0, 0, nullptr,
     false, false, 0, 0},
    {kIspSection, "Verify", K::kInteger, &Settings::Verify, 1, nullptr, 0, 1, 1, nullptr, false,
     true, 0, 0},
    {kIspSection, "FFSave", K::kInteger, &Settings::FFSave, 0, nullptr, 0, 1, 0, nullptr, false,
     true, 0, 0},
    {kIspSection, "X-Koord", K::kInteger, &Settings::XKoord, 10, nullptr, 0, 1024, 10, nullptr,
     false, true, 0, 0},
    {kIspSection, "Y-Koord", K::kInteger, &Settings::YKoord, 10, nullptr, 0, 768, 10, nullptr,
     false, true, 0, 0},
    {kIspSection, "DataFormat", K::kInteger, &Settings::DataFormat, 1, nullptr, 1, 9, 1, nullptr,
     false, true, 0, 0},
    {kIspSection, "ManufIndex", K::kInteger, &Settings::ManufIndex, 0, nullptr, 0, kMaxIndex, 1,
     nullptr, false, true, 0, 0},
    {kIspSection, "DeviceIndex", K::kInteger, &Settings::DeviceIndex, 0, nullptr, 0, kMaxIndex, 0,
     nullptr, false, true, 0, 0},
    {kIspSection, "TestChecksum", K::kInteger, &Settings::TestChecksum, 1, nullptr, 0, 1, 1,
     nullptr, false, true, 0, 0},
    // Not written back: the window's settings file gains no key it never had.
    {kIspSection, "TekChecksum", K::kInteger, &Settings::TekChecksum, 0, nullptr, 0, 1, 0, nullptr,
     false, false, 0, 0},
    {kIspSection, "ShowDeviceData", K::kInteger, &Settings::ShowDeviceData, 0, nullptr, 0, 1, 0,
     nullptr, false, true, 0, 0},
    {kIspSection, "Lock1", K::kInteger, &Settings::Lock1, 0, nullptr, 0, 1, 0, nullptr, false, true,
     0, 0},
    {kIspSection, "Lock2", K::kInteger, &Settings::Lock2, 0, nullptr, 0, 1, 0, nullptr, false, true,
     0, 0},
    {kIspSection, "Lock3", K::kInteger, &Settings::Lock3, 0, nullptr, 0, 1, 0, nullptr, false, true,
     0, 0},
    // All five filters of the open dialog survive a restart.
    {kIspSection, "ReadFilter", K::kInteger, &Settings::ReadFilter, 1, nullptr, 1, 5, 1, nullptr,
     false, true, 0, 0},
    {kIspSection, "EndMessage", K::kInteger, &Settings::EndMessage, 0, nullptr, 0, 1, 1, nullptr,
     false, true, 0, 0},
    {kIspSection, "HexLineLen", K::kInteger, &Settings::HexLineLen, 32, nullptr, 2, 254, 32,
     kBadHexLineLenMessage, true, true, 16, 255},
    {kIspSection, "DataPath", K::kDataPath, {}, 0, nullptr, 0, 0, 0, nullptr, false, true, 0, 0},
    {kIspSection, "LastFile", K::kLastFile, {}, 0, "tmp", 0, 0, 0, nullptr, false, true, 0, 0},
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

int64_t GetNumber(const SettingsKey& key, const Settings& settings) {
  if (const auto* member = std::get_if<int Settings::*>(&key.member))
    return settings.**member;
  return settings.*std::get<uint32_t Settings::*>(key.member);
}

void SetNumber(const SettingsKey& key, int64_t value, Settings& settings) {
  if (const auto* member = std::get_if<int Settings::*>(&key.member)) {
    settings.** member = static_cast<int>(value);
  } else {
    settings.*std::get<uint32_t Settings::*>(key.member) = static_cast<uint32_t>(value);
  }
}

int64_t MakeEven(const SettingsKey& key, int64_t value) {
  return key.even ? static_cast<int32_t>(static_cast<uint32_t>(value) & ~1u) : value;
}

// The data file: the directory part of data_path (text after its last '/'
// is no directory) with the name and extension of last_file.
void FormDataFile(const std::string& data_path, const std::string& last_file, Settings& settings) {
  const PathParts dir = SplitPath(data_path);
  const PathParts name = SplitPath(last_file);
  settings.data_directory = data_path;
  settings.data_file_name = MakePath({"", "", name.name, name.extension});
  settings.data_file_path = dir.drive + dir.directory + settings.data_file_name;
}

// SimState, relative names taken from the settings directory.
void FormSimStatePath(Settings& settings) {
  const std::string& sim_state =
      settings.SimState.empty() ? std::string(kDefaultSimState) : settings.SimState;
  settings.sim_state_path =
      sim_state.front() == '/' ? sim_state : settings.settings_directory + sim_state;
}

// A number as --set must spell it: the key's form, nothing before or after.
std::optional<int64_t> ParseStrict(SettingsKey::Kind kind, std::string_view text) {
  bool negative = false;
  int base = 10;
  if (kind == SettingsKey::kHexAddress) {
    base = 16;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
      text.remove_prefix(2);
  } else if (kind == SettingsKey::kInteger && !text.empty() &&
             (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 12)
    return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    int digit = base;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c))) {
      digit = std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    }
    if (digit >= base)
      return std::nullopt;
    value = value * base + digit;
  }
  return negative ? -value : value;
}

}  // namespace

const SettingsKey* FindSettingsKey(std::string_view name) {
  for (const SettingsKey& key : kKeys) {
    if (SameName(key.name, name))
      return &key;
  }
  return nullptr;
}

bool SetSettingsValue(const SettingsKey& key, std::string_view text, Settings& settings) {
  const std::string value(text);
  switch (key.kind) {
    case SettingsKey::kText:
      settings.*std::get<std::string Settings::*>(key.member) = value;
      if (std::string_view(key.name) == "SimState") {
        settings.sim_state_given = true;
        FormSimStatePath(settings);
      }
      return true;
    case SettingsKey::kDataPath:
      FormDataFile(value, settings.data_file_name, settings);
      return true;
    case SettingsKey::kLastFile:
      FormDataFile(settings.data_directory, value, settings);
      return true;
    default:
      break;
  }
  const std::optional<int64_t> number = ParseStrict(key.kind, text);
  if (!number || MakeEven(key, *number) < key.low || MakeEven(key, *number) > key.high)
    return false;
  SetNumber(key, MakeEven(key, *number), settings);
  return true;
}

SettingsResult LoadSettings(const std::string& directory, Services& services, Settings& settings) {
  settings = Settings();
  settings.settings_directory = WithSlash(directory);
  settings.settings_file_path = settings.settings_directory + kSettingsFileName;

  IniFile file;
  const int error = ReadIniFile(settings.settings_file_path, kMaxSettingsFileSize, file);
  if (error != 0 && error != ENOENT) {
    settings.read_error = error;
    services.ShowMessage(
        services.Translate("Die Einstellungsdatei\n'") + settings.settings_file_path +
        services.Translate("'\nkann nicht gelesen werden: ") + ReadErrorText(error, services) +
        services.Translate(".\n\nEs gelten die Standardwerte; die Datei wird "
                           "beim Beenden\nnicht überschrieben."));
  }

  for (const SettingsKey& key : kKeys) {
    if (key.kind == SettingsKey::kText) {
      settings.*std::get<std::string Settings::*>(key.member) =
          file.GetString(key.section, key.name, key.default_text);
      continue;
    }
    if (key.kind == SettingsKey::kDataPath || key.kind == SettingsKey::kLastFile)
      continue;  // below, together
    int64_t value = key.default_value;
    if (key.kind == SettingsKey::kInteger) {
      value = file.GetInt(key.section, key.name, static_cast<int32_t>(key.default_value));
    } else if (const std::optional<std::string> text = file.Find(key.section, key.name)) {
      value =
          key.kind == SettingsKey::kHexAddress ? ParseHexAddress(*text) : ParseDecimalCount(*text);
    }
    value = MakeEven(key, value);
    if (value < key.low || value > key.high) {
      if (key.message != nullptr) {
        char text[256];
        std::snprintf(text, sizeof text, services.Translate(key.message), static_cast<int>(value));
        services.ShowMessage(text);
      }
      value = key.fallback;
    }
    SetNumber(key, value, settings);
  }
  FormDataFile(file.GetString(kIspSection, "DataPath", settings.settings_directory),
               file.GetString(kIspSection, "LastFile", "tmp"), settings);
  settings.sim_state_given = file.Find(kHardwareSection, "SimState").has_value();
  FormSimStatePath(settings);
  return settings.read_error == 0 ? SettingsResult::kOk : SettingsResult::kUnreadable;
}

SettingsResult SaveSettings(const Settings& settings, Services& services) {
  // A file that could not be read would lose its other lines; the user was told at load.
  if (settings.read_error != 0)
    return SettingsResult::kNotSaved;
  const std::string path = settings.settings_file_path.empty()
                               ? CurrentDirectory() + kSettingsFileName
                               : settings.settings_file_path;

  IniFile file;
  const int read_error = ReadIniFile(path, kMaxSettingsFileSize, file);
  const bool existed = read_error == 0;
  if (read_error != 0 && read_error != ENOENT) {
    services.ShowMessage("Die Einstellungen konnten nicht gespeichert werden.\n\nDatei: " + path +
                         "\nGrund: " + ReadErrorText(read_error, services) +
                         " beim Lesen\n\nDie bisherige Datei bleibt unverändert.");
    return SettingsResult::kNotSaved;
  }
  const std::string before = file.Contents();

  const PathParts data = SplitPath(settings.data_file_path);
  for (const SettingsKey& key : kKeys) {
    if (!key.written)
      continue;
    std::string value;
    if (key.kind == SettingsKey::kDataPath) {
      value = data.drive + data.directory;
    } else if (key.kind == SettingsKey::kLastFile) {
      value = data.name + data.extension;
    } else if (key.kind == SettingsKey::kHexAddress) {
      value = Hex(static_cast<uint32_t>(GetNumber(key, settings)));
    } else {
      value = std::to_string(GetNumber(key, settings));
    }
    file.SetString(key.section, key.name, value);
  }

  const std::string after = file.Contents();
  // Nothing changed: leave the file (and its time stamp) alone, which also
  // spares a read-only settings directory a needless error.
  if (existed && after == before)
    return SettingsResult::kOk;
  const int write_error = WriteFileAtomically(path, after);
  if (write_error != 0) {
    std::string text = "Die Einstellungen konnten nicht gespeichert werden.\n\nDatei: " + path +
                       "\nGrund: " + ErrnoText(write_error);
    if (existed)
      text += "\n\nDie bisherige Datei bleibt unverändert.";
    services.ShowMessage(text);
    return SettingsResult::kNotSaved;
  }
  return SettingsResult::kOk;
}

}  // namespace zivivar
