#pragma once
// Gives a fuzz input a file name, since the picture decoders read files: an in-memory
// file (memfd) reached through /proc/self/fd, rewritten for every input.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace quorvel::fuzzing {

inline const std::string& InputFile(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("quorvel-fuzz-input", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
  std::size_t done = 0;
  while (done < size) {
    const ssize_t wrote = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (wrote <= 0) std::abort();
    done += static_cast<std::size_t>(wrote);
  }
  return path;
}

}  // namespace quorvel::fuzzing
