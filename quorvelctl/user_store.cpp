#include "quorvelctl/user_store.h"

#include <cstdio>

namespace quorvelctl {

void UserStore::Load(quorvel::Settings& settings) {
  settings = quorvel::Settings();
  settings.Load(services_.registry, services_.messages);
}

bool UserStore::Save(
    const std::function<bool(quorvel::Registry&, quorvel::RegKey mainKey)>& write) {
  quorvel::Registry& registry = services_.registry;
  bool written = false;
  {
    quorvel::ScopedKey key(registry,
                           registry.CreateKey(quorvel::kCurrentUser, quorvel::kMainKeyPath));
    written = key && write(registry, key.get());
  }
  if (!written) {
    std::fprintf(stderr, "The settings could not be saved.\n");
    return false;
  }
  // The store reports its own write failure on stderr.
  return registry.Flush();
}

void LoadUserSettings(const quorvel::Services& services, quorvel::Settings& settings) {
  UserStore(services).Load(settings);
}

}  // namespace quorvelctl
