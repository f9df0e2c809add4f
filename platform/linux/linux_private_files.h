#pragma once
// The private-files service on Linux: the folder is "quorvel" in the user's runtime
// folder ($XDG_RUNTIME_DIR), else in the user's cache folder ($XDG_CACHE_HOME, else
// ~/.cache); relative values of those variables are ignored, as the XDG rules say.

#include "platform/private_files.h"

namespace quorvel {

class LinuxPrivateFiles final : public PrivateFiles {
 public:
  std::string Folder() override;
  bool ReplaceFile(const std::string& path, std::string_view bytes) override;
};

}  // namespace quorvel
