#pragma once
// A snapshot of the running processes with their executables and first windows, the
// closing of one process, and the start of a player.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/processes.h"

namespace quorvel {

// How often CloseProcess asks a process to close before it ends it.
inline constexpr int kCloseAttempts = 5;
// How long one request to close waits for the window to go.
inline constexpr std::chrono::milliseconds kCloseTimeout{2000};

// One running process.
struct ProcessEntry {
  ProcessSnapshotEntry process;     // id and executable file name from the snapshot
  std::string moduleName;           // the executable's file name; exeFile until resolved
  std::string modulePath;           // the executable's full path; exeFile until resolved
  WindowHandle window = kNoWindow;  // first top-level window found

  // No process: id kNoProcessId, empty texts, no window.
  void Reset() { *this = ProcessEntry(); }
};

// In the order in which the snapshot delivered the processes.
using ProcessList = std::vector<ProcessEntry>;

// Appends every running process to `list`, each with its window looked up and its
// module resolved. True when at least one process was appended.
bool BuildProcessList(Processes& processes, ProcessList& list);

// Sets both module texts to the snapshot's exeFile, then to the main module's name and
// path when the main module's name equals the end of exeFile (as long as the module's
// name), compared without regard to ASCII case. True when the module was found.
bool ResolveModule(Processes& processes, ProcessEntry& entry);

// Stores the process's first top-level window in `window` (kNoWindow when there is
// none). True when a window was found.
bool FindProcessWindow(Processes& processes, ProcessEntry& entry);

// Asks the entry's window, if any, to close and waits up to kCloseTimeout for it.
void AskToClose(Processes& processes, const ProcessEntry& entry);

// Ends the entry's process without asking; true when it was ended.
bool KillProcess(Processes& processes, const ProcessEntry& entry);

// Up to kCloseAttempts times: ask the window to close, then look for a window again;
// true as soon as none is left. After the last attempt the process is ended, and the
// result says whether that worked. A process without a window counts as closed.
bool CloseProcess(Processes& processes, ProcessEntry& entry);

// The command line of a player: the program path in double quotes, a blank and the
// argument text (the blank stays when the text is empty). Nothing is cut off.
std::string ComposeCommandLine(std::string_view executable, std::string_view arguments);

// Starts `executable` with the argument text `arguments` (split by the Windows rules,
// see SplitCommandLine) and does not wait for it; says what came of the start. An
// executable path holding a double quote is refused without starting anything (error
// "its path holds a double quote"): the command line puts the path between double
// quotes, so it would start another program or none.
StartResult StartPlayer(Processes& processes, std::string_view executable,
                        std::string_view arguments);

}  // namespace quorvel
