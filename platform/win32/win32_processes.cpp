#include "platform/win32/win32_processes.h"

#include <tlhelp32.h>
#include <windows.h>

#include <cerrno>
#include <vector>

#include "platform/win32/win32_handle.h"

namespace quorvel {

namespace {

using win32::Handle;

// The errno value that tells the user best why a program did not start.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
      return ENOEXEC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return EINVAL;
  }
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  search->found = window;
  return FALSE;  // the first window in the system's order
}

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

}  // namespace

StartResult Win32Processes::Start(std::string_view commandLine) {
  // CreateProcessA would cut the line at a NUL byte and start something else than
  // what was composed.
  if (commandLine.empty() || commandLine.find('\0') != std::string_view::npos) {
    return {false, EINVAL};
  }
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return {false, ErrnoOf(::GetLastError())};
  }
  // The player is not watched: its handles go at once, and the system frees it when it
  // ends.
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return {true, 0};
}

bool Win32Processes::Snapshot(std::vector<ProcessSnapshotEntry>& entries) {
  entries.clear();
  Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.ok()) return false;
  PROCESSENTRY32 process{};
  process.dwSize = sizeof process;
  if (!::Process32First(snapshot.get(), &process)) return false;
  do {
    ProcessSnapshotEntry entry;
    entry.processId = process.th32ProcessID;
    entry.exeFile = process.szExeFile;
    entries.push_back(std::move(entry));
  } while (::Process32Next(snapshot.get(), &process));
  return true;
}

bool Win32Processes::MainModule(ProcessId id, ModuleInfo& module) {
  Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, id));
  if (!snapshot.ok()) return false;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  // The system lists a process's executable first among its modules.
  if (!::Module32First(snapshot.get(), &entry)) return false;
  module.name = entry.szModule;
  module.path = entry.szExePath;
  return true;
}

WindowHandle Win32Processes::FindTopLevelWindow(ProcessId id) {
  WindowSearch search{id, nullptr};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(search.found));
}

void Win32Processes::AskToClose(WindowHandle window, std::chrono::milliseconds timeout) {
  HWND hwnd = ToHwnd(window);
  if (window == kNoWindow || !::IsWindow(hwnd)) return;
  // A window that handles WM_CLOSE by destroying itself has gone when the call returns;
  // a hung one costs at most `timeout`.
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(hwnd, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                        &result);
}

bool Win32Processes::Terminate(ProcessId id) {
  // Ending a process needs only the right to end it, which is granted more often than
  // full access.
  Handle process(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
  if (!process.ok()) return false;
  return ::TerminateProcess(process.get(), 0) != FALSE;
}

ProcessId Win32Processes::CurrentProcessId() { return ::GetCurrentProcessId(); }

std::unique_ptr<Processes> CreateSystemProcesses() { return std::make_unique<Win32Processes>(); }

}  // namespace quorvel
