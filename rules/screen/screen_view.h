#pragma once
// What the screen's rules ask of the window that shows them. The rules decide what the
// label, the two lists and the picture show and where; the view puts it on the screen
// and reports the user's input back. A Qt view and a Windows view implement the same
// interface.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/theme.h"
#include "picture/rect.h"
#include "rules/screen/screen_layout.h"

namespace quorvel {

namespace screen {

// A row of the movie list, as the view shows it. The view reports a row by its number;
// the rules know the movie it stands for.
struct MovieRow {
  std::string text;
  bool operator==(const MovieRow&) const = default;
};

// A row of the choice list, as the view shows it. The view reports a row by its number
// (selected, or activated by a click); the rules know the command it runs.
struct ChoiceRow {
  std::string text;
  bool operator==(const ChoiceRow&) const = default;
};

class ScreenView {
 public:
  // The window's rectangle in screen pixels; the rules use its width and height.
  virtual Rect WindowRect() const = 0;
  // The rectangle the window covers when it is shown full: the screen it is on.
  virtual Rect CoveringRect() const = 0;
  // Height of that screen in pixels; fonts are never drawn higher.
  virtual int ScreenHeight() const = 0;
  // Whether the window is on the screen (shown, also when minimised).
  virtual bool IsShown() const = 0;
  // Whether the window is minimised (it may still count as shown).
  virtual bool IsMinimised() const = 0;

  virtual void ShowLabel(std::string_view text) = 0;
  // Replaces every row of a list and selects `selected` (-1: none). The view reports no
  // selection change for this.
  virtual void ShowMovieRows(const std::vector<MovieRow>& rows, int selected) = 0;
  virtual void ShowChoiceRows(const std::vector<ChoiceRow>& rows, int selected) = 0;
  // Fonts and colours of the label, the window and both lists, with the padding above
  // and below the text of each list's rows.
  virtual void ApplyTheme(const Theme& theme, int moviePadding, int choicePadding) = 0;
  // Moves the three controls (client pixels).
  virtual void MoveControls(const ScreenLayout& layout) = 0;
  // The cover picture was loaded, cleared or moved: it is drawn into `rect` (empty:
  // nothing is drawn).
  virtual void ShowPicture(const Rect& rect) = 0;
  // Repaints the whole window.
  virtual void Invalidate() = 0;
  // Shows `text` over the middle of the screen, large, in the label's font and colours,
  // readable from across the room; "" takes it away.
  virtual void ShowNotice(std::string_view text) = 0;

  // Shows the window covering CoveringRect(), on top and active.
  virtual void ShowCovering() = 0;
  // Raises the shown window over every other and gives it the keyboard focus, with or
  // without a window manager: the list that had the focus has it again.
  virtual void TakeFocus() = 0;
  virtual void HideWindow() = 0;
  virtual void MinimiseWindow() = 0;
  // Puts the program's icon into the tray; false when no tray can take it.
  virtual bool AddTrayIcon() = 0;
  virtual void RemoveTrayIcon() = 0;

  // Runs the options sheet over the window; true when it was closed with OK.
  virtual bool RunOptionsSheet() = 0;
  virtual void StartTimer(std::chrono::milliseconds interval) = 0;
  virtual void StopTimer() = 0;
  // Watches `endSignal` (StartedProgram::EndSignal of a player the rules started) in the
  // window's event loop and calls the rules' OnPlayerEnded with it once it is ready,
  // until StopWatchingPlayer.
  virtual void WatchPlayer(std::intptr_t endSignal) = 0;
  virtual void StopWatchingPlayer(std::intptr_t endSignal) = 0;
  // Closes the window for good; the program ends with it. The view is destroyed only
  // after the call that asked for it has returned.
  virtual void DestroyWindow() = 0;

 protected:
  ~ScreenView() = default;
};

}  // namespace screen
}  // namespace quorvel
