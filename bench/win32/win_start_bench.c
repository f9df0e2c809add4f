/* Start to the first painted frame of a Windows program under Wine: starts PROGRAM with
   ARGS (plain words, joined by blanks) ROUNDS times, each time waiting until the screen's pixel at
   (4, 4) shows the colour BBGGRR (hex), the window's background, then closes its windows and waits
   for its end. Prints the milliseconds of each round and their median. win_start_bench ROUNDS
   BBGGRR PROGRAM [ARGS...] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == (DWORD)process) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

static int Compare(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: win_start_bench ROUNDS BBGGRR PROGRAM [ARGS...]\n");
    return 2;
  }
  int rounds = atoi(argv[1]);
  if (rounds < 1 || rounds > 100) return 2;
  COLORREF wanted = (COLORREF)strtoul(argv[2], NULL, 16);
  char line[4096];
  int length = snprintf(line, sizeof line, "\"%s\"", argv[3]);
  for (int i = 4; i < argc && length > 0 && length < (int)sizeof line; ++i) {
    length += snprintf(line + length, sizeof line - (size_t)length, " %s", argv[i]);
  }
  if (length <= 0 || length >= (int)sizeof line) return 2;
  double times[100];
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  HDC screen = GetDC(NULL);
  for (int round = 0; round < rounds; ++round) {
    /* The screen must show something else before the program starts. */
    while (GetPixel(screen, 4, 4) == wanted) Sleep(10);
    char command[4096];
    snprintf(command, sizeof command, "%s", line);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
      fprintf(stderr, "cannot start %s\n", command);
      return 1;
    }
    for (;;) {
      if (GetPixel(screen, 4, 4) == wanted) break;
      if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
        fprintf(stderr, "the program ended before it painted\n");
        return 1;
      }
    }
    QueryPerformanceCounter(&now);
    times[round] = (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    printf("round %d: %.1f ms\n", round + 1, times[round]);
    fflush(stdout);
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
      EnumWindows(CloseWindowsOf, (LPARAM)process.dwProcessId);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  qsort(times, (size_t)rounds, sizeof times[0], Compare);
  printf("median: %.1f ms\n", times[rounds / 2]);
  return 0;
}
