#include "app/theme.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

FontDescription FontDescription::Default() {
  FontDescription font;
  font.height = 20;
  font.weight = 700;
  font.charSet = 1;
  constexpr std::string_view kFace = "Arial";
  std::copy(kFace.begin(), kFace.end(), font.faceName.begin());
  return font;
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

}  // namespace quorvel
