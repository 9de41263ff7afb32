// A minimal TrueType file writer: simple glyphs of straight on-curve contours, each with its own advance.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "font/outline.h"

struct TtfGlyph {
  std::vector<Contour> contours;
  int advance = 0;
};

struct TtfFont {
  std::string family, style, version, copyright;
  int units_per_em = 1024, ascent = 0, descent = 0;  // descent negative
  int cap_height = 0, x_height = 0;
  std::vector<TtfGlyph> glyphs;                       // glyph 0 is .notdef
  std::vector<std::pair<uint16_t, uint16_t>> cmap;    // (character, glyph index), sorted by character
};

std::vector<uint8_t> BuildTtf(const TtfFont& font);  // the whole file, checksums included
