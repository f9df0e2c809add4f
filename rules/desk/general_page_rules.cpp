#include "rules/desk/general_page_rules.h"

#include <string>
#include <vector>

#include "platform/system.h"
#include "resources/resource_ids.h"
#include "rules/desk/desk_text.h"
#include "system/system_integration.h"

namespace quorvel::desk {

namespace {

namespace ids = res::general;

constexpr std::int32_t kSystemShell = static_cast<std::int32_t>(StartMode::SystemShell);

// The page's bindings, in control order. The "Start as" item's index is the StartMode.
const FieldBinding kBindings[] = {
    {ids::kStartAs, &Settings::FullScreen, bind::DropDownList},
    {ids::kShutdown, &Settings::Shutdown, bind::CheckBox},
    {ids::kDisableAutorun, &Settings::DisableAutorun, bind::CheckBox},
    {ids::kCloseLaunchers, &Settings::CloseLaunch, bind::CheckBox},
    {ids::kAutoplay, &Settings::Autoplay, bind::CheckBox},
    {ids::kReadConf, &Settings::ReadConf, bind::CheckBox},
    {ids::kReadMdvd, &Settings::ReadMDVD, bind::CheckBox},
    {ids::kMdvdPlay, &Settings::MDVDPlay, bind::CheckBox},
    {ids::kSubMdvd, &Settings::SubMDVD, bind::CheckBox},
    {ids::kSubMdvdAdjusted, &Settings::SubMDVDAdj, bind::CheckBox},
    {ids::kMinFileSize, &Settings::MinFileSize, bind::Unsigned},
};

constexpr TooltipEntry kTooltips[] = {
    {ids::kShutdown, res::kStrShutdownTooltip},
};

}  // namespace

GeneralPageRules::GeneralPageRules(Settings& settings, const Services& services, PageView& view)
    : PageRules(res::kGeneralPage, settings, services, view, kBindings) {}

void GeneralPageRules::OnFirstShow() {
  ShowValues();
  // Every start mode but the system shell, which is offered only where the program can be
  // started as the whole session.
  std::vector<std::string> modes;
  for (int mode = 0; mode < kSystemShell; ++mode) modes.push_back(Text(res::kStrStartModes + mode));
  if (services_.system.SystemShellEntry() != SystemService::ShellEntry::None) {
    modes.push_back(Text(res::kStrStartModes + kSystemShell));
  }
  Controls().SetListItems(ids::kStartAs, modes);
  if (!services_.system.IsWindowsNT()) Controls().EnableControl(ids::kDisableAutorun, false);
  // Again, now that the list has the item to select.
  ShowValues();
  EnableTooltips(kTooltips);
  ApplyEnablingRule();
}

void GeneralPageRules::ApplyEnablingRule() {
  // A refused megabytes text has been reported; the rule goes on with what was read.
  ReadControls();
  bool forced = false;
  Controls().EnableControl(ids::kMdvdPlay, values_.ReadMDVD == 1);
  if (values_.ReadMDVD == 0) {
    values_.MDVDPlay = 0;
    values_.SubMDVD = 0;
    values_.SubMDVDAdj = 0;
    forced = true;
  }
  if (values_.FullScreen == kSystemShell) {
    values_.Shutdown = 1;
    forced = true;
  }
  Controls().EnableControl(ids::kShutdown, values_.FullScreen != kSystemShell);
  if (forced) ShowValues();
}

void GeneralPageRules::ConfirmChanges() {
  const Settings& settings = settings_;
  ApplyStartModeChange(services_.system, settings.FullScreen, values_.FullScreen);
  // A session picked at login is the user's step to take: the program says how.
  if (values_.FullScreen == kSystemShell && settings.FullScreen != kSystemShell &&
      services_.system.SystemShellEntry() == SystemService::ShellEntry::LoginSession) {
    services_.messages.Show(Text(res::kStrLoginSessionNote), {}, MessageButtons::Ok,
                            MessageIcon::Information);
  }
  ApplyAutorunChange(services_.system, settings.DisableAutorun, values_.DisableAutorun);
}

}  // namespace quorvel::desk
