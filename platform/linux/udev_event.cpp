#include "platform/linux/udev_event.h"

#include "platform/linux/mount_table.h"

namespace quorvel {

namespace {

constexpr std::string_view kScsiCdromMajor = "11";

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool Is(const UdevProperties& properties, std::string_view name, std::string_view value) {
  const std::optional<std::string_view> found = FindUdevProperty(properties, name);
  return found && *found == value;
}

}  // namespace

std::optional<std::string_view> FindUdevProperty(const UdevProperties& properties,
                                                 std::string_view name) {
  for (const auto& [key, value] : properties) {
    if (key == name) return std::string_view(value);
  }
  return std::nullopt;
}

bool IsOpticalMediumEvent(const UdevProperties& properties) {
  if (!Is(properties, "ACTION", "change") || !Is(properties, "DEVTYPE", "disk")) return false;
  const std::optional<std::string_view> subsystem = FindUdevProperty(properties, "SUBSYSTEM");
  if (subsystem && *subsystem != "block") return false;
  const std::optional<std::string_view> devName = FindUdevProperty(properties, "DEVNAME");
  const bool optical = Is(properties, "ID_CDROM", "1") ||
                       Is(properties, "MAJOR", kScsiCdromMajor) ||
                       (devName && IsOpticalDeviceName(BaseName(*devName)));
  if (!optical) return false;
  return Is(properties, "DISK_MEDIA_CHANGE", "1") || Is(properties, "DISK_EJECT_REQUEST", "1");
}

bool IsRemovableMediumEvent(const UdevProperties& properties) {
  const std::optional<std::string_view> subsystem = FindUdevProperty(properties, "SUBSYSTEM");
  if (subsystem && *subsystem != "block") return false;
  const std::optional<std::string_view> devType = FindUdevProperty(properties, "DEVTYPE");
  if (!devType || (*devType != "disk" && *devType != "partition")) return false;
  const std::optional<std::string_view> devName = FindUdevProperty(properties, "DEVNAME");
  if (!devName) return false;
  const std::string_view name = BaseName(*devName);
  if (IsOpticalDeviceName(name) || Is(properties, "ID_CDROM", "1") ||
      Is(properties, "MAJOR", kScsiCdromMajor)) {
    return false;
  }
  for (std::string_view prefix : {"loop", "ram", "zram", "dm-", "md", "nbd"}) {
    if (name.rfind(prefix, 0) == 0) return false;
  }
  const std::optional<std::string_view> action = FindUdevProperty(properties, "ACTION");
  if (!action) return false;
  // udev's copy of a removal still carries what its database knew of the filesystem.
  if (*action == "remove") return FindUdevProperty(properties, "ID_FS_TYPE").has_value();
  if (*action != "add" && *action != "change") return false;
  return Is(properties, "ID_FS_USAGE", "filesystem") || Is(properties, "DISK_MEDIA_CHANGE", "1");
}

}  // namespace quorvel
