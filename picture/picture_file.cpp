#include "picture/picture_file.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

PictureFile::PictureFile(Files& files, std::string_view path)
    : reader_(files.OpenForReading(path)) {}

bool PictureFile::Fill() {
  if (chunkStart_ < chunkEnd_) return true;
  if (reader_ == nullptr || failed_) return false;
  if (chunk_.empty()) chunk_.resize(kChunkBytes);
  const std::optional<std::size_t> got = reader_->ReadAt(next_, chunk_);
  if (!got) failed_ = true;
  chunkStart_ = 0;
  chunkEnd_ = got.value_or(0);
  next_ += chunkEnd_;
  return chunkEnd_ > 0;
}

std::span<const std::byte> PictureFile::Peek() {
  if (!Fill()) return {};
  return std::span<const std::byte>(chunk_).subspan(chunkStart_, chunkEnd_ - chunkStart_);
}

void PictureFile::Consume(std::size_t count) {
  count = std::min(count, chunkEnd_ - chunkStart_);
  chunkStart_ += count;
  position_ += count;
}

std::size_t PictureFile::Read(void* out, std::size_t count) {
  auto* to = static_cast<std::byte*>(out);
  std::size_t done = 0;
  while (done < count) {
    const std::span<const std::byte> here = Peek();
    if (here.empty()) break;
    const std::size_t take = std::min(here.size(), count - done);
    std::memcpy(to + done, here.data(), take);
    Consume(take);
    done += take;
  }
  return done;
}

std::uint64_t PictureFile::Skip(std::uint64_t count) {
  // What the chunk holds is dropped; the rest, up to the file's end, is passed over
  // without being read.
  const auto held =
      static_cast<std::size_t>(std::min<std::uint64_t>(count, chunkEnd_ - chunkStart_));
  Consume(held);
  const std::uint64_t end = Size();
  const std::uint64_t over = std::min(count - held, end > next_ ? end - next_ : 0);
  next_ += over;
  position_ += over;
  return held + over;
}

}  // namespace quorvel
