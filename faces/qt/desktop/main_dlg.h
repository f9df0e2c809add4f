#pragma once
// The main dialog: the desk face of the program. It reads a disk or a folder and shows
// what it holds field by field, plays the selected movie with its first or second audio
// stream, and opens the options sheet. What it decides is desk::MainDialogRules; the
// dialog shows the rows, runs the folder chooser and the About box, and reports the
// user's input.

#include <functional>
#include <string>

#include "app/settings.h"
#include "faces/qt/desktop/template_dialog.h"
#include "platform/services.h"
#include "rules/desk/main_dialog_rules.h"

class QContextMenuEvent;
class QKeyEvent;
class QPushButton;
class QTableWidget;

namespace quorvel {

class CMainDlg final : public CTemplateDialog, public desk::MainDialogView {
  Q_OBJECT

 public:
  // Runs the options sheet over the given window; true when it was closed with OK.
  using OptionsRunner = std::function<bool(QWidget& owner)>;

  // The command value of the About item, as the window's menu carries it.
  static constexpr int kAboutCommand = desk::MainDialogRules::kAboutCommand;

  // `diskPath` is the folder or drive to read; empty: the first optical drive. The
  // settings and the services must outlive the dialog.
  CMainDlg(const Settings& settings, const Services& services, OptionsRunner runOptions,
           std::string diskPath = {}, QWidget* owner = nullptr);

  // Reads the disk at the path in the edit and shows its fields.
  void ReadDiskToList() { rules_.ReadDiskToList(); }
  // A copy of the movie that `row` shows; an empty movie (type Unknown) for -1 and for
  // rows that show no movie.
  Movie MovieOfRow(int row) const { return rules_.MovieOfRow(row); }
  // The window's own commands: kAboutCommand shows the About box.
  void OnSysCommand(int command) { rules_.OnSysCommand(command); }

  const std::string& DiskPath() const { return rules_.DiskPath(); }
  QTableWidget* FieldList() const { return fieldList_; }

  // desk::MainDialogView
  desk::ControlValues& Values() override { return CTemplateDialog::Values(); }
  void ShowColumns(std::string_view field, std::string_view value) override;
  void ShowRows(const std::vector<desk::FieldRow>& rows) override;
  int SelectedRow() const override;
  bool ChooseFolder(std::string& path, std::string_view title) override;
  bool RunOptionsSheet() override;
  void ShowAbout() override;

 protected:
  void OnInitDialog() override { rules_.OnInitDialog(); }
  bool OnOk() override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ConnectHandlers();

  OptionsRunner runOptions_;
  QTableWidget* fieldList_ = nullptr;
  desk::MainDialogRules rules_;
};

}  // namespace quorvel
