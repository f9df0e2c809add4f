#pragma once
// The base of the program's dialogs: a QDialog whose controls come from a dialog
// template. The buttons with the standard ids OK (1) and Cancel (2) close it; OK first
// asks OnOk, which keeps the dialog open by answering false (a text refused). A derived
// dialog initialises its controls in OnInitDialog, which runs once, when the dialog is
// first shown; its rules reach the controls through Values().

#include <QDialog>

#include "faces/qt/desktop/qt_control_values.h"
#include "platform/user_messages.h"

namespace quorvel {

class CTemplateDialog : public QDialog {
  Q_OBJECT

 public:
  CTemplateDialog(int templateId, UserMessages& messages, QWidget* owner = nullptr);

  desk::ControlValues& Values() { return values_; }

  void accept() override;

 protected:
  virtual void OnInitDialog() {}
  // OK: false keeps the dialog open.
  virtual bool OnOk() { return true; }

  void showEvent(QShowEvent* event) override;

  UserMessages& messages_;

 private:
  void ConnectHandlers();

  QtControlValues values_{*this};
  bool initialized_ = false;
};

}  // namespace quorvel
