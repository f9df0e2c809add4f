#pragma once
// The Player Info dialog: edits one player record (name, program, default command line,
// playlist type) for the Players page.

#include <functional>
#include <string>

#include "app/player_record.h"
#include "faces/qt/desktop/template_dialog.h"

namespace quorvel {

class CPlayerInfoDlg final : public CTemplateDialog {
  Q_OBJECT

 public:
  // Why an edited record cannot be taken, as a sentence for the user, or "" when it can.
  using ProblemCheck = std::function<std::string(const PlayerRecord&)>;

  // Edits a copy of `record` under the title `caption`; Run() writes it back on OK.
  // With `problem`, OK refuses a record it names a problem for and keeps the dialog open.
  CPlayerInfoDlg(const PlayerRecord& record, const QString& caption, UserMessages& messages,
                 QWidget* owner = nullptr, ProblemCheck problem = {});

  // Runs the dialog modally; true for OK, with `record` holding the edited values;
  // false otherwise, with `record` as it was.
  bool Run(PlayerRecord& record);

  // The record as edited so far (after OK: as confirmed).
  PlayerRecord Edited() const;

  void accept() override;

 protected:
  void DoDataExchange(DataExchange& exchange) override;
  void OnInitDialog() override;

 private:
  void ConnectHandlers();
  // OK is enabled exactly when both the name and the program are filled in.
  void UpdateOkButton();
  void OnBrowse();

  std::string name_;
  std::string appPath_;
  std::string cmdLine_;
  std::int32_t playlistIndex_ = -1;
  ProblemCheck problem_;
};

}  // namespace quorvel
