#pragma once
// The one settings record of the program and its registry form.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/player_record.h"
#include "app/theme.h"
#include "platform/registry.h"
#include "platform/user_messages.h"

namespace quorvel {

// How the program starts; stored as "FullScreen". Any value other than 0 opens the
// full-screen window.
enum class StartMode : std::int32_t {
  ConfigurationDialog = 0,
  FullScreenWindow = 1,
  TrayIcon = 2,
  SystemShell = 3,
};

// The program's own key below HKEY_CURRENT_USER.
inline constexpr std::string_view kMainKeyPath = "Software\\Ostrell\\Quorvel";

class Settings {
 public:
  Settings() = default;

  // Loads from the registry; fields whose values are missing keep what they hold. A
  // text too long to be read (the program never stores one: the store is damaged) also
  // leaves its field as it is; all such values of one load, the players' included, are
  // reported together in one message through `messages`.
  bool Load(Registry& registry, UserMessages& messages);
  // The same, reporting nothing.
  bool Load(Registry& registry);
  // Writes the whole record; stops at the first failed write.
  bool Save(Registry& registry) const;

  quorvel::Theme Theme;
  std::int32_t FullScreen = 0;  // a StartMode value
  std::int32_t Shutdown = 0;
  std::int32_t CloseLaunch = 0;
  std::int32_t DisableAutorun = 0;
  std::int32_t ReadMDVD = 1;
  std::int32_t MDVDPlay = 0;
  std::int32_t ReadConf = 1;
  std::int32_t SubMDVD = 0;
  std::int32_t SubMDVDAdj = 1;
  std::uint32_t MinFileSize = 0;  // megabytes
  std::int32_t Autoplay = 0;
  std::int32_t FfdshowFound = 0;  // not stored
  std::int32_t FfdshowDiv3 = 0;
  std::int32_t FfdshowDivx = 0;
  std::int32_t FfdshowDx50 = 0;
  std::int32_t FfdshowXvid = 0;
  std::string DivXPlayer;
  std::string DivXCommandLine;
  std::string DivXAudio2Player;
  std::string DivXAudio2CommandLine;
  std::string MpegPlayer;
  std::string MpegCommandLine;
  std::string VcdPlayer;
  std::string VcdCommandLine;
  std::string SvcdPlayer;
  std::string SvcdCommandLine;
  // Today's disks and files; "%f" in the disk types' command lines stands for the disk.
  std::string DvdPlayer;
  std::string DvdCommandLine;
  std::string BlurayPlayer;
  std::string BlurayCommandLine;
  std::string VideoPlayer;
  std::string VideoCommandLine;
  PlayerList Players;
};

// What a stored value means, and so which values it takes.
enum class SettingKind {
  StartMode,     // "FullScreen": 0 to 3 (StartMode)
  Switch,        // 0 off, 1 on
  Size,          // a whole number of 0 or more (MinFileSize, megabytes)
  PlaylistType,  // a player's "Playlist": -1 to 2 (PlaylistType)
  Text,          // at most kMaxSettingTextLength bytes
};

// The longest text a setting can hold and be read back (the reading buffer holds 1024
// bytes with the terminating NUL).
inline constexpr std::size_t kMaxSettingTextLength = 1023;

// The values a kind of setting takes, low to high, and how they are told to a user.
struct SettingRange {
  SettingKind kind;
  std::int64_t low;
  std::int64_t high;
  std::string_view meaning;  // "" when the numbers speak for themselves
};

// The one table of the kinds and their ranges, which everything that checks a value a
// user gives uses (the options pages, quorvelctl). What the program reads from a store
// is not checked against it: a hand-edited value is taken as it is.
const SettingRange& RangeOf(SettingKind kind);

// Whether `value` is one the kind takes (texts: by their length).
bool InRange(SettingKind kind, std::int64_t value);

// One value of the main key, bound to its field: a number (signed or, for MinFileSize,
// unsigned) or a text. Exactly one of the three members is set.
struct StoredSetting {
  std::string_view name;
  std::int32_t Settings::*number = nullptr;
  std::uint32_t Settings::*unsignedNumber = nullptr;
  std::string Settings::*text = nullptr;
  SettingKind kind = SettingKind::Text;

  bool IsText() const { return text != nullptr; }
  // A number field's bits, as stored.
  std::uint32_t NumberBits(const Settings& settings) const;
  void SetNumberBits(Settings& settings, std::uint32_t bits) const;
};

inline constexpr std::size_t kStoredNumberCount = 11;
inline constexpr std::size_t kStoredTextCount = 16;

// The eleven numbers, then the sixteen texts (the ten of the first disk types, then
// those of DVD-Video, Blu-ray and today's movie files), in the order they are read and
// written.
extern const std::array<StoredSetting, kStoredNumberCount + kStoredTextCount> kStoredSettings;

// The table entry whose name equals `name` without regard to ASCII case.
const StoredSetting* FindStoredSetting(std::string_view name);

}  // namespace quorvel
