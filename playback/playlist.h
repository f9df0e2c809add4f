#pragma once
// Playlist files: the list of a disk's movie files handed to a player to play them all.

#include <string>
#include <string_view>

#include "app/player_record.h"
#include "disk/disk_info.h"
#include "platform/private_files.h"
#include "platform/user_messages.h"

namespace quorvel {

// Writes the playlist of every movie of `disk` in the format of `type` to `baseName`
// with the format's extension appended ("playlist" -> "playlist.bsl") and returns the
// file's full name. Returns "" without touching anything when `type` has no format or
// the disk has no movies. A file that cannot be written is reported through
// `messages`, naming it, and gives "". The file is replaced in one step
// (PrivateFiles::ReplaceFile of `files`), so a player still reading the old list never
// sees a half-written one.
//
// Entries are absolute paths (AbsoluteNativePath): a movie file given relative to the
// current folder is written with that folder before it, since the list is read from
// another folder. A movie without a file gives an empty entry.
//
// No file name can add, split or change an entry. A movie whose path a format cannot
// hold as exactly one entry is left out of that list and the rest is written; when
// every movie is left out, nothing is written, `messages` says so and the result is "".
//
// Formats:
//   BslPlaylist  "bsl"   one path per line, CR LF line ends, bytes as they are held;
//                        paths with CR, LF or NUL, or with white space at either end
//                        (which readers trim), are left out;
//   AsxPlaylist  "asx"   <ASX version="3.0"> with one <ENTRY><REF href="path" /></ENTRY>
//                        line per movie, CR LF line ends; & < > " in the path are
//                        written as XML entities, tab, LF and CR as character
//                        references (&#9; &#10; &#13;); paths with other control
//                        characters, which XML cannot carry, are left out;
//   M3uPlaylist  "m3u8"  UTF-8: "#EXTM3U", then per movie "#EXTINF:-1,title" and the
//                        path; LF line ends. Titles that are not UTF-8 are read as
//                        Windows-1252; paths are written as they are, and left out as
//                        in "bsl" lists and when they start with '#'.
std::string WritePlaylist(const DiskInfo& disk, std::string_view baseName, PlaylistType type,
                          PrivateFiles& files, UserMessages& messages);

// The base name standing for the playlist of "play all": "playlist" in the program's
// private folder.
std::string PlaylistBase(PrivateFiles& files);

}  // namespace quorvel
