#pragma once
// A modal dialog of the desk face made from one of the resources' dialog templates; the
// windows derive from it and answer its events.

#include <string>

#include "faces/win32/resources/windows_api.h"

namespace quorvel::win32 {

class CTemplateDialog {
 public:
  explicit CTemplateDialog(int templateId) : templateId_(templateId) {}
  virtual ~CTemplateDialog() = default;
  CTemplateDialog(const CTemplateDialog&) = delete;
  CTemplateDialog& operator=(const CTemplateDialog&) = delete;

  // Runs the dialog modally over `owner` (null: none); its end result, or -1 when it
  // could not be made.
  INT_PTR DoModal(HWND owner);
  HWND Handle() const { return window_; }

 protected:
  // The controls exist; true: the system puts the focus on the first tab stop.
  virtual bool OnInitDialog() { return true; }
  // WM_COMMAND of a control or a button; true when handled.
  virtual bool OnCommand(int id, int notification) {
    (void)id;
    (void)notification;
    return false;
  }
  // Any other message; the answer as a dialog procedure gives it.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)message;
    (void)wParam;
    (void)lParam;
    return FALSE;
  }
  void End(int result) { EndDialog(window_, result); }

  HWND window_ = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
};

// The program's About box (template 100), modal over `owner`.
void ShowAboutBox(HWND owner);

}  // namespace quorvel::win32
