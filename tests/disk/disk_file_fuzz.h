#pragma once
// Shared part of the disk-file fuzz targets: each input becomes a real file in a
// private folder, read the way disk reading reads it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quorvel::fuzz {

// A folder of this process, made once and removed at exit (the input file in it is
// removed after each run). The name lives in a plain array, which outlives every
// exit handler.
inline const std::string& FuzzFolder() {
  static char name[4096];
  static const std::string folder = [] {
    const std::string made = quorvel::testing::MakeTempFolder().string();
    if (made.empty() || made.size() >= sizeof name) std::abort();
    made.copy(name, made.size());
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove(name, ignored);
    });
    return made;
  }();
  return folder;
}

inline void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

}  // namespace quorvel::fuzz
