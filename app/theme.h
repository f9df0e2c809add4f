#pragma once
// Colours and fonts of the full-screen window, and their stored form.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace quorvel {

// 0x00BBGGRR, as the Windows COLORREF.
using ColorRef = std::uint32_t;
constexpr ColorRef Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
         (static_cast<ColorRef>(b) << 16);
}

// The 60-byte logical font record (LOGFONTA), held field by field and converted to
// and from its stored little-endian bytes.
struct FontDescription {
  static constexpr std::size_t kSize = 60;
  static constexpr std::size_t kFaceNameSize = 32;

  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::array<char, kFaceNameSize> faceName{};  // zero-terminated, rest zero

  // Height 20, weight 700, character set 1, face "Arial", everything else zero.
  static FontDescription Default();

  std::array<std::uint8_t, kSize> ToBytes() const;
  // Copies `size` bytes (at most kSize) over the start of the record's stored form.
  void OverwriteFrom(const std::uint8_t* bytes, std::size_t size);
  std::string FaceName() const;  // up to the first NUL
  bool operator==(const FontDescription&) const = default;
};

class Theme {
 public:
  Theme();
  virtual ~Theme() = default;
  Theme(const Theme&) = default;
  Theme& operator=(const Theme&) = default;

  // Reads the values from sub-key "Themes" of `settingsKey`, or from `settingsKey`
  // itself when "Themes" cannot be opened. Always true.
  bool Load(Registry& registry, RegKey settingsKey);
  // Writes all thirteen values into "Themes" (created when missing); false at the
  // first failed write.
  bool Save(Registry& registry, RegKey settingsKey) const;
  // Removes the thirteen values of the earlier layout from `settingsKey` itself.
  static void DeleteLegacyValues(Registry& registry, RegKey settingsKey);

  ColorRef LabelFg;
  ColorRef LabelBg;
  FontDescription LabelFont;
  ColorRef MoviesFg;
  ColorRef MoviesBg;
  ColorRef MoviesHighFg;
  ColorRef MoviesHighBg;
  FontDescription MoviesFont;
  ColorRef ChoiceFg;
  ColorRef ChoiceBg;
  ColorRef ChoiceHighFg;
  ColorRef ChoiceHighBg;
  FontDescription ChoiceFont;

  bool operator==(const Theme&) const = default;
};

// The stored names of the ten colours and the three fonts, in the order they are
// stored, bound to their fields.
struct ThemeColorValue {
  std::string_view name;
  ColorRef Theme::*field;
};
struct ThemeFontValue {
  std::string_view name;
  FontDescription Theme::*field;
};
extern const std::array<ThemeColorValue, 10> kThemeColors;
extern const std::array<ThemeFontValue, 3> kThemeFonts;

}  // namespace quorvel
