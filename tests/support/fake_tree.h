#pragma once
// The fake file tree of platform/fake/ behind the calls of TempTree: a test names files
// with '/' below one root, and gets platform paths back, on any platform.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/fake/fake_file_tree.h"
#include "platform/native_path.h"

namespace quorvel::testing {

// `relative` ('/' between components) below `folder`, as a platform path.
inline std::string At(std::string_view folder, std::string_view relative) {
  std::string name(relative);
  std::replace(name.begin(), name.end(), '/', NativeSeparator());
  return JoinNativePath(folder, name);
}

class FakeTree {
 public:
  // The root of the tree: a folder of its own, "/fake" where paths start with '/'.
  const std::string& Root() const { return root_; }
  std::string Path(std::string_view relative) const { return At(root_, relative); }

  std::string File(std::string_view relative, std::string_view bytes = {}) {
    const std::string path = Path(relative);
    files_.AddFile(path, bytes);
    return path;
  }
  // A file of `size` bytes, all zero, that holds no memory.
  std::string SparseFile(std::string_view relative, std::uint64_t size) {
    const std::string path = Path(relative);
    files_.AddSizedFile(path, size);
    return path;
  }
  std::string Folder(std::string_view relative) {
    const std::string path = Path(relative);
    files_.AddFolder(path);
    return path;
  }
  void Remove(std::string_view relative) { files_.Remove(Path(relative)); }

  FakeFileTree& files() { return files_; }

 private:
  std::string root_ = At(std::string(1, NativeSeparator()), "fake");
  FakeFileTree files_ = [this] {
    FakeFileTree files;
    files.AddFolder(root_);
    return files;
  }();
};

}  // namespace quorvel::testing

namespace quorvel::testing {

// A file tree without files: a movie made with it reads no AVI header (its file cannot
// be opened) and keeps one audio stream.
inline FakeFileTree& NoFiles() {
  static FakeFileTree files;
  return files;
}

}  // namespace quorvel::testing
