#pragma once
// The Registry operations over a KeyTree, shared by the in-memory store and the
// store file. What a store refuses (a key it cannot open, a value it cannot write) and
// what it does when the last handle closes are its own; this class asks it through the
// hooks below.
//
// Semantics follow the Windows registry: a handle to a key that was deleted stays
// valid for CloseKey only; every other call on it fails.

#include <cstddef>
#include <memory>
#include <unordered_map>

#include "platform/registry.h"
#include "registry_store/key_tree.h"

namespace quorvel {

class KeyTreeRegistry : public Registry {
 public:
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

  // Open handles, the roots not counted.
  std::size_t OpenKeyCount() const { return handles_.size(); }

 protected:
  KeyTreeRegistry() = default;

  // May the key with this full path ("HKEY_CURRENT_USER\...") be opened or created?
  virtual bool KeyAllowed(std::string_view /*fullPath*/) { return true; }
  // May this value be written?
  virtual bool WriteAllowed(std::string_view /*keyPath*/, std::string_view /*valueName*/) {
    return true;
  }
  // Called when the last open handle was closed.
  virtual void LastKeyClosed() {}

  KeyTree& tree() { return tree_; }
  const KeyTree& tree() const { return tree_; }
  // Replaces the whole tree; only while no handle is open.
  void ReplaceTree(KeyTree tree) { tree_ = std::move(tree); }

  // Whether anything changed since the last MarkClean.
  bool dirty() const { return dirty_; }
  void MarkClean() { dirty_ = false; }
  void MarkDirty() { dirty_ = true; }

 private:
  std::shared_ptr<RegNode> Resolve(RegKey key) const;
  RegNode* Walk(RegKey parent, std::string_view subKey, bool create);
  RegKey NewHandle(RegNode* node);

  KeyTree tree_;
  std::unordered_map<RegKey, std::shared_ptr<RegNode>> handles_;
  RegKey nextHandle_ = 16;
  bool dirty_ = false;
};

}  // namespace quorvel
