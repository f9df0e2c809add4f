#pragma once
// The private-files service: files that the program writes for other programs to read
// while it runs (playlists).

#include <string>
#include <string_view>

namespace quorvel {

class PrivateFiles {
 public:
  virtual ~PrivateFiles() = default;

  // The program's folder for such files, in a place of the user's meant for the files
  // of the running session. It is created when missing, with any missing parents,
  // readable and writable by the user alone; an existing one must be a real folder (not
  // a link) owned by the user, and is made private when it is not. The folder's path is
  // returned in any case: when it cannot be used, ReplaceFile fails there and the
  // caller names the file it could not write.
  virtual std::string Folder() = 0;

  // Replaces the file `path` with `bytes` in one step: a reader sees the old file or the
  // new one, never a part. The new file is readable and writable by the user alone. A
  // link at `path` is replaced, never followed; the folder of `path` must be owned by
  // the user and must not be a link itself. False when anything fails; `path` is then
  // unchanged.
  virtual bool ReplaceFile(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace quorvel
