// mix_sound: decoded samples turned into the mixer's one format, signed 16-bit native.
#include <bit>
#include <cmath>
#include <utility>

#include "platform/mixer.h"
#include "platform/sound.h"

namespace {

// Rates beyond this are no real sound and would only overflow the step arithmetic.
constexpr int MAX_HERTZ = 1000000;

struct TFormatInfo {
  int channels, bytes;  // bytes per sample value
  int big_endian;
  bool Native() const { return bytes == 2 && big_endian == (std::endian::native == std::endian::big); }
};

bool DescribeFormat(int format, TFormatInfo* info) {
  switch (format) {
    case SF_MONO8: *info = {1, 1, 0}; return true;
    case SF_MONO16LE: *info = {1, 2, 0}; return true;
    case SF_MONO16BE: *info = {1, 2, 1}; return true;
    case SF_STEREO8: *info = {2, 1, 0}; return true;
    case SF_STEREO16LE: *info = {2, 2, 0}; return true;
    case SF_STEREO16BE: *info = {2, 2, 1}; return true;
  }
  return false;
}

// 8-bit samples are unsigned, centred on 128.
int16_t ReadValue(const uint8_t* p, const TFormatInfo& f) {
  if (f.bytes == 1) return static_cast<int16_t>((p[0] - 128) * 256);
  unsigned v = f.big_endian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
  return static_cast<int16_t>(v);
}

}  // namespace

std::shared_ptr<TMixSound> MakeMixSound(TAudioSample sample, int flags) {
  TFormatInfo f;
  if (!DescribeFormat(sample.format, &f)) return nullptr;
  if (sample.length <= 0 || sample.hertz <= 0 || sample.hertz > MAX_HERTZ) return nullptr;
  size_t values = static_cast<size_t>(sample.length) * f.channels;
  if (sample.data.size() / f.bytes < values) return nullptr;  // shorter than it claims
  auto sound = std::make_shared<TMixSound>();
  if (f.Native()) {
    sound->data = std::move(sample.data);
    sound->data.resize(2 * values);
  } else {
    sound->data.resize(2 * values);
    for (size_t i = 0; i < values; i++) {
      int16_t v = ReadValue(&sample.data[i * f.bytes], f);
      std::memcpy(&sound->data[2 * i], &v, sizeof v);
    }
  }
  sound->channels = f.channels;
  sound->hertz = sample.hertz;
  sound->length = sample.length;
  sound->loop = (flags & SOUND_LOOP) ? 1 : 0;
  return sound;
}

// NOTE: wrapping to 16 bits would turn a loud volume into silence or an inverted wave;
// saturate instead, and treat negative or NaN volumes as silence.
int VolumeToGain(float volume) {
  if (!(volume > 0.0f)) return 0;
  double gain = std::trunc(static_cast<double>(volume) * double(MIX_UNITY));
  return gain >= 65535.0 ? 65535 : static_cast<int>(gain);
}
