#include "app/ffdshow_switches.h"

#include <array>
#include <utility>

#include "app/registry_values.h"

namespace quorvel {
namespace {

using SwitchField = std::int32_t Settings::*;
constexpr std::array<std::pair<std::string_view, SwitchField>, 4> kSwitches = {{
    {"div3", &Settings::FfdshowDiv3},
    {"divx", &Settings::FfdshowDivx},
    {"dx50", &Settings::FfdshowDx50},
    {"xvid", &Settings::FfdshowXvid},
}};

}  // namespace

bool LoadFfdshowSwitches(Registry& registry, Settings& settings) {
  ScopedKey key(registry, registry.OpenKey(kLocalMachine, kFfdshowKeyPath));
  if (!key) return false;
  settings.FfdshowFound = 1;
  for (const auto& [name, field] : kSwitches) {
    ReadNumber(registry, key.get(), name, settings.*field);
  }
  return true;
}

bool SaveFfdshowSwitches(Registry& registry, const Settings& settings) {
  if (settings.FfdshowFound == 0) return false;
  ScopedKey key(registry, registry.OpenKey(kLocalMachine, kFfdshowKeyPath));
  if (!key) return false;
  for (const auto& [name, field] : kSwitches) {
    if (!WriteNumber(registry, key.get(), name, settings.*field)) return false;
  }
  return true;
}

}  // namespace quorvel
