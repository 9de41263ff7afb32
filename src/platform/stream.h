// stream: bytes by name, from files beside the program or from files embedded in it.
// Names with "prefix::path" go to a stream factory ("incbin" = embedded, read only);
// anything else is a file path, '\' or '/' separated, matched without regard to case.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

// Raised on a device failure mid-read or mid-write ("Error reading from stream" / "Error writing to stream").
struct TStreamError : std::runtime_error { using std::runtime_error::runtime_error; };

class TIO {
 public:
  virtual ~TIO() = default;
  virtual int Eof() { return Pos() == Size(); }
  virtual int64_t Pos() = 0;
  virtual int64_t Size() = 0;
  virtual int64_t Seek(int64_t position) = 0;
  virtual int Flush() { return 0; }
  virtual int Close() = 0;
  virtual int64_t Read(void* buffer, int64_t count) = 0;    // bytes moved; 0 at the end
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
};

class TStream : public TIO {
 public:
  void ReadBytes(void* buffer, int64_t count);         // stops quietly at the end; throws on a failed Read before it
  void WriteBytes(const void* buffer, int64_t count);  // throws when a Write moves nothing
  int ReadInt();                                       // 4 bytes little-endian; missing high bytes read as 0
  void WriteInt(int value);
};

// A file on disk, opened "rb", "wb" or "r+b".
class TCStream : public TStream {
 public:
  TCStream(std::FILE* file, int mode);
  ~TCStream() override;
  int64_t Pos() override { return _pos; }
  int64_t Size() override { return _size; }
  int64_t Seek(int64_t position) override;
  int Flush() override;
  int Close() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;

  int64_t _pos = 0, _size = 0;
  std::FILE* _cstream = nullptr;
  int _mode = 0;  // 1 read, 2 write, 3 both
};

// A stream over bytes in memory; embedded files are read through one.
class TRamStream : public TStream {
 public:
  TRamStream(const uint8_t* buf, int64_t size, int read, int write);  // const memory: never written
  TRamStream(uint8_t* buf, int64_t size, int read, int write);        // writes stay inside the buffer
  int64_t Pos() override { return _pos; }
  int64_t Size() override { return _size; }
  int64_t Seek(int64_t position) override;
  int Close() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;

  int64_t _pos = 0, _size = 0;
  const uint8_t* _buf = nullptr;
  int _read = 0, _write = 0;
  uint8_t* _wbuf = nullptr;  // set only when the memory may be written
};

// Embedded-file registry: newest first, names compared exactly.
int RegisterEmbeddedFile(const std::string& name, const uint8_t* data, int64_t size);  // 1, or 0 if the name is taken

std::shared_ptr<TStream> OpenReadStream(const std::string& name);   // nullptr when it can't be opened
std::shared_ptr<TStream> OpenWriteStream(const std::string& name);  // creates or empties; nullptr on failure
// All bytes of a readable stream; *ok 0 on failure, or without reading when it holds more than max_bytes (-1: any size).
std::string ReadWholeStream(const std::string& name, int* ok, int64_t max_bytes = -1);
int GetFileKind(const std::string& path);                           // 0 missing/other, 1 file, 2 directory
int RenameFile(const std::string& from, const std::string& to);    // 1 when the rename (over any old file) worked
std::string ResolvePath(const std::string& path);                   // the on-disk spelling, components matched case-insensitively
