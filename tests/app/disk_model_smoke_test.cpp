#include <gtest/gtest.h>

#include "disk/disk_info.h"

namespace quorvel {
namespace {

TEST(DiskInfo, StartsEmptyAndResetKeepsItEmpty) {
  DiskInfo disk;
  EXPECT_FALSE(disk.IsPresent());
  EXPECT_FALSE(disk.HasMovies());
  EXPECT_EQ(disk.FirstMovie(), nullptr);
  disk.Reset();
  EXPECT_EQ(disk.MovieCount(), 0u);
}

}  // namespace
}  // namespace quorvel
