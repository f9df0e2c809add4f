// quorvelctl read: reads a disk as the main dialog does and prints its rows.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "app/settings.h"
#include "disk/default_disk.h"
#include "disk/disk_info.h"
#include "quorvelctl/commands.h"
#include "quorvelctl/settings_view.h"
#include "quorvelctl/user_store.h"
#include "windows_rules/text_encoding.h"

namespace quorvelctl {

namespace {

using quorvel::ToUtf8;

struct ReadOptions {
  std::string path;
  bool json = false;
};

// Control characters of a name (a line break, a tab) are escaped, so every row stays one
// line of a field, a tab and a value.
void AddRow(std::string& rows, std::string_view field, std::string_view value) {
  rows.append(OneLine(field)).append(1, '\t').append(OneLine(value)).append(1, '\n');
}

// The rows of the main dialog's field list, in its order, written at once (a disk
// may hold many thousand movies). Names on disks need not be UTF-8: such names are
// shown as Windows-1252, the code page disks made on Windows were written in.
void PrintRows(const quorvel::DiskInfo& disk, std::int32_t driveType) {
  std::string rows;
  AddRow(rows, "Drive Type", quorvel::DriveTypeName(driveType));
  if (!disk.IsPresent()) {
    AddRow(rows, "Movie Type", "No Disk");
  } else {
    AddRow(rows, "Disk Label", ToUtf8(disk.Label()));
    if (disk.HasMovies()) {
      for (auto position = disk.FirstMovie(); position != nullptr;) {
        const quorvel::Movie movie = disk.NextMovie(position);
        if (movie.Type() == quorvel::MovieType::Unknown) continue;
        AddRow(rows, "Movie (" + movie.TypeName() + ")", ToUtf8(movie.Title()));
      }
      if (!disk.PicturePath().empty()) AddRow(rows, "Picture File", ToUtf8(disk.PicturePath()));
    }
  }
  std::cout << rows;
}

void PrintJson(const std::string& path, const quorvel::DiskInfo& disk, std::int32_t driveType,
               quorvel::ReadResult result) {
  nlohmann::ordered_json movies = nlohmann::ordered_json::array();
  for (auto position = disk.FirstMovie(); position != nullptr;) {
    const quorvel::Movie movie = disk.NextMovie(position);
    movies.push_back({{"title", ToUtf8(movie.Title())},
                      {"file", ToUtf8(movie.File())},
                      {"type", static_cast<std::int32_t>(movie.Type())},
                      {"typeName", movie.TypeName()},
                      {"audioStreams", movie.AudioStreams()}});
  }
  const nlohmann::ordered_json out = {
      {"path", ToUtf8(path)},
      {"folder", ToUtf8(disk.Folder())},
      {"root", ToUtf8(disk.Root())},
      {"present", disk.IsPresent()},
      {"label", ToUtf8(disk.Label())},
      {"driveType", driveType},
      {"driveTypeName", quorvel::DriveTypeName(driveType)},
      {"result", quorvel::ReadResultName(result)},
      {"picture", ToUtf8(disk.PicturePath())},
      {"movies", movies},
  };
  // Every text is UTF-8 by now; the replacement only guards the output's validity.
  std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

void AddDiskCommands(Command& app, Context& context) {
  auto options = std::make_shared<ReadOptions>();
  auto* read = app.add_subcommand(
      "read", "Read a disk (a folder or an optical drive) as the main dialog does");
  read->add_option("PATH", options->path, "Disk path; empty: the first optical drive");
  read->add_flag("--json", options->json, "Print one JSON object");
  read->callback([options, &context] {
    const quorvel::Services& services = context.services();
    quorvel::Settings settings;
    LoadUserSettings(services, settings);
    const std::string path = quorvel::ResolveDiskPath(options->path, services.volumes);
    quorvel::DiskInfo disk;
    const quorvel::ReadResult result =
        disk.ReadDisk(path, settings, services.volumes, services.files);
    const quorvel::DriveTypeCode driveType = disk.DriveType(services.volumes);
    if (options->json) {
      // A disk that was not found keeps no path; the JSON names the one that was read.
      PrintJson(path, disk, driveType, result);
    } else {
      PrintRows(disk, driveType);
    }
    std::cout.flush();
    context.exitCode = 0;
  });
}

}  // namespace quorvelctl
