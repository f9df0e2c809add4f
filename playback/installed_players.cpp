#include "playback/installed_players.h"

#include "app/registry_values.h"
#include "platform/native_path.h"

namespace quorvel {

// Records made by the detection play with the file as their only argument.
constexpr std::string_view kDetectedCommandLine = "%f";

const std::array<KnownPlayer, 4> KnownPlayerTable = {{
    {"BSPlayer", "Software\\BST\\bsplayer", "AppPath", "", PlaylistType::BslPlaylist},
    {"Micro DVD Player", "Software\\Tiamat Software\\Micro DVD Player", "InstallPath", "mdvdp.exe",
     PlaylistType::NoPlaylist},
    {"WinDVD Player", "Software\\InterVideo\\WinDVDi", "PATH", "WinDVD.exe",
     PlaylistType::NoPlaylist},
    {"Zoom Player", "Software\\VirtuaMedia\\ZoomPlayer", "InstallDirectory", "zplayer.exe",
     PlaylistType::AsxPlaylist},
}};

// mpv and VLC are checked against the real programs by the tests. MPlayer reads a
// playlist only after "-playlist", which a single movie must not get: it plays no
// lists. Haruna takes nothing but the file on its command line, and SMPlayer has no
// option for an audio stream. VLC shows its video alone, without the window of an
// interface; where it has no graphical one, its default interface reads commands from
// standard input and would end at once on the empty input of a login session. The second audio
// stream: mpv and Celluloid (mpv's options) count audio tracks from 1, VLC from 0, and MPlayer
// takes an AVI file's stream number, its video being stream 0. A disk: mpv and MPlayer
// open "dvd://" and their Blu-ray address with the disk (a drive's device or a folder) as
// a separate option, VLC takes it inside the address; each keeps the options that make
// it play full screen and end at the disk's end. SMPlayer, Celluloid and Haruna are
// given no disk line: they take no device or folder for a disk address on their
// command line.
const std::array<PathPlayer, 6> PathPlayerTable = {{
    {"mpv", "mpv", "--fs --keep-open=no %f", "--fs --keep-open=no --aid=2 %f",
     "--fs --keep-open=no dvd:// --dvd-device=%f", "--fs --keep-open=no bd:// --bluray-device=%f",
     PlaylistType::M3uPlaylist},
    {"VLC", "vlc", "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit %f",
     "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit --audio-track=1 %f",
     "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit dvd://%f",
     "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit bluray://%f",
     PlaylistType::M3uPlaylist},
    {"SMPlayer", "smplayer", "-fullscreen -close-at-end %f", "", "", "", PlaylistType::M3uPlaylist},
    {"Celluloid", "celluloid", "--mpv-fs=yes --mpv-keep-open=no %f",
     "--mpv-fs=yes --mpv-keep-open=no --mpv-aid=2 %f", "", "", PlaylistType::M3uPlaylist},
    {"MPlayer", "mplayer", "-fs %f", "-fs -aid 2 %f", "-fs -dvd-device %f dvd://",
     "-fs -bluray-device %f br://", PlaylistType::NoPlaylist},
    {"Haruna", "haruna", "%f", "", "", "", PlaylistType::M3uPlaylist},
}};

const std::array<std::string_view, 2> PreferredPlayers = {"mpv", "VLC"};

std::string_view DetectedCommandLine(const PlayerRecord& player, PlayedAs as) {
  if (as == PlayedAs::Files) return player.CmdLine;
  for (const PathPlayer& row : PathPlayerTable) {
    if (row.name != player.Name) continue;
    switch (as) {
      case PlayedAs::SecondAudio:
        return row.secondAudioCmdLine;
      case PlayedAs::Dvd:
        return row.dvdCmdLine;
      case PlayedAs::Bluray:
        return row.blurayCmdLine;
      case PlayedAs::Files:
        break;
    }
  }
  return "";
}

std::string InstalledPlayerPath(Registry& registry, const KnownPlayer& player) {
  ScopedKey key(registry, registry.OpenKey(kCurrentUser, player.key));
  std::string value;
  if (!key || !ReadText(registry, key.get(), player.value, value)) return "";
  return player.executable.empty() ? value : JoinNativePath(value, player.executable);
}

void FindInstalledPlayers(Registry& registry, Processes& processes, const PlayerList& listed,
                          const std::function<bool(const PlayerRecord&)>& found) {
  // False when the search ends.
  auto offer = [&](const PlayerRecord& player) {
    if (player.AppPath.empty() || !NewPlayerProblem(player, listed).empty()) return true;
    return found(player);
  };
  for (const KnownPlayer& known : KnownPlayerTable) {
    if (!offer(PlayerRecord(std::string(known.name), InstalledPlayerPath(registry, known),
                            std::string(kDetectedCommandLine), known.playlist))) {
      return;
    }
  }
  for (const PathPlayer& row : PathPlayerTable) {
    if (!offer(PlayerRecord(std::string(row.name), processes.FindProgram(row.program),
                            std::string(row.cmdLine), row.playlist))) {
      return;
    }
  }
}

}  // namespace quorvel
