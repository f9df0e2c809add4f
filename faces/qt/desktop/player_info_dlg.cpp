#include "faces/qt/desktop/player_info_dlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace ids = res::player_info;

CPlayerInfoDlg::CPlayerInfoDlg(const PlayerRecord& record, const std::string& caption,
                               UserMessages& messages, QWidget* owner, ProblemCheck problem)
    : CTemplateDialog(res::kPlayerInfoDialog, messages, owner),
      rules_(record, messages, *this, std::move(problem)) {
  setWindowTitle(ToQString(caption));
  ConnectHandlers();
}

// Event table: the name and program edits changed by the user, "...".
void CPlayerInfoDlg::ConnectHandlers() {
  for (int id : {ids::kName, ids::kAppPath}) {
    connect(FindControlAs<QLineEdit>(*this, id), &QLineEdit::textEdited, this,
            [this] { rules_.OnNameOrPathEdited(); });
  }
  connect(FindControlAs<QPushButton>(*this, ids::kBrowse), &QPushButton::clicked, this,
          [this] { rules_.OnBrowse(); });
}

bool CPlayerInfoDlg::ChooseProgram(std::string& path, const desk::ProgramChooser& filters) {
  QFileDialog chooser(this);
  chooser.setFileMode(QFileDialog::ExistingFile);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  const QString programs = ToQString(filters.programsFilter);
  const QString allFiles = ToQString(filters.allFilesFilter);
  chooser.setNameFilters({programs, allFiles});
  chooser.selectNameFilter(filters.startOnPrograms ? programs : allFiles);
  const QString current = ToQString(path);
  if (!current.isEmpty()) {
    const QFileInfo info(current);
    chooser.setDirectory(info.absolutePath());
    chooser.selectFile(info.fileName());
  }
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return false;
  path = FromQString(chooser.selectedFiles().first());
  return true;
}

bool CPlayerInfoDlg::Run(PlayerRecord& record) {
  if (exec() != QDialog::Accepted) return false;
  record = Edited();
  return true;
}

}  // namespace quorvel
