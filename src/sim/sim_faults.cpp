#include "sim/sim_faults.h"

#include <cctype>
#include <optional>
#include <vector>

namespace zivivar::sim {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t at = text.find(separator);
    parts.push_back(Trim(text.substr(0, at)));
    if (at == std::string_view::npos)
      return parts;
    text.remove_prefix(at + 1);
  }
}

// A whole field as a C literal; nothing when it is not one or exceeds max.
std::optional<uint64_t> Number(std::string_view text, uint64_t max) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() > 1 && text[0] == '0') {
    base = 8;
    text.remove_prefix(1);
  }
  if (text.empty())
    return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<unsigned>(c - 'A' + 10);
    else
      return std::nullopt;
    if (digit >= base)
      return std::nullopt;
    value = value * base + digit;
    if (value > max)
      return std::nullopt;
  }
  return value;
}

bool ParseStuck(std::string_view value, StuckScope scope, TargetFaults* target) {
  std::vector<std::string_view> fields = Split(value, ':');
  StuckBits stuck;
  stuck.scope = scope;
  if (!fields.empty() && Lower(fields[0]) == "ee") {
    stuck.eeprom = true;
    fields.erase(fields.begin());
  }
  if (fields.size() < 2 || fields.size() > 3)
    return false;
  const auto address = Number(fields[0], kMaxChipMemory - 1);
  const auto mask = Number(fields[1], 0xFF);
  const auto level = fields.size() == 3 ? Number(fields[2], 0xFF) : std::optional<uint64_t>(0);
  if (!address || !mask || *mask == 0 || !level)
    return false;
  stuck.address = static_cast<uint32_t>(*address);
  stuck.mask = static_cast<uint8_t>(*mask);
  stuck.level = static_cast<uint8_t>(*level & *mask);
  target->stuck.push_back(stuck);
  return true;
}

bool ParseItem(std::string_view item, SimFaults* faults) {
  const size_t equals = item.find('=');
  const std::string key = Lower(Trim(item.substr(0, equals)));
  const bool has_value = equals != std::string_view::npos;
  const std::string_view value = has_value ? Trim(item.substr(equals + 1)) : std::string_view();

  if (!has_value) {
    if (key == "noadapter")
      faults->no_adapter = true;
    else if (key == "loopback")
      faults->loopback_xor = 0xFF;
    else if (key == "nochip")
      faults->target.no_chip = true;
    else if (key == "never-finish")
      faults->target.never_finish = true;
    else if (key == "nolock")
      faults->target.lock_ignored = true;
    else
      return false;
    return true;
  }
  if (key == "lost-after") {
    const auto writes = Number(value, UINT64_MAX / 16);
    if (!writes)
      return false;
    faults->adapter_lost = true;
    faults->lost_after = *writes;
    return true;
  }
  if (key == "loopback") {
    const auto mask = Number(value, 0xFF);
    if (!mask || *mask == 0)
      return false;
    faults->loopback_xor = static_cast<uint8_t>(*mask);
    return true;
  }
  if (key == "stuck")
    return ParseStuck(value, StuckScope::kCell, &faults->target);
  if (key == "stuck-read")
    return ParseStuck(value, StuckScope::kRead, &faults->target);
  if (key == "stuck-write")
    return ParseStuck(value, StuckScope::kWrite, &faults->target);
  return false;
}

}  // namespace

int ParseSimFaults(std::string_view text, SimFaults* faults, std::string* bad_item) {
  SimFaults parsed;
  for (const std::string_view item : Split(text, ',')) {
    if (item.empty())
      continue;
    if (!ParseItem(item, &parsed)) {
      if (bad_item != nullptr)
        *bad_item = std::string(item);
      return kFaultsBadItem;
    }
  }
  *faults = std::move(parsed);
  return kFaultsOk;
}

}  // namespace zivivar::sim
