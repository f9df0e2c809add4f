// The quorvel program. For now it loads the user's settings and opens the configuration
// dialog on the disk path given after "-p"; the start-up proper (single instance, the
// other start modes) comes with the application object.

#include <QApplication>
#include <string>

#include "app/settings.h"
#include "desktop/main_dlg.h"
#include "desktop/options_sheet.h"
#include "desktop/qt_user_messages.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "platform/user_registry.h"
#include "platform/volumes.h"
#include "playback/playlist.h"
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

  quorvel::QtUserMessages messages;
  std::unique_ptr<quorvel::Registry> registry = quorvel::OpenUserRegistry(messages);
  quorvel::Settings settings;
  settings.Load(*registry, messages);
  std::unique_ptr<quorvel::SystemService> system = quorvel::MakeSystemService();
  std::unique_ptr<quorvel::Volumes> volumes = quorvel::CreateSystemVolumes();
  std::unique_ptr<quorvel::Files> files = quorvel::CreateSystemFiles();
  std::unique_ptr<quorvel::Processes> processes = quorvel::CreateSystemProcesses();

  quorvel::OptionsContext context{settings, *registry, *system, messages, processes.get()};
  const quorvel::PlaybackServices playback{settings, *processes, messages,
                                           quorvel::DefaultPlaylistBase()};
  quorvel::CMainDlg dialog(
      settings, *volumes, *files, playback,
      [&](QWidget& owner) {
        const bool ok = quorvel::RunOptionsSheet(&owner, context);
        registry->Flush();
        return ok;
      },
      diskPath);
  messages.SetOwner(&dialog);
  dialog.exec();
  registry->Flush();
  return 0;
}
