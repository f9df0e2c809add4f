#include "faces/win32/fullscreen/full_screen_dlg.h"

#include <algorithm>

#include "faces/win32/fullscreen/screen_key_map.h"
#include "faces/win32/resources/win32_template.h"
#include "platform/disk_events.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel::win32 {
namespace {

constexpr UINT_PTR kPollTimerId = 42;
// The notice is a child of its own id, drawn by the window.
constexpr int kNoticeId = 1100;
// The notice is never drawn smaller than this part of the screen's height, nor than
// this many pixels.
constexpr int kNoticeScreenPart = 20;
constexpr int kNoticeLeastHeight = 12;

RECT ToRECT(const Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
Rect FromRECT(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

std::vector<std::string> TextsOf(const auto& rows) {
  std::vector<std::string> texts;
  texts.reserve(rows.size());
  for (const auto& row : rows) texts.push_back(row.text);
  return texts;
}

}  // namespace

CFullScreenDlg::CFullScreenDlg(Settings& settings, const Services& services,
                               OptionsRunner runOptions, UINT taskbarCreatedMessage,
                               std::string diskPath)
    : rules_(settings, services, *this, std::move(diskPath)),
      diskEvents_(services.diskEvents),
      runOptions_(std::move(runOptions)),
      taskbarCreatedMessage_(taskbarCreatedMessage) {}

CFullScreenDlg::~CFullScreenDlg() {
  destroying_ = true;
  if (window_ != nullptr && IsWindow(window_)) ::DestroyWindow(window_);
  if (icon_ != nullptr) DestroyIcon(icon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

bool CFullScreenDlg::Create() {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kFullScreenDialog);
  if (dialog == nullptr) return false;
  const DialogTemplateBytes bytes(*dialog);
  window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), bytes.Get(), nullptr, &DialogProc,
                                       reinterpret_cast<LPARAM>(this));
  return window_ != nullptr && created_;
}

INT_PTR CALLBACK CFullScreenDlg::DialogProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CFullScreenDlg*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    self->window_ = window;
    self->OnInitDialog();
    // The focus is set: the choice list has it.
    return FALSE;
  }
  auto* self = reinterpret_cast<CFullScreenDlg*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return FALSE;
  const INT_PTR result = self->OnMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

Rect CFullScreenDlg::ControlRect(HWND control) const {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  return FromRECT(rect);
}

void CFullScreenDlg::OnInitDialog() {
  label_ = GetDlgItem(window_, res::fullscreen::kLabel);
  HWND choices = GetDlgItem(window_, res::fullscreen::kChoiceList);
  HWND movies = GetDlgItem(window_, res::fullscreen::kMovieList);
  if (label_ == nullptr || choices == nullptr || movies == nullptr) return;
  choiceList_.Attach(choices, *this);
  movieList_.Attach(movies, *this);
  const std::string title(res::LoadString(res::kStrFullScreenTitle));
  SetWindowTextA(window_, title.c_str());
  HINSTANCE instance = GetModuleHandleA(nullptr);
  icon_ =
      static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(res::kAppIcon), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(res::kAppIcon), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  tray_ = std::make_unique<CTrayIcon>(window_);
  SetFocus(choices);
  focusedList_ = choices;
  created_ = true;
  rules_.OnInitDialog({ControlRect(label_), ControlRect(movies), ControlRect(choices)});
}

CColorListBox* CFullScreenDlg::ListOf(int controlId) {
  if (controlId == res::fullscreen::kChoiceList) return &choiceList_;
  if (controlId == res::fullscreen::kMovieList) return &movieList_;
  return nullptr;
}

INT_PTR CFullScreenDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    rules_.OnTaskbarCreated();
    return FALSE;
  }
  switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
      // The window, the label and the lists' empty part: the label's colours.
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, labelText_);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(
          labelBrush_.Get() != nullptr ? labelBrush_.Get() : GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wParam));
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_PAINT:
      if (IsIconic(window_) && icon_ != nullptr) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        RECT client;
        GetClientRect(window_, &client);
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, icon_);
        EndPaint(window_, &paint);
        return TRUE;
      }
      return FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (CColorListBox* list = ListOf(static_cast<int>(item.CtlID))) {
        list->Measure(item);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (CColorListBox* list = ListOf(static_cast<int>(item.CtlID))) {
        list->Draw(item);
        return TRUE;
      }
      if (item.CtlID == kNoticeId) {
        HDC dc = item.hDC;
        RECT rect = item.rcItem;
        FillRect(dc, &rect,
                 labelBrush_.Get() != nullptr ? labelBrush_.Get() : GetSysColorBrush(COLOR_WINDOW));
        const int least = std::max(kNoticeLeastHeight, ScreenHeight() / kNoticeScreenPart);
        const int border = std::max(2, least / 8);
        Brush frame(CreateSolidBrush(labelText_));
        for (int i = 0; i < border; ++i) {
          FrameRect(dc, &rect, frame.Get());
          InflateRect(&rect, -1, -1);
        }
        InflateRect(&rect, -least / 2, -least / 2);
        const int saved = SaveDC(dc);
        if (noticeFont_.Get() != nullptr) SelectObject(dc, noticeFont_.Get());
        SetTextColor(dc, labelText_);
        SetBkMode(dc, TRANSPARENT);
        RECT measured = rect;
        const int flags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
        DrawTextA(dc, noticeText_.c_str(), static_cast<int>(noticeText_.size()), &measured,
                  flags | DT_CALCRECT);
        const LONG textHeight = measured.bottom - measured.top;
        rect.top += std::max<LONG>(0, (rect.bottom - rect.top - textHeight) / 2);
        DrawTextA(dc, noticeText_.c_str(), static_cast<int>(noticeText_.size()), &rect, flags);
        RestoreDC(dc, saved);
        return TRUE;
      }
      return FALSE;
    }
    case WM_VKEYTOITEM:
      // Answered directly: -2 the window handled the key, -1 the list handles it.
      return OnKeyToItem(wParam);
    case WM_APPCOMMAND:
      if (OnAppCommand(lParam)) {
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kPollTimerId) {
        rules_.OnTimer();
        return TRUE;
      }
      return FALSE;
    case WM_SIZE:
      if (created_ && wParam != SIZE_MINIMIZED) {
        rules_.OnSize(WindowRect());
        PlaceNotice();
      }
      return FALSE;
    case WM_CLOSE:
      // Closed from outside (its system menu, Alt+F4): the program ends as with Enter
      // outside the lists.
      if (!rules_.Ended()) rules_.OnClose();
      return TRUE;
    case WM_ACTIVATE:
      // The list that has the focus gets it back when the window is active again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus == choiceList_.Handle() || focus == movieList_.Handle()) focusedList_ = focus;
      }
      return FALSE;
    case kTrayCallbackMessage:
      OnTrayNotify(wParam, lParam);
      return TRUE;
    case WM_DEVICECHANGE:
      OnDeviceChange(wParam, lParam);
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case kDestroyLaterMessage:
      ::DestroyWindow(window_);
      return TRUE;
    case WM_DESTROY:
      destroying_ = true;
      if (timerRunning_) KillTimer(window_, kPollTimerId);
      timerRunning_ = false;
      rules_.OnDestroy();
      if (tray_ != nullptr) tray_->RemoveTrayIcon();
      watched_.clear();
      PostQuitMessage(0);
      return FALSE;
    default:
      return FALSE;
  }
}

void CFullScreenDlg::OnCommand(int id, int notification, HWND control) {
  switch (id) {
    case IDOK:
      // Enter, which the dialog manager takes before either list, goes through the
      // key table as every other key.
      rules_.OnChoiceSelChange(choiceList_.CurSel());
      rules_.OnKey(screen::Key::Enter, FocusedList(), lastKeyRepeated_);
      return;
    case IDCANCEL:
      rules_.OnKey(screen::Key::Escape, FocusedList(), lastKeyRepeated_);
      return;
    case res::fullscreen::kMovieList:
      if (notification == LBN_SELCHANGE && control == movieList_.Handle()) {
        rules_.OnMovieSelChange(movieList_.CurSel());
      }
      return;
    default:
      // An item of the tray menu: what it does comes with it.
      if (const res::MenuTemplate* menu = res::FindMenuTemplate(res::kTrayMenu)) {
        const res::MenuItem* item = res::FindMenuItem(*menu, id);
        if (item != nullptr && item->action) rules_.OnTrayCommand(*item->action);
      }
      return;
  }
}

INT_PTR CFullScreenDlg::AnswerKey(screen::Key key, bool repeated) {
  switch (rules_.OnKey(key, FocusedList(), repeated)) {
    case screen::KeyOutcome::Handled:
      return -2;
    case screen::KeyOutcome::FocusNext:
      SendMessageA(window_, WM_NEXTDLGCTL, 0, FALSE);
      return -2;
    case screen::KeyOutcome::FocusPrevious:
      SendMessageA(window_, WM_NEXTDLGCTL, 1, FALSE);
      return -2;
    case screen::KeyOutcome::ListDefault:
      break;
  }
  return -1;
}

INT_PTR CFullScreenDlg::OnKeyToItem(WPARAM wParam) {
  // The choice list reports no selection change of its own: the rules learn its
  // selection before each key.
  rules_.OnChoiceSelChange(choiceList_.CurSel());
  return AnswerKey(ScreenKeyFromVirtualKey(LOWORD(wParam)), lastKeyRepeated_);
}

bool CFullScreenDlg::OnAppCommand(LPARAM lParam) {
  const std::optional<screen::Key> key = ScreenKeyFromAppCommand(GET_APPCOMMAND_LPARAM(lParam));
  if (!key) return false;
  // A media key arrives both as this command and as the key itself: the key acts.
  // Commands from a remote control or a mouse come alone and act here.
  if (AppCommandFromKey(lParam)) return true;
  rules_.OnChoiceSelChange(choiceList_.CurSel());
  AnswerKey(*key, false);
  return true;
}

void CFullScreenDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
  if (wParam != kTrayIconId || tray_ == nullptr) return;
  switch (LOWORD(lParam)) {
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
      tray_->ShowMenu();
      return;
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      // A click brings the window back, as a double click does.
      rules_.OnTrayClick();
      return;
    default:
      return;
  }
}

void CFullScreenDlg::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
  // A volume came or went: the rules read the disk now rather than at their next tick.
  if (diskEvents_.DeviceChangeReport(static_cast<std::uintptr_t>(wParam),
                                     static_cast<std::intptr_t>(lParam))) {
    rules_.OnDiskChange();
  }
}

void CFullScreenDlg::OnListKeyDown(HWND, bool repeated) { lastKeyRepeated_ = repeated; }

void CFullScreenDlg::OnListClicked(HWND list, int row) {
  // A click on a choice runs it at once.
  if (list != choiceList_.Handle()) return;
  rules_.OnChoiceActivated(row);
}

void CFullScreenDlg::NoteKeyMessage(const MSG& message) {
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    lastKeyRepeated_ = (message.lParam & (1 << 30)) != 0;
  }
}

void CFullScreenDlg::OnPlayerSignalled(HANDLE player) {
  // Not waited for again, whatever the rules do with it.
  std::erase(watched_, player);
  rules_.OnPlayerEnded(reinterpret_cast<std::intptr_t>(player));
}

void CFullScreenDlg::EraseBackground(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, &client,
           labelBrush_.Get() != nullptr ? labelBrush_.Get() : GetSysColorBrush(COLOR_WINDOW));
  const CoverPicture& picture = rules_.Picture();
  if (!picture.HasPicture() || pictureRect_.Width() <= 0 || pictureRect_.Height() <= 0) return;
  // The bitmap as the rules hold it: rows bottom-up, blue, green, red, padded to 4 bytes.
  const BitmapInfoHeader& held = picture.Header();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = held.width;
  info.bmiHeader.biHeight = held.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = held.bitCount;
  info.bmiHeader.biCompression = BI_RGB;
  // Shrinking by dropping rows and columns would break thin lines of a cover apart.
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, pictureRect_.left, pictureRect_.top, pictureRect_.Width(),
                pictureRect_.Height(), 0, 0, held.width, held.height, picture.Pixels(), &info,
                DIB_RGB_COLORS, SRCCOPY);
}

Rect CFullScreenDlg::WindowRect() const {
  RECT rect{};
  GetWindowRect(window_, &rect);
  return FromRECT(rect);
}

Rect CFullScreenDlg::CoveringRect() const {
  HMONITOR monitor = MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) return WindowRect();
  return FromRECT(info.rcMonitor);
}

int CFullScreenDlg::ScreenHeight() const { return CoveringRect().Height(); }

bool CFullScreenDlg::IsShown() const { return window_ != nullptr && IsWindowVisible(window_); }

bool CFullScreenDlg::IsMinimised() const { return window_ != nullptr && IsIconic(window_); }

void CFullScreenDlg::ShowLabel(std::string_view text) {
  const std::string shown(text);
  SetWindowTextA(label_, shown.c_str());
}

void CFullScreenDlg::ShowMovieRows(const std::vector<screen::MovieRow>& rows, int selected) {
  movieList_.SetRows(TextsOf(rows), selected);
}

void CFullScreenDlg::ShowChoiceRows(const std::vector<screen::ChoiceRow>& rows, int selected) {
  choiceList_.SetRows(TextsOf(rows), selected);
}

void CFullScreenDlg::ApplyTheme(const Theme& theme, int moviePadding, int choicePadding) {
  const int screenHeight = ScreenHeight();
  labelBrush_.Reset(CreateSolidBrush(ToColorRef(theme.LabelBg)));
  labelText_ = ToColorRef(theme.LabelFg);
  labelFontDescription_ = theme.LabelFont;
  const LOGFONTA labelFont = ToLogFont(theme.LabelFont, screenHeight);
  const Font previous(labelFont_.Release());  // freed once the label has the new font
  labelFont_.Reset(CreateFontIndirectA(&labelFont));
  SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.Get()), TRUE);

  choiceList_.SetHighlightStyle(theme.ChoiceHighFg, theme.ChoiceHighBg, theme.ChoiceFont,
                                screenHeight);
  choiceList_.SetNormalStyle(theme.ChoiceFg, theme.ChoiceBg, theme.ChoiceFont, screenHeight);
  choiceList_.SetPadding(choicePadding);
  choiceList_.ApplyRowHeights();
  movieList_.SetHighlightStyle(theme.MoviesHighFg, theme.MoviesHighBg, theme.MoviesFont,
                               screenHeight);
  movieList_.SetNormalStyle(theme.MoviesFg, theme.MoviesBg, theme.MoviesFont, screenHeight);
  movieList_.SetPadding(moviePadding);
  movieList_.ApplyRowHeights();
  InvalidateRect(window_, nullptr, TRUE);
  PlaceNotice();
}

void CFullScreenDlg::MoveControls(const screen::ScreenLayout& layout) {
  const auto move = [](HWND control, const Rect& rect) {
    MoveWindow(control, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
  };
  move(label_, layout.label);
  move(movieList_.Handle(), layout.movieList);
  move(choiceList_.Handle(), layout.choiceList);
  // The lists scroll under their selection, which a change of height may have hidden.
  for (CColorListBox* list : {&movieList_, &choiceList_}) {
    const int row = list->CurSel();
    if (row >= 0) SendMessageA(list->Handle(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    InvalidateRect(list->Handle(), nullptr, TRUE);
  }
}

void CFullScreenDlg::ShowPicture(const Rect& rect) {
  RECT old = ToRECT(pictureRect_);
  InvalidateRect(window_, &old, TRUE);
  pictureRect_ = rect;
  RECT now = ToRECT(pictureRect_);
  InvalidateRect(window_, &now, TRUE);
}

void CFullScreenDlg::Invalidate() { InvalidateRect(window_, nullptr, TRUE); }

void CFullScreenDlg::ShowNotice(std::string_view text) {
  noticeText_ = std::string(text);
  if (text.empty()) {
    if (notice_ != nullptr) ShowWindow(notice_, SW_HIDE);
    return;
  }
  if (notice_ == nullptr) {
    // Drawn by the window; a static control without SS_NOTIFY never takes the focus,
    // so Enter and Escape still reach the window, which closes it.
    notice_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_OWNERDRAW, 0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNoticeId)),
                              GetModuleHandleA(nullptr), nullptr);
  }
  PlaceNotice();
  ShowWindow(notice_, SW_SHOW);
  InvalidateRect(notice_, nullptr, TRUE);
}

void CFullScreenDlg::PlaceNotice() {
  if (notice_ == nullptr || window_ == nullptr) return;
  // The label's face, and large enough to be read from a sofa.
  const int screenHeight = ScreenHeight();
  const int least = std::max(kNoticeLeastHeight, screenHeight / kNoticeScreenPart);
  LOGFONTA font = ToLogFont(labelFontDescription_, screenHeight);
  if (std::abs(font.lfHeight) < least) font.lfHeight = -least;
  noticeFont_.Reset(CreateFontIndirectA(&font));
  RECT client;
  GetClientRect(window_, &client);
  const int border = std::max(2, least / 8);
  const int margin = least / 2 + border;
  const int width = std::max(1, static_cast<int>(client.right * 4 / 5));
  RECT text{0, 0, std::max(1, width - 2 * margin), 0};
  HDC dc = GetDC(window_);
  const int saved = SaveDC(dc);
  if (noticeFont_.Get() != nullptr) SelectObject(dc, noticeFont_.Get());
  DrawTextA(dc, noticeText_.c_str(), static_cast<int>(noticeText_.size()), &text,
            DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  RestoreDC(dc, saved);
  ReleaseDC(window_, dc);
  const int height = std::min(static_cast<int>(client.bottom),
                              static_cast<int>(text.bottom - text.top) + 2 * margin);
  SetWindowPos(notice_, HWND_TOP, (client.right - width) / 2, (client.bottom - height) / 2, width,
               height, SWP_NOACTIVATE);
  InvalidateRect(notice_, nullptr, TRUE);
}

void CFullScreenDlg::ShowCovering() {
  const Rect covering = CoveringRect();
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  SetWindowPos(window_, HWND_TOP, covering.left, covering.top, covering.Width(), covering.Height(),
               SWP_SHOWWINDOW);
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
  SetFocus(focusedList_ != nullptr ? focusedList_ : choiceList_.Handle());
}

void CFullScreenDlg::TakeFocus() {
  if (!IsShown()) return;
  SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
  HWND focus = GetFocus();
  if (focus == choiceList_.Handle() || focus == movieList_.Handle()) focusedList_ = focus;
  // The focus is moved away and back even when the system still gives it to the list:
  // a player's window that went may have taken the keyboard of the display with it
  // (X11 without a window manager), and only a change of focus hands it back.
  SetFocus(window_);
  SetFocus(focusedList_ != nullptr ? focusedList_ : choiceList_.Handle());
}

void CFullScreenDlg::HideWindow() {
  HWND focus = GetFocus();
  if (focus == choiceList_.Handle() || focus == movieList_.Handle()) focusedList_ = focus;
  ShowWindow(window_, SW_HIDE);
}

void CFullScreenDlg::MinimiseWindow() {
  if (!IsShown()) {
    const Rect covering = CoveringRect();
    SetWindowPos(window_, nullptr, covering.left, covering.top, covering.Width(), covering.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(window_, SW_MINIMIZE);
}

bool CFullScreenDlg::AddTrayIcon() { return tray_ != nullptr && tray_->AddTrayIcon(); }

void CFullScreenDlg::RemoveTrayIcon() {
  if (tray_ != nullptr) tray_->RemoveTrayIcon();
}

bool CFullScreenDlg::RunOptionsSheet() { return runOptions_ && runOptions_(window_); }

void CFullScreenDlg::StartTimer(std::chrono::milliseconds interval) {
  SetTimer(window_, kPollTimerId, static_cast<UINT>(interval.count()), nullptr);
  timerRunning_ = true;
}

void CFullScreenDlg::StopTimer() {
  if (window_ != nullptr) KillTimer(window_, kPollTimerId);
  timerRunning_ = false;
}

void CFullScreenDlg::WatchPlayer(std::intptr_t endSignal) {
  HANDLE player = reinterpret_cast<HANDLE>(endSignal);
  // The message loop waits for at most MAXIMUM_WAIT_OBJECTS - 1 handles beside the
  // messages; a player beyond them is not watched.
  if (std::ranges::find(watched_, player) != watched_.end()) return;
  if (watched_.size() + 1 >= MAXIMUM_WAIT_OBJECTS) return;
  watched_.push_back(player);
}

void CFullScreenDlg::StopWatchingPlayer(std::intptr_t endSignal) {
  std::erase(watched_, reinterpret_cast<HANDLE>(endSignal));
}

void CFullScreenDlg::DestroyWindow() {
  if (destroying_ || window_ == nullptr) return;
  // The call that ended the window (a key, a click, a menu command) is still on the
  // stack: the window goes once it has returned.
  ShowWindow(window_, SW_HIDE);
  PostMessageA(window_, kDestroyLaterMessage, 0, 0);
}

screen::Focus CFullScreenDlg::FocusedList() const {
  HWND focus = GetFocus();
  if (focus != nullptr && focus == choiceList_.Handle()) return screen::Focus::ChoiceList;
  if (focus != nullptr && focus == movieList_.Handle()) return screen::Focus::MovieList;
  return screen::Focus::Elsewhere;
}

}  // namespace quorvel::win32
