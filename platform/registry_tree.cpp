#include "platform/registry_tree.h"

#include <algorithm>
#include <array>

namespace quorvel {
namespace {

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7f;
}

constexpr std::array<std::string_view, 5> kRootNames = {
    "HKEY_CLASSES_ROOT", kCurrentUserRoot, kLocalMachineRoot, "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

}  // namespace

bool IsRootName(std::string_view name) {
  return std::any_of(kRootNames.begin(), kRootNames.end(),
                     [&](std::string_view root) { return EqualsIgnoringAsciiCase(root, name); });
}

bool IsValidKeyName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxKeyNameLength &&
         std::none_of(name.begin(), name.end(), [](char c) { return c == '\\' || IsControl(c); });
}

bool IsValidValueName(std::string_view name) {
  return name.size() <= kMaxValueNameLength && std::none_of(name.begin(), name.end(), IsControl);
}

std::uint32_t NameHash(std::string_view name) {
  // FNV-1a over the lower-cased bytes.
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(LowerAscii(c));
    hash *= 16777619u;
  }
  return hash;
}

RegNode* RegNode::AddChild(std::string_view childName) {
  bool inserted = false;
  return children.FindOrAppend(
      childName,
      [&] {
        auto child = std::make_shared<RegNode>();
        child->name = std::string(childName);
        child->parent = this;
        return child;
      },
      inserted);
}

void RegNode::SetValue(std::string_view valueName, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
  bool inserted = false;
  RegValue* value = values.FindOrAppend(
      valueName,
      [&] {
        return InPlace<RegValue>(RegValue{std::string(valueName), 0, {}});
      },
      inserted);
  value->type = type;
  value->data = std::move(data);
}

bool RegNode::RemoveChild(std::string_view childName) {
  const RegNode* child = FindChild(childName);
  if (child == nullptr || !child->children.empty()) return false;
  return RemoveChildTree(childName);
}

namespace {

void MarkDeleted(RegNode& node) {
  node.deleted = true;
  for (RegNode& child : node.children) MarkDeleted(child);
}

}  // namespace

bool RegNode::RemoveChildTree(std::string_view childName) {
  const std::shared_ptr<RegNode> child = children.Remove(childName);
  if (child == nullptr) return false;
  MarkDeleted(*child);
  child->parent = nullptr;
  return true;
}

std::size_t RegNode::Depth() const {
  std::size_t depth = 0;
  for (const RegNode* node = parent; node != nullptr; node = node->parent) ++depth;
  return depth;
}

RegistryTree::RegistryTree() {
  for (const auto name : kRootNames) {
    auto root = std::make_shared<RegNode>();
    root->name = std::string(name);
    roots_.push_back(std::move(root));
  }
}

RegNode* RegistryTree::Root(std::string_view name) const {
  for (const auto& root : roots_) {
    if (EqualsIgnoringAsciiCase(root->name, name)) return root.get();
  }
  return nullptr;
}

RegNode* RegistryTree::Find(std::string_view fullPath) const {
  std::vector<std::string_view> components;
  if (!SplitKeyPath(fullPath, components) || components.empty()) return nullptr;
  RegNode* node = Root(components.front());
  for (std::size_t i = 1; node != nullptr && i < components.size(); ++i) {
    node = node->FindChild(components[i]);
  }
  return node;
}

std::string RegistryTree::FullPath(const RegNode& node) {
  std::vector<const RegNode*> chain;
  for (const RegNode* at = &node; at != nullptr; at = at->parent) chain.push_back(at);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty()) path += '\\';
    path += (*it)->name;
  }
  return path;
}

bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& components) {
  components.clear();
  if (path.empty()) return true;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view part =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (part.empty()) return false;
    components.push_back(part);
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

}  // namespace quorvel
