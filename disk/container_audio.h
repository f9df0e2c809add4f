#pragma once
// Audio streams of today's movie files, counted from the container's own headers:
// the track entries of a Matroska or WebM segment, the sound tracks of an MP4 or
// QuickTime movie box. Everything is read through the files service with bounded
// reads: a damaged, truncated or hostile file costs at most kMaxContainerReads reads
// of at most kMaxContainerBytes bytes in all, and counts as one stream.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quorvel {

class Files;

enum class Container {
  Other,     // counts one audio stream, unread
  Matroska,  // ".mkv", ".webm": EBML
  Mp4,       // ".mp4", ".m4v", ".mov": ISO base media boxes
};

// The container that the end of a file name gives (any letter case).
Container ContainerOfName(std::string_view file);

// How many bytes of a file's start the loose-file search hands over with its size
// (one opening of the file); most headers lie within them.
inline constexpr std::size_t kContainerHeadBytes = 4096;
// The most bytes read from one file, the head included, and the most reads after it.
inline constexpr std::uint64_t kMaxContainerBytes = 1u << 20;
inline constexpr int kMaxContainerReads = 32;

// The audio streams of the file at `path` of `size` bytes whose first bytes are `head`
// (fewer than kContainerHeadBytes only when the file is that short), reading more of
// it through `files` where the headers go on. 1 for a file whose headers cannot be
// read to the end or make no sense, and for Container::Other; 0 for a well-formed file
// without sound.
std::int32_t CountAudioStreams(Files& files, std::string_view path, Container container,
                               std::span<const std::byte> head, std::uint64_t size);

// The same, opening the file itself (a movie made from a title and a file name).
std::int32_t ReadContainerAudioStreams(Files& files, std::string_view path);

}  // namespace quorvel
