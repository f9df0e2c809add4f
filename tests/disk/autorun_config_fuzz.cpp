// Fuzz target: "configuration.ini" of random bytes, read from a real folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "disk/autorun_config.h"
#include "disk_file_fuzz.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = quorvel::fuzz::FuzzFolder();
  const std::string path = folder + "/configuration.ini";
  quorvel::fuzz::WriteInput(path, data, size);
  static const auto files = quorvel::CreateSystemFiles();
  quorvel::AutorunConfig config;
  if (!config.Read(*files, folder, "configuration.ini")) __builtin_trap();
  // Every name stays joined below the folder; nothing in the file can move it.
  for (const auto& movie : config.movies) {
    if (movie.file.compare(0, folder.size() + 1, folder + "/") != 0) __builtin_trap();
  }
  if (config.picturePath.compare(0, folder.size() + 1, folder + "/") != 0) __builtin_trap();
  ::unlink(path.c_str());
  return 0;
}
