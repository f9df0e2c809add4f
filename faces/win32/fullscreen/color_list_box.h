#pragma once
// The list of the full-screen window over a list box of the dialog: rows drawn centred
// in large theme fonts and theme colours, as high as their font plus padding, and a list
// box adapted to a remote control: Left and Right move the focus to the other list, the
// other keys go to the window first (WM_VKEYTOITEM), letters never search the rows, and
// a click in a list built with activation runs the clicked row at once.

#include <string>
#include <vector>

#include "app/theme.h"
#include "faces/win32/resources/win32_font.h"
#include "faces/win32/resources/windows_api.h"

namespace quorvel::win32 {

// What the list tells its window beyond the list box's own notifications.
class ListOwner {
 public:
  // A key went down in `list`; `repeated`: a repeat of a held key.
  virtual void OnListKeyDown(HWND list, bool repeated) = 0;
  // A click in a list with activation selected row `row`.
  virtual void OnListClicked(HWND list, int row) = 0;

 protected:
  ~ListOwner() = default;
};

class CColorListBox {
 public:
  explicit CColorListBox(bool activation) : activation_(activation) {}
  ~CColorListBox();
  CColorListBox(const CColorListBox&) = delete;
  CColorListBox& operator=(const CColorListBox&) = delete;

  // Takes over the dialog's list box `list` (created with owner-drawn rows of variable
  // height that keep their strings and want keyboard input); `owner` hears its keys
  // and clicks.
  void Attach(HWND list, ListOwner& owner);
  HWND Handle() const { return list_; }

  void SetNormalStyle(ColorRef text, ColorRef background, const FontDescription& font,
                      int screenHeight);
  void SetHighlightStyle(ColorRef text, ColorRef background, const FontDescription& font,
                         int screenHeight);
  void SetPadding(int padding) { padding_ = padding; }
  // The larger height of the two fonts as drawn (0 for one that could not be made), or
  // 42 when that is 0.
  int TextHeight() const;
  int RowHeight() const;
  // Every row TextHeight() plus the padding above and below.
  void ApplyRowHeights();

  // Replaces every row and selects `selected` (-1: none), without a notification.
  void SetRows(const std::vector<std::string>& texts, int selected);
  int CurSel() const;
  int RowCount() const;
  bool HasActivation() const { return activation_; }

  // The window's answers to WM_MEASUREITEM and WM_DRAWITEM for this list.
  void Measure(MEASUREITEMSTRUCT& item) const;
  void Draw(const DRAWITEMSTRUCT& item) const;

 private:
  struct Style {
    COLORREF text;
    COLORREF background;
    Font font;
    int fontHeight = 0;
  };
  void SetStyle(Style& style, ColorRef text, ColorRef background, const FontDescription& font,
                int screenHeight);
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool activation_;
  HWND list_ = nullptr;
  ListOwner* owner_ = nullptr;
  WNDPROC listProc_ = nullptr;
  Style normal_{RGB(255, 255, 255), RGB(0, 0, 128), {}, 0};
  Style highlight_{RGB(0, 0, 128), RGB(255, 255, 255), {}, 0};
  int padding_ = 0;
};

}  // namespace quorvel::win32
