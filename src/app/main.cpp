// Kelvane: the thin entry; the game itself is the library.
#include "app/cmdline.h"
#include "app/program.h"

int main(int argc, char** argv) {
  int code = RunCommandLine(argc, argv);
  if (code >= 0) return code;
  return RunProgram(argv[0]);
}
