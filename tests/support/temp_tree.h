#pragma once
// A private folder tree for one test, removed with everything in it at the end.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace quorvel::testing {

class TempTree {
 public:
  TempTree() : root_(MakeTempFolder().string()) {
    if (root_.empty()) std::abort();
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;
  ~TempTree() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }

  const std::string& Root() const { return root_; }
  std::string Path(std::string_view relative) const { return root_ + "/" + std::string(relative); }

  // Writes `bytes` to `relative`, making the folders above it.
  std::string File(std::string_view relative, std::string_view bytes = {}) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
    return path;
  }

  // A sparse file of `size` bytes: large sizes without using the disk.
  std::string SparseFile(std::string_view relative, std::uint64_t size) const {
    const std::string path = File(relative);
    std::filesystem::resize_file(path, size);
    return path;
  }

  std::string Folder(std::string_view relative) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(path);
    return path;
  }

 private:
  std::string root_;
};

// Runs a shell command; the test fails when it does not exit with 0.
inline bool RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << command;
  return status == 0;
}

// A command line word quoted for the shell.
inline std::string ShellQuote(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace quorvel::testing
