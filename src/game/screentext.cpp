// screentext: the in-game screens' texts and icons, glowing in two stereo passes.
#include "game/screentext.h"
#include "platform/draw.h"
#include "render/twdraw.h"

std::vector<screen_item>* screen_log = nullptr;

int ScreenTextStyle() {
  SetDrawColor(200, 200, 250);
  twdraw.sip(BLEND_ALPHA, 1.0f, 0, 1.0f, 1.0f);
  return 0;
}

int ScreenText(const std::string& text, float x, float y, int centre) {
  if (screen_log) screen_log->push_back({text, nullptr, 0, x, y, centre});
  return twdraw.t3d(text, x, y, 4.0f, centre, 2);
}

int ScreenIcon(const std::shared_ptr<TImage>& image, float x, float y, int frame) {
  if (screen_log) screen_log->push_back({"", image.get(), frame, x, y, 0});
  return twdraw.i3d(image, x, y, frame, 4.0f, 0, 2);
}
