#pragma once
// The full-screen window, the television face of the program: a frameless window from
// template 129 that covers its screen and shows what the screen's rules
// (screen/full_screen_rules.h) decide: the disk label, the movie list, the choice list
// and the cover picture. It forwards every event to the rules.

#include <QBasicTimer>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "faces/qt/fullscreen/color_list_box.h"
#include "faces/qt/fullscreen/disk_change_notifier.h"
#include "faces/qt/fullscreen/key_repeats.h"
#include "faces/qt/fullscreen/tray_icon.h"
#include "rules/screen/full_screen_rules.h"

class QLabel;

namespace quorvel {

class TrayHostWatcher;
class WindowFocus;

// Runs the options sheet over `owner`; true when it was closed with OK.
using OptionsRunner = std::function<bool(QWidget& owner)>;

class CFullScreenDlg final : public QDialog, public screen::ScreenView, public KeyToItemTarget {
  Q_OBJECT

 public:
  // `settings` and `services` must outlive the window. `taskbarCreated` may be null (no
  // tray host is watched), and so may `focus` (the keyboard focus is left to Qt's
  // activation). `screen` is the screen the window covers until it is moved; null: the
  // primary screen.
  CFullScreenDlg(Settings& settings, const Services& services, OptionsRunner runOptions,
                 TrayHostWatcher* taskbarCreated, WindowFocus* focus, std::string diskPath,
                 QScreen* screen = nullptr);
  ~CFullScreenDlg() override;

  // Creates the window from template 129 and initialises it: the theme, the lists, the
  // first read of the disk, shown or in the tray, and the poll timer. From then on the
  // system's disk changes (the services' disk-change events) wake the window at once,
  // and each wake-up runs the rules of a tick.
  void Create();

  // How often the disk-change events woke the window; for the idle checks.
  int DiskChangeWakeUps() const { return diskChanges_ ? diskChanges_->WakeUps() : 0; }

  screen::FullScreenRules& Rules() { return rules_; }
  CColorListBox& MovieList() { return *movieList_; }
  CColorListBox& ChoiceList() { return *choiceList_; }
  QLabel& Label() { return *label_; }
  // The notice over the screen; null until the first one.
  QLabel* NoticeLabel() const { return notice_; }
  // The tray icon, made when it is first needed.
  CTrayIcon& Tray();
  // The cover picture as it is drawn now (null image: none).
  QImage DrawnPicture() const { return drawn_; }
  QRect PictureRect() const;

  // screen::ScreenView
  Rect WindowRect() const override;
  Rect CoveringRect() const override;
  int ScreenHeight() const override;
  bool IsShown() const override;
  bool IsMinimised() const override;
  void ShowLabel(std::string_view text) override;
  void ShowMovieRows(const std::vector<screen::MovieRow>& rows, int selected) override;
  void ShowChoiceRows(const std::vector<screen::ChoiceRow>& rows, int selected) override;
  void ApplyTheme(const Theme& theme, int moviePadding, int choicePadding) override;
  void MoveControls(const screen::ScreenLayout& layout) override;
  void ShowPicture(const Rect& rect) override;
  void Invalidate() override;
  void ShowNotice(std::string_view text) override;
  void ShowCovering() override;
  void TakeFocus() override;
  void HideWindow() override;
  void MinimiseWindow() override;
  bool AddTrayIcon() override;
  void RemoveTrayIcon() override;
  bool RunOptionsSheet() override;
  void StartTimer(std::chrono::milliseconds interval) override;
  void StopTimer() override;
  void WatchPlayer(std::intptr_t endSignal) override;
  void StopWatchingPlayer(std::intptr_t endSignal) override;
  void DestroyWindow() override;

  // KeyToItemTarget
  int OnKeyToItem(CColorListBox& list, const QKeyEvent& key, int selectedRow) override;

 public slots:
  void reject() override;
  void accept() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ConnectHandlers();
  QScreen* TargetScreen() const;
  screen::Focus FocusedList() const;
  void PlaceNotice();

  screen::FullScreenRules rules_;
  DiskEvents& diskEvents_;
  std::unique_ptr<DiskChangeNotifier> diskChanges_;
  OptionsRunner runOptions_;
  QPointer<TrayHostWatcher> taskbarCreated_;
  WindowFocus* focus_;
  QPointer<QScreen> screen_;
  std::unique_ptr<CTrayIcon> tray_;
  QBasicTimer timer_;
  KeyRepeats keyRepeats_;
  CColorListBox* choiceList_ = nullptr;
  CColorListBox* movieList_ = nullptr;
  QLabel* label_ = nullptr;
  QLabel* notice_ = nullptr;
  FontDescription labelFont_ = FontDescription::Default();
  // The end signals of running players, each watched by a notifier.
  std::map<std::intptr_t, std::unique_ptr<QObject>> playerWatches_;
  bool created_ = false;
  bool destroying_ = false;

  // The picture scaled to its rectangle, made again when the picture or the rectangle
  // changes.
  Rect pictureRect_;
  QImage drawn_;
  const void* drawnPixels_ = nullptr;
};

}  // namespace quorvel
