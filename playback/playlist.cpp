#include "playback/playlist.h"

#include <array>
#include <optional>

#include "platform/native_path.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "windows_rules/path_rules.h"
#include "windows_rules/text_encoding.h"

namespace quorvel {

namespace {

// Writes one movie's entry with `path` (absolute, or "" for a movie without a file);
// false, writing nothing, when the path cannot be written so that a reader of the
// format gets back exactly this one entry.
using EntryWriter = bool (*)(std::string& out, const Movie& movie, std::string_view path);

// One row per playlist type that has a file format.
struct PlaylistFormat {
  PlaylistType type;
  std::string_view extension;
  std::string_view header;
  EntryWriter entry;
  std::string_view footer;
};

// A path that a line-based list holds as exactly one entry: no line end (CR or LF)
// that would split it, no NUL that a reader may end it at, and no white space at either
// end, which readers trim from their lines (the entry would then name another file).
bool FitsOneLine(std::string_view path) {
  if (path.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
  return path.empty() || (!IsBlankByte(path.front()) && !IsBlankByte(path.back()));
}

// Appends `text` as the value of a double-quoted XML attribute. Markup characters
// become entities, and tab, line feed and carriage return become character references,
// since an XML reader turns them into blanks when they stand as they are. False for a
// text holding a character that XML 1.0 cannot carry at all (NUL and the other control
// characters below 0x20): a reader would refuse the whole list.
bool AppendXmlAttribute(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) return false;
        out += c;
    }
  }
  return true;
}

bool WriteBslEntry(std::string& out, const Movie& /*movie*/, std::string_view path) {
  if (!FitsOneLine(path)) return false;
  out += path;
  out += "\r\n";
  return true;
}

bool WriteAsxEntry(std::string& out, const Movie& /*movie*/, std::string_view path) {
  std::string entry = " <ENTRY><REF href=\"";
  if (!AppendXmlAttribute(entry, path)) return false;
  entry += "\" /></ENTRY>\r\n";
  out += entry;
  return true;
}

bool WriteM3uEntry(std::string& out, const Movie& movie, std::string_view path) {
  // A line starting with '#' is a comment or a directive, not an entry. An absolute
  // path never starts with one; the test keeps it that way whatever the platform.
  if (!FitsOneLine(path) || path.starts_with('#')) return false;
  out += "#EXTINF:-1,";
  // A line end in a title would end the entry early, and a NUL may end it for a
  // reader; titles are display text only.
  for (char c : ToUtf8(movie.Title())) out += c == '\r' || c == '\n' || c == '\0' ? ' ' : c;
  out += '\n';
  out += path;
  out += '\n';
  return true;
}

constexpr std::array kFormats = {
    PlaylistFormat{PlaylistType::BslPlaylist, "bsl", "", WriteBslEntry, ""},
    PlaylistFormat{PlaylistType::AsxPlaylist, "asx", "<ASX version=\"3.0\">\r\n", WriteAsxEntry,
                   "</ASX>\r\n"},
    PlaylistFormat{PlaylistType::M3uPlaylist, "m3u8", "#EXTM3U\n", WriteM3uEntry, ""},
};

}  // namespace

std::string WritePlaylist(const DiskInfo& disk, std::string_view baseName, PlaylistType type,
                          PrivateFiles& files, UserMessages& messages) {
  const PlaylistFormat* format = nullptr;
  for (const auto& row : kFormats) {
    if (row.type == type) format = &row;
  }
  if (format == nullptr || !disk.HasMovies()) return "";

  std::string text(format->header);
  bool anyEntry = false;
  for (DiskInfo::Position position = disk.FirstMovie(); position != nullptr;) {
    const Movie& movie = disk.NextMovie(position);
    // The list is read from its own folder, so a relative path would point nowhere.
    const std::optional<std::string> path = AbsoluteNativePath(movie.File());
    if (path && format->entry(text, movie, *path)) anyEntry = true;
  }
  std::string name(baseName);
  name += '.';
  name += format->extension;
  if (!anyEntry) {
    messages.Show(res::FormatString(res::kStrNoPlaylistEntry, {name}));
    return "";
  }
  text += format->footer;
  if (!files.ReplaceFile(name, text)) {
    messages.Show(res::FormatString(res::kStrPlaylistNotWritten, {name}));
    return "";
  }
  return name;
}

std::string PlaylistBase(PrivateFiles& files) {
  // When the folder cannot be used, writing into it fails and names the file.
  return JoinNativePath(files.Folder(), "playlist");
}

}  // namespace quorvel
