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

RegNode* RegNode::FindChild(std::string_view childName) const {
  for (const auto& child : children) {
    if (EqualsIgnoringAsciiCase(child->name, childName)) return child.get();
  }
  return nullptr;
}

RegNode* RegNode::AddChild(std::string_view childName) {
  if (RegNode* existing = FindChild(childName)) return existing;
  auto child = std::make_shared<RegNode>();
  child->name = std::string(childName);
  child->parent = this;
  children.push_back(child);
  return child.get();
}

RegValue* RegNode::FindValue(std::string_view valueName) {
  for (auto& value : values) {
    if (EqualsIgnoringAsciiCase(value.name, valueName)) return &value;
  }
  return nullptr;
}

const RegValue* RegNode::FindValue(std::string_view valueName) const {
  for (const auto& value : values) {
    if (EqualsIgnoringAsciiCase(value.name, valueName)) return &value;
  }
  return nullptr;
}

void RegNode::SetValue(std::string_view valueName, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
  if (RegValue* existing = FindValue(valueName)) {
    existing->type = type;
    existing->data = std::move(data);
    return;
  }
  values.push_back(RegValue{std::string(valueName), type, std::move(data)});
}

bool RegNode::RemoveValue(std::string_view valueName) {
  const auto it = std::find_if(values.begin(), values.end(), [&](const RegValue& value) {
    return EqualsIgnoringAsciiCase(value.name, valueName);
  });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

bool RegNode::RemoveChild(std::string_view childName) {
  const auto it = std::find_if(children.begin(), children.end(), [&](const auto& child) {
    return EqualsIgnoringAsciiCase(child->name, childName);
  });
  if (it == children.end() || !(*it)->children.empty()) return false;
  (*it)->deleted = true;
  (*it)->parent = nullptr;
  children.erase(it);
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
