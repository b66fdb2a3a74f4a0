// The settings of the run: every key of the settings file KORVALNK.INI as a
// member named by its key, plus the current data file derived from the keys
// "DataPath" and "LastFile". Read once at start-up, written back at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "services/services.h"

namespace zivivar {

inline constexpr char kSettingsFileName[] = "KORVALNK.INI";
inline constexpr char kHardwareSection[] = "Hardware";
inline constexpr char kIspSection[] = "8051 ISP INI-Section";
// Default name of the simulated chip's state file, in the settings directory.
inline constexpr char kDefaultSimState[] = "zivivar-sim.bin";

// Results of LoadSettings and SaveSettings.
enum class SettingsResult {
  kOk,
  // The file exists but could not be read: the defaults hold, the user was
  // told, and SaveSettings leaves the file alone so that nothing is lost.
  kUnreadable,
  // The file could not be written: the user was told; the old file is intact.
  kNotSaved,
};

inline constexpr char kBadPortAddressMessage[] =
    "Portadresse in\n'KORVALNK.INI'\nkann nicht stimmen!!\n\nNehme Standardwert von 0x378.";
// printf form; %d is the line length after its lowest bit was cleared.
inline constexpr char kBadHexLineLenMessage[] =
    "Der Wert für die Länge der HEX-Zeilen ist größer 254 oder kleiner 2.\nEingetragene Länge "
    "%d\n\nWert geändert auf Standardwert = 32 Datenbytes";

// The settings file is a short text file; a longer one is not read.
inline constexpr size_t kMaxSettingsFileSize = size_t{1} << 20;

// A default-constructed Settings holds the defaults of every key; the derived
// paths are empty until LoadSettings forms them.
struct Settings {
  // Section "Hardware".
  uint32_t PortAdress = 0x278;  // base of the parallel port; status +1, control +2
  int DebugNT = 0;              // 1: port-access diagnostics at start-up; never written
  int SearchHardware = 2;       // attempts of the start-up adapter search, 2 to 5
  uint32_t TimeOut = 100000;    // handshake time-out count, at least 10000
  int MessageBeap = 1;          // 1: every message beeps
  int TimeBaseKorr = 85;        // microseconds per register write, 1 to 100
  int FastProfile = 0;          // 1: page reads where the chip has them (Profile::kFast)
  // Simulator choice; read from the file, never written (the file keeps them).
  int Simulator = 0;                        // 1: use the simulated adapter and chip
  std::string SimState = kDefaultSimState;  // as read; see sim_state_path
  std::string SimFault;                     // passed to the simulator unparsed
  std::string ParportDevice;                // e.g. "/dev/parport1"; wins over PortAdress
  // The simulated chip's clock and times (never written): one register write
  // of the simulated adapter in µs, the crystal in Hz, and byte write, chip
  // erase and lock-bit write times in µs that replace the chip table's (0: the table's).
  uint32_t SimWriteTime = 85;
  uint32_t SimCrystal = 12000000;
  uint32_t SimByteTime = 0;
  uint32_t SimEraseTime = 0;
  uint32_t SimLockTime = 0;
  // A device name of the library (never written): the simulated socket holds
  // a chip of that device's kind whatever device is selected, so that a
  // wrong part can be tried. Empty: the chip follows the selected device.
  std::string SimChip;

  // Section "8051 ISP INI-Section".
  int FFSave = 0;          // 1: hex writers keep lines of 0xFF
  int Verify = 1;          // 1: programming is followed by a verify
  int XKoord = 10;         // key "X-Koord": left edge of the main window, 0 to 1024
  int YKoord = 10;         // key "Y-Koord": top edge of the main window, 0 to 768
  int ShowDeviceData = 0;  // kept and written back; nothing else uses it
  int ManufIndex = 0;      // selected manufacturer
  int DeviceIndex = 0;     // selected device
  int TestChecksum = 1;    // 1: record checksums are checked when hex files are read
  int TekChecksum = 0;     // Tektronix checksums: 0 sums of bytes, 1 sums of hex digits
  int EndMessage = 0;      // 1: the reminder to take the chip out when the program ends
  int Lock1 = 0;
  int Lock2 = 0;
  int Lock3 = 0;
  int HexLineLen = 32;  // data bytes per written hex line, even, 2 to 254
  int DataFormat = 1;   // format code of the current data file, 1 to 9
  int ReadFilter = 1;   // filter of the file-open dialog, 1 to 5

  // Derived at load.
  std::string settings_directory;  // the directory given to LoadSettings, with a trailing '/'
  std::string settings_file_path;  // settings_directory + "KORVALNK.INI"
  std::string sim_state_path;      // SimState, relative ones taken from settings_directory
  bool sim_state_given = false;    // SimState came from the file or SetSettingsValue

  // The current data file, formed from "DataPath" and "LastFile" at load and
  // written back to them by SaveSettings; the command flows change them.
  std::string data_file_path;  // full path of the data file for the code memory
  std::string data_file_name;  // name and extension only; empty when none was chosen
  std::string data_directory;  // where the file dialogs open

  // errno when the file existed but could not be read (kSettingsUnreadable).
  int read_error = 0;
};

// One key of the settings file. One table of all keys, in the order in
// which SaveSettings adds missing ones, drives loading, saving, the command
// line's --set and the preferences' ranges.
struct SettingsKey {
  enum Kind {
    kInteger,     // decimal with an optional sign, as GetPrivateProfileInt reads it
    kHexAddress,  // hexadecimal digits with or without 0x
    kCount,       // unsigned decimal, 32 bits
    kText,
    kDataPath,  // with "LastFile", the current data file
    kLastFile,
  };
  using Member =
      std::variant<std::monostate, int Settings::*, uint32_t Settings::*, std::string Settings::*>;

  const char* section;
  const char* name;  // as the file spells it; matched without regard to case
  Kind kind;
  Member member;             // none for the two keys of the data file
  int64_t default_value;     // of a missing number key
  const char* default_text;  // of a missing text key ("DataPath": the settings directory)
  // Numbers: the accepted range; at load a value outside it becomes fallback,
  // after message (printf form with %d for the value, or null for none).
  int64_t low, high, fallback;
  const char* message;
  bool even;     // the lowest bit is cleared before the range is checked
  bool written;  // SaveSettings writes the key back
  // The preferences dialog's range; 0 and 0 for keys it does not show.
  int64_t dialog_low, dialog_high;
};

// The key named name (without regard to case), or null.
const SettingsKey* FindSettingsKey(std::string_view name);

// Sets one key from text as given on the command line: a number must be
// written out whole in the key's form and lie in its accepted range (text
// keys take anything). Derived paths follow, as after LoadSettings. Returns
// false, leaving settings unchanged, for a number that is not one; the key's
// kind, low and high say what it takes.
bool SetSettingsValue(const SettingsKey& key, std::string_view text, Settings& settings);

// Reads directory + "KORVALNK.INI" (directory with or without a trailing
// '/'; empty means the working directory). A missing file, section or key
// takes its default silently; out-of-range values are replaced, with a message
// only for the port address and the hex line length. A file that cannot be
// read, is no regular file (a FIFO, a device) or is longer than
// kMaxSettingsFileSize is not read. Returns kOk, or
// kUnreadable after telling the user that the defaults are used.
SettingsResult LoadSettings(const std::string& directory, Services& services, Settings& settings);

// Writes the settings back into settings.settings_file_path: keys present in
// the file are replaced in place, missing ones added at the end of their
// section, every other line (comments, unknown keys, DebugNT and the
// simulator keys) is kept. The file is replaced atomically. Returns
// kOk, or kNotSaved after a message saying why (the old file
// is then intact); a file that could not be read at load is not touched.
SettingsResult SaveSettings(const Settings& settings, Services& services);

}  // namespace zivivar
