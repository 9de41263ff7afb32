// Fuzz target: a memory stream over the input, driven by a script taken from the input,
// checked against a plain reading of the same bytes; and stream names with a prefix.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// What ReadInt must give at pos: the bytes that remain, low first, zeros above.
int ExpectedInt(const std::vector<uint8_t>& buf, int64_t pos) {
  uint32_t v = 0;
  for (int i = 0; i < 4; i++)
    if (pos + i < static_cast<int64_t>(buf.size())) v |= static_cast<uint32_t>(buf[pos + i]) << (8 * i);
  return static_cast<int32_t>(v);
}

void RunScript(FuzzedDataProvider& in, const std::vector<uint8_t>& buf) {
  TRamStream s(buf.data(), static_cast<int64_t>(buf.size()), 1, 0);
  uint8_t out[64];
  for (int step = 0; step < 64 && in.remaining_bytes() > 0; step++) {
    int64_t pos = s.Pos();
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
      case 0:
        Check(s.ReadInt() == ExpectedInt(buf, pos));
        break;
      case 1: {
        int64_t n = in.ConsumeIntegralInRange<int64_t>(0, sizeof out);
        std::memset(out, 0xA5, sizeof out);
        s.ReadBytes(out, n);
        int64_t got = s.Pos() - pos;
        Check(got == std::min<int64_t>(n, static_cast<int64_t>(buf.size()) - pos));
        Check(got == 0 || std::memcmp(out, buf.data() + pos, static_cast<size_t>(got)) == 0);
        for (int64_t i = got; i < n; i++) Check(out[i] == 0xA5);  // the rest is left as it was
        break;
      }
      case 2:
        s.Seek(in.ConsumeIntegral<int64_t>());
        break;
      default:
        Check(s.Write("x", 1) == 0);  // const memory is never written
        break;
    }
    Check(s.Pos() >= 0 && s.Pos() <= s.Size());
    Check(s.Eof() == (s.Pos() == s.Size()));
  }
}

// Names with "::" never touch the disk; only "incbin" (any case) with the exact path opens.
void RunName(FuzzedDataProvider& in) {
  static const uint8_t kBytes[3] = {1, 2, 3};
  static int registered = RegisterEmbeddedFile("fuzz.bin", kBytes, sizeof kBytes);
  (void)registered;
  std::string name = in.ConsumeRandomLengthString(64);
  size_t sep = name.find("::");
  if (sep == std::string::npos) return;
  std::string prefix = name.substr(0, sep);
  for (char& c : prefix)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  bool should = prefix == "incbin" && name.substr(sep + 2) == "fuzz.bin";
  Check((OpenReadStream(name) != nullptr) == should);
  Check(OpenWriteStream(name) == nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  RunName(in);
  std::vector<uint8_t> buf = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 256));
  RunScript(in, buf);
  // Writable memory: what goes in comes back, and a full buffer refuses with the error.
  std::vector<uint8_t> mem(buf.size());
  TRamStream w(mem.data(), static_cast<int64_t>(mem.size()), 1, 1);
  for (size_t i = 0; i + 4 <= mem.size(); i += 4) w.WriteInt(ExpectedInt(buf, static_cast<int64_t>(i)));
  bool threw = false;
  try {
    w.WriteInt(0);
  } catch (const TStreamError&) {
    threw = true;
  }
  Check(threw);  // fewer than 4 bytes of room are left
  w.Seek(0);
  for (size_t i = 0; i + 4 <= mem.size(); i += 4) Check(w.ReadInt() == ExpectedInt(buf, static_cast<int64_t>(i)));
  return 0;
}
