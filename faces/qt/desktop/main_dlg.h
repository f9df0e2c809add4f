#pragma once
// The main dialog: the desktop face of the program. It reads a disk or a folder and
// shows what it holds field by field, plays the selected movie with its first or second
// audio stream, and opens the options sheet.

#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "disk/disk_fields.h"
#include "disk/disk_info.h"
#include "faces/qt/desktop/template_dialog.h"
#include "platform/services.h"

class QContextMenuEvent;
class QKeyEvent;
class QPushButton;
class QTableWidget;

namespace quorvel {

class CMainDlg final : public CTemplateDialog {
  Q_OBJECT

 public:
  // Runs the options sheet over the given window; true when it was closed with OK.
  using OptionsRunner = std::function<bool(QWidget& owner)>;

  // The command value of the About item, as the window's menu carries it.
  static constexpr int kAboutCommand = 16;

  // `diskPath` is the folder or drive to read; empty: the first optical drive. The
  // settings and the services must outlive the dialog. The dialog reads the settings
  // anew for each disk it reads and each movie it plays, so that what the options sheet
  // stored counts at once.
  CMainDlg(const Settings& settings, const Services& services, OptionsRunner runOptions,
           std::string diskPath = {}, QWidget* owner = nullptr);

  // Reads the disk at the path in the edit and shows its fields.
  void ReadDiskToList();
  // The first selected row, or -1.
  int SelectedRow() const;
  // A copy of the movie that `row` shows; an empty movie (type Unknown) for -1 and for
  // rows that show no movie.
  Movie MovieOfRow(int row) const;
  // Enables "&Play" exactly when a player can be chosen for the selected movie, and
  // "&Play Audio 2" when it has two audio streams or more and the second-audio player is
  // configured.
  void UpdatePlayButtons();
  // Asks for a folder, starting at `path`; true, with `path` replaced, when the user
  // chose one.
  bool ChooseFolder(std::string& path, const QString& title);

  // The window's own commands: kAboutCommand shows the About box.
  void OnSysCommand(int command);

  const std::string& DiskPath() const { return diskPath_; }
  QTableWidget* FieldList() const { return fieldList_; }

 protected:
  void DoDataExchange(DataExchange& exchange) override;
  void OnInitDialog() override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ConnectHandlers();
  void AddField(const DiskField& field, int index);
  void DeleteAllRows();
  void OnBrowse();
  void OnPlay();
  void OnPlayAudio2();
  void OnOptions();

  const Settings& settings_;
  const Services services_;
  OptionsRunner runOptions_;

  QPushButton* playAudio2_ = nullptr;
  QPushButton* play_ = nullptr;
  QTableWidget* fieldList_ = nullptr;
  std::string diskPath_;
  std::int32_t readAutomatically_ = 1;
  DiskInfo disk_;
  // The rows on show; each row's item data is its index here.
  std::vector<DiskField> fields_;
};

}  // namespace quorvel
