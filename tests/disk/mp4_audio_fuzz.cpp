// Fuzz target: an MP4 or QuickTime file of random bytes, its audio streams counted.
#include "container_audio_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quorvel::fuzz::CountContainer("movie.mp4", data, size);
}
