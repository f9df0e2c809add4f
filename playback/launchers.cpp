#include "playback/launchers.h"

#include "platform/disk_names.h"
#include "platform/path_rules.h"

namespace quorvel {

bool IsOnDisk(std::string_view modulePath, std::string_view diskPath, char separator) {
  if (diskPath.empty()) return false;
  while (!diskPath.empty() && diskPath.back() == separator) diskPath.remove_suffix(1);
  if (modulePath.size() < diskPath.size()) return false;
  if (!EqualsIgnoringAsciiCase(modulePath.substr(0, diskPath.size()), diskPath)) return false;
  return modulePath.size() == diskPath.size() || modulePath[diskPath.size()] == separator;
}

ProcessList FindLaunchers(Processes& processes, std::string_view diskPath) {
  ProcessList launchers;
  if (diskPath.empty()) return launchers;
  ProcessList list;
  BuildProcessList(processes, list);
  const ProcessId self = processes.CurrentProcessId();
  for (auto& entry : list) {
    if (entry.process.processId != self &&
        IsOnDisk(entry.modulePath, diskPath, NativeSeparator())) {
      launchers.push_back(std::move(entry));
    }
  }
  return launchers;
}

void CloseLaunchers(Processes& processes, std::string_view diskPath) {
  for (auto& entry : FindLaunchers(processes, diskPath)) CloseProcess(processes, entry);
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
  ModuleInfo own;
  if (!processes.MainModule(self, own)) return false;
  ProcessList list;
  BuildProcessList(processes, list);
  return FindOtherInstance(list, own.name, self);
}

}  // namespace quorvel
