#pragma once
// The user's own settings store, as the program uses it.

#include "app/settings.h"

namespace quorvelctl {

// Loads the user's settings into `settings` (defaults where nothing is stored).
void LoadUserSettings(quorvel::Settings& settings);

}  // namespace quorvelctl
