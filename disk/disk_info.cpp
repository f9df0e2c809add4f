#include "disk/disk_info.h"

namespace quorvel {

void DiskInfo::Reset() {
  path_.clear();
  root_.clear();
  present_ = 0;
  label_.clear();
  picture_.clear();
  movies_.clear();
}

DiskInfo::Position DiskInfo::FirstMovie() const {
  return movies_.empty() ? nullptr : &movies_.front();
}

Movie DiskInfo::NextMovie(Position& position) const {
  // A position is the address of a list node's movie; list nodes never move.
  const auto* movie = static_cast<const Movie*>(position);
  for (auto it = movies_.begin(); it != movies_.end(); ++it) {
    if (&*it == movie) {
      auto next = std::next(it);
      position = next == movies_.end() ? nullptr : &*next;
      return *it;
    }
  }
  position = nullptr;
  return Movie();
}

}  // namespace quorvel
