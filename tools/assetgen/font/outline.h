// Turning a pixel glyph into closed polygon contours for TrueType.
#pragma once
#include <vector>

struct FontPoint {
  int x, y;  // font units, y up
};
using Contour = std::vector<FontPoint>;

// Contours around the set pixels of a glyph, outer ones clockwise and holes counter-clockwise
// (TrueType's rule), with no shared edges and no collinear points. `unit` is the size of a pixel.
std::vector<Contour> TraceGlyph(char c, int unit, int baseline_row);
