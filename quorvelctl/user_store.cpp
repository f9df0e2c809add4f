#include "quorvelctl/user_store.h"

#include <cstdio>

#include "platform/user_registry.h"
#include "quorvelctl/stderr_messages.h"

namespace quorvelctl {

void LoadUserSettings(quorvel::Settings& settings) {
  StderrMessages messages;
  const auto registry = quorvel::OpenUserRegistry(messages);
  settings = quorvel::Settings();
  settings.Load(*registry, messages);
}

bool SaveUserSettings(const quorvel::Settings& settings) {
  StderrMessages messages;
  const auto registry = quorvel::OpenUserRegistry(messages);
  if (!settings.Save(*registry)) {
    std::fprintf(stderr, "The settings could not be saved.\n");
    return false;
  }
  // The store reports its own write failure on stderr.
  return registry->Flush();
}

}  // namespace quorvelctl
