#include "registry_store/key_tree.h"

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
  value->onlyWhereMissing = false;
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

KeyTree::KeyTree() {
  for (const auto name : kRootNames) {
    auto root = std::make_shared<RegNode>();
    root->name = std::string(name);
    roots_.push_back(std::move(root));
  }
}

RegNode* KeyTree::Root(std::string_view name) const {
  for (const auto& root : roots_) {
    if (EqualsIgnoringAsciiCase(root->name, name)) return root.get();
  }
  return nullptr;
}

RegNode* KeyTree::Find(std::string_view fullPath) const {
  std::vector<std::string_view> components;
  if (!SplitKeyPath(fullPath, components) || components.empty()) return nullptr;
  RegNode* node = Root(components.front());
  for (std::size_t i = 1; node != nullptr && i < components.size(); ++i) {
    node = node->FindChild(components[i]);
  }
  return node;
}

namespace {

void CopyBelow(const RegNode& from, RegNode& into) {
  for (const RegValue& value : from.values) into.SetValue(value.name, value.type, value.data);
  for (const RegNode& child : from.children) CopyBelow(child, *into.AddChild(child.name));
}

}  // namespace

KeyTree KeyTree::Clone() const {
  KeyTree copy;
  for (std::size_t i = 0; i < roots_.size(); ++i) CopyBelow(*roots_[i], *copy.roots_[i]);
  return copy;
}

std::string KeyTree::FullPath(const RegNode& node) {
  std::vector<const RegNode*> chain;
  for (const RegNode* at = &node; at != nullptr; at = at->parent) chain.push_back(at);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty()) path += '\\';
    path += (*it)->name;
  }
  return path;
}

namespace {

bool SameValue(const RegValue& a, const RegValue& b) {
  return a.type == b.type && a.data == b.data;
}

// Finds the items of a list by name while another list is walked: the lists of the
// trees a replay compares mostly hold the same names in the same order, so the item
// looked for is mostly the next one, which costs no look-up and keeps the walk through
// memory in order; after an item found elsewhere the walk goes on behind it. The list
// may grow at its end meanwhile.
template <typename List>
class Cursor {
 public:
  using Item = typename List::Item;
  explicit Cursor(const List* list) : list_(list) {}

  Item* Find(std::string_view name) {
    if (list_ == nullptr) return nullptr;
    while (at_ < list_->SlotCount() && list_->SlotAt(at_) == nullptr) ++at_;
    if (at_ < list_->SlotCount() && EqualsIgnoringAsciiCase(list_->SlotAt(at_)->name, name)) {
      return list_->SlotAt(at_++);
    }
    const std::size_t found = list_->SlotOf(name);
    if (found == List::kNone) return nullptr;
    at_ = found + 1;
    return list_->SlotAt(found);
  }

 private:
  const List* list_;
  std::size_t at_ = 0;
};

// Whether anything in or below `after` differs from `before`, spellings of key names
// included.
bool SubtreeChanged(const RegNode& before, const RegNode& after) {
  if (before.name != after.name || before.values.size() != after.values.size() ||
      before.children.size() != after.children.size()) {
    return true;
  }
  Cursor values(&before.values);
  for (const RegValue& value : after.values) {
    const RegValue* old = values.Find(value.name);
    if (old == nullptr || !SameValue(*old, value)) return true;
  }
  Cursor children(&before.children);
  for (const RegNode& child : after.children) {
    const RegNode* old = children.Find(child.name);
    if (old == nullptr || SubtreeChanged(*old, child)) return true;
  }
  return false;
}

class Replay {
 public:
  std::size_t changes = 0;

  // `before` is nullptr for a key that `after` created.
  void Node(const RegNode* before, const RegNode& after, RegNode& target) {
    Cursor beforeValues(before != nullptr ? &before->values : nullptr);
    Cursor targetValues(&target.values);
    for (const RegValue& value : after.values) {
      const RegValue* old = beforeValues.Find(value.name);
      if (old == nullptr || !SameValue(*old, value)) Set(target, targetValues, value);
    }
    Cursor beforeChildren(before != nullptr ? &before->children : nullptr);
    Cursor targetChildren(&target.children);
    for (const RegNode& child : after.children) {
      const RegNode* old = beforeChildren.Find(child.name);
      RegNode* into = targetChildren.Find(child.name);
      if (into == nullptr) {
        // Deleted elsewhere: it comes back only when it changed here, and then whole.
        if (old != nullptr && !SubtreeChanged(*old, child)) continue;
        into = target.AddChild(child.name);
        ++changes;
        old = nullptr;
      } else if ((old == nullptr || old->name != child.name) && into->name != child.name) {
        target.children.Respell(child.name, child.name);
        ++changes;
      }
      Node(old, child, *into);
    }
    if (before == nullptr) return;
    Cursor afterValues(&after.values);
    for (const RegValue& value : before->values) {
      if (afterValues.Find(value.name) == nullptr && target.RemoveValue(value.name)) ++changes;
    }
    Cursor afterChildren(&after.children);
    for (const RegNode& child : before->children) {
      if (afterChildren.Find(child.name) == nullptr && target.RemoveChildTree(child.name)) {
        ++changes;
      }
    }
  }

 private:
  template <typename Values>
  void Set(RegNode& target, Values& present, const RegValue& value) {
    const RegValue* now = present.Find(value.name);
    if (now != nullptr && (value.onlyWhereMissing || SameValue(*now, value))) return;
    target.SetValue(value.name, value.type, value.data);
    ++changes;
  }
};

}  // namespace

std::size_t ReplayChanges(const KeyTree& before, const KeyTree& after, KeyTree& target) {
  Replay replay;
  for (const auto& root : after.Roots()) {
    RegNode* into = target.Root(root->name);
    if (into != nullptr) replay.Node(before.Root(root->name), *root, *into);
  }
  return replay.changes;
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
