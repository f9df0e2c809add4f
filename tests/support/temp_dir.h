#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it
// when the test ends.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace quorvel::testing {

// Makes a new folder "quorvel-test-" plus a random suffix under the system's temporary
// folder, private to this run; empty when none could be made.
inline std::filesystem::path MakeTempFolder() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return {};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path path =
        base / ("quorvel-test-" + std::to_string(random() % 1000000000000ULL));
    if (std::filesystem::create_directory(path, error)) return path;
  }
  return {};
}

class TempDir {
 public:
  TempDir() : path_(MakeTempFolder()) {}
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quorvel::testing
