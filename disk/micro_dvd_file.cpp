#include "disk/micro_dvd_file.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "platform/files.h"
#include "windows_rules/disk_names.h"
#include "windows_rules/path_rules.h"
#include "windows_rules/profile_strings.h"

namespace quorvel {

namespace {
constexpr std::string_view kMainSection = "MAIN";
constexpr std::string_view kMovieSection = "MOVIE";
// Windows wrote these names, so they are joined with its separator.
constexpr char kDiskSeparator = '\\';
}  // namespace

std::int32_t ClampedAtoi(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlankByte(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Past this magnitude the result is clamped whatever digits follow.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

void MicroDvdFile::Reset() {
  valid = 0;
  mvdPath.clear();
  folder.clear();
  title.clear();
  moviePath.clear();
  resolvedMoviePath.clear();
  cdNumber = 0;
}

bool MicroDvdFile::Read(Files& files, std::string_view folderPath, std::string_view fileName) {
  Reset();
  DiskNameResolver diskNames = CreateDiskNameResolver(files);
  const std::string path = diskNames.Resolve(folderPath, fileName);
  const std::optional<std::string> text = files.ReadFile(path);
  if (!text) return false;
  const ProfileStrings profile(*text);

  const std::string sections = profile.Get(std::nullopt, std::nullopt, "", kBufferSize);
  const std::string_view first = std::string_view(sections).substr(0, sections.find('\0'));
  if (!EqualsIgnoringAsciiCase(first, kSignature)) return false;

  cdNumber = ClampedAtoi(profile.Get(kMainSection, "CDNumber", "0", kBufferSize));
  title = profile.Get(kMainSection, "Title", "", kBufferSize);
  std::string directory(TrimBlanks(profile.Get(kMovieSection, "Directory", "", kBufferSize)));
  if (directory == ".") directory.clear();
  const std::string key =
      cdNumber > 1 ? "AVI" + std::to_string(cdNumber) + "Name" : std::string("AVIName");
  const std::string aviName = profile.Get(kMovieSection, key, "", kBufferSize);
  moviePath = JoinPath(directory, aviName, kDiskSeparator);

  mvdPath = path;
  folder.assign(folderPath);
  resolvedMoviePath = diskNames.Resolve(folder, moviePath);
  valid = 1;
  return true;
}

std::string MicroDvdFile::DisplayTitle() const {
  if (cdNumber > 0) return title + " [CD" + std::to_string(cdNumber) + "]";
  return title;
}

}  // namespace quorvel
