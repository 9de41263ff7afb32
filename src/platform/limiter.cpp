// limiter: a feed-forward peak limiter with a soft knee, a short hold and a steady release.
#include "platform/limiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// Module Internal Functions

namespace {

constexpr float kRate = 44100.0f;
constexpr float kThreshold = LIMIT_THRESHOLD;
// The knee's asymptote sits half a decibel under the ceiling: room for the gain's
// drift between the hold's end and the next peak.
const float kKneeTop = static_cast<float>(LIMIT_CEILING) * 0.9440609f;
// One-pole attack that settles to a 0.5 dB overshoot within the attack time.
const float kAttack = 1.0f - std::exp(-4.0f / static_cast<float>(LIMIT_ATTACK_FRAMES));
const float kRelease = std::pow(10.0f, -static_cast<float>(LIMIT_RELEASE_DB_PER_S) / 20.0f / kRate);

// The level a peak `env` above the threshold comes out at: slope 1 at the threshold,
// bending towards kKneeTop.
float KneeGain(float env) {
  const float span = kKneeTop - kThreshold;
  float level = kThreshold + span * (1.0f - std::exp(-(env - kThreshold) / span));
  return level / env;
}

// The envelope jumps to a new peak and holds it while peaks within a decibel of it keep
// coming, then falls at the release rate; below the threshold it only follows the signal,
// which keeps it away from denormals.
void Follow(TLimiter* lim, int32_t peak) {
  float p = static_cast<float>(peak);
  if (p >= lim->env) {
    lim->env = p;
    lim->hold = LIMIT_HOLD_FRAMES;
  } else if (p >= lim->env * 0.8912509f) {
    lim->hold = LIMIT_HOLD_FRAMES;
  } else if (lim->hold > 0) {
    lim->hold--;
  } else {
    float fall = lim->env * kRelease;
    lim->env = fall > kThreshold ? std::max(fall, p) : p;
  }
}

int16_t Scaled(int32_t v, float gain) {
  long s = std::lrint(static_cast<float>(v) * gain);
  return static_cast<int16_t>(std::clamp<long>(s, -LIMIT_CEILING, LIMIT_CEILING));
}

}  // namespace

// Module Functions

void LimitFrames(TLimiter* lim, const int32_t* sum, int16_t* out, int frames) {
  for (int i = 0; i < 2 * frames; i += 2) {
    int32_t l = sum[i], r = sum[i + 1];
    Follow(lim, std::max(std::abs(l), std::abs(r)));
    if (lim->env <= kThreshold && lim->gain == 1.0f) {
      out[i] = static_cast<int16_t>(l), out[i + 1] = static_cast<int16_t>(r);  // below the knee: untouched
      continue;
    }
    float want = lim->env <= kThreshold ? 1.0f : KneeGain(lim->env);
    lim->gain = want < lim->gain ? lim->gain + (want - lim->gain) * kAttack : want;
    // Without looking ahead, a peak that rises faster than the attack is caught at once at
    // the knee's top; the glide into the knee follows.
    float peak = static_cast<float>(std::max(std::abs(l), std::abs(r)));
    if (peak * lim->gain > kKneeTop) lim->gain = kKneeTop / peak;
    out[i] = Scaled(l, lim->gain), out[i + 1] = Scaled(r, lim->gain);
  }
}

int LimitRecoveryFrames(float over_db) {
  return LIMIT_HOLD_FRAMES + static_cast<int>(std::ceil(std::max(0.0f, over_db) / static_cast<float>(LIMIT_RELEASE_DB_PER_S) * kRate)) + 1;
}
