// quorvel: the living-room front end. The application object decides at start-up which
// window opens; the program then runs until that window is gone.

#include <QSocketNotifier>
#include <memory>

#include "faces/qt/app/movie_app.h"
#include "platform/end_requests.h"

int main(int argc, char** argv) {
  quorvel::CMovieApp app(argc, argv);

  // The system asking the program to end (the session ending) ends it as its own Exit
  // does: every event loop returns, a modal dialog's too, the window goes and the
  // settings are written. exit(), not quit(): quit() asks the windows to close and does
  // nothing before the main loop runs, while the configuration dialog is open.
  const int endRequests = quorvel::CatchEndRequests();
  std::unique_ptr<QSocketNotifier> endNotifier;
  bool endRequested = false;
  if (endRequests >= 0) {
    endNotifier = std::make_unique<QSocketNotifier>(endRequests, QSocketNotifier::Read);
    QObject::connect(endNotifier.get(), &QSocketNotifier::activated, &app,
                     [&endNotifier, &endRequested] {
                       endNotifier->setEnabled(false);
                       endRequested = true;
                       QCoreApplication::exit(0);
                     });
  }

  if (!app.InitInstance() || endRequested) return 0;
  return quorvel::CMovieApp::exec();
}
