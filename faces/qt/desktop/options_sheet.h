#pragma once
// The options sheet "Quorvel Options": the one place where the user edits the settings.
// Tabs General, View, Disks, Players, Codecs; OK and Cancel. What it decides is
// desk::OptionsSheetRules.

#include <QDialog>
#include <memory>
#include <vector>

#include "faces/qt/desktop/options_page.h"
#include "platform/services.h"
#include "rules/desk/options_sheet_rules.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace quorvel {

class COptionsSheet final : public QDialog, public desk::OptionsSheetView {
  Q_OBJECT

 public:
  // The pages edit `settings`, the program's one record, and save it to the store of
  // `services`; both must outlive the sheet.
  COptionsSheet(QWidget* owner, Settings& settings, const Services& services);

  // The pages in tab order.
  const std::vector<COptionsPage*>& Pages() const { return pages_; }
  QTabWidget* Tabs() const { return tabs_; }
  QPushButton* OkButton() const;
  QPushButton* CancelButton() const;

  // OK: the page on screen reads its controls; when that fails the sheet stays open on
  // it. Otherwise every page that was shown stores, in tab order, and the sheet closes.
  void accept() override;

  // desk::OptionsSheetView
  void ReturnToPage(int index) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ConnectHandlers();

  std::vector<COptionsPage*> pages_;
  std::unique_ptr<desk::OptionsSheetRules> rules_;
  QTabWidget* tabs_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

// Builds the sheet from the current settings, runs it modally over `owner`, and returns
// true when it was closed with OK.
bool RunOptionsSheet(QWidget* owner, Settings& settings, const Services& services);

}  // namespace quorvel
