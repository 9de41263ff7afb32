// safe_file: non-blocking opens of regular files only, small files read whole, and files
// replaced whole through an exclusive temporary.
// Depends on: POSIX file calls, and the stream module for case-blind paths.
#include "platform/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "platform/stream.h"

namespace {

const int kComposeRounds = 3;    // looks at a file another program keeps rewriting meanwhile
const size_t kComposeLimit = 4096;
const int kNameAttempts = 64;
const int kStaleSeconds = 60;    // a temporary this old was left by a run that died mid-save
const char* const kTempMark = ".tmp-";

// Module Internal Functions

std::string KindNoun(mode_t mode) {
  if (S_ISREG(mode)) return "a file";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

void SplitFolder(const std::string& resolved, std::string* folder, std::string* base) {
  size_t slash = resolved.rfind('/');
  *folder = slash == std::string::npos ? "." : slash == 0 ? "/" : resolved.substr(0, slash);
  *base = slash == std::string::npos ? resolved : resolved.substr(slash + 1);
}

int ReadUpTo(int fd, size_t limit, std::string* out) {
  char buf[4096];
  while (out->size() < limit) {
    ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - out->size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return 0;
    if (n == 0) break;
    out->append(buf, static_cast<size_t>(n));
  }
  return 1;
}

int WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0) return 0;
    done += static_cast<size_t>(n);
  }
  return 1;
}

// Read back after the flush: what a full disk or a failing device did shows here at the latest.
int HoldsExactly(int fd, const std::string& bytes) {
  std::string back(bytes.size() + 1, '\0');
  ssize_t n = ::pread(fd, back.data(), back.size(), 0);
  return n == static_cast<ssize_t>(bytes.size()) && back.compare(0, bytes.size(), bytes) == 0;
}

int WriteAndFlush(int fd, const std::string& bytes, std::string* why) {
  if (::ftruncate(fd, 0) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0 && HoldsExactly(fd, bytes)) return 1;
  *why = std::string("the new contents could not be written (") + std::strerror(errno ? errno : EIO) + ")";
  return 0;
}

// Leftovers of runs killed between making their temporary and renaming it. Only regular
// files old enough that no running copy can still be writing them; links are never followed.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
  DIR* d = ::opendir(folder.c_str());
  if (!d) return;
  std::string prefix = base + kTempMark;
  time_t now = std::time(nullptr);
  while (dirent* e = ::readdir(d)) {
    if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) != 0) continue;
    struct stat st;
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now - st.st_mtime >= kStaleSeconds) ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

std::string TemporaryName(const std::string& folder, const std::string& base, int attempt) {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  unsigned mix = static_cast<unsigned>(ts.tv_nsec) ^ (static_cast<unsigned>(attempt) * 2654435761u);
  char tail[48];
  std::snprintf(tail, sizeof tail, "%d-%08x", static_cast<int>(::getpid()), mix);
  return folder + "/" + base + kTempMark + tail;
}

// A name nobody holds, made by us alone: whatever already sits there, a planted link
// included, is passed over for another name.
int CreateTemporary(const std::string& folder, const std::string& base, std::string* temp, std::string* why) {
  for (int attempt = 0; attempt < kNameAttempts; attempt++) {
    *temp = TemporaryName(folder, base, attempt);
    int fd = ::open(temp->c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      *why = "no temporary file could be made in " + SystemPath(folder) + " (" + std::strerror(errno) + ")";
      return -1;
    }
  }
  *why = "no free name for a temporary file in " + SystemPath(folder);
  return -1;
}

// 1 when the temporary holds what compose wants given the file as it now stands;
// FILE_UNREADABLE when the file exists but can't be read.
int ComposeInto(int fd, const std::string& target, const TFileCompose& compose, std::string* why) {
  std::string written;
  for (int round = 0; round < kComposeRounds; round++) {
    TFileRead now = ReadSmallFile(target, kComposeLimit);
    if (now.status == FILE_UNREADABLE) {
      *why = now.why;
      return FILE_UNREADABLE;
    }
    std::string want = compose(now);
    if (round > 0 && want == written) return 1;
    if (!WriteAndFlush(fd, want, why)) return 0;
    written = want;
  }
  return 1;  // still changing: ours is as recent as any
}

// The rename is durable only once the folder's own entry list reaches the disk.
void FlushFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

int MoveIntoPlace(int fd, const std::string& temp, const std::string& target, std::string* why) {
  int closed = ::close(fd) == 0;
  if (closed && ::rename(temp.c_str(), target.c_str()) == 0) return 1;
  *why = std::string("the new file could not take the old one's place (") + std::strerror(errno) + ")";
  return 0;
}

}  // namespace

// Module Functions

int OpenRegularFile(const std::string& resolved, int flags, std::string* why) {
  int fd = ::open(resolved.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) {
    *why = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) st.st_mode = 0;
  if (!S_ISREG(st.st_mode)) {
    *why = "it is " + KindNoun(st.st_mode);
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

TFileRead ReadSmallFile(const std::string& path, size_t limit) {
  TFileRead r;
  int fd = OpenRegularFile(ResolvePath(path), O_RDONLY, &r.why);
  if (fd < 0) {
    // NOTE: ENOTDIR too: a file where the folder should be holds nothing of ours.
    r.status = errno == ENOENT || errno == ENOTDIR ? FILE_MISSING : FILE_UNREADABLE;
    if (r.status == FILE_MISSING) r.why.clear();
    return r;
  }
  if (ReadUpTo(fd, limit, &r.bytes)) {
    r.status = FILE_READ;
  } else {
    r.status = FILE_UNREADABLE;
    r.why = std::strerror(errno);
    r.bytes.clear();
  }
  ::close(fd);
  return r;
}

int ReplaceFile(const std::string& path, const TFileCompose& compose, std::string* why) {
  std::string target = ResolvePath(path), folder, base, temp;
  SplitFolder(target, &folder, &base);
  RemoveStaleTemporaries(folder, base);
  int fd = CreateTemporary(folder, base, &temp, why);
  if (fd < 0) return 0;
  int composed = ComposeInto(fd, target, compose, why);
  if (composed == 1 && MoveIntoPlace(fd, temp, target, why)) {
    FlushFolder(folder);
    return 1;
  }
  if (composed != 1) ::close(fd);
  ::unlink(temp.c_str());
  return composed == FILE_UNREADABLE ? FILE_UNREADABLE : 0;
}

int EnsureFolder(const std::string& path, std::string* why) {
  std::string ignored;
  if (!why) why = &ignored;
  std::string resolved = ResolvePath(path);
  struct stat st;
  if (::stat(resolved.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return 1;
    *why = SystemPath(path) + " is " + KindNoun(st.st_mode) + ", not a folder";
    return 0;
  }
  if (errno != ENOENT) {
    *why = "the folder " + SystemPath(path) + " could not be reached (" + std::strerror(errno) + ")";
    return 0;
  }
  std::error_code ec;
  std::filesystem::create_directories(resolved, ec);
  if (!ec && ::stat(resolved.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 1;
  *why = "the folder " + SystemPath(path) + " could not be made (" + (ec ? ec.message() : "not a folder") + ")";
  return 0;
}

std::string SystemPath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(ResolvePath(path), ec);
  return ec ? ResolvePath(path) : p.lexically_normal().string();
}
