#include "app/settings.h"

#include <string>
#include <vector>

#include "app/ffdshow_switches.h"
#include "app/registry_values.h"
#include "registry_store/key_tree.h"

namespace quorvel {

namespace {

constexpr StoredSetting Number(std::string_view name, std::int32_t Settings::*field) {
  return StoredSetting{name, field, nullptr, nullptr};
}
constexpr StoredSetting Text(std::string_view name, std::string Settings::*field) {
  return StoredSetting{name, nullptr, nullptr, field};
}

}  // namespace

const std::array<StoredSetting, kStoredNumberCount + kStoredTextCount> kStoredSettings = {{
    Number("FullScreen", &Settings::FullScreen),
    Number("Shutdown", &Settings::Shutdown),
    Number("CloseLaunch", &Settings::CloseLaunch),
    Number("DisableAutorun", &Settings::DisableAutorun),
    Number("ReadMDVD", &Settings::ReadMDVD),
    Number("MDVDPlay", &Settings::MDVDPlay),
    Number("ReadConf", &Settings::ReadConf),
    Number("SubMDVD", &Settings::SubMDVD),
    Number("SubMDVDAdj", &Settings::SubMDVDAdj),
    StoredSetting{"MinFileSize", nullptr, &Settings::MinFileSize, nullptr},
    Number("Autoplay", &Settings::Autoplay),
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
  std::string text = "Damaged settings: these stored values are longer than " +
                     std::to_string(kTextBufferSize - 1) +
                     " bytes and cannot be read, so each setting keeps its previous value "
                     "until it is set again:";
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
  for (const auto& setting : kStoredSettings) {
    const bool written =
        setting.IsText()
            ? WriteText(registry, main.get(), setting.name, this->*setting.text)
            : WriteNumber(registry, main.get(), setting.name, setting.NumberBits(*this));
    if (!written) return false;
  }
  if (!SavePlayers(registry, main.get(), Players)) return false;
  if (!Theme.Save(registry, main.get())) return false;
  quorvel::Theme::DeleteLegacyValues(registry, main.get());
  SaveFfdshowSwitches(registry, *this);
  return true;
}

}  // namespace quorvel
