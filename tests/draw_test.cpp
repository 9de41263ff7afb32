// Drawing state and shapes, read back from the real (headless) picture.
#include <gtest/gtest.h>
#include <cmath>
#include "platform/gl_driver.h"
#include "support/gl_test_util.h"

namespace {

struct DrawTest : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    ClearScreen();
  }
  void TearDown() override { CloseGraphics(); }
};

// A 4x4 rectangle at (x, y) in the given blend mode and colour, full alpha unless said.
void Square(int x, int y, int mode, int r, int g, int b, float alpha = 1.0f) {
  SetBlendMode(mode);
  SetDrawColor(r, g, b);
  SetDrawAlpha(alpha);
  FillRect(x, y, 4, 4);
}

bool Near(TRgba p, int r, int g, int b) {
  return std::abs(p.r - r) <= 1 && std::abs(p.g - g) <= 1 && std::abs(p.b - b) <= 1;
}

}  // namespace

TEST_F(DrawTest, ActivationValues) {
  int r, g, b;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ(r + g + b, 765);
  EXPECT_EQ(GetDrawAlpha(), 1.0f);
  EXPECT_EQ(GetBlendMode(), 1);
  float ix, iy, jx, jy;
  GetDrawMatrix(&ix, &iy, &jx, &jy);
  EXPECT_EQ(ix, 1.0f);
  EXPECT_EQ(iy, 0.0f);
  EXPECT_EQ(jx, 0.0f);
  EXPECT_EQ(jy, 1.0f);
  TDraw2DGraphics* s = TDraw2DGraphics::Current();
  EXPECT_EQ(s->viewport_w, 640);
  EXPECT_EQ(s->viewport_h, 480);
  EXPECT_EQ(s->_setup, 1);
  EXPECT_TRUE(SameRgb(ScreenPixel(5, 5), 0, 0, 0));  // cleared to the black clear colour
}

TEST_F(DrawTest, AlphaIsClampedThenTruncated) {
  Square(10, 10, 3, 255, 255, 255, 1.5f);
  Square(20, 10, 3, 255, 255, 255, -0.2f);
  Square(30, 10, 3, 255, 255, 255, 0.5f);
  Square(40, 10, 3, 255, 255, 255, std::nanf(""));
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 11), 255, 255, 255));
  EXPECT_TRUE(SameRgb(ScreenPixel(21, 11), 0, 0, 0));
  EXPECT_TRUE(SameRgb(ScreenPixel(31, 11), 127, 127, 127));  // trunc(0.5 x 255), not rounded
  EXPECT_TRUE(SameRgb(ScreenPixel(41, 11), 0, 0, 0));
  EXPECT_TRUE(std::isnan(GetDrawAlpha()));  // kept as given in the state
}

TEST_F(DrawTest, ColourKeptAsGivenButDrawnClamped) {
  Square(10, 10, 2, 300, -5, 128);
  int r, g, b;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ(r, 300);
  EXPECT_EQ(g, -5);
  EXPECT_EQ(b, 128);
  EXPECT_TRUE(SameRgb(ScreenPixel(12, 12), 255, 0, 128));
}

TEST_F(DrawTest, AdditiveDoublesAndSaturates) {
  Square(10, 10, 4, 100, 150, 200);
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 11), 100, 150, 200));
  Square(10, 10, 4, 100, 150, 200);
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 11), 200, 255, 255));
}

TEST_F(DrawTest, MultiplyScalesTheDestination) {
  Square(10, 10, 2, 200, 100, 50);
  Square(10, 10, 5, 128, 255, 0, 0.0f);  // the source alpha plays no part
  EXPECT_TRUE(Near(ScreenPixel(11, 11), 100, 100, 0));
}

TEST_F(DrawTest, MaskModePassesOnlyHalfAlphaOrMore) {
  Square(10, 10, 1, 255, 0, 0, 0.5f);   // 127/255 is below one half
  Square(20, 10, 1, 255, 0, 0, 0.51f);  // 130/255 is not
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 11), 0, 0, 0));
  EXPECT_TRUE(SameRgb(ScreenPixel(21, 11), 255, 0, 0));
}

TEST_F(DrawTest, SettingTheSameBlendModeDoesNothing) {
  SetBlendMode(3);
  DrawLineSegment(0, 5, 5, 5, 1);
  int changes = GLDriverStats().blend_changes;
  SetBlendMode(3);
  DrawLineSegment(0, 5, 5, 5, 1);
  EXPECT_EQ(GLDriverStats().blend_changes, changes);
  SetBlendMode(4);
  DrawLineSegment(0, 5, 5, 5, 1);
  EXPECT_EQ(GLDriverStats().blend_changes, changes + 1);
}

// A stereo pass sets additive blending and its caller sets another mode back: only what
// shapes are drawn under reaches GL, and each shape still gets its own mode.
TEST_F(DrawTest, ABlendModeReachesGLOnlyWithAShape) {
  SetBlendMode(3);
  DrawLineSegment(0, 5, 5, 5, 1);
  int changes = GLDriverStats().blend_changes;
  SetBlendMode(4);
  SetBlendMode(5);
  SetBlendMode(3);
  EXPECT_EQ(GLDriverStats().blend_changes, changes);
  SetDrawColor(200, 0, 0);
  FillRect(30, 30, 4, 4);
  SetBlendMode(4);
  SetDrawColor(0, 0, 200);
  SetDrawAlpha(0.5f);
  FillRect(30, 30, 4, 4);
  EXPECT_TRUE(Near(ScreenPixel(31, 31), 200, 0, 100)) << "the second square added, not replaced";
}

TEST_F(DrawTest, ShapesSwitchTexturingOffOnlyOnce) {
  FillRect(0, 0, 1, 1);
  int switches = GLDriverStats().texture_switches;
  FillRect(2, 2, 1, 1);
  DrawLineSegment(0, 5, 5, 5, 1);
  EXPECT_EQ(GLDriverStats().texture_switches, switches);
}

TEST_F(DrawTest, MatrixFromRotationAndScale) {
  SetDrawTransform(30, 2, 3);
  float ix, iy, jx, jy;
  GetDrawMatrix(&ix, &iy, &jx, &jy);
  EXPECT_NEAR(ix, std::sqrt(3.0) / 2 * 2, 1e-5);
  EXPECT_NEAR(iy, -0.5 * 3, 1e-5);
  EXPECT_NEAR(jx, 0.5 * 2, 1e-5);
  EXPECT_NEAR(jy, std::sqrt(3.0) / 2 * 3, 1e-5);
  SetDrawRotation(0);
  GetDrawMatrix(&ix, &iy, &jx, &jy);
  EXPECT_EQ(ix, 2.0f);  // the scale survives a rotation change
  EXPECT_EQ(jy, 3.0f);
}

// The matrix for an angle is the same bits whichever angle was set before it.
TEST_F(DrawTest, MatrixDependsOnlyOnTheAngleNotOnTheOneBefore) {
  const float angles[] = {0.0f, 30.0f, -0.0f, 45.0f, 30.0f, 30.0f, 0.0f, 359.5f, -0.0f, 0.0f};
  for (float a : angles) {
    SetDrawTransform(a, 1.5f, 0.5f);
    float m[4];
    GetDrawMatrix(&m[0], &m[1], &m[2], &m[3]);
    double r = a * 0.017453292519943295;
    const float want[4] = {static_cast<float>(std::cos(r) * 1.5f), static_cast<float>(-std::sin(r) * 0.5f),
                           static_cast<float>(std::sin(r) * 1.5f), static_cast<float>(std::cos(r) * 0.5f)};
    for (int k = 0; k < 4; k++) {
      EXPECT_EQ(m[k], want[k]) << "angle " << a << " entry " << k;
      EXPECT_EQ(std::signbit(m[k]), std::signbit(want[k])) << "angle " << a << " entry " << k;
    }
  }
}

// Each shape takes the colour and alpha in force when it is drawn, not one set later.
TEST_F(DrawTest, ShapesKeepTheirOwnColourWhenTheNextOneChangesIt) {
  SetBlendMode(2);
  SetDrawColor(200, 10, 10);
  FillRect(10, 10, 4, 4);
  SetDrawColor(10, 200, 10);
  FillRect(20, 10, 4, 4);
  SetDrawColor(10, 10, 200);
  SetDrawAlpha(0.5f);
  SetBlendMode(3);
  FillRect(30, 10, 4, 4);
  SetDrawColor(255, 255, 255);
  SetDrawAlpha(1.0f);
  EXPECT_TRUE(SameRgb(ScreenPixel(12, 12), 200, 10, 10));
  EXPECT_TRUE(SameRgb(ScreenPixel(22, 12), 10, 200, 10));
  EXPECT_TRUE(Near(ScreenPixel(32, 12), 5, 5, 100));
}

TEST_F(DrawTest, RotationNinetyTurnsRightIntoDown) {
  SetBlendMode(2);
  SetDrawHandle(-10, 0);  // a 1x1 rectangle 10 pixels right of the handle point
  FillRect(320, 240, 1, 1);
  EXPECT_TRUE(SameRgb(ScreenPixel(330, 240), 255, 255, 255));
  ClearScreen();
  SetDrawRotation(90);
  FillRect(320, 240, 1, 1);
  EXPECT_TRUE(SameRgb(ScreenPixel(319, 250), 255, 255, 255));
  EXPECT_TRUE(SameRgb(ScreenPixel(330, 240), 0, 0, 0));
}

TEST_F(DrawTest, OriginMovesEverything) {
  SetBlendMode(2);
  SetDrawOrigin(10, 20);
  FillRect(0, 0, 1, 1);
  EXPECT_TRUE(SameRgb(ScreenPixel(10, 20), 255, 255, 255));
  EXPECT_TRUE(SameRgb(ScreenPixel(0, 0), 0, 0, 0));
}

TEST_F(DrawTest, LineLeavesItsEndPointUnlessLastIsSet) {
  SetBlendMode(2);
  DrawLineSegment(10, 20, 20, 20, 0);
  EXPECT_TRUE(SameRgb(ScreenPixel(10, 20), 255, 255, 255));
  EXPECT_TRUE(SameRgb(ScreenPixel(19, 20), 255, 255, 255));
  EXPECT_TRUE(SameRgb(ScreenPixel(20, 20), 0, 0, 0));
  DrawLineSegment(10, 30, 20, 30, 1);
  EXPECT_TRUE(SameRgb(ScreenPixel(20, 30), 255, 255, 255));
}

TEST_F(DrawTest, ViewportClipsClearing) {
  SetViewport(100, 100, 50, 50);
  SetClearColor(255, 0, 0);
  ClearScreen();
  SetViewport(0, 0, 640, 480);  // whole screen again, so the grabs below read freely
  EXPECT_TRUE(SameRgb(ScreenPixel(99, 99), 0, 0, 0));
  EXPECT_TRUE(SameRgb(ScreenPixel(100, 100), 255, 0, 0));
  EXPECT_TRUE(SameRgb(ScreenPixel(149, 149), 255, 0, 0));
  EXPECT_TRUE(SameRgb(ScreenPixel(150, 150), 0, 0, 0));
}

TEST_F(DrawTest, GrabPastTheScreenEdgeIsBlack) {
  SetClearColor(255, 255, 255);
  ClearScreen();
  auto p = GrabPixmap(630, 470, 20, 20);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 20);
  EXPECT_EQ(p->format, PF_RGBA8888);
  TRgba in = PixelOf(*p, 9, 9), right = PixelOf(*p, 10, 5), below = PixelOf(*p, 5, 10), corner = PixelOf(*p, 19, 19);
  EXPECT_TRUE(SameRgb(in, 255, 255, 255));
  EXPECT_TRUE(SameRgb(right, 0, 0, 0));
  EXPECT_TRUE(SameRgb(below, 0, 0, 0));
  EXPECT_TRUE(SameRgb(corner, 0, 0, 0));
  EXPECT_EQ(right.a, 255);
  auto q = GrabPixmap(-5, -5, 10, 10);
  EXPECT_TRUE(SameRgb(PixelOf(*q, 4, 4), 0, 0, 0));
  EXPECT_TRUE(SameRgb(PixelOf(*q, 5, 5), 255, 255, 255));
  EXPECT_EQ(GrabPixmap(0, 0, 0, 5), nullptr);
}

TEST_F(DrawTest, GrabIsTopDownAndRestoresTheBlendMode) {
  Square(0, 0, 2, 255, 0, 0);   // top-left red
  Square(0, 476, 2, 0, 0, 255);  // bottom-left blue
  SetBlendMode(4);
  auto p = GrabPixmap(0, 0, 4, 480);
  EXPECT_TRUE(SameRgb(PixelOf(*p, 0, 0), 255, 0, 0));
  EXPECT_TRUE(SameRgb(PixelOf(*p, 0, 479), 0, 0, 255));
  EXPECT_EQ(GetBlendMode(), 4);
  SetDrawColor(0, 255, 0);
  FillRect(0, 0, 4, 4);  // still additive after the grab
  EXPECT_TRUE(SameRgb(ScreenPixel(1, 1), 255, 255, 0));
}

TEST_F(DrawTest, NewDisplayStartsFromActivationValues) {
  SetDrawColor(10, 20, 30);
  auto* first = TDraw2DGraphics::Current();
  ASSERT_TRUE(OpenTestDisplay());
  EXPECT_NE(TDraw2DGraphics::Current(), first);
  int r, g, b;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ(r, 255);  // a new display starts from the activation values
}
