#pragma once
// Reading INI-style profile text the way the Windows profile-string call answers:
// section and key names compared without regard to ASCII case, values trimmed of white
// space and of one pair of enclosing quotes, and every answer cut to the caller's
// buffer size.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class ProfileStrings {
 public:
  // Parses `text`. Lines end at a line feed (a carriage return before it is white
  // space). "[name]" starts a section (name trimmed; without the closing bracket the
  // rest of the line is the name); "key=value" and a bare "key" (empty value) are
  // entries of the current section; lines before the first section, empty lines and
  // lines starting with ';' are ignored.
  explicit ProfileStrings(std::string_view text);

  // What the Windows call puts into a zero-filled buffer of `bufferSize` bytes,
  // up to the count it returns (the list's final NUL and the buffer's zero tail are
  // not part of the result):
  // - no section: every section name, each followed by a NUL, in file order;
  // - a section, no key: every key name of that section, each followed by a NUL;
  // - both: the key's value up to its first NUL, trimmed, one pair of enclosing '"'
  //   or '\'' quotes removed.
  // A value longer than bufferSize - 1 bytes is cut to bufferSize - 1; a list that does
  // not fit with its final NUL is cut to bufferSize - 2 bytes, so its last name may be
  // cut short. A missing section or key gives `defaultValue`, cut the same way. Only
  // the first section of a name counts, and within it the first key of a name.
  std::string Get(std::optional<std::string_view> section, std::optional<std::string_view> key,
                  std::string_view defaultValue, std::size_t bufferSize) const;

  // The names of a NUL-separated list as Get returns it, up to the first empty name.
  static std::vector<std::string> SplitNameList(std::string_view list);

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> sections_;
};

}  // namespace quorvel
