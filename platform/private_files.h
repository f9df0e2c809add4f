#pragma once
// Files that the program writes for other programs to read while it runs (playlists).

#include <string>
#include <string_view>

namespace quorvel {

// The program's folder for such files, in a place of the user's that is meant for
// files of the running session. It is created when missing, with any missing parents,
// readable and writable by the user alone; an existing one must be a real folder (not
// a link) owned by the user, and is made private when it is not. Returns the folder's
// path in any case, and sets `ready` to whether it can be used.
std::string PrivateFilesFolder(bool& ready);

// Replaces the file `path` with `bytes` in one step: the text is written to a new file
// beside it, which is then renamed over `path`, so a reader sees the old file or the
// new one, never a part. The new file is readable and writable by the user alone. A
// symbolic link at `path` is replaced, never followed; the folder of `path` must be
// owned by the user and must not be a symbolic link itself. False when anything fails; `path` is
// then unchanged.
bool ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace quorvel
