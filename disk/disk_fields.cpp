#include "disk/disk_fields.h"

namespace quorvel {

std::vector<DiskField> DiskFields(const DiskInfo& disk, DriveTypeCode driveType) {
  std::vector<DiskField> rows;
  rows.push_back({"Drive Type", DriveTypeName(driveType), std::nullopt});
  if (!disk.IsPresent()) {
    rows.push_back({"Movie Type", "No Disk", std::nullopt});
    return rows;
  }
  rows.push_back({"Disk Label", disk.Label(), std::nullopt});
  if (!disk.HasMovies()) return rows;
  rows.reserve(rows.size() + disk.MovieCount() + 1);
  for (DiskInfo::Position position = disk.FirstMovie(); position != nullptr;) {
    Movie movie = disk.NextMovie(position);
    if (movie.Type() == MovieType::Unknown) continue;
    std::string name = "Movie (" + movie.TypeName() + ")";
    std::string title = movie.Title();
    rows.push_back({std::move(name), std::move(title), std::move(movie)});
  }
  if (!disk.PicturePath().empty())
    rows.push_back({"Picture File", disk.PicturePath(), std::nullopt});
  return rows;
}

}  // namespace quorvel
