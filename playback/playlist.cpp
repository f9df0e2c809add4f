#include "playback/playlist.h"

#include <array>

#include "platform/path_rules.h"
#include "platform/private_files.h"
#include "platform/text_encoding.h"

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
  for (char c : ToUtf8(movie.Title())) out += c == '\r' || c == '\n' ? ' ' : c;
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

}  // namespace

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
