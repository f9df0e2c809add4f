// Today's disks and files made with Debian's tools and played by the real mpv through
// quorvelctl: a DVD-Video folder authored with dvdauthor from an MPEG-2 file that ffmpeg
// made, the same disk as an ISO image that fuseiso mounts as an optical drive's medium,
// and Matroska and MP4 files with two audio streams of different tones, whose second
// stream "Play Lang. 2" (quorvelctl play --audio2) plays. The DVD lines that a new
// user's first start gives mpv and VLC play the authored folder to its end.

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "platform/fake/memory_registry.h"
#include "platform/fake/recording_messages.h"
#include "platform/linux/file_registry.h"
#include "platform/services.h"
#include "playback/first_start.h"
#include "playback/installed_players.h"
#include "playback/player_choice.h"
#include "playback/process_list.h"
#include "process_test_support.h"
#include "support/fuseiso_mount.h"
#include "windows_rules/windows_command_line.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

class VideoMediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (folder.path() / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder.path() / "run").c_str(), 1);
    fs::create_directories(folder.path() / "run");
    // mpv through a wrapper that keeps its exit status and what it printed.
    wrapper = folder.path() / "mpv-wrapper";
    std::ofstream(wrapper) << "#!/bin/sh\n/usr/bin/mpv \"$@\" > \"$MPV_OUT\" 2>&1\necho $? > "
                              "\"$MPV_STATUS\"\n";
    fs::permissions(wrapper, fs::perms::owner_all);
    status = folder.path() / "mpv.status";
    out = folder.path() / "mpv.out";
    setenv("MPV_STATUS", status.c_str(), 1);
    setenv("MPV_OUT", out.c_str(), 1);
  }
  void TearDown() override { unsetenv("QUORVEL_VOLUME_SOURCES"); }

  // The store: one player, mpv, named by the given settings with their command lines.
  void Configure(
      const std::vector<std::pair<std::string Settings::*, std::string Settings::*>>& fields,
      const std::vector<std::string>& cmdLines) {
    RecordingMessages messages;
    auto registry = OpenUserRegistry(messages);
    Settings settings;
    settings.Load(*registry);
    settings.Players = {{"mpv", wrapper.string(), "%f", PlaylistType::M3uPlaylist}};
    for (std::size_t i = 0; i < fields.size(); ++i) {
      settings.*(fields[i].first) = "mpv";
      settings.*(fields[i].second) = cmdLines[i];
    }
    ASSERT_TRUE(settings.Save(*registry));
    ASSERT_TRUE(registry->Flush());
  }

  testing::RunResult Run(std::vector<std::string> args) {
    return testing::RunProgram(args, folder.path());
  }
  testing::RunResult Quorvelctl(std::vector<std::string> args) {
    args.insert(args.begin(), testing::Quorvelctl());
    return Run(args);
  }

  // Waits for mpv to end; what it printed, after its exit status ("0\n" for a movie
  // played to its end).
  std::string MpvEnded() {
    EXPECT_TRUE(testing::WaitFor([&] { return fs::exists(status) && fs::file_size(status) > 0; },
                                 std::chrono::seconds(90)))
        << "mpv did not end";
    const std::string result = testing::ReadFileText(status) + testing::ReadFileText(out);
    fs::remove(status);
    return result;
  }

  // A DVD-Video folder made by dvdauthor from a short MPEG-2 file of ffmpeg's.
  fs::path AuthorDvd(const std::string& name) {
    const fs::path mpeg = folder.path() / "movie.mpg";
    testing::RunResult made = Run({"/usr/bin/ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f",
                                   "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=1", "-f",
                                   "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=1",
                                   "-target", "pal-dvd", "-aspect", "4:3", mpeg.string()});
    EXPECT_EQ(made.status, 0) << made.err;
    const fs::path dvd = folder.path() / name;
    setenv("VIDEO_FORMAT", "PAL", 1);
    made = Run({"/usr/bin/dvdauthor", "-o", dvd.string(), "-t", mpeg.string()});
    EXPECT_EQ(made.status, 0) << made.err;
    made = Run({"/usr/bin/dvdauthor", "-o", dvd.string(), "-T"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(fs::exists(dvd / "VIDEO_TS" / "VIDEO_TS.IFO"));
    return dvd;
  }

  static constexpr const char* kMpvOptions =
      "--no-config --vo=null --ao=null --term-status-msg= --fs";

  TestFolder folder;
  fs::path wrapper, status, out;
};

TEST_F(VideoMediaTest, ADvdVideoFolderIsOneDvdMoviePlayedToItsEndByMpv) {
  const fs::path dvd = AuthorDvd("Holiday");
  testing::RunResult read = Quorvelctl({"read", "--json", dvd.string()});
  ASSERT_EQ(read.status, 0) << read.err;
  const auto json = nlohmann::json::parse(read.out);
  ASSERT_EQ(json["movies"].size(), 1u) << read.out;
  const auto& movie = json["movies"][0];
  EXPECT_EQ(movie["type"], 6);
  EXPECT_EQ(movie["typeName"], "DVD");
  EXPECT_EQ(movie["file"], fs::canonical(dvd).string()) << "the folder is the disk";
  const std::string label = json["label"];
  EXPECT_EQ(movie["title"], label.empty() ? "DVD-Video" : label);

  Configure({{&Settings::DvdPlayer, &Settings::DvdCommandLine}},
            {std::string(kMpvOptions) + " dvd:// --dvd-device=%f"});
  testing::RunResult dry = Quorvelctl({"play", "--dry-run", dvd.string()});
  ASSERT_EQ(dry.status, 0) << dry.err;
  const auto args = nlohmann::json::parse(dry.out).get<std::vector<std::string>>();
  ASSERT_GE(args.size(), 3u);
  EXPECT_EQ(args[args.size() - 2], "dvd://");
  EXPECT_EQ(args.back(), "--dvd-device=" + fs::canonical(dvd).string());
  // Played to its end, whole; "play all" of the disk plays the same.
  for (const char* all : {"--movie=1", "--all"}) {
    testing::RunResult run = Quorvelctl({"play", all, dvd.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string ended = MpvEnded();
    EXPECT_EQ(ended.substr(0, 2), "0\n") << ended;
    EXPECT_NE(ended.find("(End of file)"), std::string::npos) << ended;
  }
}

TEST_F(VideoMediaTest, AnIsoImageOfItMountedWithFuseisoIsADrivesMedium) {
  const fs::path dvd = AuthorDvd("dvd");
  const fs::path image = folder.path() / "holiday.iso";
  ASSERT_EQ(Run({"/usr/bin/genisoimage", "-quiet", "-dvd-video", "-V", "HOLIDAY", "-o",
                 image.string(), dvd.string()})
                .status,
            0);
  // A machine described by files: optical drive sr0, whose device reads as the image
  // does (a player opens the device), its medium mounted by fuseiso.
  const fs::path machine = folder.path() / "machine";
  fs::create_directories(machine / "dev");
  fs::create_directories(machine / "udev");
  std::ofstream(machine / "fstab");
  const fs::path device = machine / "dev" / "sr0";
  fs::create_symlink(image, device);
  const fs::path point = folder.path() / "media" / "HOLIDAY";
  testing::FuseIsoMount mount(image.string(), point.string());
  ASSERT_TRUE(mount.Mounted());
  std::ofstream(machine / "mountinfo")
      << "26 1 0:99999 / / rw - ext4 /dev/vda rw\n"
      << "100 1 11:0 / " << point.string() << " ro - fuse.fuseiso " << device.string() << " ro\n";
  std::ofstream(machine / "udev" / "b11:0") << "E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=HOLIDAY\n";
  setenv("QUORVEL_VOLUME_SOURCES", machine.c_str(), 1);

  testing::RunResult read = Quorvelctl({"read", "--json", device.string()});
  ASSERT_EQ(read.status, 0) << read.err;
  const auto json = nlohmann::json::parse(read.out);
  EXPECT_EQ(json["driveType"], 5);
  EXPECT_EQ(json["folder"], fs::canonical(point).string());
  ASSERT_EQ(json["movies"].size(), 1u) << read.out;
  EXPECT_EQ(json["movies"][0]["title"], "HOLIDAY");
  EXPECT_EQ(json["movies"][0]["typeName"], "DVD");
  EXPECT_EQ(json["movies"][0]["file"], device.string()) << "the drive's device is the disk";

  Configure({{&Settings::DvdPlayer, &Settings::DvdCommandLine}},
            {std::string(kMpvOptions) + " dvd:// --dvd-device=%f"});
  testing::RunResult run = Quorvelctl({"play", device.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string ended = MpvEnded();
  EXPECT_EQ(ended.substr(0, 2), "0\n") << ended;
  EXPECT_NE(ended.find("(End of file)"), std::string::npos) << ended;
}

TEST_F(VideoMediaTest, TheFirstStartsDvdLinesOfMpvAndVlcPlayTheFolderToItsEnd) {
  // VLC refuses to run as root: as root it runs as nobody, who must read the disk.
  fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
  const fs::path dvd = AuthorDvd("Holiday");
  const fs::path home = folder.path() / "home";
  fs::create_directories(home);
  ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);

  // A new user's store on this machine, which has mpv and VLC: mpv plays DVD-Video.
  RecordingMessages messages;
  const std::unique_ptr<PlatformServices> platform = CreatePlatformServices(messages);
  const Services& services = platform->services;
  MemoryRegistry registry;
  Settings settings;
  ASSERT_TRUE(SetUpPlayersOfNewUser(settings, registry, services.processes));
  EXPECT_EQ(settings.DvdPlayer, "mpv");
  EXPECT_EQ(settings.DvdCommandLine, "--fs --keep-open=no dvd:// --dvd-device=%f");
  DiskInfo read;
  read.ReadDisk(dvd.string(), settings, services.volumes, services.files);
  ASSERT_EQ(read.MovieCount(), 1u);
  DiskInfo::Position position = read.FirstMovie();
  const Movie movie = read.NextMovie(position);
  ASSERT_EQ(movie.Type(), MovieType::Dvd);

  // Each player with its own DVD line, as the Disks page gives it, on outputs that need
  // no screen or sound.
  const std::vector<std::pair<std::string, std::vector<std::string>>> players = {
      {"mpv", {"--no-config", "--vo=null", "--ao=null"}},
      {"VLC", {"-vv", "-V", "dummy", "-A", "dummy"}},
  };
  for (const auto& [name, outputs] : players) {
    PlayerRecord player;
    ASSERT_TRUE(FindPlayer(settings.Players, name, player)) << name << " is part of the set-up";
    player.CmdLine = std::string(DetectedCommandLine(player, PlayedAs::Dvd));
    std::vector<std::string> args =
        SplitCommandLine(ComposeCommandLine(player.AppPath, BuildArguments(player, movie.File())));
    ASSERT_GE(args.size(), 2u);
    args.insert(args.begin() + 1, outputs.begin(), outputs.end());
    if (name == "VLC") {
      EXPECT_EQ(args.back(), "dvd://" + movie.File());
      args.insert(args.begin(), {"/usr/bin/env", "HOME=" + home.string()});
      if (::geteuid() == 0) {
        args.insert(args.begin(),
                    {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
      }
    } else {
      EXPECT_EQ(args.back(), "--dvd-device=" + movie.File());
    }
    const testing::RunResult run = Run(args);
    const std::string output = run.out + run.err;
    ASSERT_EQ(run.status, 0) << name << ":\n" << output;
    if (name == "mpv") {
      EXPECT_NE(output.find("(End of file)"), std::string::npos) << output;
    } else {
      // Read as a disk, through its navigation, and its MPEG-2 video decoded.
      EXPECT_NE(output.find("using access_demux module \"dvdnav\""), std::string::npos) << output;
      EXPECT_NE(output.find("codec (mpeg2video) started"), std::string::npos) << output;
    }
  }
}

// The main frequency of the mono 16-bit WAV file that mpv wrote, from its zero crossings.
double ToneOf(const fs::path& wav) {
  const std::string bytes = testing::ReadFileText(wav);
  const std::size_t data = bytes.find("data");
  if (data == std::string::npos || bytes.size() < data + 8) return 0;
  std::size_t crossings = 0;
  std::size_t samples = 0;
  int previous = 0;
  for (std::size_t at = data + 8; at + 1 < bytes.size(); at += 2, ++samples) {
    const int sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                                 static_cast<std::uint8_t>(bytes[at + 1]) << 8);
    const int sign = sample > 200 ? 1 : sample < -200 ? -1 : 0;
    if (sign != 0 && previous != 0 && sign != previous) ++crossings;
    if (sign != 0) previous = sign;
  }
  constexpr double kRate = 8000;
  return samples == 0 ? 0 : crossings / 2.0 / (samples / kRate);
}

TEST_F(VideoMediaTest, PlayLang2MakesMpvPlayTheSecondAudioStream) {
  const fs::path disk = folder.path() / "stick";
  fs::create_directories(disk);
  // A low tone in the first stream, a high one in the second.
  for (const char* name : {"two.mkv", "two.mp4"}) {
    testing::RunResult made = Run({"/usr/bin/ffmpeg",
                                   "-nostdin",
                                   "-loglevel",
                                   "error",
                                   "-y",
                                   "-f",
                                   "lavfi",
                                   "-i",
                                   "testsrc=size=64x48:rate=10:duration=1",
                                   "-f",
                                   "lavfi",
                                   "-i",
                                   "sine=frequency=300:sample_rate=8000:duration=1",
                                   "-f",
                                   "lavfi",
                                   "-i",
                                   "sine=frequency=1200:sample_rate=8000:duration=1",
                                   "-map",
                                   "0:v",
                                   "-map",
                                   "1:a",
                                   "-map",
                                   "2:a",
                                   "-c:v",
                                   "mpeg4",
                                   "-c:a",
                                   "aac",
                                   (disk / name).string()});
    ASSERT_EQ(made.status, 0) << made.err;
  }
  testing::RunResult read = Quorvelctl({"read", "--json", disk.string()});
  ASSERT_EQ(read.status, 0) << read.err;
  const auto json = nlohmann::json::parse(read.out);
  ASSERT_EQ(json["movies"].size(), 2u) << read.out;
  for (const auto& movie : json["movies"]) {
    EXPECT_EQ(movie["typeName"], "Video");
    EXPECT_EQ(movie["audioStreams"], 2) << movie["file"];
  }

  const fs::path wav = folder.path() / "played.wav";
  const std::string pcm = "--no-config --vo=null --ao=pcm --ao-pcm-file=" + wav.string() +
                          " --audio-format=s16 --audio-channels=mono --audio-samplerate=8000 "
                          "--term-status-msg=";
  Configure({{&Settings::VideoPlayer, &Settings::VideoCommandLine},
             {&Settings::DivXAudio2Player, &Settings::DivXAudio2CommandLine}},
            {pcm + " %f", pcm + " --aid=2 %f"});
  for (int movie = 1; movie <= 2; ++movie) {
    for (const bool second : {false, true}) {
      std::vector<std::string> args = {"play", "--movie", std::to_string(movie)};
      if (second) args.push_back("--audio2");
      args.push_back(disk.string());
      fs::remove(wav);
      testing::RunResult run = Quorvelctl(args);
      ASSERT_EQ(run.status, 0) << run.err;
      const std::string ended = MpvEnded();
      ASSERT_EQ(ended.substr(0, 2), "0\n") << ended;
      const double tone = ToneOf(wav);
      // The tones are 300 Hz and 1200 Hz: the one played is far nearer one of them.
      if (second) {
        EXPECT_NEAR(tone, 1200, 150) << "movie " << movie << " with its second stream";
      } else {
        EXPECT_NEAR(tone, 300, 60) << "movie " << movie << " with its first stream";
      }
    }
  }
}

}  // namespace
}  // namespace quorvel
