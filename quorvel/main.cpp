// The quorvel program. For now it loads the user's settings and opens the options sheet;
// the start-up proper (single instance, command line, start modes) comes with the
// application object.

#include <QApplication>

#include "app/settings.h"
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

  // The platform's services, wired once for the whole run.
  quorvel::QtUserMessages messages;
  const std::unique_ptr<quorvel::PlatformServices> platform =
      quorvel::CreatePlatformServices(messages);
  const quorvel::Services& services = platform->services;

  quorvel::Settings settings;
  settings.Load(services.registry, services.messages);
  quorvel::RunOptionsSheet(nullptr, settings, services);
  services.registry.Flush();
  return 0;
}
