#include "config/settings.h"

#include <cerrno>
#include <cstdio>

#include "common/atomic_file.h"
#include "common/path_parts.h"
#include "common/errno_text.h"
#include "config/ini_file.h"

namespace zivivar {

namespace {

constexpr uint32_t kFallbackPortAdress = 0x378;

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

int OnlyOne(int value) {
  return value == 1 ? 1 : 0;
}
int NonZero(int value) {
  return value != 0 ? 1 : 0;
}
int InRange(int value, int low, int high, int fallback) {
  return value < low || value > high ? fallback : value;
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

}  // namespace

int LoadSettings(const std::string& directory, Services& services, Settings& settings) {
  settings = Settings();
  settings.settings_directory = WithSlash(directory);
  settings.settings_file_path = settings.settings_directory + kSettingsFileName;

  IniFile file;
  const int error = ReadIniFile(settings.settings_file_path, file);
  if (error != 0 && error != ENOENT) {
    settings.read_error = error;
    services.ShowMessage("Die Einstellungsdatei\n'" + settings.settings_file_path +
                         "'\nkann nicht gelesen werden: " + ErrnoText(error) +
                         ".\n\nEs gelten die Standardwerte; die Datei wird beim Beenden\n"
                         "nicht überschrieben.");
  }

  const char* hw = kHardwareSection;
  settings.PortAdress = ParseHexAddress(file.GetString(hw, "PortAdress", "278"));
  if (settings.PortAdress < kMinPortAdress || settings.PortAdress > kMaxPortAdress) {
    services.ShowMessage(kBadPortAddressMessage);
    settings.PortAdress = kFallbackPortAdress;
  }
  const int debug_nt = file.GetInt(hw, "DebugNT", 0);
  settings.DebugNT = debug_nt == 1 ? 1 : 0;
  settings.SearchHardware = InRange(file.GetInt(hw, "SearchHardware", 2), 2, 5, 2);
  settings.TimeOut = ParseDecimalCount(file.GetString(hw, "TimeOut", "100000"));
  if (settings.TimeOut < 10000)
    settings.TimeOut = 100000;
  settings.MessageBeap = NonZero(file.GetInt(hw, "MessageBeap", 1));
  settings.TimeBaseKorr = InRange(file.GetInt(hw, "TimeBaseKorr", 85), 1, 100, 85);
  settings.Simulator = OnlyOne(file.GetInt(hw, "Simulator", 0));
  settings.SimState = file.GetString(hw, "SimState", kDefaultSimState);
  settings.SimFault = file.GetString(hw, "SimFault", "");
  settings.ParportDevice = file.GetString(hw, "ParportDevice", "");

  const char* isp = kIspSection;
  settings.FFSave = OnlyOne(file.GetInt(isp, "FFSave", 0));
  settings.Verify = NonZero(file.GetInt(isp, "Verify", 1));
  settings.XKoord = InRange(file.GetInt(isp, "X-Koord", 10), 0, 1024, 10);
  settings.YKoord = InRange(file.GetInt(isp, "Y-Koord", 10), 0, 768, 10);
  settings.ShowDeviceData = OnlyOne(file.GetInt(isp, "ShowDeviceData", 0));
  const int manuf_index = file.GetInt(isp, "ManufIndex", 0);
  settings.ManufIndex = manuf_index < 0 ? 1 : manuf_index;
  const int device_index = file.GetInt(isp, "DeviceIndex", 0);
  settings.DeviceIndex = device_index < 0 ? 0 : device_index;
  settings.TestChecksum = NonZero(file.GetInt(isp, "TestChecksum", 1));
  settings.EndMessage = NonZero(file.GetInt(isp, "EndMessage", 0));
  settings.Lock1 = OnlyOne(file.GetInt(isp, "Lock1", 0));
  settings.Lock2 = OnlyOne(file.GetInt(isp, "Lock2", 0));
  settings.Lock3 = OnlyOne(file.GetInt(isp, "Lock3", 0));
  const int hex_line_len =
      static_cast<int>(static_cast<uint32_t>(file.GetInt(isp, "HexLineLen", 32)) & ~1u);
  if (hex_line_len < 2 || hex_line_len > 254) {
    char text[sizeof kBadHexLineLenMessage + 16];
    std::snprintf(text, sizeof text, kBadHexLineLenMessage, hex_line_len);
    services.ShowMessage(text);
    settings.HexLineLen = 32;
  } else {
    settings.HexLineLen = hex_line_len;
  }
  settings.DataFormat = InRange(file.GetInt(isp, "DataFormat", 1), 1, 9, 1);
  // All five filters of the open dialog survive a restart.
  settings.ReadFilter = InRange(file.GetInt(isp, "ReadFilter", 1), 1, 5, 1);

  // The data file: the directory part of "DataPath" (text after its last '/'
  // is no directory) with the name and extension of "LastFile".
  const std::string data_path = file.GetString(isp, "DataPath", settings.settings_directory);
  const std::string last_file = file.GetString(isp, "LastFile", "tmp");
  const PathParts dir = SplitPath(data_path);
  const PathParts name = SplitPath(last_file);
  settings.data_directory = data_path;
  settings.data_file_name = MakePath({"", "", name.name, name.extension});
  settings.data_file_path = dir.drive + dir.directory + settings.data_file_name;

  const std::string& sim_state =
      settings.SimState.empty() ? std::string(kDefaultSimState) : settings.SimState;
  settings.sim_state_path =
      sim_state.front() == '/' ? sim_state : settings.settings_directory + sim_state;
  return settings.read_error == 0 ? kSettingsOk : kSettingsUnreadable;
}

int SaveSettings(const Settings& settings, Services& services) {
  // A file that could not be read would lose its other lines; the user was told at load.
  if (settings.read_error != 0)
    return kSettingsNotSaved;
  const std::string path = settings.settings_file_path.empty()
                               ? CurrentDirectory() + kSettingsFileName
                               : settings.settings_file_path;

  IniFile file;
  const int read_error = ReadIniFile(path, file);
  const bool existed = read_error == 0;
  if (read_error != 0 && read_error != ENOENT) {
    services.ShowMessage("Die Einstellungen konnten nicht gespeichert werden.\n\nDatei: " + path +
                         "\nGrund: " + ErrnoText(read_error) +
                         " beim Lesen\n\nDie bisherige Datei bleibt unverändert.");
    return kSettingsNotSaved;
  }
  const std::string before = file.Contents();

  const char* hw = kHardwareSection;
  file.SetString(hw, "PortAdress", Hex(settings.PortAdress));
  file.SetString(hw, "SearchHardware", std::to_string(settings.SearchHardware));
  file.SetString(hw, "TimeOut", std::to_string(settings.TimeOut));
  file.SetString(hw, "TimeBaseKorr", std::to_string(settings.TimeBaseKorr));
  file.SetString(hw, "MessageBeap", std::to_string(settings.MessageBeap));

  const char* isp = kIspSection;
  file.SetString(isp, "Verify", std::to_string(settings.Verify));
  file.SetString(isp, "FFSave", std::to_string(settings.FFSave));
  file.SetString(isp, "X-Koord", std::to_string(settings.XKoord));
  file.SetString(isp, "Y-Koord", std::to_string(settings.YKoord));
  file.SetString(isp, "DataFormat", std::to_string(settings.DataFormat));
  file.SetString(isp, "ManufIndex", std::to_string(settings.ManufIndex));
  file.SetString(isp, "DeviceIndex", std::to_string(settings.DeviceIndex));
  file.SetString(isp, "TestChecksum", std::to_string(settings.TestChecksum));
  file.SetString(isp, "ShowDeviceData", std::to_string(settings.ShowDeviceData));
  file.SetString(isp, "Lock1", std::to_string(settings.Lock1));
  file.SetString(isp, "Lock2", std::to_string(settings.Lock2));
  file.SetString(isp, "Lock3", std::to_string(settings.Lock3));
  file.SetString(isp, "ReadFilter", std::to_string(settings.ReadFilter));
  file.SetString(isp, "EndMessage", std::to_string(settings.EndMessage));
  file.SetString(isp, "HexLineLen", std::to_string(settings.HexLineLen));
  const PathParts data = SplitPath(settings.data_file_path);
  file.SetString(isp, "DataPath", data.drive + data.directory);
  file.SetString(isp, "LastFile", data.name + data.extension);

  const std::string after = file.Contents();
  // Nothing changed: leave the file (and its time stamp) alone, which also
  // spares a read-only settings directory a needless error.
  if (existed && after == before)
    return kSettingsOk;
  const int write_error = WriteFileAtomically(path, after);
  if (write_error != 0) {
    std::string text = "Die Einstellungen konnten nicht gespeichert werden.\n\nDatei: " + path +
                       "\nGrund: " + ErrnoText(write_error);
    if (existed)
      text += "\n\nDie bisherige Datei bleibt unverändert.";
    services.ShowMessage(text);
    return kSettingsNotSaved;
  }
  return kSettingsOk;
}

}  // namespace zivivar
