#include "faces/qt/desktop/main_dlg.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <algorithm>

#include "faces/qt/desktop/about_dlg.h"
#include "faces/qt/resources/app_icon.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace {

namespace ids = res::main_dlg;

constexpr int kFieldColumnWidth = 100;
constexpr int kFieldColumn = 0;
constexpr int kValueColumn = 1;

// A field's text as one line of a row: a row is one line high, so a control character
// (a line break in a file name) would hide the rest of the text; it shows as a space.
QString OneLine(std::string_view bytes) {
  QString text = ToQString(bytes);
  for (QChar& c : text) {
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  }
  return text;
}

}  // namespace

CMainDlg::CMainDlg(const Settings& settings, const Services& services, OptionsRunner runOptions,
                   std::string diskPath, QWidget* owner)
    : CTemplateDialog(res::kMainDialog, services.messages, owner),
      runOptions_(std::move(runOptions)),
      fieldList_(FindControlAs<QTableWidget>(*this, ids::kFieldList)),
      rules_(settings, services, *this, std::move(diskPath)) {
  // An application window with its own taskbar entry, which can be minimised.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(AppIcon());
  ConnectHandlers();
}

// Event table: Read Disk, "...", Play, Play Audio 2, Options; the selection of the field
// list, however it changes (mouse, keyboard, a new read); F1 for the About box.
void CMainDlg::ConnectHandlers() {
  const std::pair<int, void (desk::MainDialogRules::*)()> buttons[] = {
      {ids::kReadDisk, &desk::MainDialogRules::ReadDiskToList},
      {ids::kBrowse, &desk::MainDialogRules::OnBrowse},
      {ids::kPlay, &desk::MainDialogRules::OnPlay},
      {ids::kPlayAudio2, &desk::MainDialogRules::OnPlayAudio2},
      {ids::kOptions, &desk::MainDialogRules::OnOptions},
  };
  for (const auto& [id, handler] : buttons) {
    connect(FindControlAs<QPushButton>(*this, id), &QPushButton::clicked, this,
            [this, handler = handler] { (rules_.*handler)(); });
  }
  connect(fieldList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { rules_.OnSelectionChanged(); });
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { rules_.OnSysCommand(kAboutCommand); });
}

void CMainDlg::ShowColumns(std::string_view field, std::string_view value) {
  fieldList_->setColumnCount(2);
  fieldList_->setHorizontalHeaderLabels({ToQString(field), ToQString(value)});
  fieldList_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  fieldList_->setColumnWidth(kFieldColumn, kFieldColumnWidth);
  // "Value" takes the rest of the list's width, also once a scroll bar takes its share.
  fieldList_->setColumnWidth(kValueColumn,
                             std::max(0, fieldList_->viewport()->width() - kFieldColumnWidth));
  fieldList_->horizontalHeader()->setStretchLastSection(true);
  // Rows as high as a line of the dialog's font, as a report list draws them.
  fieldList_->verticalHeader()->setMinimumSectionSize(1);
  fieldList_->verticalHeader()->setDefaultSectionSize(fieldList_->fontMetrics().height() + 4);
  fieldList_->setShowGrid(true);
  fieldList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  fieldList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void CMainDlg::ShowRows(const std::vector<desk::FieldRow>& rows) {
  fieldList_->setRowCount(0);
  for (const desk::FieldRow& field : rows) {
    const int row = fieldList_->rowCount();
    fieldList_->insertRow(row);
    auto* name = new QTableWidgetItem(OneLine(field.name));
    auto* value = new QTableWidgetItem(OneLine(field.value));
    for (QTableWidgetItem* item : {name, value}) {
      if (!field.tip.empty()) item->setToolTip(ToQString(field.tip));
    }
    fieldList_->setItem(row, kFieldColumn, name);
    fieldList_->setItem(row, kValueColumn, value);
  }
}

int CMainDlg::SelectedRow() const {
  int first = -1;
  for (const QModelIndex& index : fieldList_->selectionModel()->selectedRows()) {
    if (first < 0 || index.row() < first) first = index.row();
  }
  return first;
}

bool CMainDlg::ChooseFolder(std::string& path, std::string_view title) {
  QFileDialog chooser(this, ToQString(title), ToQString(path));
  chooser.setFileMode(QFileDialog::Directory);
  chooser.setOption(QFileDialog::ShowDirsOnly);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  if (chooser.exec() != QDialog::Accepted) return false;
  const QStringList chosen = chooser.selectedFiles();
  // Only folders of the file system count; a chooser may offer other places.
  if (chosen.isEmpty() || chosen.first().isEmpty()) return false;
  path = FromQString(chosen.first());
  return true;
}

bool CMainDlg::RunOptionsSheet() { return runOptions_ && runOptions_(*this); }

void CMainDlg::ShowAbout() {
  CAboutDlg about(messages_, this);
  about.exec();
}

bool CMainDlg::OnOk() {
  rules_.OnOk();
  return true;
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
  // Linux windows have no system menu of the program's own: the About item is the
  // dialog's context menu.
  const std::string about = desk::MainDialogRules::AboutItemText();
  if (about.empty()) return;
  QMenu menu(this);
  QAction* item = menu.addAction(ToQString(about));
  if (menu.exec(event->globalPos()) == item) rules_.OnSysCommand(kAboutCommand);
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
  // Enter ends the dialog as "Close" does, unless a button has the focus: then it is
  // pressed, as a focused button becomes the default one.
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        button->click();
      } else {
        accept();
      }
      return;
    }
  }
  CTemplateDialog::keyPressEvent(event);
}

}  // namespace quorvel
