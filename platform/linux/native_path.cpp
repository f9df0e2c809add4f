#include "platform/path_rules.h"

namespace quorvel {

char NativeSeparator() { return '/'; }

}  // namespace quorvel
