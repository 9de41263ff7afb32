// font: text drawn from glyph images. TrueType faces are rasterised by FreeType; until
// the game selects its own font, the built-in 8x16 one draws.
#include "platform/font.h"
#include "platform/freetype_font.h"

namespace {

struct {
  std::shared_ptr<TImageFont> builtin;
} FONTS;

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
  std::shared_ptr<TFont> face = LoadFreeTypeFont(source, size, style);
  if (!face) return nullptr;
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
  LogDrawCall({DC_TEXT, nullptr, 0, text, x, y});
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
