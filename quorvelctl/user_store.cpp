#include "quorvelctl/user_store.h"

#include <cstdio>

#include "platform/user_registry.h"

namespace quorvelctl {

UserStore::UserStore() : registry_(quorvel::OpenUserRegistry(messages_)) {}

void UserStore::Load(quorvel::Settings& settings) {
  settings = quorvel::Settings();
  settings.Load(*registry_, messages_);
}

bool UserStore::Save(
    const std::function<bool(quorvel::Registry&, quorvel::RegKey mainKey)>& write) {
  bool written = false;
  {
    quorvel::ScopedKey key(*registry_,
                           registry_->CreateKey(quorvel::kCurrentUser, quorvel::kMainKeyPath));
    written = key && write(*registry_, key.get());
  }
  if (!written) {
    std::fprintf(stderr, "The settings could not be saved.\n");
    return false;
  }
  // The store reports its own write failure on stderr.
  return registry_->Flush();
}

void LoadUserSettings(quorvel::Settings& settings) { UserStore().Load(settings); }

}  // namespace quorvelctl
