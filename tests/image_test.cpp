// Images: device copies, drawing with handles and masks, cutting from the screen, overlap.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <GL/gl.h>
#include "platform/gl_driver.h"
#include "platform/image.h"
#include "support/gl_test_util.h"

namespace {

struct ImageTest : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    SetMaskKey(0, 0, 0);
    SetDefaultImageFlags(3);
    SetAutoCentreHandle(0);
    ClearScreen();
  }
  void TearDown() override { CloseGraphics(); }
};

// An RGB picture of one colour.
std::shared_ptr<TPixmap> Solid(int w, int h, int r, int g, int b) {
  auto p = TPixmap::Create(w, h, PF_RGB888);
  for (int i = 0; i < w * h; i++) p->pixels[i * 3] = r, p->pixels[i * 3 + 1] = g, p->pixels[i * 3 + 2] = b;
  return p;
}

std::shared_ptr<TImage> SolidImage(int w, int h, int flags, int r, int g, int b) {
  auto image = TImage::Create(w, h, 1, flags, 0, 0, 0);
  image->SetPixmap(0, Solid(w, h, r, g, b));
  return image;
}

TGLImageFrame* DeviceFrame(const std::shared_ptr<TImage>& image, int index = 0) {
  return dynamic_cast<TGLImageFrame*>(image->Frame(index));
}

}  // namespace

TEST_F(ImageTest, CentredHandleLandsOnThePosition) {
  auto image = SolidImage(70, 60, 0, 200, 0, 0);
  CentreImageHandle(image);
  EXPECT_EQ(image->handle_x, 35.0f);
  EXPECT_EQ(image->handle_y, 30.0f);
  SetBlendMode(2);
  DrawImageFrame(image, 320, 240, 0);
  auto p = GrabPixmap(280, 200, 80, 80);
  int wrong = 0;
  for (int y = 0; y < 80; y++)
    for (int x = 0; x < 80; x++) {
      int inside = x + 280 >= 285 && x + 280 <= 354 && y + 200 >= 210 && y + 200 <= 269;
      wrong += !SameRgb(PixelOf(*p, x, y), inside ? 200 : 0, 0, 0);
    }
  EXPECT_EQ(wrong, 0);
}

// Mipmaps keep the power of two around the picture; without them the texture is the
// picture's own size wherever the system takes any size.
TEST_F(ImageTest, TextureIsThePictureOrThePowerOfTwoAroundIt) {
  auto mipmapped = SolidImage(70, 60, IMG_MIPMAPPED, 1, 2, 3);
  TGLImageFrame* frame = DeviceFrame(mipmapped);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->tex_w, 128);
  EXPECT_EQ(frame->tex_h, 64);
  EXPECT_EQ(frame->u0, 0.0f);
  EXPECT_EQ(frame->v0, 0.0f);
  EXPECT_EQ(frame->u1, 0.546875f);
  EXPECT_EQ(frame->v1, 0.9375f);
  EXPECT_EQ(frame->seq, graphics_seq);

  auto plain = SolidImage(70, 60, IMG_FILTERED, 1, 2, 3);
  frame = DeviceFrame(plain);
  ASSERT_NE(frame, nullptr);
  if (!SDL_GL_ExtensionSupported("GL_ARB_texture_non_power_of_two")) GTEST_SKIP() << "powers of two only here";
  EXPECT_EQ(frame->tex_w, 70);
  EXPECT_EQ(frame->tex_h, 60);
  EXPECT_EQ(frame->u1, 1.0f);
  EXPECT_EQ(frame->v1, 1.0f);
  // Filtered up to four times its size, the edge still reads as the picture: no texel
  // beyond it, transparent or otherwise, bleeds in.
  SetClearColor(0, 0, 0);
  ClearScreen();
  SetBlendMode(1);
  SetDrawColor(255, 255, 255);
  SetDrawScale(4, 4);
  DrawImageFrame(plain, 0, 0, 0);
  SetDrawScale(1, 1);
  EXPECT_TRUE(SameRgb(ScreenPixel(279, 239), 1, 2, 3));
  EXPECT_TRUE(SameRgb(ScreenPixel(281, 241), 0, 0, 0));
}

TEST_F(ImageTest, LastColumnRowAndCornerAreRepeatedIntoTheTexture) {
  const int w = 67, h = 3;  // too wide for a shared page, and mipmapped: a texture of its own, 128x4
  auto p = TPixmap::Create(w, h, PF_RGBA8888);
  for (int i = 0; i < w * h; i++) p->pixels[i * 4] = static_cast<uint8_t>(i + 1), p->pixels[i * 4 + 3] = 255;
  auto image = TImage::Create(w, h, 1, IMG_MIPMAPPED, 0, 0, 0);
  image->SetPixmap(0, p);
  TGLImageFrame* frame = DeviceFrame(image);
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(frame->tex_w, 128);
  ASSERT_EQ(frame->tex_h, 4);
  std::vector<uint8_t> t(128 * 4 * 4);
  glBindTexture(GL_TEXTURE_2D, frame->name);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
  auto red = [&](int x, int y) { return t[(y * 128 + x) * 4]; };
  EXPECT_EQ(red(w, 0), red(w - 1, 0));
  EXPECT_EQ(red(w, 1), red(w - 1, 1));
  EXPECT_EQ(red(0, h), red(0, h - 1));
  EXPECT_EQ(red(w - 1, h), red(w - 1, h - 1));
  EXPECT_EQ(red(w, h), red(w - 1, h - 1));
  EXPECT_EQ(red(w - 1, h - 1), w * h);
  EXPECT_EQ(red(w + 1, 0), 0) << "one repeat only";
}

TEST_F(ImageTest, FilteringAndMipmapsFollowTheFlags) {
  struct { int flags; GLint min, mag; } cases[] = {
      {0, GL_NEAREST, GL_NEAREST},
      {IMG_FILTERED, GL_LINEAR, GL_LINEAR},
      {IMG_MIPMAPPED, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
      {IMG_FILTERED | IMG_MIPMAPPED, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
  };
  for (auto c : cases) {
    auto image = SolidImage(70, 60, c.flags, 9, 9, 9);
    TGLImageFrame* frame = DeviceFrame(image);
    ASSERT_NE(frame, nullptr);
    glBindTexture(GL_TEXTURE_2D, frame->name);
    GLint min = 0, mag = 0, smallest = 0, wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH, &smallest);  // 128 halved 7 times
    EXPECT_EQ(min, c.min) << c.flags;
    EXPECT_EQ(mag, c.mag) << c.flags;
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(smallest, (c.flags & IMG_MIPMAPPED) ? 1 : 0) << c.flags;
  }
}

TEST_F(ImageTest, BlackIsTransparentButNearBlackIsNot) {
  SetClearColor(0, 200, 0);
  ClearScreen();
  auto p = TPixmap::Create(3, 1, PF_RGB888);
  uint8_t px[] = {0, 0, 0, 0, 0, 1, 255, 0, 0};
  std::copy(px, px + 9, p->pixels.begin());
  auto image = CreateBlankImage(3, 1, 1, IMG_MASKED);
  image->SetPixmap(0, p);
  for (int mode : {1, 3}) {
    SetBlendMode(mode);
    DrawImageFrame(image, 10, 10 + mode, 0);
    EXPECT_TRUE(SameRgb(ScreenPixel(10, 10 + mode), 0, 200, 0)) << mode;
    EXPECT_TRUE(SameRgb(ScreenPixel(11, 10 + mode), 0, 0, 1)) << mode;
    EXPECT_TRUE(SameRgb(ScreenPixel(12, 10 + mode), 255, 0, 0)) << mode;
  }
}

TEST_F(ImageTest, UnmaskedImageKeepsItsBlack) {
  SetClearColor(0, 200, 0);
  ClearScreen();
  auto image = SolidImage(2, 2, 0, 0, 0, 0);
  SetBlendMode(3);
  DrawImageFrame(image, 10, 10, 0);
  EXPECT_TRUE(SameRgb(ScreenPixel(10, 10), 0, 0, 0));
}

TEST_F(ImageTest, TexelsTakeTheDrawingColourAndAlpha) {
  auto image = SolidImage(4, 4, 0, 255, 255, 255);
  SetBlendMode(3);
  SetDrawColor(255, 0, 128);
  DrawImageFrame(image, 10, 10, 0);
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 11), 255, 0, 128));
  SetDrawColor(255, 255, 255);
  SetDrawAlpha(0.5f);
  DrawImageFrame(image, 20, 10, 0);
  EXPECT_TRUE(SameRgb(ScreenPixel(21, 11), 127, 127, 127));
}

TEST_F(ImageTest, RotationNinetyPutsRightOfTheHandleBelowIt) {
  auto image = SolidImage(1, 1, 0, 255, 255, 255);
  SetImageHandle(image, -10, 0);  // the pixel sits 10 to the right of the handle
  SetBlendMode(2);
  SetDrawRotation(90);
  DrawImageFrame(image, 320, 240, 0);
  EXPECT_TRUE(SameRgb(ScreenPixel(319, 250), 255, 255, 255));
  EXPECT_TRUE(SameRgb(ScreenPixel(330, 240), 0, 0, 0));
}

TEST_F(ImageTest, AdditiveSpritesSaturate) {
  auto image = SolidImage(4, 4, 0, 100, 150, 200);
  SetBlendMode(4);
  DrawImageFrame(image, 10, 10, 0);
  DrawImageFrame(image, 10, 10, 0);
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 11), 200, 255, 255));
}

TEST_F(ImageTest, ATextureIsBoundOnlyWhenItChanges) {
  auto a = SolidImage(70, 4, 0, 1, 1, 1), b = SolidImage(70, 4, 0, 2, 2, 2);  // each its own texture
  DrawImageFrame(a, 0, 0, 0);
  int binds = GLDriverStats().texture_binds, switches = GLDriverStats().texture_switches;
  DrawImageFrame(a, 5, 0, 0);
  EXPECT_EQ(GLDriverStats().texture_binds, binds);
  EXPECT_EQ(GLDriverStats().texture_switches, switches);
  DrawImageFrame(b, 10, 0, 0);
  EXPECT_EQ(GLDriverStats().texture_binds, binds + 1);
  FillRect(0, 0, 1, 1);
  DrawImageFrame(b, 10, 0, 0);
  EXPECT_EQ(GLDriverStats().texture_switches, switches + 2);  // off for the rectangle, on again
}

TEST_F(ImageTest, DeviceCopyIsRebuiltUnderANewDisplayAndAfterAWrite) {
  auto image = SolidImage(4, 4, 0, 10, 20, 30);
  TImageFrame* first = image->Frame(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(image->Frame(0), first);  // made once, reused
  image->Lock(0, 0, 1);
  EXPECT_EQ(image->seqs[0], 0);
  ASSERT_NE(image->Frame(0), nullptr);
  ASSERT_TRUE(OpenTestDisplay());
  EXPECT_NE(image->seqs[0], graphics_seq);
  SetBlendMode(2);
  DrawImageFrame(image, 10, 10, 0);
  EXPECT_EQ(image->seqs[0], graphics_seq);
  EXPECT_TRUE(SameRgb(ScreenPixel(11, 11), 10, 20, 30));
}

TEST_F(ImageTest, ReleasedImageDeletesItsTexture) {
  auto image = SolidImage(70, 4, 0, 1, 1, 1);
  unsigned name = DeviceFrame(image)->name;
  EXPECT_TRUE(glIsTexture(name));
  image.reset();
  EXPECT_FALSE(glIsTexture(name));
  auto stale = SolidImage(4, 4, 0, 1, 1, 1);
  ASSERT_NE(stale->Frame(0), nullptr);
  CloseGraphics();
  stale.reset();  // its context is gone: nothing to delete, nothing to crash on
  SUCCEED();
}

TEST_F(ImageTest, BlankImagesAndDefaults) {
  auto image = CreateBlankImage(10, 8, 2, -1);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->flags, 3 | IMG_DYNAMIC);
  EXPECT_EQ(image->CountFrames(), 2);
  EXPECT_EQ(image->handle_x, 0.0f);
  SetDefaultImageFlags(-1);
  EXPECT_EQ(GetDefaultImageFlags(), 3);
  SetDefaultImageFlags(9);
  SetAutoCentreHandle(1);
  auto centred = CreateBlankImage(11, 8, 1, -1);
  EXPECT_EQ(centred->flags, 9);
  EXPECT_EQ(centred->handle_x, 5.5f);
  EXPECT_EQ(centred->handle_y, 4.0f);
  auto lock = centred->Lock(0, 1, 0);
  ASSERT_TRUE(lock);
  EXPECT_EQ(lock->width, 11);
  EXPECT_EQ(lock->format, PF_RGBA8888);
  EXPECT_EQ(CreateBlankImage(0, 8, 1, -1), nullptr);
  DrawImageFrame(centred, 10, 10, 5);  // no such frame: nothing drawn
  DrawImageFrame(nullptr, 10, 10, 0);
}

TEST_F(ImageTest, GrabMasksWithTheCurrentKey) {
  SetBlendMode(2);
  SetDrawColor(255, 0, 0);
  FillRect(0, 0, 2, 1);  // red, red, then black
  auto masked = CreateBlankImage(3, 1, 1, IMG_MASKED);
  auto plain = CreateBlankImage(3, 1, 1, 0);
  SetMaskKey(255, 0, 0);  // after creation: the grab uses the key in force now
  GrabScreenToImage(masked, 0, 0, 0);
  GrabScreenToImage(plain, 0, 0, 0);
  EXPECT_EQ(PixelOf(*masked->pixmaps[0], 0, 0).a, 0);
  EXPECT_EQ(PixelOf(*masked->pixmaps[0], 2, 0).a, 255);
  EXPECT_TRUE(SameRgb(PixelOf(*plain->pixmaps[0], 0, 0), 255, 0, 0));
  EXPECT_EQ(PixelOf(*plain->pixmaps[0], 2, 0).a, 255);
}

TEST_F(ImageTest, GrabbedFrameDrawsBackTheSamePixels) {
  SetBlendMode(2);
  SetDrawColor(50, 60, 70);
  FillRect(100, 100, 10, 5);
  auto image = CreateBlankImage(10, 5, 1, 0);
  GrabScreenToImage(image, 100, 100, 0);
  SetDrawColor(255, 255, 255);
  DrawImageFrame(image, 300, 300, 0);
  EXPECT_TRUE(SameRgb(ScreenPixel(300, 300), 50, 60, 70));
  EXPECT_TRUE(SameRgb(ScreenPixel(309, 304), 50, 60, 70));
  EXPECT_TRUE(SameRgb(ScreenPixel(310, 304), 0, 0, 0));
}

TEST_F(ImageTest, LoadingAPngFromDiskAndFailures) {
  auto image = LoadImageFile(std::string(KELVANE_SOURCE_DIR) + "/assets/dmpointer.png", -1);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 18);
  EXPECT_EQ(image->flags, 3);
  EXPECT_EQ(image->pixmaps[0]->format, PF_RGBA8888);  // masked on the way in
  EXPECT_EQ(LoadImageFile("no/such/picture.png", -1), nullptr);
  EXPECT_EQ(LoadImageFile(std::string(KELVANE_SOURCE_DIR) + "/CMakeLists.txt", -1), nullptr);
}

TEST_F(ImageTest, OverlapUsesTheCurrentMatrix) {
  auto a = SolidImage(10, 10, 0, 255, 255, 255), b = SolidImage(10, 10, 0, 255, 255, 255);
  CentreImageHandle(a);
  CentreImageHandle(b);
  EXPECT_EQ(ImagesOverlap(a, 100, 100, 0, b, 108, 100, 0), 1);
  EXPECT_EQ(ImagesOverlap(a, 100, 100, 0, b, 115, 100, 0), 0);
  SetDrawScale(2, 2);  // both grow about their handles
  EXPECT_EQ(ImagesOverlap(a, 100, 100, 0, b, 115, 100, 0), 1);
  EXPECT_EQ(ImagesOverlap(a, 100, 100, 3, b, 108, 100, 0), 0);
  auto blank = CreateBlankImage(10, 10, 1, 0);  // never filled: transparent, as it draws
  EXPECT_EQ(ImagesOverlap(a, 100, 100, 0, blank, 100, 100, 0), 0);
}

TEST_F(ImageTest, OverlapIgnoresMaskedPixels) {
  auto ring = TPixmap::Create(10, 10, PF_RGB888);  // black inside, white border
  for (int y = 0; y < 10; y++)
    for (int x = 0; x < 10; x++)
      if (x == 0 || y == 0 || x == 9 || y == 9) ring->PixelPtr(x, y)[0] = ring->PixelPtr(x, y)[1] = ring->PixelPtr(x, y)[2] = 255;
  auto a = CreateBlankImage(10, 10, 1, IMG_MASKED);
  a->SetPixmap(0, ring);
  auto dot = SolidImage(2, 2, 0, 255, 255, 255);
  EXPECT_EQ(ImagesOverlap(a, 0, 0, 0, dot, 4, 4, 0), 0);  // in the transparent middle
  EXPECT_EQ(ImagesOverlap(a, 0, 0, 0, dot, 8, 4, 0), 1);  // across the border
}

namespace {

std::vector<TGLDrawRecord> drawn;
void KeepRecord(const TGLDrawRecord& r) { drawn.push_back(r); }

// A masked 32x20 picture, clear but for a 6x4 block at (10, 8).
std::shared_ptr<TImage> Spark(int flags) {
  auto p = TPixmap::Create(32, 20, PF_RGB888);
  for (int y = 8; y < 12; y++)
    for (int x = 10; x < 16; x++) p->PixelPtr(x, y)[0] = 200, p->PixelPtr(x, y)[1] = 100, p->PixelPtr(x, y)[2] = 50;
  auto image = TImage::Create(32, 20, 1, IMG_MASKED | flags, 0, 0, 0);
  image->SetPixmap(0, p);
  return image;
}

float RecordedWidth(const TGLDrawRecord& r) { return r.x[1] - r.x[0]; }

}  // namespace

// Where clear texels leave the screen alone only the block is drawn, and it lands where the
// block alone would; solid and multiply would write the clear texels, so they get it all.
TEST_F(ImageTest, OnlyThePartWithContentIsDrawnWhereClearTexelsShowNothing) {
  auto spark = Spark(0);
  SetDrawScale(3, 3);
  SetBlendMode(2);
  DrawImageFrame(SolidImage(6, 4, 0, 200, 100, 50), 130, 124, 0);
  auto block = GrabPixmap(90, 90, 120, 80);
  drawn.clear();
  SetGLDrawRecorder(KeepRecord);
  for (int mode : {1, 3, 4}) {
    ClearScreen();
    SetBlendMode(mode);
    DrawImageFrame(spark, 100, 100, 0);
    EXPECT_EQ(GrabPixmap(90, 90, 120, 80)->pixels, block->pixels) << "mode " << mode;
  }
  for (int mode : {2, 5}) {
    SetBlendMode(mode);
    DrawImageFrame(spark, 100, 100, 0);
  }
  SetGLDrawRecorder(nullptr);
  std::erase_if(drawn, [](const TGLDrawRecord& r) { return r.kind != GLREC_QUAD; });
  ASSERT_EQ(drawn.size(), 5u);
  for (int i = 0; i < 3; i++) {
    EXPECT_FLOAT_EQ(RecordedWidth(drawn[i]), 18.0f);
    EXPECT_FLOAT_EQ(drawn[i].x[0], 130.0f);
    EXPECT_FLOAT_EQ(drawn[i].y[0], 124.0f);
  }
  EXPECT_FLOAT_EQ(RecordedWidth(drawn[3]), 96.0f);
  EXPECT_FLOAT_EQ(RecordedWidth(drawn[4]), 96.0f);
}

// Filtering blends the block's edge texels with the clear ones beside them, so the drawn part
// reaches one texel further; a picture with nothing in it draws nothing.
TEST_F(ImageTest, FilteredContentKeepsItsSoftEdgeAndAClearPictureDrawsNothing) {
  auto spark = Spark(IMG_FILTERED);
  SetDrawScale(4, 4);
  SetBlendMode(3);
  drawn.clear();
  SetGLDrawRecorder(KeepRecord);
  DrawImageFrame(spark, 100, 100, 0);
  auto blank = CreateBlankImage(32, 20, 1, IMG_MASKED);
  blank->SetPixmap(0, TPixmap::Create(32, 20, PF_RGB888));
  DrawImageFrame(blank, 300, 100, 0);
  SetGLDrawRecorder(nullptr);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_FLOAT_EQ(RecordedWidth(drawn[0]), 32.0f);  // 6 texels and one either side
  TRgba fringe = ScreenPixel(100 + 4 * 10 - 1, 100 + 4 * 9);  // half a texel left of the block
  EXPECT_GT(fringe.r, 0);
  EXPECT_LT(fringe.r, 200);
  EXPECT_TRUE(SameRgb(ScreenPixel(100 + 4 * 12, 100 + 4 * 9), 200, 100, 50));
}
