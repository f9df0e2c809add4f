// Fuzz target: the machine's state as the Linux volumes read it, from random bytes: a
// mount table, udev's record of an optical drive and the drive's medium count, cut
// apart at lines "--". The drive's disk path is then resolved as a window's poll does;
// mounting through udisks2 is asked of a bus that is not there.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/linux/linux_volumes.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const std::string path = std::filesystem::temp_directory_path().string() +
                             "/quorvel-fuzz-volumes-" + std::to_string(::getpid());
    std::filesystem::create_directories(path + "/udev");
    std::filesystem::create_directories(path + "/sys/dev/block/11:0");
    std::filesystem::create_directories(path + "/dev");
    std::ofstream(path + "/dev/sr0");
    std::ofstream(path + "/fstab");
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + path + "/no-bus").c_str(), 1);
    return path;
  }();
  return folder;
}

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = Folder();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view parts[3];
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t cut = i < 2 ? input.find("\n--\n", start) : std::string_view::npos;
    parts[i] =
        input.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start);
    if (cut == std::string_view::npos) break;
    start = cut + 4;
  }
  Write(folder + "/mountinfo", parts[0]);
  Write(folder + "/udev/b11:0", parts[1]);
  Write(folder + "/sys/dev/block/11:0/diskseq", parts[2]);

  quorvel::LinuxVolumeSources sources;
  sources.mountInfo = folder + "/mountinfo";
  sources.fstab = folder + "/fstab";
  sources.byLabel = folder + "/by-label";
  sources.udevData = folder + "/udev";
  sources.sysDevBlock = folder + "/sys/dev/block";
  sources.devDir = folder + "/dev";
  quorvel::LinuxVolumes volumes(sources);
  const std::string drive = folder + "/dev/sr0";
  const std::string disk = volumes.DiskFolder(drive);
  const std::string root = volumes.VolumeRoot(drive);
  // A drive's folder is where its medium is mounted, never somewhere it is not.
  if (!disk.empty() && root.empty()) __builtin_trap();
  if (!root.empty()) {
    (void)volumes.VolumeLabel(root);
    (void)volumes.DriveType(root);
  }
  (void)volumes.DiskFolder(folder);
  return 0;
}
