#pragma once
// One udev event as its properties, and the rule that tells which events of an optical
// drive change what its disk path shows.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel {

// The properties of one udev event ("ACTION", "DEVNAME", "DISK_MEDIA_CHANGE", ...), in
// the order udev lists them.
using UdevProperties = std::vector<std::pair<std::string, std::string>>;

// The value of `name`, or nullopt when the event does not carry it.
std::optional<std::string_view> FindUdevProperty(const UdevProperties& properties,
                                                 std::string_view name);

// True for a change event of an optical drive (a whole "disk" block device: srN,
// major 11, or marked ID_CDROM) that says its medium changed (DISK_MEDIA_CHANGE=1:
// inserted, removed, tray closed) or that its eject button was pressed
// (DISK_EJECT_REQUEST=1). Everything else is false: other block devices, partitions,
// the drive's add and remove events and change events without either property (a
// rule re-run, a property refresh).
bool IsOpticalMediumEvent(const UdevProperties& properties);

// True for an event of a block device (a whole disk or a partition) that is not an
// optical drive and may bring or take a removable medium: a filesystem added or
// changed (ID_FS_USAGE=filesystem: a stick plugged in, a card put into a reader), a
// medium change of a card reader (DISK_MEDIA_CHANGE=1), or a device with a filesystem
// removed. Loop, RAM, device-mapper, RAID and network block devices never are; nor are
// the kernel's raw copies of adds and removals (only udev knows the filesystem).
bool IsRemovableMediumEvent(const UdevProperties& properties);

}  // namespace quorvel
