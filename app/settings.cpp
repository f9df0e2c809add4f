#include "app/settings.h"

#include <iterator>
#include <string>
#include <vector>

#include "app/ffdshow_switches.h"
#include "app/registry_values.h"
#include "registry_store/key_tree.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

namespace {

constexpr StoredSetting Switch(std::string_view name, std::int32_t Settings::*field) {
  return StoredSetting{name, field, nullptr, nullptr, SettingKind::Switch};
}
constexpr StoredSetting Text(std::string_view name, std::string Settings::*field) {
  return StoredSetting{name, nullptr, nullptr, field, SettingKind::Text};
}

constexpr SettingRange kRanges[] = {
    {SettingKind::StartMode, 0, 3,
     "0 configuration dialog, 1 full screen window, 2 icon in the tray, 3 system shell"},
    {SettingKind::Switch, 0, 1, "0 off, 1 on"},
    {SettingKind::Size, 0, 4294967295, ""},
    {SettingKind::PlaylistType, -1, 2, "-1 none, 0 BSPlayer, 1 ASX, 2 M3U"},
    {SettingKind::Text, 0, static_cast<std::int64_t>(kMaxSettingTextLength), ""},
};

}  // namespace

const SettingRange& RangeOf(SettingKind kind) {
  for (const auto& range : kRanges) {
    if (range.kind == kind) return range;
  }
  return kRanges[std::size(kRanges) - 1];
}

bool InRange(SettingKind kind, std::int64_t value) {
  const SettingRange& range = RangeOf(kind);
  return value >= range.low && value <= range.high;
}

const std::array<StoredSetting, kStoredNumberCount + kStoredTextCount> kStoredSettings = {{
    StoredSetting{"FullScreen", &Settings::FullScreen, nullptr, nullptr, SettingKind::StartMode},
    Switch("Shutdown", &Settings::Shutdown),
    Switch("CloseLaunch", &Settings::CloseLaunch),
    Switch("DisableAutorun", &Settings::DisableAutorun),
    Switch("ReadMDVD", &Settings::ReadMDVD),
    Switch("MDVDPlay", &Settings::MDVDPlay),
    Switch("ReadConf", &Settings::ReadConf),
    Switch("SubMDVD", &Settings::SubMDVD),
    Switch("SubMDVDAdj", &Settings::SubMDVDAdj),
    StoredSetting{"MinFileSize", nullptr, &Settings::MinFileSize, nullptr, SettingKind::Size},
    Switch("Autoplay", &Settings::Autoplay),
    Text("DivX Player", &Settings::DivXPlayer),
    Text("DivX Command Line", &Settings::DivXCommandLine),
    Text("DivX (Audio2) Player", &Settings::DivXAudio2Player),
    Text("DivX (Audio2) Command Line", &Settings::DivXAudio2CommandLine),
    Text("Mpeg Player", &Settings::MpegPlayer),
    Text("Mpeg Command Line", &Settings::MpegCommandLine),
    Text("VCD Player", &Settings::VcdPlayer),
    Text("VCD Command Line", &Settings::VcdCommandLine),
    Text("SVCD Player", &Settings::SvcdPlayer),
    Text("SVCD Command Line", &Settings::SvcdCommandLine),
    Text("DVD Player", &Settings::DvdPlayer),
    Text("DVD Command Line", &Settings::DvdCommandLine),
    Text("Blu-ray Player", &Settings::BlurayPlayer),
    Text("Blu-ray Command Line", &Settings::BlurayCommandLine),
    Text("Video Player", &Settings::VideoPlayer),
    Text("Video Command Line", &Settings::VideoCommandLine),
}};

std::uint32_t StoredSetting::NumberBits(const Settings& settings) const {
  if (unsignedNumber != nullptr) return settings.*unsignedNumber;
  return static_cast<std::uint32_t>(settings.*number);
}

void StoredSetting::SetNumberBits(Settings& settings, std::uint32_t bits) const {
  if (unsignedNumber != nullptr) {
    settings.*unsignedNumber = bits;
  } else {
    settings.*number = static_cast<std::int32_t>(bits);
  }
}

const StoredSetting* FindStoredSetting(std::string_view name) {
  for (const auto& setting : kStoredSettings) {
    if (EqualsIgnoringAsciiCase(setting.name, name)) return &setting;
  }
  return nullptr;
}

namespace {

// Says the values in `damaged` could not be read, in one message.
void ReportDamaged(const std::vector<std::string>& damaged, UserMessages& messages) {
  if (damaged.empty()) return;
  std::string text =
      res::FormatString(res::kStrDamagedSettings, {std::to_string(kTextBufferSize - 1)});
  for (const auto& value : damaged) text += "\n" + value;
  messages.Show(text, {}, MessageButtons::Ok, MessageIcon::Warning);
}

// Shows nothing.
class NoMessages final : public UserMessages {
 public:
  MessageAnswer Show(std::string_view, std::string_view, MessageButtons buttons,
                     MessageIcon) override {
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
  }
};

}  // namespace

bool Settings::Load(Registry& registry) {
  NoMessages none;
  return Load(registry, none);
}

bool Settings::Load(Registry& registry, UserMessages& messages) {
  ScopedKey main(registry, registry.CreateKey(kCurrentUser, kMainKeyPath));
  if (!main) return false;
  std::vector<std::string> damaged;
  for (const auto& setting : kStoredSettings) {
    if (setting.IsText()) {
      if (ReadTextValue(registry, main.get(), setting.name, this->*setting.text) ==
          TextRead::TooLong) {
        damaged.push_back("\"" + std::string(setting.name) + "\"");
      }
    } else {
      std::uint32_t bits = setting.NumberBits(*this);
      if (ReadNumber(registry, main.get(), setting.name, bits)) setting.SetNumberBits(*this, bits);
    }
  }
  Theme.Load(registry, main.get());
  const bool playersLoaded = LoadPlayers(registry, main.get(), Players, &damaged);
  ReportDamaged(damaged, messages);
  if (!playersLoaded) return false;
  LoadFfdshowSwitches(registry, *this);
  return true;
}

bool Settings::Save(Registry& registry) const {
  ScopedKey main(registry, registry.CreateKey(kCurrentUser, kMainKeyPath));
  if (!main) return false;
  static const Settings kDefaults;
  for (const auto& setting : kStoredSettings) {
    // A value the store lacks and that the record holds at the program's default is a
    // default, not a choice of the user's: it fills the gap only if the value is still
    // missing when the store merges the save, so a value that another program (quorvelctl)
    // stored after this one loaded stays.
    const bool isDefault = setting.IsText()
                               ? this->*setting.text == kDefaults.*setting.text
                               : setting.NumberBits(*this) == setting.NumberBits(kDefaults);
    const bool fill = isDefault && !ValueStored(registry, main.get(), setting.name);
    bool written = false;
    if (setting.IsText()) {
      written = fill ? WriteDefaultText(registry, main.get(), setting.name, this->*setting.text)
                     : WriteText(registry, main.get(), setting.name, this->*setting.text);
    } else {
      const std::uint32_t bits = setting.NumberBits(*this);
      written = fill ? WriteDefaultNumber(registry, main.get(), setting.name, bits)
                     : WriteNumber(registry, main.get(), setting.name, bits);
    }
    if (!written) return false;
  }
  if (!SavePlayers(registry, main.get(), Players)) return false;
  if (!Theme.Save(registry, main.get())) return false;
  quorvel::Theme::DeleteLegacyValues(registry, main.get());
  SaveFfdshowSwitches(registry, *this);
  return true;
}

}  // namespace quorvel
