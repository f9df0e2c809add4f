// A cover picture that is a FIFO, read through the real files service: the full-screen
// window's rules and quorvelctl cover go on at once, as for a picture that cannot be
// opened. Should a reader ever block on the FIFO, a watchdog opens its other end after a
// few seconds, so that the test fails rather than hangs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "rules/screen/screen_fixture.h"
#include "support/shell_command.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::Medium;
using testing::MoviesDisk;
using testing::ScreenFixture;

constexpr auto kPatience = 5s;

// Opens the writing end of every FIFO in `paths` once `kPatience` has passed, which lets
// a reader blocked in its opening go on; stopped (joined) when it goes out of scope.
class FifoWatchdog {
 public:
  explicit FifoWatchdog(std::vector<std::string> paths)
      : thread_([this, paths = std::move(paths)] {
          const auto deadline = std::chrono::steady_clock::now() + kPatience;
          while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(20ms);
          }
          while (!stop_) {
            for (const auto& path : paths) {
              const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (fd >= 0) ::close(fd);
            }
            std::this_thread::sleep_for(20ms);
          }
        }) {}
  ~FifoWatchdog() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(FifoCover, TheWindowShowsTheDiskWithoutThePictureAndGoesOn) {
  for (const char* name : {"cover.jpg", "cover.bmp"}) {
    SCOPED_TRACE(name);
    ScreenFixture f;
    const std::string folder = f.Insert(MoviesDisk("FILMS", 2));
    const std::string cover = folder + "/" + name;
    ASSERT_EQ(::mkfifo(cover.c_str(), 0600), 0);
    FifoWatchdog watchdog({cover});

    const auto start = std::chrono::steady_clock::now();
    f.Start();
    EXPECT_LT(std::chrono::steady_clock::now() - start, kPatience) << "the window waited";
    EXPECT_EQ(f.view.label, "FILMS");
    EXPECT_EQ(f.view.movies.size(), 3u);  // two movies and "Play all movie files"
    EXPECT_EQ(f.view.picture, Rect{});
    ASSERT_FALSE(f.messages.messages.empty());
    if (std::string_view(name) == "cover.jpg") {
      EXPECT_EQ(f.messages.messages[0].text, "JPEG :\nCan't open " + cover + "\n");
      EXPECT_EQ(f.messages.messages.back().text, "JPEG load failed");
    } else {
      EXPECT_EQ(f.messages.messages[0].text, "Can't open file for reading :\n" + cover);
    }
    // The next poll reads the same disk and goes on as well.
    f.Rules().OnTimer();
    EXPECT_EQ(f.view.movies.size(), 3u);
  }
}

TEST(FifoCover, QuorvelctlCoverRefusesItAtOnce) {
  testing::TempTree tree;
  const std::string jpeg = tree.Path("cover.jpg");
  const std::string bmp = tree.Path("cover.bmp");
  ASSERT_EQ(::mkfifo(jpeg.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(bmp.c_str(), 0600), 0);
  FifoWatchdog watchdog({jpeg, bmp});
  const std::string program = std::string(QUORVEL_BINARY_DIR) + "/quorvelctl/quorvelctl";

  const auto start = std::chrono::steady_clock::now();
  const testing::CommandRun jpegRun = testing::RunShell(testing::ShellQuote(program) + " cover " +
                                                        testing::ShellQuote(jpeg) + " 2>&1");
  const testing::CommandRun bmpRun = testing::RunShell(testing::ShellQuote(program) + " cover " +
                                                       testing::ShellQuote(bmp) + " 2>&1");
  EXPECT_LT(std::chrono::steady_clock::now() - start, kPatience) << "quorvelctl waited";
  EXPECT_EQ(jpegRun.status, 1);
  EXPECT_EQ(jpegRun.out, "JPEG :\nCan't open " + jpeg + "\n\nJPEG load failed\n");
  EXPECT_EQ(bmpRun.status, 1);
  EXPECT_EQ(bmpRun.out, "Can't open file for reading :\n" + bmp + "\n");
}

}  // namespace
}  // namespace quorvel
