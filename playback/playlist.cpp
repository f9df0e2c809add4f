#include "playback/playlist.h"

#include <array>

#include "platform/path_rules.h"
#include "platform/private_files.h"

namespace quorvel {

namespace {

using EntryWriter = void (*)(std::string& out, const Movie& movie);

// One row per playlist type that has a file format.
struct PlaylistFormat {
  PlaylistType type;
  std::string_view extension;
  std::string_view header;
  EntryWriter entry;
  std::string_view footer;
};

void AppendXmlEscaped(std::string& out, std::string_view text) {
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
      default:
        out += c;
    }
  }
}

void WriteBslEntry(std::string& out, const Movie& movie) {
  out += movie.File();
  out += "\r\n";
}

void WriteAsxEntry(std::string& out, const Movie& movie) {
  out += " <ENTRY><REF href=\"";
  AppendXmlEscaped(out, movie.File());
  out += "\" /></ENTRY>\r\n";
}

void WriteM3uEntry(std::string& out, const Movie& movie) {
  out += "#EXTINF:-1,";
  // A line end in a title would end the entry early; titles are display text only.
  for (char c : ToUtf8FromAnsi(movie.Title())) out += c == '\r' || c == '\n' ? ' ' : c;
  out += '\n';
  out += movie.File();
  out += '\n';
}

constexpr std::array kFormats = {
    PlaylistFormat{PlaylistType::BslPlaylist, "bsl", "", WriteBslEntry, ""},
    PlaylistFormat{PlaylistType::AsxPlaylist, "asx", "<ASX version=\"3.0\">\r\n", WriteAsxEntry,
                   "</ASX>\r\n"},
    PlaylistFormat{PlaylistType::M3uPlaylist, "m3u8", "#EXTM3U\n", WriteM3uEntry, ""},
};

// Windows-1252 bytes 0x80-0x9F; the five unassigned ones map to the C1 controls of
// the same value, as web browsers do.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    char32_t value;
    char32_t minimum;
    if ((c & 0xE0) == 0xC0) {
      length = 2, value = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3, value = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4, value = c & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t value) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

}  // namespace

std::string ToUtf8FromAnsi(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
  }
  return out;
}

std::string WritePlaylist(const DiskInfo& disk, std::string_view baseName, PlaylistType type,
                          UserMessages& messages) {
  const PlaylistFormat* format = nullptr;
  for (const auto& row : kFormats) {
    if (row.type == type) format = &row;
  }
  if (format == nullptr || !disk.HasMovies()) return "";

  std::string name(baseName);
  name += '.';
  name += format->extension;

  std::string text(format->header);
  for (DiskInfo::Position position = disk.FirstMovie(); position != nullptr;) {
    format->entry(text, disk.NextMovie(position));
  }
  text += format->footer;

  if (!ReplaceFile(name, text)) {
    messages.Show("The playlist file " + name + " cannot be written.");
    return "";
  }
  return name;
}

std::string DefaultPlaylistBase() {
  bool ready = false;
  std::string folder = PrivateFilesFolder(ready);
  // When the folder cannot be used, writing into it fails and names the file.
  return JoinNativePath(folder, "playlist");
}

}  // namespace quorvel
