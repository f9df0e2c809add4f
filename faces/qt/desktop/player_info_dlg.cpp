#include "faces/qt/desktop/player_info_dlg.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

namespace {

namespace ids = res::player_info;

// The playlist item of a type is its value plus one; a value outside the list selects
// nothing.
std::int32_t PlaylistIndexOf(PlaylistType type) {
  const std::int32_t index = static_cast<std::int32_t>(type) + 1;
  return index >= 0 && index < res::kPlaylistTypeCount ? index : -1;
}

PlaylistType PlaylistTypeOf(std::int32_t index) {
  // No item selected means no playlist.
  if (index < 0 || index >= res::kPlaylistTypeCount) return PlaylistType::NoPlaylist;
  return static_cast<PlaylistType>(index - 1);
}

}  // namespace

CPlayerInfoDlg::CPlayerInfoDlg(const PlayerRecord& record, const QString& caption,
                               UserMessages& messages, QWidget* owner, ProblemCheck problem)
    : CTemplateDialog(res::kPlayerInfoDialog, messages, owner),
      name_(record.Name),
      appPath_(record.AppPath),
      cmdLine_(record.CmdLine),
      playlistIndex_(PlaylistIndexOf(record.Playlist)),
      problem_(std::move(problem)) {
  setWindowTitle(caption);
  auto* playlist = FindControlAs<QComboBox>(*this, ids::kPlaylist);
  for (int i = 0; i < res::kPlaylistTypeCount; ++i) {
    playlist->addItem(ToQString(res::LoadString(res::kStrPlaylistTypes + i)));
  }
  ConnectHandlers();
}

// Event table: the name and program edits changed by the user, "...".
void CPlayerInfoDlg::ConnectHandlers() {
  for (int id : {ids::kName, ids::kAppPath}) {
    connect(FindControlAs<QLineEdit>(*this, id), &QLineEdit::textEdited, this,
            &CPlayerInfoDlg::UpdateOkButton);
  }
  connect(FindControlAs<QPushButton>(*this, ids::kBrowse), &QPushButton::clicked, this,
          &CPlayerInfoDlg::OnBrowse);
}

void CPlayerInfoDlg::DoDataExchange(DataExchange& exchange) {
  exchange.Text(ids::kName, name_);
  exchange.Text(ids::kAppPath, appPath_);
  exchange.Text(ids::kCmdLine, cmdLine_);
  exchange.DropDownList(ids::kPlaylist, playlistIndex_);
}

void CPlayerInfoDlg::OnInitDialog() {
  ShowValues();
  // OK starts enabled, whatever the record holds; editing applies the rule.
  FindControl(*this, res::kIdOk)->setEnabled(true);
}

void CPlayerInfoDlg::UpdateOkButton() {
  ReadControls();
  FindControl(*this, res::kIdOk)->setEnabled(!name_.empty() && !appPath_.empty());
}

void CPlayerInfoDlg::OnBrowse() {
  ReadControls();
  QFileDialog chooser(this);
  chooser.setFileMode(QFileDialog::ExistingFile);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  const QString programs = ToQString(res::LoadString(res::kStrProgramsFilter));
  const QString allFiles = ToQString(res::LoadString(res::kStrAllFilesFilter));
  chooser.setNameFilters({programs, allFiles});
  const QString current = ToQString(appPath_);
  // Programs without the ".exe" ending (every program on Linux) are found among all
  // files: start there unless the current program has that ending.
  chooser.selectNameFilter(
      current.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive) ? programs : allFiles);
  if (!current.isEmpty()) {
    const QFileInfo info(current);
    chooser.setDirectory(info.absolutePath());
    chooser.selectFile(info.fileName());
  }
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
  appPath_ = FromQString(chooser.selectedFiles().first());
  ShowValues();
  UpdateOkButton();
}

PlayerRecord CPlayerInfoDlg::Edited() const {
  return PlayerRecord(name_, appPath_, cmdLine_, PlaylistTypeOf(playlistIndex_));
}

void CPlayerInfoDlg::accept() {
  if (!ReadControls()) return;
  if (problem_) {
    const std::string problem = problem_(Edited());
    if (!problem.empty()) {
      messages_.Show(problem);
      return;
    }
  }
  QDialog::accept();
}

bool CPlayerInfoDlg::Run(PlayerRecord& record) {
  if (exec() != QDialog::Accepted) return false;
  record = Edited();
  return true;
}

}  // namespace quorvel
