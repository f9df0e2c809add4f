#pragma once
// The registry store kept in one REGEDIT4 text file (see platform/registry_file.h).
//
// The keys live in memory. The file is read when the store is made, and read again
// when a key is opened while none is open and the file changed since this store last
// read or wrote it (another process saved), unless this store holds unwritten changes
// of its own. The whole file is written again when the last open key is closed after a
// change: into a temporary file in the same folder, flushed to disk, then renamed over
// the old file, so a crash at any moment leaves either the old or the new file.
//
// A file that cannot be parsed is never written over: it is renamed to
// "<file>.bad" (or "<file>.bad.1", ".bad.2", ... when that name is taken, so no
// damaged file is ever replaced), the store starts empty, and the user is told once.
// A file that exists but cannot be read, or cannot be moved aside, makes the store
// keep its changes in memory only, and the user is told that too.
//
// HKEY_LOCAL_MACHINE is not the user's: every open below it fails. Keys under it that
// come with an imported file are kept and written back unchanged.

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/tree_registry.h"
#include "platform/user_messages.h"

namespace quorvel {

class FileRegistry final : public TreeRegistry {
 public:
  FileRegistry(std::filesystem::path file, UserMessages& messages);
  // Writes what is still unwritten.
  ~FileRegistry() override;

  bool Flush() override;

  const std::filesystem::path& file() const { return file_; }
  // Where the damaged file was moved to when it could not be parsed; empty otherwise.
  const std::filesystem::path& setAside() const { return setAside_; }
  // True when changes are kept in memory only (the file could not be read or moved).
  bool readOnly() const { return readOnly_; }

 protected:
  bool KeyAllowed(std::string_view fullPath) override;
  void FirstKeyOpening() override;
  void LastKeyClosed() override;

 private:
  // What tells one version of the file from another.
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const Stamp& other) const;
  };
  // The stamp of an open file or, with fd < 0, of the file at `path`.
  static Stamp StampOf(int fd, const std::filesystem::path& path);
  Stamp CurrentStamp() const;

  // Reads the file into the tree. At start-up a file that cannot be read makes the
  // store read-only; later it only keeps the tree as it is.
  void Read(bool startUp);
  bool Write();
  void RemoveStaleTemporaryFiles() const;

  std::filesystem::path file_;
  UserMessages& messages_;
  std::filesystem::path setAside_;
  Stamp stamp_;
  bool readOnly_ = false;
  bool writeFailureShown_ = false;
  unsigned temporaryCounter_ = 0;
};

// $XDG_CONFIG_HOME/quorvel/registry.reg, or ~/.config/quorvel/registry.reg when
// XDG_CONFIG_HOME is unset, empty or not absolute.
std::filesystem::path UserRegistryFile();

}  // namespace quorvel
