// The poll of the full-screen window: ReadDisk on the disk it read last time, which
// must cost no more than the volume-label query (target: median under 50 us).
//   build/bench/disk_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "platform/linux/linux_volumes.h"
#include "platform/linux/posix_files.h"

namespace {

// A disk folder with a few movies and a picture, removed at the end.
class BenchDisk {
 public:
  BenchDisk() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    for (int i = 0; i < 20; ++i) {
      const std::string file = root_ + "/movie" + std::to_string(i) + ".avi";
      std::ofstream(file).put('x');
      std::filesystem::resize_file(file, 800u << 20);
    }
    std::ofstream(root_ + "/cover.jpg").put('x');
  }
  ~BenchDisk() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
};

// The unchanged-disk poll through the real mount table and label sources.
void BM_UnchangedDiskPoll(benchmark::State& state) {
  BenchDisk disk;
  quorvel::Settings settings;
  quorvel::LinuxVolumes volumes;
  quorvel::PosixFiles files;
  quorvel::DiskInfo info;
  info.ReadDisk(disk.Root(), settings, volumes, files);
  if (info.MovieCount() != 20) state.SkipWithError("the disk was not read");
  for (auto _ : state) {
    const quorvel::ReadResult result = info.ReadDisk(disk.Root(), settings, volumes, files);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_UnchangedDiskPoll)->Unit(benchmark::kMicrosecond);

// The first read of the same disk, for comparison: what the poll avoids.
void BM_FirstRead(benchmark::State& state) {
  BenchDisk disk;
  quorvel::Settings settings;
  quorvel::LinuxVolumes volumes;
  quorvel::PosixFiles files;
  for (auto _ : state) {
    quorvel::DiskInfo info;
    const quorvel::ReadResult result = info.ReadDisk(disk.Root(), settings, volumes, files);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_FirstRead)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
