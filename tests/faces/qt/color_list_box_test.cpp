// The full-screen window's list: row heights from the theme font, drawing, the focus moving
// between two lists, key-to-item requests, and clicks that activate a row.

#include "faces/qt/fullscreen/color_list_box.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <map>
#include <memory>
#include <vector>

#include "faces/qt/fullscreen/screen_key_map.h"
#include "faces/qt/resources/gui_theme.h"
#include "rules/screen/screen_keys.h"
#include "rules/screen/screen_layout.h"

namespace quorvel {
namespace {

constexpr ColorRef kWindowBg = Rgb(0, 0, 64);
constexpr ColorRef kNormalText = Rgb(255, 255, 0);
constexpr ColorRef kNormalBg = Rgb(0, 0, 160);
constexpr ColorRef kHighText = Rgb(0, 255, 128);
constexpr ColorRef kHighBg = Rgb(128, 0, 0);

// The window around two lists: it paints its background, answers the lists' keys from
// a table and records them, and records the keys that reach it unhandled.
class Window final : public QWidget, public KeyToItemTarget {
 public:
  Window() {
    resize(640, 360);
    choices.setGeometry(400, 200, 200, 150);
    movies.setGeometry(20, 20, 600, 60);
    for (CColorListBox* list : {&choices, &movies}) {
      list->SetHighlightStyle(kHighText, kHighBg, FontDescription::Default());
      list->SetNormalStyle(kNormalText, kNormalBg, FontDescription::Default());
      list->SetPadding(5);
      list->SetKeyToItemTarget(this);
    }
  }

  int OnKeyToItem(CColorListBox& list, const QKeyEvent& key, int selectedRow) override {
    asked.push_back({&list, key.key(), selectedRow});
    const auto answer = answers.find(key.key());
    return answer == answers.end() ? KeyToItemTarget::kDefault : answer->second;
  }

  struct Asked {
    CColorListBox* list;
    int key;
    int selectedRow;
  };
  std::vector<Asked> asked;
  std::map<int, int> answers;
  std::vector<int> reachedWindow;
  CColorListBox choices{true, this};
  CColorListBox movies{false, this};

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), ToQColor(kWindowBg)); }
  void keyPressEvent(QKeyEvent* event) override { reachedWindow.push_back(event->key()); }
};

void ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// The box around the pixels of `color` within `area` of `image`.
QRect PixelsOf(const QImage& image, const QRect& area, const QColor& color) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == color) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST(ColorListBoxTest, RowsAreAsHighAsTheFontWithItsPaddingAboveAndBelow) {
  CColorListBox list(false);
  EXPECT_EQ(list.RowHeight(list.AddRow("no font")), 42);
  // Padding is not applied to rows already there until the heights are applied again.
  list.SetPadding(5);
  list.AddRow("padded");
  EXPECT_EQ(list.RowHeight(0), 42);
  EXPECT_EQ(list.RowHeight(1), 52);
  list.ApplyRowHeights();
  EXPECT_EQ(list.RowHeight(0), 52);

  // The default theme font: 20 pixels and 5 above and below, as the window sets it.
  list.SetHighlightStyle(kHighText, kHighBg, FontDescription::Default());
  EXPECT_EQ(list.TextHeight(), 20) << "no normal font yet: the highlight font counts";
  list.SetNormalStyle(kNormalText, kNormalBg, FontDescription::Default());
  EXPECT_EQ(list.TextHeight(), 20);
  EXPECT_EQ(list.RowHeight(0), 30);
  EXPECT_EQ(list.RowHeight(list.AddRow("Play")), 30);

  // The larger font of the two counts, by its size whatever the sign of its height.
  FontDescription big = FontDescription::Default();
  big.height = -26;
  list.SetHighlightStyle(kHighText, kHighBg, big);
  EXPECT_EQ(list.TextHeight(), 26);
  EXPECT_EQ(list.RowHeight(2), 36);
  EXPECT_EQ(list.RowHeight(3), 0) << "no such row";
}

TEST(ColorListBoxTest, AFontHigherThanTheScreenLeavesRowsThatFitTheScreen) {
  CColorListBox list(true);
  const int screenHeight = list.screen()->geometry().height();
  FontDescription broken = FontDescription::Default();
  const std::uint8_t threeBytes[] = {0x01, 0x02, 0x03};  // height 197121
  broken.OverwriteFrom(threeBytes, sizeof threeBytes);
  list.SetHighlightStyle(kHighText, kHighBg, broken);
  list.SetNormalStyle(kNormalText, kNormalBg, broken);
  list.SetPadding(screen::RowPadding(broken.height, screenHeight));
  const int row = list.AddRow("Play");
  EXPECT_EQ(list.TextHeight(), screenHeight);
  EXPECT_LE(list.RowHeight(row), screenHeight);
  EXPECT_LE(list.NormalStyle().font->pixelSize(), screenHeight);
}

TEST(ColorListBoxTest, RowsAreDrawnCentredInTheirColoursAndTheFocusedRowIsFramed) {
  Window window;
  for (const char* text : {"Play", "Options", "Off"}) window.choices.AddRow(text);
  window.choices.SetCurSel(0);
  ShowActive(window);
  window.movies.setFocus();  // the choice list shows its selection without the focus
  const QRect list = window.choices.geometry();
  auto grab = [&] { return window.grab(list).toImage(); };

  QImage image = grab();
  EXPECT_EQ(At(image, 0, 0), ToQColor(kHighBg)) << "selected row, no focus, no frame";
  EXPECT_EQ(At(image, 2, 15), ToQColor(kHighBg));
  EXPECT_EQ(At(image, 2, 45), ToQColor(kNormalBg));
  EXPECT_EQ(At(image, 2, 75), ToQColor(kNormalBg));
  EXPECT_EQ(At(image, 2, 120), ToQColor(kWindowBg)) << "below the rows: the window's background";
  // The text of each row is centred in it, in the row's text colour.
  const QRect play = PixelsOf(image, {0, 0, 200, 30}, ToQColor(kHighText));
  const QRect options = PixelsOf(image, {0, 30, 200, 30}, ToQColor(kNormalText));
  ASSERT_FALSE(play.isEmpty());
  ASSERT_FALSE(options.isEmpty());
  EXPECT_NEAR(play.center().x(), 100, 3);
  EXPECT_NEAR(play.center().y(), 15, 4);
  EXPECT_NEAR(options.center().x(), 100, 3);
  EXPECT_NEAR(options.center().y(), 45, 4);
  EXPECT_GT(options.width(), play.width()) << "\"Options\" is the longer text";

  // With the focus: a one-pixel frame in the text colour around the focused row only.
  window.choices.setFocus();
  image = grab();
  for (const QPoint corner : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 29), QPoint(199, 29)}) {
    EXPECT_EQ(At(image, corner.x(), corner.y()), ToQColor(kHighText)) << corner.x() << corner.y();
  }
  EXPECT_EQ(At(image, 1, 1), ToQColor(kHighBg));
  EXPECT_EQ(At(image, 0, 30), ToQColor(kNormalBg));
  QTest::keyClick(&window.choices, Qt::Key_Down);
  image = grab();
  EXPECT_EQ(At(image, 0, 0), ToQColor(kNormalBg));
  EXPECT_EQ(At(image, 0, 30), ToQColor(kHighText));
  EXPECT_EQ(At(image, 2, 45), ToQColor(kHighBg));
}

TEST(ColorListBoxTest, LeftAndRightMoveTheFocusToTheOtherList) {
  Window window;
  window.choices.AddRow("Play");
  window.movies.AddRow("A movie");
  window.movies.AddRow("Another");
  window.choices.SetCurSel(0);
  window.movies.SetCurSel(1);
  window.answers = {{Qt::Key_Left, KeyToItemTarget::kFocusNext},
                    {Qt::Key_Right, KeyToItemTarget::kFocusPrevious}};
  ShowActive(window);
  window.choices.setFocus();
  QTest::keyClick(&window.choices, Qt::Key_Left);
  EXPECT_TRUE(window.movies.hasFocus());
  QTest::keyClick(&window.movies, Qt::Key_Left);
  EXPECT_TRUE(window.choices.hasFocus());
  QTest::keyClick(&window.choices, Qt::Key_Right);
  EXPECT_TRUE(window.movies.hasFocus());
  QTest::keyClick(&window.movies, Qt::Key_Right);
  EXPECT_TRUE(window.choices.hasFocus());
  // The selections stay, and nothing more reaches the window.
  EXPECT_EQ(window.choices.CurSel(), 0);
  EXPECT_EQ(window.movies.CurSel(), 1);
  EXPECT_EQ(window.asked.size(), 4u);
  EXPECT_TRUE(window.reachedWindow.empty());
}

TEST(ColorListBoxTest, OtherKeysAreOfferedToTheWindowBeforeTheListHandlesThem) {
  Window window;
  for (const char* text : {"Play all movie files", "First", "Second"}) {
    window.movies.AddRow(text);
  }
  window.movies.SetCurSel(0);
  ShowActive(window);
  window.movies.setFocus();
  int userChanges = 0;
  QObject::connect(&window.movies, &CColorListBox::SelectionChangedByUser,
                   [&userChanges] { ++userChanges; });
  window.answers = {{Qt::Key_P, KeyToItemTarget::kHandled}, {Qt::Key_J, 2}};

  QTest::keyClick(&window.movies, Qt::Key_P);  // handled by the window: nothing more
  EXPECT_EQ(window.movies.CurSel(), 0);
  QTest::keyClick(&window.movies, Qt::Key_Down);  // the list's own handling
  EXPECT_EQ(window.movies.CurSel(), 1);
  QTest::keyClick(&window.movies, Qt::Key_J);  // the window names row 2
  EXPECT_EQ(window.movies.CurSel(), 2);
  ASSERT_EQ(window.asked.size(), 3u);
  EXPECT_EQ(window.asked[0].key, Qt::Key_P);
  EXPECT_EQ(window.asked[0].selectedRow, 0);
  EXPECT_EQ(window.asked[1].key, Qt::Key_Down);
  EXPECT_EQ(window.asked[2].selectedRow, 1);
  EXPECT_EQ(window.asked[2].list, &window.movies);
  EXPECT_EQ(userChanges, 2);

  // Enter and Escape are offered as well; left to the list, they reach the window.
  QTest::keyClick(&window.movies, Qt::Key_Return);
  QTest::keyClick(&window.movies, Qt::Key_Escape);
  EXPECT_EQ(window.reachedWindow, (std::vector<int>{Qt::Key_Return, Qt::Key_Escape}));
  EXPECT_EQ(window.asked.size(), 5u);

  // Changes made by the program are not reported as the user's.
  window.movies.SetCurSel(0);
  window.movies.ResetContent();
  window.movies.AddRow("Only");
  window.movies.SetCurSel(0);
  EXPECT_EQ(userChanges, 2);
}

TEST(ColorListBoxTest, AListTwoRowsHighScrollsUnderItsSelection) {
  Window window;  // the movie list is 60 pixels high: two rows of 30
  for (const char* text : {"Play all movie files", "First", "Second", "Third"}) {
    window.movies.AddRow(text);
  }
  window.movies.SetCurSel(0);
  ShowActive(window);
  window.movies.setFocus();
  const QRect shown = window.movies.viewport()->rect();
  for (int row = 1; row < 4; ++row) {
    QTest::keyClick(&window.movies, Qt::Key_Down);
    ASSERT_EQ(window.movies.CurSel(), row);
    EXPECT_TRUE(shown.contains(window.movies.visualItemRect(window.movies.item(row)))) << row;
  }
  window.movies.SetCurSel(0);
  EXPECT_TRUE(shown.contains(window.movies.visualItemRect(window.movies.item(0))));
}

TEST(ColorListBoxTest, AClickInAListWithActivationActivatesTheRowInTheSameClick) {
  Window window;
  for (const char* text : {"Play", "Options", "Off"}) window.choices.AddRow(text);
  window.choices.SetCurSel(0);
  std::vector<int> activated;
  QObject::connect(&window.choices, &CColorListBox::RowActivated,
                   [&activated](int row) { activated.push_back(row); });
  ShowActive(window);
  QWidget* rows = window.choices.viewport();
  auto rowCentre = [](int row) { return QPoint(100, row * 30 + 15); };

  QTest::mouseClick(rows, Qt::LeftButton, {}, rowCentre(1));
  EXPECT_EQ(window.choices.CurSel(), 1);
  QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, rowCentre(1));
  EXPECT_EQ(window.choices.CurSel(), 1) << "no modifier deselects the row";
  QTest::mouseClick(rows, Qt::LeftButton, {}, rowCentre(2));
  // Another button, the empty part of the list: nothing is activated.
  QTest::mouseClick(rows, Qt::RightButton, {}, rowCentre(0));
  QTest::mouseClick(rows, Qt::LeftButton, {}, QPoint(100, 140));
  EXPECT_EQ(activated, (std::vector<int>{1, 1, 2}));

  // Activate() activates the selected row; with no selection it answers -1.
  window.choices.SetCurSel(0);
  EXPECT_EQ(window.choices.Activate(), 0);
  EXPECT_EQ(activated.back(), 0);
  window.choices.SetCurSel(-1);
  EXPECT_EQ(window.choices.Activate(), -1);
  EXPECT_EQ(activated.size(), 4u);

  // In a list without activation a click only selects, and Activate() answers 0.
  int movieActivations = 0;
  QObject::connect(&window.movies, &CColorListBox::RowActivated,
                   [&movieActivations](int) { ++movieActivations; });
  window.movies.AddRow("First");
  window.movies.AddRow("Second");
  QTest::mouseClick(window.movies.viewport(), Qt::LeftButton, {}, rowCentre(1));
  EXPECT_EQ(window.movies.CurSel(), 1);
  EXPECT_EQ(window.movies.Activate(), 0);
  EXPECT_EQ(movieActivations, 0);
}

TEST(ColorListBoxTest, QtKeysBecomeTheWindowsKeysRemoteControlKeysIncluded) {
  using screen::Key;
  const std::pair<int, Key> keys[] = {
      {Qt::Key_E, Key::E},
      {Qt::Key_L, Key::L},
      {Qt::Key_O, Key::O},
      {Qt::Key_P, Key::P},
      {Qt::Key_Q, Key::Q},
      {Qt::Key_X, Key::X},
      {Qt::Key_Left, Key::Left},
      {Qt::Key_Right, Key::Right},
      {Qt::Key_Return, Key::Enter},
      {Qt::Key_Enter, Key::Enter},
      {Qt::Key_Escape, Key::Escape},
      {Qt::Key_MediaPlay, Key::MediaPlay},
      {Qt::Key_Play, Key::MediaPlay},
      {Qt::Key_MediaTogglePlayPause, Key::MediaPlayPause},
      {Qt::Key_MediaStop, Key::MediaStop},
      {Qt::Key_Eject, Key::Eject},
      {Qt::Key_Menu, Key::Menu},
      {Qt::Key_Back, Key::Back},
      {Qt::Key_Down, Key::Other},
      {Qt::Key_A, Key::Other},
      {Qt::Key_MediaPause, Key::Other},
  };
  for (const auto& [qt, key] : keys) EXPECT_EQ(ScreenKeyFromQt(qt), key) << std::hex << qt;
  // What a media Play key then does on the window: the Play command, answered as handled.
  EXPECT_EQ(screen::ActionOf(ScreenKeyFromQt(Qt::Key_MediaPlay)), screen::KeyAction::Play);
}

}  // namespace
}  // namespace quorvel
