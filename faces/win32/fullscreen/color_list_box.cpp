#include "faces/win32/fullscreen/color_list_box.h"

#include "rules/screen/screen_layout.h"

namespace quorvel::win32 {
namespace {

constexpr char kOwnerProperty[] = "Quorvel.ColorListBox";

}  // namespace

CColorListBox::~CColorListBox() {
  if (list_ != nullptr && IsWindow(list_)) {
    SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc_));
    RemovePropA(list_, kOwnerProperty);
  }
}

void CColorListBox::Attach(HWND list, ListOwner& owner) {
  list_ = list;
  owner_ = &owner;
  SetPropA(list_, kOwnerProperty, this);
  listProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
}

LRESULT CALLBACK CColorListBox::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CColorListBox*>(GetPropA(list, kOwnerProperty));
  if (self == nullptr) return DefWindowProcA(list, message, wParam, lParam);
  return self->OnListMessage(message, wParam, lParam);
}

LRESULT CColorListBox::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      // Bit 30: the key was down before, a repeat of a held key.
      owner_->OnListKeyDown(list_, (lParam & (1 << 30)) != 0);
      if (wParam == VK_LEFT || wParam == VK_RIGHT) {
        // Left moves the focus on in the dialog's tab order, Right back; the list box
        // never sees them.
        SendMessageA(GetParent(list_), WM_NEXTDLGCTL, wParam == VK_RIGHT ? 1 : 0, FALSE);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_LEFT || wParam == VK_RIGHT) return 0;
      break;
    case WM_CHAR:
      // A list box with strings selects the row that starts with a typed letter; here the
      // letters are the window's commands, answered on key down.
      return 0;
    case WM_LBUTTONDOWN: {
      const LRESULT result = CallWindowProcA(listProc_, list_, message, wParam, lParam);
      if (activation_) {
        const int row = CurSel();
        if (row >= 0) owner_->OnListClicked(list_, row);
      }
      return result;
    }
    default:
      break;
  }
  return CallWindowProcA(listProc_, list_, message, wParam, lParam);
}

void CColorListBox::SetStyle(Style& style, ColorRef text, ColorRef background,
                             const FontDescription& font, int screenHeight) {
  style.text = ToColorRef(text);
  style.background = ToColorRef(background);
  const LOGFONTA logFont = ToLogFont(font, screenHeight);
  style.font.Reset(CreateFontIndirectA(&logFont));
  style.fontHeight = style.font.Get() != nullptr ? DrawnHeight(font, screenHeight) : 0;
  ApplyRowHeights();
  if (list_ != nullptr) InvalidateRect(list_, nullptr, TRUE);
}

void CColorListBox::SetNormalStyle(ColorRef text, ColorRef background, const FontDescription& font,
                                   int screenHeight) {
  SetStyle(normal_, text, background, font, screenHeight);
}

void CColorListBox::SetHighlightStyle(ColorRef text, ColorRef background,
                                      const FontDescription& font, int screenHeight) {
  SetStyle(highlight_, text, background, font, screenHeight);
}

int CColorListBox::TextHeight() const {
  return screen::ListTextHeight(normal_.fontHeight, highlight_.fontHeight);
}

int CColorListBox::RowHeight() const { return screen::RowHeight(TextHeight(), padding_); }

void CColorListBox::ApplyRowHeights() {
  if (list_ == nullptr) return;
  const int rows = RowCount();
  for (int row = 0; row < rows; ++row) {
    SendMessageA(list_, LB_SETITEMHEIGHT, static_cast<WPARAM>(row), MAKELPARAM(RowHeight(), 0));
  }
}

void CColorListBox::SetRows(const std::vector<std::string>& texts, int selected) {
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list_, LB_RESETCONTENT, 0, 0);
  for (const std::string& text : texts) {
    SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

int CColorListBox::CurSel() const {
  const LRESULT row = SendMessageA(list_, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

int CColorListBox::RowCount() const {
  const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

void CColorListBox::Measure(MEASUREITEMSTRUCT& item) const {
  item.itemHeight = static_cast<UINT>(RowHeight());
}

void CColorListBox::Draw(const DRAWITEMSTRUCT& item) const {
  // -1 comes for an empty list that has the focus: no row, no focus frame.
  if (item.itemID >= static_cast<UINT>(RowCount())) return;
  const LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, item.itemID, 0);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) {
    SendMessageA(list_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const Style& style = selected ? highlight_ : normal_;
  HFONT font = style.font.Get();
  if (selected && font == nullptr) font = normal_.font.Get();
  HDC dc = item.hDC;
  const int savedState = SaveDC(dc);
  if (font != nullptr) SelectObject(dc, font);
  SetTextColor(dc, style.text);
  SetBkColor(dc, style.background);
  SetBkMode(dc, OPAQUE);
  RECT rect = item.rcItem;
  // ExtTextOut with an opaque rectangle and no text fills the row in the background
  // colour without a brush.
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) {
    HBRUSH frame = CreateSolidBrush(style.text);
    FrameRect(dc, &item.rcItem, frame);
    DeleteObject(frame);
  }
  RestoreDC(dc, savedState);
}

}  // namespace quorvel::win32
