// The program's dialog templates. Rectangles are in dialog units; controls stand in
// tab order.

#include <algorithm>
#include <array>

#include "resources/dialog_template.h"
#include "resources/resource_ids.h"

namespace quorvel::res {

namespace {

using K = ControlKind;

constexpr std::string_view kDialogFont = "MS Sans Serif";
constexpr int kDialogFontSize = 8;

// Pages of the options sheet share one size; the Disks page is taller, for the rows of
// its eight kinds of movie (the sheet is as tall as its tallest page).
constexpr DuRect kPageRect{0, 0, 235, 206};
constexpr DuRect kDisksPageRect{0, 0, 235, 290};

constexpr std::uint32_t kButton = kTabStop;
constexpr std::uint32_t kCheck = kTabStop;
constexpr std::uint32_t kEdit = kTabStop | kBorder | kAutoHScroll;
constexpr std::uint32_t kDropDown = kTabStop | kVerticalScroll;

constexpr ControlTemplate kAboutControls[] = {
    {kNoId, K::Icon, {11, 17, 20, 20}, "", 0},
    {kNoId, K::Label, {40, 10, 119, 8}, "Quorvel Version 1.0.36", 0},
    {kNoId,
     K::Label,
     {40, 25, 188, 18},
     "Thanks to:\nIndependent JPEG Group for JPEG library",
     kMultiline},
    {kIdOk, K::DefPushButton, {178, 7, 50, 14}, "OK", kButton | kGroup},
};

constexpr ControlTemplate kMainControls[] = {
    {kNoId, K::Label, {7, 10, 15, 8}, "&Disk", 0},
    {main_dlg::kDiskPath, K::Edit, {29, 7, 240, 14}, "", kEdit},
    {main_dlg::kBrowse, K::PushButton, {274, 7, 16, 14}, "...", kButton},
    {main_dlg::kReadAutomatically,
     K::CheckBox,
     {29, 26, 87, 10},
     "read disk &automatically",
     kCheck},
    {main_dlg::kFieldList, K::ListView, {7, 41, 283, 102}, "", kTabStop | kBorder | kReportView},
    {main_dlg::kReadDisk, K::PushButton, {7, 146, 50, 14}, "&Read Disk", kButton},
    {main_dlg::kPlay, K::PushButton, {61, 146, 50, 14}, "&Play", kButton},
    {main_dlg::kPlayAudio2, K::PushButton, {115, 146, 50, 14}, "&Play Audio 2", kButton},
    {main_dlg::kOptions, K::PushButton, {186, 146, 50, 14}, "&Options", kButton},
    {kIdCancel, K::PushButton, {240, 146, 50, 14}, "Close", kButton},
};

constexpr ControlTemplate kPlayersControls[] = {
    {players::kPlayerList,
     K::ListBox,
     {7, 7, 221, 110},
     "",
     kTabStop | kBorder | kSorted | kNotify | kVerticalScroll},
    {players::kAdd, K::PushButton, {7, 122, 50, 14}, "Add", kButton},
    {players::kRemove, K::PushButton, {64, 122, 50, 14}, "Remove", kButton},
    {players::kConfigure, K::PushButton, {121, 122, 50, 14}, "Configure", kButton},
    {players::kExecute, K::PushButton, {178, 122, 50, 14}, "Execute", kButton},
    {players::kFindInstalled, K::PushButton, {62, 142, 110, 14}, "Find Installed Players", kButton},
    {kNoId,
     K::Label,
     {7, 164, 221, 34},
     "Currently, the following players are recognized:\n\n BSPlayer, Micro DVD Player, "
     "InterVideo WinDVD, Zoom Player",
     kCenter | kMultiline},
};

constexpr ControlTemplate kDisksControls[] = {
    {kNoId, K::Label, {7, 9, 90, 8}, "Play DivX movies by:", 0},
    {disks::kDivXPlayer, K::DropDownList, {100, 7, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 25, 90, 8}, "command", 0},
    {disks::kDivXCommand, K::Edit, {100, 23, 128, 12}, "", kEdit},
    {kNoId, K::Label, {7, 41, 221, 8}, "Play DivX movies with second AVI audio stream by:", 0},
    {disks::kDivXAudio2Player, K::DropDownList, {100, 51, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 69, 90, 8}, "command", 0},
    {disks::kDivXAudio2Command, K::Edit, {100, 67, 128, 12}, "", kEdit},
    {kNoId, K::Label, {7, 87, 90, 8}, "Play Mpeg movies by:", 0},
    {disks::kMpegPlayer, K::DropDownList, {100, 85, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 103, 90, 8}, "command", 0},
    {disks::kMpegCommand, K::Edit, {100, 101, 128, 12}, "", kEdit},
    {kNoId, K::Label, {7, 121, 90, 8}, "Play VideoCD by:", 0},
    {disks::kVcdPlayer, K::DropDownList, {100, 119, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 137, 90, 8}, "command", 0},
    {disks::kVcdCommand, K::Edit, {100, 135, 128, 12}, "", kEdit},
    {kNoId, K::Label, {7, 155, 90, 8}, "Play Super-VideoCD by:", 0},
    {disks::kSvcdPlayer, K::DropDownList, {100, 153, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 171, 90, 8}, "command", 0},
    {disks::kSvcdCommand, K::Edit, {100, 169, 128, 12}, "", kEdit},
    {kNoId, K::Label, {7, 189, 90, 8}, "Play DVD by:", 0},
    {disks::kDvdPlayer, K::DropDownList, {100, 187, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 205, 90, 8}, "command", 0},
    {disks::kDvdCommand, K::Edit, {100, 203, 128, 12}, "", kEdit},
    {kNoId, K::Label, {7, 223, 90, 8}, "Play Blu-ray by:", 0},
    {disks::kBlurayPlayer, K::DropDownList, {100, 221, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 239, 90, 8}, "command", 0},
    {disks::kBlurayCommand, K::Edit, {100, 237, 128, 12}, "", kEdit},
    {kNoId, K::Label, {7, 257, 90, 8}, "Play Video files by:", 0},
    {disks::kVideoPlayer, K::DropDownList, {100, 255, 128, 80}, "", kDropDown | kSorted},
    {kNoId, K::Label, {7, 273, 90, 8}, "command", 0},
    {disks::kVideoCommand, K::Edit, {100, 271, 128, 12}, "", kEdit},
};

constexpr std::uint32_t kPreview = kBorder | kCenter | kCenterVertical;

constexpr ControlTemplate kViewControls[] = {
    {kNoId, K::GroupBox, {7, 7, 221, 40}, "Disk label", 0},
    {view::kLabelPreview, K::Label, {14, 20, 100, 20}, "Label", kPreview},
    {view::kLabelFg, K::PushButton, {122, 23, 30, 14}, "FG", kButton},
    {view::kLabelBg, K::PushButton, {157, 23, 30, 14}, "BG", kButton},
    {view::kLabelFont, K::PushButton, {192, 23, 30, 14}, "Font", kButton},
    {kNoId, K::GroupBox, {7, 52, 221, 72}, "Movies list", 0},
    {view::kMoviesPreview, K::Label, {14, 65, 100, 20}, "Movie", kPreview},
    {view::kMoviesHighlighted, K::RadioButton, {14, 91, 80, 10}, "highlighted", kTabStop | kGroup},
    {view::kMoviesNormal, K::RadioButton, {14, 104, 80, 10}, "normal", 0},
    {view::kMoviesFg, K::PushButton, {122, 68, 30, 14}, "FG", kButton | kGroup},
    {view::kMoviesBg, K::PushButton, {157, 68, 30, 14}, "BG", kButton},
    {view::kMoviesFont, K::PushButton, {192, 68, 30, 14}, "Font", kButton},
    {kNoId, K::GroupBox, {7, 129, 221, 72}, "User choices", 0},
    {view::kChoicesPreview, K::Label, {14, 142, 100, 20}, "Play", kPreview},
    {view::kChoicesHighlighted,
     K::RadioButton,
     {14, 168, 80, 10},
     "highlighted",
     kTabStop | kGroup},
    {view::kChoicesNormal, K::RadioButton, {14, 181, 80, 10}, "normal", 0},
    {view::kChoicesFg, K::PushButton, {122, 145, 30, 14}, "FG", kButton | kGroup},
    {view::kChoicesBg, K::PushButton, {157, 145, 30, 14}, "BG", kButton},
    {view::kChoicesFont, K::PushButton, {192, 145, 30, 14}, "Font", kButton},
};

constexpr std::uint32_t kOwnerDrawnList = kOwnerDraw | kNoIntegralHeight | kWantKeys | kTabStop;

constexpr ControlTemplate kFullScreenControls[] = {
    {fullscreen::kChoiceList, K::ListBox, {147, 110, 46, 33}, "", kOwnerDrawnList},
    {fullscreen::kMovieList, K::ListBox, {7, 28, 186, 21}, "", kOwnerDrawnList | kNotify},
    {fullscreen::kLabel, K::Label, {7, 7, 186, 17}, "No Disk", kCenter | kCenterVertical},
};

constexpr ControlTemplate kCodecsControls[] = {
    {kNoId, K::GroupBox, {7, 7, 221, 72}, "Use ffdshow for the following codecs:", 0},
    {codecs::kDivX3, K::CheckBox, {14, 22, 100, 10}, "DivX 3.x", kCheck},
    {codecs::kDivX4, K::CheckBox, {14, 35, 100, 10}, "DivX 4.x", kCheck},
    {codecs::kDivX5, K::CheckBox, {14, 48, 100, 10}, "DivX 5.x", kCheck},
    {codecs::kXviD, K::CheckBox, {14, 61, 100, 10}, "XviD", kCheck},
};

// The "System" group holds "Start as" and the four check boxes under it; the "Disk
// Recognition" group the rest, with the megabytes edit between its two labels on the
// last line. Long check box texts get the full width of their group.
constexpr ControlTemplate kGeneralControls[] = {
    {kNoId, K::GroupBox, {5, 4, 225, 86}, "System", 0},
    {kNoId, K::Label, {12, 18, 34, 8}, "Start as", 0},
    {general::kStartAs, K::DropDownList, {50, 16, 120, 60}, "", kDropDown},
    {general::kShutdown, K::CheckBox, {12, 34, 214, 10}, "shutdown the system on off", kCheck},
    {general::kDisableAutorun,
     K::CheckBox,
     {12, 47, 214, 10},
     "disable CD-ROM autorun feature",
     kCheck},
    {general::kCloseLaunchers,
     K::CheckBox,
     {12, 60, 214, 10},
     "close launchers executed from movie disks",
     kCheck},
    {general::kAutoplay, K::CheckBox, {12, 73, 214, 10}, "play disks automatically", kCheck},
    {kNoId, K::GroupBox, {5, 95, 225, 104}, "Disk Recognition", 0},
    {general::kReadConf,
     K::CheckBox,
     {12, 109, 214, 10},
     "read configuration.ini of DivX Autorun 1.3 by Lindqvar",
     kCheck},
    {general::kReadMdvd, K::CheckBox, {12, 122, 214, 10}, "read Micro DVD file (MDVD.MVD)", kCheck},
    {general::kMdvdPlay,
     K::CheckBox,
     {12, 135, 214, 10},
     "play Micro DVD disks with Micro DVD Player, if possible",
     kCheck},
    {general::kSubMdvd,
     K::CheckBox,
     {12, 148, 214, 10},
     "play movies with subs with Micro DVD Player, if possible",
     kCheck | kDisabled},
    {general::kSubMdvdAdjusted,
     K::CheckBox,
     {12, 161, 214, 10},
     "display MDVD-adjusted subs with Micro DVD Player only",
     kCheck | kDisabled},
    {kNoId, K::Label, {12, 180, 110, 8}, "ignore media files smaller than", 0},
    {general::kMinFileSize, K::Edit, {124, 178, 40, 12}, "", kEdit | kNumber},
    {kNoId, K::Label, {168, 180, 50, 8}, "megabytes", 0},
};

constexpr ControlTemplate kPlayerInfoControls[] = {
    {kNoId, K::Label, {7, 7, 120, 8}, "Player name", 0},
    {player_info::kName, K::Edit, {7, 17, 209, 12}, "", kEdit},
    {kNoId, K::Label, {7, 35, 120, 8}, "Executable file", 0},
    {player_info::kAppPath, K::Edit, {7, 45, 185, 12}, "", kEdit},
    {player_info::kBrowse, K::PushButton, {196, 44, 20, 14}, "...", kButton},
    {kNoId, K::Label, {7, 63, 120, 8}, "Default command line", 0},
    {player_info::kCmdLine, K::Edit, {7, 73, 209, 12}, "", kEdit},
    {kNoId, K::Label, {7, 95, 90, 8}, "Supported playlist type", 0},
    {player_info::kPlaylist, K::DropDownList, {100, 93, 116, 60}, "", kDropDown},
    {kIdOk, K::DefPushButton, {112, 122, 50, 14}, "OK", kButton},
    {kIdCancel, K::PushButton, {166, 122, 50, 14}, "Cancel", kButton},
};

constexpr std::uint32_t kModalDialog = kPopup | kCaption | kSystemMenu | kModalFrame;
constexpr std::uint32_t kPage = kChild | kCaption | kHidden;

constexpr DialogTemplate kTemplates[] = {
    {kAboutDialog,
     "About Quorvel",
     {0, 0, 235, 73},
     kDialogFont,
     kDialogFontSize,
     kModalDialog,
     kAboutControls},
    {kMainDialog,
     "Quorvel",
     {0, 0, 297, 167},
     kDialogFont,
     kDialogFontSize,
     kPopup | kCaption | kSystemMenu | kMinimizeBox | kAppWindow,
     kMainControls},
    {kPlayersPage, "Players", kPageRect, kDialogFont, kDialogFontSize, kPage, kPlayersControls},
    {kDisksPage, "Disks", kDisksPageRect, kDialogFont, kDialogFontSize, kPage, kDisksControls},
    {kViewPage, "View", kPageRect, kDialogFont, kDialogFontSize, kPage, kViewControls},
    {kFullScreenDialog,
     "",
     {0, 0, 200, 150},
     kDialogFont,
     kDialogFontSize,
     kPopup | kNoBorder | kHidden,
     kFullScreenControls},
    {kCodecsPage, "Codecs", kPageRect, kDialogFont, kDialogFontSize, kPage, kCodecsControls},
    {kGeneralPage, "General", kPageRect, kDialogFont, kDialogFontSize, kPage, kGeneralControls},
    {kPlayerInfoDialog,
     "Player Info",
     {0, 0, 223, 143},
     kDialogFont,
     kDialogFontSize,
     kModalDialog,
     kPlayerInfoControls},
};

constexpr auto kTemplateList = [] {
  std::array<const DialogTemplate*, std::size(kTemplates)> list{};
  for (std::size_t i = 0; i < list.size(); ++i) list[i] = &kTemplates[i];
  return list;
}();

}  // namespace

const ControlTemplate* DialogTemplate::FindControl(int controlId) const {
  auto it = std::ranges::find(controls, controlId, &ControlTemplate::id);
  return it == controls.end() ? nullptr : &*it;
}

const DialogTemplate* FindDialogTemplate(int id) {
  auto it = std::ranges::find(kTemplateList, id, &DialogTemplate::id);
  return it == kTemplateList.end() ? nullptr : *it;
}

std::span<const DialogTemplate* const> AllDialogTemplates() { return kTemplateList; }

}  // namespace quorvel::res
