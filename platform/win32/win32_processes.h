#pragma once
// The processes service over CreateProcessA, the Toolhelp snapshots and the window
// manager's top-level windows.

#include "platform/processes.h"

namespace quorvel {

class Win32Processes final : public Processes {
 public:
  // The command line goes to CreateProcessA as it is: Windows programs split their
  // own command line, so nothing is split or quoted again here.
  StartResult Start(std::string_view commandLine) override;
  // Searched as CreateProcessA searches a name without a folder: the program's folder,
  // the current folder, the system folders, then PATH; ".exe" is added when the name has
  // no extension.
  std::string FindProgram(std::string_view program) override;
  std::optional<std::vector<ProcessSnapshotEntry>> Snapshot() override;
  std::optional<ModuleInfo> MainModule(ProcessId id) override;
  WindowHandle FindTopLevelWindow(ProcessId id) override;
  void AskToClose(WindowHandle window, std::chrono::milliseconds timeout) override;
  bool Terminate(ProcessId id) override;
  ProcessId CurrentProcessId() override;
  InstanceResult ClaimInstance(std::string_view programName) override;
};

}  // namespace quorvel
