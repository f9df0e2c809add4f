#pragma once
// A machine described by files, for the Linux volumes backend: its mount table, fstab,
// udev records, label links, sysfs block tree and /dev folder live below one test
// folder.

#include <string>
#include <string_view>

#include "platform/linux/linux_volumes.h"
#include "support/temp_tree.h"

namespace quorvel::testing {

// Octal escapes as the kernel writes them into mountinfo.
inline std::string Escape(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == ' ') {
      out += "\\040";
    } else if (c == '\t') {
      out += "\\011";
    } else if (c == '\\') {
      out += "\\134";
    } else {
      out += c;
    }
  }
  return out;
}

// One mountinfo line.
inline std::string MountLine(int id, std::string_view devices, std::string_view point,
                             std::string_view type, std::string_view source) {
  return std::to_string(id) + " 1 " + std::string(devices) + " / " + Escape(point) +
         " rw,relatime shared:1 - " + std::string(type) + " " + Escape(source) + " rw\n";
}

// A machine described by files: a mount table, an fstab, udev records, label links, a
// sysfs block tree and a /dev folder, all below one test folder.
class FakeMachine {
 public:
  FakeMachine() {
    sources_.mountInfo = tree_.Path("mountinfo");
    sources_.fstab = tree_.Path("fstab");
    sources_.byLabel = tree_.Folder("by-label");
    sources_.udevData = tree_.Folder("udev");
    sources_.sysDevBlock = tree_.Folder("sys/dev/block");
    sources_.devDir = tree_.Folder("dev");
    sources_.useUdisks = false;
    tree_.File("fstab", "");
  }
  TempTree& Tree() { return tree_; }

  // Mounts the new folder `relative` as the medium of optical drive srN (device 11:N),
  // with `label` in udev's record; returns the folder.
  std::string Disk(std::string_view relative, int n, std::string_view label) {
    const std::string folder = tree_.Folder(relative);
    disks_ += MountLine(100 + n, "11:" + std::to_string(n), folder, "iso9660",
                        "/dev/sr" + std::to_string(n));
    Mounts(std::string(kRootLine) + disks_);
    Label(n, label);
    return folder;
  }
  // Gives the medium of srN a new label.
  void Label(int n, std::string_view label) {
    tree_.File("udev/b11:" + std::to_string(n),
               "E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=" + std::string(label) + "\n");
  }
  void Mounts(const std::string& text) { tree_.File("mountinfo", text); }
  void Fstab(const std::string& text) { tree_.File("fstab", text); }
  LinuxVolumes Volumes() const { return LinuxVolumes(sources_); }

 private:
  // Device numbers of the fake machine are never those of the real folders below it
  // (0:99999 is no real device), so the backend cannot take a fake mount for the
  // real filesystem it stats.
  static constexpr std::string_view kRootLine = "26 1 0:99999 / / rw - ext4 /dev/vda rw\n";
  TempTree tree_;
  LinuxVolumeSources sources_;
  std::string disks_;
};

}  // namespace quorvel::testing
