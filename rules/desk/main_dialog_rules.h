#pragma once
// The main dialog: the desk face of the program. It reads a disk or a folder and shows
// what it holds field by field, plays the selected movie with its first or second audio
// stream, and opens the options sheet.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "disk/disk_fields.h"
#include "disk/disk_info.h"
#include "platform/services.h"
#include "rules/desk/control_values.h"
#include "rules/desk/data_exchange.h"

namespace quorvel::desk {

// A row of the field list, as the view shows it: the field's name and value, and the
// row's tip (the movie's file; empty for rows without a movie). The view reports a row
// by its number.
struct FieldRow {
  std::string name;
  std::string value;
  std::string tip;
  bool operator==(const FieldRow&) const = default;
};

class MainDialogView {
 public:
  // The dialog's controls: the disk path, "read disk automatically", the play buttons.
  virtual ControlValues& Values() = 0;
  // The field list's two column headers.
  virtual void ShowColumns(std::string_view field, std::string_view value) = 0;
  // Replaces every row of the field list; no row is selected afterwards.
  virtual void ShowRows(const std::vector<FieldRow>& rows) = 0;
  // The first selected row of the field list, or -1.
  virtual int SelectedRow() const = 0;
  // The folder chooser, titled `title`, starting at `path`; true, with `path` replaced,
  // when the user chose a folder of the file system.
  virtual bool ChooseFolder(std::string& path, std::string_view title) = 0;
  // Runs the options sheet over the dialog; true when it was closed with OK.
  virtual bool RunOptionsSheet() = 0;
  // Shows the About box modally.
  virtual void ShowAbout() = 0;

 protected:
  ~MainDialogView() = default;
};

class MainDialogRules {
 public:
  // The command value of the About item, as the window's menu carries it; the window
  // system may use the low four bits of a command value for itself.
  static constexpr int kAboutCommand = 16;

  // `diskPath` is the folder or drive to read; empty: the first optical drive. The
  // settings, the services and the view must outlive the rules. The rules read the
  // settings anew for each disk they read and each movie they play, so that what the
  // options sheet stored counts at once.
  MainDialogRules(const Settings& settings, const Services& services, MainDialogView& view,
                  std::string diskPath = {});

  // The text of the About item of the window's menu; empty: the window has no such item.
  static std::string AboutItemText();

  // The dialog's initialisation: the path, the columns, the buttons, and the first read
  // when "read disk automatically" is set.
  void OnInitDialog();
  // "&Read Disk": reads the disk at the path in the edit and shows its fields.
  void ReadDiskToList();
  // "...": a folder chosen that is not the one shown becomes the disk path.
  void OnBrowse();
  void OnPlay();
  void OnPlayAudio2();
  void OnOptions();
  // The selection of the field list changed, however it did (mouse, keyboard).
  void OnSelectionChanged() { UpdatePlayButtons(); }
  // A command of the window's menu: kAboutCommand shows the About box.
  void OnSysCommand(int command);
  // OK and Enter end the dialog as "Close" does; the controls are read first.
  void OnOk() { ReadControls(); }

  // A copy of the movie that `row` shows; an empty movie (type Unknown) for -1 and for
  // rows that show no movie.
  Movie MovieOfRow(int row) const;
  // Enables "&Play" exactly when a player can be chosen for the selected movie, and
  // "&Play Audio 2" when it has two audio streams or more and the second-audio player is
  // configured.
  void UpdatePlayButtons();

  const std::string& DiskPath() const { return diskPath_; }
  const std::vector<DiskField>& Fields() const { return fields_; }

 private:
  void DoDataExchange(DataExchange& exchange);
  void ShowValues();
  void ReadControls();
  void ClearRows();

  const Settings& settings_;
  const Services services_;
  MainDialogView& view_;
  std::string diskPath_;
  std::int32_t readAutomatically_ = 1;
  DiskInfo disk_;
  // The rows on show, row by row.
  std::vector<DiskField> fields_;
};

}  // namespace quorvel::desk
