#include "cli/settings_overrides.h"

#include "sim/sim_faults.h"

namespace zivivar {
namespace {

bool CheckSimFault(const std::string& text, std::string& error, const CliText& _) {
  sim::SimFaults faults;
  std::string bad_item;
  if (sim::ParseSimFaults(text, &faults, &bad_item) == sim::kFaultsOk)
    return true;
  error = Printf(_("SimFault: unknown simulator fault switch '%s'"), bad_item.c_str());
  return false;
}

// SetSettingsValue into settings, with the reason in the run's language.
bool SetValue(const SettingsKey& key, const std::string& value, Settings& settings,
              std::string& error, const CliText& _) {
  if (SetSettingsValue(key, value, settings))
    return true;
  if (key.kind == SettingsKey::kHexAddress) {
    error = Printf(_("%s takes a hexadecimal address from 0x%llx to 0x%llx, not '%s'"), key.name,
                   static_cast<unsigned long long>(key.low),
                   static_cast<unsigned long long>(key.high), value.c_str());
  } else {
    error =
        Printf(_("%s takes a whole number from %lld to %lld, not '%s'"), key.name,
               static_cast<long long>(key.low), static_cast<long long>(key.high), value.c_str());
  }
  return false;
}

}  // namespace

bool CheckSettingsOverride(const std::string& key, const std::string& value, std::string& error,
                           const CliText& _) {
  const SettingsKey* info = FindSettingsKey(key);
  if (info == nullptr) {
    error = Printf(_("unknown settings key '%s'"), key.c_str());
    return false;
  }
  Settings scratch;
  return SetValue(*info, value, scratch, error, _) &&
         (info->member != SettingsKey::Member(&Settings::SimFault) ||
          CheckSimFault(value, error, _));
}

bool ApplySettingsOverrides(const SettingsOverrides& overrides, Settings& settings,
                            std::string& error, const CliText& _) {
  Settings changed = settings;
  for (const auto& [key, value] : overrides) {
    if (!CheckSettingsOverride(key, value, error, _) ||
        !SetValue(*FindSettingsKey(key), value, changed, error, _)) {
      return false;
    }
  }
  if (changed.Simulator == 1 && !CheckSimFault(changed.SimFault, error, _))
    return false;
  settings = std::move(changed);
  return true;
}

}  // namespace zivivar
