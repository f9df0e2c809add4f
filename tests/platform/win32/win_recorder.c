/* A stand-in player for the Windows tests: writes the command line it was started with
   (GetCommandLineA) and the arguments its C runtime made of it to the file that
   QUORVEL_WIN_RECORD names, each as "LENGTH:BYTES\n", so any byte survives, after the
   number of arguments written the same way, so a reader can tell a whole record. The
   file appears in one step (written beside, then renamed). With QUORVEL_WIN_RECORD_LOG
   set, the command line is also appended to that file as one line, so that a test can
   count how often the player was started. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

/* The MinGW runtime would otherwise expand wildcards in the arguments. */
int _dowildcard = 0;

static void Put(FILE* out, const char* text) {
  fprintf(out, "%u:", (unsigned)strlen(text));
  fwrite(text, 1, strlen(text), out);
  fputc('\n', out);
}

int main(int argc, char** argv) {
  const char* log = getenv("QUORVEL_WIN_RECORD_LOG");
  if (log != NULL) {
    FILE* lines = fopen(log, "ab");
    if (lines == NULL) return 6;
    fprintf(lines, "%s\n", GetCommandLineA());
    if (fclose(lines) != 0) return 6;
  }
  const char* record = getenv("QUORVEL_WIN_RECORD");
  if (record == NULL) return log != NULL ? 0 : 2;
  char temporary[MAX_PATH + 16];
  snprintf(temporary, sizeof temporary, "%s.tmp", record);
  FILE* out = fopen(temporary, "wb");
  if (out == NULL) return 3;
  char count[16];
  snprintf(count, sizeof count, "%d", argc);
  Put(out, count);
  Put(out, GetCommandLineA());
  for (int i = 0; i < argc; ++i) Put(out, argv[i]);
  if (fclose(out) != 0) return 4;
  return MoveFileExA(temporary, record, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
