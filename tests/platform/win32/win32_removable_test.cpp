// Removable drives through the Windows backend under Wine: a drive letter that Wine's
// mount manager adds while the program runs, as a removable drive whose medium is a
// folder (as it adds a USB stick's), and takes away again. The default disk shows its
// movies instead of the CD-ROM drive while it is there, and the drive again once it has
// gone.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "disk/default_disk.h"
#include "disk/disk_info.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_volumes.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Wine's own request to its mount manager for defining a drive letter (what winecfg
// sends), in the layout of Wine 8: the strings follow the record, at the offsets given.
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct WineUnixDrive {
  ULONG size;
  ULONG type;  // a drive type; DRIVE_NO_ROOT_DIR takes the letter away
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};

// A drive letter of Wine's that is a removable drive while mapped; unmapped when it goes
// out of scope (and before it is mapped, in case a test before ended half way).
class WineRemovableDrive {
 public:
  explicit WineRemovableDrive(char letter) : letter_(letter) { Define(DRIVE_NO_ROOT_DIR, ""); }
  ~WineRemovableDrive() { Unmap(); }
  WineRemovableDrive(const WineRemovableDrive&) = delete;
  WineRemovableDrive& operator=(const WineRemovableDrive&) = delete;

  // True under Wine, where the host's file names can be asked for.
  static bool Available() { return UnixNameFunction() != nullptr; }

  // The drive's medium becomes `folder`, a Windows path.
  bool Map(const std::string& folder) {
    std::vector<wchar_t> wide(folder.begin(), folder.end());
    wide.push_back(L'\0');
    char* unix = UnixNameFunction()(wide.data());
    if (unix == nullptr) return false;
    const std::string mountPoint(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return Define(DRIVE_REMOVABLE, mountPoint);
  }
  bool Unmap() { return Define(DRIVE_NO_ROOT_DIR, ""); }

  std::string Root() const { return std::string(1, letter_) + ":\\"; }

 private:
  using UnixName = char*(CDECL*)(const wchar_t*);
  static UnixName UnixNameFunction() {
    return reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  }

  bool Define(UINT type, const std::string& mountPoint) {
    std::vector<char> request(sizeof(WineUnixDrive) + mountPoint.size() + 1, '\0');
    WineUnixDrive drive{};
    drive.size = static_cast<ULONG>(request.size());
    drive.type = type;
    drive.letter = static_cast<WCHAR>(letter_ - 'A' + 'a');
    if (!mountPoint.empty()) {
      drive.mountPointOffset = static_cast<USHORT>(sizeof(WineUnixDrive));
      std::memcpy(request.data() + sizeof(WineUnixDrive), mountPoint.data(), mountPoint.size());
    }
    std::memcpy(request.data(), &drive, sizeof drive);
    HANDLE manager =
        ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL ok =
        ::DeviceIoControl(manager, kDefineUnixDrive, request.data(),
                          static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
    ::CloseHandle(manager);
    return ok != FALSE;
  }

  char letter_;
};

void Write(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

bool Lists(Volumes& volumes, const std::string& root) {
  const auto media = volumes.RemovableMedia();
  return std::any_of(media.begin(), media.end(),
                     [&](const Volumes::RemovableMedium& medium) { return medium.path == root; });
}

TEST(Win32RemovableDriveTest, AStickPluggedInIsShownInsteadOfTheDriveUntilItIsRemoved) {
  if (!WineRemovableDrive::Available()) GTEST_SKIP() << "the drive is mapped through Wine";
  testing::TempDir dir;
  const fs::path stick = dir.path() / "stick";
  Write(stick / "Holiday.avi", "RIFF");
  Write(stick / "Beach.mkv", std::string(64, 'x'));
  const fs::path photos = dir.path() / "photos";
  Write(photos / "readme.txt", "no movies");

  Win32Volumes volumes;
  Win32Files files;
  Settings settings;
  WineRemovableDrive drive('R');
  const std::string root = drive.Root();
  const std::string cd = volumes.FindFirstCdDrive();
  ASSERT_FALSE(Lists(volumes, root));

  DefaultDisk disk("");
  EXPECT_EQ(disk.Current(settings, volumes, files), cd);

  // Plugged in: a removable drive, listed at once, read with its movies and shown.
  ASSERT_TRUE(drive.Map(stick.string())) << "Wine's mount manager refused the drive";
  EXPECT_EQ(volumes.DriveType(root), kDriveRemovable);
  const auto media = volumes.RemovableMedia();
  const auto found =
      std::find_if(media.begin(), media.end(),
                   [&](const Volumes::RemovableMedium& m) { return m.path == root; });
  ASSERT_NE(found, media.end());
  EXPECT_EQ(found->identity.rfind(root + "|", 0), 0u) << found->identity;
  EXPECT_EQ(disk.Current(settings, volumes, files), root);
  EXPECT_TRUE(disk.ShowsRemovableMedium());
  EXPECT_EQ(disk.Drive(), cd);
  DiskInfo read;
  read.ReadDisk(root, settings, volumes, files);
  ASSERT_EQ(read.MovieCount(), 2u);
  DiskInfo::Position position = read.FirstMovie();
  const Movie first = read.NextMovie(position);
  EXPECT_EQ(first.File(), root + "Holiday.avi");
  EXPECT_EQ(read.NextMovie(position).Type(), MovieType::Video);
  EXPECT_EQ(disk.Current(settings, volumes, files), root) << "it stays while it is there";

  // Removed: gone from the list, the drive again.
  ASSERT_TRUE(drive.Unmap());
  EXPECT_FALSE(Lists(volumes, root));
  EXPECT_EQ(disk.Current(settings, volumes, files), cd);
  EXPECT_FALSE(disk.ShowsRemovableMedium());

  // One without movies is left alone.
  ASSERT_TRUE(drive.Map(photos.string()));
  EXPECT_TRUE(Lists(volumes, root));
  EXPECT_EQ(disk.Current(settings, volumes, files), cd);

  // A stick that is there when the window starts does not hide the drive.
  ASSERT_TRUE(drive.Unmap());
  ASSERT_TRUE(drive.Map(stick.string()));
  DefaultDisk started("");
  EXPECT_EQ(started.Current(settings, volumes, files), cd);
  EXPECT_EQ(started.Current(settings, volumes, files), cd);
}

}  // namespace
}  // namespace quorvel
