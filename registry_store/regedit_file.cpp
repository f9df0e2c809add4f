#include "registry_store/regedit_file.h"

#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "windows_rules/ascii.h"
#include "windows_rules/little_endian.h"
#include "windows_rules/text_encoding.h"

namespace quorvel {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kMarker =
    "; Quorvel settings store, written whole on every change; it ends with the line \"; end\"";
constexpr std::string_view kTrailer = "; end";
constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16LeMark = "\xff\xfe";
constexpr std::string_view kUtf16BeMark = "\xfe\xff";
constexpr std::string_view kUtf8Mark = "\xef\xbb\xbf";
// Value types whose data a version-5 export holds as UTF-16LE text: REG_SZ,
// REG_EXPAND_SZ and REG_MULTI_SZ.
constexpr std::uint32_t kSz = 1;
constexpr std::uint32_t kExpandSz = 2;
constexpr std::uint32_t kMultiSz = 7;
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

std::string NoWindows1252Byte(char32_t code) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
  return std::string("the character ") + hex +
         " has no Windows-1252 byte (the settings hold Windows-1252 texts)";
}

// Appends the Windows-1252 byte of `code`, counting line feeds on in `line`; a
// character without such a byte is refused with its reason.
bool AppendWindows1252(char32_t code, std::string& out, std::size_t& line, std::string& reason) {
  const std::optional<char> byte = Windows1252FromCodePoint(code);
  if (!byte) {
    reason = NoWindows1252Byte(code);
    return false;
  }
  if (*byte == '\n') ++line;
  out += *byte;
  return true;
}

// Windows-1252 bytes from UTF-16LE code units. `line` is counted on with every line
// feed; on a fault `reason` says what is wrong at `line`.
bool Utf16LeToWindows1252(std::string_view bytes, std::string& out, std::size_t& line,
                          std::string& reason) {
  if (bytes.size() % 2 != 0) {
    reason = "the UTF-16 text ends in the middle of a character";
    return false;
  }
  out.reserve(out.size() + bytes.size() / 2);
  const auto unitAt = [&](std::size_t i) {
    return static_cast<char32_t>(LoadLittleEndian16(bytes.data() + i));
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t code = unitAt(i);
    if (code >= 0xD800 && code <= 0xDFFF) {
      const char32_t low = i + 3 < bytes.size() ? unitAt(i + 2) : 0;
      if (code >= 0xDC00 || low < 0xDC00 || low > 0xDFFF) {
        reason = "the UTF-16 text holds a broken character (a lone surrogate)";
        return false;
      }
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    if (!AppendWindows1252(code, out, line, reason)) return false;
  }
  return true;
}

// Windows-1252 bytes from UTF-8, as Utf16LeToWindows1252.
bool Utf8ToWindows1252(std::string_view bytes, std::string& out, std::size_t& line,
                       std::string& reason) {
  out.reserve(out.size() + bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    std::size_t length = 1;
    char32_t code = lead;
    if (lead >= 0x80) {
      length = (lead & 0xE0) == 0xC0   ? 2
               : (lead & 0xF0) == 0xE0 ? 3
               : (lead & 0xF8) == 0xF0 ? 4
                                       : 0;
      if (length == 0 || i + length > bytes.size() || !IsValidUtf8(bytes.substr(i, length))) {
        reason = "the UTF-8 text holds a byte sequence that is not UTF-8";
        return false;
      }
      code = lead & (0x7F >> length);
      for (std::size_t k = 1; k < length; ++k) {
        code = (code << 6) | (static_cast<std::uint8_t>(bytes[i + k]) & 0x3F);
      }
    }
    if (!AppendWindows1252(code, out, line, reason)) return false;
    i += length;
  }
  return true;
}

class Parser {
 public:
  Parser(std::string_view text, KeyTree& tree) : text_(text), tree_(tree) {}

  RegeditParseResult Run() {
    if (text_.empty()) return Fail(0, "the file is empty");
    if (text_.size() > kMaxRegistryFileSize) return Fail(0, "the file is larger than 64 MiB");
    if (auto fault = Decode(); !fault.ok) return fault;
    if (auto fault = CheckBytes(); !fault.ok) return fault;
    std::string_view line;
    NextLine(line);
    const std::string_view header = TrimTrailing(line);
    version5_ = header == kVersion5Header;
    if (header != kHeader && !version5_) {
      return Fail(1, "the file starts with neither the line REGEDIT4 nor the line " +
                         std::string(kVersion5Header));
    }
    const std::size_t bodyStart = next_;
    const bool ours = !version5_ && NextLine(line) && line == kMarker;
    next_ = bodyStart;
    lineNumber_ = 1;
    if (ours && LastLine() != kTrailer) {
      return Fail(lineCount_, "the file was cut short: its closing line \"; end\" is missing");
    }
    bool anyKey = false;
    while (NextLine(line)) {
      line = TrimLeading(TrimTrailing(line));
      if (line.empty() || line.front() == ';') continue;
      RegeditParseResult result;
      if (line.front() == '[') {
        result = Section(line);
        anyKey = true;
      } else if (line.front() == '"' || line.front() == '@') {
        result = ValueLine(line);
      } else {
        result = Fail(lineNumber_, "the line is neither a key, a value nor a comment");
      }
      if (!result.ok) return result;
    }
    if (!ours && !anyKey) return Fail(lineCount_, "the file holds no key");
    RegeditParseResult ok;
    ok.ok = true;
    return ok;
  }

 private:
  static RegeditParseResult Fail(std::size_t line, std::string reason) {
    RegeditParseResult result;
    result.line = line;
    result.reason = std::move(reason);
    return result;
  }

  // The next line without its line end, counted in lineNumber_; false past the last.
  // The text ends with a line end (CheckBytes).
  bool NextLine(std::string_view& line) {
    if (next_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', next_);
    line = text_.substr(next_, end - next_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    next_ = end + 1;
    ++lineNumber_;
    return true;
  }

  std::string_view LastLine() const {
    std::string_view body = text_.substr(0, text_.size() - 1);
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    const std::size_t start = body.rfind('\n');
    return start == std::string_view::npos ? body : body.substr(start + 1);
  }

  // The registry editor of today exports in UTF-16LE with a byte-order mark; such
  // files, and version-5 files in UTF-8, are read as the Windows-1252 text the store
  // holds. Anything else is taken byte for byte.
  RegeditParseResult Decode() {
    std::size_t line = 1;
    std::string reason;
    bool ok = true;
    if (text_.starts_with(kUtf16LeMark)) {
      ok = Utf16LeToWindows1252(text_.substr(kUtf16LeMark.size()), decoded_, line, reason);
    } else if (text_.starts_with(kUtf16BeMark)) {
      return Fail(1, "the file is in UTF-16 big-endian, which the registry editor does not write");
    } else if (text_.starts_with(kUtf8Mark)) {
      ok = Utf8ToWindows1252(text_.substr(kUtf8Mark.size()), decoded_, line, reason);
    } else if (text_.starts_with(kVersion5Header) && IsValidUtf8(text_)) {
      ok = Utf8ToWindows1252(text_, decoded_, line, reason);
    } else {
      return RegeditParseResult{true, 0, {}};
    }
    if (!ok) return Fail(line, reason);
    if (decoded_.empty()) return Fail(0, "the file is empty");
    text_ = decoded_;
    return RegeditParseResult{true, 0, {}};
  }

  // Control characters other than tab and line ends mean the file is not text; a
  // missing line end at the end means it was cut short. Counts the lines.
  RegeditParseResult CheckBytes() {
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text_[i]);
      if (byte == '\n') {
        const std::size_t length = i - lineStart - (i > lineStart && text_[i - 1] == '\r');
        if (length > kMaxRegistryLineLength) {
          return Fail(line, "the line is longer than 65536 bytes");
        }
        ++line;
        lineStart = i + 1;
      } else if (byte == '\r') {
        if (i + 1 >= text_.size() || text_[i + 1] != '\n') {
          return Fail(line, "the file holds a carriage return outside a line end");
        }
      } else if ((byte < 0x20 && byte != '\t') || byte == 0x7f) {
        return Fail(line, "the file holds bytes that are not text");
      }
    }
    if (text_.back() != '\n') {
      if (text_.size() - lineStart > kMaxRegistryLineLength) {
        return Fail(line, "the line is longer than 65536 bytes");
      }
      return Fail(line, "the file was cut short in the middle of a line");
    }
    lineCount_ = line - 1;
    return RegeditParseResult{true, 0, {}};
  }

  RegeditParseResult Section(std::string_view line) {
    if (line.back() != ']') return Fail(lineNumber_, "the key line does not end with ]");
    const std::string_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path.front() == '-') {
      return Fail(lineNumber_, "deleting keys is not supported in the store file");
    }
    if (path.size() > kMaxKeyPathLength) return Fail(lineNumber_, "the key path is too long");
    // Keys of a file mostly follow their siblings: the parent found for the key before
    // is taken again without walking down from the root.
    const std::size_t lastSeparator = path.rfind('\\');
    if (lastSeparator != std::string_view::npos && parent_ != nullptr &&
        path.substr(0, lastSeparator) == parentPath_) {
      const std::string_view name = path.substr(lastSeparator + 1);
      if (name.empty()) return Fail(lineNumber_, "the key path has an empty name in it");
      if (!IsValidKeyName(name)) {
        return Fail(lineNumber_, "a key name is longer than 255 bytes or holds a tab");
      }
      current_ = parent_->AddChild(name);
      return RegeditParseResult{true, 0, {}};
    }
    std::vector<std::string_view>& components = components_;
    if (!SplitKeyPath(path, components) || components.empty()) {
      return Fail(lineNumber_, "the key path has an empty name in it");
    }
    RegNode* node = tree_.Root(components.front());
    if (node == nullptr) return Fail(lineNumber_, "the key path starts with an unknown root");
    if (components.size() - 1 > kMaxKeyDepth) {
      return Fail(lineNumber_, "the key path is nested too deeply");
    }
    for (std::size_t i = 1; i < components.size(); ++i) {
      if (!IsValidKeyName(components[i])) {
        return Fail(lineNumber_, "a key name is longer than 255 bytes or holds a tab");
      }
      if (i + 1 == components.size()) {
        parent_ = node;
        parentPath_.assign(path.substr(0, lastSeparator));
      }
      node = node->AddChild(components[i]);
    }
    current_ = node;
    return RegeditParseResult{true, 0, {}};
  }

  // Reads a quoted string starting at `pos` (on the opening quote) onto the end of
  // `out`; `pos` ends after the closing quote.
  template <typename Out>
  bool QuotedString(std::string_view line, std::size_t& pos, Out& out, std::string& reason) const {
    ++pos;
    while (pos < line.size()) {
      const char c = line[pos++];
      if (c == '"') return true;
      if (c == '\\') {
        if (pos >= line.size() || (line[pos] != '\\' && line[pos] != '"')) {
          reason = "a text has a \\ that is followed by neither \\ nor \"";
          return false;
        }
        out.push_back(static_cast<typename Out::value_type>(line[pos++]));
      } else {
        out.push_back(static_cast<typename Out::value_type>(c));
      }
    }
    reason = "a text has no closing quote";
    return false;
  }

  RegeditParseResult ValueLine(std::string_view line) {
    const std::size_t lineNumber = lineNumber_;
    std::string& name = name_;
    name.clear();
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
      std::vector<std::uint8_t> bytes;
      bytes.reserve(data.size());  // at most that many, so it never grows
      std::size_t at = 0;
      if (!QuotedString(data, at, bytes, reason)) return Fail(lineNumber, reason);
      if (at != data.size()) return Fail(lineNumber, "text follows the closing quote");
      if (bytes.size() + 1 > kMaxValueSize) return Fail(lineNumber, "the value is too large");
      bytes.push_back(0);
      current_->SetValue(name, static_cast<std::uint32_t>(1), std::move(bytes));
      return RegeditParseResult{true, 0, {}};
    }
    if (StartsWithIgnoringAsciiCase(data, "dword:")) {
      std::uint32_t value = 0;
      if (!ParseHexNumber(data.substr(6), value)) {
        return Fail(lineNumber, "a dword value is not 1 to 8 hex digits");
      }
      const std::array<std::uint8_t, 4> bytes = LittleEndianBytes32(value);
      current_->SetValue(name, 4, {bytes.begin(), bytes.end()});
      return RegeditParseResult{true, 0, {}};
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
    if (!HexList(rest, bytes, reason)) return Fail(lineNumber_, reason);
    if (version5_ && (type == kSz || type == kExpandSz || type == kMultiSz)) {
      // Text in UTF-16LE: held as the Windows-1252 bytes the program reads texts in.
      std::string text;
      std::size_t ignored = 0;
      if (!Utf16LeToWindows1252(
              std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text,
              ignored, reason)) {
        return Fail(lineNumber, reason);
      }
      bytes.assign(text.begin(), text.end());
    }
    current_->SetValue(name, type, std::move(bytes));
    return RegeditParseResult{true, 0, {}};
  }

  // Comma-separated bytes of two hex digits; a line ending in `\` continues on the
  // next line. Moves on to the last line used.
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
      std::string_view next;
      if (!NextLine(next)) {
        reason = "hex data continues past the end of the file";
        return false;
      }
      rest = TrimLeading(next);
    }
  }

  std::string_view text_;
  std::string decoded_;  // the text in Windows-1252 when the file was in another form
  bool version5_ = false;
  KeyTree& tree_;
  std::size_t next_ = 0;        // where the next line starts
  std::size_t lineNumber_ = 0;  // of the line read last, from 1
  std::size_t lineCount_ = 0;
  RegNode* current_ = nullptr;
  RegNode* parent_ = nullptr;  // of current_ (nullptr for a root), and its path as written
  std::string parentPath_;
  // Kept from line to line so that reading a line allocates nothing for them.
  std::string name_;
  std::vector<std::string_view> components_;
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
    const std::uint32_t number = LoadLittleEndian32(value.data.data());
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
  constexpr std::string_view kDigits = "0123456789abcdef";
  std::size_t column = out.size() - lineStart;
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    const bool last = i + 1 == value.data.size();
    const std::size_t width = last ? 2 : 3;
    if (i > 0 && column + width > kHexLineWidth) {
      out += "\\\n  ";
      column = 2;
    }
    out += kDigits[value.data[i] >> 4];
    out += kDigits[value.data[i] & 0xF];
    if (!last) out += ',';
    column += width;
  }
  out += '\n';
}

// `path` is the key's full path; building it as the walk goes down keeps writing
// linear in the size of the tree.
void AppendKey(std::string& out, const RegNode& node, std::string& path, bool root) {
  if (!root || !node.values.empty()) {
    out += "\n[";
    out += path;
    out += "]\n";
    for (const RegValue& value : node.values) AppendValue(out, value);
  }
  const std::size_t length = path.size();
  for (const RegNode& child : node.children) {
    path += '\\';
    path += child.name;
    AppendKey(out, child, path, false);
    path.resize(length);
  }
}

}  // namespace

RegeditParseResult ParseRegeditFile(std::string_view text, KeyTree& tree) {
  return Parser(text, tree).Run();
}

std::string FormatRegeditFile(const KeyTree& tree) {
  std::string out;
  out += kHeader;
  out += '\n';
  out += kMarker;
  out += '\n';
  for (const auto& root : tree.Roots()) {
    std::string path = root->name;
    AppendKey(out, *root, path, true);
  }
  out += '\n';
  out += kTrailer;
  out += '\n';
  return out;
}

}  // namespace quorvel
