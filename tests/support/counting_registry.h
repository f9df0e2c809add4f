#pragma once
// Passes every call to a real in-memory store and counts the saves of the settings
// record: each save writes the value "FullScreen" exactly once.

#include "platform/fake/memory_registry.h"
#include "windows_rules/ascii.h"

namespace quorvel::testing {

class CountingRegistry final : public Registry {
 public:
  RegKey CreateKey(RegKey parent, std::string_view subKey) override {
    return store.CreateKey(parent, subKey);
  }
  RegKey OpenKey(RegKey parent, std::string_view subKey) override {
    return store.OpenKey(parent, subKey);
  }
  std::optional<std::uint32_t> QueryValue(RegKey key, std::string_view name, void* buffer,
                                          std::uint32_t capacity) override {
    return store.QueryValue(key, name, buffer, capacity);
  }
  bool SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                std::uint32_t size) override {
    if (EqualsIgnoringAsciiCase(name, "FullScreen")) ++saves;
    return store.SetValue(key, name, type, data, size);
  }
  bool SetDefaultValue(RegKey key, std::string_view name, RegType type, const void* data,
                       std::uint32_t size) override {
    if (name.size() == 10 && strncasecmp(name.data(), "FullScreen", 10) == 0) ++saves;
    return store.SetDefaultValue(key, name, type, data, size);
  }
  bool DeleteValue(RegKey key, std::string_view name) override {
    return store.DeleteValue(key, name);
  }
  std::optional<std::string> EnumKey(RegKey key, std::uint32_t index) override {
    return store.EnumKey(key, index);
  }
  bool DeleteKey(RegKey parent, std::string_view subKey) override {
    return store.DeleteKey(parent, subKey);
  }
  void CloseKey(RegKey key) override { store.CloseKey(key); }
  bool Flush() override { return store.Flush(); }

  MemoryRegistry store;
  int saves = 0;
};

}  // namespace quorvel::testing
