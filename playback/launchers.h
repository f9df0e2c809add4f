#pragma once
// Closing the autorun "launcher" programs that movie disks start, and the start-up
// test for a running copy of the program.

#include <memory>
#include <string_view>

#include "playback/process_list.h"

namespace quorvel {

class Volumes;

// True when `modulePath` lies on `diskPath`: the disk path without its trailing
// separators is a prefix of the module path, compared without regard to ASCII case,
// that ends at a separator or at the end of the module path. So "/media/cd" holds
// "/media/cd/x" but not "/media/cdrom/x", and "D:" holds "D:\x". An empty disk path
// holds nothing, and neither does one of separators only: the root of the whole file
// tree ("/") would hold every program on the machine, the desktop's own included.
bool IsOnDisk(std::string_view modulePath, std::string_view diskPath, char separator);

// The processes that CloseLaunchers closes: every process whose main module lies in
// the disk folder of `diskPath` (Volumes::DiskFolder: a drive's device stands for the
// folder its medium is mounted on, symbolic links are resolved as the executables'
// paths are), by IsOnDisk with the platform's separator, except this process. None
// when the path has no disk folder.
ProcessList FindLaunchers(Processes& processes, Volumes& volumes, std::string_view diskPath);

// CloseProcess on every process that FindLaunchers lists, first to last.
void CloseLaunchers(Processes& processes, Volumes& volumes, std::string_view diskPath);

// True when `list` holds a process other than `self` whose module name equals
// `moduleName` without regard to ASCII case.
bool FindOtherInstance(const ProcessList& list, std::string_view moduleName, ProcessId self);

// The process-list test for a running copy: true when another process runs an
// executable of the same file name as this one. A copy of the program under another
// file name is another program. False when this process's own executable cannot be
// found.
bool AnotherInstanceRunning(Processes& processes);

// The single-instance rule of start-up: this process claims to be the one copy of its
// executable's file name for this user and display (Processes::ClaimInstance). nullptr
// when another copy holds the claim: this one must end. Otherwise the claim, to be held
// for the whole run (a claim that holds nothing where the executable cannot be named).
// Where the system offers no claim, the process-list test decides instead.
std::unique_ptr<InstanceClaim> ClaimSingleInstance(Processes& processes);

}  // namespace quorvel
