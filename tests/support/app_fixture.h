// app_fixture: a headless 640x480 window opened once per process, the embedded files,
// input through real SDL events and a virtual joystick, and back-buffer read-back.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>
#include "app/assets.h"
#include "app/embedded_files.h"
#include "app/menu.h"
#include "game/globals.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/pixmap.h"
#include "render/twdraw.h"
#include "support/shared_display.h"
#include "support/virtual_pad.h"
#include "synthetic_input.h"

namespace appfix {

inline void OpenDisplayOnce() { shared_display::Ensure(); }

// A plain image of one colour, handle at its top-left, black transparent.
inline std::shared_ptr<TImage> SolidImage(int w, int h, int r, int g, int b, int frames = 1) {
  std::shared_ptr<TImage> img = CreateBlankImage(w, h, frames, -1);
  for (int f = 0; f < frames; f++) {
    std::shared_ptr<TPixmap> pm = TPixmap::Create(w, h, PF_RGB888);
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        uint8_t* p = pm->PixelPtr(x, y);
        p[0] = static_cast<uint8_t>(r), p[1] = static_cast<uint8_t>(g), p[2] = static_cast<uint8_t>(b);
      }
    img->SetPixmap(f, pm);
  }
  return img;
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

inline Rgb PixelAt(const TPixmap& pm, int x, int y) {
  const uint8_t* p = pm.PixelPtr(x, y);
  return Rgb{p[0], p[1], p[2]};
}

inline std::shared_ptr<TPixmap> Screen() { return GrabPixmap(0, 0, 640, 480); }

}  // namespace appfix

// The pictures, sounds, font and menu words start-up makes, for the suites that draw the menu.
inline void LoadMenuAssets() {
  CreateBlankImages();
  LoadAssets();
  SetMenuVocabulary();
}

// Every test starts on a cleared screen with the drawing state at its start-up values.
class AppFixture : public ::testing::Test, public pad_on_first_use {
 protected:
  static void SetUpTestSuite() { appfix::OpenDisplayOnce(); }

  void SetUp() override {
    shared_display::Ensure();
    ASSERT_NE(DisplayWindow(), nullptr);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    ClearKeyHits();
    ClearMouseHits();
    stereo_mode = 0;
    twdraw = twdraw_tag();
    SetDrawColor(255, 255, 255);
    SetDrawAlpha(1.0f);
    SetDrawTransform(0, 1.0f, 1.0f);
    SetBlendMode(1);
    ClearScreen();
  }

  void TearDown() override { pad_.Detach(); }
};
