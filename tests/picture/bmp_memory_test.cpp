// The decoders with bounded memory: a BMP file that declares a huge picture but holds too
// few rows is refused before the picture's memory is asked for, and a JPEG file far
// larger than the memory at hand is read in pieces, never whole. The bound is an address
// space limit in a child process (fork, setrlimit, /proc), so this runs on Linux only.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "picture/bmp_reader.h"
#include "picture/jpeg_loader.h"
#include "picture_test_files.h"
#include "platform/fake/recording_messages.h"

namespace quorvel {
namespace {

using testing::DiskFiles;

using testing::BmpFile;
using testing::Bytes;
using testing::WriteBytes;

// Runs `decode` in a child whose address space may grow by `headroom` bytes at most: a
// larger allocation fails there. What `decode` returns, or "child failed".
std::string WithAddressSpaceHeadroom(const std::function<std::string()>& decode,
                                     std::size_t headroom) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const auto limit = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + headroom);
    const rlimit bound{limit, limit};
    if (setrlimit(RLIMIT_AS, &bound) != 0) _exit(1);
    const std::string text = decode();
    const bool written =
        write(pipeFds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    _exit(written ? 0 : 1);
  }
  close(pipeFds[1]);
  std::string text;
  char chunk[256];
  for (ssize_t got; (got = read(pipeFds[0], chunk, sizeof chunk)) > 0;) text.append(chunk, got);
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "child failed";
}

// "picture" on success.
std::string ReadWithAddressSpaceHeadroom(const std::string& path, std::size_t headroom) {
  return WithAddressSpaceHeadroom(
      [&] {
        BmpReader reader(DiskFiles());
        int width = 0;
        int height = 0;
        return reader.Read(path, width, height) ? std::string("picture") : reader.ErrorText();
      },
      headroom);
}

class BmpMemoryTest : public testing::TempDirTest {};

TEST_F(BmpMemoryTest, AFileHoldingLessThanItsRowsIsRefusedWithoutThePictureBeingAllocated) {
  // 118 bytes that declare 8192 x 8192 pixels, a picture of 200 MB: 24 bits with 64
  // bytes of pixels, and 8 bits with a 16-entry palette and no pixels at all.
  Bytes palette;
  for (int i = 0; i < 16; ++i) palette.insert(palette.end(), {0, 0, 0, 0});
  const BmpFile rgb{.width = 8192, .height = 8192, .pixels = Bytes(64, 0x55)};
  const BmpFile indexed{
      .width = 8192, .height = 8192, .bits = 8, .coloursUsed = 16, .palette = palette};
  constexpr std::size_t kHeadroom = 64u << 20;
  for (const BmpFile* file : {&rgb, &indexed}) {
    const std::string path = Write("picture.bmp", file->Build());
    // With no room for the picture the answer is the one it gets with room: it was
    // never asked for.
    EXPECT_EQ(ReadWithAddressSpaceHeadroom(path, kHeadroom), "Read Error");
  }
  // The same room is plenty for a picture whose file holds its rows.
  const BmpFile whole{.width = 1024, .height = 1024, .pixels = Bytes(1024 * 1024 * 3, 7)};
  WriteBytes(Path("whole.bmp"), whole.Build());
  EXPECT_EQ(ReadWithAddressSpaceHeadroom(Path("whole.bmp"), kHeadroom), "picture");
}

TEST_F(BmpMemoryTest, AJpegFileLargerThanTheMemoryAtHandIsReadInPieces) {
  // A small picture behind 96 MB of comment segments (the most a segment holds, 1500 of
  // them): the loader reads past them in pieces, in 32 MB of room.
  const Bytes picture = testing::ReadBytes(testing::PictureData("jpeg/testorig.jpg"));
  Bytes file(picture.begin(), picture.begin() + 2);  // start of image
  const Bytes comment = [] {
    Bytes segment{0xff, 0xfe, 0xff, 0xff};  // a comment of 65533 bytes
    segment.resize(segment.size() + 65533, 'c');
    return segment;
  }();
  for (int i = 0; i < 1500; ++i) file.insert(file.end(), comment.begin(), comment.end());
  file.insert(file.end(), picture.begin() + 2, picture.end());
  WriteBytes(Path("big.jpg"), file);
  const std::string path = Path("big.jpg");
  EXPECT_EQ(WithAddressSpaceHeadroom(
                [&] {
                  RecordingMessages messages;
                  int width = 0;
                  int height = 0;
                  return JpegLoader(DiskFiles(), messages).Load(path, width, height)
                             ? std::string("picture")
                             : std::string("failed");
                },
                32u << 20),
            "picture");
}

}  // namespace
}  // namespace quorvel
