// Fuzz target: "mdvd.mvd" of random bytes, read from a real folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "disk/micro_dvd_file.h"
#include "disk_file_fuzz.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = quorvel::fuzz::FuzzFolder();
  const std::string path = folder + "/mdvd.mvd";
  quorvel::fuzz::WriteInput(path, data, size);
  static const auto files = quorvel::CreateSystemFiles();
  quorvel::MicroDvdFile record;
  if (record.Read(*files, folder, "mdvd.mvd")) {
    if (record.MoviePath().compare(0, folder.size() + 1, folder + "/") != 0) __builtin_trap();
    (void)record.DisplayTitle();
  }
  ::unlink(path.c_str());
  return 0;
}
