#pragma once
// The options sheet "Quorvel Options" as a Win32 property sheet of the five pages, each
// from its dialog template (PSP_DLGINDIRECT), in the order of the sheet's rules
// (rules/desk/options_sheet_rules.h), and the pages themselves.

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "app/settings.h"
#include "faces/win32/desktop/win32_control_values.h"
#include "faces/win32/resources/win32_font.h"
#include "faces/win32/resources/win32_template.h"
#include "platform/services.h"
#include "rules/desk/options_sheet_rules.h"
#include "rules/desk/page_rules.h"

namespace quorvel::win32 {

class COptionsSheet;

// A page of the sheet: its controls from its template, shown and read by its rules,
// which the derived page owns and attaches.
class COptionsPage : public desk::PageView {
 public:
  virtual ~COptionsPage();
  COptionsPage(const COptionsPage&) = delete;
  COptionsPage& operator=(const COptionsPage&) = delete;

  // The page as the property sheet takes it.
  PROPSHEETPAGEA SheetPage();
  void SetSheet(COptionsSheet& sheet, int index) {
    sheet_ = &sheet;
    index_ = index;
  }
  desk::PageRules& Rules() const { return *rules_; }
  HWND Handle() const { return window_; }

  // desk::PageView
  desk::ControlValues& Values() override { return values_; }
  void EnableTooltips() override;

 protected:
  explicit COptionsPage(int templateId);
  void Attach(desk::PageRules& rules) { rules_ = &rules; }
  virtual void OnCommand(int id, int notification) {
    (void)id;
    (void)notification;
  }
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)message;
    (void)wParam;
    (void)lParam;
    return FALSE;
  }

  HWND window_ = nullptr;

 private:
  static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void AddTooltips();

  DialogTemplateBytes bytes_;
  desk::PageRules* rules_ = nullptr;
  Win32ControlValues values_;
  COptionsSheet* sheet_ = nullptr;
  int index_ = 0;
  HWND tooltips_ = nullptr;
  bool tooltipsEnabled_ = false;
};

class Win32UserMessages;

class COptionsSheet final : public desk::OptionsSheetView {
 public:
  // The program's message boxes are owned by the sheet while it is open.
  COptionsSheet(Settings& settings, const Services& services, Win32UserMessages& messages);
  ~COptionsSheet();

  // Modal over `owner`; true when it was closed with OK (the shown pages stored).
  bool Run(HWND owner);

  // desk::OptionsSheetView
  void ReturnToPage(int index) override;

  // What the pages report of the sheet's notifications.
  bool MayLeavePage();
  void OnPageActive(int index);
  LRESULT OnApply();
  void SetHandle(HWND sheet);

 private:
  std::vector<std::unique_ptr<COptionsPage>> pages_;
  std::unique_ptr<desk::OptionsSheetRules> rules_;
  Win32UserMessages& messages_;
  HWND sheet_ = nullptr;
  bool applied_ = false;
  bool returning_ = false;
};

}  // namespace quorvel::win32
