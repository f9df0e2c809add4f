// The Players, Disks, Codecs and View pages in the options sheet, driven as a user drives
// them: the Player Info dialog, player detection over a store and a search path of real
// programs, the Disks page's player lists, the View page's choosers and previews, and
// what OK and Cancel leave in the settings and the store.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <deque>
#include <filesystem>
#include <memory>

#include "app/registry_values.h"
#include "faces/qt/desktop/options_sheet.h"
#include "faces/qt/desktop/player_info_dlg.h"
#include "faces/qt/desktop/players_page.h"
#include "faces/qt/desktop/view_page.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_theme.h"
#include "modal_answer.h"
#include "platform/fake/fake_services.h"
#include "resources/resource_ids.h"
#include "support/counting_registry.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::WhenModal;

constexpr int kViewTab = 1;
constexpr int kDisksTab = 2;
constexpr int kPlayersTab = 3;
constexpr int kCodecsTab = 4;

// Answers questions from a script (Cancel once it runs out) and keeps every text.
class ScriptedMessages final : public UserMessages {
 public:
  MessageAnswer Show(std::string_view text, std::string_view, MessageButtons shown,
                     MessageIcon icon) override {
    texts.emplace_back(text);
    buttons.push_back(shown);
    icons.push_back(icon);
    if (answers.empty()) return MessageAnswer::Cancel;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<MessageAnswer> answers;
  std::vector<std::string> texts;
  std::vector<MessageButtons> buttons;
  std::vector<MessageIcon> icons;
};

// PATH for the test: a folder of its own, put back afterwards.
class SearchPath {
 public:
  explicit SearchPath(const fs::path& folder) : saved_(qgetenv("PATH")) {
    qputenv("PATH", QByteArray::fromStdString(folder.string()));
  }
  ~SearchPath() { qputenv("PATH", saved_); }

 private:
  QByteArray saved_;
};

void WriteProgram(const fs::path& path, bool executable = true) {
  testing::WriteFileBytes(path, "#!/bin/sh\nexit 0\n");
  ::chmod(path.c_str(), executable ? 0755 : 0644);
}

class OptionsPagesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(settings_.Load(registry_)); }

  COptionsSheet& Open(int tab) {
    const Services services{fake_.files, fake_.volumes, *processesInUse_,   fake_.system,
                            registry_,   messages_,     fake_.privateFiles, fake_.diskEvents};
    sheet_ = std::make_unique<COptionsSheet>(nullptr, settings_, services);
    sheet_->show();
    QApplication::setActiveWindow(sheet_.get());
    QTabBar* bar = sheet_->Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    EXPECT_EQ(sheet_->Tabs()->currentIndex(), tab);
    return *sheet_;
  }
  void Ok() { QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton); }
  void Cancel() { QTest::mouseClick(sheet_->CancelButton(), Qt::LeftButton); }
  QWidget& Page(int tab) { return *sheet_->Pages()[static_cast<std::size_t>(tab)]; }
  template <typename T>
  T* Control(int tab, int id) {
    return FindControlAs<T>(Page(tab), id);
  }

  // The Players page's list and buttons.
  QListWidget* PlayerList() { return Control<QListWidget>(kPlayersTab, res::players::kPlayerList); }
  QStringList Names() {
    QStringList names;
    for (int i = 0; i < PlayerList()->count(); ++i) names << PlayerList()->item(i)->text();
    return names;
  }
  QString Selected() {
    const auto selected = PlayerList()->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
  }
  void Press(int id) { QTest::mouseClick(Control<QPushButton>(kPlayersTab, id), Qt::LeftButton); }
  // Clicks a radio button of the View page on its indicator, where a click always lands.
  void ClickRadio(int id) {
    auto* radio = Control<QRadioButton>(kViewTab, id);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(4, radio->height() / 2));
  }
  bool Enabled(int id) { return Control<QPushButton>(kPlayersTab, id)->isEnabled(); }
  void SelectPlayer(const QString& name) {
    const auto found = PlayerList()->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    QTest::mouseClick(PlayerList()->viewport(), Qt::LeftButton, {},
                      PlayerList()->visualItemRect(found.first()).center());
  }
  // Answers the next Player Info dialog: `edit` fills it in, then OK or Cancel.
  void AnswerPlayerInfo(std::function<void(CPlayerInfoDlg&)> edit, bool ok) {
    WhenModal<CPlayerInfoDlg>([edit = std::move(edit), ok](CPlayerInfoDlg& dialog) {
      edit(dialog);
      QTest::mouseClick(FindControlAs<QPushButton>(dialog, ok ? res::kIdOk : res::kIdCancel),
                        Qt::LeftButton);
    });
  }

  Settings settings_;
  testing::CountingRegistry registry_;
  ScriptedMessages messages_;
  FakeServices fake_;
  RecordingProcesses& processes_ = fake_.processes;
  // What the pages get as the processes service: the fake, unless a test needs the
  // platform's own search path.
  Processes* processesInUse_ = &fake_.processes;
  std::unique_ptr<COptionsSheet> sheet_;
  testing::TempDir dir_;
};

QLineEdit* Edit(CPlayerInfoDlg& dialog, int id) { return FindControlAs<QLineEdit>(dialog, id); }
QComboBox* PlaylistList(CPlayerInfoDlg& dialog) {
  return FindControlAs<QComboBox>(dialog, res::player_info::kPlaylist);
}

TEST_F(OptionsPagesTest, AddCountsOnAndCancelOfTheSheetDropsEveryChange) {
  namespace ids = res::players;
  settings_.Players = {
      {"Zoom Player", "/opt/zoom/zplayer.exe", "%f", PlaylistType::AsxPlaylist},
      {"BSPlayer", "/opt/bsplayer/bsplayer.exe", "-fs %f", PlaylistType::BslPlaylist}};
  const quorvel::PlayerList before = settings_.Players;
  Open(kPlayersTab);
  EXPECT_EQ(Names(), (QStringList{"BSPlayer", "Zoom Player"}));
  EXPECT_TRUE(Selected().isEmpty());
  EXPECT_TRUE(Enabled(ids::kAdd) && Enabled(ids::kFindInstalled));
  EXPECT_FALSE(Enabled(ids::kRemove) || Enabled(ids::kConfigure) || Enabled(ids::kExecute));

  // Three cancelled adds use up three numbers.
  const int first = CPlayersPage::NextNewPlayerNumber();
  for (int i = 0; i < 3; ++i) {
    AnswerPlayerInfo(
        [&](CPlayerInfoDlg& dialog) {
          EXPECT_EQ(dialog.windowTitle(), "Add Player");
          EXPECT_EQ(Edit(dialog, res::player_info::kName)->text().toStdString(),
                    "New Player " + std::to_string(first + i));
          EXPECT_EQ(Edit(dialog, res::player_info::kCmdLine)->text(), "%f");
          ASSERT_EQ(PlaylistList(dialog)->count(), 4);
          EXPECT_EQ(PlaylistList(dialog)->itemText(3), "M3U");
          EXPECT_EQ(PlaylistList(dialog)->currentText(), "None");
        },
        false);
    Press(ids::kAdd);
  }
  // OK without typing adds the player as proposed, with no program.
  const std::string fourth = "New Player " + std::to_string(first + 3);
  if (first == 1) {
    EXPECT_EQ(fourth, "New Player 4");  // the first adds of the process
  }
  AnswerPlayerInfo([](CPlayerInfoDlg&) {}, true);
  Press(ids::kAdd);
  EXPECT_EQ(Names(), (QStringList{"BSPlayer", QString::fromStdString(fourth), "Zoom Player"}));
  EXPECT_EQ(Selected().toStdString(), fourth);
  EXPECT_TRUE(Enabled(ids::kRemove) && Enabled(ids::kConfigure) && Enabled(ids::kExecute));

  SelectPlayer("BSPlayer");
  Press(ids::kRemove);
  EXPECT_EQ(Names(), (QStringList{QString::fromStdString(fourth), "Zoom Player"}));
  EXPECT_TRUE(Selected().isEmpty());
  EXPECT_FALSE(Enabled(ids::kRemove));

  // A change through Configure too.
  SelectPlayer("Zoom Player");
  AnswerPlayerInfo(
      [](CPlayerInfoDlg& dialog) {
        Edit(dialog, res::player_info::kName)->setText("Aardvark");
        Edit(dialog, res::player_info::kCmdLine)->setText("-changed %f");
      },
      true);
  Press(ids::kConfigure);
  EXPECT_EQ(Names(), (QStringList{"Aardvark", QString::fromStdString(fourth)}));

  Cancel();
  EXPECT_EQ(settings_.Players, before);
  EXPECT_EQ(registry_.saves, 0);

  // Names count on in the next opening of the sheet; OK stores the list.
  Open(kPlayersTab);
  AnswerPlayerInfo(
      [&](CPlayerInfoDlg& dialog) {
        EXPECT_EQ(Edit(dialog, res::player_info::kName)->text().toStdString(),
                  "New Player " + std::to_string(first + 4));
      },
      true);
  Press(ids::kAdd);
  Ok();
  ASSERT_EQ(settings_.Players.size(), 3u);
  EXPECT_EQ(settings_.Players.back(), PlayerRecord("New Player " + std::to_string(first + 4), "",
                                                   "%f", PlaylistType::NoPlaylist));
  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(registry_));
  EXPECT_EQ(reloaded.Players.size(), 3u);
}

TEST_F(OptionsPagesTest, ConfigureSortsTheEntryAndKeepsTheStoredOrder) {
  namespace ids = res::players;
  settings_.Players = {{"Alpha", "/usr/bin/alpha", "%f", PlaylistType::NoPlaylist},
                       {"beta", "/usr/bin/beta", "%f", static_cast<PlaylistType>(7)},
                       {"Gamma", "/usr/bin/gamma", "%f", PlaylistType::BslPlaylist}};
  Open(kPlayersTab);
  EXPECT_EQ(Names(), (QStringList{"Alpha", "beta", "Gamma"}));  // letter case aside

  SelectPlayer("Alpha");
  AnswerPlayerInfo(
      [](CPlayerInfoDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Configure Player");
        Edit(dialog, res::player_info::kName)->setText("Zeta");
        PlaylistList(dialog)->setCurrentIndex(2);  // "ASX"
      },
      true);
  Press(ids::kConfigure);
  EXPECT_EQ(Names(), (QStringList{"beta", "Gamma", "Zeta"}));
  EXPECT_EQ(Selected(), "Zeta");
  EXPECT_TRUE(Enabled(ids::kConfigure));

  // A type outside the list selects no item; OK then stores "no playlist".
  SelectPlayer("beta");
  AnswerPlayerInfo(
      [](CPlayerInfoDlg& dialog) { EXPECT_EQ(PlaylistList(dialog)->currentIndex(), -1); }, true);
  Press(ids::kConfigure);

  // A name that differs from another player's in letter case only would share its stored
  // key: refused, the dialog stays open until the user changes it or cancels.
  SelectPlayer("Gamma");
  WhenModal<CPlayerInfoDlg>([this](CPlayerInfoDlg& dialog) {
    Edit(dialog, res::player_info::kName)->setText("ZETA");
    QTest::mouseClick(FindControlAs<QPushButton>(dialog, res::kIdOk), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(messages_.texts.back().find("already"), std::string::npos);
    // The name and the program are both needed for OK.
    QTest::keyClick(Edit(dialog, res::player_info::kAppPath), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Edit(dialog, res::player_info::kAppPath), Qt::Key_Delete);
    EXPECT_FALSE(FindControl(dialog, res::kIdOk)->isEnabled());
    QTest::keyClicks(Edit(dialog, res::player_info::kAppPath), "/opt/g");
    EXPECT_TRUE(FindControl(dialog, res::kIdOk)->isEnabled());
    dialog.reject();
  });
  Press(ids::kConfigure);
  EXPECT_EQ(Names(), (QStringList{"beta", "Gamma", "Zeta"}));

  Ok();
  const std::vector<PlayerRecord> stored(settings_.Players.begin(), settings_.Players.end());
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0], PlayerRecord("Zeta", "/usr/bin/alpha", "%f", PlaylistType::AsxPlaylist));
  EXPECT_EQ(stored[1].Playlist, PlaylistType::NoPlaylist);
  EXPECT_EQ(stored[2].Name, "Gamma");

  // Reopened, the dialog shows "ASX" again.
  Open(kPlayersTab);
  SelectPlayer("Zeta");
  AnswerPlayerInfo(
      [](CPlayerInfoDlg& dialog) { EXPECT_EQ(PlaylistList(dialog)->currentText(), "ASX"); }, false);
  Press(ids::kConfigure);
}

TEST_F(OptionsPagesTest, PlayerInfoChoosesTheProgramInAFileChooser) {
  const fs::path bin = dir_.path() / "bin";
  WriteProgram(bin / "mpv");
  WriteProgram(bin / "vlc");
  PlayerRecord record("", (bin / "mpv").string(), "%f", PlaylistType::NoPlaylist);
  CPlayerInfoDlg dialog(record, "Configure Player", messages_);
  bool chosen = false;
  WhenModal<CPlayerInfoDlg>([&](CPlayerInfoDlg& shown) {
    // The chooser starts at the current program, on all files (Linux programs have no
    // ending), and offers the programs' filter too.
    WhenModal<QFileDialog>([&](QFileDialog& chooser) {
      EXPECT_EQ(chooser.nameFilters(), (QStringList{"Programs (*.exe)", "All Files (*)"}));
      EXPECT_EQ(chooser.selectedNameFilter(), "All Files (*)");
      EXPECT_EQ(chooser.directory().absolutePath().toStdString(), bin.string());
      EXPECT_EQ(chooser.fileMode(), QFileDialog::ExistingFile);
      // The chooser lists its folder in the background and then selects the file it
      // was opened on; the user clicks the other file once it is listed.
      auto* files = chooser.findChild<QAbstractItemView*>(QStringLiteral("listView"));
      if (files == nullptr) {
        ADD_FAILURE() << "no file list in the chooser";
        return chooser.reject();
      }
      // The listing comes in pieces: wait for the start file's selection and for vlc.
      auto listedVlc = [&] {
        return files->model()->match(files->model()->index(0, 0, files->rootIndex()),
                                     Qt::DisplayRole, QStringLiteral("vlc"), 1, Qt::MatchExactly);
      };
      QModelIndexList vlc = listedVlc();
      for (int wait = 0;
           wait < 500 && (!files->selectionModel()->hasSelection() || vlc.size() != 1); ++wait) {
        QTest::qWait(10);
        vlc = listedVlc();
      }
      if (vlc.size() != 1) {
        ADD_FAILURE() << "vlc is not listed";
        return chooser.reject();
      }
      QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualRect(vlc[0]).center());
      static_cast<QDialog&>(chooser).accept();
      chosen = true;
    });
    QTest::mouseClick(FindControlAs<QPushButton>(shown, res::player_info::kBrowse), Qt::LeftButton);
    EXPECT_TRUE(chosen);
    EXPECT_EQ(Edit(shown, res::player_info::kAppPath)->text().toStdString(),
              (bin / "vlc").string());
    // The rule for OK runs after a choice: a name is still missing.
    EXPECT_FALSE(FindControl(shown, res::kIdOk)->isEnabled());
    QTest::keyClicks(Edit(shown, res::player_info::kName), "VLC");
    EXPECT_TRUE(FindControl(shown, res::kIdOk)->isEnabled());
    QTest::mouseClick(FindControlAs<QPushButton>(shown, res::kIdOk), Qt::LeftButton);
  });
  ASSERT_TRUE(dialog.Run(record));
  EXPECT_EQ(record, PlayerRecord("VLC", (bin / "vlc").string(), "%f", PlaylistType::NoPlaylist));
}

TEST_F(OptionsPagesTest, ExecuteStartsTheProgramWithoutArguments) {
  settings_.Players = {{"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                       {"odd", "/opt/a\"b", "%f", PlaylistType::NoPlaylist}};
  Open(kPlayersTab);
  SelectPlayer("mpv");
  Press(res::players::kExecute);
  EXPECT_EQ(processes_.started, std::vector<std::string>{"\"/usr/bin/mpv\" "});
  // A program that cannot be started is named, not silently skipped.
  SelectPlayer("odd");
  Press(res::players::kExecute);
  EXPECT_EQ(processes_.started.size(), 1u);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(messages_.texts[0].rfind("Cannot start /opt/a\"b", 0), 0u) << messages_.texts[0];
}

TEST_F(OptionsPagesTest, DetectionAsksForEachFoundPlayerInTurn) {
  // Only Zoom Player is installed.
  {
    ScopedKey zoom(registry_,
                   registry_.CreateKey(kCurrentUser, "Software\\VirtuaMedia\\ZoomPlayer"));
    ASSERT_TRUE(WriteText(registry_, zoom.get(), "InstallDirectory", "/opt/zoom"));
  }
  messages_.answers = {MessageAnswer::Yes};
  Open(kPlayersTab);
  Press(res::players::kFindInstalled);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(messages_.texts[0],
            "Found Zoom Player at /opt/zoom/zplayer.exe\nDo you want to add it?");
  EXPECT_EQ(messages_.buttons[0], MessageButtons::YesNoCancel);
  EXPECT_EQ(messages_.icons[0], MessageIcon::Question);
  EXPECT_EQ(Selected(), "Zoom Player");
  // Found again, it is listed already: no question.
  Press(res::players::kFindInstalled);
  EXPECT_EQ(messages_.texts.size(), 1u);
  Ok();
  ASSERT_EQ(settings_.Players.size(), 1u);
  EXPECT_EQ(settings_.Players.front(),
            PlayerRecord("Zoom Player", "/opt/zoom/zplayer.exe", "%f", PlaylistType::AsxPlaylist));

  // Cancel to the first question ends the search.
  settings_.Players.clear();
  {
    ScopedKey bsplayer(registry_, registry_.CreateKey(kCurrentUser, "Software\\BST\\bsplayer"));
    ASSERT_TRUE(WriteText(registry_, bsplayer.get(), "AppPath", "/opt/bsplayer/bsplay.exe"));
  }
  messages_.texts.clear();
  messages_.answers = {MessageAnswer::Cancel};
  Open(kPlayersTab);
  Press(res::players::kFindInstalled);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(messages_.texts[0].rfind("Found BSPlayer at /opt/bsplayer/bsplay.exe", 0), 0u);
  EXPECT_EQ(PlayerList()->count(), 0);
}

TEST_F(OptionsPagesTest, DetectionGoesOnWithThePlayersOnTheSearchPath) {
  const fs::path bin = dir_.path() / "bin";
  WriteProgram(bin / "mpv");
  WriteProgram(bin / "vlc");
  WriteProgram(bin / "smplayer", false);  // not a program
  WriteProgram(bin / "haruna");
  const SearchPath path(bin);
  RecordingMessages platformMessages;
  const std::unique_ptr<PlatformServices> platform = CreatePlatformServices(platformMessages);
  processesInUse_ = &platform->services.processes;
  messages_.answers = {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Yes};
  Open(kPlayersTab);
  Press(res::players::kFindInstalled);
  ASSERT_EQ(messages_.texts.size(), 3u);
  EXPECT_EQ(messages_.texts[0],
            "Found mpv at " + (bin / "mpv").string() + "\nDo you want to add it?");
  EXPECT_EQ(messages_.texts[1].rfind("Found VLC at " + (bin / "vlc").string(), 0), 0u);
  EXPECT_EQ(messages_.texts[2].rfind("Found Haruna at " + (bin / "haruna").string(), 0), 0u);
  EXPECT_EQ(Names(), (QStringList{"Haruna", "mpv"}));
  Ok();
  ASSERT_EQ(settings_.Players.size(), 2u);
  EXPECT_EQ(settings_.Players.front(),
            PlayerRecord("mpv", (bin / "mpv").string(), "--fs --keep-open=no %f",
                         PlaylistType::M3uPlaylist));
}

TEST_F(OptionsPagesTest, DisksPageSelectsByPrefixAndFillsTheCommandLine) {
  namespace ids = res::disks;
  settings_.Players = {{"Zoom Player", "/opt/zoom/zplayer.exe", "%f", PlaylistType::AsxPlaylist},
                       {"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                       {"BSPlayer", "/opt/bsplayer.exe", "-fs %f", PlaylistType::BslPlaylist}};
  settings_.DivXPlayer = "bsp";
  settings_.DivXCommandLine = "-stay %f";
  settings_.DivXAudio2Player = "MPV";
  settings_.MpegPlayer = "";
  settings_.VcdPlayer = "nobody";
  settings_.SvcdPlayer = "z";
  settings_.DvdPlayer = "MP";
  settings_.DvdCommandLine = "dvd %f";
  settings_.VideoPlayer = "Zoom";

  // Never shown, the page stores nothing: the prefixes stay as they are.
  Open(0);
  Ok();
  EXPECT_EQ(settings_.DivXPlayer, "bsp");
  EXPECT_EQ(settings_.VcdPlayer, "nobody");

  Open(kDisksTab);
  auto* divx = Control<QComboBox>(kDisksTab, ids::kDivXPlayer);
  ASSERT_EQ(divx->count(), 3);
  EXPECT_EQ(divx->itemText(0), "BSPlayer");
  EXPECT_EQ(divx->itemText(2), "Zoom Player");
  EXPECT_EQ(divx->currentText(), "BSPlayer");
  EXPECT_EQ(Control<QComboBox>(kDisksTab, ids::kDivXAudio2Player)->currentText(), "mpv");
  EXPECT_EQ(Control<QComboBox>(kDisksTab, ids::kMpegPlayer)->currentIndex(), -1);
  EXPECT_EQ(Control<QComboBox>(kDisksTab, ids::kVcdPlayer)->currentIndex(), -1);
  EXPECT_EQ(Control<QComboBox>(kDisksTab, ids::kSvcdPlayer)->currentText(), "Zoom Player");
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, ids::kDivXCommand)->text(), "-stay %f");

  // Choosing Zoom Player for Mpeg movies puts its command line into the edit; a hand-made
  // text after that stays.
  auto* mpeg = Control<QComboBox>(kDisksTab, ids::kMpegPlayer);
  mpeg->setFocus();
  QTest::keyClick(mpeg, Qt::Key_End);
  EXPECT_EQ(mpeg->currentText(), "Zoom Player");
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, ids::kMpegCommand)->text(), "%f");
  Control<QLineEdit>(kDisksTab, ids::kMpegCommand)->setText("/fullscreen %f");
  auto* audio2 = Control<QComboBox>(kDisksTab, ids::kDivXAudio2Player);
  audio2->setFocus();
  QTest::keyClick(audio2, Qt::Key_Home);
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, ids::kDivXAudio2Command)->text(), "-fs %f");
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, ids::kMpegCommand)->text(), "/fullscreen %f");

  // The rows of DVD-Video and Blu-ray disks and of today's movie files, below the others:
  // the same lists and prefixes; mpv brings its line for the disk, which its own command
  // line could not play.
  auto* dvd = Control<QComboBox>(kDisksTab, ids::kDvdPlayer);
  auto* bluray = Control<QComboBox>(kDisksTab, ids::kBlurayPlayer);
  auto* video = Control<QComboBox>(kDisksTab, ids::kVideoPlayer);
  EXPECT_GT(bluray->y(), dvd->y());
  EXPECT_GT(video->y(), bluray->y());
  EXPECT_GT(dvd->y(), Control<QComboBox>(kDisksTab, ids::kSvcdPlayer)->y());
  EXPECT_EQ(bluray->count(), 3);
  EXPECT_EQ(dvd->currentText(), "mpv");
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, ids::kDvdCommand)->text(), "dvd %f");
  EXPECT_EQ(bluray->currentIndex(), -1);
  EXPECT_EQ(video->currentText(), "Zoom Player");
  bluray->setFocus();
  QTest::keyClick(bluray, Qt::Key_Down);
  QTest::keyClick(bluray, Qt::Key_Down);
  EXPECT_EQ(bluray->currentText(), "mpv");
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, ids::kBlurayCommand)->text(),
            "--fs --keep-open=no bd:// --bluray-device=%f");
  video->setFocus();
  QTest::keyClick(video, Qt::Key_Up);
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, ids::kVideoCommand)->text(), "--fs %f");
  Ok();
  EXPECT_EQ(settings_.DvdPlayer, "mpv");
  EXPECT_EQ(settings_.DvdCommandLine, "dvd %f");
  EXPECT_EQ(settings_.BlurayPlayer, "mpv");
  EXPECT_EQ(settings_.BlurayCommandLine, "--fs --keep-open=no bd:// --bluray-device=%f");
  EXPECT_EQ(settings_.VideoPlayer, "mpv");
  EXPECT_EQ(settings_.VideoCommandLine, "--fs %f");
  EXPECT_EQ(settings_.DivXPlayer, "BSPlayer");
  EXPECT_EQ(settings_.DivXAudio2Player, "BSPlayer");
  EXPECT_EQ(settings_.DivXAudio2CommandLine, "-fs %f");
  EXPECT_EQ(settings_.MpegPlayer, "Zoom Player");
  EXPECT_EQ(settings_.MpegCommandLine, "/fullscreen %f");
  EXPECT_EQ(settings_.VcdPlayer, "");
  EXPECT_EQ(settings_.SvcdPlayer, "Zoom Player");
}

TEST_F(OptionsPagesTest, HostileNamesKeepTheirBytesInAListOfAHundredPlayers) {
  namespace ids = res::players;
  // A hundred players, stored in reverse order, and one whose name and path were stored
  // in Windows-1252 (not UTF-8) with quotes in the name and the command line.
  for (int i = 99; i >= 0; --i) {
    const std::string number = (i < 10 ? "0" : "") + std::to_string(i);
    settings_.Players.push_back(
        {"Player " + number, "/usr/bin/p" + number, "%f", PlaylistType::M3uPlaylist});
  }
  const PlayerRecord cafe("Caf\xe9 \"Noir\"", "/opt/caf\xe9/player", "-x \"%f\"",
                          PlaylistType::BslPlaylist);
  settings_.Players.push_back(cafe);
  // Line breaks in the path and the command line, as a hand-edited store may hold them.
  const PlayerRecord lines("Lines", "/opt/two\nlines", "-a\r\n%f", PlaylistType::NoPlaylist);
  settings_.Players.push_back(lines);
  settings_.DivXPlayer = "CAF";  // a prefix, in other letter case

  Open(kPlayersTab);
  ASSERT_EQ(PlayerList()->count(), 102);
  EXPECT_EQ(PlayerList()->item(0)->text(), QString::fromUtf8("Caf\u00e9 \"Noir\""));
  EXPECT_EQ(PlayerList()->item(2)->text(), "Player 00");
  EXPECT_EQ(PlayerList()->item(101)->text(), "Player 99");

  // Configure and OK without a change keeps every byte, whatever the code page.
  SelectPlayer(QString::fromUtf8("Caf\u00e9 \"Noir\""));
  AnswerPlayerInfo([](CPlayerInfoDlg&) {}, true);
  Press(ids::kConfigure);
  SelectPlayer("Lines");
  AnswerPlayerInfo([](CPlayerInfoDlg&) {}, true);
  Press(ids::kConfigure);

  // Typed texts that could not be stored or started are refused, the dialog stays open:
  // a line break in the name, a double quote in the program's path.
  SelectPlayer("Player 42");
  WhenModal<CPlayerInfoDlg>([this](CPlayerInfoDlg& dialog) {
    const std::size_t shown = messages_.texts.size();
    Edit(dialog, res::player_info::kName)->setText("Two\nLines");
    QTest::mouseClick(FindControlAs<QPushButton>(dialog, res::kIdOk), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    Edit(dialog, res::player_info::kName)->setText("Player 42");
    Edit(dialog, res::player_info::kAppPath)->setText("/opt/a\" \"b");
    QTest::mouseClick(FindControlAs<QPushButton>(dialog, res::kIdOk), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages_.texts.size(), shown + 2);
    dialog.reject();
  });
  Press(ids::kConfigure);

  // An added player lands at its sorted place, selected and scrolled into view.
  AnswerPlayerInfo(
      [](CPlayerInfoDlg& dialog) {
        Edit(dialog, res::player_info::kName)->setText("Player 50a");
        Edit(dialog, res::player_info::kAppPath)->setText("/usr/bin/p50a");
      },
      true);
  Press(ids::kAdd);
  ASSERT_EQ(PlayerList()->count(), 103);
  EXPECT_EQ(PlayerList()->item(53)->text(), "Player 50a");
  EXPECT_EQ(Selected(), "Player 50a");
  EXPECT_TRUE(PlayerList()->viewport()->rect().contains(
      PlayerList()->visualItemRect(PlayerList()->item(53)).center()));
  Ok();
  ASSERT_EQ(settings_.Players.size(), 103u);
  EXPECT_EQ(*std::next(settings_.Players.begin(), 100), cafe);
  EXPECT_EQ(*std::next(settings_.Players.begin(), 101), lines);

  // The Disks page selects the player by the prefix and stores its name as the player
  // has it, so that the player is still found.
  Open(kDisksTab);
  auto* divx = Control<QComboBox>(kDisksTab, res::disks::kDivXPlayer);
  EXPECT_EQ(divx->count(), 103);
  EXPECT_EQ(divx->currentText(), QString::fromUtf8("Caf\u00e9 \"Noir\""));
  divx->setFocus();
  QTest::keyClick(divx, Qt::Key_Down);
  QTest::keyClick(divx, Qt::Key_Up);
  EXPECT_EQ(Control<QLineEdit>(kDisksTab, res::disks::kDivXCommand)->text(), "-x \"%f\"");
  Ok();
  EXPECT_EQ(settings_.DivXPlayer, cafe.Name);
  EXPECT_EQ(settings_.DivXCommandLine, cafe.CmdLine);
  PlayerRecord found;
  EXPECT_TRUE(FindPlayer(settings_.Players, settings_.DivXPlayer, found));
  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(registry_));
  EXPECT_EQ(reloaded.DivXPlayer, cafe.Name);
  EXPECT_EQ(reloaded.Players.size(), 103u);
}

TEST_F(OptionsPagesTest, CodecsPageStoresTheFourSwitches) {
  settings_.FfdshowDivx = 1;
  Open(kCodecsTab);
  EXPECT_TRUE(Control<QCheckBox>(kCodecsTab, res::codecs::kDivX4)->isChecked());
  Control<QCheckBox>(kCodecsTab, res::codecs::kDivX4)->setChecked(false);
  Control<QCheckBox>(kCodecsTab, res::codecs::kXviD)->setChecked(true);
  Ok();
  EXPECT_EQ(settings_.FfdshowDivx, 0);
  EXPECT_EQ(settings_.FfdshowXvid, 1);
  // Without ffdshow the switches stay in memory: nothing is written to its key.
  EXPECT_EQ(registry_.OpenKey(kLocalMachine, "SOFTWARE\\GNU\\ffdshow"), kNoKey);
}

TEST_F(OptionsPagesTest, ViewPageSelectorsPreviewsAndCancel) {
  using Area = CViewPage::Area;
  namespace ids = res::view;
  const Theme before = settings_.Theme;
  Open(kViewTab);
  auto& page = static_cast<CViewPage&>(Page(kViewTab));
  auto text = [&](Area area) { return page.Preview(area)->palette().color(QPalette::WindowText); };
  auto back = [&](Area area) { return page.Preview(area)->palette().color(QPalette::Window); };
  EXPECT_TRUE(Control<QRadioButton>(kViewTab, ids::kMoviesHighlighted)->isChecked());
  EXPECT_TRUE(Control<QRadioButton>(kViewTab, ids::kChoicesHighlighted)->isChecked());
  EXPECT_EQ(text(Area::Movies), ToQColor(before.MoviesHighFg));
  EXPECT_EQ(back(Area::Movies), ToQColor(before.MoviesHighBg));
  EXPECT_EQ(text(Area::Choices), ToQColor(before.ChoiceHighFg));
  EXPECT_EQ(text(Area::Label), ToQColor(before.LabelFg));
  // The default font gives rows of 30 pixels: height 20, 5 above and 5 below.
  EXPECT_EQ(page.Preview(Area::Movies)->height(), 30);
  EXPECT_EQ(page.Preview(Area::Choices)->height(), 30);

  // "normal" shows and edits the plain colours.
  ClickRadio(ids::kMoviesNormal);
  EXPECT_EQ(page.StateOf(Area::Movies), CViewPage::kNormal);
  EXPECT_EQ(text(Area::Movies), ToQColor(before.MoviesFg));
  WhenModal<QColorDialog>([](QColorDialog& chooser) {
    chooser.setCurrentColor(QColor(10, 20, 30));
    chooser.accept();
  });
  QTest::mouseClick(Control<QPushButton>(kViewTab, ids::kMoviesBg), Qt::LeftButton);
  EXPECT_EQ(back(Area::Movies), QColor(10, 20, 30));
  ClickRadio(ids::kMoviesHighlighted);
  EXPECT_EQ(back(Area::Movies), ToQColor(before.MoviesHighBg));
  // A cancelled chooser changes nothing.
  WhenModal<QColorDialog>([](QColorDialog& chooser) {
    chooser.setCurrentColor(QColor(1, 1, 1));
    chooser.reject();
  });
  QTest::mouseClick(Control<QPushButton>(kViewTab, ids::kLabelFg), Qt::LeftButton);
  EXPECT_EQ(text(Area::Label), ToQColor(before.LabelFg));

  // A font for the choices changes the "Play" preview only, and its row height.
  const QFont labelFont = page.Preview(Area::Label)->font();
  const QFont moviesFont = page.Preview(Area::Movies)->font();
  WhenModal<QFontDialog>([](QFontDialog& chooser) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(24);
    chooser.setCurrentFont(font);
    chooser.accept();
  });
  QTest::mouseClick(Control<QPushButton>(kViewTab, ids::kChoicesFont), Qt::LeftButton);
  EXPECT_EQ(page.Preview(Area::Choices)->font().family(), "DejaVu Serif");
  EXPECT_EQ(page.Preview(Area::Choices)->font().pixelSize(), 24);
  EXPECT_EQ(page.Preview(Area::Choices)->height(), 24 + 2 * 6);
  EXPECT_EQ(page.Preview(Area::Label)->font(), labelFont);
  EXPECT_EQ(page.Preview(Area::Movies)->font(), moviesFont);

  Cancel();
  EXPECT_EQ(settings_.Theme, before);
  EXPECT_EQ(registry_.saves, 0);

  // The same changes confirmed: stored and saved.
  Open(kViewTab);
  ClickRadio(ids::kMoviesNormal);
  WhenModal<QColorDialog>([](QColorDialog& chooser) {
    chooser.setCurrentColor(QColor(10, 20, 30));
    chooser.accept();
  });
  QTest::mouseClick(Control<QPushButton>(kViewTab, ids::kMoviesBg), Qt::LeftButton);
  Ok();
  EXPECT_EQ(settings_.Theme.MoviesBg, Rgb(10, 20, 30));
  EXPECT_EQ(settings_.Theme.MoviesHighBg, before.MoviesHighBg);
  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(registry_));
  EXPECT_EQ(reloaded.Theme.MoviesBg, Rgb(10, 20, 30));
}

TEST(FontConversionTest, EveryFieldAQFontCarriesSurvivesARoundTrip) {
  for (const char* face : {"DejaVu Serif", "DejaVu Sans Mono", "DejaVu Sans"}) {
    for (std::int32_t height : {-8, -20, -37}) {
      for (std::int32_t weight : {100, 400, 700, 900}) {
        for (std::uint8_t flags = 0; flags < 8; ++flags) {
          FontDescription font = FontDescription::Default();
          font.height = height;
          font.weight = weight;
          font.italic = flags & 1;
          font.underline = (flags >> 1) & 1;
          font.strikeOut = (flags >> 2) & 1;
          font.faceName = {};
          std::copy_n(face, std::strlen(face), font.faceName.begin());
          const FontDescription back = ToFontDescription(ToQFont(font, 1080));
          EXPECT_EQ(back, font) << face << " " << height << " " << weight << " " << int(flags);
        }
      }
    }
  }
}

}  // namespace
}  // namespace quorvel
