#pragma once
// The rows that show a read disk field by field: the main dialog's field list and
// `quorvelctl read` print the same rows in the same order.

#include <optional>
#include <string>
#include <vector>

#include "disk/disk_info.h"
#include "disk/movie.h"

namespace quorvel {

struct DiskField {
  std::string name;
  std::string value;
  // The movie the row shows, for the movie rows only.
  std::optional<Movie> movie;
};

// "Drive Type" with the name of `driveType`; then, for a disk that is not present,
// "Movie Type" "No Disk"; otherwise "Disk Label", and when the disk has movies one
// "Movie (TYPE)" row per movie whose type is not Unknown (its title as the value) and,
// when it has a picture, "Picture File". A disk without movies shows no picture row.
std::vector<DiskField> DiskFields(const DiskInfo& disk, DriveTypeCode driveType);

}  // namespace quorvel
