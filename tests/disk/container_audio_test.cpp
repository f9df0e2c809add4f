// The audio streams of today's movie files: real Matroska, WebM, MP4 and QuickTime files
// that ffmpeg made when the tests were built, and those files cut short and damaged, and
// hand-made headers that try to make the reader walk or read without end.
#include "disk/container_audio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "disk/movie.h"
#include "platform/fake/fake_file_tree.h"
#include "platform/native_path.h"
#include "support/counting_files.h"

namespace quorvel {
namespace {

using testing::CountingFiles;

std::string RealFile(const std::string& name) {
  return std::string(QUORVEL_TEST_VIDEO_DIR) + "/" + name;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<std::string>& Kinds() {
  static const std::vector<std::string> kinds = {"mkv", "webm", "mp4", "faststart.mp4", "mov"};
  return kinds;
}

// A fake file with `bytes` (and zeros up to `size` when that is larger), read through a
// counting files service: the count, with the reads and bytes it cost.
struct Counted {
  std::int32_t streams = 0;
  int reads = 0;
  std::uint64_t bytes = 0;
};
Counted CountBytes(const std::string& name, const std::string& bytes, std::uint64_t size = 0) {
  FakeFileTree tree;
  const std::string path = JoinNativePath(std::string(1, NativeSeparator()), name);
  tree.AddFile(path, bytes);
  // A sized file keeps its contents as its first bytes.
  if (size > bytes.size()) tree.AddSizedFile(path, size);
  CountingFiles files(tree);
  Counted counted;
  counted.streams = ReadContainerAudioStreams(files, path);
  counted.reads = files.reads;
  counted.bytes = files.bytes;
  return counted;
}

void ExpectBounded(const Counted& counted, const std::string& what) {
  EXPECT_LE(counted.reads, kMaxContainerReads + 1) << what;
  EXPECT_LE(counted.bytes, kMaxContainerBytes) << what;
}

// ---- hand-made headers ---------------------------------------------------------------

std::string BigEndianBytes(std::uint64_t value, int length) {
  std::string out;
  for (int i = length - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}
std::string Id(std::uint32_t id) {
  int length = 4;
  while (length > 1 && (id >> (8 * (length - 1))) == 0) --length;
  return BigEndianBytes(id, length);
}
// Sizes as eight-byte numbers, which every EBML reader takes.
std::string Size(std::uint64_t size) { return "\x01" + BigEndianBytes(size, 7); }
const std::string kUnknownSize("\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8);
std::string El(std::uint32_t id, const std::string& payload) {
  return Id(id) + Size(payload.size()) + payload;
}
std::string Track(int type) {
  return El(0xAE, El(0xD7, "\x01") + El(0x83, std::string(1, char(type))));
}
const std::string kHeader = El(0x1A45DFA3, El(0x4282, "matroska"));
std::string Segment(const std::string& payload) { return kHeader + El(0x18538067, payload); }

std::string Box(const std::string& type, const std::string& payload) {
  return BigEndianBytes(payload.size() + 8, 4) + type + payload;
}
std::string Trak(const std::string& handler) {
  const std::string hdlr = Box("hdlr", std::string(8, '\0') + handler + std::string(13, '\0'));
  return Box("trak", Box("tkhd", std::string(84, '\0')) +
                         Box("mdia", Box("mdhd", std::string(24, '\0')) + hdlr +
                                         Box("minf", Box("vmhd", std::string(12, '\0')))));
}
const std::string kFtyp = Box("ftyp", "isom" + std::string(4, '\0') + "isommp41");

TEST(ContainerAudio, RealFilesOfEveryKindWithOneTwoAndThreeStreams) {
  FakeFileTree none;
  EXPECT_EQ(ContainerOfName("a.MKV"), Container::Matroska);
  EXPECT_EQ(ContainerOfName("a.webm"), Container::Matroska);
  EXPECT_EQ(ContainerOfName("a.Mp4"), Container::Mp4);
  EXPECT_EQ(ContainerOfName("a.m4v"), Container::Mp4);
  EXPECT_EQ(ContainerOfName("a.mov"), Container::Mp4);
  EXPECT_EQ(ContainerOfName("a.ts"), Container::Other);
  EXPECT_EQ(ContainerOfName("mkv"), Container::Other);
  for (const std::string& kind : Kinds()) {
    for (int audio = 1; audio <= 3; ++audio) {
      const std::string name = "audio" + std::to_string(audio) + "." + kind;
      const std::string bytes = Slurp(RealFile(name));
      ASSERT_GT(bytes.size(), 1000u) << name;
      // Read as the loose-file search reads it, and as a movie made from its name.
      const Counted counted = CountBytes(name, bytes);
      EXPECT_EQ(counted.streams, audio) << name;
      ExpectBounded(counted, name);
      FakeFileTree tree;
      tree.AddFile(JoinNativePath(std::string(1, NativeSeparator()), name), bytes);
      const Movie movie("t", JoinNativePath(std::string(1, NativeSeparator()), name), tree);
      EXPECT_EQ(movie.Type(), MovieType::Video) << name;
      EXPECT_EQ(movie.AudioStreams(), audio) << name;
      EXPECT_EQ(movie.TypeName(), "Video");
    }
  }
  // Other containers, and files that cannot be opened, count one.
  EXPECT_EQ(ReadContainerAudioStreams(none, "/x/missing.mkv"), 1);
  EXPECT_EQ(CountBytes("film.ts", std::string(5000, 'G')).streams, 1);
}

TEST(ContainerAudio, CutShortOrDamagedFilesCountOneWithinTheirBounds) {
  for (const std::string& kind : Kinds()) {
    const std::string name = "audio3." + kind;
    const std::string bytes = Slurp(RealFile(name));
    ASSERT_FALSE(bytes.empty()) << name;
    // Every length up to the first 6000 bytes in steps, and near the end: the count is
    // the file's own when its headers are whole, else 1.
    for (std::size_t length = 0; length < bytes.size(); length += length < 6000 ? 13 : 997) {
      const Counted counted = CountBytes(name, bytes.substr(0, length));
      EXPECT_TRUE(counted.streams == 1 || counted.streams == 3) << name << " cut at " << length;
      ExpectBounded(counted, name);
    }
    // Each of the first bytes set to 0xFF, in turn (a size becomes huge or unknown, an
    // id another one): never a crash, never an unbounded read.
    for (std::size_t at = 0; at < std::min<std::size_t>(bytes.size(), 1500); ++at) {
      std::string damaged = bytes;
      damaged[at] = '\xFF';
      ExpectBounded(CountBytes(name, damaged), name + " damaged at " + std::to_string(at));
    }
  }
  // A movie box at the end that was cut off: the MP4 whose headers follow its media.
  const std::string late = Slurp(RealFile("audio2.mp4"));
  EXPECT_EQ(CountBytes("late.mp4", late.substr(0, late.size() - 20)).streams, 1);
}

TEST(ContainerAudio, MatroskaHeadersMadeByHand) {
  const std::string tracks = El(0x1654AE6B, Track(1) + Track(2) + Track(2) + Track(17));
  EXPECT_EQ(CountBytes("a.mkv", Segment(tracks)).streams, 2);
  // A segment of unknown size (a live recording), filler before it.
  EXPECT_EQ(CountBytes("b.mkv", kHeader + El(0xEC, "....") + Id(0x18538067) + kUnknownSize + tracks)
                .streams,
            2);
  // No audio track at all: none, for a well-formed file.
  EXPECT_EQ(CountBytes("c.webm", Segment(El(0x1654AE6B, Track(1)))).streams, 0);
  // A track list without entries, or an entry running past its list, says nothing.
  EXPECT_EQ(CountBytes("d.mkv", Segment(El(0x1654AE6B, ""))).streams, 1);
  std::string overrun = Segment(El(0x1654AE6B, Track(2)));
  overrun[overrun.size() - Track(2).size() + 1 + 7] = '\x7F';  // the entry's size
  EXPECT_EQ(CountBytes("e.mkv", overrun).streams, 1);
  // Not Matroska at all.
  EXPECT_EQ(CountBytes("f.mkv", "RIFF" + std::string(5000, '\0')).streams, 1);

  // The track list after the media, found through the seek index before it.
  const std::string cluster = El(0x1F43B675, std::string(30000, 'c'));
  const std::string info = El(0x1549A966, std::string(20, 'i'));
  auto seekHead = [&](std::uint64_t position) {
    return El(0x114D9B74,
              El(0x4DBB, El(0x53AB, Id(0x1654AE6B)) + El(0x53AC, BigEndianBytes(position, 8))));
  };
  const std::size_t seekSize = seekHead(0).size();
  const std::string late =
      seekHead(seekSize + info.size() + cluster.size()) + info + cluster + tracks;
  const Counted found = CountBytes("g.mkv", Segment(late));
  EXPECT_EQ(found.streams, 2);
  EXPECT_LE(found.reads, 3) << "the media data is skipped, not read";
  // Without the index, the media ends the search.
  EXPECT_EQ(CountBytes("h.mkv", Segment(info + cluster + tracks)).streams, 1);
  // An index that points anywhere else.
  EXPECT_EQ(CountBytes("i.mkv", Segment(seekHead(1ull << 50) + info + cluster + tracks)).streams,
            1);
}

TEST(ContainerAudio, HostileHeadersAreReadWithinTheirBounds) {
  // A track list said to be 100 MB long in a file of 200 MB of zeros.
  const std::string huge =
      kHeader + Id(0x18538067) + kUnknownSize + Id(0x1654AE6B) + Size(100u << 20);
  Counted counted = CountBytes("huge.mkv", huge, 200u << 20);
  EXPECT_EQ(counted.streams, 1);
  ExpectBounded(counted, "a huge track list");
  // Filler elements without end before the track list.
  std::string filler;
  for (int i = 0; i < 200000; ++i) filler += "\xEC\x80";
  counted = CountBytes("filler.mkv", Segment(filler + El(0x1654AE6B, Track(2))));
  EXPECT_EQ(counted.streams, 1);
  ExpectBounded(counted, "filler");
  // Clusters one after another, a seek index sending the reader back to the start.
  const std::string loop =
      El(0x114D9B74, El(0x4DBB, El(0x53AB, Id(0x1654AE6B)) + El(0x53AC, BigEndianBytes(0, 8))));
  counted = CountBytes("loop.mkv", Segment(loop + El(0x1F43B675, "x")));
  EXPECT_EQ(counted.streams, 1);
  ExpectBounded(counted, "an index pointing back");

  // MP4: boxes of eight bytes each, ten megabytes of them, before the movie box.
  std::string boxes = kFtyp;
  for (int i = 0; i < (10 << 20) / 8; ++i) boxes += Box("free", "");
  counted = CountBytes("boxes.mp4", boxes + Box("moov", Trak("soun")));
  EXPECT_EQ(counted.streams, 1);
  ExpectBounded(counted, "many boxes");
  // A media box of 3 GB (a 64-bit size) whose end is beyond the file.
  counted = CountBytes(
      "big.mp4", kFtyp + BigEndianBytes(1, 4) + "mdat" + BigEndianBytes(3ull << 30, 8), 1u << 20);
  EXPECT_EQ(counted.streams, 1);
  ExpectBounded(counted, "a media box past the end");
}

TEST(ContainerAudio, Mp4HeadersMadeByHand) {
  const std::string media = Box("mdat", std::string(50000, 'm'));
  // Sound tracks of the movie box, before or after the media data.
  EXPECT_EQ(
      CountBytes("a.mp4", kFtyp + Box("moov", Trak("vide") + Trak("soun") + Trak("soun")) + media)
          .streams,
      2);
  EXPECT_EQ(CountBytes("b.mov", kFtyp + media + Box("moov", Trak("soun") + Trak("text"))).streams,
            1);
  EXPECT_EQ(CountBytes("c.m4v", kFtyp + media + Box("moov", Trak("vide"))).streams, 0);
  // A movie box without tracks (compressed, "cmov"), a box of four bytes, a track whose
  // box runs past the movie box: nothing to count.
  EXPECT_EQ(CountBytes("d.mov", kFtyp + Box("moov", Box("cmov", "zzzz"))).streams, 1);
  EXPECT_EQ(CountBytes("e.mp4", kFtyp + BigEndianBytes(4, 4) + "free" + Box("moov", Trak("soun")))
                .streams,
            1);
  std::string overrun = kFtyp + Box("moov", Trak("soun"));
  overrun[kFtyp.size() + 8 + 3] = '\x7F';  // the track's size
  EXPECT_EQ(CountBytes("f.mp4", overrun).streams, 1);
  // A last box "to the end of the file" (size 0).
  EXPECT_EQ(CountBytes("g.mp4", kFtyp + BigEndianBytes(0, 4) + "moov" + Trak("soun") + Trak("soun"))
                .streams,
            2);
}

}  // namespace
}  // namespace quorvel
