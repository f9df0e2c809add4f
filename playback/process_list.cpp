#include "playback/process_list.h"

#include <algorithm>
#include <optional>

#include "windows_rules/disk_names.h"

namespace quorvel {

bool BuildProcessList(Processes& processes, ProcessList& list) {
  std::optional<std::vector<ProcessSnapshotEntry>> snapshot = processes.Snapshot();
  if (!snapshot) return false;
  bool appended = false;
  for (auto& process : *snapshot) {
    ProcessEntry entry;
    entry.process = std::move(process);
    FindProcessWindow(processes, entry);
    ResolveModule(processes, entry);
    list.push_back(std::move(entry));
    appended = true;
  }
  return appended;
}

bool ResolveModule(Processes& processes, ProcessEntry& entry) {
  entry.moduleName = entry.process.exeFile;
  entry.modulePath = entry.process.exeFile;
  std::optional<ModuleInfo> module = processes.MainModule(entry.process.processId);
  if (!module) return false;
  std::string_view exeFile = entry.process.exeFile;
  std::string_view tail =
      exeFile.substr(exeFile.size() - std::min(exeFile.size(), module->name.size()));
  if (!EqualsIgnoringAsciiCase(tail, module->name)) return false;
  entry.moduleName = std::move(module->name);
  entry.modulePath = std::move(module->path);
  return true;
}

bool FindProcessWindow(Processes& processes, ProcessEntry& entry) {
  entry.window = processes.FindTopLevelWindow(entry.process.processId);
  return entry.window != kNoWindow;
}

void AskToClose(Processes& processes, const ProcessEntry& entry) {
  if (entry.window != kNoWindow) processes.AskToClose(entry.window, kCloseTimeout);
}

bool KillProcess(Processes& processes, const ProcessEntry& entry) {
  return processes.Terminate(entry.process.processId);
}

bool CloseProcess(Processes& processes, ProcessEntry& entry) {
  for (int attempt = 0; attempt < kCloseAttempts; ++attempt) {
    AskToClose(processes, entry);
    if (!FindProcessWindow(processes, entry)) return true;
  }
  return KillProcess(processes, entry);
}

std::string ComposeCommandLine(std::string_view executable, std::string_view arguments) {
  std::string line;
  line.reserve(executable.size() + arguments.size() + 3);
  line += '"';
  line += executable;
  line += "\" ";
  line += arguments;
  return line;
}

StartResult StartPlayer(Processes& processes, std::string_view executable,
                        std::string_view arguments) {
  if (executable.find('"') != std::string_view::npos) {
    return {false, "its path holds a double quote", {}};
  }
  return processes.Start(ComposeCommandLine(executable, arguments));
}

}  // namespace quorvel
