// The full-screen window on Qt's offscreen platform: it covers its screen, answers the
// keys and clicks of both lists, draws the cover, and applies a changed theme after the
// options sheet.

#include "faces/qt/fullscreen/full_screen_dlg.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <fstream>
#include <iterator>
#include <memory>

#include "faces/qt/fullscreen/key_repeats.h"
#include "faces/qt/resources/gui_theme.h"
#include "rules/screen/screen_fixture.h"

namespace quorvel {
namespace {

using testing::MoviesDisk;
using testing::ScreenFixture;

// A window over a fixture's drive; destroyed with the test unless it ended itself.
struct WindowUnderTest {
  explicit WindowUnderTest(ScreenFixture& fixture) {
    window = new CFullScreenDlg(
        fixture.settings, fixture.Services(),
        [this](QWidget&) {
          ++optionsRuns;
          if (onOptions) onOptions();
          return optionsAnswer;
        },
        nullptr, nullptr, fixture.DevicePath());
    window->Create();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.data()));
  }
  ~WindowUnderTest() { delete window.data(); }

  // Lets a window that ended itself go.
  bool Gone() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull();
  }

  QPointer<CFullScreenDlg> window;
  int optionsRuns = 0;
  bool optionsAnswer = false;
  std::function<void()> onOptions;
};

void Key(QWidget& target, Qt::Key key) { QTest::keyClick(&target, key); }

QPoint RowCentre(CColorListBox& list, int row) {
  return list.visualItemRect(list.item(row)).center();
}

TEST(FullScreenDlgTest, CoversItsScreenAndAnswersEveryKey) {
  ScreenFixture f;
  f.Insert(MoviesDisk("FILMS", 2, /*firstAudio=*/2));
  WindowUnderTest w(f);
  CFullScreenDlg& window = *w.window;
  EXPECT_EQ(window.windowTitle(), "Quorvel Full Screen");
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), QGuiApplication::primaryScreen()->geometry());
  EXPECT_EQ(window.Label().text(), "FILMS");
  EXPECT_TRUE(window.ChoiceList().hasFocus()) << "the choice list has the focus at first";
  ASSERT_EQ(window.MovieList().RowCount(), 3);
  EXPECT_EQ(window.MovieList().RowHeight(0), window.Rules().MovieRowHeight());
  EXPECT_EQ(window.MovieList().height(), 2 * window.Rules().MovieRowHeight());

  // Left and Right move the focus between the lists; Down in the movie list rebuilds
  // the choices for the movie with two audio streams.
  Key(window.ChoiceList(), Qt::Key_Left);
  ASSERT_TRUE(window.MovieList().hasFocus());
  Key(window.MovieList(), Qt::Key_Down);
  EXPECT_EQ(window.MovieList().CurSel(), 1);
  ASSERT_EQ(window.ChoiceList().RowCount(), 4);
  EXPECT_EQ(window.ChoiceList().item(1)->text(), "Play Lang. 2");
  EXPECT_EQ(window.ChoiceList().geometry().height(), 4 * window.Rules().ChoiceRowHeight());
  Key(window.MovieList(), Qt::Key_Right);
  ASSERT_TRUE(window.ChoiceList().hasFocus());

  // P plays the selected movie; the remote's Play does the same.
  Key(window.ChoiceList(), Qt::Key_P);
  ASSERT_EQ(f.processes.started.size(), 1u);
  EXPECT_NE(f.processes.started.back().find("movie1.avi"), std::string::npos);
  Key(window.ChoiceList(), Qt::Key_MediaPlay);
  EXPECT_EQ(f.processes.started.size(), 2u);
  // Enter runs the selected choice: Down to "Play Lang. 2".
  Key(window.ChoiceList(), Qt::Key_Down);
  Key(window.ChoiceList(), Qt::Key_Return);
  ASSERT_EQ(f.processes.started.size(), 3u);
  EXPECT_EQ(f.processes.started.back().rfind("\"/opt/recorder2\"", 0), 0u);

  // E ejects, L loads, O opens the options sheet.
  Key(window.ChoiceList(), Qt::Key_E);
  Key(window.MovieList(), Qt::Key_L);
  using Eject = std::pair<std::string, bool>;
  EXPECT_EQ(f.Ejects(), (std::vector<Eject>{{f.DevicePath(), true}, {f.DevicePath(), false}}));
  Key(window.ChoiceList(), Qt::Key_O);
  EXPECT_EQ(w.optionsRuns, 1);
  EXPECT_TRUE(window.isVisible());

  // Escape: no tray on this platform, so the window is minimised, never hidden.
  Key(window.ChoiceList(), Qt::Key_Escape);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.isMinimized());
  EXPECT_FALSE(window.Tray().IsShown());

  // Q ends the window; X does too (in a new one), without a power-off.
  Key(window.ChoiceList(), Qt::Key_Q);
  EXPECT_TRUE(w.Gone());
  WindowUnderTest again(f);
  Key(again.window->MovieList(), Qt::Key_X);
  EXPECT_TRUE(again.Gone());
  EXPECT_EQ(f.system.powerOffCalls, 0);
}

TEST(FullScreenDlgTest, AClickSelectsInTheMovieListAndRunsTheChoiceAtOnce) {
  ScreenFixture f;
  f.settings.Shutdown = 1;
  f.Insert(MoviesDisk("FILMS", 2, /*firstAudio=*/2));
  WindowUnderTest w(f);
  CFullScreenDlg& window = *w.window;
  CColorListBox& movies = window.MovieList();
  CColorListBox& choices = window.ChoiceList();

  QTest::mouseClick(movies.viewport(), Qt::LeftButton, {}, RowCentre(movies, 1));
  EXPECT_EQ(movies.CurSel(), 1);
  EXPECT_TRUE(f.processes.started.empty()) << "the movie list only selects";
  EXPECT_EQ(choices.RowCount(), 4);

  QTest::mouseClick(choices.viewport(), Qt::LeftButton, {}, RowCentre(choices, 1));
  ASSERT_EQ(f.processes.started.size(), 1u) << "\"Play Lang. 2\" ran in the same click";
  EXPECT_EQ(f.processes.started.back().rfind("\"/opt/recorder2\"", 0), 0u);
  QTest::mouseClick(choices.viewport(), Qt::LeftButton, {}, RowCentre(choices, 2));
  EXPECT_EQ(w.optionsRuns, 1);
  // "Off" ends the window and, with Shutdown set, powers off.
  QTest::mouseClick(choices.viewport(), Qt::LeftButton, {}, RowCentre(choices, 3));
  EXPECT_TRUE(w.Gone());
  EXPECT_EQ(f.system.powerOffCalls, 1);
}

TEST(FullScreenDlgTest, DrawsTheCoverInItsRectangleAndAppliesAChangedTheme) {
  std::ifstream coverFile(QUORVEL_SOURCE_DIR "/samples/demo-disk/cover.jpg", std::ios::binary);
  const std::string cover((std::istreambuf_iterator<char>(coverFile)), {});
  ScreenFixture f;
  testing::Medium disk = MoviesDisk("FILMS", 1);
  disk.files.push_back({"cover.jpg", cover});
  f.Insert(disk);
  WindowUnderTest w(f);
  CFullScreenDlg& window = *w.window;
  const Theme before = f.settings.Theme;

  QImage image = window.grab().toImage();
  const QRect picture = window.PictureRect();
  ASSERT_FALSE(picture.isEmpty());
  EXPECT_EQ(image.pixelColor(5, 5), ToQColor(before.LabelBg));
  EXPECT_EQ(image.pixelColor(picture.left() - 2, picture.center().y()), ToQColor(before.LabelBg));
  // The cover's disk, in its middle, is the light blue the demo cover paints it.
  const QColor middle =
      image.pixelColor(picture.center().x(), picture.top() + picture.height() * 3 / 4);
  EXPECT_NE(middle, ToQColor(before.LabelBg));
  EXPECT_GT(middle.blue(), 100);

  // The sheet closed with OK after the colours and fonts changed.
  w.optionsAnswer = true;
  w.onOptions = [&f] {
    Theme& theme = f.settings.Theme;
    theme.LabelBg = Rgb(40, 0, 0);
    theme.LabelFg = Rgb(255, 255, 255);
    theme.ChoiceHighFg = Rgb(255, 0, 0);
    theme.ChoiceFont.height = -40;
    theme.MoviesFont.height = 32;
  };
  QTest::keyClick(&window.ChoiceList(), Qt::Key_O);
  EXPECT_EQ(w.optionsRuns, 1);
  EXPECT_EQ(window.Rules().ChoiceRowHeight(), 40 + 2 * 10);
  EXPECT_EQ(window.ChoiceList().RowHeight(0), 60);
  EXPECT_EQ(window.ChoiceList().HighlightStyle().text, QColor(255, 0, 0));
  EXPECT_EQ(window.MovieList().RowHeight(0), 32 + 2 * 8);
  EXPECT_EQ(window.ChoiceList().geometry().height(), 3 * 60);
  EXPECT_EQ(window.Label().palette().color(QPalette::WindowText), QColor(255, 255, 255));
  image = window.grab().toImage();
  EXPECT_EQ(image.pixelColor(5, 5), QColor(40, 0, 0));
  // The picture follows the taller movie rows: 10 pixels below the list and above the
  // bottom, left of the choices.
  const QRect moved = window.PictureRect();
  const QRect movieList = window.MovieList().geometry();
  EXPECT_GE(moved.top(), movieList.top() + movieList.height() + 10);
  EXPECT_LE(moved.top() + moved.height(), window.height() - 10);
  EXPECT_LE(moved.left() + moved.width(), window.ChoiceList().geometry().left() - 10);
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// A key press as the window system delivers a held key's repeats.
void Repeat(QWidget& target, Qt::Key key, const QString& text, int times) {
  for (int i = 0; i < times; ++i) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, /*autorep=*/true);
    QApplication::sendEvent(&target, &press);
  }
}

TEST(FullScreenDlgTest, AHeldKeyPlaysOnceAndTheEndOfThePlayerIsSeenInTheEventLoop) {
  ScreenFixture f;
  f.Insert(MoviesDisk("FILMS", 2));
  WindowUnderTest w(f);
  CFullScreenDlg& window = *w.window;
  // Play held: the press, then its repeats; Enter held the same.
  Key(window.ChoiceList(), Qt::Key_MediaPlay);
  Repeat(window.ChoiceList(), Qt::Key_MediaPlay, {}, 34);
  Key(window.ChoiceList(), Qt::Key_P);
  Repeat(window.ChoiceList(), Qt::Key_P, "p", 34);
  Key(window.ChoiceList(), Qt::Key_Return);
  Repeat(window.ChoiceList(), Qt::Key_Return, "\r", 34);
  EXPECT_EQ(f.processes.started.size(), 3u);
  // A held arrow moves on.
  Key(window.ChoiceList(), Qt::Key_Left);
  Repeat(window.MovieList(), Qt::Key_Down, {}, 2);
  EXPECT_EQ(window.MovieList().CurSel(), 2);

  // The players end: the window's loop sees their end signals, and the window takes the
  // keyboard focus back once the last has ended.
  EXPECT_EQ(window.Rules().RunningPlayers(), 3u);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  f.processes.EndProgram(0);
  f.processes.EndProgram(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Rules().RunningPlayers() == 1; }));
  EXPECT_FALSE(window.isActiveWindow());
  f.processes.EndProgram(2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Rules().RunningPlayers() == 0; }));
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(window.MovieList().hasFocus()) << "the list that had the focus has it again";
}

TEST(KeyRepeatsTest, ARepeatIsAReleaseAndAPressOfOneKeyAtTheSameMomentOrMarkedSo) {
  KeyRepeats repeats;
  // Held on X11: press, then release and press pairs with one timestamp each.
  EXPECT_FALSE(repeats.Press(Qt::Key_P, 1000, false));
  repeats.Release(Qt::Key_P, 1500);
  EXPECT_TRUE(repeats.Press(Qt::Key_P, 1500, false)) << "the toolkit missed this one";
  EXPECT_TRUE(repeats.Press(Qt::Key_P, 1500, false)) << "the same press, seen by the window";
  repeats.Release(Qt::Key_P, 1540);
  EXPECT_TRUE(repeats.Press(Qt::Key_P, 1540, true));
  // Let go, and pressed again: a new press, also of the same key.
  repeats.Release(Qt::Key_P, 1570);
  EXPECT_FALSE(repeats.Press(Qt::Key_P, 1700, false));
  repeats.Release(Qt::Key_P, 1800);
  EXPECT_FALSE(repeats.Press(Qt::Key_Down, 1800, false)) << "another key at that moment";
  // Without timestamps only the mark counts.
  repeats.Release(Qt::Key_P, 0);
  EXPECT_FALSE(repeats.Press(Qt::Key_P, 0, false));
  EXPECT_TRUE(repeats.Press(Qt::Key_P, 0, true));
}

TEST(FullScreenDlgTest, WithoutAnyPlayerTheScreenSaysWhatToInstallUntilOkOrBack) {
  ScreenFixture f;
  f.settings = Settings();
  f.Insert(MoviesDisk("FILMS", 1));
  WindowUnderTest w(f);
  CFullScreenDlg& window = *w.window;
  EXPECT_EQ(window.NoticeLabel(), nullptr);
  Key(window.ChoiceList(), Qt::Key_Return);
  QLabel* notice = window.NoticeLabel();
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_TRUE(notice->text().contains("Install mpv or VLC")) << notice->text().toStdString();
  EXPECT_TRUE(f.messages.messages.empty());
  // On the screen, not beside it: centred, within the window, in a font that can be read
  // from across the room, and over the lists.
  const QRect on = notice->geometry();
  EXPECT_TRUE(window.rect().contains(on));
  EXPECT_NEAR(on.center().x(), window.rect().center().x(), 2);
  EXPECT_NEAR(on.center().y(), window.rect().center().y(), 2);
  EXPECT_GE(QFontMetrics(notice->font()).height(), window.height() / 20);
  EXPECT_EQ(notice->font().family(), window.Label().font().family());
  EXPECT_EQ(window.childAt(on.center()), notice);
  // Keys wait; Enter closes it.
  Key(window.ChoiceList(), Qt::Key_Q);
  EXPECT_TRUE(window.isVisible());
  Key(window.ChoiceList(), Qt::Key_Return);
  EXPECT_FALSE(notice->isVisible());
  // Back on the remote closes it too, and the window stays.
  Key(window.ChoiceList(), Qt::Key_P);
  EXPECT_TRUE(notice->isVisible());
  Key(window.ChoiceList(), Qt::Key_Back);
  EXPECT_FALSE(notice->isVisible());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(f.processes.started.empty());
}

}  // namespace
}  // namespace quorvel
