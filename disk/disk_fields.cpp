#include "disk/disk_fields.h"

#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

std::vector<DiskField> DiskFields(const DiskInfo& disk, DriveTypeCode driveType) {
  std::vector<DiskField> rows;
  auto text = [](int id) { return std::string(res::LoadString(id)); };
  rows.push_back({text(res::kStrDriveTypeField), DriveTypeName(driveType), std::nullopt});
  if (!disk.IsPresent()) {
    rows.push_back({text(res::kStrMovieTypeField), text(res::kStrNoDisk), std::nullopt});
    return rows;
  }
  rows.push_back({text(res::kStrDiskLabelField), disk.Label(), std::nullopt});
  if (!disk.HasMovies()) return rows;
  rows.reserve(rows.size() + disk.MovieCount() + 1);
  for (DiskInfo::Position position = disk.FirstMovie(); position != nullptr;) {
    Movie movie = disk.NextMovie(position);
    if (movie.Type() == MovieType::Unknown) continue;
    std::string name = res::FormatString(res::kStrMovieField, {movie.TypeName()});
    std::string title = movie.Title();
    rows.push_back({std::move(name), std::move(title), std::move(movie)});
  }
  if (!disk.PicturePath().empty())
    rows.push_back({text(res::kStrPictureField), disk.PicturePath(), std::nullopt});
  return rows;
}

}  // namespace quorvel
