// The main dialog's rules on a recording view, over fake drives and files: the rows a
// read shows with their tips, the play buttons by the selected row, what the play
// buttons start, the folder chooser, the options sheet and the About command.

#include "rules/desk/main_dialog_rules.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "rules/desk/desk_fixture.h"
#include "support/fake_tree.h"

namespace quorvel {
namespace {

namespace ids = res::main_dlg;
using desk::FieldRow;
using Rows = std::vector<FieldRow>;

// The bytes of an AVI file as far as disk reading looks: the stream count (one video
// stream plus `audioStreams`) at offset 56.
std::string AviBytes(int audioStreams) {
  std::string bytes(64, '\0');
  bytes[56] = static_cast<char>(audioStreams + 1);
  return bytes;
}

struct MainFixture : testing::DeskFixture {
  MainFixture() {
    settings.Players = {{"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                        {"VLC", "/usr/bin/vlc", "%f", PlaylistType::M3uPlaylist}};
    settings.DivXPlayer = "mpv";
    settings.DivXCommandLine = "--fs %f";
    settings.DivXAudio2Player = "VLC";
    settings.DivXAudio2CommandLine = "--audio-track=1 %f";
  }
  Services View() {
    return {tree.files(), fake.volumes, fake.processes,    fake.system,
            registry,     messages,     fake.privateFiles, fake.diskEvents};
  }
  desk::MainDialogRules& Open(std::string path) {
    rules = std::make_unique<desk::MainDialogRules>(settings, View(), view, std::move(path));
    rules->OnInitDialog();
    return *rules;
  }
  // Selects `row` as the user does.
  void Select(int row) {
    view.selected = row;
    rules->OnSelectionChanged();
  }
  bool Enabled(int id) { return view.controls[id].enabled; }

  testing::FakeTree tree;
  testing::RecordingMainDialog view;
  std::unique_ptr<desk::MainDialogRules> rules;
};

TEST(MainDialogRulesTest, RowsOfADiskWithTheirTipsAndOfNoDisk) {
  MainFixture f;
  const std::string disk = f.tree.Folder("cd");
  const std::string first = f.tree.File("cd/first.avi", AviBytes(1));
  const std::string second = f.tree.File("cd/second.avi", AviBytes(2));
  const std::string cover = f.tree.File("cd/cover.jpg", "not looked at");
  f.fake.volumes.AddDrive("/", kDriveFixed);
  f.fake.volumes.Insert(disk, "MOVIE NIGHT");
  // An empty path is the first optical drive.
  desk::MainDialogRules& rules = f.Open("");
  EXPECT_EQ(rules.DiskPath(), f.fake.volumes.FindFirstCdDrive());
  EXPECT_EQ(f.view.controls[ids::kDiskPath].text, rules.DiskPath());
  EXPECT_TRUE(f.view.controls[ids::kReadAutomatically].checked);
  EXPECT_EQ(f.view.columns, (std::vector<std::string>{"Field", "Value"}));
  EXPECT_EQ(f.view.rows, (Rows{{"Drive Type", "CD-ROM drive", ""},
                               {"Disk Label", "MOVIE NIGHT", ""},
                               {"Movie (DivX)", "first", first},
                               {"Movie (DivX)", "second", second},
                               {"Picture File", cover, ""}}));
  EXPECT_EQ(rules.MovieOfRow(3).File(), second);
  EXPECT_EQ(rules.MovieOfRow(3).AudioStreams(), 2);
  for (int row : {-1, 0, 4, 5}) EXPECT_EQ(rules.MovieOfRow(row).Type(), MovieType::Unknown);

  // The disk taken out: read again, no disk and nothing to play.
  f.Select(2);
  f.fake.volumes.Remove(disk);
  rules.ReadDiskToList();
  // (A drive without a medium has no volume root, so its type is that of the empty root.)
  EXPECT_EQ(f.view.rows,
            (Rows{{"Drive Type", "The root path is invalid", ""}, {"Movie Type", "No Disk", ""}}));
  EXPECT_FALSE(f.Enabled(ids::kPlay) || f.Enabled(ids::kPlayAudio2));

  // No optical drive and no path: the path stays empty, and there is no disk.
  f.fake.volumes = FakeVolumes();
  f.Open("");
  EXPECT_EQ(f.rules->DiskPath(), "");
  ASSERT_EQ(f.view.rows.size(), 2u);
  EXPECT_EQ(f.view.rows[1], (FieldRow{"Movie Type", "No Disk", ""}));
  EXPECT_TRUE(f.messages.shown.empty());
}

TEST(MainDialogRulesTest, PlayButtonsFollowTheSelectedRowAndStartItsMovie) {
  MainFixture f;
  const std::string disk = f.tree.Folder("movies");
  f.tree.File("movies/one.avi", AviBytes(1));
  const std::string two = f.tree.File("movies/two.avi", AviBytes(2));
  f.fake.volumes.Insert(f.tree.Root(), "DATA");
  f.fake.volumes.SetDriveType(f.tree.Root(), kDriveFixed);
  desk::MainDialogRules& rules = f.Open(disk);
  ASSERT_EQ(f.view.rows.size(), 4u);
  EXPECT_FALSE(f.Enabled(ids::kPlay) || f.Enabled(ids::kPlayAudio2));
  f.Select(3);  // two audio streams
  EXPECT_TRUE(f.Enabled(ids::kPlay) && f.Enabled(ids::kPlayAudio2));
  f.Select(2);
  EXPECT_TRUE(f.Enabled(ids::kPlay));
  EXPECT_FALSE(f.Enabled(ids::kPlayAudio2));
  f.Select(0);
  EXPECT_FALSE(f.Enabled(ids::kPlay));
  rules.OnPlay();  // a row without a movie plays nothing
  EXPECT_TRUE(f.fake.processes.started.empty());

  f.Select(3);
  rules.OnPlay();
  rules.OnPlayAudio2();
  ASSERT_EQ(f.fake.processes.started.size(), 2u);
  EXPECT_EQ(f.fake.processes.started[0], "\"/usr/bin/mpv\" --fs \"" + two + "\"");
  EXPECT_EQ(f.fake.processes.started[1], "\"/usr/bin/vlc\" --audio-track=1 \"" + two + "\"");

  // The settings are read anew: without the second-audio player (names are found
  // exactly), "Play Audio 2" stays off even for two streams.
  f.settings.DivXAudio2Player = "vlc";
  f.Select(3);
  EXPECT_TRUE(f.Enabled(ids::kPlay));
  EXPECT_FALSE(f.Enabled(ids::kPlayAudio2));
}

TEST(MainDialogRulesTest, TheFolderChooserTheOptionsSheetAndTheAboutCommand) {
  MainFixture f;
  const std::string disk = f.tree.Folder("disk");
  f.tree.File("disk/movie.avi", AviBytes(1));
  const std::string other = f.tree.Folder("other");
  f.fake.volumes.Insert(f.tree.Root(), "DATA");
  f.fake.volumes.SetDriveType(f.tree.Root(), kDriveFixed);
  desk::MainDialogRules& rules = f.Open(disk);
  ASSERT_EQ(f.view.rows.size(), 3u);
  const int updates = f.view.rowUpdates;

  // Cancelled, or the same folder again: neither cleared nor read again.
  rules.OnBrowse();
  EXPECT_EQ(f.view.chooserTitle, "Select disk path");
  EXPECT_EQ(f.view.chooserStart, disk);
  f.view.folder = disk;
  rules.OnBrowse();
  EXPECT_EQ(f.view.rowUpdates, updates);

  // A new folder is shown and read.
  f.view.folder = other;
  rules.OnBrowse();
  EXPECT_EQ(rules.DiskPath(), other);
  EXPECT_EQ(f.view.controls[ids::kDiskPath].text, other);
  EXPECT_EQ(f.view.rows.size(), 2u);

  // Without reading automatically, a new folder only clears the list; Read Disk reads
  // the path the user typed.
  f.view.controls[ids::kReadAutomatically].checked = false;
  f.view.folder = disk;
  rules.OnBrowse();
  EXPECT_TRUE(f.view.rows.empty());
  f.view.controls[ids::kDiskPath].text = disk;
  rules.ReadDiskToList();
  EXPECT_EQ(f.view.rows.size(), 3u);

  // The options sheet closed with OK reads the disk again; Cancel changes nothing.
  f.Select(2);
  const int read = f.view.rowUpdates;
  rules.OnOptions();
  EXPECT_EQ(f.view.rowUpdates, read);
  f.view.optionsAnswer = true;
  rules.OnOptions();
  EXPECT_EQ(f.view.optionsRuns, 2);
  EXPECT_EQ(f.view.rowUpdates, read + 1);
  EXPECT_FALSE(f.Enabled(ids::kPlay));

  // The About item, whatever the window system keeps in the command's low four bits.
  EXPECT_EQ(desk::MainDialogRules::AboutItemText(), "&About Quorvel...");
  rules.OnSysCommand(desk::MainDialogRules::kAboutCommand);
  rules.OnSysCommand(desk::MainDialogRules::kAboutCommand | 0x3);
  rules.OnSysCommand(32);
  EXPECT_EQ(f.view.aboutShown, 2);
}

}  // namespace
}  // namespace quorvel
