// Disks through the Windows backend: files and folders of a real folder, the drive
// functions, and quorvelctl.exe reading drive D:, which Wine declares a CD-ROM drive
// whose disk is a folder of the build.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/native_path.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_volumes.h"
#include "support/temp_dir.h"
#include "win32_test_support.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::RunProgram;
using testing::WinPath;

void Write(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A RIFF AVI header with `audio` audio streams, enough for the stream count.
std::string Avi(int audio) {
  auto u32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
  };
  std::string streams;
  for (int i = 0; i <= audio; ++i) {
    std::string strh = "strh" + u32(56) + (i == 0 ? "vids" : "auds") + std::string(52, '\0');
    std::string list = "strl" + strh;
    streams += "LIST" + u32(static_cast<std::uint32_t>(list.size())) + list;
  }
  std::string avih = "avih" + u32(56) + std::string(24, '\0') +
                     u32(static_cast<std::uint32_t>(audio + 1)) + std::string(28, '\0');
  std::string hdrl = "hdrl" + avih + streams;
  std::string body = "AVI LIST" + u32(static_cast<std::uint32_t>(hdrl.size())) + hdrl;
  return "RIFF" + u32(static_cast<std::uint32_t>(body.size())) + body;
}

TEST(Win32FilesTest, ListsSizesAndReadsRealFiles) {
  quorvel::testing::TempDir dir;
  const std::string folder = WinPath(dir.path().string());
  Write(dir.path() / "Alpha.AVI", "a");
  Write(dir.path() / "beta.avi", "bb");
  Write(dir.path() / "gamma.mpg", "ccc");
  fs::create_directories(dir.path() / "folder.avi");
  Write(dir.path() / "lines.txt", "one\r\ntwo\rstill two\nthree");
  // A file of more than 4 GB, sparse, so its size needs 64 bits.
  {
    HANDLE big = ::CreateFileA(JoinNativePath(folder, "big.avi").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(big, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at{};
    at.QuadPart = (5LL << 30) + 7;
    ASSERT_TRUE(::SetFilePointerEx(big, at, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(big));
    ::CloseHandle(big);
  }

  Win32Files files;
  // Names match without regard to case; wildcards are no names.
  EXPECT_TRUE(files.EntryExists(folder, "ALPHA.avi"));
  EXPECT_TRUE(files.EntryExists(folder, "FOLDER.AVI"));
  EXPECT_FALSE(files.EntryExists(folder, "missing.avi"));
  EXPECT_FALSE(files.EntryExists(folder, "*.avi"));
  EXPECT_FALSE(files.EntryExists(folder, "sub\\x"));

  std::vector<std::string> names;
  for (const auto& entry : files.ListByExtension(folder, "AVI")) {
    names.push_back(entry.name);
    EXPECT_EQ(entry.path, folder + "\\" + entry.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha.AVI", "beta.avi", "big.avi", "folder.avi"}));
  EXPECT_TRUE(files.ListByExtension(folder + "\\missing", "avi").empty());
  EXPECT_FALSE(files.ListNames(folder + "\\missing").has_value());

  EXPECT_EQ(files.FileSize(folder + "\\BETA.AVI"), 2u);
  EXPECT_EQ(files.FileSize(folder + "\\big.avi"), (5ULL << 30) + 7);
  EXPECT_FALSE(files.FileSize(folder + "\\folder.avi").has_value());
  EXPECT_FALSE(files.FileSize(folder + "\\missing").has_value());

  std::byte buffer[4];
  EXPECT_EQ(files.ReadBytes(folder + "\\gamma.mpg", 1, buffer), 2u);
  const auto head = files.ReadHead(folder + "\\big.avi", (5ULL << 30) + 5, buffer);
  ASSERT_TRUE(head.has_value());
  EXPECT_EQ(head->size, (5ULL << 30) + 7);
  EXPECT_EQ(head->read, 2u);
  EXPECT_FALSE(files.ReadBytes(folder + "\\folder.avi", 0, buffer).has_value());
  // A device name is never opened as a file.
  EXPECT_FALSE(files.ReadFile("CON").has_value());
  EXPECT_FALSE(files.ReadFile("NUL").has_value());
  EXPECT_EQ(files.ReadFile(folder + "\\gamma.mpg"), "ccc");

  std::vector<std::string> lines;
  EXPECT_TRUE(files.ReadTextLines(folder + "\\lines.txt", [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  }));
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two\rstill two", "three"}));

  // Names from disk files, resolved over the listings: any letter case finds the
  // entry as the folder spells it; a name that climbs out of the folder names nothing.
  DiskNameResolver resolver = CreateDiskNameResolver(files);
  EXPECT_EQ(resolver.Resolve(folder, "ALPHA.avi"), folder + "\\Alpha.AVI");
  const std::string escape = resolver.Resolve(folder, "..\\..\\boot.ini");
  EXPECT_EQ(escape.rfind(folder + "\\", 0), 0u) << escape;
  EXPECT_FALSE(files.ReadFile(escape).has_value());
}

TEST(Win32VolumesTest, RootsLabelsAndDriveTypesOfTheSystem) {
  Win32Volumes volumes;
  EXPECT_EQ(volumes.VolumeRoot("C:\\films\\x"), "C:\\");
  EXPECT_EQ(volumes.VolumeRoot("d:"), "d:\\");
  EXPECT_EQ(volumes.VolumeRoot("\\\\server\\share\\dir"), "\\\\server\\share\\");
  EXPECT_EQ(volumes.VolumeRoot("films\\x"), "");

  EXPECT_TRUE(volumes.VolumeLabel("C:\\").has_value());
  // A drive letter that maps nothing: no volume, no box, type "no root".
  EXPECT_FALSE(volumes.VolumeLabel("Q:\\").has_value());
  EXPECT_FALSE(volumes.VolumeLabel("").has_value());
  EXPECT_EQ(volumes.DriveType("C:\\"), kDriveFixed);
  EXPECT_EQ(volumes.DriveType("Q:\\"), kDriveNoRootDir);
  EXPECT_EQ(volumes.DriveType(""), kDriveNoRootDir);

  quorvel::testing::TempDir dir;
  const std::string folder = WinPath(dir.path().string());
  EXPECT_EQ(volumes.DiskFolder(folder), folder);
  EXPECT_EQ(volumes.DiskFolder(folder + "\\missing"), "");
  EXPECT_EQ(volumes.DiskFolder(""), "");

  // Neither a network path nor a fixed disk is ever ejected.
  EXPECT_FALSE(volumes.EjectMedia("\\\\srv\\share\\", true));
  EXPECT_FALSE(volumes.EjectMedia("C:\\", true));
  EXPECT_FALSE(volumes.EjectMedia("x", true));
}

class CdromDriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(QUORVEL_WIN_CDROM_FOLDER).empty()) {
      GTEST_SKIP() << "no folder is mapped to drive D: (scripts/windows.sh maps one)";
    }
    disk_ = WinPath(QUORVEL_WIN_CDROM_FOLDER);
    Clear();
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Ostrell\\Quorvel");
  }
  void TearDown() override { Clear(); }

  // Empties the disk but for its label file: Wine's mount manager reads the label once,
  // when it starts, so scripts/windows.sh writes it before any test runs.
  void Clear() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(disk_, ignored)) {
      if (entry.path().filename() != kLabelFile) fs::remove_all(entry.path(), ignored);
    }
  }
  std::string Label() const {
    std::ifstream in(disk_ / kLabelFile);
    std::string label;
    std::getline(in, label);
    return label;
  }

  static constexpr const char* kLabelFile = ".windows-label";

  fs::path disk_;
};

TEST_F(CdromDriveTest, QuorvelctlReadsTheCdromDriveWithItsLabelTypeAndMovies) {
  const std::string label = Label();
  ASSERT_FALSE(label.empty()) << "drive D: has no label file";
  // The disk file names the movies in other letter case than the disk holds them.
  Write(disk_ / "Configuration.INI",
        "[Movies]\r\nThe First=FILMS\\ONE.AVI\r\nThe Second=two.AVI\r\n[Picture]\r\nCOVER.JPG\r\n");
  Write(disk_ / "films" / "One.avi", Avi(2));
  Write(disk_ / "Two.avi", Avi(1));
  Write(disk_ / "cover.jpg", "jpeg");

  Win32Volumes volumes;
  EXPECT_EQ(volumes.DriveType("D:\\"), kDriveCdRom);
  EXPECT_EQ(volumes.FindFirstCdDrive(), "D:\\");

  const auto run =
      RunProgram(std::string("\"") + WinPath(QUORVEL_QUORVELCTL) + "\" read --json D:\\");
  ASSERT_TRUE(run.started);
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const auto json = nlohmann::json::parse(run.output.substr(run.output.find('{')));
  EXPECT_EQ(json["label"], label);
  EXPECT_EQ(json["driveType"], 5);
  EXPECT_EQ(json["driveTypeName"], "CD-ROM drive");
  EXPECT_EQ(json["root"], "D:\\");
  ASSERT_EQ(json["movies"].size(), 2u) << run.output;
  EXPECT_EQ(json["movies"][0]["title"], "The First");
  // Found as the disk spells them.
  EXPECT_EQ(json["movies"][0]["file"], "D:\\films\\One.avi");
  EXPECT_EQ(json["movies"][0]["audioStreams"], 2);
  EXPECT_EQ(json["movies"][1]["title"], "The Second");
  EXPECT_EQ(json["movies"][1]["audioStreams"], 1);
  EXPECT_EQ(json["picture"], "D:\\cover.jpg");

  // Without a path it reads the first CD-ROM drive, in the rows of the main dialog.
  auto rows = RunProgram(std::string("\"") + WinPath(QUORVEL_QUORVELCTL) + "\" read").output;
  rows.erase(std::remove(rows.begin(), rows.end(), '\r'), rows.end());
  EXPECT_NE(rows.find("Drive Type\tCD-ROM drive\nDisk Label\t" + label +
                      "\nMovie (DivX)\tThe First\nMovie (DivX)\tThe Second\n"),
            std::string::npos)
      << rows;
}

}  // namespace
}  // namespace quorvel
