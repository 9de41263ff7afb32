// Sound balance: the committed sound files as a player hears them together: effects with
// their headroom, and a music loop that never falls back to an intro and is heard wide.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/limiter.h"
#include "platform/sound.h"
#include "support/file_bytes.h"

namespace {

const std::string kData = std::string(KELVANE_SOURCE_DIR) + "/data/";

struct Track {
  int channels = 0, hertz = 0;
  std::vector<float> s;  // interleaved, full scale 1
  size_t frames() const { return channels ? s.size() / size_t(channels) : 0; }
};

Track Decode(const std::string& name) {
  std::vector<uint8_t> bytes = ReadBytes(kData + name);
  auto sample = DecodeOggVorbis(bytes.data(), bytes.size());
  Track t;
  if (!sample) return t;
  t.channels = sample->format == SF_STEREO16LE ? 2 : 1, t.hertz = sample->hertz;
  for (size_t i = 0; i + 1 < sample->data.size(); i += 2)
    t.s.push_back(float(int16_t(sample->data[i] | sample->data[i + 1] << 8)) / 32768.0f);
  return t;
}

double Db(double v) { return 20 * std::log10(v); }

// RMS of frames [from, to), both sides; `bright` takes the step from each frame's
// predecessor instead, which weighs the hats and the arpeggio above the bass.
double Rms(const Track& t, size_t from, size_t to, bool bright) {
  double sum = 0;
  for (size_t i = std::max<size_t>(from, 1); i < to; i++)
    for (int c = 0; c < t.channels; c++) {
      double v = t.s[i * 2 + size_t(c)] - (bright ? t.s[(i - 1) * 2 + size_t(c)] : 0.0f);
      sum += v * v;
    }
  return std::sqrt(sum / double((to - from) * size_t(t.channels)));
}

}  // namespace

TEST(SoundBalance, EffectsPeakWithHeadroomForEachOther) {
  // Two effects at once stay under the limiter's threshold; the plasma, fired many times a
  // second, sits lower still.
  struct Want {
    const char* name;
    double lo, hi;
  } effects[] = {{"plasma.ogg", -9.5, -7.5},     {"firewall.ogg", -7, -5},   {"explode.ogg", -8, -5.5},
                 {"powerup.ogg", -7, -5},        {"stageclear.ogg", -7, -5}, {"gamestart.ogg", -7, -5}};
  for (const Want& e : effects) {
    Track t = Decode(e.name);
    ASSERT_GT(t.frames(), 0u) << e.name;
    float peak = 0;
    for (float v : t.s) peak = std::max(peak, std::fabs(v));
    EXPECT_GE(Db(peak), e.lo) << e.name;
    EXPECT_LE(Db(peak), e.hi) << e.name;
  }
}

TEST(SoundBalance, MusicIsWideButHeldTogether) {
  Track m = Decode("virus.ogg");
  ASSERT_EQ(m.channels, 2);
  double sl = 0, sr = 0, sll = 0, srr = 0, slr = 0, n = double(m.frames());
  for (size_t i = 0; i < m.frames(); i++) {
    double l = m.s[2 * i], r = m.s[2 * i + 1];
    sl += l, sr += r, sll += l * l, srr += r * r, slr += l * r;
  }
  double cov = slr / n - sl / n * sr / n;
  double corr = cov / std::sqrt((sll / n - sl / n * sl / n) * (srr / n - sr / n * sr / n));
  EXPECT_GE(corr, 0.6) << "the sides drift apart";
  EXPECT_LE(corr, 0.8) << "nearly mono";
}

TEST(SoundBalance, MusicLoopNeverFallsBackToAnIntro) {
  // A bar at 140 beats a minute is 12/7 s. No bar of the loop thins out to a bare intro,
  // and the last bar leads into the first at the same strength.
  Track m = Decode("virus.ogg");
  ASSERT_EQ(m.channels, 2);
  const size_t bar = size_t(m.hertz) * 12 / 7, bars = m.frames() / bar;
  ASSERT_GE(bars, 35u);
  std::vector<double> level, bright;
  for (size_t b = 0; b < bars; b++) {
    level.push_back(Db(Rms(m, b * bar, (b + 1) * bar, false)));
    bright.push_back(Db(Rms(m, b * bar, (b + 1) * bar, true)));
  }
  double loud = *std::max_element(level.begin(), level.end()), lit = *std::max_element(bright.begin(), bright.end());
  for (size_t b = 0; b < bars; b++) {
    EXPECT_GT(level[b], loud - 3.0) << "bar " << b << " drops out";
    EXPECT_GT(bright[b], lit - 6.0) << "bar " << b << " loses its drums and arpeggio";
  }
  EXPECT_NEAR(level[0], level[bars - 1], 1.5);
  EXPECT_NEAR(bright[0], bright[bars - 1], 2.0);
}
