// splash: the maker's logo fading in and out before the title menu. In stereo it grows
// while its two eye copies drift apart; in mono it stands still and s only counts time.
#include "app/splash.h"
#include "app/mainloop.h"
#include "app/menu.h"
#include "game/globals.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/image.h"
#include "platform/input.h"
#include "render/twdraw.h"

namespace {

struct splash_state {
  float a = 1.0f;   // alpha
  float s = 0.1f;   // scale in stereo, a timer in mono
  float d = -4.0f;  // eye separation
};

void DrawSplashFrame(const std::shared_ptr<TImage>& logo, float x, float y, splash_state* st) {
  ClearScreen();
  SetDrawColor(255, 255, 255);
  if (stereo_mode != 0) {
    twdraw.sip(BLEND_ADDITIVE, st->a, 0, st->s, st->s);
    twdraw.i3d(logo, x, y, 0, st->d, 0, 2);
    st->s += 0.004f;
    st->d += 0.05f;
    // NOTE: compared in single precision; the fade then starts at frame 251, not 250.
    if (st->s > 1.1f) st->a -= 0.01f;
  } else {
    twdraw.sip(BLEND_ALPHA, st->a, 0, 1, 1);
    twdraw.i3d(logo, x, y, 0, 0, 0, 1);
    if (st->s <= 1.0f) {
      st->s += 0.004f;
    } else {
      st->a -= 0.01f;
    }
  }
  DrawRetroLines(2);
  if (st->a < 0) st->a = 0;
}

// Escape, Space, the left button or joystick button 0, asked in this order.
int SkipPressed() {
  return ReadKeyHit(KEY_ESCAPE) || ReadKeyHit(KEY_SPACE) || ReadMouseHit(1) || ReadJoyButtonHit(0, 0);
}

}  // namespace

int ShowSplash(int y_offset) {
  splash_state st;
  std::shared_ptr<TImage> logo = LoadImageFile("incbin::twlogo.png", -1);
  if (logo) CentreImageHandle(logo);
  float x = static_cast<float>(ScreenWidth() / 2);
  float y = static_cast<float>(ScreenHeight() / 2 + y_offset);
  do {
    DrawSplashFrame(logo, x, y, &st);
    FlipFrame(-1);
    HoldWhileInactive();
    TakeWindowKey();
    if (TakeCloseRequest()) {
      quit_requested = 1;
      break;
    }
    if (SkipPressed()) break;
  } while (st.a > 0);
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_MASK, 1, 0, 1, 1);
  // The press that ended the splash must not reach the title menu.
  ClearKeyHits();
  ClearMouseHits();
  return 0;
}
