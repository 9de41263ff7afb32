// limiter: the mixer's last stage, a peak limiter on the wide sum of the channels. A mix
// whose peaks stay at or below the threshold passes bit for bit; louder peaks are pulled
// into a soft knee that never reaches the ceiling once the attack has settled, and the
// ceiling itself is a hard stop, so nothing reaches full scale.
#pragma once
#include <cstdint>

constexpr int LIMIT_THRESHOLD = 23197;      // -3 dBFS: where the knee begins
constexpr int LIMIT_CEILING = 29204;        // -1 dBFS: no output sample goes past it
constexpr int LIMIT_ATTACK_FRAMES = 88;     // 2 ms: a sudden peak is inside the knee after this
constexpr int LIMIT_HOLD_FRAMES = 882;      // 20 ms: the gain holds through a bass note's cycle
constexpr int LIMIT_RELEASE_DB_PER_S = 60;  // then recovers at this rate until it is unity again

struct TLimiter {
  float env = 0;   // the peak the gain answers to
  float gain = 1;  // exactly 1 while nothing is being limited
  int hold = 0;    // frames left before the release
};

// Stereo frames of the sum to 16-bit output, both sides at one gain so the image holds.
void LimitFrames(TLimiter* lim, const int32_t* sum, int16_t* out, int frames);
// Frames from the end of a peak `over_db` above the threshold until the gain is unity.
int LimitRecoveryFrames(float over_db);
