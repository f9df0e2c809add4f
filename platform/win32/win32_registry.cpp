#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvel {

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

// The service's fixed root handles stand for the system's predefined keys; every other
// RegKey is an HKEY the system handed out. Those are handle values, multiples of four,
// so they never collide with the roots 1 and 2.
HKEY ToHkey(RegKey key) {
  switch (key) {
    case kCurrentUser:
      return HKEY_CURRENT_USER;
    case kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    default:
      return reinterpret_cast<HKEY>(key);
  }
}

bool IsRoot(RegKey key) { return key == kCurrentUser || key == kLocalMachine; }

// The registry functions take NUL-terminated names; a name holding a NUL byte would
// name another key or value than the one asked for.
bool ToName(std::string_view text, std::string& name) {
  if (text.find('\0') != std::string_view::npos) return false;
  name.assign(text);
  return true;
}

}  // namespace

RegKey Win32Registry::CreateKey(RegKey parent, std::string_view subKey) {
  std::string name;
  if (parent == kNoKey || !ToName(subKey, name)) return kNoKey;
  HKEY key = nullptr;
  if (::RegCreateKeyExA(ToHkey(parent), name.c_str(), 0, nullptr, 0, kAccess, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    return kNoKey;
  }
  return reinterpret_cast<RegKey>(key);
}

RegKey Win32Registry::OpenKey(RegKey parent, std::string_view subKey) {
  std::string name;
  if (parent == kNoKey || !ToName(subKey, name)) return kNoKey;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(ToHkey(parent), name.c_str(), 0, kAccess, &key) != ERROR_SUCCESS) {
    return kNoKey;
  }
  return reinterpret_cast<RegKey>(key);
}

std::optional<std::uint32_t> Win32Registry::QueryValue(RegKey key, std::string_view name,
                                                       void* buffer, std::uint32_t capacity) {
  std::string valueName;
  if (key == kNoKey || !ToName(name, valueName)) return std::nullopt;
  // The system leaves the buffer undefined when the data does not fit; the caller's
  // buffer is promised to stay as it was, so the data goes through a copy.
  std::vector<BYTE> data(capacity == 0 ? 1 : capacity);
  DWORD got = capacity;
  if (::RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, nullptr, data.data(), &got) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (got > capacity) return std::nullopt;
  if (got > 0) std::memcpy(buffer, data.data(), got);
  return got;
}

bool Win32Registry::SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                             std::uint32_t size) {
  std::string valueName;
  if (key == kNoKey || !ToName(name, valueName)) return false;
  return ::RegSetValueExA(ToHkey(key), valueName.c_str(), 0, static_cast<DWORD>(type),
                          static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool Win32Registry::SetDefaultValue(RegKey key, std::string_view name, RegType type,
                                    const void* data, std::uint32_t size) {
  std::string valueName;
  if (key == kNoKey || !ToName(name, valueName)) return false;
  // The registry itself is shared: what is there now is what another program stored.
  if (::RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) ==
      ERROR_SUCCESS) {
    return true;
  }
  return SetValue(key, name, type, data, size);
}

bool Win32Registry::DeleteValue(RegKey key, std::string_view name) {
  std::string valueName;
  if (key == kNoKey || !ToName(name, valueName)) return false;
  return ::RegDeleteValueA(ToHkey(key), valueName.c_str()) == ERROR_SUCCESS;
}

std::optional<std::string> Win32Registry::EnumKey(RegKey key, std::uint32_t index) {
  if (key == kNoKey) return std::nullopt;
  char buffer[kKeyNameBufferSize];
  DWORD length = kKeyNameBufferSize;
  if (::RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer, length);
}

bool Win32Registry::DeleteKey(RegKey parent, std::string_view subKey) {
  std::string name;
  // An empty name would delete the parent itself.
  if (parent == kNoKey || subKey.empty() || !ToName(subKey, name)) return false;
  return ::RegDeleteKeyA(ToHkey(parent), name.c_str()) == ERROR_SUCCESS;
}

void Win32Registry::CloseKey(RegKey key) {
  if (key == kNoKey || IsRoot(key)) return;
  ::RegCloseKey(ToHkey(key));
}

}  // namespace quorvel
