// system: where the program lives, so relative data paths are found beside it, and how
// its heap gives memory back.
#include "platform/system.h"
#include <malloc.h>
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

// glibc raises its thresholds each time a big block is freed (a decoded track, a grabbed
// screen); from then on, megabytes freed later stay in the heap. Fixed thresholds stop that.
// They sit above the GL driver's vertex buffers (about 520 KB, renewed every frame or two in
// a busy scene), which should keep coming from the heap instead of fresh pages each time.
void KeepHeapTrimmed() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 640 * 1024);
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
#endif
}
