#pragma once
// The pattern every page of the options sheet follows. A page is built anew each time the
// sheet opens and copies the settings into a working copy of its own; it never reads the
// settings again while the sheet is open. Its controls come from its dialog template and
// are bound to fields of the working copy by its binding table (field_binding.h). Its
// first-show step runs when its tab is first shown, and its store step on OK of the
// sheet, only if it was shown.

#include <optional>
#include <string_view>

#include "app/settings.h"
#include "platform/services.h"
#include "rules/desk/control_values.h"
#include "rules/desk/data_exchange.h"
#include "rules/desk/field_binding.h"
#include "rules/desk/tooltip_table.h"

namespace quorvel::desk {

// What every page asks of the face that shows it.
class PageView {
 public:
  // The page's controls.
  virtual ControlValues& Values() = 0;
  // From now on the page's controls show the tooltips that the rules' Tooltip gives.
  virtual void EnableTooltips() = 0;

 protected:
  ~PageView() = default;
};

class PageRules {
 public:
  // `settings` is the program's one record, which the page stores into on OK; it, the
  // services and the view must outlive the page. `bindings` must outlive the page too (a
  // page's table is static data).
  PageRules(int templateId, Settings& settings, const Services& services, PageView& view,
            BindingTable bindings);
  virtual ~PageRules() = default;
  PageRules(const PageRules&) = delete;
  PageRules& operator=(const PageRules&) = delete;

  // The dialog template of the page; its caption is the text of the page's tab.
  int TemplateId() const { return templateId_; }
  bool WasShown() const { return shown_; }
  // The values the page edits; only its bound fields ever reach the settings.
  const Settings& WorkingCopy() const { return values_; }

  // The page's tab is shown: the first time, its first-show step fills and initialises
  // the controls.
  void OnShow();

  // Writes the fields into the controls.
  void ShowValues();
  // Reads the controls into the fields; false when a text was refused (the message has
  // been shown and the focus is on that control).
  bool ReadControls();

  // Runs on OK of the sheet: ConfirmChanges, then the bound fields are copied into the
  // settings, which are saved. A page that binds nothing stores and saves nothing.
  void Store();

  // The tooltip of control `controlId`, once tooltips are enabled; nothing before, and
  // for controls without one.
  std::optional<std::string_view> Tooltip(int controlId) const;

 protected:
  // Walks the binding table in order. A page with values outside the settings (a state
  // that is not stored) or controls of its own kind binds them in an override that
  // calls this first.
  virtual void DoDataExchange(DataExchange& exchange);
  // Fills and initialises the controls; runs once, when the page is first shown.
  virtual void OnFirstShow() { ShowValues(); }
  // What confirming the page's values does outside the settings, while the settings still
  // hold the old values.
  virtual void ConfirmChanges() {}

  // From now on the page's controls show the tooltips of `table`, and no others.
  void EnableTooltips(TooltipTable table);

  ControlValues& Controls() { return pageView_.Values(); }

  Settings& settings_;
  const Services services_;
  // The working copy.
  Settings values_;

 private:
  int templateId_;
  PageView& pageView_;
  BindingTable bindings_;
  TooltipTable tooltips_;
  bool tooltipsEnabled_ = false;
  bool shown_ = false;
};

}  // namespace quorvel::desk
