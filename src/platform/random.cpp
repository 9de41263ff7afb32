// random: Schrage's method keeps the 48271 multiply inside 32 bits.
#include "platform/random.h"

int random_state = 4660;

static int StepRandom() {
  int s = random_state;
  s = (s % 44488) * 48271 - (s / 44488) * 3399;
  if (s < 0) s += 2147483647;
  random_state = s;
  return s;
}

static double UniformRandom() {
  int hi = StepRandom() & 0x1FFFFFFC;
  int lo = StepRandom() & 0x1FFFFFF8;
  return (hi + lo / 134217728.0) / 536870912.0;
}

void SeedRandom(int seed) {
  random_state = seed & 0x7FFFFFFF;
  if (random_state == 0 || random_state == 2147483647) random_state = 4660;
}

double RandomReal(double a, double b) {
  double u = UniformRandom();
  if (b > a) return a + u * (b - a);
  return b + u * (a - b);
}

// NOTE: out-of-range and NaN inputs are undefined for a plain cast; saturate instead.
int TruncToInt(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return 2147483647;
  if (x <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(x);
}

std::string IntToText(int value) { return std::to_string(value); }
