#include "platform/linux/linux_volumes.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/linux/filesystem_label.h"
#include "platform/linux/mount_table.h"
#include "platform/linux/unique_handles.h"
#include "platform/native_path.h"
#include "windows_rules/path_rules.h"

namespace quorvel {

namespace {

// The mount table and fstab are a few kilobytes; anything far larger is not one.
constexpr std::size_t kMaxTableBytes = 4u << 20;

constexpr std::array<std::string_view, 14> kNetworkFsTypes = {
    "nfs", "nfs4", "cifs",      "smb3",       "smbfs",          "ncpfs",       "9p",
    "afs", "ceph", "glusterfs", "fuse.sshfs", "fuse.glusterfs", "fuse.davfs2", "davfs"};
constexpr std::array<std::string_view, 2> kRamFsTypes = {"tmpfs", "ramfs"};
constexpr std::uint32_t kScsiCdromMajor = 11;

void Debug(const char* format, const std::string& detail) {
  if (std::getenv("QUORVEL_DEBUG") == nullptr) return;
  std::fprintf(stderr, "quorvel volumes: ");
  std::fprintf(stderr, format, detail.c_str());
  std::fputc('\n', stderr);
}

std::string ReadSmallFile(const std::string& path) {
  std::string text;
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return text;
  char chunk[16384];
  while (text.size() < kMaxTableBytes) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  return text;
}

std::optional<std::string> CanonicalPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
  return std::string(resolved);
}

// An absolute form of `path` without "." and ".." components, for paths that do not
// exist (the mount table is matched on text alone then).
std::string LexicalAbsolute(std::string_view path) {
  std::string base;
  if (path.empty() || path.front() != '/') {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) != nullptr) base = cwd;
  }
  std::vector<std::string_view> parts;
  std::string combined = base + "/" + std::string(path);
  std::string_view rest(combined);
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (std::string_view part : parts) {
    out.push_back('/');
    out.append(part);
  }
  return out.empty() ? "/" : out;
}

std::string WithoutTrailingSlash(std::string_view root) {
  while (root.size() > 1 && root.back() == '/') root.remove_suffix(1);
  return std::string(root);
}

std::string RootOf(const std::string& mountPoint) { return JoinNativePath(mountPoint, ""); }

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The entry mounted last exactly at `root`.
const MountEntry* FindMountAt(const std::vector<MountEntry>& table, std::string_view root) {
  const std::string point = WithoutTrailingSlash(root);
  const MountEntry* found = nullptr;
  for (const auto& entry : table) {
    if (entry.mountPoint == point) found = &entry;
  }
  return found;
}

template <typename Range>
bool Contains(const Range& range, std::string_view value) {
  for (std::string_view item : range) {
    if (item == value) return true;
  }
  return false;
}

// The value of the property `name` ("ID_FS_TYPE") in a udev record, whose property
// lines read "E:NAME=value"; nullopt when the record has none.
std::optional<std::string> RecordProperty(std::string_view record, std::string_view name) {
  const std::string prefix = "E:" + std::string(name) + "=";
  for (std::size_t start = 0; start < record.size();) {
    std::size_t end = record.find('\n', start);
    if (end == std::string_view::npos) end = record.size();
    const std::string_view line = record.substr(start, end - start);
    start = end + 1;
    if (line.rfind(prefix, 0) == 0) return std::string(line.substr(prefix.size()));
  }
  return std::nullopt;
}

// Unmounts or mounts through udisks2 on the system bus; nullopt when udisks2 does not
// answer or refuses. Mounting never asks the user to authenticate: a refusal is final
// for the medium.
std::optional<std::string> CallUdisksFilesystem(const std::string& device, const char* method,
                                                std::chrono::microseconds timeout) {
  sd_bus* raw = nullptr;
  if (sd_bus_open_system(&raw) < 0) return std::nullopt;
  const UniqueBus bus(raw);
  sd_bus_set_method_call_timeout(bus.get(), static_cast<std::uint64_t>(timeout.count()));
  const std::string object =
      "/org/freedesktop/UDisks2/block_devices/" + std::string(BaseName(device));
  BusError error;
  sd_bus_message* reply = nullptr;
  const int result = sd_bus_call_method(bus.get(), "org.freedesktop.UDisks2", object.c_str(),
                                        "org.freedesktop.UDisks2.Filesystem", method, error.get(),
                                        &reply, "a{sv}", 1, "auth.no_user_interaction", "b", 1);
  const UniqueBusMessage replyOwner(reply);
  if (result < 0) {
    Debug("udisks2 refused: %s", error.message());
    return std::nullopt;
  }
  const char* mountPoint = nullptr;
  if (std::string_view(method) == "Mount" && sd_bus_message_read(reply, "s", &mountPoint) > 0 &&
      mountPoint != nullptr) {
    return std::string(mountPoint);
  }
  return std::string();
}

}  // namespace

const std::vector<MountEntry>& LinuxVolumes::Mounts() {
  if (mountsValid_ && mountInfoPollable_) {
    pollfd changed{mountInfoFd_.get(), POLLPRI, 0};
    if (::poll(&changed, 1, 0) == 0) return mounts_;
  }
  // A plain file may have been replaced; it is opened afresh.
  if (!mountInfoPollable_) mountInfoFd_.reset();
  if (!mountInfoFd_) {
    mountInfoFd_.reset(::open(sources_.mountInfo.c_str(), O_RDONLY | O_CLOEXEC));
    struct statfs fs {};
    mountInfoPollable_ =
        mountInfoFd_ && ::fstatfs(mountInfoFd_.get(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
  }
  std::string text;
  if (mountInfoFd_ && ::lseek(mountInfoFd_.get(), 0, SEEK_SET) == 0) {
    char chunk[16384];
    for (;;) {
      const ssize_t n = ::read(mountInfoFd_.get(), chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0 || text.size() > kMaxTableBytes) break;
      text.append(chunk, static_cast<std::size_t>(n));
    }
  }
  mounts_ = ParseMountInfo(text);
  labels_.clear();
  mountsValid_ = mountInfoFd_.ok();
  return mounts_;
}

const std::vector<FstabEntry>& LinuxVolumes::FstabEntries() {
  struct stat st {};
  FileStamp stamp;
  if (::stat(sources_.fstab.c_str(), &st) == 0) {
    stamp = FileStamp{static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint64_t>(st.st_size),
                      static_cast<std::int64_t>(st.st_mtim.tv_sec),
                      static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
  }
  if (!(stamp == fstabStamp_)) {
    fstab_ =
        stamp.seconds < 0 ? std::vector<FstabEntry>() : ParseFstab(ReadSmallFile(sources_.fstab));
    fstabStamp_ = stamp;
  }
  return fstab_;
}

LinuxVolumes::DiskPath LinuxVolumes::Classify(const std::vector<MountEntry>& table,
                                              std::string_view path) const {
  DiskPath disk;
  const std::string text(path);
  disk.exists = ::stat(text.c_str(), &disk.st) == 0;

  // A device stands for what is mounted from it, wherever that is: a block device
  // (a link such as /dev/cdrom included), a path that the mount table names as a
  // source, or an optical drive's node name (which may be missing while the drive is
  // not there).
  const bool isBlock = disk.exists && S_ISBLK(disk.st.st_mode);
  disk.isDevice =
      isBlock || (text.rfind(sources_.devDir + "/", 0) == 0 && IsOpticalDeviceName(BaseName(text)));
  for (const auto& entry : table) {
    const bool sameDevice =
        isBlock && entry.major == major(disk.st.st_rdev) && entry.minor == minor(disk.st.st_rdev);
    if (entry.source == text || sameDevice) {
      disk.mounted = &entry;
      disk.isDevice = true;
    }
  }
  // A removable medium's node name whose node is no block device (a machine described
  // by files): sysfs tells that it is one.
  if (!disk.isDevice && !(disk.exists && S_ISDIR(disk.st.st_mode)) &&
      text.rfind(sources_.devDir + "/", 0) == 0) {
    const std::optional<BlockDevice> device = FindBlockDevice(BaseName(text));
    disk.isDevice = device && IsRemovableMedium(*device);
  }
  return disk;
}

LinuxVolumes::DiskPath LinuxVolumes::ClassifyMounting(std::string_view path) {
  DiskPath disk = Classify(Mounts(), path);
  if (disk.isDevice && disk.mounted == nullptr && MountMedium(path, disk)) {
    // The kernel has flagged the new mount already; the table is read again anyway,
    // so that a table kept in a plain file (tests) and the kernel's agree.
    mountsValid_ = false;
    disk = Classify(Mounts(), path);
  }
  return disk;
}

std::optional<LinuxVolumes::BlockDevice> LinuxVolumes::DescribeBlockDevice(
    const std::string& numbers) const {
  const std::optional<std::string> folder = CanonicalPath(sources_.sysDevBlock + "/" + numbers);
  if (!folder) return std::nullopt;
  return BlockDevice{numbers, std::string(BaseName(*folder)), *folder,
                     ReadSmallFile(sources_.udevData + "/b" + numbers)};
}

std::optional<LinuxVolumes::BlockDevice> LinuxVolumes::FindBlockDevice(
    std::string_view name) const {
  const UniqueDir dir(::opendir(sources_.sysDevBlock.c_str()));
  if (!dir) return std::nullopt;
  while (dirent* entry = ::readdir(dir.get())) {
    const std::string numbers = entry->d_name;
    if (numbers.find(':') == std::string::npos) continue;
    char target[PATH_MAX];
    const ssize_t n =
        ::readlink((sources_.sysDevBlock + "/" + numbers).c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    if (BaseName(std::string_view(target, static_cast<std::size_t>(n))) == name) {
      return DescribeBlockDevice(numbers);
    }
  }
  return std::nullopt;
}

bool LinuxVolumes::IsRemovableMedium(const BlockDevice& device) const {
  static constexpr std::array<std::string_view, 8> kNotMedia = {"loop", "ram", "zram", "dm-",
                                                                "md",   "nbd", "sr",   "fd"};
  for (std::string_view prefix : kNotMedia) {
    if (device.name.rfind(prefix, 0) == 0) return false;
  }
  if (IsOpticalDeviceName(device.name)) return false;
  // A partition has no "removable" of its own; its disk, one folder up, has.
  const std::string disk = device.sysFolder.substr(0, device.sysFolder.rfind('/'));
  for (const std::string& folder : {device.sysFolder, disk}) {
    const std::string removable = ReadSmallFile(folder + "/removable");
    if (!removable.empty() && removable.front() == '1') return true;
  }
  // USB sticks and disks that call themselves fixed, and SD cards in a slot of the
  // machine (whose "removable" is 0 too); eMMC soldered in reads as type "MMC".
  const std::optional<std::string> bus = RecordProperty(device.record, "ID_BUS");
  if (bus == "usb" || bus == "ieee1394") return true;
  if (device.name.rfind("mmcblk", 0) == 0) {
    for (const std::string& folder : {device.sysFolder, disk}) {
      std::string type = ReadSmallFile(folder + "/device/type");
      while (!type.empty() && (type.back() == '\n' || type.back() == ' ')) type.pop_back();
      if (type == "SD") return true;
    }
  }
  return false;
}

bool LinuxVolumes::MountMedium(std::string_view path, const DiskPath& disk) {
  if (!sources_.useUdisks) return false;
  // The drive: its node's device numbers, or those of an srN name (SCSI CD-ROM major,
  // the minor is the drive's number) while the node is not there to say.
  const std::optional<std::string> canonical = CanonicalPath(std::string(path));
  const std::string device = canonical ? *canonical : std::string(path);
  std::uint32_t driveMajor = 0;
  std::uint32_t driveMinor = 0;
  if (disk.exists && S_ISBLK(disk.st.st_mode)) {
    driveMajor = major(disk.st.st_rdev);
    driveMinor = minor(disk.st.st_rdev);
  } else if (IsOpticalDeviceName(BaseName(device))) {
    driveMajor = kScsiCdromMajor;
    driveMinor = static_cast<std::uint32_t>(std::strtoul(BaseName(device).data() + 2, nullptr, 10));
  }
  std::string numbers = std::to_string(driveMajor) + ":" + std::to_string(driveMinor);
  std::string record;
  const bool optical = driveMajor == kScsiCdromMajor || IsOpticalDeviceName(BaseName(device));
  if (optical) {
    record = ReadSmallFile(sources_.udevData + "/b" + numbers);
  } else {
    // A removable medium: what sysfs and udev say of it, by its numbers or its name.
    std::optional<BlockDevice> block =
        driveMajor != 0 ? DescribeBlockDevice(numbers) : FindBlockDevice(BaseName(device));
    if (!block || !IsRemovableMedium(*block)) return false;
    numbers = block->numbers;
    record = std::move(block->record);
  }

  // What the medium holds, as udev's probe of the drive recorded it. Only a filesystem
  // can be mounted: an empty drive, an audio CD or a blank disk is left alone.
  const std::optional<std::string> usage = RecordProperty(record, "ID_FS_USAGE");
  const std::optional<std::string> type = RecordProperty(record, "ID_FS_TYPE");
  auto tried = std::find_if(triedMedia_.begin(), triedMedia_.end(),
                            [&](const TriedMedium& medium) { return medium.drive == numbers; });
  if (usage != "filesystem" || !type || type->empty()) {
    // The drive is empty or holds nothing to mount: whatever comes next is new.
    if (tried != triedMedia_.end()) triedMedia_.erase(tried);
    return false;
  }
  // The kernel counts every medium change in the disk's sequence number; with the
  // filesystem's own identity this tells one medium from the next, even the same disk
  // put in again.
  std::string sequence = ReadSmallFile(sources_.sysDevBlock + "/" + numbers + "/diskseq");
  while (!sequence.empty() && (sequence.back() == '\n' || sequence.back() == ' '))
    sequence.pop_back();
  const std::string medium = sequence + "|" + *type + "|" +
                             RecordProperty(record, "ID_FS_UUID").value_or("") + "|" +
                             RecordProperty(record, "ID_FS_LABEL").value_or("");
  if (tried != triedMedia_.end() && tried->medium == medium) return false;
  if (tried == triedMedia_.end()) {
    triedMedia_.push_back({numbers, medium});
  } else {
    tried->medium = medium;
  }

  const std::optional<std::string> mountPoint = CallUdisksFilesystem(
      device, "Mount", std::chrono::duration_cast<std::chrono::microseconds>(kUdisksMountTimeout));
  if (!mountPoint) return false;
  Debug("medium mounted through udisks2 at %s", *mountPoint);
  return true;
}

std::vector<Volumes::RemovableMedium> LinuxVolumes::RemovableMedia() {
  std::vector<RemovableMedium> media;
  const UniqueDir dir(::opendir(sources_.sysDevBlock.c_str()));
  if (!dir) return media;
  while (dirent* entry = ::readdir(dir.get())) {
    const std::string numbers = entry->d_name;
    if (numbers.find(':') == std::string::npos) continue;
    const std::optional<BlockDevice> device = DescribeBlockDevice(numbers);
    if (!device || RecordProperty(device->record, "ID_FS_USAGE") != "filesystem") continue;
    if (!IsRemovableMedium(*device)) continue;
    // The disk's medium count (a partition's is its disk's), with the filesystem's own
    // identity: another stick in the same slot, or the same one again, is another medium.
    std::string sequence = ReadSmallFile(device->sysFolder + "/diskseq");
    if (sequence.empty()) {
      sequence =
          ReadSmallFile(device->sysFolder.substr(0, device->sysFolder.rfind('/')) + "/diskseq");
    }
    while (!sequence.empty() && (sequence.back() == '\n' || sequence.back() == ' '))
      sequence.pop_back();
    media.push_back({JoinNativePath(sources_.devDir, device->name),
                     numbers + "|" + sequence + "|" +
                         RecordProperty(device->record, "ID_FS_TYPE").value_or("") + "|" +
                         RecordProperty(device->record, "ID_FS_UUID").value_or("") + "|" +
                         RecordProperty(device->record, "ID_FS_LABEL").value_or("")});
  }
  std::sort(media.begin(), media.end(),
            [](const RemovableMedium& a, const RemovableMedium& b) { return a.path < b.path; });
  return media;
}

std::string LinuxVolumes::DriveDevice(std::string_view path) {
  if (path.empty()) return {};
  const DiskPath disk = Classify(Mounts(), path);
  if (!disk.isDevice) return {};
  const std::optional<std::string> canonical = CanonicalPath(std::string(path));
  const bool optical =
      (disk.exists && S_ISBLK(disk.st.st_mode) && major(disk.st.st_rdev) == kScsiCdromMajor) ||
      IsOpticalDeviceName(BaseName(canonical ? *canonical : std::string(path))) ||
      IsOpticalDeviceName(BaseName(path)) ||
      (disk.mounted != nullptr && disk.mounted->major == kScsiCdromMajor);
  return optical ? std::string(path) : std::string();
}

std::string LinuxVolumes::DiskFolder(std::string_view path) {
  if (path.empty()) return {};
  const DiskPath disk = ClassifyMounting(path);
  std::string folder(path);
  if (disk.isDevice) {
    if (disk.mounted == nullptr) return {};
    folder = disk.mounted->mountPoint;
  } else if (!disk.exists || !S_ISDIR(disk.st.st_mode)) {
    // Missing (an unmounted medium takes its mount folder along), a link loop, a
    // regular file or a device of another kind: no folder of files.
    return {};
  }
  std::optional<std::string> canonical = CanonicalPath(folder);
  if (!canonical) return {};
  // A mount point may be a file that a file was bind-mounted on, or gone already.
  struct stat st {};
  if (disk.isDevice && (::stat(canonical->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) return {};
  return std::move(*canonical);
}

std::string LinuxVolumes::VolumeRoot(std::string_view path) {
  if (path.empty()) return {};
  const DiskPath disk = ClassifyMounting(path);
  const std::vector<MountEntry>& table = mounts_;
  if (disk.isDevice)
    return disk.mounted != nullptr ? RootOf(disk.mounted->mountPoint) : std::string();
  const std::string text(path);
  const bool exists = disk.exists;
  const struct stat& st = disk.st;

  // The path's text decides when the filesystem it lands on is the one mounted there;
  // otherwise a symbolic link leads elsewhere and the real path decides. This keeps
  // the poll of an unchanged disk at one stat instead of one per component.
  std::string absolute = LexicalAbsolute(path);
  const MountEntry* mount = FindMountFor(table, absolute);
  if (exists &&
      (mount == nullptr || mount->major != major(st.st_dev) || mount->minor != minor(st.st_dev))) {
    if (std::optional<std::string> canonical = CanonicalPath(text)) {
      absolute = std::move(*canonical);
      mount = FindMountFor(table, absolute);
    }
  }
  if (mount == nullptr) return {};

  // A mount point that fstab keeps for an optical drive, below the filesystem found,
  // means the drive's medium is not mounted: the folder is an empty drive.
  for (const FstabEntry& entry : FstabEntries()) {
    if (!IsOpticalFstabEntry(entry)) continue;
    const std::string point = WithoutTrailingSlash(entry.mountPoint);
    if (point.size() > mount->mountPoint.size() && IsComponentPrefix(point, absolute) &&
        IsComponentPrefix(mount->mountPoint, point)) {
      Debug("%s: optical fstab mount point with nothing mounted", point);
      return {};
    }
  }
  return RootOf(mount->mountPoint);
}

std::optional<std::string> LinuxVolumes::VolumeLabel(std::string_view root) {
  if (root.empty()) return std::nullopt;
  const std::vector<MountEntry>& table = Mounts();
  const MountEntry* mount = FindMountAt(table, root);
  if (mount == nullptr) return std::nullopt;
  struct stat rootStat {};
  // A dead FUSE mount or a vanished medium answers stat with an error.
  if (::stat(mount->mountPoint.c_str(), &rootStat) != 0) return std::nullopt;

  if (mountInfoPollable_) {
    for (const CachedLabel& cached : labels_) {
      if (cached.mountPoint == mount->mountPoint && cached.source == mount->source) {
        return cached.label;
      }
    }
  }
  std::string label = ReadLabel(*mount);
  if (mountInfoPollable_) labels_.push_back({mount->mountPoint, mount->source, label});
  return label;
}

std::string LinuxVolumes::ReadLabel(const MountEntry& mountEntry) {
  const MountEntry* mount = &mountEntry;
  // udev's record, readable by every user, without opening the device.
  if (mount->major != 0) {
    const std::string record =
        ReadSmallFile(sources_.udevData + "/b" + std::to_string(mount->major) + ":" +
                      std::to_string(mount->minor));
    std::optional<std::string> plain;
    for (std::size_t start = 0; start < record.size();) {
      std::size_t end = record.find('\n', start);
      if (end == std::string::npos) end = record.size();
      const std::string_view line(record.data() + start, end - start);
      start = end + 1;
      if (line.rfind("E:ID_FS_LABEL_ENC=", 0) == 0) {
        Debug("label from udev record of %s", mount->source);
        return UnescapeUdevName(line.substr(18));
      }
      if (line.rfind("E:ID_FS_LABEL=", 0) == 0) plain = std::string(line.substr(14));
      if (line.rfind("E:ID_FS_TYPE=", 0) == 0 && !plain) plain = std::string();
    }
    if (plain) {
      Debug("label from udev record of %s", mount->source);
      return std::move(*plain);
    }
  }

  // udev's label links: the one that leads to the mounted device.
  const std::optional<std::string> source = mount->source.empty() || mount->source.front() != '/'
                                                ? std::nullopt
                                                : CanonicalPath(mount->source);
  if (const UniqueDir dir{::opendir(sources_.byLabel.c_str())}) {
    std::optional<std::string> found;
    while (dirent* entry = ::readdir(dir.get())) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string link = sources_.byLabel + "/" + name;
      struct stat st {};
      if (::stat(link.c_str(), &st) != 0) continue;
      const bool sameDevice = S_ISBLK(st.st_mode) && mount->major != 0 &&
                              major(st.st_rdev) == mount->major &&
                              minor(st.st_rdev) == mount->minor;
      const std::optional<std::string> target = CanonicalPath(link);
      if (sameDevice || (source && target && *source == *target)) {
        found = UnescapeUdevName(name);
        break;
      }
    }
    if (found) {
      Debug("label from by-label link of %s", mount->source);
      return std::move(*found);
    }
  }

  // The filesystem's own bytes; an ordinary user may lack the right to read them,
  // and a filesystem without a device (tmpfs, FUSE) has no label: both read as "".
  if (source) {
    if (std::optional<std::string> probed = ProbeFilesystemLabel(*source)) {
      Debug("label from libblkid probe of %s", *source);
      return std::move(*probed);
    }
  }
  return {};
}

DriveTypeCode LinuxVolumes::DriveType(std::string_view root) {
  if (root.empty()) return kDriveNoRootDir;
  const std::vector<MountEntry>& table = Mounts();
  const MountEntry* mount = FindMountAt(table, root);
  if (mount == nullptr) return kDriveNoRootDir;
  if (Contains(kNetworkFsTypes, mount->fsType)) return kDriveRemote;
  if (Contains(kRamFsTypes, mount->fsType)) return kDriveRamDisk;
  if (mount->major == 0) return kDriveUnknown;
  if (mount->major == kScsiCdromMajor) return kDriveCdRom;
  const std::string node = sources_.sysDevBlock + "/" + std::to_string(mount->major) + ":" +
                           std::to_string(mount->minor);
  const std::optional<std::string> device = CanonicalPath(node);
  if (!device) return kDriveUnknown;
  if (IsOpticalDeviceName(BaseName(*device))) return kDriveCdRom;
  // A partition carries no "removable" of its own; its disk, one folder up, does.
  for (const std::string& folder : {*device, device->substr(0, device->rfind('/'))}) {
    const std::string removable = ReadSmallFile(folder + "/removable");
    if (!removable.empty()) return removable.front() == '1' ? kDriveRemovable : kDriveFixed;
  }
  return kDriveFixed;
}

std::string LinuxVolumes::FindFirstCdDrive() {
  const UniqueDir dir(::opendir(sources_.devDir.c_str()));
  if (!dir) return {};
  std::optional<unsigned long> lowest;
  while (dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (!IsOpticalDeviceName(name) || name.size() > 8) continue;
    const unsigned long number = std::strtoul(entry->d_name + 2, nullptr, 10);
    if (!lowest || number < *lowest) lowest = number;
  }
  if (!lowest) return {};
  return JoinNativePath(sources_.devDir, "sr" + std::to_string(*lowest));
}

namespace {

constexpr std::chrono::seconds kUdisksUnmountTimeout{25};

// Unmounts through udisks2, as the desktop that mounted the medium expects; false
// when udisks2 does not answer or refuses.
bool UnmountWithUdisks(const std::string& device) {
  return CallUdisksFilesystem(device, "Unmount", kUdisksUnmountTimeout).has_value();
}

}  // namespace

bool LinuxVolumes::EjectMedia(std::string_view path, bool eject) {
  if (path.empty()) return false;
  const std::vector<MountEntry>& table = Mounts();
  const std::string text(path);

  // Which optical drive the path stands for: the drive itself, the drive whose medium
  // holds the path, or the drive that fstab mounts at the path.
  std::string device;
  const std::optional<std::string> canonical = CanonicalPath(text);
  if (IsOpticalDeviceName(BaseName(canonical ? *canonical : text)) &&
      text.rfind(sources_.devDir + "/", 0) == 0) {
    device = canonical ? *canonical : text;
  } else {
    const std::string root = VolumeRoot(path);
    if (const MountEntry* mount = root.empty() ? nullptr : FindMountAt(table, root)) {
      if (mount->major == kScsiCdromMajor || IsOpticalDeviceName(BaseName(mount->source))) {
        device = mount->source;
      }
    } else {
      const std::string absolute = canonical ? *canonical : LexicalAbsolute(path);
      for (const FstabEntry& entry : FstabEntries()) {
        if (IsOpticalFstabEntry(entry) && entry.source.rfind("/dev/", 0) == 0 &&
            IsComponentPrefix(entry.mountPoint, absolute)) {
          const std::optional<std::string> resolved = CanonicalPath(entry.source);
          device = resolved ? *resolved : entry.source;
        }
      }
    }
  }
  if (device.empty()) return false;

  if (eject) {
    for (const auto& entry : table) {
      if (entry.source != device) continue;
      if (sources_.useUdisks && UnmountWithUdisks(device)) {
        Debug("%s unmounted through udisks2", device);
      } else if (::umount2(entry.mountPoint.c_str(), 0) == 0) {
        Debug("%s unmounted with umount2", device);
      } else {
        Debug("%s could not be unmounted", device);
      }
      break;
    }
  }
  const UniqueFd fd(::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!fd) {
    Debug("%s cannot be opened", device);
    return false;
  }
  const int result = ::ioctl(fd.get(), eject ? CDROMEJECT : CDROMCLOSETRAY, 0);
  Debug(result == 0 ? "%s: tray request done" : "%s: tray request refused", device);
  return result == 0;
}

}  // namespace quorvel
