// quorvelctl play, processes and close-launchers: the playback commands of the
// full-screen window and the main dialog, and launcher closing, from the shell.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "platform/services.h"
#include "playback/launchers.h"
#include "playback/player_choice.h"
#include "playback/playlist.h"
#include "playback/process_list.h"
#include "quorvelctl/commands.h"
#include "quorvelctl/user_store.h"
#include "windows_rules/windows_command_line.h"

namespace quorvelctl {

namespace {

using Json = nlohmann::ordered_json;

// Passes everything on to the system's service but watches the start of the player:
// it keeps the command line and the outcome, and with `dryRun` starts nothing.
class WatchedProcesses final : public quorvel::Processes {
 public:
  WatchedProcesses(quorvel::Processes& system, bool dryRun) : system_(system), dryRun_(dryRun) {}

  quorvel::StartResult Start(std::string_view commandLine) override {
    commandLine_ = std::string(commandLine);
    return dryRun_ ? quorvel::StartResult{true, {}, {}} : system_.Start(commandLine);
  }
  std::string FindProgram(std::string_view program) override {
    return system_.FindProgram(program);
  }
  std::optional<std::vector<quorvel::ProcessSnapshotEntry>> Snapshot() override {
    return system_.Snapshot();
  }
  std::optional<quorvel::ModuleInfo> MainModule(quorvel::ProcessId id) override {
    return system_.MainModule(id);
  }
  quorvel::WindowHandle FindTopLevelWindow(quorvel::ProcessId id) override {
    return system_.FindTopLevelWindow(id);
  }
  void AskToClose(quorvel::WindowHandle window, std::chrono::milliseconds timeout) override {
    if (!dryRun_) system_.AskToClose(window, timeout);
  }
  bool Terminate(quorvel::ProcessId id) override { return !dryRun_ && system_.Terminate(id); }
  quorvel::ProcessId CurrentProcessId() override { return system_.CurrentProcessId(); }

  const std::string& commandLine() const { return commandLine_; }

 private:
  quorvel::Processes& system_;
  bool dryRun_;
  std::string commandLine_;
};

// The user's messages, counted: a play command that failed and said why needs no
// reason of ours.
class CountedMessages final : public quorvel::UserMessages {
 public:
  explicit CountedMessages(quorvel::UserMessages& shown) : shown_(shown) {}
  quorvel::MessageAnswer Show(std::string_view text, std::string_view caption,
                              quorvel::MessageButtons buttons, quorvel::MessageIcon icon) override {
    ++count_;
    return shown_.Show(text, caption, buttons, icon);
  }
  int shown() const { return count_; }

 private:
  quorvel::UserMessages& shown_;
  int count_ = 0;
};

struct PlayOptions {
  std::string path;
  int movie = 1;
  bool all = false;
  bool audio2 = false;
  bool dryRun = false;
};

// `text` for a POSIX shell: in single quotes unless it needs none.
std::string ShellQuoted(const std::string& text) {
  if (!text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789-_./=:,+%@") == std::string::npos) {
    return text;
  }
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Dump(const Json& json) {
  // Names need not be UTF-8; such bytes are shown as U+FFFD rather than making the
  // output invalid.
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

int Play(const PlayOptions& options, const quorvel::Services& platform) {
  quorvel::Settings settings;
  LoadUserSettings(platform, settings);
  quorvel::DiskInfo disk;
  disk.ReadDisk(options.path, settings, platform.volumes, platform.files);
  if (!disk.HasMovies()) {
    std::cerr << "No movies found on " << options.path << ".\n";
    return 1;
  }

  // The platform's services, with the player's start watched and the messages counted.
  WatchedProcesses processes(platform.processes, options.dryRun);
  CountedMessages messages(platform.messages);
  const quorvel::Services services{platform.files,        platform.volumes,   processes,
                                   platform.system,       platform.registry,  messages,
                                   platform.privateFiles, platform.diskEvents};
  bool played = false;
  if (options.all) {
    played = quorvel::PlayAllMovies(services, settings, disk);
    if (!played && messages.shown() == 0) {
      std::cerr << "No player with a playlist type for the disk: neither the player of its "
                   "first movie nor \"BSPlayer\" nor \"Zoom Player\", or the playlist could "
                   "not be written.\n";
    }
  } else {
    if (options.movie < 1 || static_cast<std::size_t>(options.movie) > disk.MovieCount()) {
      std::cerr << "There is no movie " << options.movie << "; the disk has " << disk.MovieCount()
                << ".\n";
      return 1;
    }
    auto position = disk.FirstMovie();
    quorvel::Movie movie;
    for (int i = 0; i < options.movie; ++i) movie = disk.NextMovie(position);
    if (movie.Type() == quorvel::MovieType::Unknown) {
      std::cerr << "Movie " << options.movie << " is of unknown type and is not played.\n";
      return 1;
    }
    played = options.audio2 ? quorvel::PlayMovieSecondAudio(services, settings, movie)
                            : quorvel::PlayMovie(services, settings, movie);
    if (!played && messages.shown() == 0) {
      std::cerr << (options.audio2 ? std::string("No player named by \"DivX (Audio2) Player\".")
                                   : "No player is configured for " + movie.TypeName() + " movies.")
                << '\n';
    }
  }
  // A player that could not be started was reported by the play command.
  if (!played) return 1;

  const std::vector<std::string> args = quorvel::SplitCommandLine(processes.commandLine());
  if (options.dryRun) {
    std::cout << Dump(Json(args)) << '\n';
    return 0;
  }
  std::string line;
  for (const auto& arg : args) line += (line.empty() ? "" : " ") + ShellQuoted(arg);
  std::cout << line << '\n';
  return 0;
}

Json EntryJson(const quorvel::ProcessEntry& entry) {
  return Json{{"pid", entry.process.processId},
              {"moduleName", entry.moduleName},
              {"modulePath", entry.modulePath},
              {"window", entry.window == quorvel::kNoWindow ? Json(nullptr) : Json(entry.window)}};
}

void PrintEntry(const quorvel::ProcessEntry& entry) {
  std::cout << entry.process.processId << '\t' << entry.moduleName << '\t' << entry.modulePath
            << '\t';
  if (entry.window == quorvel::kNoWindow) {
    std::cout << "none";
  } else {
    std::cout << "0x" << std::hex << entry.window << std::dec;
  }
  std::cout << '\n';
}

}  // namespace

void AddPlaybackCommands(Command& app, Context& context) {
  auto play = std::make_shared<PlayOptions>();
  auto* playCommand =
      app.add_subcommand("play", "Read a disk and start the player of one movie, or of all movies");
  playCommand->add_option("PATH", play->path, "Disk path")->required();
  auto* movieOption =
      playCommand->add_option("--movie", play->movie, "Movie number, 1-based, in list order")
          ->check(PositiveNumber);
  auto* allOption = playCommand->add_flag("--all", play->all, "Play all movies with a playlist");
  movieOption->excludes(allOption);
  playCommand->add_flag("--audio2", play->audio2, "Play with the second audio stream")
      ->excludes(allOption);
  playCommand->add_flag("--dry-run", play->dryRun,
                        "Print the program and its arguments as a JSON array, start nothing");
  playCommand->callback([play, &context] { context.exitCode = Play(*play, context.services()); });

  auto json = std::make_shared<bool>(false);
  auto* processes =
      app.add_subcommand("processes", "List the processes as launcher closing sees them");
  processes->add_flag("--json", *json, "Print one JSON array");
  processes->callback([json, &context] {
    quorvel::ProcessList list;
    quorvel::BuildProcessList(context.services().processes, list);
    if (*json) {
      Json out = Json::array();
      for (const auto& entry : list) out.push_back(EntryJson(entry));
      std::cout << Dump(out) << '\n';
    } else {
      for (const auto& entry : list) PrintEntry(entry);
    }
    std::cout.flush();
    context.exitCode = list.empty() ? 1 : 0;
  });

  struct CloseOptions {
    std::string path;
    bool dryRun = false;
  };
  auto close = std::make_shared<CloseOptions>();
  auto* closeCommand = app.add_subcommand(
      "close-launchers",
      "Close every process started from the disk, as the full-screen window does");
  closeCommand->add_option("PATH", close->path, "Disk path")->required();
  closeCommand->add_flag("--dry-run", close->dryRun,
                         "Only list the processes that would be closed");
  closeCommand->callback([close, &context] {
    const quorvel::Services& services = context.services();
    for (auto& entry : quorvel::FindLaunchers(services.processes, services.volumes, close->path)) {
      if (!close->dryRun) {
        const bool closed = quorvel::CloseProcess(services.processes, entry);
        std::cout << (closed ? "closed\t" : "not closed\t");
      }
      PrintEntry(entry);
    }
    std::cout.flush();
    context.exitCode = 0;
  });
}

}  // namespace quorvelctl
