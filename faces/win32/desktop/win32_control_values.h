#pragma once
// The desk rules' view of a dialog's controls (rules/desk/control_values.h) over the
// dialog's items, found by their template ids.

#include "faces/win32/resources/windows_api.h"
#include "rules/desk/control_values.h"

namespace quorvel::win32 {

class Win32ControlValues final : public desk::ControlValues {
 public:
  void Attach(HWND dialog) { dialog_ = dialog; }

  bool Checked(int id) const override;
  void SetChecked(int id, bool checked) override;
  std::string Text(int id) const override;
  bool ShowsText(int id, std::string_view text) const override;
  void SetText(int id, std::string_view text) override;
  int ListIndex(int id) const override;
  void SetListIndex(int id, int index) override;
  void SetListItems(int id, const std::vector<std::string>& items) override;
  void InsertListItem(int id, int index, std::string_view text) override;
  void RemoveListItem(int id, int index) override;
  void EnableControl(int id, bool enabled) override;
  void FocusRefused(int id) override;

 private:
  HWND Item(int id) const { return dialog_ != nullptr ? GetDlgItem(dialog_, id) : nullptr; }
  bool IsComboBox(HWND control) const;

  HWND dialog_ = nullptr;
};

}  // namespace quorvel::win32
