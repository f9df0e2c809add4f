#include "platform/win32/win32_volumes.h"

#include <windows.h>
#include <winioctl.h>

#include "platform/win32/win32_handle.h"
#include "windows_rules/path_rules.h"

namespace quorvel {

namespace {

// The buffers the volume query is given for the volume and file system names.
constexpr DWORD kVolumeNameBufferSize = 260;
constexpr int kDriveLetters = 32;

bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// True when drive `letter` ("A:") is a floppy disk drive: A: or B:, the letters Windows
// keeps for them, with a device named after the floppy controller. Asking such a drive
// for its medium makes it spin and seek, for a second or more with no disk in it, so
// the removable media are never looked for there. Other letters are not asked: Wine
// names every removable drive of its mount manager (a stick among them) as a floppy.
bool IsFloppyDrive(const std::string& letter) {
  if (letter != "A:" && letter != "B:") return false;
  char target[MAX_PATH] = {};
  if (::QueryDosDeviceA(letter.c_str(), target, MAX_PATH) == 0) return false;
  constexpr std::string_view kFloppy = "\\Device\\Floppy";
  return std::string_view(target).substr(0, kFloppy.size()) == kFloppy;
}

}  // namespace

std::string Win32Volumes::VolumeRoot(std::string_view path) { return DriveLetterVolumeRoot(path); }

std::string Win32Volumes::DiskFolder(std::string_view path) {
  if (path.empty() || HasNul(path)) return {};
  // An empty drive must not raise a box asking for a disk.
  win32::NoCriticalErrorBoxes quiet;
  const DWORD attributes = ::GetFileAttributesA(std::string(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return {};
  }
  return std::string(path);
}

std::optional<std::string> Win32Volumes::VolumeLabel(std::string_view root) {
  if (root.empty() || HasNul(root)) return std::nullopt;
  char name[kVolumeNameBufferSize] = {};
  char fileSystem[kVolumeNameBufferSize] = {};
  DWORD serial = 0;
  DWORD maxComponent = 0;
  DWORD flags = 0;
  BOOL ok = FALSE;
  {
    win32::NoCriticalErrorBoxes quiet;
    ok = ::GetVolumeInformationA(std::string(root).c_str(), name, kVolumeNameBufferSize, &serial,
                                 &maxComponent, &flags, fileSystem, kVolumeNameBufferSize);
  }
  if (!ok) return std::nullopt;
  name[kVolumeNameBufferSize - 1] = '\0';
  return std::string(name);
}

DriveTypeCode Win32Volumes::DriveType(std::string_view root) {
  if (root.empty() || HasNul(root)) return kDriveNoRootDir;
  // The system's codes are the DriveTypeCode numbers; anything newer counts as unknown.
  const UINT type = ::GetDriveTypeA(std::string(root).c_str());
  return type <= kDriveRamDisk ? static_cast<DriveTypeCode>(type) : kDriveUnknown;
}

std::string Win32Volumes::FindFirstCdDrive() {
  const DWORD drives = ::GetLogicalDrives();
  for (int i = 0; i < kDriveLetters; ++i) {
    if ((drives & (DWORD{1} << i)) == 0) continue;
    // Bits past Z have no letter; the system never sets them.
    if (i >= 26) break;
    const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
    if (DriveType(root) == kDriveCdRom) return root;
  }
  return {};
}

std::string Win32Volumes::DriveDevice(std::string_view path) {
  // Only a drive root names the drive itself ("D:", "D:\\"); a folder on it is a folder.
  if (path.size() < 2 || path.size() > 3 || path[1] != ':') return {};
  if (path.size() == 3 && path[2] != '\\' && path[2] != '/') return {};
  const std::string letter(path.substr(0, 2));
  if (DriveType(letter + "\\") != kDriveCdRom) return {};
  return letter;
}

std::vector<Volumes::RemovableMedium> Win32Volumes::RemovableMedia() {
  // Asked afresh at every call, so that a face that hears of a device change
  // (WM_DEVICECHANGE) finds a drive that has just come, and no longer one that has gone.
  std::vector<RemovableMedium> media;
  const DWORD drives = ::GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((drives & (DWORD{1} << i)) == 0) continue;
    const std::string letter = std::string(1, static_cast<char>('A' + i)) + ":";
    const std::string root = letter + "\\";
    if (DriveType(root) != kDriveRemovable || IsFloppyDrive(letter)) continue;
    DWORD serial = 0;
    BOOL ok = FALSE;
    {
      // A card reader without a card must not raise a box asking for one.
      win32::NoCriticalErrorBoxes quiet;
      ok = ::GetVolumeInformationA(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    }
    if (ok) media.push_back({root, root + "|" + std::to_string(serial)});
  }
  return media;
}

bool Win32Volumes::EjectMedia(std::string_view path, bool eject) {
  if (path.size() < 2 || path[1] != ':') return false;
  const std::string letter(path.substr(0, 2));
  // Only an optical drive's tray is moved: the same request would also eject a USB
  // stick or a card that the path happens to lie on.
  if (DriveType(letter + "\\") != kDriveCdRom) return false;
  win32::Handle device(::CreateFileA(("\\\\.\\" + letter).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
  if (!device.ok()) return false;
  DWORD returned = 0;
  return ::DeviceIoControl(device.get(),
                           eject ? IOCTL_STORAGE_EJECT_MEDIA : IOCTL_STORAGE_LOAD_MEDIA, nullptr, 0,
                           nullptr, 0, &returned, nullptr) != FALSE;
}

}  // namespace quorvel
