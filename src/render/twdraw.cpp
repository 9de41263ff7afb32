// twdraw: plain drawing, or two additive copies in the eye colours, shifted apart.
#include "render/twdraw.h"
#include "platform/font.h"
#include "platform/random.h"

int stereo_mode = 0;
twdraw_tag twdraw;

int twdraw_tag::slc(int lr, int lg, int lb, int rr, int rg, int rb) {
  leye_r = lr;
  leye_g = lg;
  leye_b = lb;
  reye_r = rr;
  reye_g = rg;
  reye_b = rb;
  return 0;
}

int twdraw_tag::sip(int blend, float alpha, float rot, float sx, float sy) {
  SetBlendMode(blend);
  SetDrawAlpha(alpha);
  SetDrawTransform(rot, sx, sy);
  txt_xs = sx;
  txt_ys = sy;
  return 0;
}

int twdraw_tag::i3d(const std::shared_ptr<TImage>& image, float x, float y, int frame, float d, float r, int n) {
  float base = static_cast<float>(TruncToInt(GetDrawRotation()));
  if (stereo_mode != 0) {
    for (int i = 0; i < n; i++) {
      SetBlendMode(BLEND_ADDITIVE);
      SetDrawColor(leye_r, leye_g, leye_b);
      if (r != 0) SetDrawRotation(base + r);
      DrawImageFrame(image, x - d, y, frame);
      SetDrawColor(reye_r, reye_g, reye_b);
      if (r != 0) SetDrawRotation(base - r);
      DrawImageFrame(image, x + d, y, frame);
    }
  } else {
    DrawImageFrame(image, x, y, frame);
  }
  if (r != 0) SetDrawRotation(base);
  return 0;
}

int twdraw_tag::t3d(const std::string& text, float x, float y, float d, int centre, int n) {
  float tx = x, ty = y;
  if (centre) {
    tx = x - MeasureTextWidth(text) * txt_xs / 2;
    ty = y - MeasureTextHeight() * txt_ys / 2;
  }
  if (stereo_mode != 0) {
    for (int i = 0; i < n; i++) {
      SetBlendMode(BLEND_ADDITIVE);
      SetDrawColor(leye_r, leye_g, leye_b);
      DrawTextAt(text, tx - d, ty);
      SetDrawColor(reye_r, reye_g, reye_b);
      DrawTextAt(text, tx + d, ty);
    }
  } else {
    DrawTextAt(text, tx, ty);
  }
  return 0;
}
