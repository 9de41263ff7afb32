// system: where the program lives, so relative data paths are found beside it, and how
// its heap gives memory back.
#include "platform/system.h"
#include <malloc.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

std::string ProgramFolder(const char* argv0) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(argv0 ? argv0 : "");
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

// The base directory rules ignore a relative or empty setting.
int IsAbsolute(const char* path) { return path && path[0] == '/'; }

}  // namespace

std::string UserDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (IsAbsolute(xdg)) return xdg;
  const char* home = std::getenv("HOME");
  if (!IsAbsolute(home)) {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : nullptr;
  }
  if (!IsAbsolute(home)) return "";
  std::string base = home;
  return (base == "/" ? "" : base) + "/.local/share";
}

int CanWriteFolder(const std::string& path) {
  if (access(path.c_str(), W_OK) == 0) return 1;
  return errno != EACCES && errno != EROFS && errno != EPERM;
}

int MakeFolders(const std::string& path) {
  struct stat st;
  if (path.empty()) return 0;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return 0;
  return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

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
