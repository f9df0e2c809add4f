/* The peer of the Windows start-up benchmark: the least a Win32 program does to put one
   full-screen window on the screen, an empty popup window in the full-screen window's
   background colour, RGB(0, 0, 64). It ends when the window is closed. */
#include <windows.h>

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  (void)previous;
  (void)line;
  (void)show;
  WNDCLASSA windowClass = {0};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = CreateSolidBrush(RGB(0, 0, 64));
  windowClass.lpszClassName = "BareFullScreen";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "BareFullScreen", "Bare Full Screen", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL,
                                NULL, instance, NULL);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
