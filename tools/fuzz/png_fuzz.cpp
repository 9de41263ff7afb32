// Fuzz target: PNG decoding, and masking of what decodes.
#include <cstddef>
#include <cstdint>

#include "platform/pixmap.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto p = DecodePng(data, size);
  if (!p) return 0;
  Check(p->width > 0 && p->height > 0);
  Check(p->format == PF_I8 || p->format == PF_RGB888 || p->format == PF_RGBA8888);
  Check(p->pitch == p->width * TPixmap::BytesPerPixel(p->format));
  Check(p->pixels.size() == static_cast<size_t>(p->pitch) * p->height);
  if (p->width * p->height <= 4096) {  // keep each run quick
    auto m = MaskPixmap(*p, 0, 0, 0);
    Check(m && m->format == PF_RGBA8888);
    auto c = p->Convert(PF_BGRA8888);
    Check(c && c->width == p->width);
  }
  return 0;
}
