// The main dialog on real folders read with the system's volumes and files: the rows it
// shows, the play buttons as the selection moves by mouse and keyboard, the folder
// chooser, the About box, and what the play buttons start.

#include "faces/qt/desktop/main_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "disk/disk_fields.h"
#include "disk_services.h"
#include "faces/qt/desktop/about_dlg.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "modal_answer.h"
#include "resources/resource_ids.h"
#include "support/temp_dir.h"
#include "windows_rules/windows_command_line.h"

namespace quorvel {
namespace {

namespace ids = res::main_dlg;
namespace fs = std::filesystem;
using testing::WhenModal;

const fs::path kDemoDisk =
    fs::path(QUORVEL_TEST_DATA).parent_path().parent_path() / "samples" / "demo-disk";

class MainDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.Players = {{"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                         {"VLC", "/usr/bin/vlc", "%f", PlaylistType::M3uPlaylist}};
    settings_.DivXPlayer = "mpv";
    settings_.DivXCommandLine = "--fs %f";
    settings_.DivXAudio2Player = "VLC";
    settings_.DivXAudio2CommandLine = "--audio-track=1 %f";
  }

  // A copy of the demo disk: three DivX movies, the last with two audio streams.
  fs::path DemoCopy() {
    const fs::path disk = dir_.path() / "demo";
    fs::copy(kDemoDisk, disk);
    return disk;
  }

  CMainDlg& Open(const std::string& path) { return Open(path, services_); }
  CMainDlg& Open(const std::string& path, const Services& services) {
    dialog_ = std::make_unique<CMainDlg>(
        settings_, services,
        [this](QWidget&) {
          ++optionsRuns_;
          return optionsResult_;
        },
        path);
    dialog_->show();
    QApplication::setActiveWindow(dialog_.get());
    return *dialog_;
  }

  QTableWidget* List() { return dialog_->FieldList(); }
  QPushButton* Button(int id) { return FindControlAs<QPushButton>(*dialog_, id); }
  std::vector<std::pair<std::string, std::string>> Rows() {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 0; row < List()->rowCount(); ++row) {
      rows.emplace_back(List()->item(row, 0)->text().toStdString(),
                        List()->item(row, 1)->text().toStdString());
    }
    return rows;
  }
  void ClickRow(int row) {
    const QRect cell = List()->visualItemRect(List()->item(row, 1));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
  }
  // Chooses `folder` in the folder chooser that "..." opens.
  void BrowseTo(const fs::path& folder) {
    WhenModal<QFileDialog>([folder, start = dialog_->DiskPath()](QFileDialog& chooser) {
      EXPECT_EQ(chooser.windowTitle(), "Select disk path");
      EXPECT_EQ(chooser.directory().absolutePath().toStdString(), start);
      // Opened in the folder and confirmed, the chooser gives that folder.
      chooser.setDirectory(QString::fromStdString(folder.string()));
      static_cast<QDialog&>(chooser).accept();  // as the Open button does
    });
    QTest::mouseClick(Button(ids::kBrowse), Qt::LeftButton);
  }

  testing::TempDir dir_;
  Settings settings_;
  DiskServices disk_;
  const Services services_ = disk_.View();
  RecordingProcesses& processes_ = disk_.fake.processes;
  RecordingMessages& messages_ = disk_.fake.messages;
  int optionsRuns_ = 0;
  bool optionsResult_ = true;
  std::unique_ptr<CMainDlg> dialog_;
};

TEST_F(MainDlgTest, RowsForNoDiskAFolderWithoutMoviesAndADiskWithMovies) {
  Open((dir_.path() / "missing").string());
  EXPECT_EQ(List()->horizontalHeaderItem(0)->text(), "Field");
  EXPECT_EQ(List()->horizontalHeaderItem(1)->text(), "Value");
  EXPECT_EQ(List()->columnWidth(0), 100);
  EXPECT_TRUE(List()->showGrid());
  using RowList = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Rows(),
            (RowList{{"Drive Type", "The root path is invalid"}, {"Movie Type", "No Disk"}}));
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());
  EXPECT_FALSE(Button(ids::kPlayAudio2)->isEnabled());

  // A folder with a picture but no movie: no "Picture File" row.
  const fs::path pictureOnly = dir_.path() / "picture-only";
  fs::create_directories(pictureOnly);
  fs::copy_file(kDemoDisk / "cover.jpg", pictureOnly / "cover.jpg");
  Open(pictureOnly.string());
  ASSERT_EQ(List()->rowCount(), 2);
  EXPECT_EQ(Rows()[0].first, "Drive Type");
  EXPECT_EQ(Rows()[1], (std::pair<std::string, std::string>{"Disk Label", ""}));

  const fs::path disk = DemoCopy();
  Open(disk.string());
  EXPECT_EQ(FindControlAs<QLineEdit>(*dialog_, ids::kDiskPath)->text().toStdString(),
            disk.string());
  ASSERT_EQ(List()->rowCount(), 6);
  EXPECT_EQ(Rows()[2], (std::pair<std::string, std::string>{"Movie (DivX)", "Test Pattern"}));
  EXPECT_EQ(Rows()[4], (std::pair<std::string, std::string>{"Movie (DivX)", "Two Languages"}));
  EXPECT_EQ(Rows()[5].first, "Picture File");
  // The movie's file is the tip of its row; other rows have none.
  EXPECT_EQ(List()->item(3, 1)->toolTip().toStdString(), (disk / "colour-bars.avi").string());
  EXPECT_TRUE(List()->item(5, 0)->toolTip().isEmpty());
  EXPECT_EQ(dialog_->MovieOfRow(1).Type(), MovieType::Unknown);
  EXPECT_EQ(dialog_->MovieOfRow(-1).Type(), MovieType::Unknown);

  // Unknown movies get no row, wherever they come from.
  DiskInfo read;
  read.ReadDisk(disk.string(), settings_, services_.volumes, services_.files);
  read.AddMovie(MovieType::Unknown, "Mystery", (disk / "mystery.xyz").string(), services_.files);
  const std::vector<DiskField> fields = DiskFields(read, kDriveFixed);
  ASSERT_EQ(fields.size(), 6u);
  for (const DiskField& field : fields) EXPECT_NE(field.value, "Mystery");
}

TEST_F(MainDlgTest, AnEmptyDiskPathIsTheFirstOpticalDrive) {
  // Drives of a machine: a fixed disk, then two optical drives, the first holding a copy
  // of the demo disk. The disk's files are read for real.
  const fs::path disk = DemoCopy();
  FakeVolumes volumes;
  volumes.AddDrive("/", kDriveFixed);
  volumes.Insert("/media/cdrom0", "DEMO", disk.string());
  volumes.AddDrive("/media/cdrom1");
  const Services services{services_.files,
                          volumes,
                          processes_,
                          disk_.fake.system,
                          disk_.fake.registry,
                          messages_,
                          disk_.fake.privateFiles,
                          disk_.fake.diskEvents};
  Open("", services);
  EXPECT_EQ(dialog_->DiskPath(), "/media/cdrom0/");
  EXPECT_EQ(FindControlAs<QLineEdit>(*dialog_, ids::kDiskPath)->text(), "/media/cdrom0/");
  ASSERT_EQ(List()->rowCount(), 6);
  EXPECT_EQ(Rows()[0], (std::pair<std::string, std::string>{"Drive Type", "CD-ROM drive"}));
  EXPECT_EQ(Rows()[1], (std::pair<std::string, std::string>{"Disk Label", "DEMO"}));
  ClickRow(2);
  EXPECT_TRUE(Button(ids::kPlay)->isEnabled());

  // The disk taken out: Read Disk shows no disk, and nothing can be played. (A drive
  // without a medium has no volume root, so its type is that of the empty root.)
  volumes.Remove("/media/cdrom0");
  QTest::mouseClick(Button(ids::kReadDisk), Qt::LeftButton);
  EXPECT_EQ(Rows(), (std::vector<std::pair<std::string, std::string>>{
                        {"Drive Type", "The root path is invalid"}, {"Movie Type", "No Disk"}}));
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());
  EXPECT_FALSE(Button(ids::kPlayAudio2)->isEnabled());

  // A machine without an optical drive: the path stays empty and there is no disk.
  FakeVolumes none;
  const Services noDrive{services_.files,
                         none,
                         processes_,
                         disk_.fake.system,
                         disk_.fake.registry,
                         messages_,
                         disk_.fake.privateFiles,
                         disk_.fake.diskEvents};
  Open("", noDrive);
  EXPECT_EQ(dialog_->DiskPath(), "");
  ASSERT_EQ(List()->rowCount(), 2);
  EXPECT_EQ(Rows()[1], (std::pair<std::string, std::string>{"Movie Type", "No Disk"}));
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());
  EXPECT_TRUE(messages_.messages.empty());
  dialog_.reset();
}

TEST_F(MainDlgTest, PlayButtonsFollowTheSelectionByMouseAndKeyboard) {
  Open(DemoCopy().string());
  EXPECT_EQ(dialog_->SelectedRow(), -1);
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());

  ClickRow(4);  // two audio streams
  EXPECT_EQ(dialog_->SelectedRow(), 4);
  EXPECT_TRUE(Button(ids::kPlay)->isEnabled());
  EXPECT_TRUE(Button(ids::kPlayAudio2)->isEnabled());

  // The keyboard moves the selection; the buttons follow it.
  List()->setFocus();
  QTest::keyClick(List(), Qt::Key_Up);
  EXPECT_EQ(dialog_->SelectedRow(), 3);
  EXPECT_TRUE(Button(ids::kPlay)->isEnabled());
  EXPECT_FALSE(Button(ids::kPlayAudio2)->isEnabled());
  QTest::keyClick(List(), Qt::Key_PageUp);
  EXPECT_EQ(dialog_->SelectedRow(), 0);
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());
  QTest::keyClick(List(), Qt::Key_PageDown);
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());  // "Picture File"

  // Several rows selected: the first one counts.
  ClickRow(2);
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    List()->visualItemRect(List()->item(4, 1)).center());
  EXPECT_EQ(dialog_->SelectedRow(), 2);
  EXPECT_FALSE(Button(ids::kPlayAudio2)->isEnabled());

  // Without the second-audio player, "Play Audio 2" stays off even for two streams.
  settings_.DivXAudio2Player = "vlc";  // names are found exactly
  ClickRow(4);
  EXPECT_TRUE(Button(ids::kPlay)->isEnabled());
  EXPECT_FALSE(Button(ids::kPlayAudio2)->isEnabled());
}

TEST_F(MainDlgTest, PlayStartsTheChosenPlayerWithTheMovie) {
  const fs::path disk = DemoCopy();
  Open(disk.string());
  ClickRow(4);
  QTest::mouseClick(Button(ids::kPlay), Qt::LeftButton);
  QTest::mouseClick(Button(ids::kPlayAudio2), Qt::LeftButton);
  const std::string file = (disk / "two-languages.avi").string();
  ASSERT_EQ(processes_.started.size(), 2u);
  EXPECT_EQ(processes_.started[0], "\"/usr/bin/mpv\" --fs \"" + file + "\"");
  EXPECT_EQ(processes_.started[1], "\"/usr/bin/vlc\" --audio-track=1 \"" + file + "\"");
  EXPECT_TRUE(messages_.messages.empty());

  // Options closed with OK read the disk again (the selection goes); Cancel keeps it.
  ClickRow(2);
  optionsResult_ = false;
  QTest::mouseClick(Button(ids::kOptions), Qt::LeftButton);
  EXPECT_EQ(dialog_->SelectedRow(), 2);
  optionsResult_ = true;
  QTest::mouseClick(Button(ids::kOptions), Qt::LeftButton);
  EXPECT_EQ(optionsRuns_, 2);
  EXPECT_EQ(dialog_->SelectedRow(), -1);
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());
}

TEST_F(MainDlgTest, HostileFileNamesReachThePlayerAsTheyAre) {
  // Loose movie files whose names hold a line break, double quotes and a byte that is
  // not UTF-8: each row plays exactly its file, as one argument.
  const fs::path disk = dir_.path() / "hostile \xe9";  // the folder's name is no UTF-8 either
  fs::create_directories(disk);
  const std::vector<std::string> names = {"line\nbreak.avi", "say \"hi\".avi", "caf\xe9.avi"};
  for (const std::string& name : names) fs::copy_file(kDemoDisk / "colour-bars.avi", disk / name);
  Open(disk.string());
  ASSERT_EQ(List()->rowCount(), 2 + static_cast<int>(names.size()));
  // Read again from the edit, which shows the path in Windows-1252: the same bytes.
  QTest::mouseClick(Button(ids::kReadDisk), Qt::LeftButton);
  EXPECT_EQ(dialog_->DiskPath(), disk.string());
  ASSERT_EQ(List()->rowCount(), 2 + static_cast<int>(names.size()));
  std::vector<std::string> played;
  for (int row = 2; row < List()->rowCount(); ++row) {
    ClickRow(row);
    ASSERT_TRUE(Button(ids::kPlay)->isEnabled()) << row;
    // The tip names the file as it is.
    EXPECT_EQ(List()->item(row, 1)->toolTip(), ToQString(dialog_->MovieOfRow(row).File()));
    QTest::mouseClick(Button(ids::kPlay), Qt::LeftButton);
    ASSERT_EQ(processes_.started.size(), played.size() + 1);
    const std::vector<std::string> args = SplitCommandLine(processes_.started.back());
    ASSERT_EQ(args.size(), 3u) << processes_.started.back();
    EXPECT_EQ(args[0], "/usr/bin/mpv");
    EXPECT_EQ(args[1], "--fs");
    played.push_back(args[2]);
  }
  // A row is one line: the line break shows as a space, so no part of the title hides.
  EXPECT_EQ(List()->item(3, 1)->text(), "line break");
  std::vector<std::string> expected;
  for (const std::string& name : names) expected.push_back((disk / name).string());
  std::sort(played.begin(), played.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(played, expected);
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(MainDlgTest, TheFolderChooserReadsANewFolderOnlyAndEnterCloses) {
  const fs::path disk = DemoCopy();
  const fs::path other = dir_.path() / "other";
  fs::create_directories(other);
  Open(disk.string());
  ClickRow(2);

  // The same folder again: the list is neither cleared nor read again.
  BrowseTo(disk);
  EXPECT_EQ(List()->rowCount(), 6);
  EXPECT_EQ(dialog_->SelectedRow(), 2);

  BrowseTo(other);
  EXPECT_EQ(dialog_->DiskPath(), other.string());
  EXPECT_EQ(FindControlAs<QLineEdit>(*dialog_, ids::kDiskPath)->text().toStdString(),
            other.string());
  EXPECT_EQ(List()->rowCount(), 2);
  EXPECT_FALSE(Button(ids::kPlay)->isEnabled());

  // Without reading automatically, a new folder only clears the list.
  FindControlAs<QCheckBox>(*dialog_, ids::kReadAutomatically)->setChecked(false);
  BrowseTo(disk);
  EXPECT_EQ(List()->rowCount(), 0);
  QTest::mouseClick(Button(ids::kReadDisk), Qt::LeftButton);
  EXPECT_EQ(List()->rowCount(), 6);

  // Enter ends the dialog as "Close" does.
  List()->setFocus();
  QTest::keyClick(List(), Qt::Key_Return);
  EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(MainDlgTest, AboutBoxFromF1AndTheContextMenu) {
  Open((dir_.path() / "missing").string());
  WhenModal<CAboutDlg>([](CAboutDlg& about) {
    EXPECT_EQ(about.windowTitle(), "About Quorvel");
    QTest::mouseClick(FindControlAs<QPushButton>(about, res::kIdOk), Qt::LeftButton);
  });
  QTest::keyClick(dialog_.get(), Qt::Key_F1);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  WhenModal<QMenu>([](QMenu& menu) {
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "&About Quorvel...");
    QTest::keyClick(&menu, Qt::Key_A);  // the item's mnemonic
  });
  bool opened = false;
  WhenModal<CAboutDlg>([&opened](CAboutDlg& about) {
    opened = true;
    about.reject();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                          dialog_->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(dialog_.get(), &event);
  EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace quorvel
