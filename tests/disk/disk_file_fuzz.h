#pragma once
// Shared part of the disk-file fuzz targets: each input becomes a file of a fake disk
// folder, read the way disk reading reads it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/fake/fake_file_tree.h"
#include "platform/native_path.h"

namespace quorvel::fuzz {

// The disk folder of the fake tree.
inline const std::string& FuzzFolder() {
  static const std::string folder = JoinNativePath(std::string(1, NativeSeparator()), "disk");
  return folder;
}

// A fake tree whose disk folder holds the file `name` with the input's bytes.
inline FakeFileTree& TreeWithInput(std::string_view name, const std::uint8_t* data,
                                   std::size_t size) {
  static FakeFileTree files;
  files.AddFile(JoinNativePath(FuzzFolder(), name),
                std::string_view(reinterpret_cast<const char*>(data), size));
  return files;
}

// True when `path` lies below the disk folder: nothing in a disk file can move a name
// out of it.
inline bool BelowFolder(const std::string& path) {
  const std::string prefix = JoinNativePath(FuzzFolder(), "");
  return path.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace quorvel::fuzz
