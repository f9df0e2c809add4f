// Fuzz target: "configuration.ini" of random bytes, read from a real folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "disk/autorun_config.h"
#include "disk_file_fuzz.h"
#include "platform/files.h"
#include "platform/native_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = quorvel::fuzz::FuzzFolder();
  // Every name read must stay joined below the folder.
  const std::string below = quorvel::JoinNativePath(folder, "");
  const std::string path = below + "configuration.ini";
  quorvel::fuzz::WriteInput(path, data, size);
  static const auto files = quorvel::CreateSystemFiles();
  quorvel::AutorunConfig config;
  if (!config.Read(*files, folder, "configuration.ini")) __builtin_trap();
  // Every name stays joined below the folder; nothing in the file can move it.
  for (const auto& movie : config.movies) {
    if (movie.file.compare(0, below.size(), below) != 0) __builtin_trap();
  }
  if (config.picturePath.compare(0, below.size(), below) != 0) __builtin_trap();
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return 0;
}
