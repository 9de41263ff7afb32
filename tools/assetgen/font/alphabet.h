// The font's pixel alphabet, drawn as sheets: each glyph is a block of 'X' (set) and '.' as
// wide as it is drawn, the glyphs of a sheet row parted by one space. Rows 0..7 stand on the
// baseline (capitals and ascenders fill them, the lower case starts at row 2); row 8 hangs below.
// Nine rows in all, so a line's ink fits in 18 pixels at the game's size and lines set
// 20 pixels apart keep a clear row between them.
#pragma once
#include <string>
#include <vector>

constexpr int kSheetRows = 9;
constexpr int kBaselineRow = 7;  // the lowest row that stands on the baseline
constexpr int kXHeightRow = 2;   // the top row of a lower-case letter without ascender

struct GlyphSheet {
  const char* chars;  // the characters drawn, left to right
  const char* rows[kSheetRows];
};

using PixelRows = std::vector<std::string>;  // kSheetRows rows of one width, 'X' set

const std::vector<GlyphSheet>& CapitalSheets();    // capitals.cpp
const std::vector<GlyphSheet>& LowerCaseSheets();  // lower_case.cpp
const std::vector<GlyphSheet>& FigureSheets();     // figures.cpp: digits, space and signs

PixelRows AlphabetGlyph(char c);  // the drawing of c; empty when no sheet draws it
