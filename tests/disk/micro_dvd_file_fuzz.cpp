// Fuzz target: "mdvd.mvd" of random bytes, read from a disk folder.
#include <cstddef>
#include <cstdint>

#include "disk/micro_dvd_file.h"
#include "disk_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel::fuzz;
  quorvel::FakeFileTree& files = TreeWithInput("mdvd.mvd", data, size);
  quorvel::MicroDvdFile record;
  if (record.Read(files, FuzzFolder(), "mdvd.mvd")) {
    if (!BelowFolder(record.MoviePath())) __builtin_trap();
    (void)record.DisplayTitle();
  }
  return 0;
}
