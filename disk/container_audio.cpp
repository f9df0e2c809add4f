#include "disk/container_audio.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "windows_rules/disk_names.h"

namespace quorvel {

namespace {

struct SuffixContainer {
  std::string_view suffix;
  Container container;
};
constexpr std::array<SuffixContainer, 5> kSuffixContainers = {{
    {".mkv", Container::Matroska},
    {".webm", Container::Matroska},
    {".mp4", Container::Mp4},
    {".m4v", Container::Mp4},
    {".mov", Container::Mp4},
}};

// What a read past the head fetches at least, so that the element and box headers
// that follow one another are not read one by one.
constexpr std::size_t kWindowBytes = 16u << 10;
// The most elements or boxes looked at in one file, and the largest element whose
// whole payload is read (a segment's track list, a seek index).
constexpr int kMaxElements = 1024;
constexpr std::uint64_t kMaxPayloadBytes = 256u << 10;

using Bytes = std::span<const std::byte>;

std::uint8_t At(Bytes bytes, std::size_t index) { return static_cast<std::uint8_t>(bytes[index]); }

std::uint64_t BigEndian(Bytes bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) value = value << 8 | At(bytes, i);
  return value;
}

// The bytes of one file: its head as the caller read it, then windows read through
// the files service within the bounds above.
class Source {
 public:
  Source(Files& files, std::string_view path, Bytes head, std::uint64_t size)
      : files_(files), path_(path), head_(head), size_(size), used_(head.size()) {}

  std::uint64_t Size() const { return size_; }

  // The `length` bytes at `offset`; nullopt when they lie past the end of the file or
  // past the bounds, or cannot be read.
  std::optional<Bytes> View(std::uint64_t offset, std::uint64_t length) {
    if (offset > size_ || length > size_ - offset || length > kMaxPayloadBytes) return std::nullopt;
    if (offset + length <= head_.size())
      return head_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    if (offset >= windowOffset_ && offset + length <= windowOffset_ + window_.size()) {
      return Bytes(window_).subspan(static_cast<std::size_t>(offset - windowOffset_),
                                    static_cast<std::size_t>(length));
    }
    const std::uint64_t wanted =
        std::min(std::max<std::uint64_t>(length, kWindowBytes), size_ - offset);
    if (reads_ >= kMaxContainerReads ||
        wanted > kMaxContainerBytes - std::min(used_, kMaxContainerBytes))
      return std::nullopt;
    ++reads_;
    used_ += wanted;
    window_.assign(static_cast<std::size_t>(wanted), std::byte{0});
    windowOffset_ = offset;
    const std::optional<std::size_t> read = files_.ReadBytes(path_, offset, window_);
    if (!read || *read < length) {
      window_.clear();
      return std::nullopt;
    }
    window_.resize(*read);
    return Bytes(window_).first(static_cast<std::size_t>(length));
  }

  // Up to `length` bytes at `offset`, fewer at the end of the file.
  std::optional<Bytes> ViewUpTo(std::uint64_t offset, std::uint64_t length) {
    if (offset >= size_) return std::nullopt;
    return View(offset, std::min(length, size_ - offset));
  }

 private:
  Files& files_;
  std::string_view path_;
  Bytes head_;
  std::uint64_t size_;
  std::uint64_t used_;
  int reads_ = 0;
  std::vector<std::byte> window_;
  std::uint64_t windowOffset_ = 0;
};

// ---- Matroska and WebM: EBML elements ----------------------------------------------

constexpr std::uint32_t kEbmlHeader = 0x1A45DFA3;
constexpr std::uint32_t kSegment = 0x18538067;
constexpr std::uint32_t kSeekHead = 0x114D9B74;
constexpr std::uint32_t kSeek = 0x4DBB;
constexpr std::uint32_t kSeekId = 0x53AB;
constexpr std::uint32_t kSeekPosition = 0x53AC;
constexpr std::uint32_t kTracks = 0x1654AE6B;
constexpr std::uint32_t kTrackEntry = 0xAE;
constexpr std::uint32_t kTrackType = 0x83;
constexpr std::uint32_t kCluster = 0x1F43B675;
constexpr std::uint32_t kVoid = 0xEC;
constexpr std::uint32_t kCrc32 = 0xBF;
constexpr std::uint64_t kAudioTrackType = 2;

struct Element {
  std::uint32_t id = 0;
  std::uint64_t dataStart = 0;  // offset of the payload, from where `bytes` started
  std::uint64_t size = 0;
  bool unknownSize = false;
};

// A variable-length number at the start of `bytes`: its length from the leading zero
// bits of the first byte (at most `maxLength`), its value with (`keepMarker`, an
// element id) or without the length marker.
struct Vint {
  std::uint64_t value = 0;
  std::size_t length = 0;
  bool allOnes = false;
};
std::optional<Vint> ReadVint(Bytes bytes, std::size_t maxLength, bool keepMarker) {
  if (bytes.empty()) return std::nullopt;
  const std::uint8_t first = At(bytes, 0);
  std::size_t length = 1;
  while (length <= 8 && (first & (0x80u >> (length - 1))) == 0) ++length;
  if (length > maxLength || length > bytes.size()) return std::nullopt;
  const std::uint8_t marker = static_cast<std::uint8_t>(0x80u >> (length - 1));
  std::uint64_t value = keepMarker ? first : first & static_cast<std::uint8_t>(marker - 1);
  bool allOnes = (first & static_cast<std::uint8_t>(marker - 1)) == marker - 1;
  for (std::size_t i = 1; i < length; ++i) {
    value = value << 8 | At(bytes, i);
    allOnes = allOnes && At(bytes, i) == 0xFF;
  }
  return Vint{value, length, allOnes};
}

// The element header at the start of `bytes` (an id of 1 to 4 bytes, a size of 1 to 8).
std::optional<Element> ReadElement(Bytes bytes, std::uint64_t at) {
  const std::optional<Vint> id = ReadVint(bytes, 4, true);
  if (!id) return std::nullopt;
  const std::optional<Vint> size = ReadVint(bytes.subspan(id->length), 8, false);
  if (!size) return std::nullopt;
  return Element{static_cast<std::uint32_t>(id->value), at + id->length + size->length, size->value,
                 size->allOnes};
}

// The children of the payload `bytes`, in order, to `visit`, which returns false to
// stop; false when a child is cut off, has no known size or overruns its parent.
template <typename Visit>
bool ForEachChild(Bytes bytes, Visit visit) {
  std::uint64_t at = 0;
  for (int n = 0; at < bytes.size(); ++n) {
    if (n >= kMaxElements) return false;
    const std::optional<Element> child =
        ReadElement(bytes.subspan(static_cast<std::size_t>(at)), at);
    if (!child || child->unknownSize || child->dataStart > bytes.size() ||
        child->size > bytes.size() - child->dataStart) {
      return false;
    }
    if (!visit(*child, bytes.subspan(static_cast<std::size_t>(child->dataStart),
                                     static_cast<std::size_t>(child->size)))) {
      return true;
    }
    at = child->dataStart + child->size;
  }
  return true;
}

// The element header at `offset` of the file.
std::optional<Element> ElementAt(Source& source, std::uint64_t offset) {
  const std::optional<Bytes> bytes = source.ViewUpTo(offset, 12);
  if (!bytes) return std::nullopt;
  return ReadElement(*bytes, offset);
}

// The audio entries of a track list; nullopt when it is damaged or lists no track.
std::optional<std::int32_t> CountAudioTracks(Bytes tracks) {
  std::int32_t audio = 0;
  int entries = 0;
  bool sound = true;
  const bool whole = ForEachChild(tracks, [&](const Element& entry, Bytes payload) {
    if (entry.id != kTrackEntry) return true;
    ++entries;
    std::uint64_t type = 0;
    sound = ForEachChild(payload, [&](const Element& field, Bytes value) {
      if (field.id == kTrackType && value.size() <= 8) type = BigEndian(value);
      return true;
    });
    if (sound && type == kAudioTrackType) ++audio;
    return sound;
  });
  if (!whole || !sound || entries == 0) return std::nullopt;
  return audio;
}

// Where a seek index says the track list is, relative to the segment's payload.
std::optional<std::uint64_t> TracksPosition(Bytes seekHead) {
  std::optional<std::uint64_t> position;
  ForEachChild(seekHead, [&](const Element& seek, Bytes payload) {
    if (seek.id != kSeek) return true;
    bool tracks = false;
    std::optional<std::uint64_t> at;
    ForEachChild(payload, [&](const Element& field, Bytes value) {
      if (field.id == kSeekId)
        tracks = value.size() == 4 && BigEndian(value) == kTracks;
      else if (field.id == kSeekPosition && value.size() <= 8)
        at = BigEndian(value);
      return true;
    });
    if (tracks && at) position = at;
    return !position;
  });
  return position;
}

std::optional<std::int32_t> CountMatroska(Source& source) {
  std::optional<Element> element = ElementAt(source, 0);
  if (!element || element->id != kEbmlHeader || element->unknownSize) return std::nullopt;
  std::uint64_t at = element->dataStart + element->size;
  // The segment, after the header and any filler.
  for (int n = 0;; ++n) {
    element = ElementAt(source, at);
    if (!element || n >= 8) return std::nullopt;
    if (element->id == kSegment) break;
    if ((element->id != kVoid && element->id != kCrc32) || element->unknownSize)
      return std::nullopt;
    at = element->dataStart + element->size;
  }
  const std::uint64_t segmentStart = element->dataStart;
  const std::uint64_t segmentEnd =
      element->unknownSize || element->size > source.Size() - std::min(segmentStart, source.Size())
          ? source.Size()
          : segmentStart + element->size;
  // The segment's top-level elements, in order, up to the track list; a seek index
  // before the first cluster says where a track list written after them lies.
  std::optional<std::uint64_t> tracksAt;
  at = segmentStart;
  for (int n = 0; at < segmentEnd && n < kMaxElements; ++n) {
    element = ElementAt(source, at);
    if (!element) return std::nullopt;
    if (element->id == kTracks) {
      if (element->unknownSize) return std::nullopt;
      const std::optional<Bytes> tracks = source.View(element->dataStart, element->size);
      if (!tracks) return std::nullopt;
      return CountAudioTracks(*tracks);
    }
    if (element->id == kSeekHead && !element->unknownSize && !tracksAt) {
      if (const std::optional<Bytes> index = source.View(element->dataStart, element->size)) {
        if (const std::optional<std::uint64_t> position = TracksPosition(*index)) {
          if (*position <= segmentEnd - segmentStart) tracksAt = segmentStart + *position;
        }
      }
    }
    if (element->id == kCluster || element->unknownSize) {
      // The media data: the track list comes later, if at all.
      if (!tracksAt || *tracksAt <= at) return std::nullopt;
      at = *tracksAt;
      continue;
    }
    at = element->dataStart + element->size;
  }
  return std::nullopt;
}

// ---- MP4 and QuickTime: boxes ------------------------------------------------------

struct Box {
  std::uint32_t type = 0;
  std::uint64_t dataStart = 0;
  std::uint64_t end = 0;
};

constexpr std::uint32_t FourCc(const char (&name)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[3]));
}

// The box at `offset`, which must end by `parentEnd`.
std::optional<Box> BoxAt(Source& source, std::uint64_t offset, std::uint64_t parentEnd) {
  if (offset >= parentEnd || parentEnd - offset < 8) return std::nullopt;
  const std::optional<Bytes> bytes = source.View(offset, 8);
  if (!bytes) return std::nullopt;
  std::uint64_t size = BigEndian(bytes->first(4));
  const std::uint32_t type = static_cast<std::uint32_t>(BigEndian(bytes->subspan(4, 4)));
  std::uint64_t header = 8;
  if (size == 1) {
    const std::optional<Bytes> large = source.View(offset + 8, 8);
    if (!large) return std::nullopt;
    size = BigEndian(*large);
    header = 16;
  } else if (size == 0) {
    size = parentEnd - offset;  // to the end of the file
  }
  if (size < header || size > parentEnd - offset) return std::nullopt;
  return Box{type, offset + header, offset + size};
}

// The first child of `parent` of `type`; nullopt when there is none or the children
// are damaged (then `damaged` is set).
std::optional<Box> FindChild(Source& source, const Box& parent, std::uint32_t type, int& budget,
                             bool& damaged) {
  for (std::uint64_t at = parent.dataStart; at < parent.end;) {
    if (--budget < 0) {
      damaged = true;
      return std::nullopt;
    }
    const std::optional<Box> child = BoxAt(source, at, parent.end);
    if (!child) {
      damaged = true;
      return std::nullopt;
    }
    if (child->type == type) return child;
    at = child->end;
  }
  return std::nullopt;
}

std::optional<std::int32_t> CountSoundTracks(Source& source, const Box& movie) {
  int budget = kMaxElements;
  std::int32_t sound = 0;
  int tracks = 0;
  for (std::uint64_t at = movie.dataStart; at < movie.end;) {
    if (--budget < 0) return std::nullopt;
    const std::optional<Box> child = BoxAt(source, at, movie.end);
    if (!child) return std::nullopt;
    at = child->end;
    if (child->type != FourCc("trak")) continue;
    ++tracks;
    bool damaged = false;
    const std::optional<Box> media = FindChild(source, *child, FourCc("mdia"), budget, damaged);
    const std::optional<Box> handler =
        media ? FindChild(source, *media, FourCc("hdlr"), budget, damaged) : std::nullopt;
    if (damaged) return std::nullopt;
    if (!handler) continue;
    // Version and flags, the pre-defined field, then the handler type.
    if (handler->end - handler->dataStart < 12) return std::nullopt;
    const std::optional<Bytes> fields = source.View(handler->dataStart, 12);
    if (!fields) return std::nullopt;
    if (BigEndian(fields->subspan(8, 4)) == FourCc("soun")) ++sound;
  }
  // A movie box without tracks (a compressed one, "cmov") says nothing.
  if (tracks == 0) return std::nullopt;
  return sound;
}

std::optional<std::int32_t> CountMp4(Source& source) {
  // The top-level boxes in order; the movie box may come after the media data.
  std::uint64_t at = 0;
  for (int n = 0; at < source.Size() && n < kMaxElements; ++n) {
    const std::optional<Box> box = BoxAt(source, at, source.Size());
    if (!box) return std::nullopt;
    if (box->type == FourCc("moov")) return CountSoundTracks(source, *box);
    at = box->end;
  }
  return std::nullopt;
}

}  // namespace

Container ContainerOfName(std::string_view file) {
  for (const auto& entry : kSuffixContainers) {
    if (EndsWithIgnoringAsciiCase(file, entry.suffix)) return entry.container;
  }
  return Container::Other;
}

std::int32_t CountAudioStreams(Files& files, std::string_view path, Container container,
                               std::span<const std::byte> head, std::uint64_t size) {
  if (container == Container::Other) return 1;
  Source source(files, path,
                head.first(static_cast<std::size_t>(std::min<std::uint64_t>(head.size(), size))),
                size);
  const std::optional<std::int32_t> count =
      container == Container::Matroska ? CountMatroska(source) : CountMp4(source);
  return count.value_or(1);
}

std::int32_t ReadContainerAudioStreams(Files& files, std::string_view path) {
  const Container container = ContainerOfName(path);
  if (container == Container::Other) return 1;
  std::array<std::byte, kContainerHeadBytes> head;  // only the bytes read are looked at
  const std::optional<Files::Head> read = files.ReadHead(path, 0, head);
  if (!read) return 1;
  return CountAudioStreams(files, path, container, std::span(head).first(read->read), read->size);
}

}  // namespace quorvel
