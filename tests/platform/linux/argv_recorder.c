// Test program: records how it was started, so that a test can check what a player
// receives. Writes to the file named by QUORVEL_ARGV_RECORD (written beside and then
// renamed, so a reader sees it whole):
//   pid N / cwd PATH / env VALUE-OF-QUORVEL_TEST_ENV / fd N (each open descriptor)
//   then per argument after the program name: "arg LENGTH" and the bytes on a line.
// With QUORVEL_ARGV_LINGER=SECONDS it stays running that long afterwards.
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv) {
  const char* out = getenv("QUORVEL_ARGV_RECORD");
  if (out == NULL) return 2;
  char temporary[4096];
  snprintf(temporary, sizeof temporary, "%s.part", out);
  FILE* file = fopen(temporary, "wb");
  if (file == NULL) return 3;
  fprintf(file, "pid %d\n", (int)getpid());
  char cwd[4096];
  fprintf(file, "cwd %s\n", getcwd(cwd, sizeof cwd) != NULL ? cwd : "?");
  const char* env = getenv("QUORVEL_TEST_ENV");
  fprintf(file, "env %s\n", env != NULL ? env : "(unset)");
  DIR* fds = opendir("/proc/self/fd");
  if (fds != NULL) {
    struct dirent* entry;
    while ((entry = readdir(fds)) != NULL) {
      if (entry->d_name[0] == '.') continue;
      int fd = atoi(entry->d_name);
      if (fd == dirfd(fds) || fd == fileno(file)) continue;
      fprintf(file, "fd %d\n", fd);
    }
    closedir(fds);
  }
  for (int i = 1; i < argc; ++i) {
    size_t length = strlen(argv[i]);
    fprintf(file, "arg %zu\n", length);
    fwrite(argv[i], 1, length, file);
    fputc('\n', file);
  }
  fclose(file);
  rename(temporary, out);
  const char* linger = getenv("QUORVEL_ARGV_LINGER");
  if (linger != NULL) sleep((unsigned)atoi(linger));
  return 0;
}
