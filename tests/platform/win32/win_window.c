/* A stand-in disk launcher for the Windows tests: one top-level window.
     win_window.exe close  STATE   closes its window on the first WM_CLOSE and ends
     win_window.exe ignore STATE   keeps its window whatever it is asked
   It appends "ready" to the file STATE once its window exists and "close" for every
   WM_CLOSE it receives. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static const char* statePath;
static int ignoreClose;

static void Note(const char* line) {
  FILE* out = fopen(statePath, "ab");
  if (out == NULL) return;
  fprintf(out, "%s\n", line);
  fclose(out);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Note("close");
      if (!ignoreClose) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  ignoreClose = strcmp(argv[1], "ignore") == 0;
  statePath = argv[2];
  WNDCLASSA windowClass;
  memset(&windowClass, 0, sizeof windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "QuorvelTestLauncher";
  if (!RegisterClassA(&windowClass)) return 3;
  HWND window =
      CreateWindowExA(0, "QuorvelTestLauncher", "Quorvel test launcher", WS_OVERLAPPEDWINDOW, 0, 0,
                      200, 100, NULL, NULL, windowClass.hInstance, NULL);
  if (window == NULL) return 4;
  Note("ready");
  MSG message;
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
