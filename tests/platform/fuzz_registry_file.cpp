// Fuzzes the store file reader: any input either fails cleanly or reads into a tree
// that the writer puts into a form the reader takes back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  quorvel::RegistryTree tree;
  if (!quorvel::ParseRegistryFile(text, tree).ok) return 0;
  const std::string written = quorvel::FormatRegistryFile(tree);
  quorvel::RegistryTree again;
  if (!quorvel::ParseRegistryFile(written, again).ok) std::abort();
  if (quorvel::FormatRegistryFile(again) != written) std::abort();
  return 0;
}
