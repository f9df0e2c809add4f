#pragma once
// The resources of the core as Win32 objects: a dialog template (resources/) as an
// in-memory DLGTEMPLATE, in dialog units as the template gives them, for
// CreateDialogIndirectParamA, DialogBoxIndirectParamA and PSP_DLGINDIRECT pages; the
// tray menu as a popup menu.

#include <cstdint>
#include <vector>

#include "faces/win32/resources/windows_api.h"
#include "resources/dialog_template.h"
#include "resources/string_table.h"

namespace quorvel::win32 {

// The window styles of a control of `kind` with the template's `style` bits; every
// control is a visible child.
DWORD ControlWindowStyle(res::ControlKind kind, std::uint32_t style);
// The window class of a control of `kind` ("BUTTON", "SysListView32", ...).
const char* ControlClassName(res::ControlKind kind);
// The window styles of a dialog with the template's `style` bits, DS_SETFONT included.
DWORD DialogWindowStyle(std::uint32_t style);
DWORD DialogExtendedStyle(std::uint32_t style);

// A DLGTEMPLATE with its items, DWORD-aligned as the system reads them; it stays valid
// as long as the object lives.
class DialogTemplateBytes {
 public:
  explicit DialogTemplateBytes(const res::DialogTemplate& dialog);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
  std::size_t SizeInBytes() const { return words_.size() * sizeof(DWORD); }

 private:
  std::vector<DWORD> words_;
};

// A popup menu of `menu`'s items in order, with its default item set; the caller
// destroys it (DestroyMenu). Null when the menu cannot be made.
HMENU BuildPopupMenu(const res::MenuTemplate& menu);

}  // namespace quorvel::win32
