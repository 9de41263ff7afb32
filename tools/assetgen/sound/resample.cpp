// Windowed-sinc resampling of a loop, reading round its ends.
#include "sound/resample.h"

#include <cmath>

namespace {

constexpr int kHalfTaps = 64;  // input samples either side of each output sample
constexpr double kPi = 3.14159265358979323846;

// Blackman-windowed sinc at distance d input samples, cutting off at `cutoff` cycles per sample.
double Tap(double d, double cutoff) {
  if (std::fabs(d) >= kHalfTaps) return 0;
  double x = 2 * cutoff * d, sinc = x == 0 ? 1 : std::sin(kPi * x) / (kPi * x);
  double w = 0.42 + 0.5 * std::cos(kPi * d / kHalfTaps) + 0.08 * std::cos(2 * kPi * d / kHalfTaps);
  return 2 * cutoff * sinc * w;
}

}  // namespace

Pcm ResampleLoop(const Pcm& in, int rate) {
  const size_t n_in = in.frames();
  const size_t n_out = size_t(double(n_in) * rate / in.rate + 0.5);
  const double step = double(in.rate) / rate;
  const double cutoff = 0.47 * std::fmin(1.0, double(rate) / in.rate);  // below the lower Nyquist
  Pcm out;
  out.channels = in.channels, out.rate = rate;
  out.s.assign(n_out * size_t(in.channels), 0.f);
  for (size_t j = 0; j < n_out; j++) {
    double t = double(j) * step;
    long base = long(std::floor(t));
    for (long k = base - kHalfTaps + 1; k <= base + kHalfTaps; k++) {
      double w = Tap(t - double(k), cutoff);
      size_t at = size_t(((k % long(n_in)) + long(n_in)) % long(n_in));
      for (int c = 0; c < in.channels; c++)
        out.s[j * size_t(in.channels) + size_t(c)] += float(w * in.s[at * size_t(in.channels) + size_t(c)]);
    }
  }
  return out;
}
