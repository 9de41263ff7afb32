// Pixel overlap: boxes, masks, holes, rotation and truncation toward zero.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "platform/overlap.h"

namespace {

// The drawing matrix for a rotation in degrees at unit scale, worked out in single precision.
struct Matrix {
  float ix, iy, jx, jy;
};
Matrix Rotation(float degrees) {
  double r = degrees * 0.017453292519943295;
  return {static_cast<float>(std::cos(r)), static_cast<float>(-std::sin(r)), static_cast<float>(std::sin(r)),
          static_cast<float>(std::cos(r))};
}
const Matrix kIdentity = {1, 0, 0, 1};

int Overlap(const TOverlapShape& a, const TOverlapShape& b, Matrix m = kIdentity, float ox = 0, float oy = 0) {
  return ShapesOverlap(a, b, m.ix, m.iy, m.jx, m.jy, ox, oy);
}

TOverlapShape Solid(int w, int h, int x, int y, float hx = 0, float hy = 0) { return {w, h, hx, hy, nullptr, x, y}; }

// An RGBA mask, fully transparent except the listed texels.
std::shared_ptr<TPixmap> Mask(int w, int h, std::set<std::pair<int, int>> solid, int alpha = 255) {
  auto p = TPixmap::Create(w, h, PF_RGBA8888);
  for (auto [x, y] : solid) p->PixelPtr(x, y)[3] = static_cast<uint8_t>(alpha);
  return p;
}

// Every screen pixel a 1x1 solid probe finds over the shape, within a window.
std::set<std::pair<int, int>> Hits(const TOverlapShape& s, Matrix m, int x0, int y0, int x1, int y1) {
  std::set<std::pair<int, int>> hits;
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++)
      if (Overlap(s, Solid(1, 1, x, y), m)) hits.insert({x, y});
  return hits;
}

// ---- bounding boxes ----

TEST(Overlap, DisjointBoxesGiveZero) {
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 20, 0)), 0);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 0, 11)), 0);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 5, 5)), 1);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(2, 2, 4, 4)), 1);  // one inside the other
}

TEST(Overlap, TouchingBoxesGoOnToThePixelTest) {
  TOverlapQuad a = PlaceShape(Solid(10, 10, 0, 0), 1, 0, 0, 1, 0, 0);
  TOverlapQuad right = PlaceShape(Solid(10, 10, 10, 0), 1, 0, 0, 1, 0, 0);
  TOverlapQuad below = PlaceShape(Solid(10, 10, 0, 10), 1, 0, 0, 1, 0, 0);
  TOverlapQuad apart = PlaceShape(Solid(10, 10, 11, 0), 1, 0, 0, 1, 0, 0);
  EXPECT_EQ(BoxesMeet(a, right), 1);
  EXPECT_EQ(BoxesMeet(a, below), 1);
  EXPECT_EQ(BoxesMeet(a, apart), 0);
  // The pixel test then finds no shared column or row: the last ones are excluded.
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 10, 0)), 0);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 0, 10)), 0);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 9, 9)), 1);
}

TEST(Overlap, HandlesAndOriginPlaceTheCorners) {
  TOverlapQuad q = PlaceShape(Solid(70, 60, 320, 240, 35, 30), 1, 0, 0, 1, 5, -2);
  EXPECT_FLOAT_EQ(q.c[0].x, 290);
  EXPECT_FLOAT_EQ(q.c[0].y, 208);
  EXPECT_FLOAT_EQ(q.c[2].x, 360);
  EXPECT_FLOAT_EQ(q.c[2].y, 268);
  EXPECT_EQ(q.c[1].u, 1);
  EXPECT_EQ(q.c[3].v, 1);
  // Centred handles: two 70x60 frames at the same spot overlap; 70 apart they only touch.
  EXPECT_EQ(Overlap(Solid(70, 60, 320, 240, 35, 30), Solid(70, 60, 320, 240, 35, 30)), 1);
  EXPECT_EQ(Overlap(Solid(70, 60, 320, 240, 35, 30), Solid(70, 60, 390, 240, 35, 30)), 0);
  EXPECT_EQ(Overlap(Solid(70, 60, 320, 240, 35, 30), Solid(70, 60, 389, 240, 35, 30)), 1);
}

// ---- masks ----

TEST(Overlap, MaskedTexelsMapToTheirOwnPixels) {
  auto m = Mask(4, 3, {{2, 1}, {0, 0}, {3, 2}});
  TOverlapShape s{4, 3, 0, 0, m.get(), 10, 20};
  std::set<std::pair<int, int>> want = {{12, 21}, {10, 20}, {13, 22}};
  EXPECT_EQ(Hits(s, kIdentity, 5, 15, 20, 30), want);
}

TEST(Overlap, AlphaThresholdIsHalf) {
  auto half = Mask(1, 1, {{0, 0}}, 128);
  auto under = Mask(1, 1, {{0, 0}}, 127);
  EXPECT_EQ(Overlap({1, 1, 0, 0, half.get(), 5, 5}, Solid(1, 1, 5, 5)), 1);
  EXPECT_EQ(Overlap({1, 1, 0, 0, under.get(), 5, 5}, Solid(1, 1, 5, 5)), 0);
}

TEST(Overlap, PixmapWithoutAlphaIsSolid) {
  auto rgb = TPixmap::Create(3, 3, PF_RGB888);  // all black, but no alpha to say so
  EXPECT_EQ(Overlap({3, 3, 0, 0, rgb.get(), 0, 0}, Solid(1, 1, 1, 1)), 1);
  auto a8 = TPixmap::Create(3, 3, PF_A8);  // alpha-only and empty: nothing solid
  EXPECT_EQ(Overlap({3, 3, 0, 0, a8.get(), 0, 0}, Solid(3, 3, 0, 0)), 0);
  a8->PixelPtr(2, 2)[0] = 200;
  EXPECT_EQ(Overlap({3, 3, 0, 0, a8.get(), 0, 0}, Solid(1, 1, 2, 2)), 1);
}

TEST(Overlap, TransparentHoleGivesZero) {
  std::set<std::pair<int, int>> ring;
  for (int y = 0; y < 5; y++)
    for (int x = 0; x < 5; x++)
      if (x == 0 || y == 0 || x == 4 || y == 4) ring.insert({x, y});
  auto m = Mask(5, 5, ring);
  TOverlapShape donut{5, 5, 2.5f, 2.5f, m.get(), 100, 100};  // centred: texels 97..101
  EXPECT_EQ(Overlap(donut, Solid(3, 3, 98, 98)), 0);  // fills the hole exactly
  EXPECT_EQ(Overlap(donut, Solid(3, 3, 99, 98)), 1);  // one column into the ring
  EXPECT_EQ(Overlap(donut, Solid(1, 1, 97, 97)), 1);
}

TEST(Overlap, TwoMasksMustBeSolidAtTheSamePixel) {
  std::set<std::pair<int, int>> even, odd;
  for (int y = 0; y < 6; y++)
    for (int x = 0; x < 6; x++) ((x + y) % 2 ? odd : even).insert({x, y});
  auto me = Mask(6, 6, even), mo = Mask(6, 6, odd);
  TOverlapShape a{6, 6, 0, 0, me.get(), 0, 0};
  TOverlapShape b{6, 6, 0, 0, mo.get(), 0, 0};
  EXPECT_EQ(Overlap(a, b), 0);  // interleaved checkerboards
  b.x = 1;
  EXPECT_EQ(Overlap(a, b), 1);
  b.mask = me.get();
  b.x = 0;
  EXPECT_EQ(Overlap(a, b), 1);
}

// ---- rotation ----

TEST(Overlap, NinetyDegreesTurnsTexelsClockwise) {
  // Texel (3, 0) of a 4x2 frame at (100, 100): a quarter turn clockwise puts local
  // (px, py) at (100 - py, 100 + px), so that texel lands on pixel (99, 103). The probe
  // turns too: placed at (x, y) it covers pixel (x - 1, y), so it finds the texel from (100, 103).
  auto m = Mask(4, 2, {{3, 0}});
  TOverlapShape s{4, 2, 0, 0, m.get(), 100, 100};
  std::set<std::pair<int, int>> want = {{100, 103}};
  EXPECT_EQ(Hits(s, Rotation(90), 90, 90, 110, 110), want);
  EXPECT_EQ(Hits(s, Matrix{0, -1, 1, 0}, 90, 90, 110, 110), want);
  // A 3x1 probe turned upright, covering pixels (99, 101..103), finds it; one row higher it doesn't.
  EXPECT_EQ(Overlap(s, Solid(3, 1, 100, 101), Rotation(90)), 1);
  EXPECT_EQ(Overlap(s, Solid(3, 1, 100, 100), Rotation(90)), 0);
  // Unrotated the same texel is at (103, 100).
  EXPECT_EQ(Hits(s, kIdentity, 90, 90, 110, 110), (std::set<std::pair<int, int>>{{103, 100}}));
}

TEST(Overlap, FortyFiveDegreesMakesDiamonds) {
  Matrix m45 = Rotation(45);
  auto sq = [](int x, int y) { return Solid(10, 10, x, y, 5, 5); };
  // 12 apart: squares miss, but diamonds reach 7.07 from their centres.
  EXPECT_EQ(Overlap(sq(100, 100), sq(112, 100), kIdentity), 0);
  EXPECT_EQ(Overlap(sq(100, 100), sq(112, 100), m45), 1);
  EXPECT_EQ(Overlap(sq(100, 100), sq(100, 112), m45), 1);
  // 15 apart the diamonds' boxes are disjoint.
  EXPECT_EQ(Overlap(sq(100, 100), sq(115, 100), m45), 0);
  // (8, 8) apart: the boxes overlap but the diamonds' facing sides are 11.3 apart across a 10-wide square.
  TOverlapQuad a = PlaceShape(sq(100, 100), m45.ix, m45.iy, m45.jx, m45.jy, 0, 0);
  TOverlapQuad b = PlaceShape(sq(108, 108), m45.ix, m45.iy, m45.jx, m45.jy, 0, 0);
  EXPECT_EQ(BoxesMeet(a, b), 1);
  EXPECT_EQ(Overlap(sq(100, 100), sq(108, 108), m45), 0);
  EXPECT_EQ(Overlap(sq(100, 100), sq(108, 108), kIdentity), 1);
}

TEST(Overlap, RotatedMaskKeepsItsHole) {
  std::set<std::pair<int, int>> ring;
  for (int y = 0; y < 9; y++)
    for (int x = 0; x < 9; x++)
      if (x < 2 || y < 2 || x > 6 || y > 6) ring.insert({x, y});
  auto m = Mask(9, 9, ring);
  TOverlapShape donut{9, 9, 4.5f, 4.5f, m.get(), 200, 200};
  for (float deg : {30.0f, 45.0f, 90.0f, 180.0f}) {
    EXPECT_EQ(Overlap(donut, Solid(2, 2, 200, 200, 1, 1), Rotation(deg)), 0) << deg;  // inside the hole
    EXPECT_EQ(Overlap(donut, Solid(8, 8, 200, 200, 4, 4), Rotation(deg)), 1) << deg;  // reaches the ring
  }
}

TEST(Overlap, ScaleStretchesTheFrame) {
  Matrix doubled = {2, 0, 0, 2};
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 15, 0), kIdentity), 0);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 15, 0), doubled), 1);
}

// ---- truncation toward zero and bad input ----

TEST(Overlap, CoordinatesTruncateTowardZero) {
  // Shifted half a pixel left and up, a 1x1 frame at (0, 0) spans -0.5..0.5: both ends
  // truncate to 0, so it has no column of its own. Away from zero it keeps one.
  EXPECT_EQ(Overlap(Solid(1, 1, 0, 0), Solid(1, 1, 0, 0), kIdentity, -0.5f, -0.5f), 0);
  EXPECT_EQ(Overlap(Solid(1, 1, 5, 5), Solid(1, 1, 5, 5), kIdentity, -0.5f, -0.5f), 1);
  EXPECT_EQ(Overlap(Solid(2, 2, -3, -3), Solid(1, 1, -2, -2)), 1);
  EXPECT_EQ(Overlap(Solid(2, 2, -3, -3), Solid(1, 1, -1, -1)), 0);
}

TEST(Overlap, EmptyAndWildInputGivesZero) {
  EXPECT_EQ(Overlap(Solid(0, 0, 5, 5), Solid(10, 10, 0, 0)), 0);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 0, 0), Matrix{0, 0, 0, 0}), 0);
  float nan = std::nanf("");
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 0, 0), Matrix{nan, 0, 0, 1}), 0);
  EXPECT_EQ(Overlap(Solid(10, 10, 0, 0), Solid(10, 10, 0, 0), kIdentity, INFINITY, 0), 0);
}

// ---- the quick reject ahead of the placed boxes ----

// Boxes that meet, or touch, are never turned away by the quick test, whatever the turn,
// scale, handle or distance from the origin; boxes far apart are.
TEST(Overlap, QuickRejectNeverRefusesBoxesThatMeet) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> angle(0, 360), scale(-3, 3), handle(-20, 40), frac(0, 1);
  std::uniform_int_distribution<int> size(1, 64), offset(-70, 70);
  const int far[] = {0, 1000, 4000000, -90000000};
  int met = 0, refused_apart = 0;
  for (int i = 0; i < 20000; i++) {
    Matrix m = Rotation(angle(rng));
    float sx = scale(rng), sy = scale(rng);
    m = {m.ix * sx, m.iy * sy, m.jx * sx, m.jy * sy};
    int base = far[i % 4];
    TOverlapShape a = Solid(size(rng), size(rng), base, base / 3, handle(rng), handle(rng));
    TOverlapShape b = Solid(size(rng), size(rng), base + offset(rng), base / 3 + offset(rng), handle(rng), handle(rng));
    float ox = frac(rng), oy = frac(rng);
    int meet = BoxesMeet(PlaceShape(a, m.ix, m.iy, m.jx, m.jy, ox, oy), PlaceShape(b, m.ix, m.iy, m.jx, m.jy, ox, oy));
    int apart = ShapesFarApart(a, b, m.ix, m.iy, m.jx, m.jy, ox, oy);
    if (meet) {
      met++;
      ASSERT_EQ(apart, 0) << "case " << i;
    } else {
      refused_apart += apart;
    }
  }
  EXPECT_GT(met, 1000);
  EXPECT_GT(refused_apart, 1000);  // the quick test does turn most distant pairs away
}

TEST(Overlap, QuickRejectLeavesWildInputToTheFullTest) {
  float nan = std::nanf("");
  EXPECT_EQ(ShapesFarApart(Solid(10, 10, 0, 0), Solid(10, 10, 500, 0), nan, 0, 0, 1, 0, 0), 0);
  EXPECT_EQ(ShapesFarApart(Solid(10, 10, 0, 0), Solid(10, 10, 500, 0), 1, 0, 0, 1, INFINITY, 0), 0);
  EXPECT_EQ(ShapesFarApart(Solid(10, 10, 0, 0), Solid(10, 10, 500, 0), 1, 0, 0, 1, 0, 0), 1);
  EXPECT_EQ(ShapesFarApart(Solid(10, 10, 0, 0), Solid(10, 10, 11, 0), 1, 0, 0, 1, 0, 0), 0);  // a pixel apart: left to the boxes
}

}  // namespace
