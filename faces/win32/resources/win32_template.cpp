#include "faces/win32/resources/win32_template.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <string_view>

namespace quorvel::win32 {
namespace {

using res::ControlKind;

// The template's texts are bytes in the ANSI code page; the template holds UTF-16.
void AppendText(std::vector<WORD>& out, std::string_view text) {
  if (!text.empty()) {
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wide > 0) {
      const std::size_t at = out.size();
      out.resize(at + static_cast<std::size_t>(wide));
      MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(&out[at]), wide);
    }
  }
  out.push_back(0);
}

void AppendDword(std::vector<WORD>& out, DWORD value) {
  out.push_back(static_cast<WORD>(value & 0xFFFF));
  out.push_back(static_cast<WORD>(value >> 16));
}

void AlignToDword(std::vector<WORD>& out) {
  if (out.size() % 2 != 0) out.push_back(0);
}

WORD Short(int value) { return static_cast<WORD>(static_cast<std::int16_t>(value)); }

}  // namespace

DWORD ControlWindowStyle(ControlKind kind, std::uint32_t style) {
  DWORD ws = WS_CHILD | WS_VISIBLE;
  if (style & res::kTabStop) ws |= WS_TABSTOP;
  if (style & res::kGroup) ws |= WS_GROUP;
  if (style & res::kDisabled) ws |= WS_DISABLED;
  if (style & res::kVerticalScroll) ws |= WS_VSCROLL;
  const bool border = (style & res::kBorder) != 0;
  switch (kind) {
    case ControlKind::Label:
      ws |= (style & res::kCenter) ? SS_CENTER : SS_LEFT;
      // A vertically centred label is one line; the system centres only single lines.
      if (style & res::kCenterVertical) ws |= SS_CENTERIMAGE;
      if (style & res::kNotify) ws |= SS_NOTIFY;
      if (border) ws |= SS_SUNKEN;
      break;
    case ControlKind::Icon:
      ws |= SS_ICON;
      break;
    case ControlKind::GroupBox:
      ws |= BS_GROUPBOX;
      break;
    case ControlKind::PushButton:
      ws |= BS_PUSHBUTTON;
      break;
    case ControlKind::DefPushButton:
      ws |= BS_DEFPUSHBUTTON;
      break;
    case ControlKind::CheckBox:
      ws |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::RadioButton:
      ws |= BS_AUTORADIOBUTTON;
      break;
    case ControlKind::Edit:
      ws |= ES_LEFT;
      if (style & res::kAutoHScroll) ws |= ES_AUTOHSCROLL;
      if (style & res::kNumber) ws |= ES_NUMBER;
      if (style & res::kMultiline) ws |= ES_MULTILINE | ES_WANTRETURN;
      if (border) ws |= WS_BORDER;
      break;
    case ControlKind::DropDownList:
      ws |= CBS_DROPDOWNLIST;
      if (style & res::kSorted) ws |= CBS_SORT;
      break;
    case ControlKind::ListBox:
      if (style & res::kNotify) ws |= LBS_NOTIFY;
      if (style & res::kSorted) ws |= LBS_SORT;
      // Owner-drawn rows keep their strings, so the owner draws them from the list.
      if (style & res::kOwnerDraw) ws |= LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
      if (style & res::kNoIntegralHeight) ws |= LBS_NOINTEGRALHEIGHT;
      if (style & res::kWantKeys) ws |= LBS_WANTKEYBOARDINPUT;
      if (border) ws |= WS_BORDER;
      break;
    case ControlKind::ListView:
      if (style & res::kReportView) ws |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
      if (border) ws |= WS_BORDER;
      break;
  }
  return ws;
}

const char* ControlClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::Icon:
      return "STATIC";
    case ControlKind::GroupBox:
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      return "BUTTON";
    case ControlKind::Edit:
      return "EDIT";
    case ControlKind::DropDownList:
      return "COMBOBOX";
    case ControlKind::ListBox:
      return "LISTBOX";
    case ControlKind::ListView:
      return WC_LISTVIEWA;
  }
  return "STATIC";
}

DWORD DialogWindowStyle(std::uint32_t style) {
  DWORD ws = DS_SETFONT;
  if (style & res::kPopup) ws |= WS_POPUP;
  if (style & res::kChild) ws |= WS_CHILD | DS_CONTROL;
  if (style & res::kCaption) ws |= WS_CAPTION;
  if (style & res::kSystemMenu) ws |= WS_SYSMENU;
  if (style & res::kMinimizeBox) ws |= WS_MINIMIZEBOX;
  if (style & res::kModalFrame) ws |= DS_MODALFRAME;
  if (!(style & res::kHidden) && !(style & res::kChild)) ws |= WS_VISIBLE;
  return ws;
}

DWORD DialogExtendedStyle(std::uint32_t style) {
  return (style & res::kAppWindow) ? WS_EX_APPWINDOW : 0;
}

DialogTemplateBytes::DialogTemplateBytes(const res::DialogTemplate& dialog) {
  // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy; then menu (none),
  // class (the dialog class), caption and, with DS_SETFONT, the point size and face.
  std::vector<WORD> out;
  AppendDword(out, DialogWindowStyle(dialog.style));
  AppendDword(out, DialogExtendedStyle(dialog.style));
  out.push_back(static_cast<WORD>(dialog.controls.size()));
  for (int value : {dialog.rect.x, dialog.rect.y, dialog.rect.width, dialog.rect.height}) {
    out.push_back(Short(value));
  }
  out.push_back(0);
  out.push_back(0);
  AppendText(out, dialog.caption);
  out.push_back(static_cast<WORD>(dialog.fontPointSize));
  AppendText(out, dialog.fontName);
  for (const res::ControlTemplate& control : dialog.controls) {
    // DLGITEMTEMPLATE, on a DWORD boundary: style, extended style, x, y, cx, cy, id;
    // then the class, the text (the icon's is resource 128 by number) and no creation
    // data.
    AlignToDword(out);
    AppendDword(out, ControlWindowStyle(control.kind, control.style));
    AppendDword(out, control.kind == ControlKind::Edit && (control.style & res::kBorder)
                         ? WS_EX_CLIENTEDGE
                         : 0);
    for (int value : {control.rect.x, control.rect.y, control.rect.width, control.rect.height}) {
      out.push_back(Short(value));
    }
    out.push_back(Short(control.id));
    AppendText(out, ControlClassName(control.kind));
    if (control.kind == ControlKind::Icon) {
      out.push_back(0xFFFF);
      out.push_back(128);
    } else {
      AppendText(out, control.text);
    }
    out.push_back(0);
  }
  AlignToDword(out);
  words_.resize(out.size() / 2);
  std::memcpy(words_.data(), out.data(), out.size() * sizeof(WORD));
}

HMENU BuildPopupMenu(const res::MenuTemplate& menu) {
  HMENU popup = CreatePopupMenu();
  if (popup == nullptr) return nullptr;
  for (const res::MenuItem& item : menu.items) {
    if (item.command == 0) {
      AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::string text(item.text);
    AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(item.command), text.c_str());
    if (item.isDefault) SetMenuDefaultItem(popup, static_cast<UINT>(item.command), FALSE);
  }
  return popup;
}

}  // namespace quorvel::win32
