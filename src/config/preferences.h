// The preferences dialog "Einstellungen" without a toolkit: its controls as
// data, the fields filled from the settings, and the rules that decide
// whether "OK" may close it. The window only shows the controls, hands the
// typed texts to CheckPreferences and, when they are accepted, applies them.
#pragma once

#include <cstdint>
#include <string>

#include "config/settings.h"

namespace zivivar {

inline constexpr char kPreferencesTitle[] = "Einstellungen";

// Entries of the port drop-down, in their order; the user may type any other.
inline constexpr const char* kPortAddressEntries[] = {"0x3BC", "0x378", "0x278", "0x338", "0x238"};

// Fields, numbered in the order in which "OK" checks them.
enum PreferencesField : int {
  kNoField = 0,
  kPortAddressField = 1,
  kTimeOutField = 2,
  kTimeBaseKorrField = 3,
  kHexLineLenField = 4,
  kMessageBeapField = 5,
  kEndMessageField = 6,
};

// One control of the dialog; position and size in dialog units (the dialog
// is 132 by 101 units, 8-point font). field is kNoField for labels and buttons.
struct PreferencesControl {
  enum Kind { kLabel, kPortList, kNumber, kCheckBox, kOkButton, kCancelButton } kind;
  const char* text;
  int x, y, width, height;  // the port list's height is its open height
  PreferencesField field;
};
inline constexpr int kPreferencesWidth = 132;
inline constexpr int kPreferencesHeight = 101;
inline constexpr PreferencesControl kPreferencesControls[] = {
    {PreferencesControl::kLabel, "Portadresse", 5, 5, 40, 8, kNoField},
    {PreferencesControl::kPortList, "", 5, 15, 48, 65, kPortAddressField},
    {PreferencesControl::kLabel, "Timeout-Zähler", 5, 35, 48, 8, kNoField},
    {PreferencesControl::kNumber, "", 5, 45, 40, 14, kTimeOutField},
    {PreferencesControl::kCheckBox, "Signalton", 6, 66, 45, 10, kMessageBeapField},
    {PreferencesControl::kLabel, "Länge HEX-Zeile", 65, 5, 55, 8, kNoField},
    {PreferencesControl::kNumber, "", 65, 15, 40, 14, kHexLineLenField},
    {PreferencesControl::kLabel, "Korrektur", 65, 35, 30, 8, kNoField},
    {PreferencesControl::kNumber, "", 65, 45, 40, 14, kTimeBaseKorrField},
    {PreferencesControl::kCheckBox, "Schlußmeldung", 66, 66, 65, 10, kEndMessageField},
    {PreferencesControl::kOkButton, "OK", 6, 82, 50, 14, kNoField},
    {PreferencesControl::kCancelButton, "Abbrechen", 66, 82, 50, 14, kNoField},
};

// The fields as the user sees and edits them.
struct PreferencesInput {
  std::string port_address;   // "0x378"
  std::string time_out;       // decimal
  std::string timebase_korr;  // decimal
  std::string hex_line_len;   // decimal
  bool message_beap = false;
  bool end_message = false;
};

// What "OK" takes into the settings.
struct PreferencesValues {
  uint32_t PortAdress = 0;
  uint32_t TimeOut = 0;
  int TimeBaseKorr = 0;
  int HexLineLen = 0;  // already even
  int MessageBeap = 0;
  int EndMessage = 0;
};

struct PreferencesCheck {
  bool accepted = false;
  // When refused: the first field in check order that failed (the dialog puts
  // the focus there and stays open) and the message to show for it.
  PreferencesField field = kNoField;
  std::string message;
  PreferencesValues values;  // valid when accepted
};

// The fields filled from the settings: the port as "0x" with upper-case hex
// digits, the numbers in decimal, the check boxes checked when 1.
PreferencesInput PreferencesFromSettings(const Settings& settings);

// The check of "OK". The port address is read as a C integer literal (0x
// hexadecimal, leading 0 octal, else decimal; no digits give 0); every field
// must lie in the dialog range of its key in SettingsKeys (settings.h), the
// number fields holding a whole decimal number; the line length loses its
// lowest bit. A refused field gets the message "Geben Sie eine ganze Zahl
// zwischen MIN und MAX ein." (the port names its range in hexadecimal).
PreferencesCheck CheckPreferences(const PreferencesInput& input);

// Takes accepted values into the settings (the caller reconfigures the port link).
void ApplyPreferences(const PreferencesValues& values, Settings& settings);

}  // namespace zivivar
