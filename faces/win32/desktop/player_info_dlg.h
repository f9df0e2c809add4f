#pragma once
// The Player Info dialog (template 132): one player record edited by the Player Info
// rules (rules/desk/player_info_rules.h).

#include <string>

#include "faces/win32/desktop/template_dialog.h"
#include "faces/win32/desktop/win32_control_values.h"
#include "rules/desk/player_info_rules.h"

namespace quorvel::win32 {

class CPlayerInfoDlg final : public CTemplateDialog, public desk::PlayerInfoView {
 public:
  CPlayerInfoDlg(const PlayerRecord& record, std::string caption, UserMessages& messages,
                 desk::PlayerInfoRules::ProblemCheck problem);

  // Modal over `owner`; true for OK, with `record` holding the edited values.
  bool Run(HWND owner, PlayerRecord& record);

  // desk::PlayerInfoView
  desk::ControlValues& Values() override { return values_; }
  bool ChooseProgram(std::string& path, const desk::ProgramChooser& chooser) override;

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;

  desk::PlayerInfoRules rules_;
  std::string caption_;
  Win32ControlValues values_;
};

}  // namespace quorvel::win32
