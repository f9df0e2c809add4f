#include "platform/win32/win32_private_files.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

// windows.h names the system's ReplaceFileA "ReplaceFile"; this file defines the
// service's own call of that name.
#undef ReplaceFile

namespace quorvel {

namespace {

constexpr const char* kFolderName = "Quorvel";
// How many names the temporary file may try before giving up.
constexpr int kTemporaryNameAttempts = 100;

bool IsRealFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// The user's local application-data folder ("C:\Users\NAME\AppData\Local"): it belongs
// to the user alone and is never roamed to other machines.
std::string LocalAppData() {
  char path[MAX_PATH] = {};
  if (SUCCEEDED(
          ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return path;
  }
  DWORD n = ::GetEnvironmentVariableA("LOCALAPPDATA", path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

}  // namespace

std::string Win32PrivateFiles::Folder() {
  const std::string base = LocalAppData();
  if (base.empty()) return kFolderName;
  std::string folder = base + "\\" + kFolderName;
  // A folder that cannot be made, or a link put there by someone else (which would send
  // the playlists elsewhere), makes ReplaceFile fail there.
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool Win32PrivateFiles::ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::size_t separator = path.find_last_of("\\/");
  const std::string folder =
      separator == std::string::npos ? std::string(".") : path.substr(0, separator);
  const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  if (name.empty() || path.find('\0') != std::string::npos || !IsRealFolder(folder)) return false;

  static std::atomic<unsigned> counter{0};
  std::string temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && file == INVALID_HANDLE_VALUE;
       ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%lu.%u.tmp", ::GetCurrentProcessId(),
                  counter.fetch_add(1));
    temporary = folder + "\\" + name + suffix;
    file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    ok = ::WriteFile(file, bytes.data() + done, want, &written, nullptr) && written > 0;
    done += written;
  }
  ok = ::FlushFileBuffers(file) && ok;
  ok = ::CloseHandle(file) && ok;
  // Replaces a link at `path` itself, never what it points to.
  ok = ok && ::MoveFileExA(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) ::DeleteFileA(temporary.c_str());
  return ok;
}

}  // namespace quorvel
