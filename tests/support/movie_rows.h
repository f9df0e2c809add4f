#pragma once
// A disk's movie list as rows that compare and print, for the tests of ReadDisk.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "disk/disk_info.h"

namespace quorvel::testing {

struct Row {
  std::string title;
  std::string file;
  MovieType type;
  std::int32_t audioStreams;
  bool operator==(const Row&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{" << row.title << ", " << row.file << ", " << MovieTypeName(row.type) << ", "
             << row.audioStreams << "}";
}

inline std::vector<Row> Movies(const DiskInfo& disk) {
  std::vector<Row> rows;
  for (DiskInfo::Position position = disk.FirstMovie(); position != nullptr;) {
    const Movie& movie = disk.NextMovie(position);
    rows.push_back({movie.Title(), movie.File(), movie.Type(), movie.AudioStreams()});
  }
  return rows;
}

}  // namespace quorvel::testing
