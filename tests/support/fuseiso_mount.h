#pragma once
// An ISO 9660 image mounted with fuseiso for the life of the object: a real mount in the
// real mount table, as a desktop mounts a disk.

#include <filesystem>
#include <string>

#include "support/temp_tree.h"

namespace quorvel::testing {

class FuseIsoMount {
 public:
  FuseIsoMount(const std::string& image, std::string point) : point_(std::move(point)) {
    std::filesystem::create_directories(point_);
    mounted_ = RunCommand("fuseiso " + ShellQuote(image) + " " + ShellQuote(point_));
  }
  FuseIsoMount(const FuseIsoMount&) = delete;
  FuseIsoMount& operator=(const FuseIsoMount&) = delete;
  ~FuseIsoMount() { Unmount(); }
  void Unmount() {
    if (mounted_) RunCommand("fusermount -u " + ShellQuote(point_));
    mounted_ = false;
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string point_;
  bool mounted_ = false;
};

// An image of the folder `source` with the volume label `label`, made with genisoimage.
inline bool MakeIsoImage(const std::string& source, const std::string& label,
                         const std::string& image) {
  return RunCommand("genisoimage -quiet -J -V " + ShellQuote(label) + " -o " + ShellQuote(image) +
                    " " + ShellQuote(source));
}

}  // namespace quorvel::testing
