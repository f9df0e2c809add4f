#include "windows_rules/profile_strings.h"

#include "windows_rules/disk_names.h"
#include "windows_rules/path_rules.h"

namespace quorvel {

namespace {
std::string CutValue(std::string_view value, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  if (value.size() > bufferSize - 1) value = value.substr(0, bufferSize - 1);
  return std::string(value);
}

// A list of names, each followed by a NUL, as it lands in the caller's buffer: when
// the list and its final NUL do not fit, it is cut to two bytes less than the buffer,
// which leaves room for the two NULs that end a cut list.
template <typename Range, typename NameOf>
std::string NameList(const Range& items, NameOf nameOf, std::size_t bufferSize) {
  std::string list;
  for (const auto& item : items) {
    list.append(nameOf(item));
    list.push_back('\0');
    if (list.size() + 1 > bufferSize) break;
  }
  if (list.size() + 1 > bufferSize) list.resize(bufferSize < 2 ? 0 : bufferSize - 2);
  return list;
}
}  // namespace

ProfileStrings::ProfileStrings(std::string_view text) {
  Section* current = nullptr;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimBlanks(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::string_view name = line.substr(1);
      const std::size_t close = name.rfind(']');
      if (close != std::string_view::npos) name = name.substr(0, close);
      sections_.push_back(Section{std::string(TrimBlanks(name)), {}});
      current = &sections_.back();
      continue;
    }
    if (current == nullptr) continue;
    const std::size_t equals = line.find('=');
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    if (key.empty()) continue;
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(equals + 1));
    current->entries.push_back(Entry{std::string(key), std::string(value)});
  }
}

const ProfileStrings::Section* ProfileStrings::FindSection(std::string_view name) const {
  for (const auto& section : sections_) {
    if (EqualsIgnoringAsciiCase(section.name, name)) return &section;
  }
  return nullptr;
}

std::string ProfileStrings::Get(std::optional<std::string_view> section,
                                std::optional<std::string_view> key, std::string_view defaultValue,
                                std::size_t bufferSize) const {
  if (!section) {
    if (sections_.empty()) return CutValue(defaultValue, bufferSize);
    return NameList(
        sections_, [](const Section& s) -> const std::string& { return s.name; }, bufferSize);
  }
  const Section* found = FindSection(*section);
  if (found == nullptr) return CutValue(defaultValue, bufferSize);
  if (!key) {
    if (found->entries.empty()) return CutValue(defaultValue, bufferSize);
    return NameList(
        found->entries, [](const Entry& e) -> const std::string& { return e.key; }, bufferSize);
  }
  for (const auto& entry : found->entries) {
    if (!EqualsIgnoringAsciiCase(entry.key, *key)) continue;
    std::string_view value = entry.value;
    value = value.substr(0, value.find('\0'));
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return CutValue(value, bufferSize);
  }
  return CutValue(defaultValue, bufferSize);
}

std::vector<std::string> ProfileStrings::SplitNameList(std::string_view list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = list.find('\0', start);
    const std::string_view name =
        list.substr(start, (end == std::string_view::npos ? list.size() : end) - start);
    if (name.empty()) break;
    names.emplace_back(name);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return names;
}

}  // namespace quorvel
