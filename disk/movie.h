#pragma once
// One playable entry of a disk.

#include <cstdint>
#include <string>

namespace quorvel {

enum class MovieType : std::int32_t {
  Unknown = 0,
  DivX = 1,
  Mpeg = 2,
  MicroDvd = 3,
  VideoCd = 4,
  SuperVideoCd = 5,
  Dvd = 6,
};

// "DivX", "MPEG", ...; "Unknown value: N" for a value outside the table.
std::string MovieTypeName(MovieType type);

class Movie {
 public:
  Movie() = default;
  // Type from the end of `file` (".avi", ".mpg", ".mpeg", any case).
  Movie(std::string title, std::string file);
  // Type as given.
  Movie(MovieType type, std::string title, std::string file);

  std::string Title() const { return title_; }
  std::string File() const { return file_; }
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
