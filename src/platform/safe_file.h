// safe_file: opening files so that nothing a hostile folder holds can hang, redirect or
// half-write them. Every open is non-blocking and only regular files are kept; a file is
// replaced through a uniquely named temporary that is made exclusively, never through a
// link, flushed to disk and renamed over the old one, whose folder is then flushed too.
// Paths are the stream module's ('\' or '/' separated, matched without regard to case).
#pragma once
#include <cstddef>
#include <functional>
#include <string>

enum { FILE_UNREADABLE = -1, FILE_MISSING = 0, FILE_READ = 1 };

struct TFileRead {
  int status = FILE_MISSING;  // FILE_MISSING only when nothing is there at all
  std::string bytes;          // up to the limit asked for
  std::string why;            // for FILE_UNREADABLE: what went wrong, in words
};

// The descriptor of an opened regular file (blocking again), or -1 with *why set; anything
// else is refused without waiting: a FIFO, a device, a folder.
int OpenRegularFile(const std::string& resolved, int flags, std::string* why);
TFileRead ReadSmallFile(const std::string& path, size_t limit);

// What the file should hold, given what it holds at the moment (read again just before
// the rename, so a value another program wrote meanwhile can be taken into account).
using TFileCompose = std::function<std::string(const TFileRead& current)>;

// 1 when the file now holds compose's bytes. A file that exists but can't be read is left
// as it is. On failure *why says what happened and the old file is untouched.
int ReplaceFile(const std::string& path, const TFileCompose& compose, std::string* why);
int EnsureFolder(const std::string& path, std::string* why);  // 1 when it is (or now is) a folder; why may be nullptr
std::string SystemPath(const std::string& path);              // absolute, '/' separated, for messages
