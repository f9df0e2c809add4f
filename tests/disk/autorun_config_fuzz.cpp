// Fuzz target: "configuration.ini" of random bytes, read from a disk folder.
#include <cstddef>
#include <cstdint>

#include "disk/autorun_config.h"
#include "disk_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel::fuzz;
  quorvel::FakeFileTree& files = TreeWithInput("configuration.ini", data, size);
  quorvel::AutorunConfig config;
  if (!config.Read(files, FuzzFolder(), "configuration.ini")) __builtin_trap();
  // Every name stays joined below the folder; nothing in the file can move it.
  for (const auto& movie : config.movies) {
    if (!BelowFolder(movie.file)) __builtin_trap();
  }
  if (!BelowFolder(config.picturePath)) __builtin_trap();
  return 0;
}
