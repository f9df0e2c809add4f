#pragma once
// The main dialog (template 102), the desk face of the program: shows what the main
// dialog's rules (rules/desk/main_dialog_rules.h) decide and forwards the user's input.

#include <functional>
#include <string>
#include <vector>

#include "faces/win32/desktop/template_dialog.h"
#include "faces/win32/desktop/win32_control_values.h"
#include "rules/desk/main_dialog_rules.h"

namespace quorvel::win32 {

class CMainDlg final : public CTemplateDialog, public desk::MainDialogView {
 public:
  CMainDlg(const Settings& settings, const Services& services,
           std::function<bool(HWND owner)> runOptions, std::string diskPath);

  // desk::MainDialogView
  desk::ControlValues& Values() override { return values_; }
  void ShowColumns(std::string_view field, std::string_view value) override;
  void ShowRows(const std::vector<desk::FieldRow>& rows) override;
  int SelectedRow() const override;
  bool ChooseFolder(std::string& path, std::string_view title) override;
  bool RunOptionsSheet() override;
  void ShowAbout() override;

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HWND List() const;

  desk::MainDialogRules rules_;
  std::function<bool(HWND owner)> runOptions_;
  Win32ControlValues values_;
  std::vector<desk::FieldRow> rows_;
  bool fillingRows_ = false;
};

}  // namespace quorvel::win32
