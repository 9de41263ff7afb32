// stream: the embedded-file registry, file and memory streams, and case-blind paths.
// Depends on: the C library, POSIX directory calls, and safe_file for opening files.
#include "platform/stream.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/safe_file.h"

// Types

namespace {

struct TEmbeddedFile {
  std::string name;
  const uint8_t* data;
  int64_t size;
};

// A factory answers one prefix; it gives a stream or nothing.
struct TStreamFactory {
  const char* prefix;
  std::shared_ptr<TStream> (*open)(const std::string& path, int read, int write);
};

std::shared_ptr<TStream> OpenEmbedded(const std::string& path, int read, int write);

// Global Variables

struct {
  std::vector<TEmbeddedFile> files;  // oldest first; looked up newest first
  std::vector<TStreamFactory> factories{{"incbin", OpenEmbedded}};
} STREAMS;

// Module Internal Functions

const TEmbeddedFile* FindEmbedded(const std::string& name) {
  for (auto it = STREAMS.files.rbegin(); it != STREAMS.files.rend(); ++it)
    if (it->name == name) return &*it;
  return nullptr;
}

std::shared_ptr<TStream> OpenEmbedded(const std::string& path, int read, int write) {
  if (write) return nullptr;
  const TEmbeddedFile* f = FindEmbedded(path);
  if (!f) return nullptr;
  return std::make_shared<TRamStream>(f->data, f->size, read, 0);
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

int SameIgnoringCase(const std::string& a, const char* b) {
  return LowerAscii(a) == LowerAscii(b);
}

int Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The entry of dir spelled like name apart from case; the lowest spelling wins when
// several differ only in case, so the choice doesn't depend on directory order.
std::string FindIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return "";
  std::string best;
  while (dirent* e = ::readdir(d)) {
    if (!SameIgnoringCase(name, e->d_name)) continue;
    if (best.empty() || std::strcmp(e->d_name, best.c_str()) < 0) best = e->d_name;
  }
  ::closedir(d);
  return best;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

// NOTE: fopen happily opens a directory for reading on Linux, and blocks on a FIFO before
// any check could run; only regular files, opened without waiting, make streams.
std::shared_ptr<TStream> OpenFile(const std::string& name, int read, int write) {
  int flags = read && write ? O_RDWR : write ? O_WRONLY | O_CREAT : O_RDONLY;
  std::string why;
  int fd = OpenRegularFile(ResolvePath(name), flags, &why);
  if (fd < 0) return nullptr;
  struct stat st;
  if ((!read && ::ftruncate(fd, 0) != 0) || ::fstat(fd, &st) != 0) {  // "wb" empties
    ::close(fd);
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, read && write ? "r+b" : write ? "wb" : "rb");
  if (!f) {
    ::close(fd);
    return nullptr;
  }
  auto s = std::make_shared<TCStream>(f, (read ? 1 : 0) | (write ? 2 : 0));
  s->_size = st.st_size;
  return s;
}

std::shared_ptr<TStream> OpenStream(const std::string& name, int read, int write) {
  size_t sep = name.find("::");
  if (sep == std::string::npos) return OpenFile(name, read, write);
  std::string prefix = LowerAscii(name.substr(0, sep));
  std::string path = name.substr(sep + 2);
  for (const TStreamFactory& f : STREAMS.factories) {
    if (prefix != f.prefix) continue;
    if (auto s = f.open(path, read, write)) return s;
  }
  return nullptr;
}

}  // namespace

// Module Functions: streams

void TStream::ReadBytes(void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  while (count > 0 && !Eof()) {
    int64_t n = Read(p, count);
    if (n <= 0) throw TStreamError("Error reading from stream");
    p += n;
    count -= n;
  }
}

void TStream::WriteBytes(const void* buffer, int64_t count) {
  auto* p = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    int64_t n = Write(p, count);
    if (n <= 0) throw TStreamError("Error writing to stream");
    p += n;
    count -= n;
  }
}

int TStream::ReadInt() {
  uint8_t b[4] = {0, 0, 0, 0};
  ReadBytes(b, 4);
  uint32_t v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return static_cast<int32_t>(v);
}

void TStream::WriteInt(int value) {
  uint32_t v = static_cast<uint32_t>(value);
  uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                  static_cast<uint8_t>(v >> 24)};
  WriteBytes(b, 4);
}

TCStream::TCStream(std::FILE* file, int mode) : _cstream(file), _mode(mode) {}

TCStream::~TCStream() {
  if (_cstream) std::fclose(_cstream);
}

int64_t TCStream::Seek(int64_t position) {
  if (!_cstream || position < 0) return _pos;
  if (::fseeko(_cstream, position, SEEK_SET) == 0) _pos = position;
  return _pos;
}

int TCStream::Flush() {
  if (_cstream) std::fflush(_cstream);
  return 0;
}

int TCStream::Close() {
  if (!_cstream) return 0;
  std::fclose(_cstream);
  _cstream = nullptr;
  _pos = _size = 0;
  return 1;
}

int64_t TCStream::Read(void* buffer, int64_t count) {
  if (!_cstream || !(_mode & 1) || count <= 0) return 0;
  if (_mode == 3) ::fseeko(_cstream, _pos, SEEK_SET);  // switching between reads and writes needs a seek
  int64_t n = static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), _cstream));
  _pos += n;
  return n;
}

int64_t TCStream::Write(const void* buffer, int64_t count) {
  if (!_cstream || !(_mode & 2) || count <= 0) return 0;
  if (_mode == 3) ::fseeko(_cstream, _pos, SEEK_SET);
  int64_t n = static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), _cstream));
  _pos += n;
  if (_pos > _size) _size = _pos;
  return n;
}

TRamStream::TRamStream(const uint8_t* buf, int64_t size, int read, int write)
    : _size(size < 0 ? 0 : size), _buf(buf), _read(read), _write(0) {
  (void)write;  // memory given as const is never written
}

TRamStream::TRamStream(uint8_t* buf, int64_t size, int read, int write)
    : _size(size < 0 ? 0 : size), _buf(buf), _read(read), _write(write), _wbuf(buf) {}

int64_t TRamStream::Seek(int64_t position) {
  _pos = position < 0 ? 0 : position > _size ? _size : position;
  return _pos;
}

int TRamStream::Close() {
  _pos = _size = 0;
  _buf = _wbuf = nullptr;
  return 1;
}

int64_t TRamStream::Read(void* buffer, int64_t count) {
  if (!_read || !_buf || count <= 0) return 0;
  int64_t n = count < _size - _pos ? count : _size - _pos;
  if (n <= 0) return 0;
  std::memcpy(buffer, _buf + _pos, static_cast<size_t>(n));
  _pos += n;
  return n;
}

// A memory stream can't grow: writing stops at the end of its buffer.
int64_t TRamStream::Write(const void* buffer, int64_t count) {
  if (!_write || !_wbuf || count <= 0) return 0;
  int64_t n = count < _size - _pos ? count : _size - _pos;
  if (n <= 0) return 0;
  std::memcpy(_wbuf + _pos, buffer, static_cast<size_t>(n));
  _pos += n;
  return n;
}

// Module Functions: opening by name

int RegisterEmbeddedFile(const std::string& name, const uint8_t* data, int64_t size) {
  if (FindEmbedded(name)) return 0;
  STREAMS.files.push_back({name, data, size < 0 ? 0 : size});
  return 1;
}

std::shared_ptr<TStream> OpenReadStream(const std::string& name) { return OpenStream(name, 1, 0); }

std::shared_ptr<TStream> OpenWriteStream(const std::string& name) { return OpenStream(name, 0, 1); }

std::string ReadWholeStream(const std::string& name, int* ok, int64_t max_bytes) {
  if (ok) *ok = 0;
  auto s = OpenReadStream(name);
  if (!s || (max_bytes >= 0 && s->Size() > max_bytes)) return "";
  std::string bytes;
  try {
    char chunk[65536];
    while (!s->Eof()) {
      int64_t n = s->Read(chunk, sizeof chunk);
      if (n <= 0) throw TStreamError("Error reading from stream");
      bytes.append(chunk, static_cast<size_t>(n));
    }
  } catch (const TStreamError&) {
    return "";
  }
  s->Close();
  if (ok) *ok = 1;
  return bytes;
}

int GetFileKind(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(ResolvePath(path).c_str(), &st) != 0) return 0;
  if (S_ISREG(st.st_mode)) return 1;
  if (S_ISDIR(st.st_mode)) return 2;
  return 0;
}

int RenameFile(const std::string& from, const std::string& to) {
  return std::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0;
}

// Each component: the exact spelling when it exists, else a case-blind match in its
// folder, else its own spelling (a file or folder about to be made).
std::string ResolvePath(const std::string& path) {
  int absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
  std::string out = absolute ? "/" : "";
  int found = 1;  // once a component is missing, nothing below it can exist
  for (const std::string& part : SplitPath(path)) {
    std::string dir = out;
    std::string next = out.empty() || out.back() == '/' ? out + part : out + "/" + part;
    if (found && part != "." && part != ".." && !Exists(next)) {
      std::string match = FindIgnoringCase(dir, part);
      if (match.empty()) {
        found = 0;
      } else {
        next = out.empty() || out.back() == '/' ? out + match : out + "/" + match;
      }
    }
    out = next;
  }
  return out.empty() && !path.empty() ? std::string(".") : out;
}
