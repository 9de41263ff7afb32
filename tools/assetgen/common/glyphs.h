// The game's pixel alphabet: 7x7 cap-height glyphs on an 8x8 cell with one row of descender.
// Used by the font generator for its outlines and by the picture generator for lettering.
#pragma once

constexpr int kGlyphCols = 7;   // drawn columns; the cell is one wider for spacing
constexpr int kGlyphRows = 8;   // rows 0..6 stand on the baseline, row 7 hangs below it
constexpr int kGlyphAdvance = 8;

bool GlyphPixel(char c, int col, int row);  // is this cell of the glyph for c set? lower case maps to upper
bool HasGlyph(char c);                      // printable ASCII
