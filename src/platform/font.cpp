// font: text drawn from glyph images. TrueType faces are rasterised by FreeType; until
// the game selects its own font, the built-in 8x16 one draws.
#include "platform/font.h"
#include <ft2build.h>
#include FT_FREETYPE_H
#include "platform/stream.h"

std::shared_ptr<TFont> CreateBuiltinFontSource();  // builtin_font.cpp

namespace {

struct {
  FT_Library library = nullptr;
  std::shared_ptr<TImageFont> builtin;
} FONTS;

FT_Library Library() {
  if (!FONTS.library && FT_Init_FreeType(&FONTS.library) != 0) FONTS.library = nullptr;
  return FONTS.library;
}

class TFreeTypeFont : public TFont {
 public:
  FT_Face _ft_face = nullptr;
  int _style = 0, _height = 0, _ascend = 0, _descend = 0;
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
  int SetSize(int size);
};

int TFreeTypeFont::Open(const std::string& source) {
  if (!Library()) return 0;
  if (source.find("::") == std::string::npos)
    return FT_New_Face(Library(), ResolvePath(source).c_str(), 0, &_ft_face) == 0;
  int ok = 0;
  _buf = ReadWholeStream(source, &ok);
  if (!ok || _buf.empty()) return 0;
  auto bytes = reinterpret_cast<const FT_Byte*>(_buf.data());
  return FT_New_Memory_Face(Library(), bytes, static_cast<FT_Long>(_buf.size()), 0, &_ft_face) == 0;
}

// The requested pixel height, or the largest smaller one the face accepts.
int TFreeTypeFont::SetSize(int size) {
  while (size >= 1 && FT_Set_Pixel_Sizes(_ft_face, 0, static_cast<FT_UInt>(size)) != 0) size--;
  if (size < 1) return 0;
  const FT_Size_Metrics& m = _ft_face->size->metrics;
  _height = static_cast<int>(m.height >> 6);
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
  if (index < 0 || FT_Load_Glyph(_ft_face, static_cast<FT_UInt>(index + 1), FT_LOAD_RENDER) != 0) return;
  FT_GlyphSlot slot = _ft_face->glyph;
  *advance = static_cast<float>(slot->advance.x >> 6);
  *x = slot->bitmap_left;
  *y = _ascend - slot->bitmap_top;
  *w = static_cast<int>(slot->bitmap.width);
  *h = static_cast<int>(slot->bitmap.rows);
  int mode = slot->bitmap.pixel_mode;
  if (*w > 0 && *h > 0 && (mode == FT_PIXEL_MODE_GRAY || mode == FT_PIXEL_MODE_MONO)) *pixmap = CoveragePixmap(slot->bitmap);
}

std::shared_ptr<TImageFont> MakeImageFont(std::shared_ptr<TFont> source, int style) {
  auto font = std::make_shared<TImageFont>();
  font->_src_font = std::move(source);
  font->_glyphs.resize(static_cast<size_t>(std::max(font->CountGlyphs(), 0)));
  font->_imageFlags = (style & 4) ? (IMG_FILTERED | IMG_MIPMAPPED) : 0;
  return font;
}

TImageFont* SelectedFont() {
  TDraw2DGraphics* s = TDraw2DGraphics::Current();
  if (s && s->image_font) return s->image_font.get();
  if (!FONTS.builtin) FONTS.builtin = TImageFont::CreateDefault();
  return FONTS.builtin.get();
}

// The text's UTF-16 code units, decoded from UTF-8; a stray byte stands for itself.
std::u16string CodeUnits(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    unsigned code = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < len; k++) {
      unsigned char c = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      if ((c & 0xC0) != 0x80) len = 0;
      code = (code << 6) | (c & 0x3F);
    }
    if (len == 0) code = b, len = 1;
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += static_cast<size_t>(len);
  }
  return out;
}

}  // namespace

TImageGlyph* TImageFont::LoadGlyph(int index) {
  if (index < 0 || index >= static_cast<int>(_glyphs.size())) return nullptr;
  TImageGlyph& g = _glyphs[static_cast<size_t>(index)];
  if (g._loaded) return &g;
  g._loaded = 1;
  std::shared_ptr<TPixmap> pixmap;
  _src_font->LoadGlyph(index, &pixmap, &g._advance, &g._x, &g._y, &g._w, &g._h);
  if (!pixmap) return &g;
  g._image = TImage::Create(pixmap->width, pixmap->height, 1, _imageFlags, 0, 0, 0);
  if (g._image) g._image->SetPixmap(0, pixmap);
  return &g;
}

void TImageFont::Draw(const std::string& text, float x, float y, float ix, float iy, float jx, float jy) {
  for (char16_t code : CodeUnits(text)) {
    TImageGlyph* g = LoadGlyph(CharToGlyph(code));
    if (!g) continue;
    if (g->_image) {
      TImageFrame* frame = g->_image->Frame(0);
      float gx = static_cast<float>(g->_x), gy = static_cast<float>(g->_y);
      if (frame)
        frame->Draw(0, 0, static_cast<float>(g->_image->width), static_cast<float>(g->_image->height),
                    x + gx * ix + gy * iy, y + gx * jx + gy * jy);
    }
    x += g->_advance * ix;
    y += g->_advance * jx;
  }
}

std::shared_ptr<TImageFont> TImageFont::Load(const std::string& source, int size, int style) {
  auto face = std::make_shared<TFreeTypeFont>();
  if (!face->Open(source)) {
    face->_ft_face = nullptr;
    return nullptr;
  }
  if (!face->SetSize(size)) return nullptr;
  face->_style = style;
  return MakeImageFont(face, style);
}

std::shared_ptr<TImageFont> TImageFont::CreateDefault() { return MakeImageFont(CreateBuiltinFontSource(), 0); }

std::shared_ptr<TImageFont> LoadFontFile(const std::string& source, int size, int style) {
  return TImageFont::Load(source, size, style);
}

void SelectFont(std::shared_ptr<TImageFont> font) {
  TDraw2DGraphics* s = TDraw2DGraphics::Current();
  if (!s) return;
  if (!font) {
    if (!FONTS.builtin) FONTS.builtin = TImageFont::CreateDefault();
    font = FONTS.builtin;
  }
  s->image_font = std::move(font);
}

void DrawTextAt(const std::string& text, float x, float y) {
  TDraw2DGraphics* s = TDraw2DGraphics::Current();
  if (!s) return;
  float hx = s->handle_x, hy = s->handle_y;
  float sx = x + s->origin_x + hx * s->tform_ix + hy * s->tform_iy;
  float sy = y + s->origin_y + hx * s->tform_jx + hy * s->tform_jy;
  SelectedFont()->Draw(text, sx, sy, s->tform_ix, s->tform_iy, s->tform_jx, s->tform_jy);
}

int MeasureTextWidth(const std::string& text) {
  TImageFont* font = SelectedFont();
  int width = 0;
  for (char16_t code : CodeUnits(text)) {
    TImageGlyph* g = font->LoadGlyph(font->CharToGlyph(code));
    if (g) width = static_cast<int>(static_cast<float>(width) + g->_advance);
  }
  return width;
}

int MeasureTextHeight() { return SelectedFont()->Height(); }
