// quorvelctl: the command-line tool over the core of Quorvel.
#include "quorvelctl/command_line.h"

int main(int argc, char** argv) { return quorvelctl::RunCommandLine(argc, argv); }
