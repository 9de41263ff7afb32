// screentext: the text and icon helpers the in-game screens draw with, and their test seam.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/image.h"

int ScreenTextStyle();  // colour (200, 200, 250), alpha blend, full alpha, scale 1
int ScreenText(const std::string& text, float x, float y, int centre);  // twdraw.t3d, separation 4.0, 2 passes
int ScreenIcon(const std::shared_ptr<TImage>& image, float x, float y, int frame);  // twdraw.i3d, separation 4.0, 2 passes

// Test seam: while set, every ScreenText and ScreenIcon call is noted here as given.
struct screen_item {
  std::string text;               // empty for an icon
  const TImage* image = nullptr;  // null for a text
  int frame = 0;
  float x = 0, y = 0;
  int centre = 0;
};
extern std::vector<screen_item>* screen_log;
