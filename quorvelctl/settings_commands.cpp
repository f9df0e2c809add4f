#include <charconv>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/registry_values.h"
#include "quorvelctl/commands.h"
#include "quorvelctl/settings_view.h"
#include "quorvelctl/user_store.h"

namespace quorvelctl {
namespace {

constexpr int kUsageError = 2;
constexpr int kSaveError = 1;

// A change asked for on the command line, checked before anything is loaded.
struct Change {
  const quorvel::StoredSetting* setting;
  std::string text;
  std::uint32_t bits = 0;
};

// Checks "NAME=VALUE"; on a fault prints why and returns false.
bool ParseChange(const std::string& assignment, Change& change) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string::npos) {
    std::fprintf(stderr, "quorvelctl: \"%s\" is not NAME=VALUE\n", assignment.c_str());
    return false;
  }
  const std::string name = assignment.substr(0, equals);
  const std::string value = assignment.substr(equals + 1);
  change.setting = quorvel::FindStoredSetting(name);
  if (change.setting == nullptr) {
    std::string names;
    for (const auto& setting : quorvel::kStoredSettings) {
      names += (names.empty() ? "" : ", ") + std::string(setting.name);
    }
    std::fprintf(stderr, "quorvelctl: there is no setting \"%s\"; the settings are: %s\n",
                 name.c_str(), names.c_str());
    return false;
  }
  const quorvel::SettingRange& range = quorvel::RangeOf(change.setting->kind);
  if (change.setting->IsText()) {
    if (static_cast<std::int64_t>(value.size()) > range.high) {
      std::fprintf(stderr,
                   "quorvelctl: the value of \"%s\" is longer than %u bytes and could not be "
                   "read back\n",
                   name.c_str(), static_cast<unsigned>(range.high));
      return false;
    }
    change.text = value;
    return true;
  }
  // Only the values the setting's kind takes (the table in app/settings.h); a number
  // outside them, such as a start mode of 7, would be stored and mean nothing.
  long long number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
      !quorvel::InRange(change.setting->kind, number)) {
    const std::string meaning =
        range.meaning.empty() ? "" : " (" + std::string(range.meaning) + ")";
    std::fprintf(stderr,
                 "quorvelctl: \"%s\" is not a value of \"%s\", which takes a whole number "
                 "from %lld to %lld%s\n",
                 value.c_str(), std::string(change.setting->name).c_str(),
                 static_cast<long long>(range.low), static_cast<long long>(range.high),
                 meaning.c_str());
    return false;
  }
  change.bits = static_cast<std::uint32_t>(number);
  return true;
}

void Show(const quorvel::Settings& settings, bool json) {
  if (json) {
    std::printf("%s\n", SettingsJson(settings).dump(2).c_str());
  } else {
    std::printf("%s", SettingsText(settings).c_str());
  }
}

}  // namespace

void AddSettingsCommands(Command& app, Context& context) {
  auto* settings = app.add_subcommand("settings", "Show or change the stored settings");
  auto json = std::make_shared<bool>(false);
  settings->add_flag("--json", *json, "Show the settings as one JSON object");
  auto* set = settings->add_subcommand(
      "set", "Change stored values by their stored names (case-insensitive), then save");
  auto assignments = std::make_shared<std::vector<std::string>>();
  set->add_option("assignments", *assignments, "NAME=VALUE, e.g. \"DivX Player=BSPlayer\"")
      ->required();

  settings->callback([&context, json, set] {
    if (set->parsed()) return;
    quorvel::Settings loaded;
    LoadUserSettings(context.services(), loaded);
    Show(loaded, *json);
    context.exitCode = 0;
  });
  set->callback([&context, assignments] {
    std::vector<Change> changes;
    for (const auto& assignment : *assignments) {
      Change change;
      if (!ParseChange(assignment, change)) {
        context.exitCode = kUsageError;
        return;
      }
      changes.push_back(change);
    }
    // Only the named values are written: the store then changes just those in the
    // file, and what other processes saved meanwhile stays.
    UserStore store(context.services());
    const bool saved = store.Save([&changes](quorvel::Registry& registry, quorvel::RegKey key) {
      for (const auto& change : changes) {
        const bool written =
            change.setting->IsText()
                ? quorvel::WriteText(registry, key, change.setting->name, change.text)
                : quorvel::WriteNumber(registry, key, change.setting->name, change.bits);
        if (!written) return false;
      }
      return true;
    });
    context.exitCode = saved ? 0 : kSaveError;
  });
}

}  // namespace quorvelctl
