#pragma once
// What a disk holds: one per window that shows a disk, refreshed in place.
// (The disk-reading work fills in the file records and ReadDisk.)

#include <cstdint>
#include <list>
#include <string>

#include "disk/movie.h"

namespace quorvel {

class DiskInfo {
 public:
  // An opaque handle of one movie entry, valid until the next Reset(); nullptr is
  // no movie.
  using Position = const void*;

  void Reset();
  bool IsPresent() const { return present_ != 0; }
  std::string Path() const { return path_; }
  std::string Root() const { return root_; }
  std::string Label() const { return label_; }
  std::string PicturePath() const { return picture_; }
  bool HasMovies() const { return !movies_.empty(); }
  std::size_t MovieCount() const { return movies_.size(); }
  Position FirstMovie() const;
  // Copy of the movie at `position`; moves `position` to the next entry or nullptr.
  Movie NextMovie(Position& position) const;

  template <typename... Args>
  void AddMovie(Args&&... args) {
    movies_.emplace_back(std::forward<Args>(args)...);
  }

 private:
  std::string path_;
  std::string root_;
  std::int32_t present_ = 0;
  std::string label_;
  std::string picture_;
  std::list<Movie> movies_;  // a list keeps every position valid while appending
};

}  // namespace quorvel
