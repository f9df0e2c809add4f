#pragma once
// A registry store that lives only in memory, for tests. It can be told to refuse a
// named key or a named value write, so that the failure paths of the code above the
// store run as they would against a real registry.
//
// Key paths given to its own methods are full paths below a root:
// "Software\Ostrell\Quorvel" means HKEY_CURRENT_USER; "HKEY_LOCAL_MACHINE\SOFTWARE\..."
// names the other root. They compare without regard to ASCII case.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry_store/key_tree_registry.h"

namespace quorvel {

class MemoryRegistry final : public KeyTreeRegistry {
 public:
  MemoryRegistry() = default;

  // Every open or create of this key (and so of every key below it) fails from now on.
  void FailKey(std::string_view keyPath);
  // Every write of value `valueName` in this key fails from now on.
  void FailWrite(std::string_view keyPath, std::string_view valueName);
  // Forgets every failure set above.
  void ClearFailures();

  bool HasKey(std::string_view keyPath) const;
  // The value's stored bytes, or nothing when the key or the value is missing.
  std::optional<std::vector<std::uint8_t>> Value(std::string_view keyPath,
                                                 std::string_view valueName) const;
  std::optional<RegType> ValueType(std::string_view keyPath, std::string_view valueName) const;
  // Names as stored, in store order; empty when the key is missing.
  std::vector<std::string> SubKeyNames(std::string_view keyPath) const;
  std::vector<std::string> ValueNames(std::string_view keyPath) const;

  // Puts a value in place, creating the key; for setting up a test.
  void Put(std::string_view keyPath, std::string_view valueName, RegType type,
           std::vector<std::uint8_t> data);
  void PutDword(std::string_view keyPath, std::string_view valueName, std::uint32_t value);
  // Stored with its terminating NUL, as the program writes texts.
  void PutText(std::string_view keyPath, std::string_view valueName, std::string_view text);

  // Replaces every key with those of a REGEDIT4 or version-5 export (see
  // registry_store/regedit_file.h); false, with the store unchanged, when the text does
  // not parse. Only while no key is open.
  bool LoadRegeditText(std::string_view text);

  // Successful SetValue calls so far.
  std::size_t SetValueCount() const { return setValueCount_; }

  bool SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                std::uint32_t size) override;

 protected:
  bool KeyAllowed(std::string_view fullPath) override;
  bool WriteAllowed(std::string_view keyPath, std::string_view valueName) override;

 private:
  const RegNode* Find(std::string_view keyPath) const;

  std::vector<std::string> failedKeys_;
  std::vector<std::pair<std::string, std::string>> failedWrites_;
  std::size_t setValueCount_ = 0;
};

// "Software\..." becomes "HKEY_CURRENT_USER\Software\..."; a path that starts with a
// root name stays as it is.
std::string FullKeyPath(std::string_view keyPath);

}  // namespace quorvel
