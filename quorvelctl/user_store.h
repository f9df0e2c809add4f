#pragma once
// The user's own settings store, as the program uses it.

#include <functional>
#include <memory>

#include "app/settings.h"
#include "platform/services.h"

namespace quorvelctl {

// The user's store of the services, which opened it once for the command: a damaged
// or unreadable store is reported once, however often the command loads and saves.
class UserStore {
 public:
  explicit UserStore(const quorvel::Services& services) : services_(services) {}

  // Loads the user's settings into `settings` (defaults where nothing is stored).
  void Load(quorvel::Settings& settings);

  // Writes what `write` writes below the main key, then the store file. A command
  // writes only what it changes, never the whole record: a field that was missing
  // from the store when it loaded would otherwise be saved with its default over a
  // value another process stored in the meantime. False, after a message on stderr,
  // when the values or the file could not be written.
  bool Save(const std::function<bool(quorvel::Registry&, quorvel::RegKey mainKey)>& write);

 private:
  quorvel::Services services_;
};

// Loads the user's settings for a command that only reads them.
void LoadUserSettings(const quorvel::Services& services, quorvel::Settings& settings);

}  // namespace quorvelctl
