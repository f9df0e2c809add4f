#pragma once
// The user's own settings store, as the program uses it.

#include "app/settings.h"

namespace quorvelctl {

// Loads the user's settings into `settings` (defaults where nothing is stored). A
// damaged or unreadable store is reported on stderr once.
void LoadUserSettings(quorvel::Settings& settings);

// Saves `settings` into the user's store and writes the store file. False, after a
// message on stderr, when the settings or the file could not be written.
bool SaveUserSettings(const quorvel::Settings& settings);

}  // namespace quorvelctl
