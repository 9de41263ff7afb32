// Stereo drawing: the two eye copies, their colours, shifts and rotations, and mono drawing.
#include <gtest/gtest.h>
#include "platform/font.h"
#include "support/app_fixture.h"

using appfix::PixelAt;
using appfix::Rgb;

namespace {

const Rgb kBlack{0, 0, 0};
const Rgb kLeft{4, 80, 60};    // "R\C" left eye
const Rgb kRight{140, 4, 10};  // "R\C" right eye

class Twdraw : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    white = appfix::SolidImage(10, 10, 255, 255, 255);
  }
  void StereoRC() {
    stereo_mode = 3;
    twdraw.slc(kLeft.r, kLeft.g, kLeft.b, kRight.r, kRight.g, kRight.b);
  }
  // The screen after drawing the same frames directly, for comparison.
  static int SameRect(const TPixmap& a, const TPixmap& b, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++)
        if (!(PixelAt(a, x, y) == PixelAt(b, x, y))) return 0;
    return 1;
  }
  static int AnyLit(const TPixmap& a) {
    for (int y = 0; y < a.height; y++)
      for (int x = 0; x < a.width; x++)
        if (!(PixelAt(a, x, y) == kBlack)) return 1;
    return 0;
  }
  std::shared_ptr<TImage> white;
};

TEST_F(Twdraw, SlcAndSipStoreTheirArguments) {
  twdraw.slc(1, 2, 3, 4, 5, 6);
  EXPECT_EQ(twdraw.leye_r + twdraw.leye_g * 10 + twdraw.leye_b * 100, 321);
  EXPECT_EQ(twdraw.reye_r + twdraw.reye_g * 10 + twdraw.reye_b * 100, 654);
  twdraw.sip(3, 0.5f, 30.0f, 2.0f, 1.5f);
  EXPECT_EQ(GetBlendMode(), 3);
  EXPECT_FLOAT_EQ(GetDrawAlpha(), 0.5f);
  EXPECT_FLOAT_EQ(GetDrawRotation(), 30.0f);
  float sx = 0, sy = 0;
  GetDrawScale(&sx, &sy);
  EXPECT_FLOAT_EQ(sx, 2.0f);
  EXPECT_FLOAT_EQ(sy, 1.5f);
  EXPECT_FLOAT_EQ(twdraw.txt_xs, 2.0f);
  EXPECT_FLOAT_EQ(twdraw.txt_ys, 1.5f);
}

TEST_F(Twdraw, StereoDrawsBothEyesShiftedAndAdditive) {
  StereoRC();
  twdraw.i3d(white, 100, 50, 0, 6, 0, 1);
  auto shot = appfix::Screen();
  EXPECT_EQ(PixelAt(*shot, 93, 50), kBlack);
  EXPECT_EQ(PixelAt(*shot, 94, 50), kLeft);
  EXPECT_EQ(PixelAt(*shot, 103, 59), kLeft);
  EXPECT_EQ(PixelAt(*shot, 104, 55), kBlack);  // the gap between the two copies
  EXPECT_EQ(PixelAt(*shot, 106, 50), kRight);
  EXPECT_EQ(PixelAt(*shot, 115, 59), kRight);
  EXPECT_EQ(PixelAt(*shot, 116, 50), kBlack);
  EXPECT_EQ(PixelAt(*shot, 100, 60), kBlack);
  // Left behind: additive blending and the right-eye colour.
  EXPECT_EQ(GetBlendMode(), 4);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ((Rgb{r, g, b}), kRight);
}

TEST_F(Twdraw, ZeroSeparationSumsTheEyeColours) {
  StereoRC();
  twdraw.i3d(white, 100, 50, 0, 0, 0, 1);
  auto shot = appfix::Screen();
  EXPECT_EQ(PixelAt(*shot, 105, 55), (Rgb{kLeft.r + kRight.r, kLeft.g + kRight.g, kLeft.b + kRight.b}));
}

TEST_F(Twdraw, EachPassAddsTheCopiesAgain) {
  StereoRC();
  twdraw.i3d(white, 100, 50, 0, 6, 0, 2);
  auto shot = appfix::Screen();
  auto twice = [](int c) { return c * 2 > 255 ? 255 : c * 2; };  // additive blending saturates
  EXPECT_EQ(PixelAt(*shot, 95, 51), (Rgb{twice(kLeft.r), twice(kLeft.g), twice(kLeft.b)}));
  EXPECT_EQ(PixelAt(*shot, 110, 51), (Rgb{twice(kRight.r), twice(kRight.g), twice(kRight.b)}));
}

TEST_F(Twdraw, NoPassesDrawNothingAndKeepTheState) {
  StereoRC();
  SetBlendMode(1);
  SetDrawColor(7, 8, 9);
  twdraw.i3d(white, 100, 50, 0, 6, 0, 0);
  twdraw.i3d(white, 100, 50, 0, 6, 0, -3);
  twdraw.t3d("Hello", 100, 50, 6, 0, 0);
  auto shot = appfix::Screen();
  for (int y = 40; y < 80; y++)
    for (int x = 80; x < 200; x++) ASSERT_EQ(PixelAt(*shot, x, y), kBlack) << x << "," << y;
  EXPECT_EQ(GetBlendMode(), 1);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ((Rgb{r, g, b}), (Rgb{7, 8, 9}));
}

TEST_F(Twdraw, NoPassesWithRotationOffsetStillWholesTheRotation) {
  StereoRC();
  SetDrawRotation(30.6f);
  twdraw.i3d(white, 100, 50, 0, 6, 5, 0);
  EXPECT_FLOAT_EQ(GetDrawRotation(), 30.0f);
}

TEST_F(Twdraw, RotationOffsetTurnsTheEyesApartAndLeavesWholeDegrees) {
  StereoRC();
  SetDrawRotation(30.6f);
  twdraw.i3d(white, 200, 200, 0, 6, 5, 1);
  EXPECT_FLOAT_EQ(GetDrawRotation(), 30.0f);
  auto got = appfix::Screen();

  // The same two copies drawn by hand at 35 and 25 degrees.
  ClearScreen();
  SetBlendMode(4);
  SetDrawColor(kLeft.r, kLeft.g, kLeft.b);
  SetDrawRotation(35);
  DrawImageFrame(white, 194, 200, 0);
  SetDrawColor(kRight.r, kRight.g, kRight.b);
  SetDrawRotation(25);
  DrawImageFrame(white, 206, 200, 0);
  auto want = appfix::Screen();
  EXPECT_TRUE(SameRect(*got, *want, 170, 180, 240, 230));

  // And not what an unrotated pair looks like.
  ClearScreen();
  SetDrawRotation(30);
  twdraw.i3d(white, 200, 200, 0, 6, 0, 1);
  auto plain = appfix::Screen();
  EXPECT_FALSE(SameRect(*got, *plain, 170, 180, 240, 230));
}

TEST_F(Twdraw, MonoDrawsOnceWithTheCallersState) {
  twdraw.slc(kLeft.r, kLeft.g, kLeft.b, kRight.r, kRight.g, kRight.b);
  SetDrawColor(10, 200, 30);
  SetBlendMode(1);
  twdraw.i3d(white, 100, 50, 0, 6, 0, 3);
  auto shot = appfix::Screen();
  EXPECT_EQ(PixelAt(*shot, 100, 50), (Rgb{10, 200, 30}));
  EXPECT_EQ(PixelAt(*shot, 109, 59), (Rgb{10, 200, 30}));
  EXPECT_EQ(PixelAt(*shot, 99, 50), kBlack);
  EXPECT_EQ(PixelAt(*shot, 110, 50), kBlack);
  EXPECT_EQ(GetBlendMode(), 1);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ((Rgb{r, g, b}), (Rgb{10, 200, 30}));
}

TEST_F(Twdraw, MonoWithRotationOffsetDrawsAtTheRotationInForce) {
  SetDrawRotation(30.6f);
  twdraw.i3d(white, 200, 200, 0, 6, 5, 1);
  EXPECT_FLOAT_EQ(GetDrawRotation(), 30.0f);
  auto got = appfix::Screen();
  ClearScreen();
  SetDrawRotation(30.6f);
  DrawImageFrame(white, 200, 200, 0);
  auto want = appfix::Screen();
  EXPECT_TRUE(SameRect(*got, *want, 170, 180, 240, 230));
}

TEST_F(Twdraw, CentredTextBeforeAnySipStaysPut) {
  twdraw.t3d("Kelvane", 100, 100, 4, 1, 1);
  auto got = appfix::Screen();
  ClearScreen();
  DrawTextAt("Kelvane", 100, 100);
  auto want = appfix::Screen();
  EXPECT_TRUE(AnyLit(*want));
  EXPECT_TRUE(SameRect(*got, *want, 0, 0, 640, 480));
}

TEST_F(Twdraw, CentredTextSubtractsHalfItsScaledSize) {
  const std::string text = "Menu";
  int w = MeasureTextWidth(text), h = MeasureTextHeight();
  ASSERT_GT(w, 0);
  twdraw.sip(1, 1.0f, 0, 2.0f, 2.0f);
  twdraw.t3d(text, 320, 240, 5, 1, 1);
  auto got = appfix::Screen();
  ClearScreen();
  DrawTextAt(text, 320.0f - w, 240.0f - h);
  auto want = appfix::Screen();
  EXPECT_TRUE(AnyLit(*want));
  EXPECT_TRUE(SameRect(*got, *want, 0, 0, 640, 480));
}

TEST_F(Twdraw, StereoTextIsTwoShiftedCopies) {
  stereo_mode = 1;
  twdraw.slc(140, 4, 40, 4, 100, 20);
  twdraw.t3d("XYZ", 200, 100, 3, 0, 1);
  auto got = appfix::Screen();
  ClearScreen();
  SetBlendMode(4);
  SetDrawColor(140, 4, 40);
  DrawTextAt("XYZ", 197, 100);
  SetDrawColor(4, 100, 20);
  DrawTextAt("XYZ", 203, 100);
  auto want = appfix::Screen();
  EXPECT_TRUE(AnyLit(*want));
  EXPECT_TRUE(SameRect(*got, *want, 0, 0, 640, 480));
  EXPECT_EQ(GetBlendMode(), 4);
}

}  // namespace
