// Builds assets/joystix.ttf, the game's arcade font, from the pixel alphabet.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "font/alphabet.h"
#include "font/ttf_writer.h"

namespace {

// Two screen pixels a drawing pixel at the game's 24-pixel size: the 12-row em holds nine rows
// above the baseline (eight of capitals and one clear) and three below, one of them for the
// descenders, and every edge lands on whole pixels so the glyphs stay sharp. A line's ink thus
// lies between 2 and 20 pixels below its top.
constexpr int kUnit = 128;
constexpr int kEmRows = 12, kAscentRows = 9;

// Each glyph is as wide as its drawing plus one clear column; the digits are all drawn eight
// columns wide, so numbers keep their places as they count.
int Advance(const PixelRows& rows) { return (int(rows[0].size()) + 1) * kUnit; }

TtfGlyph NotdefGlyph() {
  TtfGlyph g;
  g.advance = 9 * kUnit;
  int x0 = 0, x1 = 8 * kUnit, y0 = 0, y1 = 8 * kUnit, t = kUnit;
  g.contours.push_back({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
  g.contours.push_back({{x0 + t, y0 + t}, {x1 - t, y0 + t}, {x1 - t, y1 - t}, {x0 + t, y1 - t}});
  return g;
}

TtfFont BuildFont() {
  TtfFont f;
  f.family = "Kelvane Pixel";
  f.style = "Regular";
  f.version = "Version 3.000";
  f.copyright = "Made for Kelvane by its developers; free to use, embed and redistribute.";
  f.units_per_em = kEmRows * kUnit;
  f.ascent = kAscentRows * kUnit;
  f.descent = (kAscentRows - kEmRows) * kUnit;
  f.cap_height = (kBaselineRow + 1) * kUnit;
  f.x_height = (kBaselineRow + 1 - kXHeightRow) * kUnit;
  f.glyphs.push_back(NotdefGlyph());
  for (int c = 32; c <= 126; c++) {
    PixelRows rows = AlphabetGlyph(char(c));
    if (rows.empty()) {
      std::fprintf(stderr, "assetgen_font: no drawing for '%c'\n", c);
      std::exit(1);
    }
    TtfGlyph g;
    g.advance = Advance(rows);
    g.contours = TraceGlyph(rows, kUnit, kBaselineRow);
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
