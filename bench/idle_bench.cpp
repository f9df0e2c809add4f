// `quorvel -fs -p samples/demo-disk` left alone on a private Xvfb of 1920 x 1080: the CPU
// time it uses in a minute (it reads the disk every 5 seconds) and the memory it holds.
// Goals: under 0.5 % of one core, under 60 MB resident.
//
//   build/bench/idle_bench [SECONDS]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "program_harness.h"
#include "support/xvfb.h"

int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  namespace fs = std::filesystem;
  constexpr double kCpuGoalPercent = 0.5;
  constexpr double kMemoryGoalMb = 60;
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

  quorvel::testing::Xvfb xvfb("1920x1080x24");
  if (!xvfb.Running()) {
    std::fprintf(stderr, "idle_bench: Xvfb did not start\n");
    return 1;
  }
  const fs::path home =
      fs::temp_directory_path() / ("quorvel-idle-bench-" + std::to_string(getpid()));
  fs::create_directories(home / "runtime");
  fs::permissions(home / "runtime", fs::perms::owner_all);
  // A copy under a name of this run's own: no other quorvel on the machine, not even
  // another run of this benchmark, stops it.
  const fs::path program = home / ("quorvel-bench-" + std::to_string(getpid()));
  fs::copy_file(QUORVEL_BINARY_DIR "/quorvel/quorvel", program);
  double cpuPercent = 0;
  double rss = 0;
  double peak = 0;
  {
    const quorvel::bench::SessionBus bus((home / "runtime" / "bus").string());
    quorvel::bench::Run run(
        {program.string(), "-fs", "-p", QUORVEL_SOURCE_DIR "/samples/demo-disk"},
        {"DISPLAY=" + xvfb.Display(), "QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + home.string(),
         "XDG_RUNTIME_DIR=" + (home / "runtime").string(), bus.Environment()});
    if (!run.FirstFrame(20s)) {
      std::fprintf(stderr, "idle_bench: quorvel showed no frame\n");
      fs::remove_all(home);
      return 1;
    }
    // Start-up is over once the first poll has run.
    std::this_thread::sleep_for(6s);
    const double before = run.CpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    cpuPercent = (run.CpuSeconds() - before) / seconds * 100;
    rss = run.StatusMegabytes("VmRSS");
    peak = run.StatusMegabytes("VmHWM");
    if (!run.Running()) {
      std::fprintf(stderr, "idle_bench: quorvel ended\n");
      fs::remove_all(home);
      return 1;
    }
  }
  fs::remove_all(home);
  const bool cpuMet = cpuPercent < kCpuGoalPercent;
  const bool memoryMet = rss < kMemoryGoalMb;
  std::printf("quorvel -fs -p samples/demo-disk, idle for %d s on a 1920 x 1080 Xvfb:\n", seconds);
  std::printf("  CPU      %.3f %% of one core   goal < %.1f %% %s\n", cpuPercent, kCpuGoalPercent,
              cpuMet ? "met" : "MISSED");
  std::printf("  resident %.1f MB (peak %.1f MB)   goal < %.0f MB %s\n", rss, peak, kMemoryGoalMb,
              memoryMet ? "met" : "MISSED");
  return cpuMet && memoryMet ? 0 : 1;
}
