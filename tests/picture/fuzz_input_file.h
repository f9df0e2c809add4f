#pragma once
// Gives a fuzz input a file name, since the picture decoders read files: one file in a
// private folder, rewritten for every input and removed at exit.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace quorvel::fuzzing {

inline const std::string& InputFile(const std::uint8_t* data, std::size_t size) {
  static const quorvel::testing::TempDir folder;
  static const std::string path = (folder.path() / "input").string();
  if (folder.path().empty()) std::abort();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) std::abort();
  return path;
}

}  // namespace quorvel::fuzzing
