#pragma once
// The base of the program's dialogs: a QDialog whose controls come from a dialog
// template. The buttons with the standard ids OK (1) and Cancel (2) close it; OK first
// reads the controls into the dialog's fields and keeps the dialog open when a text is
// refused. A derived dialog binds its fields in DoDataExchange and fills its controls in
// OnInitDialog, which runs once, when the dialog is first shown.

#include <QDialog>

#include "faces/qt/desktop/data_exchange.h"

namespace quorvel {

class CTemplateDialog : public QDialog {
  Q_OBJECT

 public:
  CTemplateDialog(int templateId, UserMessages& messages, QWidget* owner = nullptr);

  // Writes the fields into the controls.
  void ShowValues();
  // Reads the controls into the fields; false when a text was refused.
  bool ReadControls();

  void accept() override;

 protected:
  virtual void DoDataExchange(DataExchange& exchange) { (void)exchange; }
  virtual void OnInitDialog() { ShowValues(); }

  void showEvent(QShowEvent* event) override;

  UserMessages& messages_;

 private:
  void ConnectHandlers();

  bool initialized_ = false;
};

}  // namespace quorvel
