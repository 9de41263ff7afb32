// The back-end's draw recorder: what it is told matches what was drawn.
#include <gtest/gtest.h>
#include <cmath>
#include <vector>
#include "platform/gl_driver.h"
#include "platform/image.h"
#include "support/gl_test_util.h"

namespace {

std::vector<TGLDrawRecord> seen;
void Keep(const TGLDrawRecord& r) { seen.push_back(r); }

struct GLRecordTest : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    seen.clear();
    SetGLDrawRecorder(Keep);
  }
  void TearDown() override {
    SetGLDrawRecorder(nullptr);
    CloseGraphics();
  }
};

void ExpectCorner(const TGLDrawRecord& r, int i, float x, float y) {
  EXPECT_NEAR(r.x[i], x, 1e-3f) << "corner " << i;
  EXPECT_NEAR(r.y[i], y, 1e-3f) << "corner " << i;
}

}  // namespace

TEST_F(GLRecordTest, RectGivesScreenCornersColourAndBlend) {
  SetBlendMode(3);
  SetDrawColor(300, 20, 30);  // the record holds the clamped colour GL was given
  SetDrawAlpha(0.5f);
  SetDrawTransform(90, 1, 1);
  FillRect(100, 50, 10, 4);
  ASSERT_EQ(seen.size(), 1u);
  const TGLDrawRecord& r = seen[0];
  EXPECT_EQ(r.kind, GLREC_QUAD);
  EXPECT_EQ(r.texture, 0u);
  EXPECT_EQ(r.blend, 3);
  EXPECT_EQ(r.rgba[0], 255);
  EXPECT_EQ(r.rgba[1], 20);
  EXPECT_EQ(r.rgba[2], 30);
  EXPECT_EQ(r.rgba[3], 127);
  // Turned a quarter clockwise: the rectangle's width runs down the screen.
  ExpectCorner(r, 0, 100, 50);
  ExpectCorner(r, 1, 100, 60);
  ExpectCorner(r, 2, 96, 60);
  ExpectCorner(r, 3, 96, 50);
}

TEST_F(GLRecordTest, ImageFrameGivesItsTextureAndCoordinates) {
  auto pix = TPixmap::Create(20, 10, PF_RGBA8888);
  std::fill(pix->pixels.begin(), pix->pixels.end(), 255);  // a clear picture would not be drawn at all
  auto image = TImage::Create(20, 10, 1, 0, 0, 0, 0);
  image->SetPixmap(0, pix);
  CentreImageHandle(image);
  SetDrawTransform(0, 2, 2);
  SetBlendMode(4);
  DrawImageFrame(image, 320, 240, 0);
  ASSERT_EQ(seen.size(), 1u);
  const TGLDrawRecord& r = seen[0];
  EXPECT_NE(r.texture, 0u);
  EXPECT_EQ(r.blend, 4);
  ExpectCorner(r, 0, 300, 230);
  ExpectCorner(r, 2, 340, 250);
  auto* frame = dynamic_cast<TGLImageFrame*>(image->Frame(0));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(r.texture, frame->name);
  EXPECT_FLOAT_EQ(r.u0, frame->u0);
  EXPECT_FLOAT_EQ(r.v0, frame->v0);
  EXPECT_FLOAT_EQ(r.u1 - r.u0, 20.0f / frame->tex_w);  // the picture's own texels, no more
  EXPECT_FLOAT_EQ(r.v1 - r.v0, 10.0f / frame->tex_h);
}

TEST_F(GLRecordTest, ClearLineAndPointAreToldApart) {
  SetClearColor(10, 20, 30);
  ClearScreen();
  SetLineWidth(3);
  DrawLineSegment(5, 6, 25, 6, 1);  // the last point plotted too
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].kind, GLREC_CLEAR);
  EXPECT_EQ(seen[0].rgba[0], 10);
  EXPECT_EQ(seen[0].rgba[2], 30);
  EXPECT_EQ(seen[1].kind, GLREC_LINE);
  EXPECT_FLOAT_EQ(seen[1].line_width, 3.0f);
  ExpectCorner(seen[1], 0, 5.5f, 6.5f);
  ExpectCorner(seen[1], 1, 25.5f, 6.5f);
  EXPECT_EQ(seen[2].kind, GLREC_POINT);
  ExpectCorner(seen[2], 0, 25.5f, 6.5f);
}

TEST_F(GLRecordTest, NothingIsToldOnceStopped) {
  SetGLDrawRecorder(nullptr);
  FillRect(0, 0, 5, 5);
  ClearScreen();
  EXPECT_TRUE(seen.empty());
}

namespace {

// A width x height image, one frame: red, its alpha per texel from the given function.
std::shared_ptr<TImage> RedImage(int width, int height, int flags, int (*alpha_at)(int x, int y)) {
  auto pix = TPixmap::Create(width, height, PF_RGBA8888);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      uint8_t* p = pix->pixels.data() + y * pix->pitch + x * 4;
      p[0] = 255, p[3] = static_cast<uint8_t>(alpha_at(x, y));
    }
  auto image = TImage::Create(width, height, 1, flags, 0, 0, 0);
  image->SetPixmap(0, pix);
  return image;
}

int Solid(int, int) { return 255; }
int LeftHalfClear(int x, int) { return x < 4 ? 0 : 255; }
int Faint(int, int) { return 100; }
int DitheredSides(int x, int y) { return (x < 10 || x >= 90) && (x + y) % 2 ? 0 : 255; }
int OneClearOnTop(int x, int y) { return x == 20 && y == 0 ? 0 : 255; }

// Draws the image at (x, 10) over a blue square in alpha blend; returns the blend GL was given.
int DrawOverBlue(const std::shared_ptr<TImage>& image, int x, float alpha) {
  SetBlendMode(2);
  SetDrawColor(0, 0, 255);
  SetDrawAlpha(1.0f);
  FillRect(x, 10, 8, 8);
  SetBlendMode(3);
  SetDrawColor(255, 255, 255);
  SetDrawAlpha(alpha);
  seen.clear();
  DrawImageFrame(image, x, 10, 0);
  return seen.empty() ? -1 : seen.back().blend;
}

}  // namespace

// Alpha blending an opaque source, or one whose alpha is only 0 or full and is sampled
// nearest, gives the source itself where it is solid: GL is spared the blend, and the
// picture is the one blending would have made.
TEST_F(GLRecordTest, SolidSourcesAreDrawnWithoutBlendingToTheSamePicture) {
  auto big = RedImage(100, 8, 0, Solid);  // too big for a shared page: its own texture
  auto cut = RedImage(8, 8, 0, LeftHalfClear);
  auto soft = RedImage(8, 8, IMG_FILTERED, LeftHalfClear);
  auto faint = RedImage(8, 8, 0, Faint);
  EXPECT_EQ(DrawOverBlue(big, 200, 1.0f), 2);
  EXPECT_TRUE(SameRgb(ScreenPixel(250, 12), 255, 0, 0));
  EXPECT_EQ(DrawOverBlue(cut, 10, 1.0f), 1);
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 12), 0, 0, 255));  // the clear half leaves the blue
  EXPECT_TRUE(SameRgb(ScreenPixel(16, 12), 255, 0, 0));
  EXPECT_EQ(DrawOverBlue(cut, 30, 0.5f), 3);  // part alpha must blend
  EXPECT_TRUE(SameRgb(ScreenPixel(36, 12), 127, 0, 128));
  EXPECT_EQ(DrawOverBlue(soft, 50, 1.0f), 3);  // filtering blends the edge between the halves
  EXPECT_EQ(DrawOverBlue(faint, 70, 1.0f), 3);
  EXPECT_TRUE(SameRgb(ScreenPixel(72, 12), 100, 0, 155));
}

TEST_F(GLRecordTest, BlendingReturnsAfterASolidShape) {
  SetBlendMode(3);
  SetDrawColor(255, 255, 255);
  FillRect(0, 0, 8, 8);  // full alpha: drawn plainly
  SetDrawAlpha(0.5f);
  FillRect(0, 0, 8, 8);
  SetBlendMode(1);
  SetDrawAlpha(1.0f);
  DrawLineSegment(0, 20, 8, 20, 0);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].blend, 2);
  EXPECT_EQ(seen[1].blend, 3);
  EXPECT_EQ(seen[2].blend, 1);  // lines keep the mode as set
  EXPECT_EQ(GetBlendMode(), 1);
}

// A large frame whose see-through texels lie near its edges is drawn as a ring by mask and
// an opaque core drawn plainly; the pieces meet without a gap, turned and scaled as well.
TEST_F(GLRecordTest, AFrameWithASolidCoreIsDrawnAsRingAndCore) {
  auto board = RedImage(100, 60, 0, DitheredSides);
  EXPECT_EQ(DrawOverBlue(board, 300, 1.0f), 2);
  ASSERT_EQ(seen.size(), 3u);  // left side, right side, then the core
  EXPECT_EQ(seen[0].blend, 1);
  EXPECT_EQ(seen[1].blend, 1);
  ExpectCorner(seen[2], 0, 310, 10);
  ExpectCorner(seen[2], 2, 390, 70);
  EXPECT_TRUE(SameRgb(ScreenPixel(301, 10), 0, 0, 255));  // (1, 0): clear
  EXPECT_TRUE(SameRgb(ScreenPixel(302, 10), 255, 0, 0));
  EXPECT_TRUE(SameRgb(ScreenPixel(309, 11), 255, 0, 0));  // (9, 1): solid, beside the seam
  EXPECT_TRUE(SameRgb(ScreenPixel(310, 10), 255, 0, 0));
  EXPECT_EQ(DrawOverBlue(board, 300, 0.5f), 3);  // faded, it is one blended quad
  EXPECT_EQ(seen.size(), 1u);

  auto top = RedImage(80, 80, 0, OneClearOnTop);
  SetBlendMode(3);
  SetDrawAlpha(1.0f);
  SetDrawColor(255, 255, 255);
  SetDrawTransform(30, 2.0f, 2.0f);
  seen.clear();
  DrawImageFrame(top, 320.3f, 240.6f, 0);
  SetDrawTransform(0, 1, 1);
  ASSERT_EQ(seen.size(), 2u);  // the top row, then the rest
  // Every pixel whose centre lies well inside the picture, away from the clear texel, is red.
  const float c = std::cos(30 * 3.14159265f / 180), s = std::sin(30 * 3.14159265f / 180);
  auto shot = GrabPixmap(160, 80, 320, 320);
  ASSERT_NE(shot, nullptr);
  int missed = 0, checked = 0;
  for (int py = 80; py < 400; py++)
    for (int px = 160; px < 480; px++) {
      float dx = px + 0.5f - 320.3f, dy = py + 0.5f - 240.6f;
      float u = (dx * c + dy * s) / 2, v = (-dx * s + dy * c) / 2;  // back into texels
      if (u < 0.5f || u > 79.5f || v < 0.5f || v > 79.5f || (v < 2 && std::fabs(u - 20.5f) < 2)) continue;
      checked++;
      missed += !SameRgb(PixelOf(*shot, px - 160, py - 80), 255, 0, 0);
    }
  EXPECT_GT(checked, 20000);
  EXPECT_EQ(missed, 0);
}
