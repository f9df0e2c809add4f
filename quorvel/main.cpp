// The quorvel program. For now it loads the user's settings and opens the options sheet;
// the start-up proper (single instance, command line, start modes) comes with the
// application object.

#include <QApplication>

#include "app/settings.h"
#include "desktop/options_sheet.h"
#include "desktop/qt_user_messages.h"
#include "platform/system.h"
#include "platform/user_registry.h"
#include "resources/app_icon.h"
#include "resources/gui_text.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(
      quorvel::ToQString(quorvel::res::LoadString(quorvel::res::kStrProgramName)));
  QApplication::setWindowIcon(quorvel::AppIcon());

  quorvel::QtUserMessages messages;
  std::unique_ptr<quorvel::Registry> registry = quorvel::OpenUserRegistry(messages);
  quorvel::Settings settings;
  settings.Load(*registry, messages);
  std::unique_ptr<quorvel::SystemService> system = quorvel::MakeSystemService();

  quorvel::OptionsContext context{settings, *registry, *system, messages};
  quorvel::RunOptionsSheet(nullptr, context);
  registry->Flush();
  return 0;
}
