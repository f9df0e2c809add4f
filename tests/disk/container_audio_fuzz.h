#pragma once
// Shared part of the container header fuzz targets: the input is a movie file of a fake
// disk folder, counted as the loose-file search counts it, through a counting files
// service; a count below zero or a read past the bounds stops the run.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "disk/container_audio.h"
#include "disk_file_fuzz.h"
#include "support/counting_files.h"

namespace quorvel::fuzz {

inline int CountContainer(std::string_view name, const std::uint8_t* data, std::size_t size) {
  FakeFileTree& tree = TreeWithInput(name, data, size);
  testing::CountingFiles files(tree);
  const std::int32_t streams = ReadContainerAudioStreams(files, JoinNativePath(FuzzFolder(), name));
  if (streams < 0) __builtin_trap();
  if (files.reads > kMaxContainerReads + 1 || files.bytes > kMaxContainerBytes) __builtin_trap();
  return 0;
}

}  // namespace quorvel::fuzz
