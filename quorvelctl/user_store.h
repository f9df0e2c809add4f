#pragma once
// The user's own settings store, as the program uses it.

#include <functional>
#include <memory>

#include "app/settings.h"
#include "platform/registry.h"
#include "quorvelctl/stderr_messages.h"

namespace quorvelctl {

// The user's store, opened once for a command: a damaged or unreadable store is
// reported on stderr once, however often the command loads and saves.
class UserStore {
 public:
  UserStore();

  // Loads the user's settings into `settings` (defaults where nothing is stored).
  void Load(quorvel::Settings& settings);

  // Writes what `write` writes below the main key, then the store file. A command
  // writes only what it changes, never the whole record: a field that was missing
  // from the store when it loaded would otherwise be saved with its default over a
  // value another process stored in the meantime. False, after a message on stderr,
  // when the values or the file could not be written.
  bool Save(const std::function<bool(quorvel::Registry&, quorvel::RegKey mainKey)>& write);

 private:
  StderrMessages messages_;
  std::unique_ptr<quorvel::Registry> registry_;
};

// Loads the user's settings for a command that only reads them.
void LoadUserSettings(quorvel::Settings& settings);

}  // namespace quorvelctl
