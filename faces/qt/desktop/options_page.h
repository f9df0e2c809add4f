#pragma once
// A page of the options sheet in Qt: its controls from its dialog template, shown and
// read by the page's rules (rules/desk/), which the derived page owns and attaches. The
// page runs its rules' first-show step when it is first shown, and shows the tooltips
// that the rules give once they enable them.

#include <QWidget>

#include "app/settings.h"
#include "faces/qt/desktop/qt_control_values.h"
#include "platform/services.h"
#include "rules/desk/page_rules.h"

namespace quorvel {

class COptionsPage : public QWidget, public desk::PageView {
  Q_OBJECT

 public:
  // The text of the page's tab.
  QString TabText() const { return tabText_; }
  bool WasShown() const { return rules_->WasShown(); }
  // The values the page edits; only its bound fields ever reach the settings.
  const Settings& WorkingCopy() const { return rules_->WorkingCopy(); }

  // Writes the fields into the controls; reads them back (false when a text was
  // refused); stores the bound fields on OK of the sheet.
  void ShowValues() { rules_->ShowValues(); }
  bool ReadControls() { return rules_->ReadControls(); }
  void Store() { rules_->Store(); }

  desk::PageRules& Rules() const { return *rules_; }

  // desk::PageView
  desk::ControlValues& Values() override { return values_; }
  void EnableTooltips() override;

 protected:
  // Builds the controls of template `templateId`; the derived page then attaches its
  // rules.
  explicit COptionsPage(int templateId);
  void Attach(desk::PageRules& rules) { rules_ = &rules; }

  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  desk::PageRules* rules_ = nullptr;
  QtControlValues values_{*this};
  QString tabText_;
  bool tooltipsEnabled_ = false;
};

}  // namespace quorvel
