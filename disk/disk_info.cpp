#include "disk/disk_info.h"

#include <array>
#include <cstdint>

#include "app/player_record.h"
#include "app/settings.h"
#include "disk/container_audio.h"
#include "platform/files.h"
#include "platform/native_path.h"
#include "platform/volumes.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "windows_rules/folder_listing.h"

namespace quorvel {

namespace {
// The loose-file search runs once per extension, in this order.
constexpr std::array<std::string_view, 3> kMovieExtensions = {"avi", "mpg", "mpeg"};
// The first of these that lists anything gives the cover picture.
constexpr std::array<std::string_view, 3> kPictureExtensions = {"jpg", "jpeg", "bmp"};
constexpr int kMegabyteShift = 20;

// A position is the entry's index plus one, so that no entry has the null position.
DiskInfo::Position PositionOf(std::size_t index) {
  return reinterpret_cast<DiskInfo::Position>(static_cast<std::uintptr_t>(index) + 1);
}
std::size_t IndexOf(DiskInfo::Position position) {
  return static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(position) - 1);
}
}  // namespace

const std::array<DiskInfo::VideoDiskLayout, 2> DiskInfo::kVideoDiskLayouts = {{
    {"BDMV", "index.bdmv", MovieType::Bluray, res::kStrUntitledBluray},
    {"VIDEO_TS", "VIDEO_TS.IFO", MovieType::Dvd, res::kStrUntitledDvd},
}};

struct DiskInfo::ListedFolder {
  ListedFolder(Files& filesService, const std::string& folderPath)
      : files(filesService), path(folderPath), listing(folderPath, {}, NativeSeparator()) {
    if (std::optional<std::vector<std::string>> names = files.ListNames(path)) {
      listed = true;
      listing = FolderListing(path, std::move(*names), NativeSeparator());
    }
  }

  bool Contains(std::string_view name) const {
    return listed ? listing.Contains(name) : files.EntryExists(path, name);
  }
  // The entry's real name when it is there (any letter case), else nullopt.
  std::optional<std::string> Find(std::string_view name) const {
    if (listed) return listing.Find(name);
    return std::string(name);  // cannot tell without a listing: let the reader try
  }
  std::vector<Files::Entry> ByExtension(std::string_view ext) const {
    return listed ? listing.ByExtension(ext) : files.ListByExtension(path, ext);
  }

  Files& files;
  const std::string& path;
  bool listed = false;
  FolderListing listing;
};

std::string ReadResultName(ReadResult result) {
  switch (result) {
    case ReadResult::Ok:
      return "Ok";
    case ReadResult::NoVolume:
      return "NoVolume";
    case ReadResult::NoMovies:
      return "NoMovies";
  }
  return "Unknown";
}

void DiskInfo::Reset() {
  path_.clear();
  folder_.clear();
  root_.clear();
  present_ = false;
  label_.clear();
  picture_.clear();
  autorun_.Reset();
  microDvd_.Reset();
  movies_.clear();
}

DiskInfo::Position DiskInfo::FirstMovie() const {
  return movies_.empty() ? nullptr : PositionOf(0);
}

const Movie& DiskInfo::NextMovie(Position& position) const {
  static const Movie kNoMovie;
  const std::size_t index = IndexOf(position);
  if (position == nullptr || index >= movies_.size()) {
    position = nullptr;
    return kNoMovie;
  }
  position = index + 1 < movies_.size() ? PositionOf(index + 1) : nullptr;
  return movies_[index];
}

DriveTypeCode DiskInfo::DriveType(Volumes& volumes) const { return volumes.DriveType(root_); }

ReadResult DiskInfo::ReadDisk(std::string_view path, const Settings& settings, Volumes& volumes,
                              Files& files) {
  std::string root = volumes.VolumeRoot(path);
  // A drive's device reads the files of the medium mounted from it; a folder that has
  // gone (as a removable medium's mount folder goes when it is unmounted) or a path
  // that is no folder is no disk, as an empty drive is.
  std::optional<std::string> found = volumes.VolumeLabel(root);
  std::string folderPath;
  if (!found || (folderPath = volumes.DiskFolder(path)).empty()) {
    Reset();
    return ReadResult::NoVolume;
  }
  std::string& label = *found;
  // The same path with the same label is the same disk, unless its files now lie
  // elsewhere (the medium was mounted again at another folder).
  if (path == path_ && label == label_ && folderPath == folder_) return ReadResult::Ok;

  Reset();
  path_.assign(path);
  folder_ = std::move(folderPath);
  root_ = std::move(root);
  label_ = std::move(label);
  present_ = true;
  const ListedFolder folder(files, folder_);
  // A disk file that the listing does not hold is missing: its record stays reset.
  if (settings.ReadMDVD != 0) {
    if (auto name = folder.Find(MicroDvdFile::kFileName)) microDvd_.Read(files, folder_, *name);
  }
  if (settings.ReadConf != 0) {
    if (auto name = folder.Find(AutorunConfig::kFileName)) autorun_.Read(files, folder_, *name);
  }
  const ReadResult result = Recognise(settings, volumes, files, folder);
  ChoosePicture(folder);
  return result;
}

ReadResult DiskInfo::Recognise(const Settings& settings, Volumes& volumes, Files& files,
                               const ListedFolder& folder) {
  if (folder.Contains(kSuperVideoCdEntry)) {
    AddMovie(MovieType::SuperVideoCd, "S-VCD", "", files);
    return ReadResult::Ok;
  }
  if (folder.Contains(kVideoCdEntry)) {
    AddMovie(MovieType::VideoCd, "VideoCD", "", files);
    return ReadResult::Ok;
  }
  if (microDvd_.IsValid()) {
    PlayerRecord player;
    if (settings.MDVDPlay != 0 && FindPlayer(settings.Players, kMicroDvdPlayerName, player)) {
      AddMovie(MovieType::MicroDvd, microDvd_.DisplayTitle(), microDvd_.mvdPath, files);
    } else {
      AddMovie(MovieType::DivX, microDvd_.DisplayTitle(), microDvd_.MoviePath(), files);
    }
    return ReadResult::Ok;
  }
  if (autorun_.IsValid()) {
    // Every listed file is a DivX movie, whatever its extension; an empty list still
    // makes this an autorun disk, and no search is made.
    for (const AutorunMovie& movie : autorun_.movies) {
      AddMovie(MovieType::DivX, movie.title, movie.file, files);
    }
    picture_ = autorun_.picturePath;
    return ReadResult::Ok;
  }
  // A Blu-ray disk may carry a DVD-Video folder for players that cannot read it (a
  // note to put it into a Blu-ray player): the Blu-ray wins.
  for (const VideoDiskLayout& layout : kVideoDiskLayouts) {
    if (!HasVideoDiskLayout(layout, files, folder)) continue;
    std::string title = label_.empty() ? std::string(res::LoadString(layout.untitled)) : label_;
    // The player opens the disk itself: a drive's device (the raw disk, which a player
    // can read as no folder of files lets it), else the folder.
    std::string disk = volumes.DriveDevice(path_);
    if (disk.empty()) disk = folder_;
    AddMovie(layout.type, std::move(title), std::move(disk), files);
    return ReadResult::Ok;
  }
  // 64-bit: a threshold of 4096 MB or more stays that large.
  const std::uint64_t threshold = std::uint64_t{settings.MinFileSize} << kMegabyteShift;
  std::size_t found = 0;
  for (std::string_view ext : kMovieExtensions) {
    found += SearchLooseFiles(ext, threshold, files, folder);
  }
  for (std::string_view ext : kVideoExtensions) {
    found += SearchLooseFiles(ext, threshold, files, folder);
  }
  return found == 0 ? ReadResult::NoMovies : ReadResult::Ok;
}

bool DiskInfo::HasVideoDiskLayout(const VideoDiskLayout& layout, Files& files,
                                  const ListedFolder& folder) const {
  const std::optional<std::string> name = folder.Find(layout.folder);
  if (!name) return false;
  // A regular file of that name cannot be listed, so it holds nothing.
  return files.EntryExists(JoinNativePath(folder_, *name), layout.file);
}

std::size_t DiskInfo::SearchLooseFiles(std::string_view ext, std::uint64_t threshold, Files& files,
                                       const ListedFolder& folder) {
  std::size_t added = 0;
  const MovieType type = MovieTypeFromName("." + std::string(ext));
  const bool avi = type == MovieType::DivX;
  const Container container =
      type == MovieType::Video ? ContainerOfName("." + std::string(ext)) : Container::Other;
  std::vector<Files::Entry> entries = folder.ByExtension(ext);
  movies_.reserve(movies_.size() + entries.size());
  for (Files::Entry& entry : entries) {
    // An AVI file is sized and has its header read with one opening: a disk of many
    // movies costs one open per file, not an extra look-up of each.
    std::optional<std::uint64_t> size;
    std::int32_t audioStreams = 1;
    if (avi) {
      std::array<std::byte, 4> header{};
      if (auto head = files.ReadHead(entry.path, kAviStreamCountOffset, header)) {
        size = head->size;
        audioStreams = AviAudioStreams(header, head->read);
      }
    } else if (container != Container::Other) {
      // The same for today's containers: the size and the start of the headers with one
      // opening, and only where the headers go on further reads of the same file.
      // Not cleared: only the bytes read are looked at, and a folder of many files
      // would pay for clearing them all.
      std::array<std::byte, kContainerHeadBytes> head;
      if (auto read = files.ReadHead(entry.path, 0, head)) {
        size = read->size;
        if (*size >= threshold) {
          audioStreams = CountAudioStreams(files, entry.path, container,
                                           std::span(head).first(read->read), read->size);
        }
      }
    }
    // A file that cannot be opened is still listed when its size can be read.
    if (!size) size = files.FileSize(entry.path);
    if (!size || *size < threshold) continue;
    AddMovie(std::move(entry.title), std::move(entry.path), audioStreams);
    ++added;
  }
  return added;
}

void DiskInfo::ChoosePicture(const ListedFolder& folder) {
  if (!picture_.empty()) return;
  if (autorun_.IsValid()) {
    picture_ = autorun_.picturePath;
    return;
  }
  for (std::string_view ext : kPictureExtensions) {
    const std::vector<Files::Entry> pictures = folder.ByExtension(ext);
    if (!pictures.empty()) {
      picture_ = pictures.front().path;
      return;
    }
  }
}

}  // namespace quorvel
