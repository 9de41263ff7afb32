// soundcheck: the figures of a captured mix and of the game's sound files: peak, RMS,
// clipped samples, the loudest stretch and the left/right correlation.
// Usage: soundcheck CAPTURE.raw [SOUND.ogg ...]; the capture is SDL's disk audio output,
// 44100 Hz 16-bit stereo in native byte order.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace {

constexpr int kRate = 44100;
constexpr int kCeiling = 29204;  // -1 dBFS
constexpr int kKnee = 23197;     // -3 dBFS: past it the mixer's limiter is at work

struct Stereo {
  std::vector<int16_t> s;  // interleaved
  int hertz = kRate;
  size_t frames() const { return s.size() / 2; }
};

std::vector<char> ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

double Db(double v) { return v > 0 ? 20 * std::log10(v / 32768.0) : -999; }

double Rms(const Stereo& a, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = 2 * from; i < 2 * to; i++) sum += double(a.s[i]) * a.s[i];
  return to > from ? std::sqrt(sum / double(2 * (to - from))) : 0;
}

double Correlation(const Stereo& a) {
  double sl = 0, sr = 0, sll = 0, srr = 0, slr = 0, n = double(a.frames());
  for (size_t i = 0; i < a.frames(); i++) {
    double l = a.s[2 * i], r = a.s[2 * i + 1];
    sl += l, sr += r, sll += l * l, srr += r * r, slr += l * r;
  }
  double cov = slr / n - sl / n * sr / n, vl = sll / n - sl / n * sl / n, vr = srr / n - sr / n * sr / n;
  return vl > 0 && vr > 0 ? cov / std::sqrt(vl * vr) : 0;
}

// The loudest RMS over `seconds`, in steps of a tenth of a second.
double LoudestRms(const Stereo& a, double seconds) {
  size_t w = size_t(seconds * a.hertz), step = size_t(a.hertz / 10);
  double loud = 0;
  for (size_t at = 0; at + w <= a.frames(); at += step) loud = std::max(loud, Rms(a, at, at + w));
  return loud;
}

void Levels(const char* name, const Stereo& a) {
  int peak = 0;
  for (int16_t v : a.s) peak = std::max(peak, std::abs(int(v)));
  std::printf("%s: %.1f s, peak %.2f dBFS, RMS %.2f dBFS, loudest 3 s %.2f dBFS RMS, L/R correlation %.3f\n", name,
              double(a.frames()) / a.hertz, Db(peak), Db(Rms(a, 0, a.frames())), Db(LoudestRms(a, 3)), Correlation(a));
}

// Clipped samples sit at full scale; bursts are seconds that hold any.
void Clipping(const Stereo& a) {
  long clipped = 0, frames = 0, ceiling = 0, knee = 0, seconds = 0, worst = 0;
  for (size_t sec = 0; sec * kRate < a.frames(); sec++) {
    long here = 0;
    for (size_t i = sec * kRate; i < std::min(a.frames(), (sec + 1) * kRate); i++) {
      int l = a.s[2 * i], r = a.s[2 * i + 1];
      int cl = (l >= 32767 || l <= -32768) + (r >= 32767 || r <= -32768);
      clipped += cl, here += cl > 0;
      ceiling += (std::abs(l) >= kCeiling) + (std::abs(r) >= kCeiling);
      knee += (std::abs(l) > kKnee) + (std::abs(r) > kKnee);
    }
    frames += here, seconds += here > 0, worst = std::max(worst, here);
  }
  std::printf("clipped samples %ld (%ld frames in %ld seconds, worst second %ld frames); samples at or above -1 dBFS %ld, past -3 dBFS %ld\n",
              clipped, frames, seconds, worst, ceiling, knee);
}

Stereo FromCapture(const std::vector<char>& bytes) {
  Stereo a;
  a.s.resize(bytes.size() / 4 * 2);
  std::copy_n(bytes.data(), a.s.size() * 2, reinterpret_cast<char*>(a.s.data()));
  return a;
}

// Mono files count as both sides alike.
Stereo FromSample(const TAudioSample& t) {
  Stereo a;
  a.hertz = t.hertz;
  int stereo = t.format == SF_STEREO16LE;
  for (int i = 0; i < t.length * (1 + stereo); i++) {
    int16_t v = int16_t(t.data[2 * i] | t.data[2 * i + 1] << 8);
    a.s.push_back(v);
    if (!stereo) a.s.push_back(v);
  }
  return a;
}

// Skips the silence before the first sound and after the last.
Stereo Trimmed(Stereo a) {
  size_t first = 0, last = a.frames();
  while (first < last && !a.s[2 * first] && !a.s[2 * first + 1]) first++;
  while (last > first && !a.s[2 * last - 2] && !a.s[2 * last - 1]) last--;
  a.s = std::vector<int16_t>(a.s.begin() + long(2 * first), a.s.begin() + long(2 * last));
  return a;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: soundcheck CAPTURE.raw [SOUND.ogg ...]\n");
    return 2;
  }
  std::vector<char> raw = ReadAll(argv[1]);
  if (raw.empty()) {
    std::fprintf(stderr, "soundcheck: nothing captured in %s\n", argv[1]);
    return 1;
  }
  Stereo mix = Trimmed(FromCapture(raw));
  Levels("capture", mix);
  Clipping(mix);
  for (int i = 2; i < argc; i++) {
    std::vector<char> bytes = ReadAll(argv[i]);
    auto sample = DecodeOggVorbis(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!sample) {
      std::printf("%s: cannot decode\n", argv[i]);
      continue;
    }
    std::string name = argv[i];
    Levels(name.substr(name.find_last_of('/') + 1).c_str(), FromSample(*sample));
  }
  return 0;
}
