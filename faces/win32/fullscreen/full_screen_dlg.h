#pragma once
// The full-screen window, the television face of the program: a modeless dialog from
// template 129 that covers its monitor and shows what the screen's rules
// (rules/screen/full_screen_rules.h) decide: the disk label, the movie list, the choice
// list and the cover picture. It forwards every message that means something to the
// rules.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "faces/win32/fullscreen/color_list_box.h"
#include "faces/win32/fullscreen/tray_icon.h"
#include "faces/win32/resources/win32_font.h"
#include "faces/win32/resources/windows_api.h"
#include "rules/screen/full_screen_rules.h"

namespace quorvel::win32 {

// Runs the options sheet over `owner`; true when it was closed with OK.
using OptionsRunner = std::function<bool(HWND owner)>;

// A private message: the window destroys itself once the call that asked for it has
// returned.
inline constexpr UINT kDestroyLaterMessage = WM_APP + 1;

class CFullScreenDlg final : public screen::ScreenView, private ListOwner {
 public:
  // `settings` and `services` must outlive the window. `taskbarCreatedMessage`: the
  // registered "TaskbarCreated" message (0: none).
  CFullScreenDlg(Settings& settings, const Services& services, OptionsRunner runOptions,
                 UINT taskbarCreatedMessage, std::string diskPath);
  ~CFullScreenDlg();
  CFullScreenDlg(const CFullScreenDlg&) = delete;
  CFullScreenDlg& operator=(const CFullScreenDlg&) = delete;

  // Creates the window from template 129 and initialises it: the theme, the lists, the
  // first read of the disk, shown or in the tray, and timer 42. False when the window
  // could not be made.
  bool Create();
  HWND Handle() const { return window_; }

  // What the program's message loop asks of the window: the process handles to wait
  // for beside the messages, and the call when one of them is signalled.
  const std::vector<HANDLE>& WatchedPlayers() const { return watched_; }
  void OnPlayerSignalled(HANDLE player);
  // Every key message the loop takes, before the dialog manager turns Enter and Escape
  // into OK and Cancel: it remembers whether the press was a repeat of a held key.
  void NoteKeyMessage(const MSG& message);

  screen::FullScreenRules& Rules() { return rules_; }

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

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog();
  void OnCommand(int id, int notification, HWND control);
  INT_PTR OnKeyToItem(WPARAM wParam);
  // Carries out `key` by the key table with the focus where it is; answers as
  // WM_VKEYTOITEM does: -2 when the key was taken, -1 for the list's own handling.
  INT_PTR AnswerKey(screen::Key key, bool repeated);
  bool OnAppCommand(LPARAM lParam);
  void OnTrayNotify(WPARAM wParam, LPARAM lParam);
  void OnDeviceChange(WPARAM wParam, LPARAM lParam);
  void EraseBackground(HDC dc);
  void PlaceNotice();
  screen::Focus FocusedList() const;
  CColorListBox* ListOf(int controlId);
  Rect ControlRect(HWND control) const;

  // ListOwner
  void OnListKeyDown(HWND list, bool repeated) override;
  void OnListClicked(HWND list, int row) override;

  screen::FullScreenRules rules_;
  DiskEvents& diskEvents_;  // tells which of the system's device-change reports matter
  OptionsRunner runOptions_;
  UINT taskbarCreatedMessage_;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND notice_ = nullptr;
  std::string noticeText_;
  CColorListBox choiceList_{true};
  CColorListBox movieList_{false};
  std::unique_ptr<CTrayIcon> tray_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  Brush labelBrush_;
  Font labelFont_;
  Font noticeFont_;
  COLORREF labelText_ = RGB(255, 255, 255);
  FontDescription labelFontDescription_ = FontDescription::Default();
  Rect pictureRect_;
  std::vector<HANDLE> watched_;
  HWND focusedList_ = nullptr;  // the list that had the focus when the window was hidden
  bool lastKeyRepeated_ = false;
  bool timerRunning_ = false;
  bool created_ = false;
  bool destroying_ = false;
};

}  // namespace quorvel::win32
