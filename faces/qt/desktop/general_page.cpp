#include "faces/qt/desktop/general_page.h"

#include <QCheckBox>
#include <QComboBox>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "platform/system.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "system/system_integration.h"

namespace quorvel {

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

CGeneralPage::CGeneralPage(Settings& settings, const Services& services)
    : COptionsPage(res::kGeneralPage, settings, services, kBindings) {
  ConnectHandlers();
}

// Event table: "read Micro DVD file" clicked, then "Start as" selection changed. Both
// react only to the user, never to values being shown.
void CGeneralPage::ConnectHandlers() {
  connect(FindControlAs<QCheckBox>(*this, ids::kReadMdvd), &QCheckBox::clicked, this,
          &CGeneralPage::ApplyEnablingRule);
  connect(FindControlAs<QComboBox>(*this, ids::kStartAs), &QComboBox::activated, this,
          &CGeneralPage::ApplyEnablingRule);
}

void CGeneralPage::OnFirstShow() {
  ShowValues();
  // Every start mode but the system shell, which is offered only where the program can be
  // started as the whole session.
  auto* startAs = FindControlAs<QComboBox>(*this, ids::kStartAs);
  for (int mode = 0; mode < kSystemShell; ++mode) {
    startAs->addItem(ToQString(res::LoadString(res::kStrStartModes + mode)));
  }
  if (services_.system.SystemShellEntry() != SystemService::ShellEntry::None) {
    startAs->addItem(ToQString(res::LoadString(res::kStrStartModes + kSystemShell)));
  }
  if (!services_.system.IsWindowsNT()) FindControl(*this, ids::kDisableAutorun)->setEnabled(false);
  // Again, now that the list has the item to select.
  ShowValues();
  EnableTooltips(kTooltips);
  ApplyEnablingRule();
}

void CGeneralPage::ApplyEnablingRule() {
  // A refused megabytes text has been reported; the rule goes on with what was read.
  ReadControls();
  bool forced = false;
  FindControl(*this, ids::kMdvdPlay)->setEnabled(values_.ReadMDVD == 1);
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
  FindControl(*this, ids::kShutdown)->setEnabled(values_.FullScreen != kSystemShell);
  if (forced) ShowValues();
}

void CGeneralPage::ConfirmChanges() {
  const Settings& settings = settings_;
  ApplyStartModeChange(services_.system, settings.FullScreen, values_.FullScreen);
  // A session picked at login is the user's step to take: the program says how.
  if (values_.FullScreen == kSystemShell && settings.FullScreen != kSystemShell &&
      services_.system.SystemShellEntry() == SystemService::ShellEntry::LoginSession) {
    services_.messages.Show(res::LoadString(res::kStrLoginSessionNote), {}, MessageButtons::Ok,
                            MessageIcon::Information);
  }
  ApplyAutorunChange(services_.system, settings.DisableAutorun, values_.DisableAutorun);
}

}  // namespace quorvel
