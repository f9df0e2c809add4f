#include "disk/movie.h"

#include <array>
#include <cstddef>
#include <optional>

#include "disk/container_audio.h"
#include "platform/files.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "windows_rules/disk_names.h"
#include "windows_rules/little_endian.h"

namespace quorvel {

namespace {

struct SuffixType {
  std::string_view suffix;
  MovieType type;
};
constexpr std::array<SuffixType, 3> kSuffixTypes = {{
    {".avi", MovieType::DivX},
    {".mpg", MovieType::Mpeg},
    {".mpeg", MovieType::Mpeg},
}};

// Stream count minus one, as a 32-bit number; the subtraction is done in 64 bits so
// that a count of 0 gives -1 and a huge count does not overflow.
std::int32_t AudioStreamsFromCount(std::uint32_t count) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(count) - 1);
}

}  // namespace

std::string MovieTypeName(MovieType type) {
  const auto value = static_cast<std::int32_t>(type);
  if (value >= 0 && value < res::kMovieTypeNameCount) {
    return std::string(res::LoadString(res::kStrMovieTypes + value));
  }
  return res::FormatString(res::kStrUnknownMovieType, {std::to_string(value)});
}

MovieType MovieTypeFromName(std::string_view file) {
  for (const auto& entry : kSuffixTypes) {
    if (EndsWithIgnoringAsciiCase(file, entry.suffix)) return entry.type;
  }
  const std::size_t dot = file.rfind('.');
  if (dot != std::string_view::npos) {
    for (std::string_view ext : kVideoExtensions) {
      if (EqualsIgnoringAsciiCase(file.substr(dot + 1), ext)) return MovieType::Video;
    }
  }
  return MovieType::Unknown;
}

bool IsDiskMovie(MovieType type) { return type == MovieType::Dvd || type == MovieType::Bluray; }

std::int32_t AviAudioStreams(const std::array<std::byte, 4>& bytes, std::size_t read) {
  return AudioStreamsFromCount(read < bytes.size() ? 0 : LoadLittleEndian32(bytes.data()));
}

std::int32_t ReadAviAudioStreams(Files& files, std::string_view file) {
  std::array<std::byte, 4> bytes{};
  const std::optional<std::size_t> read = files.ReadBytes(file, kAviStreamCountOffset, bytes);
  if (!read) return 1;
  return AviAudioStreams(bytes, *read);
}

// Members are initialised in declaration order, so file_ holds the name when type_
// is decided from it.
Movie::Movie(std::string title, std::string file, Files& files)
    : title_(std::move(title)), file_(std::move(file)), type_(MovieTypeFromName(file_)) {
  if (type_ == MovieType::DivX) audioStreams_ = ReadAviAudioStreams(files, file_);
  if (type_ == MovieType::Video) audioStreams_ = ReadContainerAudioStreams(files, file_);
}

Movie::Movie(MovieType type, std::string title, std::string file, Files& files)
    : title_(std::move(title)), file_(std::move(file)), type_(type) {
  if (type_ == MovieType::DivX) audioStreams_ = ReadAviAudioStreams(files, file_);
  if (type_ == MovieType::Video) audioStreams_ = ReadContainerAudioStreams(files, file_);
}

Movie::Movie(std::string title, std::string file, std::int32_t audioStreams)
    : title_(std::move(title)), file_(std::move(file)), type_(MovieTypeFromName(file_)) {
  if (type_ == MovieType::DivX || type_ == MovieType::Video) audioStreams_ = audioStreams;
}

}  // namespace quorvel
