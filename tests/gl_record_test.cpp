// The back-end's draw recorder: what it is told matches what was drawn.
#include <gtest/gtest.h>
#include <vector>
#include "gl_test_util.h"
#include "platform/gl_driver.h"
#include "platform/image.h"

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
