/* A stand-in player for the Windows tests: writes the command line it was started with
   (GetCommandLineA) and the arguments its C runtime made of it to the file that
   QUORVEL_WIN_RECORD names, each as "LENGTH:BYTES\n", so any byte survives, after the
   number of arguments written the same way, so a reader can tell a whole record. The
   file appears in one step (written beside, then renamed). */
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
  const char* record = getenv("QUORVEL_WIN_RECORD");
  if (record == NULL) return 2;
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
