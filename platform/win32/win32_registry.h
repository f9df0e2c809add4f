#pragma once
// The registry service over the Windows registry itself: HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE as the system has them, through the ANSI registry functions.

#include "platform/registry.h"

namespace quorvel {

class Win32Registry final : public Registry {
 public:
  // Every key is opened with read and write access, as the program always asks.
  RegKey CreateKey(RegKey parent, std::string_view subKey) override;
  RegKey OpenKey(RegKey parent, std::string_view subKey) override;
  std::optional<std::uint32_t> QueryValue(RegKey key, std::string_view name, void* buffer,
                                          std::uint32_t capacity) override;
  bool SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                std::uint32_t size) override;
  bool SetDefaultValue(RegKey key, std::string_view name, RegType type, const void* data,
                       std::uint32_t size) override;
  bool DeleteValue(RegKey key, std::string_view name) override;
  std::optional<std::string> EnumKey(RegKey key, std::uint32_t index) override;
  bool DeleteKey(RegKey parent, std::string_view subKey) override;
  void CloseKey(RegKey key) override;
};

}  // namespace quorvel
