#pragma once
// Helpers of the Windows backend tests: paths from the build, programs run to their
// end with their output, the registry read directly through the system's functions.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace quorvel::testing {

// A path that CMake gave as the build host sees it ("/work/build/x.exe") as Windows
// names it. Wine maps the host's root to drive Z:; a Windows path stays as it is,
// with its separators made backslashes.
inline std::string WinPath(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '/', '\\');
  if (!out.empty() && out.front() == '\\' && (out.size() < 2 || out[1] != '\\')) out = "Z:" + out;
  return out;
}

struct ProgramRun {
  bool started = false;
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error together
};

// Runs `commandLine` to its end (at most `limitMs`), collecting what it prints.
inline ProgramRun RunProgram(const std::string& commandLine, DWORD limitMs = 60000) {
  ProgramRun run;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION info{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  run.started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &info) != FALSE;
  ::CloseHandle(writeEnd);
  if (run.started) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      run.output.append(buffer, got);
    }
    ::WaitForSingleObject(info.hProcess, limitMs);
    ::GetExitCodeProcess(info.hProcess, &run.exitCode);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
  }
  ::CloseHandle(readEnd);
  return run;
}

// Every value below a registry key, by "SUBKEY\\PATH|NAME" (the key's own values with
// an empty path): type and data. Names are compared without regard to case by the
// registry, so they are kept in upper case here.
using RegistryDump = std::map<std::string, std::pair<DWORD, std::vector<std::uint8_t>>>;

inline std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

inline void DumpKey(HKEY key, const std::string& path, RegistryDump& dump) {
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameLength = sizeof name;
    DWORD type = 0;
    std::vector<std::uint8_t> data(1 << 16);
    DWORD dataLength = static_cast<DWORD>(data.size());
    if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data.data(), &dataLength) !=
        ERROR_SUCCESS) {
      break;
    }
    data.resize(dataLength);
    dump[Upper(path + "|" + std::string(name, nameLength))] = {type, data};
  }
  std::vector<std::string> children;
  for (DWORD index = 0;; ++index) {
    char name[1024];
    DWORD nameLength = sizeof name;
    if (::RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    children.emplace_back(name, nameLength);
  }
  for (const std::string& child : children) {
    HKEY sub = nullptr;
    if (::RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    DumpKey(sub, path.empty() ? child : path + "\\" + child, dump);
    ::RegCloseKey(sub);
  }
}

// The dump of `root`\`keyPath`; empty when the key is missing.
inline RegistryDump DumpRegistry(HKEY root, const std::string& keyPath) {
  RegistryDump dump;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return dump;
  DumpKey(key, "", dump);
  ::RegCloseKey(key);
  return dump;
}

// Removes `root`\`keyPath` with everything below it.
inline void DeleteRegistryTree(HKEY root, const std::string& keyPath) {
  ::RegDeleteTreeA(root, keyPath.c_str());
  ::RegDeleteKeyA(root, keyPath.c_str());
}

}  // namespace quorvel::testing
