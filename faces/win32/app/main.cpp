// quorvel.exe: the living-room front end. The application object decides at start-up
// which window opens; the program then runs until that window is gone.

#include "faces/win32/app/movie_app.h"
#include "faces/win32/resources/windows_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  quorvel::CMovieApp app;
  // The whole command line, the program's name included, split by the Windows rules.
  if (!app.InitInstance(GetCommandLineA())) return 0;
  return app.Run();
}
