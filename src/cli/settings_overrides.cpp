#include "cli/settings_overrides.h"

#include "sim/sim_faults.h"

namespace zivivar {
namespace {

bool CheckSimFault(const std::string& text, std::string& error) {
  sim::SimFaults faults;
  std::string bad_item;
  if (sim::ParseSimFaults(text, &faults, &bad_item) == sim::kFaultsOk)
    return true;
  error = "SimFault: unknown simulator fault switch '" + bad_item + "'";
  return false;
}

}  // namespace

bool CheckSettingsOverride(const std::string& key, const std::string& value, std::string& error) {
  const SettingsKey* info = FindSettingsKey(key);
  if (info == nullptr) {
    error = "unknown settings key '" + key + "'";
    return false;
  }
  Settings scratch;
  return SetSettingsValue(*info, value, scratch, &error) &&
         (info->member != SettingsKey::Member(&Settings::SimFault) || CheckSimFault(value, error));
}

bool ApplySettingsOverrides(const SettingsOverrides& overrides, Settings& settings,
                            std::string& error) {
  Settings changed = settings;
  for (const auto& [key, value] : overrides) {
    if (!CheckSettingsOverride(key, value, error) ||
        !SetSettingsValue(*FindSettingsKey(key), value, changed, &error)) {
      return false;
    }
  }
  if (changed.Simulator == 1 && !CheckSimFault(changed.SimFault, error))
    return false;
  settings = std::move(changed);
  return true;
}

}  // namespace zivivar
