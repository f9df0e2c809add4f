#include "platform/fake/fake_volumes.h"

#include "platform/native_path.h"

namespace quorvel {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string_view WithoutSeparators(std::string_view path) {
  while (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
  return path;
}

std::string WithSeparator(std::string_view root) {
  std::string text(root);
  if (text.empty() || !IsSeparator(text.back())) text += NativeSeparator();
  return text;
}

}  // namespace

FakeVolumes::Drive* FakeVolumes::At(std::string_view root) {
  if (root.empty()) return nullptr;
  for (Drive& drive : drives_) {
    if (WithoutSeparators(drive.root) == WithoutSeparators(root)) return &drive;
  }
  return nullptr;
}

FakeVolumes::Drive* FakeVolumes::Holding(std::string_view path) {
  if (path.empty()) return nullptr;
  Drive* found = nullptr;
  std::size_t foundLength = 0;
  for (Drive& drive : drives_) {
    const std::string_view root = WithoutSeparators(drive.root);
    const bool holds =
        path.starts_with(root) && (path.size() == root.size() || IsSeparator(path[root.size()]));
    // The longest root that holds the path, as with nested mount points.
    if (holds && (found == nullptr || root.size() > foundLength)) {
      found = &drive;
      foundLength = root.size();
    }
  }
  return found;
}

void FakeVolumes::AddDrive(std::string_view root, DriveTypeCode type) {
  if (Drive* drive = At(root)) {
    drive->type = type;
    return;
  }
  drives_.push_back(Drive{WithSeparator(root), type, false, {}, {}, 0});
}

void FakeVolumes::Insert(std::string_view root, std::string_view label, std::string_view folder) {
  if (At(root) == nullptr) AddDrive(root);
  Drive* drive = At(root);
  drive->hasDisk = true;
  ++drive->medium;
  drive->label.assign(label);
  drive->folder =
      folder.empty() ? std::string(WithoutSeparators(drive->root)) : std::string(folder);
}

void FakeVolumes::Relabel(std::string_view root, std::string_view label) {
  if (Drive* drive = At(root)) drive->label.assign(label);
}

void FakeVolumes::Remove(std::string_view root) {
  if (Drive* drive = At(root)) {
    drive->hasDisk = false;
    drive->label.clear();
    drive->folder.clear();
  }
}

void FakeVolumes::SetDriveType(std::string_view root, DriveTypeCode type) {
  if (Drive* drive = At(root)) drive->type = type;
}

std::string FakeVolumes::VolumeRoot(std::string_view path) {
  const Drive* drive = Holding(path);
  return drive == nullptr ? std::string() : drive->root;
}

std::string FakeVolumes::DiskFolder(std::string_view path) {
  const Drive* drive = Holding(path);
  if (drive == nullptr || !drive->hasDisk) return {};
  std::string_view rest = path.substr(WithoutSeparators(drive->root).size());
  while (!rest.empty() && IsSeparator(rest.front())) rest.remove_prefix(1);
  return rest.empty() ? drive->folder : JoinNativePath(drive->folder, WithoutSeparators(rest));
}

std::optional<std::string> FakeVolumes::VolumeLabel(std::string_view root) {
  const Drive* drive = At(root);
  if (drive == nullptr || !drive->hasDisk) return std::nullopt;
  return drive->label;
}

DriveTypeCode FakeVolumes::DriveType(std::string_view root) {
  const Drive* drive = At(root);
  return drive == nullptr ? kDriveNoRootDir : drive->type;
}

std::string FakeVolumes::FindFirstCdDrive() {
  for (const Drive& drive : drives_) {
    if (drive.type == kDriveCdRom) return drive.root;
  }
  return {};
}

std::string FakeVolumes::DriveDevice(std::string_view path) {
  const Drive* drive = At(path);
  if (drive == nullptr || drive->type != kDriveCdRom) return {};
  return std::string(WithoutSeparators(drive->root));
}

std::vector<Volumes::RemovableMedium> FakeVolumes::RemovableMedia() {
  std::vector<RemovableMedium> media;
  for (const Drive& drive : drives_) {
    if (drive.type == kDriveRemovable && drive.hasDisk)
      media.push_back({drive.root, drive.root + "|" + std::to_string(drive.medium)});
  }
  return media;
}

bool FakeVolumes::EjectMedia(std::string_view path, bool eject) {
  trayRequests.push_back({std::string(path), eject});
  Drive* drive = Holding(path);
  if (drive == nullptr || drive->type != kDriveCdRom || refuseTray) return false;
  if (eject) Remove(drive->root);
  return true;
}

}  // namespace quorvel
