// twdraw: draws pictures and text plainly or as anaglyph stereo pairs.
#pragma once
#include <memory>
#include <string>
#include "platform/image.h"

extern int stereo_mode;  // 0 off, 1..4 the colour pairs

struct twdraw_tag {
  int leye_r = 0, leye_g = 0, leye_b = 0;
  int reye_r = 0, reye_g = 0, reye_b = 0;
  float txt_xs = 0, txt_ys = 0;

  int slc(int lr, int lg, int lb, int rr, int rg, int rb);
  int sip(int blend, float alpha, float rot, float sx, float sy);
  int i3d(const std::shared_ptr<TImage>& image, float x, float y, int frame, float d, float r, int n);
  int t3d(const std::string& text, float x, float y, float d, int centre, int n);
};

extern twdraw_tag twdraw;
