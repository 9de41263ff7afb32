// overlap: whether two placed image frames share a solid pixel, by scanning both
// quadrilaterals row by row. Pure arithmetic; no allocation, so it can run thousands
// of times a frame.
#pragma once
#include "platform/pixmap.h"

// One frame as the image module places it.
struct TOverlapShape {
  int width, height;
  float handle_x, handle_y;  // the image's own handle
  const TPixmap* mask;       // the frame's pixels; nullptr or a format without alpha = solid
  int x, y;                  // drawing position
};

struct TOverlapCorner {
  float x, y, u, v;  // screen position and texture coordinates (0 or 1)
};

// A frame through the matrix: corners top-left, top-right, bottom-right, bottom-left of the picture.
struct TOverlapQuad {
  TOverlapCorner c[4];
  const TPixmap* mask;  // nullptr when solid
};

TOverlapQuad PlaceShape(const TOverlapShape& s, float ix, float iy, float jx, float jy, float origin_x,
                        float origin_y);                        // corners on screen
int BoxesMeet(const TOverlapQuad& a, const TOverlapQuad& b);  // 0 only when one box lies wholly beyond the other
int ShapesFarApart(const TOverlapShape& a, const TOverlapShape& b, float ix, float iy, float jx, float jy,
                   float origin_x, float origin_y);  // 1 only when BoxesMeet of the placed shapes is surely 0
int ShapesOverlap(const TOverlapShape& a, const TOverlapShape& b, float ix, float iy, float jx, float jy,
                  float origin_x, float origin_y);  // 1 at the first pixel solid in both
