// soft_mix: the mixer over SDL-free "SoftMix" output, held so a test alone fills buffers,
// and what came out of it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/audio_backends.h"
#include "platform/mixer.h"
#include "platform/sound.h"

class SoftMixFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ShutdownAudio();
    ASSERT_EQ(SetAudioDriver("SoftMix"), 1);
    HoldSoftMixOutput(1);
  }
  void TearDown() override { ShutdownAudio(); }
};

// The loudest sample of the next `frames` stereo frames the mixer gives.
inline int MixedPeak(int frames = 8192) {
  std::vector<int16_t> out(2 * static_cast<size_t>(frames));
  for (int at = 0; at < frames; at += 1024) MixFrames(&out[2 * static_cast<size_t>(at)], std::min(1024, frames - at));
  int peak = 0;
  for (int16_t v : out) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}
