#pragma once
// The current user's own registry store, as the program uses it.

#include <memory>

#include "platform/registry.h"
#include "platform/user_messages.h"

namespace quorvel {

// Opens the user's store. It never fails: a store that cannot be read or is damaged
// is set aside (the user is told once, through `messages`) and the program starts from
// an empty store. `messages` must outlive the store.
std::unique_ptr<Registry> OpenUserRegistry(UserMessages& messages);

}  // namespace quorvel
