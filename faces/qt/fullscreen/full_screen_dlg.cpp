#include "faces/qt/fullscreen/full_screen_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimerEvent>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#endif
#include <algorithm>

#include "faces/qt/fullscreen/screen_key_map.h"
#include "faces/qt/fullscreen/tray_host_watcher.h"
#include "faces/qt/fullscreen/window_focus.h"
#include "faces/qt/resources/app_icon.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "faces/qt/resources/gui_theme.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {
namespace {

QRect ToQRect(const Rect& rect) { return QRect(rect.left, rect.top, rect.Width(), rect.Height()); }

Rect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace

CFullScreenDlg::CFullScreenDlg(Settings& settings, const Services& services,
                               OptionsRunner runOptions, TrayHostWatcher* taskbarCreated,
                               WindowFocus* focus, std::string diskPath, QScreen* screen)
    : QDialog(nullptr, Qt::Window | Qt::FramelessWindowHint),
      rules_(settings, services, *this, std::move(diskPath)),
      diskEvents_(services.diskEvents),
      runOptions_(std::move(runOptions)),
      taskbarCreated_(taskbarCreated),
      focus_(focus),
      screen_(screen != nullptr ? screen : QGuiApplication::primaryScreen()) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setModal(false);
}

CFullScreenDlg::~CFullScreenDlg() {
  destroying_ = true;
  diskChanges_.reset();
  timer_.stop();
  rules_.OnDestroy();
}

void CFullScreenDlg::Create() {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kFullScreenDialog);
  if (dialog == nullptr) return;
  if (screen_ != nullptr) setScreen(screen_);
  // The template's controls; the two lists draw their own rows.
  BuildDialog(*this, *dialog, [](const res::ControlTemplate& control, QWidget* parent) -> QWidget* {
    if (control.id == res::fullscreen::kChoiceList) return new CColorListBox(true, parent);
    if (control.id == res::fullscreen::kMovieList) return new CColorListBox(false, parent);
    return nullptr;
  });
  // The template's size is where the controls are scaled from; the window itself grows to
  // its screen.
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  choiceList_ = FindControlAs<CColorListBox>(*this, res::fullscreen::kChoiceList);
  movieList_ = FindControlAs<CColorListBox>(*this, res::fullscreen::kMovieList);
  label_ = FindControlAs<QLabel>(*this, res::fullscreen::kLabel);
  if (choiceList_ == nullptr || movieList_ == nullptr || label_ == nullptr) return;
  setWindowIcon(AppIcon());
  setWindowTitle(ToQString(res::LoadString(res::kStrFullScreenTitle)));
  setAutoFillBackground(true);
  ConnectHandlers();
  for (QObject* watched : {static_cast<QObject*>(this), static_cast<QObject*>(choiceList_),
                           static_cast<QObject*>(movieList_)}) {
    keyRepeats_.Watch(*watched);
  }
  choiceList_->setFocus();
  created_ = true;
  // Watched before the first read, so that no change after it is missed. The rules do a
  // tick's work for a wake-up while their poll runs.
  diskChanges_ = std::make_unique<DiskChangeNotifier>(diskEvents_);
  connect(diskChanges_.get(), &DiskChangeNotifier::diskChanged, this,
          [this] { rules_.OnDiskChange(); });
  rules_.OnInitDialog({FromQRect(label_->geometry()), FromQRect(movieList_->geometry()),
                       FromQRect(choiceList_->geometry())});
}

void CFullScreenDlg::ConnectHandlers() {
  for (CColorListBox* list : {choiceList_, movieList_}) list->SetKeyToItemTarget(this);
  connect(movieList_, &CColorListBox::SelectionChangedByUser, this,
          [this] { rules_.OnMovieSelChange(movieList_->CurSel()); });
  connect(choiceList_, &CColorListBox::SelectionChangedByUser, this,
          [this] { rules_.OnChoiceSelChange(choiceList_->CurSel()); });
  connect(choiceList_, &CColorListBox::RowActivated, this,
          [this](int row) { rules_.OnChoiceActivated(row); });
  if (taskbarCreated_ != nullptr) {
    connect(taskbarCreated_, &TrayHostWatcher::TrayHostAppeared, this,
            [this] { rules_.OnTaskbarCreated(); });
  }
}

CTrayIcon& CFullScreenDlg::Tray() {
  // Made on first use: a window that is never hidden needs no icon, and making one costs
  // start-up time.
  if (tray_ != nullptr) return *tray_;
  tray_ = std::make_unique<CTrayIcon>();
  connect(tray_.get(), &CTrayIcon::Command, this,
          [this](res::TrayCommand command) { rules_.OnTrayCommand(command); });
  connect(tray_.get(), &CTrayIcon::Clicked, this, [this] { rules_.OnTrayClick(); });
  return *tray_;
}

QScreen* CFullScreenDlg::TargetScreen() const {
  // The screen the window is on once it was shown; before that the one it was made for.
  if (QScreen* on = screen(); on != nullptr && isVisible()) return on;
  if (screen_ != nullptr) return screen_;
  return QGuiApplication::primaryScreen();
}

Rect CFullScreenDlg::WindowRect() const { return FromQRect(geometry()); }

Rect CFullScreenDlg::CoveringRect() const {
  const QScreen* on = TargetScreen();
  return on != nullptr ? FromQRect(on->geometry()) : WindowRect();
}

int CFullScreenDlg::ScreenHeight() const {
  const QScreen* on = TargetScreen();
  return on != nullptr ? on->geometry().height() : 0;
}

bool CFullScreenDlg::IsShown() const { return isVisible(); }

bool CFullScreenDlg::IsMinimised() const { return isMinimized(); }

void CFullScreenDlg::ShowLabel(std::string_view text) { label_->setText(ToQString(text)); }

void CFullScreenDlg::ShowMovieRows(const std::vector<screen::MovieRow>& rows, int selected) {
  movieList_->ResetContent();
  for (const screen::MovieRow& row : rows) movieList_->AddRow(ToQString(row.text));
  movieList_->SetCurSel(selected);
}

void CFullScreenDlg::ShowChoiceRows(const std::vector<screen::ChoiceRow>& rows, int selected) {
  choiceList_->ResetContent();
  for (const screen::ChoiceRow& row : rows) choiceList_->AddRow(ToQString(row.text));
  choiceList_->SetCurSel(selected);
}

void CFullScreenDlg::ApplyTheme(const Theme& theme, int moviePadding, int choicePadding) {
  // The window, the label and the empty part of the lists show the label's background;
  // every text the window draws itself is in the label's colour.
  QPalette colours = palette();
  colours.setColor(QPalette::Window, ToQColor(theme.LabelBg));
  colours.setColor(QPalette::WindowText, ToQColor(theme.LabelFg));
  colours.setColor(QPalette::Text, ToQColor(theme.LabelFg));
  setPalette(colours);
  label_->setPalette(colours);
  label_->setFont(ToQFont(theme.LabelFont, ScreenHeight()));
  labelFont_ = theme.LabelFont;

  choiceList_->SetHighlightStyle(theme.ChoiceHighFg, theme.ChoiceHighBg, theme.ChoiceFont);
  choiceList_->SetNormalStyle(theme.ChoiceFg, theme.ChoiceBg, theme.ChoiceFont);
  choiceList_->SetPadding(choicePadding);
  choiceList_->ApplyRowHeights();
  movieList_->SetHighlightStyle(theme.MoviesHighFg, theme.MoviesHighBg, theme.MoviesFont);
  movieList_->SetNormalStyle(theme.MoviesFg, theme.MoviesBg, theme.MoviesFont);
  movieList_->SetPadding(moviePadding);
  movieList_->ApplyRowHeights();
  label_->update();
  if (notice_ != nullptr) {
    notice_->setPalette(colours);
    PlaceNotice();
  }
}

void CFullScreenDlg::MoveControls(const screen::ScreenLayout& layout) {
  label_->setGeometry(ToQRect(layout.label));
  movieList_->setGeometry(ToQRect(layout.movieList));
  choiceList_->setGeometry(ToQRect(layout.choiceList));
  // The lists scroll under their selection, which a change of height may have hidden.
  for (CColorListBox* list : {movieList_, choiceList_}) {
    if (QListWidgetItem* current = list->currentItem()) list->scrollToItem(current);
    list->viewport()->update();
  }
}

QRect CFullScreenDlg::PictureRect() const { return ToQRect(pictureRect_); }

void CFullScreenDlg::ShowPicture(const Rect& rect) {
  const CoverPicture& picture = rules_.Picture();
  const QSize size(rect.Width(), rect.Height());
  if (!picture.HasPicture() || size.isEmpty()) {
    drawn_ = QImage();
    drawnPixels_ = nullptr;
  } else if (picture.Pixels() != drawnPixels_ || drawn_.size() != size) {
    // The bitmap's rows run bottom-up in blue, green, red, each padded to 4 bytes: the
    // image wraps them as they are, upside down, and the smooth stretch to the drawn
    // size is turned the right way up.
    const PictureSize held = picture.PixelSize();
    const QImage bitmap(picture.Pixels(), held.width, held.height,
                        static_cast<qsizetype>(picture.RowBytes()), QImage::Format_BGR888);
    drawn_ = bitmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 .mirrored(false, true)
                 .convertToFormat(QImage::Format_RGB32);
    drawnPixels_ = picture.Pixels();
  }
  if (rect != pictureRect_) update(PictureRect());
  pictureRect_ = rect;
  update(PictureRect());
}

void CFullScreenDlg::Invalidate() { update(); }

void CFullScreenDlg::ShowNotice(std::string_view text) {
  if (text.empty()) {
    if (notice_ != nullptr) notice_->hide();
    return;
  }
  if (notice_ == nullptr) {
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    notice_->setFrameStyle(QFrame::Box | QFrame::Plain);
    notice_->setAutoFillBackground(true);
    // It takes no keys: Enter and Escape reach the window, which closes it.
    notice_->setFocusPolicy(Qt::NoFocus);
    notice_->setPalette(palette());
  }
  notice_->setText(ToQString(text));
  PlaceNotice();
  notice_->show();
  notice_->raise();
}

void CFullScreenDlg::PlaceNotice() {
  if (notice_ == nullptr) return;
  // The label's face, and large enough to be read from a sofa: a twentieth of the
  // screen's height at least.
  const int screenHeight = ScreenHeight() > 0 ? ScreenHeight() : height();
  QFont font = ToQFont(labelFont_, screenHeight);
  const int least = std::max(12, screenHeight / 20);
  if (QFontMetrics(font).height() < least) font.setPixelSize(least);
  notice_->setFont(font);
  const int border = std::max(2, least / 8);
  notice_->setLineWidth(border);
  notice_->setMargin(least / 2);
  const int noticeWidth = std::max(1, width() * 4 / 5);
  const int noticeHeight = std::min(height(), notice_->heightForWidth(noticeWidth));
  notice_->setGeometry((width() - noticeWidth) / 2, (height() - noticeHeight) / 2, noticeWidth,
                       noticeHeight);
}

void CFullScreenDlg::ShowCovering() {
  setGeometry(ToQRect(CoveringRect()));
  showFullScreen();
  raise();
  activateWindow();
}

void CFullScreenDlg::TakeFocus() {
  if (!isVisible()) return;
  raise();
  activateWindow();
  // Without a window manager the toolkit's own request may come too late for the X
  // server (a player's window that went has moved the focus since the window's last
  // event); this one never does.
  FocusTopLevelWindow(*this, focus_);
}

void CFullScreenDlg::HideWindow() { hide(); }

void CFullScreenDlg::MinimiseWindow() {
  if (!isVisible()) setGeometry(ToQRect(CoveringRect()));
  showMinimized();
}

bool CFullScreenDlg::AddTrayIcon() { return Tray().AddTrayIcon(); }

void CFullScreenDlg::RemoveTrayIcon() {
  if (tray_ != nullptr) tray_->RemoveTrayIcon();
}

bool CFullScreenDlg::RunOptionsSheet() { return runOptions_ && runOptions_(*this); }

void CFullScreenDlg::StartTimer(std::chrono::milliseconds interval) {
  timer_.start(static_cast<int>(interval.count()), this);
}

void CFullScreenDlg::StopTimer() { timer_.stop(); }

void CFullScreenDlg::WatchPlayer(std::intptr_t endSignal) {
  if (playerWatches_.count(endSignal) != 0) return;
  const auto ended = [this, endSignal] { rules_.OnPlayerEnded(endSignal); };
#ifdef Q_OS_WIN
  auto watch = std::make_unique<QWinEventNotifier>(reinterpret_cast<HANDLE>(endSignal));
  connect(watch.get(), &QWinEventNotifier::activated, this, ended);
#else
  auto watch =
      std::make_unique<QSocketNotifier>(static_cast<qintptr>(endSignal), QSocketNotifier::Read);
  connect(watch.get(), &QSocketNotifier::activated, this, ended);
#endif
  playerWatches_[endSignal] = std::move(watch);
}

void CFullScreenDlg::StopWatchingPlayer(std::intptr_t endSignal) {
  const auto found = playerWatches_.find(endSignal);
  if (found == playerWatches_.end()) return;
  // Called from the notifier's own signal: it goes once that has returned, and watches
  // nothing meanwhile (the descriptor is closed right after this).
  QObject* watch = found->second.release();
  playerWatches_.erase(found);
#ifdef Q_OS_WIN
  static_cast<QWinEventNotifier*>(watch)->setEnabled(false);
#else
  static_cast<QSocketNotifier*>(watch)->setEnabled(false);
#endif
  watch->deleteLater();
}

void CFullScreenDlg::DestroyWindow() {
  if (destroying_) return;
  // The call that ended the window (a key, a click, a menu command) is still on the
  // stack: the window goes once it has returned.
  hide();
  deleteLater();
}

screen::Focus CFullScreenDlg::FocusedList() const {
  const QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && focus == choiceList_) return screen::Focus::ChoiceList;
  if (focus != nullptr && focus == movieList_) return screen::Focus::MovieList;
  return screen::Focus::Elsewhere;
}

int CFullScreenDlg::OnKeyToItem(CColorListBox& list, const QKeyEvent& key, int) {
  const screen::Focus focus =
      &list == choiceList_ ? screen::Focus::ChoiceList : screen::Focus::MovieList;
  switch (rules_.OnKey(ScreenKeyFromQt(key.key()), focus, keyRepeats_.LastPressRepeated())) {
    case screen::KeyOutcome::Handled:
      return KeyToItemTarget::kHandled;
    case screen::KeyOutcome::FocusNext:
      return KeyToItemTarget::kFocusNext;
    case screen::KeyOutcome::FocusPrevious:
      return KeyToItemTarget::kFocusPrevious;
    case screen::KeyOutcome::ListDefault:
      break;
  }
  return KeyToItemTarget::kDefault;
}

void CFullScreenDlg::reject() { rules_.OnCancel(); }

void CFullScreenDlg::accept() { rules_.OnOk(FocusedList()); }

void CFullScreenDlg::paintEvent(QPaintEvent*) {
  if (drawn_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(PictureRect().topLeft(), drawn_);
}

void CFullScreenDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (created_ && !isMinimized()) rules_.OnSize(WindowRect());
  if (notice_ != nullptr && notice_->isVisible()) PlaceNotice();
}

void CFullScreenDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timer_.timerId()) {
    rules_.OnTimer();
    return;
  }
  QDialog::timerEvent(event);
}

void CFullScreenDlg::keyPressEvent(QKeyEvent* event) {
  // The keys that no list took: the focus is elsewhere, or a list handled the key as
  // usual and passed it on, which the rules answer alike the second time.
  const screen::KeyOutcome outcome =
      rules_.OnKey(ScreenKeyFromQt(event->key()), FocusedList(), keyRepeats_.LastPressRepeated());
  if (outcome == screen::KeyOutcome::Handled) return;
  event->ignore();
}

void CFullScreenDlg::closeEvent(QCloseEvent* event) {
  // Closing from outside ends the program as Enter outside the lists does; the window's
  // own ending has hidden it already.
  event->ignore();
  if (!rules_.Ended()) rules_.OnClose();
}

}  // namespace quorvel
