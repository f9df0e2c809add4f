#pragma once
// The private-files service on Windows: the folder is "Quorvel" in the user's local
// application-data folder (%LOCALAPPDATA%), which belongs to the user alone and is
// never roamed to other machines. The root of drive C:, where such files were once
// written, is not writable by an ordinary user.

#include "platform/private_files.h"

namespace quorvel {

class Win32PrivateFiles final : public PrivateFiles {
 public:
  std::string Folder() override;
  bool ReplaceFile(const std::string& path, std::string_view bytes) override;
};

}  // namespace quorvel
