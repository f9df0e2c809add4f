#include "platform/win32/win32_processes.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_handle.h"

namespace quorvel {

namespace {

using win32::Handle;

// The system's own text for `error` ("The system cannot find the file specified"),
// without its closing full stop and line end.
std::string SystemErrorText(DWORD error) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == '.' || message.back() == ' ')) {
    message.pop_back();
  }
  return message;
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

// A started player, watched through its process handle, which is signalled once the
// player has ended.
class HandleProgram final : public StartedProgram {
 public:
  explicit HandleProgram(Handle process) : process_(std::move(process)) {}

  std::intptr_t EndSignal() const override {
    return static_cast<std::intptr_t>(reinterpret_cast<std::uintptr_t>(process_.get()));
  }
  bool HasEnded() override { return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }

 private:
  Handle process_;
};

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

}  // namespace

std::string Win32Processes::FindProgram(std::string_view program) {
  if (program.empty() || program.find_first_of("\\/:") != std::string_view::npos ||
      program.find('\0') != std::string_view::npos) {
    return "";
  }
  const std::string name(program);
  char found[MAX_PATH];
  const DWORD length = ::SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, nullptr);
  if (length == 0 || length >= MAX_PATH) return "";
  const DWORD attributes = ::GetFileAttributesA(found);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return "";
  }
  return std::string(found, length);
}

StartResult Win32Processes::Start(std::string_view commandLine) {
  // CreateProcessA would cut the line at a NUL byte and start something else than
  // what was composed.
  if (commandLine.empty()) return {false, "The command line is empty", {}};
  if (commandLine.find('\0') != std::string_view::npos) {
    return {false, "The command line holds a NUL byte", {}};
  }
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return {false, SystemErrorText(::GetLastError()), {}};
  }
  // The thread handle goes at once; the process handle tells when the player ends, and
  // the system frees the process once it has ended and that handle is closed.
  ::CloseHandle(info.hThread);
  return {true, {}, std::make_shared<HandleProgram>(Handle(info.hProcess))};
}

std::optional<std::vector<ProcessSnapshotEntry>> Win32Processes::Snapshot() {
  Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.ok()) return std::nullopt;
  PROCESSENTRY32 process{};
  process.dwSize = sizeof process;
  if (!::Process32First(snapshot.get(), &process)) return std::nullopt;
  std::vector<ProcessSnapshotEntry> entries;
  do {
    ProcessSnapshotEntry entry;
    entry.processId = process.th32ProcessID;
    entry.exeFile = process.szExeFile;
    entries.push_back(std::move(entry));
  } while (::Process32Next(snapshot.get(), &process));
  return entries;
}

std::optional<ModuleInfo> Win32Processes::MainModule(ProcessId id) {
  Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, id));
  if (!snapshot.ok()) return std::nullopt;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  // The system lists a process's executable first among its modules.
  if (!::Module32First(snapshot.get(), &entry)) return std::nullopt;
  return ModuleInfo{entry.szModule, entry.szExePath};
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

namespace {

// Held while the mutex handle is open; the system closes it when the process ends.
class MutexClaim final : public InstanceClaim {
 public:
  explicit MutexClaim(Handle mutex) : mutex_(std::move(mutex)) {}

 private:
  Handle mutex_;
};

// Letters and digits of `text`, ASCII letters in small case; every other byte as %XX,
// so that the name holds no backslash and any text gives one name of its own.
std::string NamePart(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string part;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || byte == '.' ||
        byte == '-' || byte == '_') {
      part += c;
    } else if (byte >= 'A' && byte <= 'Z') {
      part += static_cast<char>(byte - 'A' + 'a');
    } else {
      part += '%';
      part += kHex[byte >> 4];
      part += kHex[byte & 0xf];
    }
  }
  return part;
}

}  // namespace

InstanceResult Win32Processes::ClaimInstance(std::string_view programName) {
  // A named mutex in the session's own namespace ("Local\"): one per logon session and
  // so per user and display; the user's name is part of it too, for a program run as
  // another user in the same session. Creating it is atomic: of two copies started at
  // once, one creates it and the other finds it; it goes with the last handle, when its
  // holder ends.
  char user[257] = {};
  DWORD userLength = sizeof user;
  if (!::GetUserNameA(user, &userLength)) user[0] = '\0';
  std::string name = "Local\\Quorvel.instance." + NamePart(user) + "." + NamePart(programName);
  if (name.size() >= MAX_PATH) name.resize(MAX_PATH - 1);
  Handle mutex(::CreateMutexA(nullptr, FALSE, name.c_str()));
  if (!mutex.ok()) {
    // Another program's object of that name, or no right to it: taken all the same.
    return ::GetLastError() == ERROR_ACCESS_DENIED
               ? InstanceResult{InstanceResult::Outcome::HeldByAnother, nullptr}
               : InstanceResult{};
  }
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    return {InstanceResult::Outcome::HeldByAnother, nullptr};
  }
  return {InstanceResult::Outcome::Claimed, std::make_unique<MutexClaim>(std::move(mutex))};
}

}  // namespace quorvel
