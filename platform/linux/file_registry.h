#pragma once
// The registry store kept in one REGEDIT4 text file (see registry_store/regedit_file.h).
//
// The keys live in memory: the file is read once, when the store is made, and what
// this store reads stays what it read or wrote itself. When the last open key is closed
// after a change, the change is saved: under an exclusive lock on "<file>.lock" the file
// is read again if another process saved since, the values and keys this store changed
// since it last read or wrote the file are made in it (values set or deleted, keys
// created or deleted with everything below them), and the result is written whole: into
// a temporary file in the same folder, flushed to disk, then renamed over the old file,
// so a crash at any moment leaves either the old or the new file. Changes of different
// values by several processes are all kept; of the same value, the last save wins. A
// value written with the data it already had is no change, so a caller that writes a
// whole record back changes only the fields it changed.
//
// A store that is a symbolic link (or a chain of them, relative or absolute) is read
// through the links and written through them: the file at the end of the chain is
// replaced, atomically as above, and the links stay; a link that names nothing gets its
// file (and the file's folder) created. A store that is not a regular file (a FIFO, a
// folder, a device) is never opened: the user is told, and the store keeps its changes
// in memory only.
//
// A file that cannot be parsed is never written over: it is renamed to
// "<file>.bad" (or "<file>.bad.1", ".bad.2", ... when that name is taken, so no
// damaged file is ever replaced), the store starts empty, and the user is told once.
// Found damaged at a save, it is set aside the same way and the keys in memory are
// written anew. A file that exists but cannot be read, or cannot be moved aside, makes
// the store keep its changes in memory only, and the user is told that too.
//
// HKEY_LOCAL_MACHINE is not the user's: every open below it fails. Keys under it that
// come with an imported file are kept and written back unchanged.

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/user_messages.h"
#include "registry_store/key_tree_registry.h"

namespace quorvel {

class FileRegistry final : public KeyTreeRegistry {
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
  void LastKeyClosed() override;

 private:
  // What tells one version of the file from another: every save renames a new file
  // into place, so its inode changes.
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const Stamp& other) const;
  };
  // The stamp of an open file or, with fd < 0, of the file at `path`.
  static Stamp StampOf(int fd, const std::filesystem::path& path);
  Stamp CurrentStamp() const;

  struct Contents {
    enum class State { Missing, NotRegular, Unreadable, Damaged, Parsed };
    State state = State::Missing;
    KeyTree tree;       // when parsed
    std::string text;   // when parsed
    Stamp stamp;        // of the file read
    int error = 0;      // when unreadable
    std::string kind;   // when not regular: "a FIFO", "a folder", ...
    std::string where;  // when damaged: " (line N: what is wrong)"
  };
  Contents ReadFile() const;
  // Renames the damaged file aside unless it is no longer the file with stamp
  // `damaged`; false (with `replaced` set in that case) when it was not moved.
  bool SetAside(const Stamp& damaged, bool& replaced);

  void Load();
  // The keys as this store last read or wrote them.
  KeyTree BaseTree() const;
  bool Write();
  // Shows a warning about the store.
  void Warn(const std::string& text);
  void ReportWriteFailure(const std::string& why);

  std::filesystem::path file_;
  std::filesystem::path lockFile_;
  UserMessages& messages_;
  std::filesystem::path setAside_;
  // The keys as this store last read or wrote them, in the file form (so the keys are
  // not held twice); what the tree holds beyond them are this store's own changes,
  // which a save makes in the file. Empty for no keys.
  std::string baseText_;
  // The file as this store last read or wrote it, and whether it holds just the base
  // (false when changes of other processes were merged into it).
  Stamp stamp_;
  bool fileHoldsBase_ = true;
  bool readOnly_ = false;
  bool writeFailureShown_ = false;
};

// $XDG_CONFIG_HOME/quorvel/registry.reg, or ~/.config/quorvel/registry.reg when
// XDG_CONFIG_HOME is unset, empty or not absolute.
std::filesystem::path UserRegistryFile();

// The user's own store: a FileRegistry on UserRegistryFile() that tells `messages`
// about a damaged or unreadable file. `messages` must outlive it.
std::unique_ptr<Registry> OpenUserRegistry(UserMessages& messages);

}  // namespace quorvel
