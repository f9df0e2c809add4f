#include "disk/default_disk.h"

#include <algorithm>

#include "disk/disk_info.h"

namespace quorvel {

std::string ResolveDiskPath(std::string_view configured, Volumes& volumes) {
  if (!configured.empty()) return std::string(configured);
  return volumes.FindFirstCdDrive();
}

const std::string& DefaultDisk::Current(const Settings& settings, Volumes& volumes, Files& files) {
  if (!started_) {
    started_ = true;
    drive_ = ResolveDiskPath(configured_, volumes);
    current_ = drive_;
    if (configured_.empty()) {
      for (const auto& medium : volumes.RemovableMedia()) atStart_.push_back(medium.identity);
    }
    return current_;
  }
  if (!configured_.empty()) return current_;

  const std::vector<Volumes::RemovableMedium> present = volumes.RemovableMedia();
  auto isPresent = [&](const std::string& identity) {
    return std::any_of(present.begin(), present.end(),
                       [&](const auto& medium) { return medium.identity == identity; });
  };
  // Media that went are forgotten: the same stick plugged in again is a new medium.
  std::erase_if(atStart_, [&](const std::string& identity) { return !isPresent(identity); });
  std::erase_if(media_, [&](const Medium& known) { return !isPresent(known.medium.identity); });
  for (const auto& medium : present) {
    const bool known =
        std::find(atStart_.begin(), atStart_.end(), medium.identity) != atStart_.end() ||
        std::any_of(media_.begin(), media_.end(),
                    [&](const Medium& m) { return m.medium.identity == medium.identity; });
    if (!known) media_.push_back({medium, State::Waiting, ++arrivals_});
  }

  const Medium* shown = nullptr;
  for (Medium& medium : media_) {
    if (medium.state == State::Waiting) {
      // Read once it answers; until the desktop (or udisks2 through the volumes) has
      // mounted it, it keeps waiting.
      DiskInfo probe;
      probe.ReadDisk(medium.medium.path, settings, volumes, files);
      if (probe.IsPresent()) medium.state = probe.HasMovies() ? State::Movies : State::NoMovies;
    } else if (medium.state == State::Movies && volumes.DiskFolder(medium.medium.path).empty()) {
      // Unmounted while still plugged in: taken away as if it were pulled out.
      medium.state = State::Gone;
    }
    if (medium.state == State::Movies && (shown == nullptr || medium.order > shown->order)) {
      shown = &medium;
    }
  }
  current_ = shown != nullptr ? shown->medium.path : drive_;
  return current_;
}

}  // namespace quorvel
