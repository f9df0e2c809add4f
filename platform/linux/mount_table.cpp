#include "platform/linux/mount_table.h"

#include <charconv>

#include "windows_rules/disk_names.h"

namespace quorvel {

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

template <typename OnLine>
void ForEachLine(std::string_view text, OnLine onLine) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    onLine(text.substr(start, end - start));
    start = end + 1;
  }
}

bool ParseNumber(std::string_view text, std::uint32_t& value) {
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && ptr == text.data() + text.size();
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string UnescapeOctal(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
        isOctal(field[i + 2]) && isOctal(field[i + 3])) {
      const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      out.push_back(static_cast<char>(value & 0xFF));
      i += 3;
      continue;
    }
    out.push_back(field[i]);
  }
  return out;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> table;
  ForEachLine(text, [&](std::string_view line) {
    const std::vector<std::string_view> fields = SplitFields(line);
    // id parent major:minor root mount-point options [optional...] - type source super
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (dash + 2 >= fields.size()) return;
    MountEntry entry;
    const std::string_view devices = fields[2];
    const std::size_t colon = devices.find(':');
    if (colon == std::string_view::npos || !ParseNumber(devices.substr(0, colon), entry.major) ||
        !ParseNumber(devices.substr(colon + 1), entry.minor)) {
      return;
    }
    entry.mountPoint = UnescapeOctal(fields[4]);
    entry.fsType = UnescapeOctal(fields[dash + 1]);
    entry.source = UnescapeOctal(fields[dash + 2]);
    if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') return;
    table.push_back(std::move(entry));
  });
  return table;
}

std::vector<FstabEntry> ParseFstab(std::string_view text) {
  std::vector<FstabEntry> table;
  ForEachLine(text, [&](std::string_view line) {
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() < 3 || fields[0].front() == '#') return;
    FstabEntry entry{UnescapeOctal(fields[0]), UnescapeOctal(fields[1]), UnescapeOctal(fields[2])};
    if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') return;
    table.push_back(std::move(entry));
  });
  return table;
}

bool IsComponentPrefix(std::string_view prefix, std::string_view path) {
  while (prefix.size() > 1 && prefix.back() == '/') prefix.remove_suffix(1);
  if (prefix == "/") return !path.empty() && path.front() == '/';
  if (path.substr(0, prefix.size()) != prefix) return false;
  return path.size() == prefix.size() || path[prefix.size()] == '/';
}

const MountEntry* FindMountFor(const std::vector<MountEntry>& table, std::string_view path) {
  const MountEntry* best = nullptr;
  for (const auto& entry : table) {
    if (!IsComponentPrefix(entry.mountPoint, path)) continue;
    if (best == nullptr || entry.mountPoint.size() >= best->mountPoint.size()) best = &entry;
  }
  return best;
}

bool IsOpticalDeviceName(std::string_view name) {
  if (name.size() < 3 || name.substr(0, 2) != "sr") return false;
  for (char c : name.substr(2)) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsOpticalFstabEntry(const FstabEntry& entry) {
  for (std::string_view type : {"iso9660", "udf"}) {
    // "udf,iso9660" lists several types.
    std::string_view types = entry.fsType;
    std::size_t start = 0;
    while (start <= types.size()) {
      std::size_t end = types.find(',', start);
      if (end == std::string_view::npos) end = types.size();
      if (EqualsIgnoringAsciiCase(types.substr(start, end - start), type)) return true;
      start = end + 1;
    }
  }
  const std::string_view source = entry.source;
  if (source.substr(0, 5) != "/dev/") return false;
  const std::string_view base = BaseName(source);
  return IsOpticalDeviceName(base) || base.substr(0, 5) == "cdrom" || base.substr(0, 3) == "dvd" ||
         base.substr(0, 4) == "cdrw";
}

}  // namespace quorvel
