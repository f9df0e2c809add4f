// The quorvel program. For now it loads the user's settings and opens the options sheet;
// the start-up proper (single instance, command line, start modes) comes with the
// application object.

#include <QApplication>
#include <QSocketNotifier>
#include <memory>

#include "app/settings.h"
#include "desktop/options_sheet.h"
#include "desktop/qt_user_messages.h"
#include "platform/end_requests.h"
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

  // The system asking the program to end (the session ending) ends it as its own Exit
  // does: every event loop, a modal dialog's too, returns and the settings are written.
  const int endRequests = quorvel::CatchEndRequests();
  std::unique_ptr<QSocketNotifier> endNotifier;
  if (endRequests >= 0) {
    endNotifier = std::make_unique<QSocketNotifier>(endRequests, QSocketNotifier::Read);
    // Every loop ends, the one of a modal dialog too; the program has not reached its
    // own loop while the options sheet is open, so quit(), which asks the windows to
    // close, would not end it.
    QObject::connect(endNotifier.get(), &QSocketNotifier::activated, &app, [&endNotifier] {
      endNotifier->setEnabled(false);
      QCoreApplication::exit(0);
    });
  }

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
