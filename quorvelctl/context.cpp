#include "quorvelctl/commands.h"

namespace quorvelctl {

Context::Context() : platform(quorvel::CreatePlatformServices(messages)) {}

}  // namespace quorvelctl
