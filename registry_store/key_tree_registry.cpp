#include "registry_store/key_tree_registry.h"

#include <cstring>
#include <vector>

namespace quorvel {

std::shared_ptr<RegNode> KeyTreeRegistry::Resolve(RegKey key) const {
  std::shared_ptr<RegNode> node;
  if (key == kCurrentUser) {
    RegNode* root = tree_.Root(kCurrentUserRoot);
    if (root != nullptr) node = root->shared_from_this();
  } else if (key == kLocalMachine) {
    RegNode* root = tree_.Root(kLocalMachineRoot);
    if (root != nullptr) node = root->shared_from_this();
  } else if (const auto it = handles_.find(key); it != handles_.end()) {
    node = it->second;
  }
  if (node == nullptr || node->deleted) return nullptr;
  return node;
}

RegNode* KeyTreeRegistry::Walk(RegKey parent, std::string_view subKey, bool create) {
  const auto start = Resolve(parent);
  if (start == nullptr) return nullptr;
  std::vector<std::string_view> components;
  if (!SplitKeyPath(subKey, components)) return nullptr;
  RegNode* node = start.get();
  std::string path = KeyTree::FullPath(*node);
  // The root itself is checked too: a store may refuse a whole root.
  if (!KeyAllowed(path)) return nullptr;
  for (const auto component : components) {
    path += '\\';
    path += component;
    if (!KeyAllowed(path)) return nullptr;
    RegNode* child = node->FindChild(component);
    if (child == nullptr) {
      if (!create || !IsValidKeyName(component) || node->Depth() + 1 > kMaxKeyDepth ||
          path.size() > kMaxKeyPathLength) {
        return nullptr;
      }
      child = node->AddChild(component);
      dirty_ = true;
    }
    node = child;
  }
  return node;
}

RegKey KeyTreeRegistry::NewHandle(RegNode* node) {
  const RegKey handle = nextHandle_++;
  handles_.emplace(handle, node->shared_from_this());
  return handle;
}

RegKey KeyTreeRegistry::CreateKey(RegKey parent, std::string_view subKey) {
  RegNode* node = Walk(parent, subKey, /*create=*/true);
  return node == nullptr ? kNoKey : NewHandle(node);
}

RegKey KeyTreeRegistry::OpenKey(RegKey parent, std::string_view subKey) {
  RegNode* node = Walk(parent, subKey, /*create=*/false);
  return node == nullptr ? kNoKey : NewHandle(node);
}

std::optional<std::uint32_t> KeyTreeRegistry::QueryValue(RegKey key, std::string_view name,
                                                         void* buffer, std::uint32_t capacity) {
  const auto node = Resolve(key);
  if (node == nullptr) return std::nullopt;
  const RegValue* value = node->FindValue(name);
  if (value == nullptr || value->data.size() > capacity) return std::nullopt;
  if (!value->data.empty()) std::memcpy(buffer, value->data.data(), value->data.size());
  return static_cast<std::uint32_t>(value->data.size());
}

bool KeyTreeRegistry::SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                               std::uint32_t size) {
  const auto node = Resolve(key);
  if (node == nullptr || !IsValidValueName(name) || size > kMaxValueSize) return false;
  if (size > 0 && data == nullptr) return false;
  if (!WriteAllowed(KeyTree::FullPath(*node), name)) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  node->SetValue(name, static_cast<std::uint32_t>(type),
                 std::vector<std::uint8_t>(bytes, bytes + size));
  dirty_ = true;
  return true;
}

bool KeyTreeRegistry::SetDefaultValue(RegKey key, std::string_view name, RegType type,
                                      const void* data, std::uint32_t size) {
  const auto node = Resolve(key);
  if (node == nullptr) return false;
  if (node->FindValue(name) != nullptr) return true;
  if (!SetValue(key, name, type, data, size)) return false;
  // Marked, so that merging it into a file that holds the value by then keeps the file's.
  node->FindValue(name)->onlyWhereMissing = true;
  return true;
}

bool KeyTreeRegistry::DeleteValue(RegKey key, std::string_view name) {
  const auto node = Resolve(key);
  if (node == nullptr || !node->RemoveValue(name)) return false;
  dirty_ = true;
  return true;
}

std::optional<std::string> KeyTreeRegistry::EnumKey(RegKey key, std::uint32_t index) {
  const auto node = Resolve(key);
  if (node == nullptr || index >= node->children.size()) return std::nullopt;
  const std::string& childName = node->children[index].name;
  if (childName.size() + 1 > kKeyNameBufferSize) return std::nullopt;
  return childName;
}

bool KeyTreeRegistry::DeleteKey(RegKey parent, std::string_view subKey) {
  RegNode* node = Walk(parent, subKey, /*create=*/false);
  if (node == nullptr || node->parent == nullptr) return false;  // roots stay
  if (!node->parent->RemoveChild(node->name)) return false;
  dirty_ = true;
  return true;
}

void KeyTreeRegistry::CloseKey(RegKey key) {
  if (handles_.erase(key) > 0 && handles_.empty()) LastKeyClosed();
}

}  // namespace quorvel
