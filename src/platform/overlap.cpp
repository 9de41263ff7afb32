// overlap: pixel overlap of two placed frames by scanline.
// Depends on: pixmap (for the frames' alpha).
#include "platform/overlap.h"

#include <cmath>

namespace {

// Types

// One row of a quadrilateral: columns [left, right), with u and v at its two ends.
struct TSpan {
  int left, right;
  float ul, vl, ur, vr;
};

// Module Internal Functions

// NOTE: everything truncates toward zero, as drawing does; clamped first so a wild
// matrix can't make the conversion undefined.
int Trunc(float f) {
  if (!(f > -1e9f)) return -1000000000;
  if (f > 1e9f) return 1000000000;
  return static_cast<int>(f);
}

float Clamp01(float f) { return f < 0 ? 0 : f > 1 ? 1 : f; }

void BoxOf(const TOverlapQuad& q, float* x0, float* y0, float* x1, float* y1) {
  *x0 = *x1 = q.c[0].x;
  *y0 = *y1 = q.c[0].y;
  for (const TOverlapCorner& c : q.c) {
    *x0 = std::fmin(*x0, c.x), *x1 = std::fmax(*x1, c.x);
    *y0 = std::fmin(*y0, c.y), *y1 = std::fmax(*y1, c.y);
  }
}

int RowRange(const TOverlapQuad& q, int* top, int* bottom) {
  float x0, y0, x1, y1;
  BoxOf(q, &x0, &y0, &x1, &y1);
  *top = Trunc(y0);
  *bottom = Trunc(y1);  // excluded
  return *top < *bottom;
}

// Where edge a->b crosses the middle of row r, when its truncated rows include r.
int EdgeAtRow(const TOverlapCorner& a, const TOverlapCorner& b, int r, TOverlapCorner* at) {
  int ra = Trunc(a.y), rb = Trunc(b.y);
  if (ra == rb) return 0;
  const TOverlapCorner& top = ra < rb ? a : b;
  const TOverlapCorner& bot = ra < rb ? b : a;
  int rt = ra < rb ? ra : rb, rbot = ra < rb ? rb : ra;
  if (r < rt || r >= rbot) return 0;
  float t = (static_cast<float>(r - rt) + 0.5f) / static_cast<float>(rbot - rt);
  at->x = top.x + (bot.x - top.x) * t;
  at->u = top.u + (bot.u - top.u) * t;
  at->v = top.v + (bot.v - top.v) * t;
  return 1;
}

// The quadrilateral's span on row r: its leftmost and rightmost crossing edges.
int SpanAtRow(const TOverlapQuad& q, int r, TSpan* s) {
  TOverlapCorner lo{}, hi{}, at{};
  int n = 0;
  for (int k = 0; k < 4; k++) {
    if (!EdgeAtRow(q.c[k], q.c[(k + 1) & 3], r, &at)) continue;
    if (n == 0 || at.x < lo.x) lo = at;
    if (n == 0 || at.x > hi.x) hi = at;
    n++;
  }
  if (n < 2) return 0;
  *s = {Trunc(lo.x), Trunc(hi.x), lo.u, lo.v, hi.u, hi.v};
  return 1;
}

int AlphaOffset(int format) { return format == PF_A8 ? 0 : 3; }

// Solid when the frame has no mask, or its texel under the column's centre is at least half opaque.
int SolidAt(const TOverlapQuad& q, const TSpan& s, int column) {
  if (!q.mask) return 1;
  float t = (static_cast<float>(column - s.left) + 0.5f) / static_cast<float>(s.right - s.left);
  float u = Clamp01(s.ul + (s.ur - s.ul) * t);
  float v = Clamp01(s.vl + (s.vr - s.vl) * t);
  const TPixmap& m = *q.mask;
  int tx = Trunc(u * static_cast<float>(m.width)), ty = Trunc(v * static_cast<float>(m.height));
  if (tx > m.width - 1) tx = m.width - 1;
  if (ty > m.height - 1) ty = m.height - 1;
  return m.PixelPtr(tx, ty)[AlphaOffset(m.format)] >= 128;
}

int RowsShareSolid(const TOverlapQuad& a, const TSpan& sa, const TOverlapQuad& b, const TSpan& sb) {
  int from = sa.left > sb.left ? sa.left : sb.left;
  int to = sa.right < sb.right ? sa.right : sb.right;
  for (int col = from; col < to; col++)
    if (SolidAt(a, sa, col) && SolidAt(b, sb, col)) return 1;
  return 0;
}

int UsableMask(const TPixmap* m) {
  return m && TPixmap::HasAlpha(m->format) && m->width > 0 && m->height > 0 &&
         m->pixels.size() >= static_cast<size_t>(m->pitch) * static_cast<size_t>(m->height) &&
         m->pitch >= m->width * TPixmap::BytesPerPixel(m->format);
}

int Finite(const TOverlapQuad& q) {
  for (const TOverlapCorner& c : q.c)
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) return 0;
  return 1;
}

}  // namespace

// Module Functions

TOverlapQuad PlaceShape(const TOverlapShape& s, float ix, float iy, float jx, float jy, float origin_x,
                        float origin_y) {
  const float lx[4] = {-s.handle_x, s.width - s.handle_x, s.width - s.handle_x, -s.handle_x};
  const float ly[4] = {-s.handle_y, -s.handle_y, s.height - s.handle_y, s.height - s.handle_y};
  const float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
  float tx = static_cast<float>(s.x) + origin_x, ty = static_cast<float>(s.y) + origin_y;
  TOverlapQuad q{};
  for (int k = 0; k < 4; k++)
    q.c[k] = {lx[k] * ix + ly[k] * iy + tx, lx[k] * jx + ly[k] * jy + ty, u[k], v[k]};
  q.mask = UsableMask(s.mask) ? s.mask : nullptr;
  return q;
}

// Boxes that only touch still meet; the pixel test decides them.
int BoxesMeet(const TOverlapQuad& a, const TOverlapQuad& b) {
  float ax0, ay0, ax1, ay1, bx0, by0, bx1, by1;
  BoxOf(a, &ax0, &ay0, &ax1, &ay1);
  BoxOf(b, &bx0, &by0, &bx1, &by1);
  return !(ax1 < bx0 || bx1 < ax0 || ay1 < by0 || by1 < ay0);
}

// Only rows where both quadrilaterals have spans can answer, so the scan keeps to
// the rows they share.
int ShapesOverlap(const TOverlapShape& a, const TOverlapShape& b, float ix, float iy, float jx, float jy,
                  float origin_x, float origin_y) {
  TOverlapQuad qa = PlaceShape(a, ix, iy, jx, jy, origin_x, origin_y);
  TOverlapQuad qb = PlaceShape(b, ix, iy, jx, jy, origin_x, origin_y);
  if (!Finite(qa) || !Finite(qb) || !BoxesMeet(qa, qb)) return 0;
  int ta, ba, tb, bb;
  if (!RowRange(qa, &ta, &ba) || !RowRange(qb, &tb, &bb)) return 0;
  int from = ta > tb ? ta : tb, to = ba < bb ? ba : bb;
  TSpan sa, sb;
  for (int r = from; r < to; r++) {
    if (!SpanAtRow(qa, r, &sa) || !SpanAtRow(qb, r, &sb)) continue;
    if (RowsShareSolid(qa, sa, qb, sb)) return 1;
  }
  return 0;
}
