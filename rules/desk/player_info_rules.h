#pragma once
// The Player Info dialog: edits one player record (name, program, default command line,
// playlist type) for the Players page.

#include <cstdint>
#include <functional>
#include <string>

#include "app/player_record.h"
#include "platform/user_messages.h"
#include "rules/desk/control_values.h"
#include "rules/desk/data_exchange.h"

namespace quorvel::desk {

// The file chooser of the program's path: its two filters, and the one it starts on.
struct ProgramChooser {
  std::string programsFilter;  // "Programs (*.exe)"
  std::string allFilesFilter;  // "All Files (*)"
  bool startOnPrograms = false;
};

class PlayerInfoView {
 public:
  virtual ControlValues& Values() = 0;
  // Opens the file chooser at `path` (its folder and file); true, with `path` replaced
  // by the chosen file, when the user chose one.
  virtual bool ChooseProgram(std::string& path, const ProgramChooser& chooser) = 0;

 protected:
  ~PlayerInfoView() = default;
};

class PlayerInfoRules {
 public:
  // Why an edited record cannot be taken, as a sentence for the user, or "" when it can.
  using ProblemCheck = std::function<std::string(const PlayerRecord&)>;

  // Edits a copy of `record`. With `problem`, OK refuses a record it names a problem for
  // (the user is told through `messages`) and keeps the dialog open. `messages` and the
  // view must outlive the rules.
  PlayerInfoRules(const PlayerRecord& record, UserMessages& messages, PlayerInfoView& view,
                  ProblemCheck problem = {});

  // The playlist item of a type is its value plus one; a value outside the list selects
  // no item. No item selected means no playlist.
  static std::int32_t PlaylistIndexOf(PlaylistType type);
  static PlaylistType PlaylistTypeOf(std::int32_t index);

  // Fills the playlist list, shows the record; OK starts enabled, whatever the record
  // holds.
  void OnInitDialog();
  // The user changed the name or the program: OK is enabled exactly when both are
  // filled in.
  void OnNameOrPathEdited();
  // "...": the file chooser; a chosen file becomes the program.
  void OnBrowse();
  // OK: true when the dialog may close with the edited record.
  bool OnOk();

  // The record as edited so far (after OK: as confirmed).
  PlayerRecord Edited() const;

 private:
  void DoDataExchange(DataExchange& exchange);
  void ShowValues();
  bool ReadControls();

  UserMessages& messages_;
  PlayerInfoView& view_;
  ProblemCheck problem_;
  std::string name_;
  std::string appPath_;
  std::string cmdLine_;
  std::int32_t playlistIndex_ = -1;
};

}  // namespace quorvel::desk
