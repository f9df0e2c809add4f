#include "disk/autorun_config.h"

#include <optional>

#include "platform/files.h"
#include "windows_rules/disk_names.h"
#include "windows_rules/path_rules.h"
#include "windows_rules/profile_strings.h"

namespace quorvel {

void AutorunConfig::Reset() {
  valid = 0;
  folder.clear();
  iniPath.clear();
  pictureName.clear();
  picturePath.clear();
  movies.clear();
}

bool AutorunConfig::Read(Files& files, std::string_view folderPath, std::string_view fileName) {
  Reset();
  DiskNameResolver diskNames = CreateDiskNameResolver(files);
  const std::string path = diskNames.Resolve(folderPath, fileName);
  const std::optional<std::string> text = files.ReadFile(path);
  if (!text) return false;

  const ProfileStrings profile(*text);
  const std::string names = profile.Get(kMoviesSection, std::nullopt, "", kBufferSize);
  std::vector<AutorunMovie> listed;
  for (const std::string& name : ProfileStrings::SplitNameList(names)) {
    const std::string value = profile.Get(kMoviesSection, name, "", kBufferSize);
    listed.push_back(AutorunMovie{name, diskNames.Resolve(folderPath, value)});
  }

  // The picture line is a bare line, not a key: it is found by reading lines.
  bool afterPictureLine = false;
  std::string picture;
  const bool opened = files.ReadTextLines(path, [&](std::string_view line) {
    if (afterPictureLine) {
      picture.assign(line);
      return false;
    }
    afterPictureLine = EqualsIgnoringAsciiCase(TrimBlanks(line), kPictureLine);
    return true;
  });
  if (!opened) return false;

  folder.assign(folderPath);
  iniPath = path;
  pictureName = std::move(picture);
  picturePath = diskNames.Resolve(folder, pictureName);
  movies = std::move(listed);
  valid = 1;
  return true;
}

}  // namespace quorvel
