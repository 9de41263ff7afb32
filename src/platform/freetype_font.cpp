// freetype_font: TrueType faces rasterised by FreeType into coverage pixmaps, one glyph
// at a time on first use.
#include "platform/freetype_font.h"
#include <algorithm>
#include <ft2build.h>
#include FT_FREETYPE_H
#include "platform/stream.h"

namespace {

struct {
  FT_Library library = nullptr;
} FREETYPE;

FT_Library Library() {
  if (!FREETYPE.library && FT_Init_FreeType(&FREETYPE.library) != 0) FREETYPE.library = nullptr;
  return FREETYPE.library;
}

class TFreeTypeFont : public TFont {
 public:
  FT_Face _ft_face = nullptr;
  int _style = 0, _size = 0, _height = 0, _ascend = 0, _descend = 0;
  std::string _buf;  // a face made from memory reads these bytes for as long as it lives

  ~TFreeTypeFont() override {
    if (_ft_face) FT_Done_Face(_ft_face);
  }
  int Style() override { return _style; }
  int Height() override { return _height; }
  int CountGlyphs() override { return static_cast<int>(_ft_face->num_glyphs); }
  // NOTE: FreeType's index 0 is "no glyph"; ours start at 0, so unmapped gives -1.
  int CharToGlyph(int code) override { return static_cast<int>(FT_Get_Char_Index(_ft_face, code)) - 1; }
  void LoadGlyph(int index, std::shared_ptr<TPixmap>* pixmap, float* advance, int* x, int* y, int* w, int* h) override;
  int Open(const std::string& source);
  int OpenMemory(std::string bytes);
  int SetSize(int size);
};

int TFreeTypeFont::Open(const std::string& source) {
  if (!Library()) return 0;
  if (source.find("::") == std::string::npos)
    return FT_New_Face(Library(), ResolvePath(source).c_str(), 0, &_ft_face) == 0;
  int ok = 0;
  std::string bytes = ReadWholeStream(source, &ok);
  return ok && OpenMemory(std::move(bytes));
}

int TFreeTypeFont::OpenMemory(std::string bytes) {
  if (!Library() || bytes.empty()) return 0;
  _buf = std::move(bytes);
  auto data = reinterpret_cast<const FT_Byte*>(_buf.data());
  return FT_New_Memory_Face(Library(), data, static_cast<FT_Long>(_buf.size()), 0, &_ft_face) == 0;
}

// The requested pixel height, or the largest smaller one the face accepts.
int TFreeTypeFont::SetSize(int size) {
  while (size >= 1 && FT_Set_Pixel_Sizes(_ft_face, 0, static_cast<FT_UInt>(size)) != 0) size--;
  if (size < 1) return 0;
  _size = size;
  const FT_Size_Metrics& m = _ft_face->size->metrics;
  // NOTE: a damaged face can claim a negative height; text centring needs a real one.
  _height = std::max(0, static_cast<int>(m.height >> 6));
  _ascend = static_cast<int>(m.ascender >> 6);
  _descend = static_cast<int>(m.descender >> 6);
  return 1;
}

// Coverage as alpha: grey levels scaled to 0..255, one-bit pixels to 0 or 255.
std::shared_ptr<TPixmap> CoveragePixmap(const FT_Bitmap& bm) {
  auto p = TPixmap::Create(static_cast<int>(bm.width), static_cast<int>(bm.rows), PF_A8);
  if (!p) return nullptr;
  int stride = bm.pitch < 0 ? -bm.pitch : bm.pitch;
  int grays = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
  for (int r = 0; r < p->height; r++) {
    const unsigned char* src = bm.buffer + static_cast<size_t>(bm.pitch < 0 ? p->height - 1 - r : r) * stride;
    uint8_t* dst = p->pixels.data() + static_cast<size_t>(r) * p->pitch;
    for (int c = 0; c < p->width; c++) {
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        dst[c] = (src[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
      else
        dst[c] = static_cast<uint8_t>(src[c] * 255 / grays);
    }
  }
  return p;
}

void TFreeTypeFont::LoadGlyph(int index, std::shared_ptr<TPixmap>* pixmap, float* advance, int* x, int* y, int* w,
                              int* h) {
  *pixmap = nullptr;
  *advance = 0, *x = *y = *w = *h = 0;
  if (index < 0 || FT_Load_Glyph(_ft_face, static_cast<FT_UInt>(index + 1), FT_LOAD_DEFAULT) != 0) return;
  FT_GlyphSlot slot = _ft_face->glyph;
  *advance = static_cast<float>(slot->advance.x >> 6);
  // A damaged face can claim glyphs thousands of pixels across: hundreds of megabytes and
  // seconds to rasterise. Such a glyph draws as blank.
  long limit = 8L * std::max(_size, 32);
  if ((slot->metrics.width >> 6) > limit || (slot->metrics.height >> 6) > limit) return;
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
  *x = slot->bitmap_left;
  *y = _ascend - slot->bitmap_top;
  *w = static_cast<int>(slot->bitmap.width);
  *h = static_cast<int>(slot->bitmap.rows);
  int mode = slot->bitmap.pixel_mode;
  if (*w > 0 && *h > 0 && (mode == FT_PIXEL_MODE_GRAY || mode == FT_PIXEL_MODE_MONO)) *pixmap = CoveragePixmap(slot->bitmap);
}

}  // namespace

std::shared_ptr<TFont> LoadFreeTypeFont(const std::string& source, int size, int style) {
  auto face = std::make_shared<TFreeTypeFont>();
  if (!face->Open(source) || !face->SetSize(size)) return nullptr;
  face->_style = style;
  return face;
}

std::shared_ptr<TFont> LoadFreeTypeFontFromMemory(const uint8_t* data, size_t size, int pixels, int style) {
  auto face = std::make_shared<TFreeTypeFont>();
  if (!face->OpenMemory(std::string(reinterpret_cast<const char*>(data), size)) || !face->SetSize(pixels)) return nullptr;
  face->_style = style;
  return face;
}
