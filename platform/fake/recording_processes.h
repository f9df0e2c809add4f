#pragma once
// A processes service that plays a scripted set of processes and windows and records
// what is asked of it, for the faults that real processes cannot be made to show
// (a window that stays through five requests without a window system, a snapshot
// that fails, a start that is never looked at).

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_started_program.h"
#include "platform/processes.h"

namespace quorvel {

class RecordingProcesses final : public Processes {
 public:
  struct Process {
    ProcessId id;
    std::string exeFile;
    std::string moduleName;  // empty: the module cannot be read
    std::string modulePath;
    std::vector<WindowHandle> windows;
    // How many close requests each window ignores before it goes.
    int ignoredRequests = 0;
    bool canBeTerminated = true;
  };

  // A start that succeeds hands out a program of its own, which the test ends with
  // EndProgram (unless `watchable` is off: then none, as where nothing can be watched).
  StartResult Start(std::string_view commandLine) override {
    started.emplace_back(commandLine);
    StartResult result = startResult;
    if (result.started && watchable) {
      auto program = std::make_shared<FakeStartedProgram>();
      startedPrograms_.push_back(program);
      result.program = std::move(program);
    }
    return result;
  }

  // Ends the program of the `index`th successful start (0: the first).
  void EndProgram(std::size_t index) {
    if (index < startedPrograms_.size()) startedPrograms_[index]->End();
  }
  std::size_t ProgramCount() const { return startedPrograms_.size(); }
  // Ends every program started so far and forgets them (a long run would keep them all).
  void EndAndForgetPrograms() {
    for (const auto& program : startedPrograms_) program->End();
    startedPrograms_.clear();
  }

  std::string FindProgram(std::string_view program) override {
    const auto found = programs.find(std::string(program));
    return found == programs.end() ? std::string() : found->second;
  }

  std::optional<std::vector<ProcessSnapshotEntry>> Snapshot() override {
    if (snapshotFails) return std::nullopt;
    std::vector<ProcessSnapshotEntry> entries;
    for (const auto& p : processes) entries.push_back({p.id, p.exeFile});
    return entries;
  }

  std::optional<ModuleInfo> MainModule(ProcessId id) override {
    const Process* p = Find(id);
    if (p == nullptr || p->moduleName.empty()) return std::nullopt;
    return ModuleInfo{p->moduleName, p->modulePath};
  }

  WindowHandle FindTopLevelWindow(ProcessId id) override {
    const Process* p = Find(id);
    return p == nullptr || p->windows.empty() ? kNoWindow : p->windows.front();
  }

  void AskToClose(WindowHandle window, std::chrono::milliseconds timeout) override {
    closeRequests.push_back(window);
    timeouts.push_back(timeout);
    for (auto& p : processes) {
      auto it = std::find(p.windows.begin(), p.windows.end(), window);
      if (it == p.windows.end()) continue;
      if (++requestsSeen[window] > p.ignoredRequests) p.windows.erase(it);
    }
  }

  bool Terminate(ProcessId id) override {
    terminated.push_back(id);
    Process* p = Find(id);
    if (p == nullptr || !p->canBeTerminated) return false;
    processes.erase(processes.begin() + (p - processes.data()));
    return true;
  }

  ProcessId CurrentProcessId() override { return self; }

  // Claims by program name (ASCII case ignored) in `claimed`, held while the claim lives;
  // `claimsPossible` false answers as a system without a way to claim.
  InstanceResult ClaimInstance(std::string_view programName) override {
    if (!claimsPossible) return {};
    std::string name(programName);
    for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (!claimed.insert(name).second) return {InstanceResult::Outcome::HeldByAnother, nullptr};
    return {InstanceResult::Outcome::Claimed, std::make_unique<Claim>(claimed, name)};
  }

  Process* Find(ProcessId id) {
    for (auto& p : processes) {
      if (p.id == id) return &p;
    }
    return nullptr;
  }

  std::vector<Process> processes;
  ProcessId self = 1;
  bool snapshotFails = false;
  StartResult startResult{true, {}, {}};
  bool watchable = true;
  // What FindProgram finds: program name -> full path.
  std::map<std::string, std::string> programs;

  std::vector<std::string> started;
  std::vector<WindowHandle> closeRequests;
  std::vector<std::chrono::milliseconds> timeouts;
  std::vector<ProcessId> terminated;
  std::map<WindowHandle, int> requestsSeen;
  bool claimsPossible = true;
  std::set<std::string> claimed;

 private:
  std::vector<std::shared_ptr<FakeStartedProgram>> startedPrograms_;

  class Claim final : public InstanceClaim {
   public:
    Claim(std::set<std::string>& claimed, std::string name)
        : claimed_(claimed), name_(std::move(name)) {}
    ~Claim() override { claimed_.erase(name_); }

   private:
    std::set<std::string>& claimed_;
    std::string name_;
  };
};

}  // namespace quorvel
