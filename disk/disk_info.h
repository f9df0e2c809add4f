#pragma once
// What a disk holds: one per window that shows a disk, refreshed in place by ReadDisk.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disk/autorun_config.h"
#include "disk/micro_dvd_file.h"
#include "disk/movie.h"
#include "platform/volumes.h"

namespace quorvel {

class Files;
class FolderListing;
class Settings;

// What ReadDisk found; both windows look at IsPresent()/HasMovies() instead.
enum class ReadResult : std::int32_t {
  Ok = 0,        // read, or the same disk as last time and nothing was re-read
  NoVolume = 1,  // no volume answers at the path's root; the record was reset
  NoMovies = 2,  // the loose-file search found nothing
};

// "Ok", "NoVolume", "NoMovies".
std::string ReadResultName(ReadResult result);

class DiskInfo {
 public:
  // An opaque handle of one movie entry, valid until the next Reset(); nullptr is
  // no movie. It holds the entry's place in the list, so that walking the list is
  // linear and a position from elsewhere can never reach outside it.
  using Position = const void*;

  // Entries whose presence makes a disk a Super-VideoCD or a VideoCD.
  static constexpr std::string_view kSuperVideoCdEntry = "MPEG2";
  static constexpr std::string_view kVideoCdEntry = "MPEGAV";
  // The folder and file whose presence makes a disk a DVD-Video or a Blu-ray disk
  // (names in any letter case), the movie's type, and the title of the one movie of
  // such a disk without a volume label (from the string table).
  struct VideoDiskLayout {
    std::string_view folder;
    std::string_view file;
    MovieType type;
    int untitled;
  };
  static const std::array<VideoDiskLayout, 2> kVideoDiskLayouts;
  // The player that is handed a Micro DVD disk's own file.
  static constexpr std::string_view kMicroDvdPlayerName = "Micro DVD Player";

  void Reset();
  // The accessors hand out references into this record, valid until the next Reset
  // or ReadDisk.
  bool IsPresent() const { return present_; }
  // The disk path as it was given.
  const std::string& Path() const { return path_; }
  // The folder that holds the disk's files (Volumes::DiskFolder of the path): movie
  // files and the picture lie below it.
  const std::string& Folder() const { return folder_; }
  const std::string& Root() const { return root_; }
  const std::string& Label() const { return label_; }
  const std::string& PicturePath() const { return picture_; }
  const AutorunConfig& Autorun() const { return autorun_; }
  const MicroDvdFile& MicroDvd() const { return microDvd_; }
  bool HasMovies() const { return !movies_.empty(); }
  std::size_t MovieCount() const { return movies_.size(); }
  Position FirstMovie() const;
  // The movie at `position` (a movie of type Unknown without title or file for a
  // position that names none); moves `position` to the next entry or nullptr.
  const Movie& NextMovie(Position& position) const;

  // The drive type code of the disk's root.
  DriveTypeCode DriveType(Volumes& volumes) const;

  // Reads the disk at `path` into this record with the settings' "ReadMDVD",
  // "ReadConf", "MDVDPlay", "MinFileSize" and player list. The files are those of the
  // path's disk folder (Volumes::DiskFolder); a path without one (missing, a regular
  // file, a drive with nothing mounted) is no disk: NoVolume. When the path, the
  // volume label and the disk folder are those of the last read, nothing is re-read
  // and the result is Ok.
  ReadResult ReadDisk(std::string_view path, const Settings& settings, Volumes& volumes,
                      Files& files);

  template <typename... Args>
  void AddMovie(Args&&... args) {
    movies_.emplace_back(std::forward<Args>(args)...);
  }

 private:
  // The disk folder is listed once per read; every name test and pattern listing of
  // the read asks that one listing (or, when the folder cannot be listed, the files
  // service itself).
  struct ListedFolder;
  ReadResult Recognise(const Settings& settings, Volumes& volumes, Files& files,
                       const ListedFolder& folder);
  bool HasVideoDiskLayout(const VideoDiskLayout& layout, Files& files,
                          const ListedFolder& folder) const;
  // Appends the movies of the disk folder with extension `ext` of at least
  // `threshold` bytes; returns how many.
  std::size_t SearchLooseFiles(std::string_view ext, std::uint64_t threshold, Files& files,
                               const ListedFolder& folder);
  void ChoosePicture(const ListedFolder& folder);

  std::string path_;
  std::string folder_;
  std::string root_;
  bool present_ = false;
  std::string label_;
  std::string picture_;
  AutorunConfig autorun_;
  MicroDvdFile microDvd_;
  std::vector<Movie> movies_;  // only appended to between resets, so places stay valid
};

}  // namespace quorvel
