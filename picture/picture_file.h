#pragma once
// A picture file read from its start on through the files service, in chunks, so that
// the decoders never open a disk file themselves (a FIFO or device would block them)
// and never hold more of a large file than one chunk.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace quorvel {

class PictureFile {
 public:
  // How much is read from the file at a time.
  static constexpr std::size_t kChunkBytes = 64 * 1024;

  // Opens the regular file at `path` through `files`; IsOpen() tells whether it could.
  PictureFile(Files& files, std::string_view path);

  bool IsOpen() const { return reader_ != nullptr; }
  // The file's size when it was opened; 0 when it is not open.
  std::uint64_t Size() const { return reader_ != nullptr ? reader_->Size() : 0; }
  // Bytes consumed so far.
  std::uint64_t Position() const { return position_; }

  // Copies up to `count` bytes from the current position into `out` and moves on;
  // returns how many there were (fewer at the end of the file or after a read error).
  std::size_t Read(void* out, std::size_t count);
  // Moves on by up to `count` bytes without copying them; returns how many there were.
  std::uint64_t Skip(std::uint64_t count);

  // The next bytes of the file, at most kChunkBytes, without copying them; consumed by
  // Consume(). Empty at the end of the file or after a read error.
  std::span<const std::byte> Peek();
  void Consume(std::size_t count);

 private:
  bool Fill();

  std::unique_ptr<Files::Reader> reader_;
  std::vector<std::byte> chunk_;
  std::size_t chunkStart_ = 0;  // first unconsumed byte of chunk_
  std::size_t chunkEnd_ = 0;    // end of what chunk_ holds
  std::uint64_t next_ = 0;      // file offset of chunk_[chunkEnd_]
  std::uint64_t position_ = 0;
  bool failed_ = false;
};

}  // namespace quorvel
