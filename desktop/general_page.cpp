#include "desktop/general_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <array>

#include "app/settings.h"
#include "platform/system.h"
#include "resources/dialog_builder.h"
#include "resources/resource_ids.h"
#include "system/system_integration.h"

namespace quorvel {

namespace {

namespace ids = res::general;

constexpr std::int32_t kSystemShell = static_cast<std::int32_t>(StartMode::SystemShell);

// The "Start as" items; the index of an item is its StartMode. The last one is offered
// only where the system has a shell entry.
constexpr std::array<const char*, 3> kStartModeItems = {
    "configuration dialog",
    "full screen window",
    "icon in taskbar's status area",
};
constexpr const char* kSystemShellItem = "system shell";

constexpr TooltipEntry kTooltips[] = {
    {ids::kShutdown, "shutdown Windows when Off button is pressed in full screen mode"},
};

}  // namespace

CGeneralPage::CGeneralPage(Settings& settings, const Services& services)
    : COptionsPage(res::kGeneralPage, settings, services),
      FullScreen(settings.FullScreen),
      Shutdown(settings.Shutdown),
      DisableAutorun(settings.DisableAutorun),
      CloseLaunch(settings.CloseLaunch),
      Autoplay(settings.Autoplay),
      ReadConf(settings.ReadConf),
      ReadMDVD(settings.ReadMDVD),
      MDVDPlay(settings.MDVDPlay),
      SubMDVD(settings.SubMDVD),
      SubMDVDAdj(settings.SubMDVDAdj),
      MinFileSize(settings.MinFileSize) {
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

void CGeneralPage::DoDataExchange(DataExchange& exchange) {
  exchange.DropDownList(ids::kStartAs, FullScreen)
      .CheckBox(ids::kShutdown, Shutdown)
      .CheckBox(ids::kDisableAutorun, DisableAutorun)
      .CheckBox(ids::kCloseLaunchers, CloseLaunch)
      .CheckBox(ids::kAutoplay, Autoplay)
      .CheckBox(ids::kReadConf, ReadConf)
      .CheckBox(ids::kReadMdvd, ReadMDVD)
      .CheckBox(ids::kMdvdPlay, MDVDPlay)
      .CheckBox(ids::kSubMdvd, SubMDVD)
      .CheckBox(ids::kSubMdvdAdjusted, SubMDVDAdj)
      .Unsigned(ids::kMinFileSize, MinFileSize);
}

void CGeneralPage::OnFirstShow() {
  ShowValues();
  auto* startAs = FindControlAs<QComboBox>(*this, ids::kStartAs);
  for (const char* item : kStartModeItems) startAs->addItem(QString::fromLatin1(item));
  if (services_.system.IsWindowsNT()) {
    startAs->addItem(QString::fromLatin1(kSystemShellItem));
  } else {
    FindControl(*this, ids::kDisableAutorun)->setEnabled(false);
  }
  // Again, now that the list has the item to select.
  ShowValues();
  EnableTooltips(kTooltips);
  ApplyEnablingRule();
}

void CGeneralPage::ApplyEnablingRule() {
  // A refused megabytes text has been reported; the rule goes on with what was read.
  ReadControls();
  bool forced = false;
  FindControl(*this, ids::kMdvdPlay)->setEnabled(ReadMDVD == 1);
  if (ReadMDVD == 0) {
    MDVDPlay = 0;
    SubMDVD = 0;
    SubMDVDAdj = 0;
    forced = true;
  }
  if (FullScreen == kSystemShell) {
    Shutdown = 1;
    forced = true;
  }
  FindControl(*this, ids::kShutdown)->setEnabled(FullScreen != kSystemShell);
  if (forced) ShowValues();
}

void CGeneralPage::Store() {
  Settings& settings = settings_;
  ApplyStartModeChange(services_.system, settings.FullScreen, FullScreen);
  ApplyAutorunChange(services_.system, settings.DisableAutorun, DisableAutorun);
  settings.Autoplay = Autoplay;
  settings.FullScreen = FullScreen;
  settings.Shutdown = Shutdown;
  settings.CloseLaunch = CloseLaunch;
  settings.DisableAutorun = DisableAutorun;
  settings.ReadMDVD = ReadMDVD;
  settings.ReadConf = ReadConf;
  settings.SubMDVD = SubMDVD;
  settings.SubMDVDAdj = SubMDVDAdj;
  settings.MDVDPlay = MDVDPlay;
  settings.MinFileSize = MinFileSize;
  // A failed save is not reported; the in-memory record holds the new values anyway.
  settings.Save(services_.registry);
}

}  // namespace quorvel
