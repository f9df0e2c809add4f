#include "platform/fake/memory_registry.h"

#include <array>
#include <cstring>

#include "registry_store/regedit_file.h"
#include "windows_rules/little_endian.h"

namespace quorvel {

std::string FullKeyPath(std::string_view keyPath) {
  const std::size_t end = keyPath.find('\\');
  const std::string_view first = keyPath.substr(0, end);
  if (IsRootName(first)) return std::string(keyPath);
  std::string full(kCurrentUserRoot);
  if (!keyPath.empty()) {
    full += '\\';
    full += keyPath;
  }
  return full;
}

void MemoryRegistry::FailKey(std::string_view keyPath) {
  failedKeys_.push_back(FullKeyPath(keyPath));
}

void MemoryRegistry::FailWrite(std::string_view keyPath, std::string_view valueName) {
  failedWrites_.emplace_back(FullKeyPath(keyPath), std::string(valueName));
}

void MemoryRegistry::ClearFailures() {
  failedKeys_.clear();
  failedWrites_.clear();
}

bool MemoryRegistry::KeyAllowed(std::string_view fullPath) {
  for (const auto& failed : failedKeys_) {
    if (EqualsIgnoringAsciiCase(failed, fullPath)) return false;
  }
  return true;
}

bool MemoryRegistry::WriteAllowed(std::string_view keyPath, std::string_view valueName) {
  for (const auto& [key, value] : failedWrites_) {
    if (EqualsIgnoringAsciiCase(key, keyPath) && EqualsIgnoringAsciiCase(value, valueName))
      return false;
  }
  return true;
}

bool MemoryRegistry::LoadRegeditText(std::string_view text) {
  KeyTree loaded;
  if (!ParseRegeditFile(text, loaded).ok) return false;
  ReplaceTree(std::move(loaded));
  return true;
}

bool MemoryRegistry::SetValue(RegKey key, std::string_view name, RegType type, const void* data,
                              std::uint32_t size) {
  const bool written = KeyTreeRegistry::SetValue(key, name, type, data, size);
  if (written) ++setValueCount_;
  return written;
}

const RegNode* MemoryRegistry::Find(std::string_view keyPath) const {
  return tree().Find(FullKeyPath(keyPath));
}

bool MemoryRegistry::HasKey(std::string_view keyPath) const { return Find(keyPath) != nullptr; }

std::optional<std::vector<std::uint8_t>> MemoryRegistry::Value(std::string_view keyPath,
                                                               std::string_view valueName) const {
  const RegNode* node = Find(keyPath);
  if (node == nullptr) return std::nullopt;
  const RegValue* value = node->FindValue(valueName);
  if (value == nullptr) return std::nullopt;
  return value->data;
}

std::optional<RegType> MemoryRegistry::ValueType(std::string_view keyPath,
                                                 std::string_view valueName) const {
  const RegNode* node = Find(keyPath);
  if (node == nullptr) return std::nullopt;
  const RegValue* value = node->FindValue(valueName);
  if (value == nullptr) return std::nullopt;
  return static_cast<RegType>(value->type);
}

std::vector<std::string> MemoryRegistry::SubKeyNames(std::string_view keyPath) const {
  std::vector<std::string> names;
  if (const RegNode* node = Find(keyPath)) {
    for (const RegNode& child : node->children) names.push_back(child.name);
  }
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(std::string_view keyPath) const {
  std::vector<std::string> names;
  if (const RegNode* node = Find(keyPath)) {
    for (const RegValue& value : node->values) names.push_back(value.name);
  }
  return names;
}

void MemoryRegistry::Put(std::string_view keyPath, std::string_view valueName, RegType type,
                         std::vector<std::uint8_t> data) {
  std::vector<std::string_view> components;
  const std::string full = FullKeyPath(keyPath);
  if (!SplitKeyPath(full, components) || components.empty()) return;
  RegNode* node = tree().Root(components.front());
  if (node == nullptr) return;
  for (std::size_t i = 1; i < components.size(); ++i) node = node->AddChild(components[i]);
  node->SetValue(valueName, static_cast<std::uint32_t>(type), std::move(data));
}

void MemoryRegistry::PutDword(std::string_view keyPath, std::string_view valueName,
                              std::uint32_t value) {
  const std::array<std::uint8_t, 4> bytes = LittleEndianBytes32(value);
  Put(keyPath, valueName, RegType::Dword, {bytes.begin(), bytes.end()});
}

void MemoryRegistry::PutText(std::string_view keyPath, std::string_view valueName,
                             std::string_view text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  Put(keyPath, valueName, RegType::Sz, std::move(data));
}

}  // namespace quorvel
