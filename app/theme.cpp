#include "app/theme.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/registry_values.h"
#include "windows_rules/little_endian.h"

namespace quorvel {

namespace {

constexpr std::string_view kThemesKey = "Themes";

void PutInt32(std::uint8_t* at, std::int32_t value) {
  StoreLittleEndian32(at, static_cast<std::uint32_t>(value));
}

std::int32_t GetInt32(const std::uint8_t* at) {
  return static_cast<std::int32_t>(LoadLittleEndian32(at));
}

}  // namespace

const std::array<ThemeColorValue, 10> kThemeColors = {{
    {"LabelFg", &Theme::LabelFg},
    {"LabelBg", &Theme::LabelBg},
    {"MoviesFg", &Theme::MoviesFg},
    {"MoviesBg", &Theme::MoviesBg},
    {"MoviesHighFg", &Theme::MoviesHighFg},
    {"MoviesHighBg", &Theme::MoviesHighBg},
    {"ChoiceFg", &Theme::ChoiceFg},
    {"ChoiceBg", &Theme::ChoiceBg},
    {"ChoiceHighFg", &Theme::ChoiceHighFg},
    {"ChoiceHighBg", &Theme::ChoiceHighBg},
}};
const std::array<ThemeFontValue, 3> kThemeFonts = {{
    {"LabelFont", &Theme::LabelFont},
    {"MoviesFont", &Theme::MoviesFont},
    {"ChoiceFont", &Theme::ChoiceFont},
}};

FontDescription FontDescription::Default() {
  FontDescription font;
  font.height = 20;
  font.weight = 700;
  font.charSet = 1;
  constexpr std::string_view kFace = "Arial";
  std::copy(kFace.begin(), kFace.end(), font.faceName.begin());
  return font;
}

std::array<std::uint8_t, FontDescription::kSize> FontDescription::ToBytes() const {
  std::array<std::uint8_t, kSize> bytes{};
  PutInt32(&bytes[0], height);
  PutInt32(&bytes[4], width);
  PutInt32(&bytes[8], escapement);
  PutInt32(&bytes[12], orientation);
  PutInt32(&bytes[16], weight);
  bytes[20] = italic;
  bytes[21] = underline;
  bytes[22] = strikeOut;
  bytes[23] = charSet;
  bytes[24] = outPrecision;
  bytes[25] = clipPrecision;
  bytes[26] = quality;
  bytes[27] = pitchAndFamily;
  std::memcpy(&bytes[28], faceName.data(), kFaceNameSize);
  return bytes;
}

void FontDescription::OverwriteFrom(const std::uint8_t* bytes, std::size_t size) {
  auto stored = ToBytes();
  std::memcpy(stored.data(), bytes, std::min(size, kSize));
  height = GetInt32(&stored[0]);
  width = GetInt32(&stored[4]);
  escapement = GetInt32(&stored[8]);
  orientation = GetInt32(&stored[12]);
  weight = GetInt32(&stored[16]);
  italic = stored[20];
  underline = stored[21];
  strikeOut = stored[22];
  charSet = stored[23];
  outPrecision = stored[24];
  clipPrecision = stored[25];
  quality = stored[26];
  pitchAndFamily = stored[27];
  std::memcpy(faceName.data(), &stored[28], kFaceNameSize);
}

std::string FontDescription::FaceName() const {
  const auto end = std::find(faceName.begin(), faceName.end(), '\0');
  return std::string(faceName.begin(), end);
}

Theme::Theme()
    : LabelFg(Rgb(255, 255, 128)),
      LabelBg(Rgb(0, 0, 64)),
      LabelFont(FontDescription::Default()),
      MoviesFg(Rgb(0, 128, 192)),
      MoviesBg(Rgb(0, 0, 64)),
      MoviesHighFg(Rgb(128, 255, 255)),
      MoviesHighBg(Rgb(0, 0, 0)),
      MoviesFont(FontDescription::Default()),
      ChoiceFg(Rgb(0, 128, 192)),
      ChoiceBg(Rgb(0, 0, 64)),
      ChoiceHighFg(Rgb(0, 255, 128)),
      ChoiceHighBg(Rgb(0, 0, 64)),
      ChoiceFont(FontDescription::Default()) {}

bool Theme::Load(Registry& registry, RegKey settingsKey) {
  ScopedKey themes(registry, registry.OpenKey(settingsKey, kThemesKey));
  const RegKey from = themes ? themes.get() : settingsKey;
  for (const auto& [name, field] : kThemeColors) ReadNumber(registry, from, name, this->*field);
  for (const auto& [name, field] : kThemeFonts) {
    std::array<std::uint8_t, FontDescription::kSize> bytes{};
    if (const auto size = registry.QueryValue(from, name, bytes.data(), FontDescription::kSize)) {
      (this->*field).OverwriteFrom(bytes.data(), *size);
    }
  }
  return true;
}

bool Theme::Save(Registry& registry, RegKey settingsKey) const {
  ScopedKey themes(registry, registry.CreateKey(settingsKey, kThemesKey));
  if (!themes) return false;
  for (const auto& [name, field] : kThemeColors) {
    if (!WriteNumber(registry, themes.get(), name, this->*field)) return false;
  }
  for (const auto& [name, field] : kThemeFonts) {
    const auto bytes = (this->*field).ToBytes();
    if (!registry.SetValue(themes.get(), name, RegType::Binary, bytes.data(),
                           FontDescription::kSize)) {
      return false;
    }
  }
  return true;
}

void Theme::DeleteLegacyValues(Registry& registry, RegKey settingsKey) {
  for (const auto& [name, field] : kThemeColors) registry.DeleteValue(settingsKey, name);
  for (const auto& [name, field] : kThemeFonts) registry.DeleteValue(settingsKey, name);
}

}  // namespace quorvel
