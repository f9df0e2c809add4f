// The quorvel program. For now it loads the user's settings and opens the configuration
// dialog on the disk path given after "-p"; the start-up proper (single instance, the
// other start modes) comes with the application object.

#include <QApplication>
#include <memory>
#include <string>

#include "app/settings.h"
#include "desktop/main_dlg.h"
#include "desktop/options_sheet.h"
#include "desktop/qt_user_messages.h"
#include "platform/services.h"
#include "resources/app_icon.h"
#include "resources/gui_text.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(
      quorvel::ToQString(quorvel::res::LoadString(quorvel::res::kStrProgramName)));
  QApplication::setWindowIcon(quorvel::AppIcon());

  std::string diskPath;
  for (int i = 1; i + 1 < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "-p" || argument == "/p") diskPath = argv[i + 1];
  }

  // The platform's services, wired once for the whole run.
  quorvel::QtUserMessages messages;
  const std::unique_ptr<quorvel::PlatformServices> platform =
      quorvel::CreatePlatformServices(messages);
  const quorvel::Services& services = platform->services;

  quorvel::Settings settings;
  settings.Load(services.registry, services.messages);
  quorvel::CMainDlg dialog(
      settings, services,
      [&](QWidget& owner) {
        const bool ok = quorvel::RunOptionsSheet(&owner, settings, services);
        services.registry.Flush();
        return ok;
      },
      diskPath);
  messages.SetOwner(&dialog);
  dialog.exec();
  services.registry.Flush();
  return 0;
}
