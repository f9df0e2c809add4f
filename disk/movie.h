#pragma once
// One playable entry of a disk.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

class Files;

enum class MovieType : std::int32_t {
  Unknown = 0,
  DivX = 1,
  Mpeg = 2,
  MicroDvd = 3,
  VideoCd = 4,
  SuperVideoCd = 5,
  Dvd = 6,
  Bluray = 7,
  Video = 8,  // today's movie files: Matroska, WebM, MP4, QuickTime, MPEG transport, ...
};

// "DivX", "MPEG", ...; "Unknown value: N" for a value outside the table.
std::string MovieTypeName(MovieType type);

// The movie type that the end of a file name gives: ".avi" DivX, ".mpg" and ".mpeg"
// MPEG, the extensions of kVideoExtensions Video (any case), anything else Unknown.
MovieType MovieTypeFromName(std::string_view file);

// The extensions of today's movie files, in the order the loose-file search lists
// them, after "avi", "mpg" and "mpeg".
inline constexpr std::array<std::string_view, 9> kVideoExtensions = {
    "mkv", "mp4", "m4v", "webm", "mov", "ts", "m2ts", "wmv", "ogv"};

// A movie that stands for a whole disk (DVD-Video, Blu-ray): its file is the disk, which
// the player opens itself.
bool IsDiskMovie(MovieType type);

// Offset of the stream count in an AVI file: the seventh 32-bit field of the main AVI
// header, which starts at offset 32 after the RIFF, list and chunk headers.
inline constexpr std::uint64_t kAviStreamCountOffset = 56;

// The stream count at kAviStreamCountOffset (little-endian) minus one, read through
// `files`: the number of audio streams of an AVI with one video stream. 1 when the file
// cannot be opened, -1 when fewer than 4 bytes can be read there. Nothing else of the
// file is checked.
std::int32_t ReadAviAudioStreams(Files& files, std::string_view file);

// What ReadAviAudioStreams gives for a file whose bytes at kAviStreamCountOffset are
// the first `read` bytes of `bytes`.
std::int32_t AviAudioStreams(const std::array<std::byte, 4>& bytes, std::size_t read);

class Movie {
 public:
  Movie() = default;
  // Type from the end of `file` (".avi", ".mpg", ".mpeg", ".mkv", ..., any case); a DivX
  // movie's AVI header, a Video movie's container headers are read through `files`.
  Movie(std::string title, std::string file, Files& files);
  // Type as given; a DivX movie's AVI header, a Video movie's container headers are
  // read through `files`.
  Movie(MovieType type, std::string title, std::string file, Files& files);
  // Type from the end of `file`, with the header already read: a DivX or Video movie
  // gets `audioStreams`, any other 1.
  Movie(std::string title, std::string file, std::int32_t audioStreams);

  const std::string& Title() const { return title_; }
  const std::string& File() const { return file_; }
  MovieType Type() const { return type_; }
  std::int32_t AudioStreams() const { return audioStreams_; }
  std::string TypeName() const { return MovieTypeName(type_); }

 private:
  std::string title_;
  std::string file_;
  MovieType type_ = MovieType::Unknown;
  std::int32_t audioStreams_ = 1;
};

}  // namespace quorvel
