#include "platform/registry_file.h"

#include <cstdio>
#include <vector>

#include "platform/ascii.h"

namespace quorvel {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kMarker =
    "; Quorvel settings store, written whole on every change; it ends with the line \"; end\"";
constexpr std::string_view kTrailer = "; end";
// Hex data is wrapped like the registry editor wraps it: lines of at most this many
// characters, continued with `\` and two blanks.
constexpr std::size_t kHexLineWidth = 76;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimTrailing(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeading(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

// Reads 1 to 8 hex digits that make up the whole of `s`.
bool ParseHexNumber(std::string_view s, std::uint32_t& out) {
  if (s.empty() || s.size() > 8) return false;
  std::uint32_t value = 0;
  for (const char c : s) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return false;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  out = value;
  return true;
}

class Parser {
 public:
  Parser(std::string_view text, RegistryTree& tree) : text_(text), tree_(tree) {}

  RegistryParseResult Run() {
    if (text_.empty()) return Fail(0, "the file is empty");
    if (text_.size() > kMaxRegistryFileSize) return Fail(0, "the file is larger than 64 MiB");
    if (auto fault = CheckBytes(); !fault.ok) return fault;
    SplitLines();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].size() > kMaxRegistryLineLength) {
        return Fail(i + 1, "the line is longer than 65536 bytes");
      }
    }
    if (TrimTrailing(lines_.front()) != kHeader) {
      return Fail(1, "the file does not start with the line REGEDIT4");
    }
    const bool ours = lines_.size() > 1 && lines_[1] == kMarker;
    if (ours && lines_.back() != kTrailer) {
      return Fail(lines_.size(), "the file was cut short: its closing line \"; end\" is missing");
    }
    bool anyKey = false;
    for (index_ = 1; index_ < lines_.size(); ++index_) {
      const std::string_view line = TrimLeading(TrimTrailing(lines_[index_]));
      if (line.empty() || line.front() == ';') continue;
      RegistryParseResult result;
      if (line.front() == '[') {
        result = Section(line);
        anyKey = true;
      } else if (line.front() == '"' || line.front() == '@') {
        result = ValueLine(line);
      } else {
        result = Fail(index_ + 1, "the line is neither a key, a value nor a comment");
      }
      if (!result.ok) return result;
    }
    if (!ours && !anyKey) return Fail(lines_.size(), "the file holds no key");
    RegistryParseResult ok;
    ok.ok = true;
    return ok;
  }

 private:
  static RegistryParseResult Fail(std::size_t line, std::string reason) {
    RegistryParseResult result;
    result.line = line;
    result.reason = std::move(reason);
    return result;
  }

  // Control characters other than tab and line ends mean the file is not text; a
  // missing line end at the end means it was cut short.
  RegistryParseResult CheckBytes() const {
    std::size_t line = 1;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text_[i]);
      if (byte == '\n') {
        ++line;
      } else if (byte == '\r') {
        if (i + 1 >= text_.size() || text_[i + 1] != '\n') {
          return Fail(line, "the file holds a carriage return outside a line end");
        }
      } else if ((byte < 0x20 && byte != '\t') || byte == 0x7f) {
        return Fail(line, "the file holds bytes that are not text");
      }
    }
    if (text_.back() != '\n') return Fail(line, "the file was cut short in the middle of a line");
    return RegistryParseResult{true, 0, {}};
  }

  void SplitLines() {
    std::size_t start = 0;
    while (start < text_.size()) {
      const std::size_t end = text_.find('\n', start);
      std::string_view line = text_.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      start = end + 1;
    }
  }

  RegistryParseResult Section(std::string_view line) {
    if (line.back() != ']') return Fail(index_ + 1, "the key line does not end with ]");
    const std::string_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path.front() == '-') {
      return Fail(index_ + 1, "deleting keys is not supported in the store file");
    }
    if (path.size() > kMaxKeyPathLength) return Fail(index_ + 1, "the key path is too long");
    std::vector<std::string_view> components;
    if (!SplitKeyPath(path, components) || components.empty()) {
      return Fail(index_ + 1, "the key path has an empty name in it");
    }
    RegNode* node = tree_.Root(components.front());
    if (node == nullptr) return Fail(index_ + 1, "the key path starts with an unknown root");
    if (components.size() - 1 > kMaxKeyDepth) {
      return Fail(index_ + 1, "the key path is nested too deeply");
    }
    for (std::size_t i = 1; i < components.size(); ++i) {
      if (!IsValidKeyName(components[i])) {
        return Fail(index_ + 1, "a key name is longer than 255 bytes or holds a tab");
      }
      node = node->AddChild(components[i]);
    }
    current_ = node;
    return RegistryParseResult{true, 0, {}};
  }

  // Reads a quoted string starting at `pos` (on the opening quote); `pos` ends after
  // the closing quote.
  bool QuotedString(std::string_view line, std::size_t& pos, std::string& out,
                    std::string& reason) const {
    ++pos;
    while (pos < line.size()) {
      const char c = line[pos++];
      if (c == '"') return true;
      if (c == '\\') {
        if (pos >= line.size() || (line[pos] != '\\' && line[pos] != '"')) {
          reason = "a text has a \\ that is followed by neither \\ nor \"";
          return false;
        }
        out += line[pos++];
      } else {
        out += c;
      }
    }
    reason = "a text has no closing quote";
    return false;
  }

  RegistryParseResult ValueLine(std::string_view line) {
    const std::size_t lineNumber = index_ + 1;
    std::string name;
    std::size_t pos = 0;
    std::string reason;
    if (line.front() == '@') {
      pos = 1;
    } else if (!QuotedString(line, pos, name, reason)) {
      return Fail(lineNumber, reason);
    }
    if (pos >= line.size() || line[pos] != '=') {
      return Fail(lineNumber, "the value name is not followed by =");
    }
    ++pos;
    if (current_ == nullptr) return Fail(lineNumber, "a value stands before any key");
    if (!IsValidValueName(name)) {
      return Fail(lineNumber, "the value name is too long or holds a tab");
    }
    const std::string_view data = line.substr(pos);

    if (!data.empty() && data.front() == '"') {
      std::string text;
      std::size_t at = 0;
      if (!QuotedString(data, at, text, reason)) return Fail(lineNumber, reason);
      if (at != data.size()) return Fail(lineNumber, "text follows the closing quote");
      if (text.size() + 1 > kMaxValueSize) return Fail(lineNumber, "the value is too large");
      std::vector<std::uint8_t> bytes(text.begin(), text.end());
      bytes.push_back(0);
      current_->SetValue(name, static_cast<std::uint32_t>(1), std::move(bytes));
      return RegistryParseResult{true, 0, {}};
    }
    if (StartsWithIgnoringAsciiCase(data, "dword:")) {
      std::uint32_t value = 0;
      if (!ParseHexNumber(data.substr(6), value)) {
        return Fail(lineNumber, "a dword value is not 1 to 8 hex digits");
      }
      current_->SetValue(
          name, 4,
          {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
           static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
      return RegistryParseResult{true, 0, {}};
    }
    std::uint32_t type = 0;
    std::string_view rest;
    if (StartsWithIgnoringAsciiCase(data, "hex:")) {
      type = 3;
      rest = data.substr(4);
    } else if (StartsWithIgnoringAsciiCase(data, "hex(")) {
      const std::size_t close = data.find("):");
      if (close == std::string_view::npos || !ParseHexNumber(data.substr(4, close - 4), type)) {
        return Fail(lineNumber, "a hex(type) value has no valid type number");
      }
      rest = data.substr(close + 2);
    } else if (data == "-") {
      return Fail(lineNumber, "deleting values is not supported in the store file");
    } else {
      return Fail(lineNumber, "the value has an unknown type");
    }
    std::vector<std::uint8_t> bytes;
    if (!HexList(rest, bytes, reason)) return Fail(index_ + 1, reason);
    current_->SetValue(name, type, std::move(bytes));
    return RegistryParseResult{true, 0, {}};
  }

  // Comma-separated bytes of two hex digits; a line ending in `\` continues on the
  // next line. Moves index_ to the last line used.
  bool HexList(std::string_view rest, std::vector<std::uint8_t>& bytes, std::string& reason) {
    while (true) {
      rest = TrimTrailing(rest);
      const bool continued = !rest.empty() && rest.back() == '\\';
      if (continued) rest = TrimTrailing(rest.substr(0, rest.size() - 1));
      std::size_t pos = 0;
      while (pos < rest.size()) {
        while (pos < rest.size() && IsBlank(rest[pos])) ++pos;
        int value = 0;
        std::size_t digits = 0;
        while (pos < rest.size() && digits < 2 && HexDigitValue(rest[pos]) >= 0) {
          value = value * 16 + HexDigitValue(rest[pos++]);
          ++digits;
        }
        if (digits == 0) {
          reason = "hex data holds something other than two-digit hex bytes";
          return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        if (bytes.size() > kMaxValueSize) {
          reason = "the value is too large";
          return false;
        }
        while (pos < rest.size() && IsBlank(rest[pos])) ++pos;
        if (pos == rest.size()) break;
        if (rest[pos] != ',') {
          reason = "hex bytes are not separated by commas";
          return false;
        }
        ++pos;
      }
      if (!continued) return true;
      if (++index_ >= lines_.size()) {
        --index_;
        reason = "hex data continues past the end of the file";
        return false;
      }
      rest = TrimLeading(lines_[index_]);
    }
  }

  std::string_view text_;
  RegistryTree& tree_;
  std::vector<std::string_view> lines_;
  std::size_t index_ = 0;
  RegNode* current_ = nullptr;
};

void AppendEscaped(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

// A text value is written as "text" only when reading that back gives the same bytes:
// one terminating NUL, no other NUL, no control characters, and a line within bounds.
bool WritableAsText(const RegValue& value) {
  if (value.type != 1 || value.data.empty() || value.data.back() != 0) return false;
  if (value.data.size() * 2 + value.name.size() * 2 + 8 > kMaxRegistryLineLength) return false;
  for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
    const std::uint8_t byte = value.data[i];
    if ((byte < 0x20 && byte != '\t') || byte == 0x7f) return false;
  }
  return true;
}

void AppendValue(std::string& out, const RegValue& value) {
  const std::size_t lineStart = out.size();
  if (value.name.empty()) {
    out += '@';
  } else {
    AppendEscaped(out, value.name);
  }
  out += '=';
  if (WritableAsText(value)) {
    const auto* chars = reinterpret_cast<const char*>(value.data.data());
    AppendEscaped(out, std::string_view(chars, value.data.size() - 1));
    out += '\n';
    return;
  }
  char buffer[32];
  if (value.type == 4 && value.data.size() == 4) {
    const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                 (static_cast<std::uint32_t>(value.data[3]) << 24);
    std::snprintf(buffer, sizeof buffer, "dword:%08x\n", number);
    out += buffer;
    return;
  }
  if (value.type == 3) {
    out += "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
    out += buffer;
  }
  std::size_t column = out.size() - lineStart;
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", value.data[i]);
    std::string item = buffer;
    if (i + 1 < value.data.size()) item += ',';
    if (i > 0 && column + item.size() > kHexLineWidth) {
      out += "\\\n  ";
      column = 2;
    }
    out += item;
    column += item.size();
  }
  out += '\n';
}

void AppendKey(std::string& out, const RegNode& node, bool root) {
  if (!root || !node.values.empty()) {
    out += "\n[";
    out += RegistryTree::FullPath(node);
    out += "]\n";
    for (const auto& value : node.values) AppendValue(out, value);
  }
  for (const auto& child : node.children) AppendKey(out, *child, false);
}

}  // namespace

RegistryParseResult ParseRegistryFile(std::string_view text, RegistryTree& tree) {
  return Parser(text, tree).Run();
}

std::string FormatRegistryFile(const RegistryTree& tree) {
  std::string out;
  out += kHeader;
  out += '\n';
  out += kMarker;
  out += '\n';
  for (const auto& root : tree.Roots()) AppendKey(out, *root, true);
  out += '\n';
  out += kTrailer;
  out += '\n';
  return out;
}

}  // namespace quorvel
