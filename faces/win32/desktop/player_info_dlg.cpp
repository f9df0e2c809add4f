#include "faces/win32/desktop/player_info_dlg.h"

#include <commdlg.h>

#include <utility>

#include "resources/resource_ids.h"

namespace quorvel::win32 {
namespace {

namespace ids = res::player_info;

}  // namespace

CPlayerInfoDlg::CPlayerInfoDlg(const PlayerRecord& record, std::string caption,
                               UserMessages& messages, desk::PlayerInfoRules::ProblemCheck problem)
    : CTemplateDialog(res::kPlayerInfoDialog),
      rules_(record, messages, *this, std::move(problem)),
      caption_(std::move(caption)) {}

bool CPlayerInfoDlg::Run(HWND owner, PlayerRecord& record) {
  if (DoModal(owner) != IDOK) return false;
  record = rules_.Edited();
  return true;
}

bool CPlayerInfoDlg::OnInitDialog() {
  values_.Attach(window_);
  if (!caption_.empty()) SetWindowTextA(window_, caption_.c_str());
  rules_.OnInitDialog();
  return true;
}

bool CPlayerInfoDlg::OnCommand(int id, int notification) {
  if ((id == ids::kName || id == ids::kAppPath) && notification == EN_CHANGE) {
    // Only the user's typing: an edit also reports the texts the rules show in it, and
    // reading the controls then would take the fields not shown yet as empty.
    if (GetFocus() == GetDlgItem(window_, id)) rules_.OnNameOrPathEdited();
    return true;
  }
  if (id == ids::kBrowse && notification == BN_CLICKED) {
    rules_.OnBrowse();
    return true;
  }
  if (id == IDOK) {
    if (rules_.OnOk()) End(IDOK);
    return true;
  }
  return false;
}

bool CPlayerInfoDlg::ChooseProgram(std::string& path, const desk::ProgramChooser& chooser) {
  // The filter: pairs of a name and its patterns, each ended by a NUL, the list by two.
  const auto patternOf = [](const std::string& name) {
    const auto open = name.rfind('(');
    const auto close = name.rfind(')');
    std::string pattern = open != std::string::npos && close != std::string::npos && close > open
                              ? name.substr(open + 1, close - open - 1)
                              : "*";
    return pattern == "*" ? std::string("*.*") : pattern;
  };
  std::string filter;
  for (const std::string* name : {&chooser.programsFilter, &chooser.allFilesFilter}) {
    filter += *name;
    filter += '\0';
    filter += patternOf(*name);
    filter += '\0';
  }
  filter += '\0';
  char file[MAX_PATH] = "";
  lstrcpynA(file, path.c_str(), MAX_PATH);
  OPENFILENAMEA open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = window_;
  open.lpstrFilter = filter.c_str();
  open.nFilterIndex = chooser.startOnPrograms ? 1 : 2;
  open.lpstrFile = file;
  open.nMaxFile = MAX_PATH;
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameA(&open)) return false;
  path = file;
  return true;
}

}  // namespace quorvel::win32
