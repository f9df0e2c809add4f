#pragma once
// The processes service: starting player programs, listing the running processes and
// closing the top-level windows of other programs.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// A process id as the process snapshot gives it; kNoProcessId stands for none.
using ProcessId = std::uint32_t;
inline constexpr ProcessId kNoProcessId = 0xFFFFFFFF;

// A top-level window; kNoWindow stands for none.
using WindowHandle = std::uint64_t;
inline constexpr WindowHandle kNoWindow = 0;

// One process of a snapshot.
struct ProcessSnapshotEntry {
  ProcessId processId = kNoProcessId;
  // The executable's file name without its folder, as the system lists the process.
  // A process whose executable cannot be read gives the short name that the system
  // keeps for it.
  std::string exeFile;
};

// The main module (the executable) of a process.
struct ModuleInfo {
  std::string name;  // file name
  std::string path;  // full path
};

// A program that Start started, watched until it ends: the window that started a player
// learns when it ended, without waiting for it and without a thread. The program runs on
// when this object goes; only the watch ends with it.
class StartedProgram {
 public:
  virtual ~StartedProgram() = default;

  // What becomes ready once the program has ended, for the program's event loop to watch:
  // a descriptor that becomes readable (Linux: a pidfd), or a handle that becomes
  // signalled (Windows: the process handle). Valid as long as this object.
  virtual std::intptr_t EndSignal() const = 0;

  // Whether the program has ended; never blocks.
  virtual bool HasEnded() = 0;
};

// What came of a start request.
struct StartResult {
  bool started = false;
  // When not started: why, as a text the user can be shown after "Cannot start
  // PROGRAM: " ("No such file or directory"), or "" when the reason is not known.
  std::string error;
  // When started: the program, to be watched until it ends; null where the system
  // cannot tell (nothing then ever says that it ended).
  std::shared_ptr<StartedProgram> program;
};

// Held while this process is the one running copy of a program (Processes::ClaimInstance);
// destroying it, or the end of the process, gives the claim up.
class InstanceClaim {
 public:
  virtual ~InstanceClaim() = default;
};

// What came of a claim.
struct InstanceResult {
  enum class Outcome {
    Claimed,        // this process is the one copy; `claim` holds it
    HeldByAnother,  // a live copy holds it
    NotPossible,    // the system offers no way to claim it here
  };
  Outcome outcome = Outcome::NotPossible;
  std::unique_ptr<InstanceClaim> claim;
};

class Processes {
 public:
  virtual ~Processes() = default;

  // Claims for this process to be the one running copy of the program whose executable
  // file name is `programName` (any letter case: PROGRAM.EXE and program.exe are one
  // program; a copy under another file name is another program), for this user on this
  // display: the first process to claim it holds it until it ends, whatever its state, and
  // a process that has ended holds nothing, a zombie included. Of two processes that
  // claim at the same moment exactly one gets it. Other users, and the same user on
  // another display, claim for themselves.
  virtual InstanceResult ClaimInstance(std::string_view /*programName*/) { return {}; }

  // Starts the program named by the first argument of `commandLine` and does not wait
  // for it. The program gets the arguments that the Windows command-line rules give
  // for `commandLine` (SplitCommandLine, windows_rules/windows_command_line.h), this
  // process's environment and current folder, and none of its open descriptors or
  // handles apart from standard input, output and error; once it ends, nothing of it
  // is left behind. A program name without a folder is looked for on the search path.
  // Fails for a command line that cannot be passed on (an argument holding a NUL byte)
  // and when the program cannot be run.
  virtual StartResult Start(std::string_view commandLine) = 0;

  // The file that Start would run for `program`, a program name without a folder, as
  // found on the search path; "" when the search path has no program of that name that
  // can be run. A name with a folder, or an empty one, gives "".
  virtual std::string FindProgram(std::string_view program) = 0;

  // Every running process, in the system's order; nullopt when the processes cannot be
  // listed at all.
  virtual std::optional<std::vector<ProcessSnapshotEntry>> Snapshot() = 0;

  // The main module of process `id`; nullopt when the process has gone or its
  // executable cannot be read (no right to look at it, a system process).
  virtual std::optional<ModuleInfo> MainModule(ProcessId id) = 0;

  // The first top-level window in the system's order that belongs to process `id`,
  // whether shown or not; kNoWindow when there is none or no window system can be
  // reached. Listing every process asks this once per process, so the answer may come
  // from a view of the windows taken a fraction of a second earlier, but never from
  // one taken before the last AskToClose.
  virtual WindowHandle FindTopLevelWindow(ProcessId id) = 0;

  // Asks `window` to close itself, as its close button would, and waits until it has
  // gone or `timeout` has passed. Returns at once when the window no longer exists or
  // nothing can be asked of it.
  virtual void AskToClose(WindowHandle window, std::chrono::milliseconds timeout) = 0;

  // Ends process `id` at once, without asking. False when it cannot be ended (gone,
  // or no right to end it).
  virtual bool Terminate(ProcessId id) = 0;

  // The id of this process.
  virtual ProcessId CurrentProcessId() = 0;
};

}  // namespace quorvel
