#pragma once
// A private-files service that keeps the files it is asked to write in memory, for
// tests of the playlists and the play commands on any platform.

#include <map>
#include <string>
#include <string_view>

#include "platform/native_path.h"
#include "platform/private_files.h"

namespace quorvel {

class FakePrivateFiles final : public PrivateFiles {
 public:
  std::string Folder() override { return folder; }

  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    ++replaceCalls;
    if (refuseWrites) return false;
    files[path].assign(bytes);
    return true;
  }

  // The folder Folder() names.
  std::string folder = JoinNativePath("private", "quorvel");
  // The files written, by path, with their last contents.
  std::map<std::string, std::string> files;
  // Every ReplaceFile fails from now on, as in a folder that cannot be used.
  bool refuseWrites = false;
  int replaceCalls = 0;
};

}  // namespace quorvel
