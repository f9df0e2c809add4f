// The Win32 templates and menus made from the resources, as the system reads them: every
// dialog template becomes a dialog whose controls have the template's ids, classes,
// texts, styles and rectangles in dialog units; the tray menu keeps its items and default.
#include "faces/win32/resources/win32_template.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "faces/win32/resources/windows_api.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel::win32 {
namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

TEST(Win32TemplateTest, EveryTemplateMakesItsDialogControlByControl) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  for (const res::DialogTemplate* dialog : res::AllDialogTemplates()) {
    SCOPED_TRACE("template " + std::to_string(dialog->id));
    const DialogTemplateBytes bytes(*dialog);
    // Pages are children; they are made inside a window of their own here.
    HWND parent = nullptr;
    if (dialog->style & res::kChild) {
      parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), bytes.Get(), parent,
                                             &QuietDialogProc, 0);
    ASSERT_NE(window, nullptr) << GetLastError();
    EXPECT_EQ(TextOf(window), std::string(dialog->caption));
    EXPECT_EQ(IsWindowVisible(window) != FALSE,
              (dialog->style & (res::kHidden | res::kChild)) == 0);

    // The client size in dialog units is the template's.
    RECT expected{0, 0, dialog->rect.width, dialog->rect.height};
    MapDialogRect(window, &expected);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);

    // Controls in template (and z) order.
    HWND control = GetWindow(window, GW_CHILD);
    for (const res::ControlTemplate& item : dialog->controls) {
      SCOPED_TRACE("control " + std::to_string(item.id) + " " + std::string(item.text));
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(GetDlgCtrlID(control), item.id == res::kNoId ? 0xFFFF : item.id);
      std::string wanted = ControlClassName(item.kind);
      EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, ClassOf(control).c_str(), -1,
                               wanted.c_str(), -1),
                CSTR_EQUAL)
          << ClassOf(control);
      if (item.kind != res::ControlKind::Icon && item.kind != res::ControlKind::ListBox &&
          item.kind != res::ControlKind::DropDownList && item.kind != res::ControlKind::ListView) {
        EXPECT_EQ(TextOf(control), std::string(item.text));
      }
      const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
      EXPECT_EQ((style & WS_TABSTOP) != 0, (item.style & res::kTabStop) != 0);
      EXPECT_EQ((style & WS_DISABLED) != 0, (item.style & res::kDisabled) != 0);
      if (item.kind == res::ControlKind::ListBox && (item.style & res::kOwnerDraw)) {
        EXPECT_TRUE(style & LBS_OWNERDRAWVARIABLE);
        EXPECT_TRUE(style & LBS_HASSTRINGS);
        EXPECT_EQ((style & LBS_WANTKEYBOARDINPUT) != 0, (item.style & res::kWantKeys) != 0);
        EXPECT_EQ((style & LBS_NOINTEGRALHEIGHT) != 0, (item.style & res::kNoIntegralHeight) != 0);
      }
      // Where the template puts it: dialog units to pixels as the system counts them,
      // the position and the size each on its own.
      RECT place{item.rect.x, item.rect.y, item.rect.width, item.rect.height};
      MapDialogRect(window, &place);
      place.right += place.left;
      place.bottom += place.top;
      RECT actual;
      GetWindowRect(control, &actual);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_EQ(actual.left, place.left);
      EXPECT_EQ(actual.top, place.top);
      // A drop-down list is as high as its edit, an icon as its picture, and a list box
      // with integral height a whole number of rows.
      const bool ownHeight =
          item.kind == res::ControlKind::DropDownList || item.kind == res::ControlKind::Icon ||
          (item.kind == res::ControlKind::ListBox && !(item.style & res::kNoIntegralHeight));
      if (item.kind != res::ControlKind::Icon) {
        EXPECT_EQ(actual.right, place.right);
      }
      if (!ownHeight) {
        EXPECT_EQ(actual.bottom, place.bottom);
      }
      control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "a control more than the template holds";
    DestroyWindow(window);
    if (parent != nullptr) DestroyWindow(parent);
  }
}

TEST(Win32TemplateTest, TheTrayMenuKeepsItsItemsInOrderWithItsDefault) {
  const res::MenuTemplate* menu = res::FindMenuTemplate(res::kTrayMenu);
  ASSERT_NE(menu, nullptr);
  HMENU popup = BuildPopupMenu(*menu);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(menu->items.size()));
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    const res::MenuItem& item = menu->items[static_cast<std::size_t>(i)];
    if (item.command == 0) {
      EXPECT_EQ(GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR,
                static_cast<UINT>(MF_SEPARATOR));
      continue;
    }
    EXPECT_EQ(GetMenuItemID(popup, i), static_cast<UINT>(item.command));
    char text[64] = "";
    GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), std::string(item.text));
  }
  EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(res::menu::kOpen));
  DestroyMenu(popup);
}

}  // namespace
}  // namespace quorvel::win32
