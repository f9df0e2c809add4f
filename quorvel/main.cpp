// quorvel: the living-room front end. The application object decides at start-up which
// window opens; the program then runs until that window is gone.

#include "quorvel/movie_app.h"

int main(int argc, char** argv) {
  quorvel::CMovieApp app(argc, argv);
  if (!app.InitInstance()) return 0;
  return quorvel::CMovieApp::exec();
}
