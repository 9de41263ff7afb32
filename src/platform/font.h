// font: TrueType fonts rasterised through FreeType into glyph images, the built-in
// 8x16 font, and drawing and measuring text with the selected font.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/image.h"

class TFont {  // a source of glyphs
 public:
  virtual ~TFont() = default;
  virtual int Style() = 0;
  virtual int Height() = 0;
  virtual int CountGlyphs() = 0;
  virtual int CharToGlyph(int code) = 0;  // -1 when the font has no glyph for it
  virtual void LoadGlyph(int index, std::shared_ptr<TPixmap>* pixmap, float* advance, int* x, int* y, int* w, int* h) = 0;
};

struct TImageGlyph {
  std::shared_ptr<TImage> _image;  // empty for a blank glyph
  float _advance = 0;
  int _x = 0, _y = 0, _w = 0, _h = 0;
  int _loaded = 0;
};

// font.cpp
class TImageFont {
 public:
  std::shared_ptr<TFont> _src_font;
  std::vector<TImageGlyph> _glyphs;
  int _imageFlags = 0;

  int Style() { return _src_font->Style(); }
  int Height() { return _src_font->Height(); }
  int CountGlyphs() { return _src_font->CountGlyphs(); }
  int CharToGlyph(int code) { return _src_font->CharToGlyph(code); }
  TImageGlyph* LoadGlyph(int index);
  void Draw(const std::string& text, float x, float y, float ix, float iy, float jx, float jy);
  static std::shared_ptr<TImageFont> Load(const std::string& source, int size, int style);
  static std::shared_ptr<TImageFont> CreateDefault();
};

std::shared_ptr<TImageFont> LoadFontFile(const std::string& source, int size, int style);  // nullptr on failure
void SelectFont(std::shared_ptr<TImageFont> font);  // empty selects the built-in font
void DrawTextAt(const std::string& text, float x, float y);
int MeasureTextWidth(const std::string& text);  // unscaled pixels
int MeasureTextHeight();

// builtin_font.cpp
std::shared_ptr<TFont> CreateBuiltinFontSource();  // the 8x16 font that draws until one is selected
