#pragma once
// Gives a fuzz input a file name, since the picture decoders read files: one file in a
// private folder, rewritten for every input and removed at exit, read through the
// platform's own files service as the program reads cover pictures.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/services.h"
#include "support/temp_dir.h"

namespace quorvel::fuzzing {

// The platform's files service, for the whole run.
inline Files& InputFiles() {
  class Silent final : public UserMessages {
   public:
    MessageAnswer Show(std::string_view, std::string_view, MessageButtons, MessageIcon) override {
      return MessageAnswer::Ok;
    }
  };
  static Silent messages;
  static const std::unique_ptr<PlatformServices> platform = CreatePlatformServices(messages);
  return platform->services.files;
}

inline const std::string& InputFile(const std::uint8_t* data, std::size_t size) {
  static const quorvel::testing::TempDir folder;
  static const std::string path = (folder.path() / "input").string();
  if (folder.path().empty()) std::abort();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) std::abort();
  return path;
}

}  // namespace quorvel::fuzzing
