#pragma once
// Helpers of the picture tests: a fresh folder per test, whole-file reads, and a builder
// for BMP files whose every header field a test can set.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/services.h"
#include "windows_rules/little_endian.h"

namespace quorvel::testing {

// The platform's own files service, through which the decoders read the test files as
// they read cover pictures in the program.
inline Files& DiskFiles() {
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

using Bytes = std::vector<std::uint8_t>;

inline std::string PictureData(const std::string& relative) {
  return std::string(QUORVEL_TEST_DATA) + "/picture/" + relative;
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline Bytes Span(const std::uint8_t* data, std::size_t size) { return Bytes(data, data + size); }

// Open descriptors of this process, to see that a decoder closes its file on every path.
inline int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() /
           ("quorvel-picture-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const Bytes& bytes) const {
    WriteBytes(Path(name), bytes);
    return Path(name);
  }
  std::string CopyData(const std::string& relative, const std::string& name) const {
    return Write(name, ReadBytes(PictureData(relative)));
  }

 private:
  std::filesystem::path dir_;
};

// A BMP file: 14-byte file header, a 40-byte info header (or `headerSize` bytes of it, or
// the 12-byte OS/2 core header), optional extra header bytes, palette, gap, pixel bytes.
// The pixel data offset follows from the parts unless `pixelOffset` is set.
struct BmpFile {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  Bytes palette{};  // entries as stored: B, G, R[, 0]
  std::size_t gap = 0;
  Bytes pixels{};  // the rows as stored, padding included
  std::int64_t pixelOffset = -1;
  char magic[2] = {'B', 'M'};

  Bytes Build() const {
    Bytes out;
    auto put = [&out](std::uint32_t value, int size) {
      quorvel::AppendLittleEndian(out, value, size);
    };
    const std::size_t headerBytes = headerSize == 12 ? 12 : std::max<std::uint32_t>(headerSize, 16);
    const std::size_t offset = pixelOffset >= 0 ? static_cast<std::size_t>(pixelOffset)
                                                : 14 + headerBytes + palette.size() + gap;
    out.push_back(static_cast<std::uint8_t>(magic[0]));
    out.push_back(static_cast<std::uint8_t>(magic[1]));
    put(0, 4);  // file size: not read
    put(0, 4);  // reserved
    put(offset, 4);
    put(headerSize, 4);
    if (headerSize == 12) {
      put(static_cast<std::uint16_t>(width), 2);
      put(static_cast<std::uint16_t>(height), 2);
      put(1, 2);
      put(bits, 2);
    } else {
      Bytes info;
      out.swap(info);
      put(static_cast<std::uint32_t>(width), 4);
      put(static_cast<std::uint32_t>(height), 4);
      put(1, 2);
      put(bits, 2);
      put(compression, 4);
      out.resize(out.size() + 12);  // image size, resolutions
      put(coloursUsed, 4);
      put(0, 4);
      out.resize(headerBytes - 4);  // shortened headers end early, longer ones add zeros
      info.insert(info.end(), out.begin(), out.end());
      out.swap(info);
    }
    out.insert(out.end(), palette.begin(), palette.end());
    out.resize(out.size() + gap);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

}  // namespace quorvel::testing
