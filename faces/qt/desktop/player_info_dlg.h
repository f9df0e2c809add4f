#pragma once
// The Player Info dialog: edits one player record (name, program, default command line,
// playlist type) for the Players page. What it decides is desk::PlayerInfoRules; the
// dialog runs Qt's file chooser for it.

#include <string>

#include "app/player_record.h"
#include "faces/qt/desktop/template_dialog.h"
#include "rules/desk/player_info_rules.h"

namespace quorvel {

class CPlayerInfoDlg final : public CTemplateDialog, public desk::PlayerInfoView {
  Q_OBJECT

 public:
  using ProblemCheck = desk::PlayerInfoRules::ProblemCheck;

  // Edits a copy of `record` under the title `caption`; Run() writes it back on OK.
  // With `problem`, OK refuses a record it names a problem for and keeps the dialog open.
  CPlayerInfoDlg(const PlayerRecord& record, const std::string& caption, UserMessages& messages,
                 QWidget* owner = nullptr, ProblemCheck problem = {});

  // Runs the dialog modally; true for OK, with `record` holding the edited values;
  // false otherwise, with `record` as it was.
  bool Run(PlayerRecord& record);

  // The record as edited so far (after OK: as confirmed).
  PlayerRecord Edited() const { return rules_.Edited(); }

  // desk::PlayerInfoView
  desk::ControlValues& Values() override { return CTemplateDialog::Values(); }
  bool ChooseProgram(std::string& path, const desk::ProgramChooser& chooser) override;

 protected:
  void OnInitDialog() override { rules_.OnInitDialog(); }
  bool OnOk() override { return rules_.OnOk(); }

 private:
  void ConnectHandlers();

  desk::PlayerInfoRules rules_;
};

}  // namespace quorvel
