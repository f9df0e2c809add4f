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
#include "playback/player_choice.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

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
      settings_(settings),
      services_(services),
      runOptions_(std::move(runOptions)),
      diskPath_(std::move(diskPath)) {
  playAudio2_ = FindControlAs<QPushButton>(*this, ids::kPlayAudio2);
  play_ = FindControlAs<QPushButton>(*this, ids::kPlay);
  fieldList_ = FindControlAs<QTableWidget>(*this, ids::kFieldList);
  // An application window with its own taskbar entry, which can be minimised.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(AppIcon());
  ConnectHandlers();
}

// Event table: Read Disk, "...", Play, Play Audio 2, Options; the selection of the field
// list, however it changes (mouse, keyboard, a new read); F1 for the About box.
void CMainDlg::ConnectHandlers() {
  connect(FindControlAs<QPushButton>(*this, ids::kReadDisk), &QPushButton::clicked, this,
          &CMainDlg::ReadDiskToList);
  connect(FindControlAs<QPushButton>(*this, ids::kBrowse), &QPushButton::clicked, this,
          &CMainDlg::OnBrowse);
  connect(play_, &QPushButton::clicked, this, &CMainDlg::OnPlay);
  connect(playAudio2_, &QPushButton::clicked, this, &CMainDlg::OnPlayAudio2);
  connect(FindControlAs<QPushButton>(*this, ids::kOptions), &QPushButton::clicked, this,
          &CMainDlg::OnOptions);
  connect(fieldList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CMainDlg::UpdatePlayButtons);
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { OnSysCommand(kAboutCommand); });
}

void CMainDlg::DoDataExchange(DataExchange& exchange) {
  exchange.Text(ids::kDiskPath, diskPath_);
  exchange.CheckBox(ids::kReadAutomatically, readAutomatically_);
}

void CMainDlg::OnInitDialog() {
  if (diskPath_.empty()) diskPath_ = services_.volumes.FindFirstCdDrive();
  ShowValues();

  fieldList_->setColumnCount(2);
  fieldList_->setHorizontalHeaderLabels({ToQString(res::LoadString(res::kStrFieldColumn)),
                                         ToQString(res::LoadString(res::kStrValueColumn))});
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

  UpdatePlayButtons();
  if (readAutomatically_ != 0) ReadDiskToList();
}

void CMainDlg::DeleteAllRows() {
  fieldList_->setRowCount(0);
  fields_.clear();
}

void CMainDlg::AddField(const DiskField& field, int index) {
  const int row = fieldList_->rowCount();
  fieldList_->insertRow(row);
  auto* name = new QTableWidgetItem(OneLine(field.name));
  auto* value = new QTableWidgetItem(OneLine(field.value));
  for (QTableWidgetItem* item : {name, value}) {
    item->setData(Qt::UserRole, index);
    // The movie's file is the row's tip; rows without a movie have none.
    if (field.movie) item->setToolTip(ToQString(field.movie->File()));
  }
  fieldList_->setItem(row, kFieldColumn, name);
  fieldList_->setItem(row, kValueColumn, value);
}

void CMainDlg::ReadDiskToList() {
  ReadControls();
  DeleteAllRows();
  disk_.ReadDisk(diskPath_, settings_, services_.volumes, services_.files);
  fields_ = DiskFields(disk_, disk_.DriveType(services_.volumes));
  for (std::size_t i = 0; i < fields_.size(); ++i) AddField(fields_[i], static_cast<int>(i));
  UpdatePlayButtons();
}

int CMainDlg::SelectedRow() const {
  int first = -1;
  for (const QModelIndex& index : fieldList_->selectionModel()->selectedRows()) {
    if (first < 0 || index.row() < first) first = index.row();
  }
  return first;
}

Movie CMainDlg::MovieOfRow(int row) const {
  if (row < 0) return Movie();
  const QTableWidgetItem* item = fieldList_->item(row, kFieldColumn);
  if (item == nullptr) return Movie();
  const int index = item->data(Qt::UserRole).toInt();
  if (index < 0 || static_cast<std::size_t>(index) >= fields_.size()) return Movie();
  return fields_[static_cast<std::size_t>(index)].movie.value_or(Movie());
}

void CMainDlg::UpdatePlayButtons() {
  const Movie movie = MovieOfRow(SelectedRow());
  PlayerRecord player;
  play_->setEnabled(ChoosePlayer(settings_, movie, player));
  playAudio2_->setEnabled(movie.AudioStreams() >= 2 &&
                          FindPlayer(settings_.Players, settings_.DivXAudio2Player, player));
}

bool CMainDlg::ChooseFolder(std::string& path, const QString& title) {
  QFileDialog chooser(this, title, ToQString(path));
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

void CMainDlg::OnBrowse() {
  ReadControls();
  std::string path = diskPath_;
  if (!ChooseFolder(path, ToQString(res::LoadString(res::kStrSelectDiskPath))) || path == diskPath_)
    return;
  DeleteAllRows();
  diskPath_ = path;
  ShowValues();
  if (readAutomatically_ != 0) ReadDiskToList();
}

void CMainDlg::OnPlay() {
  const Movie movie = MovieOfRow(SelectedRow());
  if (movie.Type() != MovieType::Unknown) PlayMovie(services_, settings_, movie);
}

void CMainDlg::OnPlayAudio2() {
  const Movie movie = MovieOfRow(SelectedRow());
  if (movie.Type() != MovieType::Unknown) PlayMovieSecondAudio(services_, settings_, movie);
}

void CMainDlg::OnOptions() {
  if (runOptions_ && runOptions_(*this)) ReadDiskToList();
}

void CMainDlg::OnSysCommand(int command) {
  if (command != kAboutCommand) return;
  CAboutDlg about(messages_, this);
  about.exec();
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
  // Linux windows have no system menu of the program's own: the About item is the
  // dialog's context menu.
  const std::string_view about = res::LoadString(res::kStrAboutItem);
  if (about.empty()) return;
  QMenu menu(this);
  QAction* item = menu.addAction(ToQString(about));
  if (menu.exec(event->globalPos()) == item) OnSysCommand(kAboutCommand);
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
