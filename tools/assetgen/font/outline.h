// Turning a pixel glyph into closed polygon contours for TrueType.
#pragma once
#include <vector>

#include "font/alphabet.h"

struct FontPoint {
  int x, y;  // font units, y up
};
using Contour = std::vector<FontPoint>;

// Contours around the set pixels of a glyph, outer ones clockwise and holes counter-clockwise
// (TrueType's rule), with no shared edges and no collinear points. `unit` is the size of a pixel;
// the bottom of row `baseline_row` lies on the baseline.
std::vector<Contour> TraceGlyph(const PixelRows& rows, int unit, int baseline_row);
