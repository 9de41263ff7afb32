// Builds assets/joystix.ttf, the game's arcade font, from the pixel alphabet.
#include <cstdio>
#include <string>

#include "common/glyphs.h"
#include "font/ttf_writer.h"

namespace {

constexpr int kUnit = 128;  // font units per pixel: 8 rows make the 1024-unit em

TtfGlyph NotdefGlyph() {
  TtfGlyph g;
  g.advance = kGlyphAdvance * kUnit;
  int x0 = kUnit / 2, x1 = 6 * kUnit + kUnit / 2, y0 = 0, y1 = 7 * kUnit, t = kUnit / 2;
  g.contours.push_back({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
  g.contours.push_back({{x0 + t, y0 + t}, {x1 - t, y0 + t}, {x1 - t, y1 - t}, {x0 + t, y1 - t}});
  return g;
}

TtfFont BuildFont() {
  TtfFont f;
  f.family = "Kelvane Pixel";
  f.style = "Regular";
  f.version = "Version 1.000";
  f.copyright = "Made for Kelvane by its developers; free to use, embed and redistribute.";
  f.ascent = 7 * kUnit;
  f.descent = -kUnit;
  f.glyphs.push_back(NotdefGlyph());
  for (int c = 32; c <= 126; c++) {
    if (c >= 'a' && c <= 'z') {  // arcade style: lower case shares the capitals
      f.cmap.push_back({uint16_t(c), uint16_t(c - 'a' + 'A' - 31)});
      continue;
    }
    TtfGlyph g;
    g.advance = kGlyphAdvance * kUnit;
    g.contours = TraceGlyph(char(c), kUnit, kGlyphRows - 2);
    f.cmap.push_back({uint16_t(c), uint16_t(f.glyphs.size())});
    f.glyphs.push_back(g);
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: assetgen_font ASSET_DIR\n");
    return 2;
  }
  std::vector<uint8_t> ttf = BuildTtf(BuildFont());
  std::string path = std::string(argv[1]) + "/joystix.ttf";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(ttf.data(), 1, ttf.size(), f) != ttf.size()) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::fclose(f);
  std::printf("%s: %zu bytes\n", path.c_str(), ttf.size());
  return 0;
}
