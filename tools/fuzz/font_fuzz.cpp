// Fuzz target: TrueType faces from memory, every printable character rendered.
#include <cstddef>
#include <cstdint>
#include "platform/freetype_font.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::shared_ptr<TFont> font = LoadFreeTypeFontFromMemory(data, size, 24, 4);
  if (!font) return 0;
  Check(font->Height() >= 0);
  for (int code = 32; code < 128; code++) {
    int index = font->CharToGlyph(code);
    if (index < 0) continue;
    std::shared_ptr<TPixmap> pixmap;
    float advance = 0;
    int x, y, w, h;
    font->LoadGlyph(index, &pixmap, &advance, &x, &y, &w, &h);
    if (pixmap) Check(pixmap->width == w && pixmap->height == h && pixmap->format == PF_A8);
  }
  return 0;
}
