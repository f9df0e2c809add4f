#include "rules/screen/screen_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "picture/cover_picture.h"
#include "platform/fake/fake_file_tree.h"
#include "platform/fake/recording_messages.h"

namespace quorvel::screen {
namespace {

// Template 129 in dialog units: the window is 200 x 150; label, movie list and choice
// list as (x, y, width, height).
struct DuBox {
  int x, y, width, height;
};
constexpr DuBox kWindowDu{0, 0, 200, 150};
constexpr DuBox kLabelDu{7, 7, 186, 17};
constexpr DuBox kMovieListDu{7, 28, 186, 21};
constexpr DuBox kChoiceListDu{147, 110, 46, 33};

// Dialog units to pixels with base units (cx, cy): x in quarters of cx, y in eighths of
// cy, each edge rounded to the nearest pixel on its own.
Rect ToPixels(DuBox box, int cx, int cy) {
  auto px = [](int units, int base, int parts) {
    return static_cast<int>(std::lround(units * static_cast<double>(base) / parts));
  };
  return {px(box.x, cx, 4), px(box.y, cy, 8), px(box.x + box.width, cx, 4),
          px(box.y + box.height, cy, 8)};
}

constexpr int kRow = 30;  // a row in the default theme font: 20 + 5 + 5

// What the window does: the template at its design size, both lists fitted to their
// rows, then maximised to `screen` and fitted again.
ScreenLayout Maximise(int cx, int cy, const Rect& screen, int movieRows,
                      const std::vector<int>& choiceRows) {
  const Rect design = ToPixels(kWindowDu, cx, cy);
  ScreenLayout layout{ToPixels(kLabelDu, cx, cy), ToPixels(kMovieListDu, cx, cy),
                      ToPixels(kChoiceListDu, cx, cy)};
  layout.movieList = FitMovieList(layout.movieList, movieRows, kRow, design);
  layout.choiceList = FitChoiceList(layout.choiceList, choiceRows, design);
  layout = Relayout(layout, design, screen);
  layout.movieList = FitMovieList(layout.movieList, movieRows, kRow, screen);
  layout.choiceList = FitChoiceList(layout.choiceList, choiceRows, screen);
  return layout;
}

TEST(ScreenLayoutTest, TheTemplateStretchedToTheScreenAndTheListsFitted) {
  // Base units 6 x 13 (an 8-point dialog font at 96 dpi): the window is 300 x 244 pixels
  // at its design size; label (11, 11, 290, 39), movie list (11, 46, 290, 80), choice list
  // (221, 179, 290, 232). The numbers below are those edges times 1280/300 and 720/244
  // (1920/300 and 1080/244), truncated, then the movie list two rows of 30 high and the
  // choice list three rows of 30 up from its bottom.
  const std::vector<int> threeChoices{kRow, kRow, kRow};
  const ScreenLayout hd = Maximise(6, 13, {0, 0, 1280, 720}, 3, threeChoices);
  EXPECT_EQ(hd.label, (Rect{46, 32, 1237, 115}));
  EXPECT_EQ(hd.movieList, (Rect{46, 135, 1237, 195}));
  EXPECT_EQ(hd.choiceList, (Rect{942, 594, 1237, 684}));

  const ScreenLayout fullHd = Maximise(6, 13, {0, 0, 1920, 1080}, 3, threeChoices);
  EXPECT_EQ(fullHd.label, (Rect{70, 48, 1856, 172}));
  EXPECT_EQ(fullHd.movieList, (Rect{70, 203, 1856, 263}));
  EXPECT_EQ(fullHd.choiceList, (Rect{1414, 936, 1856, 1026}));

  // The cover in the free area left of the choices and below the movies, 10 pixels from
  // every edge: 1280 x 720 leaves 922 x 505 at (10, 205), where a 1844 x 1010 picture is
  // halved; 1920 x 1080 leaves 1394 x 797 at (10, 273), where 2000 x 1594 is halved and
  // centred across.
  RecordingMessages messages;
  FakeFileTree files;
  CoverPicture picture(files, messages);
  ASSERT_TRUE(picture.TakeOver(RgbImage::Allocate(1844, 1010, true)));
  EXPECT_EQ(picture.PlaceCoverPicture({0, 0, 1280, 720}, hd.movieList, hd.choiceList),
            (Rect{10, 205, 932, 710}));
  ASSERT_TRUE(picture.TakeOver(RgbImage::Allocate(2000, 1594, true)));
  EXPECT_EQ(picture.PlaceCoverPicture({0, 0, 1920, 1080}, fullHd.movieList, fullHd.choiceList),
            (Rect{207, 273, 1207, 1070}));
}

TEST(ScreenLayoutTest, TheStretchedLayoutKeepsTheTemplateProportionsForAnyFont) {
  // Label from 3.5 % to 96.5 % of the width and 4.7 % to 16 % of the height; movie list at
  // the same left and right from 18.7 %; choices from 73.5 % to 96.5 % across, ending at
  // 95.3 % down. Rounding to whole pixels at the design size moves an edge by less than
  // one percent.
  for (const auto [cx, cy] : {std::array{6, 13}, std::array{7, 15}, std::array{8, 16}}) {
    for (const Rect screen : {Rect{0, 0, 1280, 720}, Rect{0, 0, 1920, 1080}}) {
      const ScreenLayout layout = Maximise(cx, cy, screen, 1, {kRow, kRow});
      const double w = screen.Width() / 100.0;
      const double h = screen.Height() / 100.0;
      SCOPED_TRACE(::testing::Message() << cx << "x" << cy << " on " << screen.Width());
      EXPECT_NEAR(layout.label.left, 3.5 * w, w);
      EXPECT_NEAR(layout.label.right, 96.5 * w, w);
      EXPECT_NEAR(layout.label.top, 4.7 * h, h);
      EXPECT_NEAR(layout.label.bottom, 16 * h, h);
      EXPECT_EQ(layout.movieList.left, layout.label.left);
      EXPECT_EQ(layout.movieList.right, layout.label.right);
      EXPECT_NEAR(layout.movieList.top, 18.7 * h, h);
      EXPECT_EQ(layout.movieList.Height(), kRow) << "one movie, one row";
      EXPECT_NEAR(layout.choiceList.left, 73.5 * w, w);
      EXPECT_NEAR(layout.choiceList.right, 96.5 * w, w);
      EXPECT_NEAR(layout.choiceList.bottom, 95.3 * h, h);
      EXPECT_EQ(layout.choiceList.Height(), 2 * kRow);
    }
  }
}

TEST(ScreenLayoutTest, ScalingTruncatesEachEdgeAndSurvivesDegenerateWindows) {
  const Rect design{0, 0, 300, 244};
  // 11 x 1280/300 = 46.93 and -11 x 1280/300 = -46.93: toward zero, not down.
  EXPECT_EQ(ScaleRect({11, -11, -11, 11}, design, {0, 0, 1280, 720}), (Rect{46, -32, -46, 32}));
  // Only sizes count, not where the windows are.
  EXPECT_EQ(ScaleRect({11, 11, 290, 39}, {500, 500, 800, 744}, {-1280, 0, 0, 720}),
            (Rect{46, 32, 1237, 115}));
  // A reference without extent scales nothing in that direction, rather than dividing by 0.
  EXPECT_EQ(ScaleRect({11, 11, 290, 39}, {0, 0, 0, 244}, {0, 0, 1280, 720}),
            (Rect{11, 32, 290, 115}));
  EXPECT_EQ(ScaleRect({11, 11, 290, 39}, {0, 0, 300, -5}, {0, 0, 1280, 720}),
            (Rect{46, 11, 1237, 39}));
  // A window shrunk to nothing puts everything at 0; a huge one holds the edges at int's end.
  EXPECT_EQ(ScaleRect({11, 11, 290, 39}, design, {0, 0, 0, 0}), (Rect{}));
  constexpr int kMax = std::numeric_limits<int>::max();
  const Rect huge = ScaleRect({11, -11, 290, 39}, {0, 0, 1, 1}, {0, 0, kMax, kMax});
  EXPECT_EQ(huge, (Rect{kMax, std::numeric_limits<int>::min(), kMax, kMax}));
}

TEST(ScreenLayoutTest, TheMovieListShowsOneOrTwoRowsAndStaysOnTheScreen) {
  const Rect client{0, 0, 1280, 720};
  const Rect list{46, 135, 1237, 236};
  EXPECT_EQ(FitMovieList(list, 0, 0, client), (Rect{46, 135, 1237, 145})) << "empty: 10 pixels";
  EXPECT_EQ(FitMovieList(list, 1, 30, client), (Rect{46, 135, 1237, 165}));
  EXPECT_EQ(FitMovieList(list, 2, 30, client), (Rect{46, 135, 1237, 195}));
  EXPECT_EQ(FitMovieList(list, 7, 30, client), (Rect{46, 135, 1237, 195})) << "scrolls";
  EXPECT_EQ(FitMovieList(list, 2, 42, client).Height(), 84);
  // Rows as high as the screen: the list ends at the client's bottom edge.
  EXPECT_EQ(FitMovieList(list, 2, 720, client), (Rect{46, 135, 1237, 720}));
  EXPECT_EQ(FitMovieList(list, 2, std::numeric_limits<int>::max(), client).bottom, 720);
  // A list already below the client keeps no height rather than a negative one.
  EXPECT_EQ(FitMovieList({0, 800, 10, 900}, 1, 30, client), (Rect{0, 800, 10, 800}));
}

TEST(ScreenLayoutTest, TheChoiceListGrowsAndShrinksFromItsBottomEdge) {
  const Rect client{0, 0, 1280, 720};
  const Rect list{942, 528, 1237, 684};
  const std::vector<int> three{30, 30, 30};
  const std::vector<int> four{30, 30, 30, 30};
  const Rect withFour = FitChoiceList(list, four, client);
  EXPECT_EQ(withFour, (Rect{942, 564, 1237, 684})) << "Play Lang. 1, Play Lang. 2, Options, Off";
  const Rect withThree = FitChoiceList(withFour, three, client);
  EXPECT_EQ(withThree, (Rect{942, 594, 1237, 684})) << "Play, Options, Off";
  EXPECT_EQ(FitChoiceList(withThree, std::vector<int>{30, 30}, client).top, 624);
  // No rows, or rows of no height: left as it is.
  EXPECT_EQ(FitChoiceList(list, std::vector<int>{}, client), list);
  EXPECT_EQ(FitChoiceList(list, std::vector<int>{0, 0}, client), list);
  // Rows higher than the screen: the top stops at the client's top edge, and sums beyond
  // int do not wrap around.
  EXPECT_EQ(FitChoiceList(list, std::vector<int>{720, 720, 720}, client).top, 0);
  constexpr int kMax = std::numeric_limits<int>::max();
  EXPECT_EQ(FitChoiceList(list, std::vector<int>{kMax, kMax, kMax}, client),
            (Rect{942, 0, 1237, 684}));
}

TEST(ScreenLayoutTest, RowsInAThemeFontAreTextAndAQuarterOfItAboveAndBelow) {
  // The default theme font, 20 pixels: rows of 30. A negative height counts by its size.
  EXPECT_EQ(DrawnFontHeight(20, 720), 20);
  EXPECT_EQ(RowPadding(20, 720), 5);
  EXPECT_EQ(RowHeight(ListTextHeight(DrawnFontHeight(20, 720), 0), RowPadding(20, 720)), 30);
  EXPECT_EQ(DrawnFontHeight(-21, 720), 21);
  EXPECT_EQ(RowPadding(-21, 720), 5) << "|-21 / 4|, truncated";
  // No font at all: 42 pixels of text.
  EXPECT_EQ(ListTextHeight(0, 0), kNoFontTextHeight);
  EXPECT_EQ(ListTextHeight(12, 36), 36);
  EXPECT_EQ(DrawnFontHeight(0, 720), 0);
  EXPECT_EQ(RowPadding(0, 720), 0);

  // Three bytes 01 02 03 laid over the start of a stored font make it 197121 pixels high:
  // it is drawn as high as the screen and its rows stay within the screen.
  constexpr std::int32_t kThreeBytes = 0x030201;
  for (int screen : {720, 1080}) {
    EXPECT_EQ(DrawnFontHeight(kThreeBytes, screen), screen);
    const int row =
        RowHeight(DrawnFontHeight(kThreeBytes, screen), RowPadding(kThreeBytes, screen));
    EXPECT_LE(row, screen);
    EXPECT_GE(row, screen - 1);
  }
  // Fonts up to two thirds of the screen keep their quarter; above it the padding shrinks.
  EXPECT_EQ(RowPadding(480, 720), 120);
  EXPECT_EQ(RowPadding(600, 720), 60);
  EXPECT_EQ(DrawnFontHeight(std::numeric_limits<std::int32_t>::min(), 1080), 1080);
  EXPECT_EQ(DrawnFontHeight(std::numeric_limits<std::int32_t>::min(), 0),
            std::numeric_limits<int>::max())
      << "no screen to bound it; no overflow either";
  EXPECT_EQ(RowHeight(std::numeric_limits<int>::max(), 5), std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace quorvel::screen
