#pragma once
// Numeric ids of the program's resources: dialog templates, menu, icon, strings, and the
// controls of each template. Control ids are unique within a template only.

namespace quorvel::res {

// Dialog templates.
inline constexpr int kAboutDialog = 100;
inline constexpr int kMainDialog = 102;
inline constexpr int kPlayersPage = 107;
inline constexpr int kDisksPage = 108;
inline constexpr int kViewPage = 109;
inline constexpr int kFullScreenDialog = 129;
inline constexpr int kCodecsPage = 130;
inline constexpr int kGeneralPage = 131;
inline constexpr int kPlayerInfoDialog = 132;

// Menu and icon.
inline constexpr int kTrayMenu = 131;
inline constexpr int kAppIcon = 128;

// String table.
inline constexpr int kStrAboutItem = 101;
inline constexpr int kStrPlay = 102;
inline constexpr int kStrOptions = 103;
inline constexpr int kStrOff = 104;
inline constexpr int kStrPlayLang1 = 105;
inline constexpr int kStrPlayLang2 = 106;
inline constexpr int kStrPlayAll = 107;
// The GUI's own texts beyond those of the templates.
inline constexpr int kStrProgramName = 200;  // also the caption of message boxes
inline constexpr int kStrOptionsCaption = 201;
inline constexpr int kStrNotANumber = 202;  // refusal of a number edit's text
// The "Start as" items: the id of the item for a StartMode is kStrStartModes + the mode.
inline constexpr int kStrStartModes = 210;
inline constexpr int kStrShutdownTooltip = 220;
// Told when "system shell" is a session that the user picks at login.
inline constexpr int kStrLoginSessionNote = 221;
// The full-screen window's own texts.
inline constexpr int kStrFullScreenTitle = 230;
inline constexpr int kStrNoDisk = 231;
inline constexpr int kStrNoMovies = 232;
// A cover picture refused for its size: "%d x %d", its width and height.
inline constexpr int kStrPictureTooLarge = 240;
// The title of a DVD-Video or Blu-ray disk's one movie when the disk has no label.
inline constexpr int kStrUntitledDvd = 241;
inline constexpr int kStrUntitledBluray = 242;
// The rows of a disk as the main dialog and quorvelctl show them.
inline constexpr int kStrDriveTypeField = 250;
inline constexpr int kStrMovieTypeField = 251;
inline constexpr int kStrDiskLabelField = 252;
inline constexpr int kStrMovieField = 253;  // "%s": the movie's type name
inline constexpr int kStrPictureField = 254;
// The movie types' names: the id of a type's name is kStrMovieTypes + its value.
inline constexpr int kStrMovieTypes = 260;
inline constexpr int kMovieTypeNameCount = 9;
inline constexpr int kStrUnknownMovieType = 269;  // "%d": the value
// Why a player cannot be added.
inline constexpr int kStrBadPlayerName = 270;      // "%d": the longest name in bytes
inline constexpr int kStrDuplicatePlayer = 271;    // "%s": the listed player's name
inline constexpr int kStrQuoteInPlayerPath = 272;  // "%s": the path
inline constexpr int kStrPlayerTextTooLong = 273;  // "%s" the text, "%d" its longest size
// Playlists and stored values.
inline constexpr int kStrNoPlaylistEntry = 275;     // "%s": the playlist file
inline constexpr int kStrPlaylistNotWritten = 276;  // "%s": the playlist file
inline constexpr int kStrDamagedSettings = 277;     // "%d": the longest text; then the names
// Shown on the television screen when Play finds no player program on the machine.
inline constexpr int kStrNoPlayerNotice = 243;
// The main dialog, the Players page and the Player Info dialog.
inline constexpr int kStrSelectDiskPath = 300;
inline constexpr int kStrFieldColumn = 301;
inline constexpr int kStrValueColumn = 302;
inline constexpr int kStrNewPlayerName = 310;  // "%d": the new-player counter
inline constexpr int kStrAddPlayerCaption = 311;
inline constexpr int kStrConfigurePlayerCaption = 312;
inline constexpr int kStrFoundPlayer = 313;  // "%s" the player's name, then its path
inline constexpr int kStrAddTooltip = 314;
inline constexpr int kStrRemoveTooltip = 315;
inline constexpr int kStrFindInstalledTooltip = 316;
inline constexpr int kStrProgramsFilter = 317;
inline constexpr int kStrAllFilesFilter = 318;
// The playlist items: the id of the item for a PlaylistType is kStrPlaylistTypes + 1 +
// the type.
inline constexpr int kStrPlaylistTypes = 320;
inline constexpr int kPlaylistTypeCount = 4;
// A player that Execute could not start: "%s" its program, then why.
inline constexpr int kStrCannotStart = 330;
inline constexpr int kStrCannotStartBecause = 331;
// What the picture readers tell about a cover they cannot show.
inline constexpr int kStrBmpOk = 340;        // a BMP read without fault
inline constexpr int kStrBmpCantOpen = 341;  // "%s": the path
inline constexpr int kStrBmpNotBmp = 342;
inline constexpr int kStrBmpHeaderReadError = 343;  // headers and palette
inline constexpr int kStrBmpCompressed = 344;
inline constexpr int kStrBmpCorruptPalette = 345;
inline constexpr int kStrPictureAllocFailed = 346;  // memory ran out
inline constexpr int kStrBmpPixelReadError = 347;   // pixel rows and padding
inline constexpr int kStrBmpBadBitCount = 348;
inline constexpr int kStrBmpBadSize = 349;
inline constexpr int kStrJpegCantOpen = 350;  // "%s": the path
inline constexpr int kStrJpegOutOfMemory = 351;
inline constexpr int kStrJpegWarningCaption = 352;
inline constexpr int kStrJpegFailed = 353;
// What the settings store tells when its file cannot be used; "%s" the store's path
// first, then what each text names.
inline constexpr int kStrStoreNotRegular = 360;    // what the file is instead
inline constexpr int kStrStoreUnreadable = 361;    // the system's reason
inline constexpr int kStrStoreDamagedKept = 362;   // where, then the kept file's path
inline constexpr int kStrStoreDamagedStuck = 363;  // where
inline constexpr int kStrStoreKeptChanging = 364;
inline constexpr int kStrStoreNotWritten = 365;  // why
inline constexpr int kStrStoreRewritten = 366;   // where, then the kept file's path
// Why the store could not be written, put into kStrStoreNotWritten.
inline constexpr int kStrStoreWhyNotRegular = 370;  // "%s": what the file is instead
inline constexpr int kStrStoreWhyUnreadable = 371;  // "%s": the system's reason
inline constexpr int kStrStoreWhyChanging = 372;
inline constexpr int kStrStoreWhyDamaged = 373;       // "%s": where
inline constexpr int kStrStoreWhyLockUnopened = 381;  // "%s" the lock file, then the reason
inline constexpr int kStrStoreWhyLockHeld = 382;      // "%s" the lock file, "%d" seconds
inline constexpr int kStrStoreWhyEndlessLinks = 383;
// Where a damaged store is damaged, put into the texts above.
inline constexpr int kStrStoreDamageAtLine = 374;  // "%d" the line, "%s" the fault
inline constexpr int kStrStoreDamage = 375;        // "%s": the fault
// What a store that is not a regular file is instead.
inline constexpr int kStrStoreIsFolder = 376;
inline constexpr int kStrStoreIsFifo = 377;
inline constexpr int kStrStoreIsDevice = 378;
inline constexpr int kStrStoreIsSocket = 379;
inline constexpr int kStrStoreIsOther = 380;

// Controls without an id of their own (labels, group boxes).
inline constexpr int kNoId = -1;
// The standard dialog buttons.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Tray menu commands.
namespace menu {
inline constexpr int kExit = 32772;
inline constexpr int kConfigure = 32773;
inline constexpr int kOpen = 32774;
}  // namespace menu

// 102: main dialog.
namespace main_dlg {
inline constexpr int kFieldList = 1000;
inline constexpr int kReadDisk = 1001;
inline constexpr int kDiskPath = 1004;
inline constexpr int kBrowse = 1005;
inline constexpr int kReadAutomatically = 1006;
inline constexpr int kOptions = 1009;
inline constexpr int kPlay = 1014;
inline constexpr int kPlayAudio2 = 1015;
}  // namespace main_dlg

// 107: Players page.
namespace players {
inline constexpr int kAdd = 1039;
inline constexpr int kFindInstalled = 1040;
inline constexpr int kRemove = 1041;
inline constexpr int kExecute = 1042;
inline constexpr int kConfigure = 1043;
inline constexpr int kPlayerList = 1052;
}  // namespace players

// 108: Disks page.
namespace disks {
inline constexpr int kDivXPlayer = 1007;
inline constexpr int kDivXAudio2Player = 1008;
inline constexpr int kDivXCommand = 1009;
inline constexpr int kDivXAudio2Command = 1010;
inline constexpr int kMpegPlayer = 1013;
inline constexpr int kMpegCommand = 1015;
inline constexpr int kVcdPlayer = 1016;
inline constexpr int kVcdCommand = 1018;
inline constexpr int kSvcdPlayer = 1022;
inline constexpr int kSvcdCommand = 1024;
// The rows of DVD-Video and Blu-ray disks and of today's movie files.
inline constexpr int kDvdPlayer = 1025;
inline constexpr int kDvdCommand = 1026;
inline constexpr int kBlurayPlayer = 1027;
inline constexpr int kBlurayCommand = 1028;
inline constexpr int kVideoPlayer = 1029;
inline constexpr int kVideoCommand = 1030;
}  // namespace disks

// 109: View page.
namespace view {
inline constexpr int kLabelBg = 1010;
inline constexpr int kLabelFg = 1011;
inline constexpr int kLabelPreview = 1012;
inline constexpr int kLabelFont = 1013;
inline constexpr int kMoviesFg = 1019;
inline constexpr int kMoviesBg = 1020;
inline constexpr int kMoviesFont = 1021;
inline constexpr int kMoviesPreview = 1022;
inline constexpr int kMoviesHighlighted = 1025;
inline constexpr int kMoviesNormal = 1026;
inline constexpr int kChoicesPreview = 1037;
inline constexpr int kChoicesHighlighted = 1038;
inline constexpr int kChoicesNormal = 1039;
inline constexpr int kChoicesFg = 1040;
inline constexpr int kChoicesBg = 1041;
inline constexpr int kChoicesFont = 1042;
}  // namespace view

// 129: full-screen window.
namespace fullscreen {
inline constexpr int kLabel = 1020;
inline constexpr int kChoiceList = 1021;
inline constexpr int kMovieList = 1022;
}  // namespace fullscreen

// 130: Codecs page.
namespace codecs {
inline constexpr int kDivX3 = 1053;
inline constexpr int kDivX4 = 1054;
inline constexpr int kDivX5 = 1055;
inline constexpr int kXviD = 1056;
}  // namespace codecs

// 131: General page.
namespace general {
inline constexpr int kStartAs = 1017;
inline constexpr int kShutdown = 1018;
inline constexpr int kCloseLaunchers = 1019;
inline constexpr int kDisableAutorun = 1020;
inline constexpr int kReadMdvd = 1030;
inline constexpr int kReadConf = 1031;
inline constexpr int kSubMdvd = 1032;
inline constexpr int kSubMdvdAdjusted = 1033;
inline constexpr int kMdvdPlay = 1034;
inline constexpr int kAutoplay = 1035;
inline constexpr int kMinFileSize = 1044;
}  // namespace general

// 132: Player Info dialog.
namespace player_info {
inline constexpr int kBrowse = 1005;
inline constexpr int kAppPath = 1033;
inline constexpr int kCmdLine = 1034;
inline constexpr int kName = 1035;
inline constexpr int kPlaylist = 1048;
}  // namespace player_info

}  // namespace quorvel::res
