// The Linux backend's one factory: every service of the platform, wired for a program.

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/linux/file_registry.h"
#include "platform/linux/linux_disk_events.h"
#include "platform/linux/linux_private_files.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_system.h"
#include "platform/linux/linux_tray_hosts.h"
#include "platform/linux/linux_volumes.h"
#include "platform/linux/linux_window_focus.h"
#include "platform/linux/posix_files.h"
#include "platform/services.h"

namespace quorvel {

namespace {

// The user's store, opened on its first use: a program that never reads its settings
// (quorvelctl cover, processes) never reads, sets aside or reports the store file.
class DeferredRegistry final : public Registry {
 public:
  explicit DeferredRegistry(UserMessages& messages) : messages_(messages) {}

  RegKey CreateKey(RegKey parent, std::string_view subKey) override {
    return Store().CreateKey(parent, subKey);
  }
  RegKey OpenKey(RegKey parent, std::string_view subKey) override {
    return Store().OpenKey(parent, subKey);
  }
  std::optional<std::uint32_t> QueryValue(RegKey key, std::string_view name, void* buffer,
                                          std::uint32_t capacity) override {
    return Store().QueryValue(key, name, buffer, capacity);
  }
  bool SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                std::uint32_t size) override {
    return Store().SetValue(key, name, type, data, size);
  }
  bool SetDefaultValue(RegKey key, std::string_view name, RegType type, const void* data,
                       std::uint32_t size) override {
    return Store().SetDefaultValue(key, name, type, data, size);
  }
  bool DeleteValue(RegKey key, std::string_view name) override {
    return Store().DeleteValue(key, name);
  }
  std::optional<std::string> EnumKey(RegKey key, std::uint32_t index) override {
    return Store().EnumKey(key, index);
  }
  bool DeleteKey(RegKey parent, std::string_view subKey) override {
    return Store().DeleteKey(parent, subKey);
  }
  void CloseKey(RegKey key) override {
    if (store_) store_->CloseKey(key);
  }
  bool Flush() override { return !store_ || store_->Flush(); }

 private:
  Registry& Store() {
    if (!store_) store_ = OpenUserRegistry(messages_);
    return *store_;
  }

  UserMessages& messages_;
  std::unique_ptr<Registry> store_;
};

// The disk-change sources, opened when a window first watches them: a program that
// shows no disk (quorvelctl) opens no udev monitor.
class DeferredDiskEvents final : public DiskEvents {
 public:
  std::vector<EventSource> Sources() const override { return Events().Sources(); }
  bool Drain(std::intptr_t source) override { return events_ && events_->Drain(source); }
  bool DeviceChangeReport(std::uintptr_t, std::intptr_t) override { return false; }

 private:
  LinuxDiskEvents& Events() const {
    if (!events_) events_ = std::make_unique<LinuxDiskEvents>();
    return *events_;
  }

  mutable std::unique_ptr<LinuxDiskEvents> events_;
};

// The volumes of this machine. For tests only, QUORVEL_VOLUME_SOURCES=DIR makes them read
// the machine's state from files below DIR (mountinfo, fstab, by-label/, udev/,
// sys/dev/block/, dev/) instead of the system's: end-to-end tests run the real programs
// on a machine described by files, as the backend's own tests do.
LinuxVolumes CreateVolumes() {
  const char* machine = std::getenv("QUORVEL_VOLUME_SOURCES");
  if (machine == nullptr || machine[0] == '\0') return LinuxVolumes();
  const std::string folder = machine;
  LinuxVolumeSources sources;
  sources.mountInfo = folder + "/mountinfo";
  sources.fstab = folder + "/fstab";
  sources.byLabel = folder + "/by-label";
  sources.udevData = folder + "/udev";
  sources.sysDevBlock = folder + "/sys/dev/block";
  sources.devDir = folder + "/dev";
  sources.useUdisks = false;
  return LinuxVolumes(std::move(sources));
}

// The services themselves, made before the seam that refers to them.
struct LinuxServiceParts {
  explicit LinuxServiceParts(UserMessages& messages) : registry(messages) {}

  PosixFiles files;
  LinuxVolumes volumes = CreateVolumes();
  std::unique_ptr<Processes> processes = CreateLinuxProcesses();
  LinuxSystem system;
  DeferredRegistry registry;
  LinuxPrivateFiles privateFiles;
  DeferredDiskEvents diskEvents;
  LinuxTrayHosts trayHostEvents;  // watches nothing until a window asks for its sources
  LinuxWindowFocus focus;
};

class LinuxServices final : private LinuxServiceParts, public PlatformServices {
 public:
  explicit LinuxServices(UserMessages& messages)
      : LinuxServiceParts(messages),
        PlatformServices(Services{files, volumes, *processes, system, registry, messages,
                                  privateFiles, diskEvents},
                         trayHostEvents, focus) {}
};

}  // namespace

std::unique_ptr<PlatformServices> CreatePlatformServices(UserMessages& messages) {
  return std::make_unique<LinuxServices>(messages);
}

}  // namespace quorvel
