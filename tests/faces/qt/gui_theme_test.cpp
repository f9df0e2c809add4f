// The theme's stored colours and fonts as Qt colours and fonts, both ways.

#include "faces/qt/resources/gui_theme.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <string>

#include "faces/qt/resources/gui_text.h"

namespace quorvel {
namespace {

FontDescription Font(std::int32_t height, std::string_view face, std::int32_t weight = 400) {
  FontDescription font = FontDescription::Default();
  font.height = height;
  font.weight = weight;
  font.faceName = {};
  std::copy(face.begin(), face.end(), font.faceName.begin());
  return font;
}

bool Installed(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

TEST(GuiThemeTest, ColoursAreRedGreenBlueFromTheLowBytes) {
  EXPECT_EQ(ToQColor(Rgb(255, 255, 128)), QColor(255, 255, 128));
  EXPECT_EQ(ToQColor(0x00402010u), QColor(0x10, 0x20, 0x40));
  EXPECT_EQ(ToQColor(0xFF000000u), QColor(0, 0, 0)) << "the top byte is not a colour";
  EXPECT_EQ(ToColorRef(QColor(0, 128, 192)), Rgb(0, 128, 192));
  EXPECT_EQ(ToColorRef(QColor(1, 2, 3, 4)), Rgb(1, 2, 3)) << "alpha is dropped";
  EXPECT_EQ(ToColorRef(QColor::fromHsv(120, 255, 255)), Rgb(0, 255, 0));
}

TEST(GuiThemeTest, AStoredFontBecomesTheFontItDescribes) {
  ASSERT_TRUE(Installed("DejaVu Serif")) << "fonts-dejavu-core is part of the set-up";
  // A negative height is the character height: the pixel size.
  FontDescription serif = Font(-24, "DejaVu Serif", 300);
  serif.italic = 1;
  serif.underline = 1;
  serif.strikeOut = 255;
  const QFont font = ToQFont(serif, 1080);
  EXPECT_EQ(font.pixelSize(), 24);
  EXPECT_EQ(QFontInfo(font).family(), "DejaVu Serif");
  EXPECT_EQ(font.weight(), 300);
  EXPECT_TRUE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_TRUE(font.strikeOut());

  // The default theme font: bold, 20 pixels of cell height (ascent + descent), face "Arial"
  // or, where Arial is not installed, a sans-serif face.
  const QFont standard = ToQFont(FontDescription::Default(), 1080);
  EXPECT_EQ(standard.weight(), QFont::Bold);
  EXPECT_FALSE(standard.italic() || standard.underline() || standard.strikeOut());
  EXPECT_NEAR(QFontMetrics(standard).height(), 20, 1);
  EXPECT_LT(standard.pixelSize(), 20);
  EXPECT_TRUE(Installed(QFontInfo(standard).family()));

  // Weight 0 is "don't care": normal. Height 0 keeps Qt's default size.
  const QFont plain = ToQFont(Font(0, "DejaVu Sans", 0), 1080);
  EXPECT_EQ(plain.weight(), QFont::Normal);
  EXPECT_EQ(plain.pixelSize(), QFont().pixelSize());
  EXPECT_EQ(ToQFont(Font(-12, "DejaVu Sans", 5000), 1080).weight(), 1000);
}

TEST(GuiThemeTest, AMissingFaceFallsBackToASansSerifFaceOfTheSameHeight) {
  const QString sans = QFontInfo(ToQFont(Font(-30, "DejaVu Sans"), 1080)).family();
  for (std::string_view face : {"No Such Face 7f3a", "", "MS Sans Serif"}) {
    if (Installed(QString::fromLatin1(face.data(), static_cast<qsizetype>(face.size())))) continue;
    const QFont font = ToQFont(Font(-30, face), 1080);
    EXPECT_EQ(font.pixelSize(), 30) << face;
    EXPECT_EQ(QFontInfo(font).family(), sans) << face;
  }
  // All 32 bytes of the face name used, no terminating zero: still a font.
  FontDescription full = Font(-30, "");
  full.faceName.fill('Z');
  EXPECT_EQ(ToQFont(full, 1080).pixelSize(), 30);
}

TEST(GuiThemeTest, AFontHigherThanTheScreenIsDrawnAsHighAsTheScreen) {
  // Three bytes laid over the start of the stored default font: height 0x030201 = 197121.
  FontDescription broken = FontDescription::Default();
  const std::uint8_t threeBytes[] = {0x01, 0x02, 0x03};
  broken.OverwriteFrom(threeBytes, sizeof threeBytes);
  ASSERT_EQ(broken.height, 197121);
  const QFont font = ToQFont(broken, 720);
  EXPECT_LE(font.pixelSize(), 720);
  EXPECT_LE(QFontMetrics(font).height(), 721);
  EXPECT_GE(QFontMetrics(font).height(), 700);

  broken.height = -197121;
  EXPECT_EQ(ToQFont(broken, 1080).pixelSize(), 1080);
  broken.height = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(ToQFont(broken, 1080).pixelSize(), 1080);
}

TEST(GuiThemeTest, AQtFontBecomesTheDescriptionAFontChooserStores) {
  QFont chosen("DejaVu Serif");
  chosen.setPixelSize(18);
  chosen.setWeight(QFont::Bold);
  chosen.setItalic(true);
  FontDescription expected{};
  expected.height = -18;
  expected.weight = 700;
  expected.italic = 1;
  expected.charSet = 1;
  const std::string face = "DejaVu Serif";
  std::copy(face.begin(), face.end(), expected.faceName.begin());
  EXPECT_EQ(ToFontDescription(chosen), expected);

  // And back: the same font, and the same 60 stored bytes on a second round.
  const QFont again = ToQFont(expected, 1080);
  EXPECT_EQ(again.pixelSize(), 18);
  EXPECT_EQ(again.family(), "DejaVu Serif");
  EXPECT_EQ(again.weight(), QFont::Bold);
  EXPECT_TRUE(again.italic());
  EXPECT_EQ(ToFontDescription(again).ToBytes(), expected.ToBytes());
  chosen.setUnderline(true);
  chosen.setStrikeOut(true);
  const FontDescription lined = ToFontDescription(chosen);
  EXPECT_EQ(lined.underline, 1);
  EXPECT_EQ(lined.strikeOut, 1);
  EXPECT_TRUE(ToQFont(lined, 1080).underline());

  // A font in points gets the pixel height it is laid out with.
  QFont points("DejaVu Sans");
  points.setPointSize(12);
  EXPECT_EQ(ToFontDescription(points).height, -QFontInfo(points).pixelSize());
  EXPECT_LT(ToFontDescription(points).height, 0);

  // A face name longer than the record holds is cut to 31 bytes and a terminating zero,
  // at a whole character: here the two bytes of the omega would be bytes 31 and 32.
  const std::string thirty = "CondensedDisplayFaceNumber1234";
  ASSERT_EQ(thirty.size(), 30u);
  const QFont longName(ToQString(thirty + "\u03A9mega"));
  const FontDescription cut = ToFontDescription(longName);
  EXPECT_EQ(cut.FaceName(), thirty);
  EXPECT_EQ(cut.faceName[30], '\0');
  EXPECT_EQ(cut.faceName.back(), '\0');
  const QFont shortName(ToQString("\u03A9mega"));
  EXPECT_EQ(ToQString(ToFontDescription(shortName).FaceName()), shortName.family());
}

}  // namespace
}  // namespace quorvel
