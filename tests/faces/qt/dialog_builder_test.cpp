// The templates and their builder: controls at the pixel rectangles that the dialog-unit
// rule gives for the font in use, every control id found, texts that fit, no overlaps.

#include "faces/qt/resources/dialog_builder.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "faces/qt/resources/menu_builder.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {
namespace {

// The dialog-unit rule, written out again: x in quarters of the average width of the 52
// letters (rounded), y in eighths of the line height, each edge rounded on its own.
QRect ExpectedRect(const res::DuRect& du, const QFont& font) {
  const QFontMetrics metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const long baseX = std::lround(metrics.horizontalAdvance(letters) / 52.0);
  const double baseY = metrics.height();
  const auto x = [&](int v) { return static_cast<int>(std::lround(v * baseX / 4.0)); };
  const auto y = [&](int v) { return static_cast<int>(std::lround(v * baseY / 8.0)); };
  return QRect(QPoint(x(du.x), y(du.y)), QPoint(x(du.x + du.width) - 1, y(du.y + du.height) - 1));
}

std::vector<QWidget*> Controls(const QWidget& root) {
  const QList<QWidget*> children = root.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  return {children.begin(), children.end()};
}

TEST(DialogBuilderTest, GeneralPageControlsStandAtTheirDialogUnitRectangles) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kGeneralPage);
  ASSERT_NE(dialog, nullptr);
  QWidget page;
  BuildDialog(page, *dialog);

  // The template's face where it is installed, else a stand-in, at the template's size.
  const QFont font = page.font();
  EXPECT_EQ(font.pointSize(), 8);
  if (QFontDatabase::families().contains("MS Sans Serif")) {
    EXPECT_EQ(font.family(), "MS Sans Serif");
  }

  EXPECT_EQ(page.size(), ExpectedRect({0, 0, 235, 206}, font).size());
  const std::vector<QWidget*> controls = Controls(page);
  ASSERT_EQ(controls.size(), dialog->controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const res::ControlTemplate& control = dialog->controls[i];
    const QRect expected = ExpectedRect(control.rect, font);
    const QRect actual = controls[i]->geometry();
    SCOPED_TRACE(testing::Message() << "control " << i << " id " << control.id);
    EXPECT_EQ(ControlId(*controls[i]), control.id);
    EXPECT_EQ(actual.topLeft(), expected.topLeft());
    EXPECT_EQ(actual.width(), expected.width());
    // A closed drop-down list is as tall as the style draws it.
    if (control.kind != res::ControlKind::DropDownList) {
      EXPECT_EQ(actual.height(), expected.height());
    }
  }
}

TEST(DialogBuilderTest, GeneralPageHasEveryControlWithItsKindTextAndState) {
  QWidget page;
  BuildDialog(page, *res::FindDialogTemplate(res::kGeneralPage));
  namespace g = res::general;
  const std::vector<std::pair<int, const char*>> checkBoxes = {
      {g::kShutdown, "shutdown the system on off"},
      {g::kDisableAutorun, "disable CD-ROM autorun feature"},
      {g::kCloseLaunchers, "close launchers executed from movie disks"},
      {g::kAutoplay, "play disks automatically"},
      {g::kReadConf, "read configuration.ini of DivX Autorun 1.3 by Lindqvar"},
      {g::kReadMdvd, "read Micro DVD file (MDVD.MVD)"},
      {g::kMdvdPlay, "play Micro DVD disks with Micro DVD Player, if possible"},
      {g::kSubMdvd, "play movies with subs with Micro DVD Player, if possible"},
      {g::kSubMdvdAdjusted, "display MDVD-adjusted subs with Micro DVD Player only"},
  };
  // Top to bottom in this order, the "Start as" list above them all.
  auto* startAs = FindControlAs<QComboBox>(page, g::kStartAs);
  ASSERT_NE(startAs, nullptr);
  EXPECT_FALSE(startAs->isEditable());
  int lastY = startAs->y();
  for (const auto& [id, text] : checkBoxes) {
    auto* box = FindControlAs<QCheckBox>(page, id);
    ASSERT_NE(box, nullptr) << id;
    EXPECT_EQ(box->text(), text);
    EXPECT_GT(box->y(), lastY) << id;
    lastY = box->y();
    EXPECT_EQ(box->isEnabled(), id != g::kSubMdvd && id != g::kSubMdvdAdjusted) << id;
  }
  auto* megabytes = FindControlAs<QLineEdit>(page, g::kMinFileSize);
  ASSERT_NE(megabytes, nullptr);
  EXPECT_GT(megabytes->y(), lastY);

  // The unnamed controls: two groups and three labels, the edit between its two labels.
  std::map<QString, QWidget*> unnamed;
  for (QWidget* w : Controls(page)) {
    if (ControlId(*w) != res::kNoId) continue;
    if (auto* group = qobject_cast<QGroupBox*>(w)) unnamed[group->title()] = w;
    if (auto* label = qobject_cast<QLabel*>(w)) unnamed[label->text()] = w;
  }
  ASSERT_EQ(unnamed.size(), 5u);
  const QRect system = unnamed.at("System")->geometry();
  const QRect recognition = unnamed.at("Disk Recognition")->geometry();
  EXPECT_TRUE(system.contains(unnamed.at("Start as")->geometry()));
  EXPECT_TRUE(system.contains(startAs->geometry()));
  for (const auto& [id, text] : checkBoxes) {
    const bool inSystem = id == g::kShutdown || id == g::kDisableAutorun ||
                          id == g::kCloseLaunchers || id == g::kAutoplay;
    EXPECT_TRUE((inSystem ? system : recognition).contains(FindControl(page, id)->geometry()))
        << id;
  }
  QWidget* before = unnamed.at("ignore media files smaller than");
  QWidget* after = unnamed.at("megabytes");
  EXPECT_TRUE(recognition.contains(megabytes->geometry()));
  EXPECT_LT(before->geometry().right(), megabytes->x());
  EXPECT_LT(megabytes->geometry().right(), after->x());
  EXPECT_TRUE(megabytes->geometry().intersects(QRect(0, before->y(), page.width(), 1)));
}

// Every template builds, every control id it promises is there, every text fits its
// control at the font in use, and no two controls overlap (a group box holds the
// controls inside it).
TEST(DialogBuilderTest, EveryTemplateBuildsTidily) {
  using namespace res;
  const std::map<int, std::vector<int>> ids = {
      {kAboutDialog, {kIdOk}},
      {kMainDialog,
       {main_dlg::kDiskPath, main_dlg::kBrowse, main_dlg::kReadAutomatically, main_dlg::kFieldList,
        main_dlg::kReadDisk, main_dlg::kPlay, main_dlg::kPlayAudio2, main_dlg::kOptions,
        kIdCancel}},
      {kPlayersPage,
       {players::kPlayerList, players::kAdd, players::kRemove, players::kConfigure,
        players::kExecute, players::kFindInstalled}},
      {kDisksPage,
       {disks::kDivXPlayer, disks::kDivXCommand, disks::kDivXAudio2Player,
        disks::kDivXAudio2Command, disks::kMpegPlayer, disks::kMpegCommand, disks::kVcdPlayer,
        disks::kVcdCommand, disks::kSvcdPlayer, disks::kSvcdCommand, disks::kDvdPlayer,
        disks::kDvdCommand, disks::kBlurayPlayer, disks::kBlurayCommand, disks::kVideoPlayer,
        disks::kVideoCommand}},
      {kViewPage,
       {view::kLabelPreview, view::kLabelFg, view::kLabelBg, view::kLabelFont, view::kMoviesPreview,
        view::kMoviesHighlighted, view::kMoviesNormal, view::kMoviesFg, view::kMoviesBg,
        view::kMoviesFont, view::kChoicesPreview, view::kChoicesHighlighted, view::kChoicesNormal,
        view::kChoicesFg, view::kChoicesBg, view::kChoicesFont}},
      {kFullScreenDialog, {fullscreen::kChoiceList, fullscreen::kMovieList, fullscreen::kLabel}},
      {kCodecsPage, {codecs::kDivX3, codecs::kDivX4, codecs::kDivX5, codecs::kXviD}},
      {kGeneralPage,
       {general::kStartAs, general::kShutdown, general::kDisableAutorun, general::kCloseLaunchers,
        general::kAutoplay, general::kReadConf, general::kReadMdvd, general::kMdvdPlay,
        general::kSubMdvd, general::kSubMdvdAdjusted, general::kMinFileSize}},
      {kPlayerInfoDialog,
       {player_info::kName, player_info::kAppPath, player_info::kBrowse, player_info::kCmdLine,
        player_info::kPlaylist, kIdOk, kIdCancel}},
  };
  ASSERT_EQ(AllDialogTemplates().size(), ids.size());
  for (const auto& [templateId, controlIds] : ids) {
    SCOPED_TRACE(testing::Message() << "template " << templateId);
    const DialogTemplate* dialog = FindDialogTemplate(templateId);
    ASSERT_NE(dialog, nullptr);
    QWidget window;
    BuildDialog(window, *dialog);
    for (int id : controlIds) EXPECT_NE(FindControl(window, id), nullptr) << id;

    const std::vector<QWidget*> controls = Controls(window);
    for (QWidget* control : controls) {
      const QRect rect = control->geometry();
      EXPECT_TRUE(window.rect().contains(rect)) << ControlId(*control);
      QSize needed;
      if (auto* label = qobject_cast<QLabel*>(control)) {
        const QSize hint = label->sizeHint();
        needed = label->wordWrap() ? QSize(1, label->heightForWidth(rect.width())) : hint;
      } else if (auto* toggle = qobject_cast<QAbstractButton*>(control);
                 qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
        // The text starts after the indicator and must end inside the control.
        const bool check = qobject_cast<QCheckBox*>(control) != nullptr;
        QStyle* style = control->style();
        const int textStart = style->pixelMetric(check ? QStyle::PM_IndicatorWidth
                                                       : QStyle::PM_ExclusiveIndicatorWidth) +
                              style->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing
                                                       : QStyle::PM_RadioButtonLabelSpacing);
        const QSize text = toggle->fontMetrics().size(Qt::TextShowMnemonic, toggle->text());
        needed = QSize(textStart + text.width(), text.height());
      } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
      } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        needed = QSize(group->fontMetrics().size(Qt::TextShowMnemonic, group->title()).width(), 1);
      }
      EXPECT_LE(needed.width(), rect.width()) << "text clipped: " << ControlId(*control);
      EXPECT_LE(needed.height(), rect.height()) << "text clipped: " << ControlId(*control);
      for (QWidget* other : controls) {
        if (other == control) continue;
        const QRect otherRect = other->geometry();
        if (!rect.intersects(otherRect)) continue;
        const bool nested = (qobject_cast<QGroupBox*>(control) && rect.contains(otherRect)) ||
                            (qobject_cast<QGroupBox*>(other) && otherRect.contains(rect));
        EXPECT_TRUE(nested) << "overlap: " << ControlId(*control) << " " << ControlId(*other);
      }
    }
  }
}

TEST(ResourcesTest, StringTableAndTrayMenu) {
  const std::map<int, std::string_view> strings = {
      {101, "&About Quorvel..."},
      {102, "Play"},
      {103, "Options"},
      {104, "Off"},
      {105, "Play Lang. 1"},
      {106, "Play Lang. 2"},
      {107, "Play all movie files"},
  };
  for (const auto& [id, text] : strings) EXPECT_EQ(res::LoadString(id), text) << id;
  EXPECT_TRUE(res::LoadString(108).empty());

  const res::MenuTemplate* menu = res::FindMenuTemplate(res::kTrayMenu);
  ASSERT_NE(menu, nullptr);
  QMenu tray;
  BuildMenu(tray, *menu);
  const QList<QAction*> actions = tray.actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(MenuCommand(*actions[0]), 32774);
  EXPECT_EQ(actions[0]->text(), "&Open Quorvel");
  EXPECT_EQ(tray.defaultAction(), actions[0]);
  EXPECT_EQ(MenuCommand(*actions[1]), 32773);
  EXPECT_EQ(actions[1]->text(), "&Configure");
  EXPECT_TRUE(actions[2]->isSeparator());
  EXPECT_EQ(MenuCommand(*actions[3]), 32772);
  EXPECT_EQ(actions[3]->text(), "&Exit");
}

}  // namespace
}  // namespace quorvel
