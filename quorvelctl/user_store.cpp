#include "quorvelctl/user_store.h"

namespace quorvelctl {

// Placeholder until the store file backend lands: the defaults.
void LoadUserSettings(quorvel::Settings& settings) { settings = quorvel::Settings(); }

}  // namespace quorvelctl
