#include "faces/qt/resources/gui_theme.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "faces/qt/resources/gui_text.h"
#include "rules/screen/screen_layout.h"

namespace quorvel {
namespace {

constexpr int kNormalWeight = 400;
constexpr int kMinWeight = 1;
constexpr int kMaxWeight = 1000;
constexpr std::uint8_t kDefaultCharSet = 1;

bool IsInstalled(const QString& family) {
  return !family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The sans-serif face that the font matching of this system picks.
QString SansSerifFamily() {
  QFont sans(QStringLiteral("sans-serif"));
  sans.setStyleHint(QFont::SansSerif);
  return QFontInfo(sans).family();
}

// The pixel size whose ascent + descent is about `cellHeight`: measured at `cellHeight`
// and scaled by the face's own ratio of character to cell height.
int PixelSizeForCellHeight(QFont font, int cellHeight) {
  font.setPixelSize(cellHeight);
  const int measured = QFontMetrics(font).height();
  if (measured <= 0) return cellHeight;
  const double size = std::round(static_cast<double>(cellHeight) * cellHeight / measured);
  return std::clamp(static_cast<int>(size), 1, cellHeight);
}

// `bytes` cut to at most `size` bytes without splitting a UTF-8 sequence.
std::string CutUtf8(std::string bytes, std::size_t size) {
  if (bytes.size() <= size) return bytes;
  std::size_t end = size;
  // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
  bytes.resize(end);
  return bytes;
}

}  // namespace

QColor ToQColor(ColorRef color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

ColorRef ToColorRef(const QColor& color) {
  const QColor rgb = color.toRgb();
  return Rgb(static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
             static_cast<std::uint8_t>(rgb.blue()));
}

QFont ToQFont(const FontDescription& description, int screenHeight) {
  QFont font;
  const QString face = ToQString(description.FaceName());
  font.setFamily(IsInstalled(face) ? face : SansSerifFamily());
  font.setStyleHint(QFont::SansSerif);
  const int weight = description.weight == 0 ? kNormalWeight : description.weight;
  font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, kMinWeight, kMaxWeight)));
  font.setItalic(description.italic != 0);
  font.setUnderline(description.underline != 0);
  font.setStrikeOut(description.strikeOut != 0);
  const int height = screen::DrawnFontHeight(description.height, screenHeight);
  if (height > 0) {
    font.setPixelSize(description.height < 0 ? height : PixelSizeForCellHeight(font, height));
  }
  return font;
}

FontDescription ToFontDescription(const QFont& font) {
  FontDescription description;
  // A font given in points has the pixel size that Qt lays it out at on the screen, as
  // Windows converts a chosen font with the screen's resolution.
  const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
  description.height = -pixels;
  description.weight = font.weight();
  description.italic = font.italic() ? 1 : 0;
  description.underline = font.underline() ? 1 : 0;
  description.strikeOut = font.strikeOut() ? 1 : 0;
  description.charSet = kDefaultCharSet;
  const std::string face = CutUtf8(FromQString(font.family()), FontDescription::kFaceNameSize - 1);
  std::copy(face.begin(), face.end(), description.faceName.begin());
  return description;
}

}  // namespace quorvel
