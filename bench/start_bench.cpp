// Start-up to the first painted frame: `quorvel -fs -p samples/demo-disk` against a bare
// Qt program that shows one empty full-screen widget, alternately, on a private Xvfb of
// 1920 x 1080. Prints both medians in milliseconds and their ratio (goal: at most 1.5).
//
//   build/bench/start_bench [RUNS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "program_harness.h"
#include "support/xvfb.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr double kGoal = 1.5;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  quorvel::testing::Xvfb xvfb("1920x1080x24");
  if (!xvfb.Running()) {
    std::fprintf(stderr, "start_bench: Xvfb did not start\n");
    return 1;
  }
  const fs::path home =
      fs::temp_directory_path() / ("quorvel-start-bench-" + std::to_string(getpid()));
  fs::create_directories(home / "runtime");
  fs::permissions(home / "runtime", fs::perms::owner_all);
  // A copy under a name of its own (this run's): no other quorvel on the machine, not even
  // another run of this benchmark, stops it.
  const fs::path program = home / ("quorvel-bench-" + std::to_string(getpid()));
  fs::copy_file(QUORVEL_BINARY_DIR "/quorvel/quorvel", program);
  // Both programs start in a desktop session as it usually is: with a session bus.
  const quorvel::bench::SessionBus bus((home / "runtime" / "bus").string());
  const std::vector<std::string> env = {
      "DISPLAY=" + xvfb.Display(), "QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + home.string(),
      "XDG_RUNTIME_DIR=" + (home / "runtime").string(), bus.Environment()};
  const std::vector<std::string> quorvel = {program.string(), "-fs", "-p",
                                            QUORVEL_SOURCE_DIR "/samples/demo-disk"};
  const std::vector<std::string> bare = {QUORVEL_BINARY_DIR "/bench/bare_fullscreen"};

  std::vector<double> ours;
  std::vector<double> peer;
  // One of each first, not counted: the files are in the page cache afterwards.
  for (int i = -1; i < runs; ++i) {
    for (int which = 0; which < 2; ++which) {
      // Alternate which goes first, so that neither always follows the other.
      const bool quorvelNow = (which == 0) == (i % 2 == 0);
      quorvel::bench::Run run(quorvelNow ? quorvel : bare, env);
      const auto frame = run.FirstFrame(20s);
      if (!frame) {
        std::fprintf(stderr, "start_bench: %s showed no frame\n",
                     quorvelNow ? "quorvel" : "bare Qt");
        fs::remove_all(home);
        return 1;
      }
      if (i >= 0) (quorvelNow ? ours : peer).push_back(static_cast<double>(*frame) / 1e6);
    }
  }
  fs::remove_all(home);
  const double ourMs = Median(ours);
  const double peerMs = Median(peer);
  const double ratio = ourMs / peerMs;
  std::printf("first painted frame, median of %d runs on a 1920 x 1080 Xvfb:\n", runs);
  std::printf("  quorvel -fs -p samples/demo-disk  %7.1f ms\n", ourMs);
  std::printf("  bare Qt full-screen widget        %7.1f ms\n", peerMs);
  std::printf("ratio %.2f  goal <= %.1f %s\n", ratio, kGoal, ratio <= kGoal ? "met" : "MISSED");
  return ratio <= kGoal ? 0 : 1;
}
