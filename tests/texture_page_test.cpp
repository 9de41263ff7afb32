// Shared texture pages: which frames share one, where their cells lie, what the texels
// around a picture hold, and that neither filtering nor mipmaps reach a neighbour.
#include <gtest/gtest.h>
#include <GL/gl.h>
#include <algorithm>
#include <vector>
#include "platform/gl_driver.h"
#include "platform/image.h"
#include "support/gl_test_util.h"

namespace {

struct TexturePageTest : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    SetMaskKey(0, 0, 0);
    SetAutoCentreHandle(0);
    SetDrawTransform(0, 1, 1);
    SetDrawColor(255, 255, 255);
    SetDrawAlpha(1);
    ClearScreen();
  }
  void TearDown() override { CloseGraphics(); }
};

std::shared_ptr<TImage> Solid(int w, int h, int flags, int r, int g, int b) {
  auto p = TPixmap::Create(w, h, PF_RGBA8888);
  for (int i = 0; i < w * h; i++) {
    uint8_t* t = &p->pixels[static_cast<size_t>(i) * 4];
    t[0] = static_cast<uint8_t>(r), t[1] = static_cast<uint8_t>(g), t[2] = static_cast<uint8_t>(b), t[3] = 255;
  }
  auto image = TImage::Create(w, h, 1, flags, 0, 0, 0);
  image->SetPixmap(0, p);
  return image;
}

TGLImageFrame* Device(const std::shared_ptr<TImage>& image) { return dynamic_cast<TGLImageFrame*>(image->Frame(0)); }

std::vector<uint8_t> PageLevel(unsigned name, int level) {
  std::vector<uint8_t> t(static_cast<size_t>(GL_PAGE_WIDTH >> level) * (GL_PAGE_HEIGHT >> level) * 4);
  GLBindTexture(name);
  glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
  return t;
}

// True when not one pixel of the rectangle has any green in it.
bool NoGreenIn(int x, int y, int w, int h) {
  auto shot = GrabPixmap(x, y, w, h);
  for (int py = 0; py < h; py++)
    for (int px = 0; px < w; px++) {
      TRgba c = PixelOf(*shot, px, py);
      if (c.g > 0) return false;
    }
  return true;
}

TEST_F(TexturePageTest, SmallFramesOfOneFilteringShareAPageAndLargeOnesDoNot) {
  auto a = Solid(5, 5, 0, 1, 1, 1), b = Solid(62, 62, IMG_MASKED | IMG_DYNAMIC, 2, 2, 2);
  auto filtered = Solid(5, 5, IMG_FILTERED, 3, 3, 3), big = Solid(63, 10, IMG_MIPMAPPED, 4, 4, 4);
  ASSERT_TRUE(Device(a) && Device(b) && Device(filtered) && Device(big));
  EXPECT_TRUE(Device(a)->cell.page);
  EXPECT_EQ(Device(a)->name, Device(b)->name) << "masking does not change how texels are read";
  EXPECT_NE(Device(a)->name, Device(filtered)->name);
  EXPECT_FALSE(Device(big)->cell.page);
  EXPECT_EQ(Device(big)->tex_w, 64);
  EXPECT_EQ(Device(a)->cell.size, 8);
  EXPECT_EQ(Device(b)->cell.size, 64);

  DrawImageFrame(a, 0, 0, 0);
  int binds = GLDriverStats().texture_binds;
  DrawImageFrame(b, 10, 0, 0);
  DrawImageFrame(a, 80, 0, 0);
  EXPECT_EQ(GLDriverStats().texture_binds, binds) << "frames of one page draw without a bind";
}

TEST_F(TexturePageTest, CellsAreAlignedInsideThePageAndNeverOverlap) {
  std::vector<std::shared_ptr<TImage>> images;
  int sizes[] = {1, 6, 7, 14, 20, 30, 40, 62};
  for (int i = 0; i < 120; i++) images.push_back(Solid(sizes[i % 8], sizes[(i * 3) % 8], 0, i, 0, 0));
  std::vector<TGLPageCell> cells;
  for (auto& im : images) {
    TGLImageFrame* f = Device(im);
    ASSERT_TRUE(f && f->cell.page);
    const TGLPageCell& c = f->cell;
    EXPECT_EQ(c.x % c.size, 0);
    EXPECT_EQ(c.y % c.size, 0);
    EXPECT_LE(c.x + c.size, GL_PAGE_WIDTH);
    EXPECT_LE(c.y + c.size, GL_PAGE_HEIGHT);
    EXPECT_GE(c.size, std::max(im->width, im->height) + 2);
    for (const TGLPageCell& o : cells) {
      if (o.page != c.page) continue;
      bool apart = c.x + c.size <= o.x || o.x + o.size <= c.x || c.y + c.size <= o.y || o.y + o.size <= c.y;
      ASSERT_TRUE(apart) << c.x << "," << c.y << " meets " << o.x << "," << o.y;
    }
    cells.push_back(c);
  }
  // Each picture still draws as itself.
  SetBlendMode(2);
  for (int i : {0, 7, 33, 119}) {
    DrawImageFrame(images[i], 300, 200, 0);
    EXPECT_TRUE(SameRgb(ScreenPixel(300, 200), i, 0, 0)) << i;
  }
}

TEST_F(TexturePageTest, AFullPageSpillsIntoANewOneAndFreedCellsAreTakenAgain) {
  std::vector<std::shared_ptr<TImage>> images;
  const int fill = (GL_PAGE_WIDTH / 32) * (GL_PAGE_HEIGHT / 32);  // of 32-texel cells
  for (int i = 0; i < fill; i++) images.push_back(Solid(30, 30, IMG_MIPMAPPED, 9, 9, 9));
  for (auto& im : images) ASSERT_TRUE(Device(im));
  unsigned first = Device(images[0])->name;
  for (auto& im : images) ASSERT_EQ(Device(im)->name, first);
  auto spill = Solid(30, 30, IMG_MIPMAPPED, 9, 9, 9);
  ASSERT_TRUE(Device(spill));
  EXPECT_NE(Device(spill)->name, first);

  int freed_x = Device(images[77])->cell.x, freed_y = Device(images[77])->cell.y;
  images[77].reset();
  auto again = Solid(30, 30, IMG_MIPMAPPED, 9, 9, 9);
  ASSERT_TRUE(Device(again));
  EXPECT_EQ(Device(again)->name, first);
  EXPECT_EQ(Device(again)->cell.x, freed_x);
  EXPECT_EQ(Device(again)->cell.y, freed_y);

  // A page lives as long as a frame in it.
  images.clear();
  again.reset();
  EXPECT_FALSE(glIsTexture(first));
  EXPECT_TRUE(glIsTexture(Device(spill)->name));
}

TEST_F(TexturePageTest, ThePictureSitsInsideARingOfItsOwnEdge) {
  auto p = TPixmap::Create(3, 2, PF_RGBA8888);
  for (int i = 0; i < 6; i++) p->pixels[i * 4] = static_cast<uint8_t>(10 * (i + 1)), p->pixels[i * 4 + 3] = 255;
  auto image = TImage::Create(3, 2, 1, 0, 0, 0, 0);
  image->SetPixmap(0, p);
  TGLImageFrame* f = Device(image);
  ASSERT_TRUE(f && f->cell.page);
  EXPECT_FLOAT_EQ(f->u0, (f->cell.x + 1.0f) / GL_PAGE_WIDTH);
  EXPECT_FLOAT_EQ(f->v1, (f->cell.y + 3.0f) / GL_PAGE_HEIGHT);
  auto t = PageLevel(f->name, 0);
  auto red = [&](int x, int y) { return t[(static_cast<size_t>(f->cell.y + y) * GL_PAGE_WIDTH + f->cell.x + x) * 4]; };
  const int expected[4][5] = {{10, 10, 20, 30, 30}, {10, 10, 20, 30, 30}, {40, 40, 50, 60, 60}, {40, 40, 50, 60, 60}};
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 5; x++) EXPECT_EQ(red(x, y), expected[y][x]) << x << "," << y;
  EXPECT_EQ(red(5, 0), 0);
  EXPECT_EQ(red(0, 4), 0);
}

TEST_F(TexturePageTest, MipmapsAndFilteringStayInsideTheCell) {
  const int flags = IMG_FILTERED | IMG_MIPMAPPED;
  auto red = Solid(30, 30, flags, 255, 0, 0), green = Solid(30, 30, flags, 0, 255, 0);
  TGLImageFrame *r = Device(red), *g = Device(green);
  ASSERT_TRUE(r && g && r->name == g->name);
  ASSERT_EQ(r->cell.size, 32);
  GLint levels = 0;
  GLBindTexture(r->name);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &levels);
  EXPECT_EQ(levels, GL_PAGE_LEVELS - 1);
  auto level1 = PageLevel(r->name, 1);
  size_t at = (static_cast<size_t>(r->cell.y / 2 + 7) * (GL_PAGE_WIDTH / 2) + r->cell.x / 2 + 7) * 4;
  EXPECT_EQ(level1[at], 255);
  EXPECT_EQ(level1[at + 1], 0);

  SetBlendMode(3);
  for (float scale : {0.2f, 0.5f, 3.0f}) {
    SetDrawTransform(17, scale, scale);
    DrawImageFrame(red, 320, 240, 0);
    EXPECT_TRUE(NoGreenIn(200, 120, 240, 240)) << "scale " << scale;
    ClearScreen();
  }
}

}  // namespace
