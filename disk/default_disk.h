#pragma once
// Which disk a window reads when no disk path is set: the first optical drive, or, while
// the window runs, a removable medium (a USB stick, a memory card) with movies that was
// plugged in meanwhile, shown instead of the drive until it is removed. No toolkit here:
// every face calls these rules from its poll and its disk-change events.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/volumes.h"

namespace quorvel {

class Files;
class Settings;

// The disk path that `configured` (the settings' or the command line's) stands for:
// itself, or the first optical drive when it is empty ("" when there is none). The one
// place of that rule.
std::string ResolveDiskPath(std::string_view configured, Volumes& volumes);

class DefaultDisk {
 public:
  // `configured` is the disk path as set; when it is not empty it is always the disk.
  explicit DefaultDisk(std::string configured) : configured_(std::move(configured)) {}

  // The disk path to read now. The first call finds the drive (ResolveDiskPath) and
  // takes note of the removable media that are there already: they are never shown,
  // so that a stick or card that stays in the machine does not hide the drive. A
  // medium that comes later is read once it answers, with `settings`; when it holds
  // movies it is the disk from then on, until it goes (its device leaves, or nothing
  // is mounted from it any more), and the newest such medium wins. A medium without
  // movies is left alone until another one comes into its slot.
  const std::string& Current(const Settings& settings, Volumes& volumes, Files& files);

  // The drive: the configured path, or the first optical drive; "" before the first
  // Current() and when there is neither.
  const std::string& Drive() const { return drive_; }
  // True while Current() gives a removable medium instead of the drive.
  bool ShowsRemovableMedium() const { return current_ != drive_ && !current_.empty(); }

 private:
  enum class State { Waiting, Movies, NoMovies, Gone };
  struct Medium {
    Volumes::RemovableMedium medium;
    State state = State::Waiting;
    std::uint64_t order = 0;  // when it came: the newest with movies is shown
  };

  std::string configured_;
  bool started_ = false;
  std::string drive_;
  std::string current_;
  std::vector<std::string> atStart_;  // identities of the media there at the first call
  std::vector<Medium> media_;
  std::uint64_t arrivals_ = 0;
};

}  // namespace quorvel
