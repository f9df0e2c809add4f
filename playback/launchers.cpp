#include "playback/launchers.h"

#include "platform/native_path.h"
#include "platform/volumes.h"
#include "windows_rules/disk_names.h"
#include "windows_rules/path_rules.h"

namespace quorvel {

bool IsOnDisk(std::string_view modulePath, std::string_view diskPath, char separator) {
  while (!diskPath.empty() && diskPath.back() == separator) diskPath.remove_suffix(1);
  if (diskPath.empty()) return false;
  if (modulePath.size() < diskPath.size()) return false;
  if (!EqualsIgnoringAsciiCase(modulePath.substr(0, diskPath.size()), diskPath)) return false;
  return modulePath.size() == diskPath.size() || modulePath[diskPath.size()] == separator;
}

ProcessList FindLaunchers(Processes& processes, Volumes& volumes, std::string_view diskPath) {
  ProcessList launchers;
  if (diskPath.empty()) return launchers;
  // Executable paths are real paths: compare them with the real folder of the disk's
  // files, not with the path as typed (a device, a link to the mount folder).
  const std::string folder = volumes.DiskFolder(diskPath);
  if (folder.empty()) return launchers;
  ProcessList list;
  BuildProcessList(processes, list);
  const ProcessId self = processes.CurrentProcessId();
  for (auto& entry : list) {
    if (entry.process.processId != self && IsOnDisk(entry.modulePath, folder, NativeSeparator())) {
      launchers.push_back(std::move(entry));
    }
  }
  return launchers;
}

void CloseLaunchers(Processes& processes, Volumes& volumes, std::string_view diskPath) {
  for (auto& entry : FindLaunchers(processes, volumes, diskPath)) CloseProcess(processes, entry);
}

bool FindOtherInstance(const ProcessList& list, std::string_view moduleName, ProcessId self) {
  for (const auto& entry : list) {
    if (entry.process.processId != self && EqualsIgnoringAsciiCase(entry.moduleName, moduleName)) {
      return true;
    }
  }
  return false;
}

bool AnotherInstanceRunning(Processes& processes) {
  const ProcessId self = processes.CurrentProcessId();
  const std::optional<ModuleInfo> own = processes.MainModule(self);
  if (!own) return false;
  // Only the module names count: the processes' windows are not looked up (that would
  // ask the window system about every top-level window at each start).
  std::optional<std::vector<ProcessSnapshotEntry>> snapshot = processes.Snapshot();
  if (!snapshot) return false;
  ProcessList list;
  list.reserve(snapshot->size());
  for (auto& process : *snapshot) {
    ProcessEntry entry;
    entry.process = std::move(process);
    ResolveModule(processes, entry);
    list.push_back(std::move(entry));
  }
  return FindOtherInstance(list, own->name, self);
}

namespace {
// Held by a process that could not name its own executable: nothing to claim.
class NoClaim final : public InstanceClaim {};
}  // namespace

std::unique_ptr<InstanceClaim> ClaimSingleInstance(Processes& processes) {
  const std::optional<ModuleInfo> own = processes.MainModule(processes.CurrentProcessId());
  if (!own) return std::make_unique<NoClaim>();
  InstanceResult result = processes.ClaimInstance(own->name);
  switch (result.outcome) {
    case InstanceResult::Outcome::Claimed:
      return std::move(result.claim);
    case InstanceResult::Outcome::HeldByAnother:
      return nullptr;
    case InstanceResult::Outcome::NotPossible:
      break;
  }
  if (AnotherInstanceRunning(processes)) return nullptr;
  return std::make_unique<NoClaim>();
}

}  // namespace quorvel
