// Fuzz target: a disk folder laid out from random text, read as a disk. Each line names
// one entry below the disk folder ('/' between folders; a trailing '/' makes a folder),
// "NAME=TEXT" gives a file its contents, and a first line "#LABEL" the disk's label.
// Whatever the layout, the movies' files lie in the disk folder (or are the disk itself
// or empty), and a DVD-Video or Blu-ray disk is one movie.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "disk_file_fuzz.h"
#include "platform/fake/fake_volumes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel;
  using namespace quorvel::fuzz;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  FakeFileTree files;
  files.AddFolder(FuzzFolder());
  std::string label;
  int lines = 0;
  for (std::size_t start = 0; start < input.size() && lines < 256; ++lines) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    std::string_view line = input.substr(start, end - start);
    start = end + 1;
    if (lines == 0 && line.starts_with('#')) {
      label = std::string(line.substr(1));
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::string_view name = line.substr(0, equals);
    std::string path = FuzzFolder();
    std::size_t from = 0;
    bool ok = true;
    while (from <= name.size()) {
      std::size_t slash = name.find('/', from);
      if (slash == std::string_view::npos) slash = name.size();
      const std::string_view part = name.substr(from, slash - from);
      from = slash + 1;
      if (part.empty()) continue;
      if (part == "." || part == ".." || part.find('\\') != std::string_view::npos) ok = false;
      path = JoinNativePath(path, part);
    }
    if (!ok || path == FuzzFolder()) continue;
    if (equals == std::string_view::npos && name.ends_with('/')) {
      files.AddFolder(path);
    } else {
      files.AddFile(
          path, equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1));
    }
  }
  FakeVolumes volumes;
  volumes.AddDrive(FuzzFolder(), kDriveCdRom);
  volumes.Insert(FuzzFolder(), label);
  Settings settings;
  settings.MDVDPlay = 1;
  DiskInfo disk;
  disk.ReadDisk(FuzzFolder(), settings, volumes, files);
  const std::string device = volumes.DriveDevice(FuzzFolder());
  for (DiskInfo::Position at = disk.FirstMovie(); at != nullptr;) {
    const Movie& movie = disk.NextMovie(at);
    const std::string& file = movie.File();
    if (IsDiskMovie(movie.Type())) {
      if (disk.MovieCount() != 1 || (file != device && file != disk.Folder())) __builtin_trap();
    } else if (!file.empty() && !BelowFolder(file)) {
      __builtin_trap();
    }
  }
  return 0;
}
