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

// As std::fmin and std::fmax (a NaN loses), but inlined: thousands of tests a frame.
float Min(float a, float b) { return (b < a || a != a) ? b : a; }
float Max(float a, float b) { return (b > a || a != a) ? b : a; }

struct TBox {
  float x0, y0, x1, y1;
};

TBox BoxOf(const TOverlapQuad& q) {
  TBox b = {q.c[0].x, q.c[0].y, q.c[0].x, q.c[0].y};
  for (const TOverlapCorner& c : q.c) {
    b.x0 = Min(b.x0, c.x), b.x1 = Max(b.x1, c.x);
    b.y0 = Min(b.y0, c.y), b.y1 = Max(b.y1, c.y);
  }
  return b;
}

int Meet(const TBox& a, const TBox& b) { return !(a.x1 < b.x0 || b.x1 < a.x0 || a.y1 < b.y0 || b.y1 < a.y0); }

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

// The corners alone, without the mask.
TOverlapQuad Corners(const TOverlapShape& s, float ix, float iy, float jx, float jy, float origin_x,
                     float origin_y) {
  const float lx[4] = {-s.handle_x, s.width - s.handle_x, s.width - s.handle_x, -s.handle_x};
  const float ly[4] = {-s.handle_y, -s.handle_y, s.height - s.handle_y, s.height - s.handle_y};
  const float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
  float tx = static_cast<float>(s.x) + origin_x, ty = static_cast<float>(s.y) + origin_y;
  TOverlapQuad q{};
  for (int k = 0; k < 4; k++)
    q.c[k] = {lx[k] * ix + ly[k] * iy + tx, lx[k] * jx + ly[k] * jy + ty, u[k], v[k]};
  q.mask = nullptr;
  return q;
}

}  // namespace

// One axis of a placed frame's box from the matrix row alone, and how large the terms
// summed were (what rounding scales with).
void AxisRange(float l0, float l1, float m0, float m1, float i, float j, float t, float* lo, float* hi,
               float* size) {
  float a0 = l0 * i, a1 = l1 * i, b0 = m0 * j, b1 = m1 * j;
  *lo = t + (a0 < a1 ? a0 : a1) + (b0 < b1 ? b0 : b1);
  *hi = t + (a0 < a1 ? a1 : a0) + (b0 < b1 ? b1 : b0);
  *size = std::fabs(t) + std::fabs(a0) + std::fabs(a1) + std::fabs(b0) + std::fabs(b1);
}

// Far apart on one axis: a gap wider than a pixel plus any rounding either box could carry.
int Apart(float lo_a, float hi_a, float size_a, float lo_b, float hi_b, float size_b) {
  float slack = 1.0f + 1e-5f * (size_a + size_b);
  return lo_b - hi_a > slack || lo_a - hi_b > slack;
}

// Module Functions

int ShapesFarApart(const TOverlapShape& a, const TOverlapShape& b, float ix, float iy, float jx, float jy,
                   float origin_x, float origin_y) {
  float la0 = -a.handle_x, la1 = a.width - a.handle_x, ma0 = -a.handle_y, ma1 = a.height - a.handle_y;
  float lb0 = -b.handle_x, lb1 = b.width - b.handle_x, mb0 = -b.handle_y, mb1 = b.height - b.handle_y;
  float lo_a, hi_a, size_a, lo_b, hi_b, size_b;
  AxisRange(la0, la1, ma0, ma1, ix, iy, static_cast<float>(a.x) + origin_x, &lo_a, &hi_a, &size_a);
  AxisRange(lb0, lb1, mb0, mb1, ix, iy, static_cast<float>(b.x) + origin_x, &lo_b, &hi_b, &size_b);
  if (Apart(lo_a, hi_a, size_a, lo_b, hi_b, size_b)) return 1;
  AxisRange(la0, la1, ma0, ma1, jx, jy, static_cast<float>(a.y) + origin_y, &lo_a, &hi_a, &size_a);
  AxisRange(lb0, lb1, mb0, mb1, jx, jy, static_cast<float>(b.y) + origin_y, &lo_b, &hi_b, &size_b);
  return Apart(lo_a, hi_a, size_a, lo_b, hi_b, size_b);
}

TOverlapQuad PlaceShape(const TOverlapShape& s, float ix, float iy, float jx, float jy, float origin_x,
                        float origin_y) {
  TOverlapQuad q = Corners(s, ix, iy, jx, jy, origin_x, origin_y);
  q.mask = UsableMask(s.mask) ? s.mask : nullptr;
  return q;
}

// Boxes that only touch still meet; the pixel test decides them.
int BoxesMeet(const TOverlapQuad& a, const TOverlapQuad& b) { return Meet(BoxOf(a), BoxOf(b)); }

// Only rows where both quadrilaterals have spans can answer, so the scan keeps to
// the rows they share.
int ShapesOverlap(const TOverlapShape& a, const TOverlapShape& b, float ix, float iy, float jx, float jy,
                  float origin_x, float origin_y) {
  if (ShapesFarApart(a, b, ix, iy, jx, jy, origin_x, origin_y)) return 0;
  TOverlapQuad qa = PlaceShape(a, ix, iy, jx, jy, origin_x, origin_y);
  TOverlapQuad qb = PlaceShape(b, ix, iy, jx, jy, origin_x, origin_y);
  if (!Finite(qa) || !Finite(qb)) return 0;
  TBox box_a = BoxOf(qa), box_b = BoxOf(qb);
  if (!Meet(box_a, box_b)) return 0;
  int ta = Trunc(box_a.y0), ba = Trunc(box_a.y1), tb = Trunc(box_b.y0), bb = Trunc(box_b.y1);  // bottoms excluded
  if (ta >= ba || tb >= bb) return 0;
  int from = ta > tb ? ta : tb, to = ba < bb ? ba : bb;
  TSpan sa, sb;
  for (int r = from; r < to; r++) {
    if (!SpanAtRow(qa, r, &sa) || !SpanAtRow(qb, r, &sb)) continue;
    if (RowsShareSolid(qa, sa, qb, sb)) return 1;
  }
  return 0;
}
