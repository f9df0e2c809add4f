#pragma once
// The registry store: a tree of keys holding named values, as the Windows registry
// has it. Keys are named by paths with `\` between components; key and value names
// compare without regard to ASCII case and keep the spelling they were created with.
// Sub-keys enumerate in a stable order (creation order).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Value types, with the numbers the Windows registry gives them.
enum class RegType : std::uint32_t {
  None = 0,
  Sz = 1,
  Binary = 3,
  Dword = 4,
};

// An open key. 0 is no key; the two roots are fixed handles that are never closed.
using RegKey = std::uintptr_t;
inline constexpr RegKey kNoKey = 0;
inline constexpr RegKey kCurrentUser = 1;   // HKEY_CURRENT_USER
inline constexpr RegKey kLocalMachine = 2;  // HKEY_LOCAL_MACHINE

// The size of the name buffer that enumeration hands out, terminating NUL included.
inline constexpr std::uint32_t kKeyNameBufferSize = 1024;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `subKey` (one or more components) below `parent`, creating every missing
  // component. Returns the open key, or kNoKey on failure.
  virtual RegKey CreateKey(RegKey parent, std::string_view subKey) = 0;

  // Opens an existing key only. Returns kNoKey when it is missing or on failure.
  virtual RegKey OpenKey(RegKey parent, std::string_view subKey) = 0;

  // Copies a value's data into `buffer`, which holds `capacity` bytes, and returns how
  // many bytes were copied. The stored type is not looked at. nullopt, with `buffer`
  // untouched, when the value is missing or its data is longer than `capacity`.
  virtual std::optional<std::uint32_t> QueryValue(RegKey key, std::string_view name, void* buffer,
                                                  std::uint32_t capacity) = 0;

  // Writes a value of `type` with `size` bytes of `data`, replacing any value of the
  // same name (the first spelling of the name is kept).
  virtual bool SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                        std::uint32_t size) = 0;

  // Writes a value as SetValue does, but only where the key has no value of that name:
  // a default that fills a gap and never replaces a value. A store that merges its
  // changes into a file that other programs change too makes this change there only if
  // the file still lacks the value when the change is merged, so that a value another
  // program stored meanwhile is kept. True when the key holds the value afterwards,
  // written now or there already.
  virtual bool SetDefaultValue(RegKey key, std::string_view name, RegType type, const void* data,
                               std::uint32_t size) = 0;

  // Deletes a value; fails when it is not there.
  virtual bool DeleteValue(RegKey key, std::string_view name) = 0;

  // The name of the sub-key at `index`; nullopt past the last sub-key, and for a name
  // that does not fit the kKeyNameBufferSize buffer with its NUL.
  virtual std::optional<std::string> EnumKey(RegKey key, std::uint32_t index) = 0;

  // Deletes the sub-key `subKey` of `parent`, with its values. Fails when it is
  // missing or still has sub-keys of its own.
  virtual bool DeleteKey(RegKey parent, std::string_view subKey) = 0;

  // Closes an open key. The roots and kNoKey are ignored.
  virtual void CloseKey(RegKey key) = 0;

  // A store that keeps its keys outside memory writes its changes when the last open
  // key is closed; Flush writes whatever is still unwritten now (after a failed write,
  // say). True when nothing is left unwritten.
  virtual bool Flush() { return true; }
};

// Closes its key when it goes out of scope.
class ScopedKey {
 public:
  ScopedKey(Registry& registry, RegKey key) : registry_(&registry), key_(key) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() { Close(); }

  RegKey get() const { return key_; }
  explicit operator bool() const { return key_ != kNoKey; }
  void Close() {
    if (key_ != kNoKey) registry_->CloseKey(key_);
    key_ = kNoKey;
  }

 private:
  Registry* registry_;
  RegKey key_;
};

}  // namespace quorvel
