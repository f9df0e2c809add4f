#pragma once
// Replacing a file in one step, as the settings store and the playlists do: the new
// bytes go into a temporary file beside the old one, which is flushed to disk and then
// renamed over it, so a reader (or a crash at any moment) sees the old file or the new
// one, never a part.

#include <string>
#include <string_view>

namespace quorvel {

// What the folder of the file must be.
enum class FolderRule {
  Any,             // any folder the caller can write to, reached through links or not
  OwnedNotLinked,  // owned by this user and not itself a symbolic link
};

// Replaces the file `path` with `bytes`. The new file is readable and writable by the
// user alone; a symbolic link at `path` is replaced, never followed. The temporary
// file is named "<name>.tmp.<process id>.<n>" (see RemoveStaleTemporaryFiles). Returns
// 0, or the errno value of the step that failed; `path` is then unchanged and no
// temporary file is left behind.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                          FolderRule rule = FolderRule::Any);

// Removes the temporary files that ReplaceFileAtomically left beside `path` in a process
// that was killed while writing. A live process's file is left alone: it may be
// writing now.
void RemoveStaleTemporaryFiles(const std::string& path);

}  // namespace quorvel
