#pragma once
// The options sheet "Quorvel Options": the one place where the user edits the settings.
// Tabs General, View, Disks, Players, Codecs; OK and Cancel.

#include <QDialog>
#include <QPointer>
#include <vector>

#include "faces/qt/desktop/options_page.h"
#include "platform/services.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace quorvel {

class COptionsSheet final : public QDialog {
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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ConnectHandlers();
  // Leaving a page reads its controls first; a refused text keeps the page on screen.
  void OnTabChanged(int index);
  bool CurrentPageReads();

  std::vector<COptionsPage*> pages_;
  QTabWidget* tabs_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  int currentIndex_ = 0;
};

// Builds the sheet from the current settings, runs it modally over `owner`, and returns
// true when it was closed with OK.
bool RunOptionsSheet(QWidget* owner, Settings& settings, const Services& services);

}  // namespace quorvel
