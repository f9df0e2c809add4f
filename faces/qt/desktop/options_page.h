#pragma once
// The pattern every page of the options sheet follows. A page is built anew each time the
// sheet opens and copies the settings into a working copy of its own; it never reads the
// settings again while the sheet is open. Its controls come from its dialog template and
// are bound to fields of the working copy by its binding table (field_binding.h). The
// sheet runs its first-show step when its tab is first shown, and its store step on OK,
// only if it was shown.

#include <QWidget>

#include "app/settings.h"
#include "faces/qt/desktop/data_exchange.h"
#include "faces/qt/desktop/field_binding.h"
#include "faces/qt/desktop/tooltip_table.h"
#include "platform/services.h"
#include "resources/dialog_template.h"

namespace quorvel {

class Settings;

class COptionsPage : public QWidget {
  Q_OBJECT

 public:
  enum class Build { Controls, SizeOnly };

  // `settings` is the program's one record, which the page stores into on OK; it and
  // the services must outlive the page. `bindings` must outlive the page too (a page's
  // table is static data).
  COptionsPage(int templateId, Settings& settings, const Services& services, BindingTable bindings,
               Build build = Build::Controls);

  // The text of the page's tab.
  QString TabText() const { return tabText_; }
  bool WasShown() const { return shown_; }
  // The values the page edits; only its bound fields ever reach the settings.
  const Settings& WorkingCopy() const { return values_; }

  // Writes the fields into the controls.
  void ShowValues();
  // Reads the controls into the fields; false when a text was refused (the message has
  // been shown and the focus is on that control).
  bool ReadControls();

  // Runs on OK of the sheet: ConfirmChanges, then the bound fields are copied into the
  // settings, which are saved. A page that binds nothing stores and saves nothing.
  void Store();

 protected:
  // Walks the binding table in order. A page with values outside the settings (a state
  // that is not stored) binds them in an override that calls this first.
  virtual void DoDataExchange(DataExchange& exchange);
  // Fills and initialises the controls; runs once, when the page is first shown.
  virtual void OnFirstShow() { ShowValues(); }
  // What confirming the page's values does outside the settings, while the settings still
  // hold the old values.
  virtual void ConfirmChanges() {}

  // From now on the page's controls show the tooltips of `table`, and no others.
  void EnableTooltips(TooltipTable table);

  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  Settings& settings_;
  const Services services_;
  // The working copy.
  Settings values_;

 private:
  BindingTable bindings_;
  QString tabText_;
  TooltipTable tooltips_;
  bool tooltipsEnabled_ = false;
  bool shown_ = false;
};

}  // namespace quorvel
