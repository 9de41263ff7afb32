// system: where the program lives, so relative data paths are found beside it.
#include "platform/system.h"
#include <unistd.h>
#include <climits>
#include <string>

std::string ProgramFolder(const char* argv0) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(argv0 ? argv0 : "");
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int ChangeToProgramFolder(const char* argv0) { return chdir(ProgramFolder(argv0).c_str()) == 0; }
