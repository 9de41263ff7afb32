// The window's icon: the 64-pixel icon carried in the program, kept as RGBA for SDL.
#include <gtest/gtest.h>

#include "app/embedded_files.h"
#include "platform/app_icon.h"
#include "platform/pixmap.h"

namespace {

TEST(AppIcon, TheEmbeddedIconIsSixtyFourPixelsWithClearCorners) {
  RegisterGameFiles();
  ASSERT_EQ(SetAppIcon("incbin::kelvane_icon.png"), 1);
  std::shared_ptr<TPixmap> icon = AppIcon();
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->width, 64);
  EXPECT_EQ(icon->height, 64);
  EXPECT_EQ(icon->format, PF_RGBA8888);
  EXPECT_EQ(icon->PixelPtr(0, 0)[3], 0);
  EXPECT_EQ(icon->PixelPtr(63, 0)[3], 0);
  EXPECT_EQ(icon->PixelPtr(32, 32)[3], 255);
  // The same picture as the 64-pixel icon installed for the desktop.
  auto file = LoadPixmapPng(std::string(KELVANE_SOURCE_DIR) + "/assets/icons/kelvane_64.png")->Convert(PF_RGBA8888);
  EXPECT_EQ(icon->pixels, file->pixels);
}

TEST(AppIcon, AnUnreadableIconLeavesNoneAndNoWindowIsNeeded) {
  EXPECT_EQ(SetAppIcon("incbin::no_such_icon.png"), 0);
  EXPECT_FALSE(AppIcon());
  ApplyAppIcon();  // nothing to give, no window: a no-op, not a crash
}

}  // namespace
