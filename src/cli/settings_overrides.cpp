#include "cli/settings_overrides.h"

#include <stdlib.h>
#include <strings.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

#include "config/ini_file.h"

namespace zivivar {
namespace {

using CopyMember = void (*)(Settings& to, const Settings& from);

struct KeyInfo {
  const char* key;
  const char* section;
  CopyMember copy;
};

// Where the sim state is found, as LoadSettings forms it: relative names are
// taken from the settings directory.
void CopySimState(Settings& to, const Settings& from) {
  to.SimState = from.SimState;
  const std::string& name = to.SimState.empty() ? std::string(kDefaultSimState) : to.SimState;
  to.sim_state_path = name.front() == '/' ? name : to.settings_directory + name;
}

void CopyDataFile(Settings& to, const Settings& from) {
  to.data_file_path = from.data_file_path;
  to.data_file_name = from.data_file_name;
  to.data_directory = from.data_directory;
}

#define ZIVIVAR_MEMBER(key, section, member)                                          \
  {                                                                                   \
    key, section, [](Settings& to, const Settings& from) { to.member = from.member; } \
  }

const std::array<KeyInfo, 27> kKeys = {{
    ZIVIVAR_MEMBER("PortAdress", kHardwareSection, PortAdress),
    ZIVIVAR_MEMBER("DebugNT", kHardwareSection, DebugNT),
    ZIVIVAR_MEMBER("SearchHardware", kHardwareSection, SearchHardware),
    ZIVIVAR_MEMBER("TimeOut", kHardwareSection, TimeOut),
    ZIVIVAR_MEMBER("MessageBeap", kHardwareSection, MessageBeap),
    ZIVIVAR_MEMBER("TimeBaseKorr", kHardwareSection, TimeBaseKorr),
    ZIVIVAR_MEMBER("Simulator", kHardwareSection, Simulator),
    {"SimState", kHardwareSection, CopySimState},
    ZIVIVAR_MEMBER("SimFault", kHardwareSection, SimFault),
    ZIVIVAR_MEMBER("ParportDevice", kHardwareSection, ParportDevice),
    ZIVIVAR_MEMBER("FFSave", kIspSection, FFSave),
    ZIVIVAR_MEMBER("Verify", kIspSection, Verify),
    ZIVIVAR_MEMBER("X-Koord", kIspSection, XKoord),
    ZIVIVAR_MEMBER("Y-Koord", kIspSection, YKoord),
    ZIVIVAR_MEMBER("ShowDeviceData", kIspSection, ShowDeviceData),
    ZIVIVAR_MEMBER("ManufIndex", kIspSection, ManufIndex),
    ZIVIVAR_MEMBER("DeviceIndex", kIspSection, DeviceIndex),
    ZIVIVAR_MEMBER("TestChecksum", kIspSection, TestChecksum),
    ZIVIVAR_MEMBER("EndMessage", kIspSection, EndMessage),
    ZIVIVAR_MEMBER("Lock1", kIspSection, Lock1),
    ZIVIVAR_MEMBER("Lock2", kIspSection, Lock2),
    ZIVIVAR_MEMBER("Lock3", kIspSection, Lock3),
    ZIVIVAR_MEMBER("HexLineLen", kIspSection, HexLineLen),
    ZIVIVAR_MEMBER("DataFormat", kIspSection, DataFormat),
    ZIVIVAR_MEMBER("ReadFilter", kIspSection, ReadFilter),
    {"DataPath", kIspSection, CopyDataFile},
    {"LastFile", kIspSection, CopyDataFile},
}};

#undef ZIVIVAR_MEMBER

const KeyInfo* FindKey(const std::string& key) {
  for (const KeyInfo& info : kKeys) {
    if (strcasecmp(info.key, key.c_str()) == 0)
      return &info;
  }
  return nullptr;
}

// A private directory for one file, removed with it.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zivivar-cli-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr)
      path_ = pattern + "/";
    else
      error_ = errno;
  }
  ~ScratchDirectory() {
    if (path_.empty())
      return;
    unlink((path_ + kSettingsFileName).c_str());
    rmdir(path_.c_str());
  }
  const std::string& path() const { return path_; }
  int error() const { return error_; }

 private:
  std::string path_;
  int error_ = 0;
};

}  // namespace

std::string CanonicalSettingsKey(const std::string& key) {
  const KeyInfo* info = FindKey(key);
  return info == nullptr ? std::string() : std::string(info->key);
}

bool ApplySettingsOverrides(const SettingsOverrides& overrides, Services& services,
                            Settings& settings, std::string& error) {
  if (overrides.empty())
    return true;

  // The overridden keys alone, read by LoadSettings itself so that they pass
  // the very checks of the file. Every other key reads as its default there
  // and is not taken over.
  IniFile ini;
  std::map<const KeyInfo*, bool> given;
  for (const auto& [key, value] : overrides) {
    const KeyInfo* info = FindKey(key);
    if (info == nullptr) {
      error = "unknown settings key '" + key + "'";
      return false;
    }
    ini.SetString(info->section, info->key, value);
    given[info] = true;
  }
  // The data file is made of two keys: the one not given keeps the file's value.
  const KeyInfo* data_path = FindKey("DataPath");
  const KeyInfo* last_file = FindKey("LastFile");
  if (given.count(data_path) != 0 || given.count(last_file) != 0) {
    IniFile file;
    ReadIniFile(settings.settings_file_path, file);
    if (given.count(data_path) == 0) {
      ini.SetString(kIspSection, "DataPath",
                    file.GetString(kIspSection, "DataPath", settings.settings_directory));
    }
    if (given.count(last_file) == 0)
      ini.SetString(kIspSection, "LastFile", file.GetString(kIspSection, "LastFile", "tmp"));
  }

  ScratchDirectory scratch;
  if (scratch.path().empty()) {
    error = std::string("cannot make a temporary directory: ") + std::strerror(scratch.error());
    return false;
  }
  {
    std::ofstream out(scratch.path() + kSettingsFileName, std::ios::binary);
    out << ini.Contents();
    if (!out.flush()) {
      error = "cannot write a temporary file in " + scratch.path();
      return false;
    }
  }
  Settings read;
  LoadSettings(scratch.path(), services, read);
  read.settings_directory = settings.settings_directory;
  for (const auto& [info, unused] : given)
    info->copy(settings, read);
  return true;
}

}  // namespace zivivar
