// Fuzz target: "mdvd.mvd" of random bytes, read from a real folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "disk/micro_dvd_file.h"
#include "disk_file_fuzz.h"
#include "platform/files.h"
#include "platform/native_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = quorvel::fuzz::FuzzFolder();
  // Every name read must stay joined below the folder.
  const std::string below = quorvel::JoinNativePath(folder, "");
  const std::string path = below + "mdvd.mvd";
  quorvel::fuzz::WriteInput(path, data, size);
  static const auto files = quorvel::CreateSystemFiles();
  quorvel::MicroDvdFile record;
  if (record.Read(*files, folder, "mdvd.mvd")) {
    if (record.MoviePath().compare(0, below.size(), below) != 0) __builtin_trap();
    (void)record.DisplayTitle();
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return 0;
}
