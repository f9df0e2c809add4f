#pragma once
// The data of a registry store: roots, keys in creation order, named values with a type
// and raw bytes. Both the in-memory store and the store file keep their keys in this
// tree; the file form reads and writes it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii.h"

namespace quorvel {

// Bounds the Windows registry also has; the store refuses names and data beyond them,
// so that everything it holds can be written back and read again.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;
inline constexpr std::size_t kMaxKeyDepth = 512;
// A full key path ("HKEY_CURRENT_USER\...") is kept short enough for one line of the
// store file.
inline constexpr std::size_t kMaxKeyPathLength = 32767;
inline constexpr std::size_t kMaxValueSize = 1024 * 1024;

inline constexpr std::string_view kCurrentUserRoot = "HKEY_CURRENT_USER";
inline constexpr std::string_view kLocalMachineRoot = "HKEY_LOCAL_MACHINE";

// Key names: 1..kMaxKeyNameLength bytes, no `\`, no control characters.
bool IsValidKeyName(std::string_view name);
// Value names: up to kMaxValueNameLength bytes, no control characters ("" is the
// key's default value).
bool IsValidValueName(std::string_view name);

struct RegValue {
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct RegNode : std::enable_shared_from_this<RegNode> {
  std::string name;
  RegNode* parent = nullptr;  // nullptr for a root
  bool deleted = false;       // set when removed from the tree while a handle held it
  std::vector<RegValue> values;
  std::vector<std::shared_ptr<RegNode>> children;  // creation order

  RegNode* FindChild(std::string_view childName) const;
  // The existing child, or a new one appended at the end.
  RegNode* AddChild(std::string_view childName);
  RegValue* FindValue(std::string_view valueName);
  const RegValue* FindValue(std::string_view valueName) const;
  // Replaces the value's type and data, keeping the first spelling of its name.
  void SetValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data);
  bool RemoveValue(std::string_view valueName);
  // Removes a child without sub-keys of its own; marks it deleted.
  bool RemoveChild(std::string_view childName);
  std::size_t Depth() const;  // 0 for a root
};

class RegistryTree {
 public:
  // The roots the Windows registry has, all empty.
  RegistryTree();
  RegistryTree(const RegistryTree&) = delete;
  RegistryTree& operator=(const RegistryTree&) = delete;
  RegistryTree(RegistryTree&&) = default;
  RegistryTree& operator=(RegistryTree&&) = default;

  // A root by its name ("HKEY_CURRENT_USER"), case-insensitive; nullptr if unknown.
  RegNode* Root(std::string_view name) const;
  const std::vector<std::shared_ptr<RegNode>>& Roots() const { return roots_; }

  // A key by its full path ("HKEY_CURRENT_USER\Software\..."); nullptr if missing.
  RegNode* Find(std::string_view fullPath) const;

  // "HKEY_CURRENT_USER\Software\...", with the names as stored.
  static std::string FullPath(const RegNode& node);

 private:
  std::vector<std::shared_ptr<RegNode>> roots_;
};

// True for the name of one of the roots ("HKEY_CURRENT_USER", ...), any case.
bool IsRootName(std::string_view name);

// Splits "a\b\c" into its components; false for an empty component.
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& components);

}  // namespace quorvel
