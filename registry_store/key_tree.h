#pragma once
// The data of a registry store: roots, keys in creation order, named values with a type
// and raw bytes. Both the in-memory store and the store file keep their keys in this
// tree; the file form reads and writes it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "windows_rules/ascii.h"

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
  // Set by a default that fills a gap (Registry::SetDefaultValue): replaying it into a
  // tree that holds a value of this name keeps that value.
  bool onlyWhereMissing = false;
};

// Holds an item in place where NamedList expects a pointer to it, so that the values
// of a key lie in one block of memory rather than one allocation each.
template <typename T>
class InPlace {
 public:
  using element_type = T;
  InPlace() = default;
  InPlace(std::nullptr_t) {}  // as a pointer converts from nullptr
  explicit InPlace(T item) : item_(std::move(item)) {}
  InPlace& operator=(std::nullptr_t) {
    item_.reset();
    return *this;
  }
  T* get() const { return item_ ? &*item_ : nullptr; }
  T* operator->() const { return get(); }
  T& operator*() const { return *item_; }
  bool operator==(std::nullptr_t) const { return !item_; }

 private:
  mutable std::optional<T> item_;  // mutable as a pointer's target is
};

// A hash of a name that ignores the case of ASCII letters.
std::uint32_t NameHash(std::string_view name);

// Items that carry a `name`, kept in the order they were added and found by name
// without regard to ASCII case in constant time, so that a key with many values or
// sub-keys loads in time linear in their number. The index is one flat table (open
// addressing), which keeps a large key's look-ups within few cache lines; a short list
// has none and compares the cached hashes of its few names. A removed
// item leaves a hole that iteration skips; the holes are closed when an item is asked
// for by its position, or when they make up half of the list.
template <typename Pointer>
class NamedList {
  struct Slot {
    Pointer item;          // nullptr for a hole
    std::uint32_t hash{};  // of the item's name
  };

 public:
  using Item = typename Pointer::element_type;

  class Iterator {
   public:
    using At = typename std::vector<Slot>::const_iterator;
    Iterator(At at, At end) : at_(at), end_(end) { SkipHoles(); }
    Item& operator*() const { return *at_->item; }
    Item* operator->() const { return at_->item.get(); }
    Iterator& operator++() {
      ++at_;
      SkipHoles();
      return *this;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    void SkipHoles() {
      while (at_ != end_ && at_->item == nullptr) ++at_;
    }
    At at_;
    At end_;
  };

  std::size_t size() const { return slots_.size() - holes_; }
  bool empty() const { return size() == 0; }

  Item* Find(std::string_view name) const {
    const std::size_t position = FindPosition(name);
    return position == kNone ? nullptr : slots_[position].item.get();
  }

  // The item of this name, or a new one that `make` returns appended at the end; one
  // look-up either way. `inserted` tells which.
  template <typename Make>
  Item* FindOrAppend(std::string_view name, Make&& make, bool& inserted) {
    const std::uint32_t hash = NameHash(name);
    inserted = false;
    if (table_.empty()) {
      if (const std::size_t position = FindSmall(name, hash); position != kNone) {
        return slots_[position].item.get();
      }
    } else if (const std::size_t entry = FindEntry(name, hash); entry != kNone) {
      return slots_[table_[entry].position].item.get();
    }
    inserted = true;
    return Append(make(), hash);
  }

  // Appends `item`, whose name the list must not hold yet.
  Item* Append(Pointer item) {
    const std::uint32_t hash = NameHash(item->name);
    return Append(std::move(item), hash);
  }

  // Takes the item out of the list; nullptr when there is none of that name.
  Pointer Remove(std::string_view name) {
    const std::uint32_t hash = NameHash(name);
    std::size_t position = kNone;
    if (table_.empty()) {
      position = FindSmall(name, hash);
    } else if (const std::size_t entry = FindEntry(name, hash); entry != kNone) {
      position = table_[entry].position;
      table_[entry].position = kErased;
    }
    if (position == kNone) return nullptr;
    Pointer item = std::move(slots_[position].item);
    slots_[position].item = nullptr;
    ++holes_;
    return item;
  }

  // Gives an item another spelling of its name (the same name in other letter case,
  // so its hash stays).
  void Respell(std::string_view name, std::string spelling) {
    if (!EqualsIgnoringAsciiCase(name, spelling)) return;
    if (Item* item = Find(name)) item->name = std::move(spelling);
  }

  // The item at `position` in the order of adding.
  Item& operator[](std::size_t position) const {
    if (holes_ > 0) Compact();
    return *slots_[position].item;
  }

  // The item at `position` counting the holes (nullptr for a hole), for walking a list
  // while it grows at its end: positions move only when the holes are closed.
  std::size_t SlotCount() const { return slots_.size(); }
  Item* SlotAt(std::size_t position) const { return slots_[position].item.get(); }
  // The position of the item of this name counting the holes, or kNone.
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t SlotOf(std::string_view name) const { return FindPosition(name); }

  Iterator begin() const { return Iterator(slots_.begin(), slots_.end()); }
  Iterator end() const { return Iterator(slots_.end(), slots_.end()); }

 private:
  struct Entry {
    std::uint32_t hash = 0;
    std::uint32_t position = kEmpty;
  };
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
  static constexpr std::uint32_t kErased = 0xFFFFFFFE;
  // Lists up to this long have no table: their cached hashes are compared one by one.
  static constexpr std::size_t kSmall = 8;

  Item* Append(Pointer item, std::uint32_t hash) {
    if (holes_ > slots_.size() / 2) Compact();
    if (slots_.empty()) slots_.reserve(kSmall / 2);
    slots_.push_back(Slot{std::move(item), hash});
    Item* added = slots_.back().item.get();
    if (slots_.size() <= kSmall) return added;
    if ((used_ + 1) * 2 > table_.size()) {
      Rebuild();  // takes in the new slot too
    } else {
      Insert(hash, static_cast<std::uint32_t>(slots_.size() - 1));
      ++used_;
    }
    return added;
  }

  std::size_t FindPosition(std::string_view name) const {
    const std::uint32_t hash = NameHash(name);
    if (table_.empty()) return FindSmall(name, hash);
    const std::size_t entry = FindEntry(name, hash);
    return entry == kNone ? kNone : table_[entry].position;
  }

  std::size_t FindSmall(std::string_view name, std::uint32_t hash) const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      const Slot& slot = slots_[i];
      if (slot.hash == hash && slot.item != nullptr &&
          EqualsIgnoringAsciiCase(slot.item->name, name)) {
        return i;
      }
    }
    return kNone;
  }

  std::size_t FindEntry(std::string_view name, std::uint32_t hash) const {
    if (table_.empty()) return kNone;
    const std::size_t mask = table_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Entry& entry = table_[at];
      if (entry.position == kEmpty) return kNone;
      if (entry.position != kErased && entry.hash == hash &&
          EqualsIgnoringAsciiCase(slots_[entry.position].item->name, name)) {
        return at;
      }
    }
  }

  void Insert(std::uint32_t hash, std::uint32_t position) const {
    const std::size_t mask = table_.size() - 1;
    std::size_t at = hash & mask;
    while (table_[at].position != kEmpty) at = (at + 1) & mask;
    table_[at] = Entry{hash, position};
  }

  // A table at most about half full (so a probe ends soon at an empty entry), of
  // every slot that is not a hole; none for a small list.
  void Rebuild() const {
    used_ = 0;
    if (slots_.size() <= kSmall) {
      table_.clear();
      table_.shrink_to_fit();
      return;
    }
    std::size_t capacity = 16;
    while (capacity < size() * 3) capacity *= 2;
    table_.assign(capacity, Entry{});
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      if (slots_[i].item == nullptr) continue;
      Insert(slots_[i].hash, static_cast<std::uint32_t>(i));
      ++used_;
    }
  }

  void Compact() const {
    std::size_t kept = 0;
    for (auto& slot : slots_) {
      if (slot.item != nullptr) slots_[kept++] = std::move(slot);
    }
    slots_.resize(kept);
    holes_ = 0;
    Rebuild();
  }

  // Mutable: closing the holes changes no item and no order.
  mutable std::vector<Slot> slots_;
  mutable std::vector<Entry> table_;  // a power of two in size, or none
  mutable std::size_t used_ = 0;      // entries of the table in use or erased
  mutable std::size_t holes_ = 0;
};

struct RegNode : std::enable_shared_from_this<RegNode> {
  std::string name;
  RegNode* parent = nullptr;            // nullptr for a root
  bool deleted = false;                 // set when removed from the tree while a handle held it
  NamedList<InPlace<RegValue>> values;  // creation order
  NamedList<std::shared_ptr<RegNode>> children;  // creation order

  RegNode* FindChild(std::string_view childName) const { return children.Find(childName); }
  // The existing child, or a new one appended at the end.
  RegNode* AddChild(std::string_view childName);
  RegValue* FindValue(std::string_view valueName) { return values.Find(valueName); }
  const RegValue* FindValue(std::string_view valueName) const { return values.Find(valueName); }
  // Replaces the value's type and data, keeping the first spelling of its name.
  void SetValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data);
  bool RemoveValue(std::string_view valueName) { return values.Remove(valueName) != nullptr; }
  // Removes a child without sub-keys of its own; marks it deleted.
  bool RemoveChild(std::string_view childName);
  // Removes a child with everything below it; marks them all deleted.
  bool RemoveChildTree(std::string_view childName);
  std::size_t Depth() const;  // 0 for a root
};

class KeyTree {
 public:
  // The roots the Windows registry has, all empty.
  KeyTree();
  KeyTree(const KeyTree&) = delete;
  KeyTree& operator=(const KeyTree&) = delete;
  KeyTree(KeyTree&&) = default;
  KeyTree& operator=(KeyTree&&) = default;

  // A root by its name ("HKEY_CURRENT_USER"), case-insensitive; nullptr if unknown.
  RegNode* Root(std::string_view name) const;
  const std::vector<std::shared_ptr<RegNode>>& Roots() const { return roots_; }

  // A key by its full path ("HKEY_CURRENT_USER\Software\..."); nullptr if missing.
  RegNode* Find(std::string_view fullPath) const;

  // A copy of every key and value.
  KeyTree Clone() const;

  // "HKEY_CURRENT_USER\Software\...", with the names as stored.
  static std::string FullPath(const RegNode& node);

 private:
  std::vector<std::shared_ptr<RegNode>> roots_;
};

// Makes in `target` the changes that lead from `before` to `after`, so that changes
// made elsewhere to `target` in the meantime stay:
// - a value that is new or different in `after` is set, one missing there is deleted; a
//   value that only fills a gap (RegValue::onlyWhereMissing) is set only where `target`
//   has no value of its name;
// - a key that is new in `after` is created, one missing there is deleted with
//   everything below it;
// - a key that is in `before` and `after` but no longer in `target` (deleted elsewhere)
//   stays deleted, unless something in it changed from `before` to `after`: then it is
//   created again with everything `after` holds in it;
// - a key name spelt anew in `after` takes that spelling in `target`.
// New keys and values go after those `target` holds. Returns how many changes altered
// `target` (none when it holds every change already). Time grows linearly with the
// size of the three trees.
std::size_t ReplayChanges(const KeyTree& before, const KeyTree& after, KeyTree& target);

// True for the name of one of the roots ("HKEY_CURRENT_USER", ...), any case.
bool IsRootName(std::string_view name);

// Splits "a\b\c" into its components; false for an empty component.
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& components);

}  // namespace quorvel
