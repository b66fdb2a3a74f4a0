#include "config/preferences.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "common/c_literal.h"

namespace zivivar {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A number field holds a whole decimal number with an optional sign and
// nothing else but blanks around it; anything else is no number.
std::optional<int64_t> ParseNumberField(std::string_view text) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty())
    return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    // Beyond every range anyway; stop before the number overflows.
    if (value > 1000000000000LL)
      return negative ? INT64_MIN : INT64_MAX;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::string RangeMessage(const std::string& low, const std::string& high) {
  return "Geben Sie eine ganze Zahl zwischen " + low + " und " + high + " ein.";
}

const SettingsKey& Key(const char* name) {
  return *FindSettingsKey(name);
}

// Checks one number field against its key's dialog range; on refusal fills
// check and returns nothing.
std::optional<int64_t> CheckNumber(const std::string& text, const char* key, PreferencesField field,
                                   PreferencesCheck& check) {
  const int64_t low = Key(key).dialog_low;
  const int64_t high = Key(key).dialog_high;
  const std::optional<int64_t> value = ParseNumberField(text);
  if (value && *value >= low && *value <= high)
    return value;
  check.field = field;
  check.message = RangeMessage(std::to_string(low), std::to_string(high));
  return std::nullopt;
}

std::string HexText(int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

PreferencesInput PreferencesFromSettings(const Settings& settings) {
  PreferencesInput input;
  char port[16];
  std::snprintf(port, sizeof port, "0x%X", settings.PortAdress);
  input.port_address = port;
  input.time_out = std::to_string(settings.TimeOut);
  input.timebase_korr = std::to_string(settings.TimeBaseKorr);
  input.hex_line_len = std::to_string(settings.HexLineLen);
  input.message_beap = settings.MessageBeap == 1;
  input.end_message = settings.EndMessage == 1;
  return input;
}

PreferencesCheck CheckPreferences(const PreferencesInput& input) {
  PreferencesCheck check;
  // The file accepts only this range at load; refusing others here keeps a
  // typing slip from reaching the port and from being replaced at the next start.
  const SettingsKey& port_key = Key("PortAdress");
  const uint32_t port = ParseCLiteral(input.port_address);
  if (port < port_key.dialog_low || port > port_key.dialog_high) {
    check.field = kPortAddressField;
    check.message = RangeMessage(HexText(port_key.dialog_low), HexText(port_key.dialog_high));
    return check;
  }
  const auto time_out = CheckNumber(input.time_out, "TimeOut", kTimeOutField, check);
  if (!time_out)
    return check;
  const auto korr = CheckNumber(input.timebase_korr, "TimeBaseKorr", kTimeBaseKorrField, check);
  if (!korr)
    return check;
  const auto line_len = CheckNumber(input.hex_line_len, "HexLineLen", kHexLineLenField, check);
  if (!line_len)
    return check;

  check.accepted = true;
  check.values.PortAdress = port;
  check.values.TimeOut = static_cast<uint32_t>(*time_out);
  check.values.TimeBaseKorr = static_cast<int>(*korr);
  check.values.HexLineLen = static_cast<int>(*line_len) & ~1;
  check.values.MessageBeap = input.message_beap ? 1 : 0;
  check.values.EndMessage = input.end_message ? 1 : 0;
  return check;
}

void ApplyPreferences(const PreferencesValues& values, Settings& settings) {
  settings.PortAdress = values.PortAdress;
  settings.TimeOut = values.TimeOut;
  settings.TimeBaseKorr = values.TimeBaseKorr;
  settings.HexLineLen = values.HexLineLen;
  settings.MessageBeap = values.MessageBeap;
  settings.EndMessage = values.EndMessage;
}

}  // namespace zivivar
