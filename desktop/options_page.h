#pragma once
// The pattern every page of the options sheet follows. A page is built anew each time the
// sheet opens and copies the values it edits from the settings into fields of its own;
// it never reads the settings again while the sheet is open. Its controls come from its
// dialog template and are bound to its fields by data exchange. The sheet runs its
// first-show step when its tab is first shown, and its store step on OK, only if it was
// shown.

#include <QWidget>

#include "desktop/data_exchange.h"
#include "desktop/tooltip_table.h"
#include "platform/services.h"
#include "resources/dialog_template.h"

namespace quorvel {

class Settings;

class COptionsPage : public QWidget {
  Q_OBJECT

 public:
  enum class Build { Controls, SizeOnly };

  // `settings` is the program's one record, which the page stores into on OK; it and
  // the services must outlive the page.
  COptionsPage(int templateId, Settings& settings, const Services& services,
               Build build = Build::Controls);

  // The text of the page's tab.
  QString TabText() const { return tabText_; }
  bool WasShown() const { return shown_; }

  // Writes the fields into the controls.
  void ShowValues();
  // Reads the controls into the fields; false when a text was refused (the message has
  // been shown and the focus is on that control).
  bool ReadControls();

  // Copies the fields into the settings and saves them. Runs on OK of the sheet.
  virtual void Store() = 0;

 protected:
  // The page's bindings, in control order.
  virtual void DoDataExchange(DataExchange& exchange) { (void)exchange; }
  // Fills and initialises the controls; runs once, when the page is first shown.
  virtual void OnFirstShow() { ShowValues(); }

  // From now on the page's controls show the tooltips of `table`, and no others.
  void EnableTooltips(TooltipTable table);

  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  Settings& settings_;
  const Services services_;

 private:
  QString tabText_;
  TooltipTable tooltips_;
  bool tooltipsEnabled_ = false;
  bool shown_ = false;
};

}  // namespace quorvel
