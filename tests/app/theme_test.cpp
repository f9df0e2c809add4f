#include "app/theme.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/memory_registry.h"

namespace quorvel {
namespace {

constexpr std::string_view kMain = "Software\\Ostrell\\Quorvel";
constexpr std::string_view kThemes = "Software\\Ostrell\\Quorvel\\Themes";

TEST(FontDescription, DefaultHasTheSixtyByteLayout) {
  std::array<std::uint8_t, 60> expected{};
  expected[0] = 20;     // height
  expected[16] = 0xBC;  // weight 700
  expected[17] = 0x02;
  expected[23] = 1;  // character set
  const std::string_view face = "Arial";
  std::copy(face.begin(), face.end(), expected.begin() + 28);
  EXPECT_EQ(FontDescription::Default().ToBytes(), expected);

  FontDescription font;
  font.height = -13;
  font.italic = 1;
  font.pitchAndFamily = 0x22;
  font.faceName.fill('x');  // 32 bytes without a NUL
  const auto bytes = font.ToBytes();
  EXPECT_EQ(bytes[0], 0xF3);
  EXPECT_EQ(bytes[3], 0xFF);
  FontDescription back = FontDescription::Default();
  back.OverwriteFrom(bytes.data(), bytes.size());
  EXPECT_EQ(back, font);
  EXPECT_EQ(back.FaceName(), std::string(32, 'x'));
}

class ThemeStoreTest : public ::testing::Test {
 protected:
  MemoryRegistry registry;
  ScopedKey main{registry, registry.CreateKey(kCurrentUser, kMain)};
};

TEST_F(ThemeStoreTest, SaveWritesColoursAsDwordsAndFontsAsSixtyBytes) {
  const Theme theme;
  ASSERT_TRUE(theme.Save(registry, main.get()));
  EXPECT_EQ(registry.Value(kThemes, "LabelFg"), (std::vector<std::uint8_t>{0xFF, 0xFF, 0x80, 0}));
  EXPECT_EQ(registry.ValueType(kThemes, "MoviesHighBg"), RegType::Dword);
  EXPECT_EQ(registry.ValueType(kThemes, "ChoiceFont"), RegType::Binary);
  EXPECT_EQ(registry.Value(kThemes, "ChoiceFont")->size(), 60u);
  EXPECT_THAT(registry.ValueNames(kThemes),
              ::testing::ElementsAre("LabelFg", "LabelBg", "MoviesFg", "MoviesBg", "MoviesHighFg",
                                     "MoviesHighBg", "ChoiceFg", "ChoiceBg", "ChoiceHighFg",
                                     "ChoiceHighBg", "LabelFont", "MoviesFont", "ChoiceFont"));
}

TEST_F(ThemeStoreTest, LoadKeepsWhatDoesNotFitAndOverlaysShortFonts) {
  registry.Put(kThemes, "LabelFg", RegType::Dword, {1, 2, 3, 4, 5, 6, 7, 8});  // 8 bytes
  registry.Put(kThemes, "LabelBg", RegType::Sz, {0x10, 0x20, 0x30, 0});
  auto shortFont = FontDescription::Default().ToBytes();
  shortFont[0] = 40;
  shortFont[20] = 1;  // italic
  registry.Put(kThemes, "LabelFont", RegType::Binary,
               std::vector<std::uint8_t>(shortFont.begin(), shortFont.begin() + 28));
  registry.Put(kThemes, "MoviesFont", RegType::Binary, std::vector<std::uint8_t>(61, 0));

  Theme theme;
  EXPECT_TRUE(theme.Load(registry, main.get()));
  EXPECT_EQ(theme.LabelFg, Theme().LabelFg);
  EXPECT_EQ(theme.LabelBg, Rgb(0x10, 0x20, 0x30));
  EXPECT_EQ(theme.LabelFont.height, 40);
  EXPECT_EQ(theme.LabelFont.italic, 1);
  EXPECT_EQ(theme.LabelFont.FaceName(), "Arial");
  EXPECT_EQ(theme.MoviesFont, FontDescription::Default());
}

TEST_F(ThemeStoreTest, SaveStopsAtTheFirstFailedWriteAndKeepsEarlierValues) {
  registry.FailWrite(kThemes, "ChoiceFg");
  EXPECT_FALSE(Theme().Save(registry, main.get()));
  EXPECT_EQ(registry.ValueNames(kThemes).size(), 6u);
  EXPECT_EQ(registry.OpenKeyCount(), 1u);

  registry.FailKey(kThemes);
  EXPECT_FALSE(Theme().Save(registry, main.get()));
  Theme fromMain;
  EXPECT_TRUE(fromMain.Load(registry, main.get())) << "loading never fails";
}

TEST_F(ThemeStoreTest, DeleteLegacyValuesRemovesOnlyTheThirteenFromTheMainKey) {
  registry.PutDword(kMain, "LabelFg", 1);
  registry.PutDword(kMain, "ChoiceFont", 1);
  registry.PutDword(kMain, "FullScreen", 1);
  registry.PutDword(kThemes, "LabelFg", 1);
  Theme::DeleteLegacyValues(registry, main.get());
  EXPECT_THAT(registry.ValueNames(kMain), ::testing::ElementsAre("FullScreen"));
  EXPECT_THAT(registry.ValueNames(kThemes), ::testing::ElementsAre("LabelFg"));
}

}  // namespace
}  // namespace quorvel
